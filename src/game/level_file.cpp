#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "game/figure_kinds.h"
#include "game/game_requests.h"
#include "game/instructions.h"
#include "game/progress.h"
#include "game/rules.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {

namespace {

constexpr int32_t kDanceSets[8][10] = {{0, 1, 2, 3, 4, -1},
                                       {6, 7, 8, 9, 10, -1},
                                       {14, 14, 14, 14, 14, 15, -1},
                                       {5, 5, 15, -1},
                                       {3, 4, 3, 4, -1},
                                       {8, 9, 8, 9, -1},
                                       {11, 12, -1},
                                       {1, 6, 2, 7, 3, 8, 4, 15, -1}};

// Level files are small; a longer file is read up to this size.
constexpr int32_t kLevelTextCapacity = 65536;
char levelText[kLevelTextCapacity + 1];

int32_t clampInt(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

void setDanceSet(Dancer& d, int32_t set) {
    for (int32_t& s : d.sequence) {
        s = -1;
    }
    for (int i = 0; i < 10; ++i) {
        d.sequence[i] = kDanceSets[set][i];
        if (kDanceSets[set][i] < 0) {
            break;
        }
    }
}

// Lays out `count` dancers in formation f with dance set d. Hats, models,
// formation and the desync only look: they come from the looks' generator.
void buildAutomaticDancers(int32_t count, int32_t standType, int32_t dance) {
    LevelSetup& lv = game.level;
    const int32_t a = clampInt(count, 1, kMaxDancers);
    lv.dancerCount = a;
    const bool sharedHat = looksRandom.randomInt(2) == 0;
    const int32_t hat = sharedHat ? looksRandom.randomInt(11) : 0;
    const int32_t f = standType >= 1 ? clampInt(standType - 1, 0, 5) : looksRandom.randomInt(6);
    const int32_t set = dance >= 1 ? clampInt(dance - 1, 0, 7) : looksRandom.randomInt(8);
    const float s = 1.0f - a * 0.5f / 9.0f;
    const float t = 1.3f - a * 0.5f / 9.0f;
    const int32_t h = a / 2 < 1 ? 1 : a / 2;
    for (int32_t i = 0; i < a; ++i) {
        Dancer& d = lv.dancers[i];
        d = Dancer{};
        d.hat = sharedHat ? hat : looksRandom.randomInt(11);
        d.model = looksRandom.randomInt(4);
        setDanceSet(d, set);
        if (a == 1) {
            continue;
        }
        const float fi = static_cast<float>(i);
        d.x = -320.0f + 640.0f * fi / static_cast<float>(a - 1);
        const float step = (t - s) / static_cast<float>(h);
        switch (f) {
            case 0:
                d.scale = s + (t - s) * fi / static_cast<float>(a - 1);
                break;
            case 1:
                d.scale = t - (t - s) * fi / static_cast<float>(a - 1);
                break;
            case 2:
                d.scale = i <= h ? s + step * fi : s + step * static_cast<float>(2 * h - i);
                break;
            case 3:
                d.scale = i <= h ? t - step * fi : t - step * static_cast<float>(2 * h - i);
                break;
            default: {
                const float angle = static_cast<float>((360 / a) * i);
                const float rad = angle * kPi / 180.0f;
                d.x = std::sin(rad) * 320.0f;
                d.y = std::cos(rad) * -320.0f;
                d.scale = d.y / 1500.0f + (s + t) / 2.0f;
                d.turn = angle;
                break;
            }
        }
    }
    if (looksRandom.randomInt(2) == 0) {
        for (int32_t i = 0; i < a; ++i) {
            lv.dancers[i].startOffsetMs = static_cast<float>((250 / a) * i);
        }
    }
}

void readExplicitDancers(const char* text) {
    LevelSetup& lv = game.level;
    const int32_t count = readInt(text, "skeletons=");
    if (count <= 0) {
        lv.dancerCount = 1;
        Dancer& d = lv.dancers[0];
        d = Dancer{};
        d.turn = 210.0f;
        d.hat = 1;
        for (int32_t& s : d.sequence) {
            s = -1;
        }
        d.sequence[0] = 0;
        return;
    }
    lv.dancerCount = clampInt(count, 1, kMaxDancers);
    char key[32];
    for (int32_t i = 0; i < lv.dancerCount; ++i) {
        Dancer& d = lv.dancers[i];
        d = Dancer{};
        std::snprintf(key, sizeof key, "sk%irotz=", i);
        d.turn = readFloat(text, key);
        std::snprintf(key, sizeof key, "sk%ix=", i);
        d.x = readFloat(text, key);
        std::snprintf(key, sizeof key, "sk%iy=", i);
        d.y = readFloat(text, key);
        std::snprintf(key, sizeof key, "sk%iscale=", i);
        d.scale = readFloat(text, key);
        if (d.scale == 0.0f) {
            d.scale = 1.0f;
        }
        std::snprintf(key, sizeof key, "sk%ihat=", i);
        d.hat = clampInt(readInt(text, key), 0, 10);
        std::snprintf(key, sizeof key, "sk%itype=", i);
        d.model = clampInt(readInt(text, key), 0, 3);
        float values[kDanceSequenceLength] = {};
        std::snprintf(key, sizeof key, "sk%ianim=", i);
        readFloatList(text, values, kDanceSequenceLength, key);
        // A number no int holds (or not a number) names no dance: -1, as
        // any dance number out of range counts where it is played.
        for (int k = 0; k < kDanceSequenceLength; ++k) {
            const float v = values[k];
            d.sequence[k] = v > -2147483648.0f && v < 2147483648.0f ? static_cast<int32_t>(v) : -1;
        }
        std::snprintf(key, sizeof key, "sk%idtime=", i);
        d.startOffsetMs = static_cast<float>(readInt(text, key));
    }
}

bool acceptedCellChar(uint8_t c) {
    return (c >= '0' && c <= 'z') || c == '.' || c >= 0xC0;
}

// One grid character into one cell. Pre-placed slots beyond the level's
// figure count wrap into it, so every figure stays a slot in play.
void applyCellChar(Cell& cell, uint8_t c) {
    int32_t slot = -1;
    int32_t bonus = 0;
    if (c == '.') {
        cell.layers = -1;
        return;
    }
    if (c >= '0' && c <= '2') {
        cell.layers = c - '0';
        return;
    }
    if (c >= 'A' && c <= 'O') {
        slot = c - 'A';
    } else if (c >= 'Q' && c <= '_') {
        slot = c - 'Q';
        bonus = kBomb;
    } else if (c >= 'a' && c <= 'o') {
        slot = c - 'a';
        bonus = kLightning;
    } else if (c >= 'q' && c <= 'z') {
        slot = c - 'q';
        bonus = kCrossBomb;
    } else if (c >= 0xC0 && c <= 0xCE) {
        slot = c - 0xC0;
        bonus = kDiagonalBomb;
    } else if (c >= 0xD0 && c <= 0xDE) {
        slot = c - 0xD0;
        bonus = kStarBomb;
    } else {
        cell.layers = 0;
        return;
    }
    cell.layers = 2;
    cell.chained = 1;
    cell.figure.kind = slot % game.level.figureCount;
    cell.figure.bonus = bonus;
}

void parseGrid(const char* grid) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(grid);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            while (*p != 0 && !acceptedCellChar(*p)) {
                if (p[0] == '\r' && p[1] == '\n' && p[2] == '\r' && p[3] == '\n') {
                    return;
                }
                ++p;
            }
            if (*p == 0) {
                return;
            }
            applyCellChar(game.board.cells[r][c], *p++);
        }
    }
}

}  // namespace

int32_t figureKindByName(const char* name) {
    for (int32_t k = 0; k < kFigureKindCount; ++k) {
        if (std::strcmp(kFigureKindNames[k], name) == 0) {
            return k;
        }
    }
    return -1;
}

bool parseLevelText(const char* text, int) {
    LevelSetup& lv = game.level;
    int32_t count = readInt(text, "figures=");
    lv.figureCount = count == 0 ? 8 : clampInt(count, 1, kMaxSlots);
    const int32_t autoCount = readInt(text, "autoskeletons=");
    if (autoCount >= 1) {
        buildAutomaticDancers(autoCount, readInt(text, "standtype="), readInt(text, "dance="));
    } else {
        readExplicitDancers(text);
    }
    float depth = -300.0f;
    for (int32_t i = 0; i < lv.dancerCount; ++i) {
        const float d = -700.0f - (lv.dancers[i].scale - 1.0f) * 300.0f / 0.4f;
        depth = d < depth ? d : depth;
    }
    lv.dancerCameraDepth = depth;
    game.hand.heldFigure.kind = randomInt(lv.figureCount);
    char key[32];
    char name[64];
    for (int32_t i = 0; i < kMaxSlots; ++i) {
        lv.slotKinds[i] = i;
    }
    for (int32_t i = 0; i < lv.figureCount; ++i) {
        std::snprintf(key, sizeof key, "figure%i=", i);
        if (readValue(name, text, key) != nullptr) {
            const int32_t k = figureKindByName(name);
            if (k >= 0) {
                lv.slotKinds[i] = k;
            }
        }
    }
    lv.timeBaseSeconds = readFloat(text, "time=");
    const char* grid = std::strstr(text, "level=");
    if (!grid) {
        return false;
    }
    parseGrid(grid + 6);
    return true;
}

bool loadLevelFile(const char* name) {
    char path[96];
    std::snprintf(path, sizeof path, "levels\\%s", name);
    int32_t size = 0;
    const uint8_t* data = loadFile(path, &size, true);
    if (!data || size < 0) {
        return false;
    }
    const int32_t n = size < kLevelTextCapacity ? size : kLevelTextCapacity;
    std::memcpy(levelText, data, static_cast<size_t>(n));
    levelText[n] = 0;
    return parseLevelText(levelText, session.currentLevel);
}

// Reads the pack files once so later level starts find them in memory,
// stopping after the first that has no grid. Only the bytes: a level is set
// up (and draws its figures from the rules' generator) when it starts, so
// loading leaves the generator as seeded.
void loadLevelPacks() {
    char path[48];
    for (int i = 1; i <= kLevelCount; ++i) {
        std::snprintf(path, sizeof path, "levels\\pack1_%.2i.lvl", i);
        int32_t size = 0;
        const uint8_t* data = loadFile(path, &size, true);
        if (data == nullptr || size <= 0 ||
            memmem(data, static_cast<size_t>(size), "level=", 6) == nullptr) {
            break;
        }
    }
    game = GameState{};
}

namespace {

// Moves every figure down one step as far as it can go, spawning at the top.
void settleInstantly() {
    Board& b = game.board;
    for (int r = kRows - 1; r >= 1; --r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isValidCell(r, c) || b.cells[r][c].figure.kind >= 0) {
                continue;
            }
            if (isValidCell(r - 1, c) && b.cells[r - 1][c].figure.kind >= 0 &&
                b.cells[r - 1][c].chained == 0) {
                b.cells[r][c].figure = b.cells[r - 1][c].figure;
                b.cells[r - 1][c].figure.kind = -1;
            } else if (b.cells[r - 1][c].layers == -1) {
                spawnFigure(r, c);
            }
        }
    }
    for (int c = 0; c < kColumns; ++c) {
        if (isValidCell(0, c) && b.cells[0][c].figure.kind < 0) {
            spawnFigure(0, c);
        }
    }
}

bool slideOne() {
    Board& b = game.board;
    for (int r = kRows - 1; r >= 1; --r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isValidCell(r, c) || b.cells[r][c].figure.kind >= 0) {
                continue;
            }
            int from = -1;
            if (c < kColumns - 1 && isFreeFigure(r - 1, c + 1)) {
                from = c + 1;
            } else if (c > 0 && isFreeFigure(r - 1, c - 1)) {
                from = c - 1;
            }
            if (from >= 0) {
                b.cells[r][c].figure = b.cells[r - 1][from].figure;
                b.cells[r - 1][from].figure.kind = -1;
                return true;
            }
        }
    }
    return false;
}

void removeLines() {
    findAllLines();
    Board& b = game.board;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            const bool inLine =
                cell.groupId[0] || cell.groupId[1] || cell.groupId[2] || cell.groupId[3];
            if (inLine && cell.chained == 0 && cell.figure.bonus == 0) {
                cell.figure.kind = -1;
            }
        }
    }
    clearMarks();
}

}  // namespace

void initialFill() {
    Board& b = game.board;
    for (auto& row : b.cells) {
        for (Cell& cell : row) {
            if (cell.chained == 0 && cell.figure.bonus == 0) {
                cell.figure.kind = -1;
            }
        }
    }
    for (int round = 0; round < 100; ++round) {
        settleInstantly();
        if (canFallStraight()) {
            continue;
        }
        if (slideOne()) {
            continue;
        }
        removeLines();
    }
    for (auto& row : b.cells) {
        for (Cell& cell : row) {
            cell.figure.offset = Vec2{};
            cell.figure.fallSpeed = 0.0f;
            cell.figure.sliding = false;
        }
    }
    // The hand's slot is cycled here, before play, up to the first slot with
    // a move; only a board where no slot has one is left flagged for the
    // timed change (and its board fix) once play begins.
    const int32_t n = game.level.figureCount;
    for (int32_t i = 0; i < n; ++i) {
        game.noMoves.noMovesActive = false;
        findMoves();
        if (!game.noMoves.noMovesActive) {
            break;
        }
        game.hand.heldFigure.kind = (game.hand.heldFigure.kind + 1) % n;
    }
}

void countWorkAndTime(int levelIndex) {
    int32_t work = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            work += cell.chained != 0 ? 1 : 0;
            work += cell.layers > 0 ? cell.layers : 0;
        }
    }
    game.clock.workLeft = work;
    game.clock.workTotal = work;
    // No base time derives the limit from the board; so does a negative one,
    // which would otherwise lose the level before the first move.
    const float base = game.level.timeBaseSeconds;
    if (base <= 0.0f) {
        game.clock.timeLimitMs = static_cast<float>(work) * 7000.0f;
    } else {
        const double d = (100.0 - levelIndex) / 100.0;
        double t = base * (4.0 * d * d * d + 1.2);
        if (levelIndex < 5) {
            t *= 2.0;
        }
        game.clock.timeLimitMs = static_cast<float>(t * 1000.0);
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            if (cell.layers == 1) {
                cell.shimmerMs = 5000.0f + r * 100.0f - c * 50.0f;
            } else if (cell.layers == 2) {
                cell.shimmerMs = 5500.0f - r * 100.0f + c * 50.0f;
            }
        }
    }
}

// Every start resets the whole level state, the retry flag included: it
// belongs to one level, and loseLevel sets it again after its own restart.
void startLevel(int levelIndex) {
    game = GameState{};
    game.flags.levelLoaded = true;
    app.animationClockMs = 0.0f;
    session.currentLevel = levelIndex;
    char name[32];
    std::snprintf(name, sizeof name, "pack1_%.2i.lvl", levelIndex + 1);
    loadLevelFile(name);
    resetTipTimer();
    initialFill();
    countWorkAndTime(levelIndex);
    requestMusic(4 + levelIndex % 3);
    // The stage's scene in its own colours (the tint of full brightness).
    requestTint(GameRequestKind::SetTintNow, 1.0f, 1.0f, 1.0f, 1.0f);
    requestNumber(GameRequestKind::LoadBackground, stageOfLevel(levelIndex) + 1);
    Profile& p = activeProfile();
    setLastMode(p, session.gameMode);
    p.savedGame[session.gameMode ? 1 : 0] = 0;
    if (p.helpShown == 0) {
        game.flags.instructionsShown = true;
        prepareDemonstration();
        p.helpShown = 1;
        game.tips.tipTimerMs = 1000.0f;
    }
    game.scores.bankedScore = profileScore(p);
}

}  // namespace corsavel
