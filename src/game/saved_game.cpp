#include "game/saved_game.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "game/rules.h"
#include "platform/frame_state.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {

namespace {

class Writer {
public:
    Writer(uint8_t* out, int32_t capacity) : out_(out), capacity_(capacity) {}
    template <typename T>
    void field(T& v) {
        static_assert(std::is_arithmetic_v<T>);
        bytes(&v, sizeof v);
    }
    void flag(bool& v) {
        uint8_t b = v ? 1 : 0;
        bytes(&b, 1);
    }
    void flag32(bool& v) {
        int32_t b = v ? 1 : 0;
        bytes(&b, 4);
    }
    void pad(int32_t n) {
        static const uint8_t zero[16] = {};
        bytes(zero, n);
    }
    int32_t used() const { return used_; }
    bool ok() const { return ok_; }

private:
    void bytes(const void* p, int32_t n) {
        if (!ok_ || used_ + n > capacity_) {
            ok_ = false;
            return;
        }
        std::memcpy(out_ + used_, p, static_cast<size_t>(n));
        used_ += n;
    }
    uint8_t* out_;
    int32_t capacity_;
    int32_t used_ = 0;
    bool ok_ = true;
};

class Reader {
public:
    Reader(const uint8_t* data, int32_t size) : data_(data), size_(size) {}
    template <typename T>
    void field(T& v) {
        static_assert(std::is_arithmetic_v<T>);
        bytes(&v, sizeof v);
        if constexpr (std::is_floating_point_v<T>) {
            ok_ = ok_ && std::isfinite(v);
        }
    }
    void flag(bool& v) {
        uint8_t b = 0;
        bytes(&b, 1);
        ok_ = ok_ && b <= 1;
        v = b == 1;
    }
    void flag32(bool& v) {
        int32_t b = 0;
        bytes(&b, 4);
        ok_ = ok_ && (b == 0 || b == 1);
        v = b == 1;
    }
    void pad(int32_t n) {
        uint8_t skip[16];
        bytes(skip, n);
    }
    int32_t used() const { return used_; }
    bool ok() const { return ok_; }

private:
    void bytes(void* p, int32_t n) {
        if (!ok_ || used_ + n > size_) {
            ok_ = false;
            return;
        }
        std::memcpy(p, data_ + used_, static_cast<size_t>(n));
        used_ += n;
    }
    const uint8_t* data_;
    int32_t size_;
    int32_t used_ = 0;
    bool ok_ = true;
};

template <typename S>
void vec2(S& s, Vec2& v) {
    s.field(v.x);
    s.field(v.y);
}

template <typename S>
void figure(S& s, Figure& f) {
    vec2(s, f.offset);
    s.field(f.kind);
    s.field(f.frame);
    s.field(f.bonus);
    s.field(f.pendingBonus);
    s.flag(f.followsHand);
    s.pad(3);
    s.field(f.fallSpeed);
    s.flag(f.sliding);
    s.pad(3);
    s.field(f.hoverMs);
    s.field(f.animMs);
}

template <typename S>
void cellRecord(S& s, Cell& c) {
    s.field(c.layers);
    s.field(c.chained);
    figure(s, c.figure);
    s.field(c.removal);
    s.flag(c.hit);
    s.pad(3);
    for (int d = 0; d < 4; ++d) {
        s.field(c.groupId[d]);
    }
    for (int d = 0; d < 4; ++d) {
        s.field(c.runLength[d]);
    }
    vec2(s, c.tileOffset);
    vec2(s, c.tileVelocity);
    s.field(c.tileLift);
    s.field(c.pendingScore);
    s.field(c.shimmerMs);
    s.pad(8);
}

// Scratch values that have no field of their own in the state.
struct Extras {
    float progress = 0.0f;
    int32_t reserved = 0;
    bool reservedFlags[2] = {};
    uint8_t gameMode = 0;
};

template <typename S>
void transfer(S& s, GameState& g, Extras& x) {
    for (Flyer& f : g.flyers.flyers) {
        vec2(s, f.position);
        vec2(s, f.spin);
        vec2(s, f.velocity);
        s.field(f.slot);
        s.field(f.type);
        s.field(f.frame);
        s.field(f.frameMs);
        s.field(f.radius);
        s.field(f.angle);
        s.field(f.radiusRate);
        s.field(f.angleRate);
        s.field(f.fade);
    }
    for (BlastEvent& e : g.blasts.events) {
        s.field(e.type);
        s.field(e.row);
        s.field(e.column);
        vec2(s, e.position);
        s.field(e.elapsedMs);
        s.field(e.startAtMs);
        s.field(e.durationMs);
        s.flag(e.started);
        for (bool& a : e.arms) {
            s.flag(a);
        }
        s.pad(3);
    }
    for (GroupRecord& r : g.match.groupList) {
        for (int8_t& v : r.rows) {
            s.field(v);
        }
        for (int8_t& v : r.columns) {
            s.field(v);
        }
        s.field(r.direction);
        s.field(r.length);
    }
    for (auto& row : g.board.cells) {
        for (Cell& c : row) {
            cellRecord(s, c);
        }
    }
    for (BeamPoint& b : g.blasts.beams) {
        s.field(b.x);
        s.field(b.y);
        s.field(b.colour);
        s.field(b.timeMs);
    }
    s.field(g.hud.boardAlpha);
    s.field(g.hud.flyerAlpha);
    s.field(g.hud.handAlpha);
    for (uint32_t& c : g.hud.fadeColours) {
        s.field(c);
    }
    s.field(g.flyers.nextFlyer);
    s.field(g.blasts.nextEvent);
    s.field(g.match.groupListLength);
    figure(s, g.hand.heldFigure);
    GoldBox& box = g.box;
    s.field(box.offset.x);
    s.field(box.offset.y);
    s.field(box.offset.z);
    s.flag32(box.boxOpen);
    s.field(box.boxOpenMs);
    s.field(box.boxHeight);
    s.field(box.boxTarget);
    s.field(box.lidAngle);
    s.flag32(box.lidSlamming);
    s.field(box.lidReboundMs);
    for (float& t : box.turn) {
        s.field(t);
    }
    s.field(box.scale);
    for (auto& row : g.shake.boardTransform.m) {
        for (float& v : row) {
            s.field(v);
        }
    }
    s.flag32(g.shake.shaking);
    s.field(g.shake.shakeMs);
    vec2(s, g.shake.boardOffset);
    s.field(g.shake.third);
    s.flag32(g.noMoves.noMovesActive);
    s.field(g.noMoves.noMovesSlot);
    s.field(g.noMoves.noMovesMs);
    s.field(g.noMoves.noMovesScale);
    s.field(g.noMoves.noMovesAngle);
    s.field(g.noMoves.noMovesAlpha);
    s.flag(g.tips.tipShowing);
    s.flag(g.tips.tipWaitsForClick);
    s.pad(2);
    vec2(s, g.tips.tipPosition);
    s.field(g.tips.tipDelayMs);
    s.field(g.tips.tipText);
    s.field(g.scores.scoreShown);
    s.field(g.scores.scoreTarget);
    s.field(g.hand.cursorMode);
    s.field(g.match.placedColumn);
    s.field(g.match.placedRow);
    s.field(g.scores.bankedScore);
    s.field(g.match.groupCounter);
    s.field(g.blasts.megaBoomCount);
    s.field(g.blasts.beamCount);
    s.field(g.clock.workLeft);
    s.field(g.clock.workTotal);
    vec2(s, g.hand.cursor);
    vec2(s, g.hand.cursorCopy);
    vec2(s, g.match.hintPosition);
    vec2(s, g.hand.swapSwing);
    vec2(s, g.hand.swapVector);
    s.flag(g.hand.rejecting);
    s.flag(g.tips.hintVisible);
    s.flag(g.match.cascadeActive);
    s.flag(g.flags.paused);
    s.flag(g.flags.menuActive);
    s.flag(g.flags.levelWon);
    s.flag(g.flags.boardDone);
    s.flag(x.reservedFlags[0]);
    s.flag(x.reservedFlags[1]);
    s.flag(g.match.playerMove);
    s.flag(g.tips.tipShownThisLevel);
    s.flag(g.flags.replayAfterLoss);
    s.field(x.gameMode);
    s.field(g.tips.tipTimerMs);
    float clock = app.animationClockMs;
    s.field(clock);
    app.animationClockMs = clock;
    s.field(g.match.cascadeDelayMs);
    s.field(g.clock.elapsedMs);
    s.field(g.clock.timeLimitMs);
    s.field(g.hud.hudSlide);
    s.field(g.flags.pauseMs);
    s.field(g.flags.levelEndMs);
    s.field(x.progress);
    s.field(x.reserved);
}

bool inRange(int32_t v, int32_t lo, int32_t hi) {
    return v >= lo && v <= hi;
}

bool validFigure(const Figure& f, int32_t figureCount, bool allowEmpty) {
    return inRange(f.kind, allowEmpty ? -1 : 0, figureCount - 1) && inRange(f.frame, 0, 31) &&
           inRange(f.bonus, 0, kStarBomb) && inRange(f.pendingBonus, 0, kStarBomb);
}

bool validCell(const Cell& c, int32_t figureCount) {
    if (!inRange(c.layers, -1, 2) || !inRange(c.chained, 0, 1) ||
        !validFigure(c.figure, figureCount, true)) {
        return false;
    }
    if (c.layers == -1 && (c.figure.kind != -1 || c.chained != 0)) {
        return false;
    }
    if (!(c.removal == 0 || c.removal == 1 || c.removal == 2 || c.removal == 3 ||
          c.removal == 10)) {
        return false;
    }
    for (int d = 0; d < 4; ++d) {
        if (c.groupId[d] < 0 || c.runLength[d] < 0 || c.runLength[d] > kColumns + kRows) {
            return false;
        }
    }
    return true;
}

bool validate(const GameState& g, const Extras& x) {
    const int32_t figures = g.level.figureCount;
    for (const Flyer& f : g.flyers.flyers) {
        if (!inRange(f.slot, 0, kMaxSlots) || !inRange(f.type, 0, 3) || !inRange(f.frame, 0, 31)) {
            return false;
        }
    }
    for (const BlastEvent& e : g.blasts.events) {
        if (!inRange(e.type, 0, kStarBomb)) {
            return false;
        }
        if (e.type != 0 && (!inRange(e.row, 0, kRows - 1) || !inRange(e.column, 0, kColumns - 1))) {
            return false;
        }
    }
    if (!inRange(g.match.groupListLength, 0, kMaxGroups)) {
        return false;
    }
    for (int i = 0; i < g.match.groupListLength; ++i) {
        const GroupRecord& r = g.match.groupList[i];
        if (!inRange(r.direction, 0, 3) || r.length < 0) {
            return false;
        }
        for (int k = 0; k < r.length && k < kGroupPositions; ++k) {
            if (!inRange(r.rows[k], 0, kRows - 1) || !inRange(r.columns[k], 0, kColumns - 1)) {
                return false;
            }
        }
    }
    for (const auto& row : g.board.cells) {
        for (const Cell& c : row) {
            if (!validCell(c, figures)) {
                return false;
            }
        }
    }
    if (!inRange(g.flyers.nextFlyer, 0, kFlyerCount - 1) ||
        !inRange(g.blasts.nextEvent, 0, kBlastEventCount - 1) ||
        !inRange(g.blasts.beamCount, 0, kBeamCount) ||
        !validFigure(g.hand.heldFigure, figures, false) ||
        !inRange(g.noMoves.noMovesSlot, -1, figures - 1) || !inRange(g.hand.cursorMode, 0, 3) ||
        !inRange(g.match.placedRow, 0, kRows - 1) ||
        !inRange(g.match.placedColumn, 0, kColumns - 1) || g.clock.workTotal < 0 ||
        !inRange(g.clock.workLeft, 0, g.clock.workTotal) || g.blasts.megaBoomCount < 0 ||
        g.match.groupCounter < 0 || x.gameMode > 1) {
        return false;
    }
    if (g.tips.tipText != -1 && textAt(g.tips.tipText) == nullptr) {
        return false;
    }
    return true;
}

// The state being read; a static so that loading allocates nothing.
GameState scratch;

}  // namespace

bool canSaveGame() {
    const LevelFlags& fl = game.flags;
    return fl.levelLoaded && game.match.moveMade && !game.clock.timedOut && !fl.levelWon &&
           !game.scores.timeBonusPhase && !fl.gameComplete;
}

int32_t writeSavedGame(uint8_t* out, int32_t capacity) {
    Extras x;
    x.gameMode = session.gameMode;
    x.progress = game.clock.workTotal > 0 ? 1.0f - static_cast<float>(game.clock.workLeft) /
                                                       static_cast<float>(game.clock.workTotal)
                                          : 0.0f;
    Writer w(out, capacity);
    const float clock = app.animationClockMs;
    transfer(w, game, x);
    app.animationClockMs = clock;
    return w.ok() && w.used() == kSavedGameSize ? w.used() : 0;
}

bool readSavedGame(const uint8_t* data, int32_t size) {
    if (!data || size != kSavedGameSize) {
        return false;
    }
    scratch = game;
    Extras x;
    const float clock = app.animationClockMs;
    Reader r(data, size);
    transfer(r, scratch, x);
    const float readClock = app.animationClockMs;
    app.animationClockMs = clock;
    if (!r.ok() || r.used() != size || !validate(scratch, x)) {
        return false;
    }
    game = scratch;
    app.animationClockMs = readClock;
    session.gameMode = x.gameMode;
    game.tips.tipKey[0] = 0;
    if (game.tips.tipText >= 0) {
        std::strncpy(game.tips.tipKey, textTable.entries[game.tips.tipText].key,
                     sizeof game.tips.tipKey - 1);
    }
    return true;
}

bool saveGameFile(const char* path) {
    static uint8_t buffer[kSavedGameSize];
    const int32_t n = writeSavedGame(buffer, kSavedGameSize);
    return n == kSavedGameSize && writeFile(path, buffer, n);
}

bool loadGameFile(const char* path) {
    static uint8_t buffer[kSavedGameSize + 1];
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        return false;
    }
    const size_t n = std::fread(buffer, 1, sizeof buffer, f);
    std::fclose(f);
    return readSavedGame(buffer, static_cast<int32_t>(n));
}

}  // namespace corsavel
