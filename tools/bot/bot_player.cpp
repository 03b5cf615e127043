#include <chrono>
#include <cstdio>

#include "audio/audio.h"
#include "bot/bot.h"
#include "game/game_requests.h"
#include "game/progress.h"
#include "game/rules.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "resources/asset_registry.h"

namespace corsavel::bot {

namespace {

// The instructions overlay closes with its "OK" button.
constexpr float kInstructionsOkX = 30.0f;
constexpr float kInstructionsOkY = -170.0f;
// Play after the clock ran out, in case a level never ends on its own.
constexpr float kSafetyMs = 60000.0f;

// A fresh player for every run: three lives, nothing seen yet, so the
// instructions and the tips appear as they do for a new profile.
Profile botProfile;

// The level text the game reads under the pack name it asks for. The
// registry keeps a pointer to these bytes until the next level replaces them.
std::string servedText;

void serveLevel(const LevelSource& level) {
    char name[40];
    std::snprintf(name, sizeof name, "levels\\pack1_%.2i.lvl", level.levelIndex + 1);
    if (!servedText.empty()) {
        releaseAsset(reinterpret_cast<const uint8_t*>(servedText.data()));
    }
    while (AssetEntry* old = findAsset(name)) {
        if (!releaseAsset(old->data)) {
            break;
        }
    }
    servedText = level.text;
    registerAsset(name, static_cast<int32_t>(servedText.size()),
                  reinterpret_cast<uint8_t*>(servedText.data()), false);
}

void prepareRun(uint32_t seed, int mode) {
    setAudioOutput(nullptr);
    resetAudio();
    clearRequests();
    botProfile = Profile{};
    botProfile.lives[0] = 3;
    botProfile.lives[1] = 3;
    setActiveProfile(&botProfile);
    session = SessionState{};
    session.gameMode = static_cast<uint8_t>(mode == 1 ? 1 : 0);
    game = GameState{};
    app.animationClockMs = 0.0f;
    seedRandom(seed);
}

bool blastsPending() {
    for (const BlastEvent& e : game.blasts.events) {
        if (e.type != 0) {
            return true;
        }
    }
    return false;
}

void click(float x, float y) {
    onBoardPointerMove(x, y);
    onBoardClickAt(x, y);
    onBoardButtonUp();
}

// The hinted cell, or (-1, -1) before the game chose one.
void hintCell(int& row, int& column) {
    const Vec2 p = game.match.hintPosition;
    if (game.match.moveCount <= 0) {
        row = -1;
        column = -1;
        return;
    }
    cellAt(p.x, p.y, column, row);
}

}  // namespace

bool boardAtRest() {
    const MatchState& m = game.match;
    const HandState& h = game.hand;
    return !m.cascadeActive && !m.playerMove && m.cascadeDelayMs < 0.0f && isSettled() &&
           isAtRest(h.heldFigure) && !h.rejecting && h.swapAngle == 0.0f &&
           !game.noMoves.noMovesActive && !blastsPending() && !game.flags.boardDone;
}

bool BotHand::act(float stepMs, Vec2* at, MoveChoice* move) {
    const LevelFlags& fl = game.flags;
    *move = MoveChoice{};
    if (fl.levelWon || game.clock.timedOut || fl.menuActive) {
        waitMs_ = 0.0f;
        return false;
    }
    if (fl.instructionsShown || tipBlocks() || fl.paused) {
        waitMs_ += stepMs;
        if (waitMs_ < options_.reactMs) {
            return false;
        }
        waitMs_ = 0.0f;
        *at = fl.instructionsShown ? Vec2{kInstructionsOkX, kInstructionsOkY}
                                   : (tipBlocks() ? tipButtonCentre() : game.hand.cursor);
        return true;
    }
    if (!boardAtRest()) {
        waitMs_ = 0.0f;
        return false;
    }
    waitMs_ += stepMs;
    if (waitMs_ < options_.thinkMs) {
        return false;
    }
    waitMs_ = 0.0f;
    int hintRow = -1;
    int hintColumn = -1;
    hintCell(hintRow, hintColumn);
    *move = chooseMove(viewBoard(), hintRow, hintColumn);
    if (move->row < 0) {
        return false;
    }
    *at = cellCentre(move->column, move->row);
    return true;
}

BotPlayer::BotPlayer(const BotOptions& options) : options_(options), hand_(options) {
    if (options_.stepMs <= 0.0f) {
        options_.stepMs = 16.0f;
    }
}

void BotPlayer::begin(const LevelSource& level, uint32_t seed) {
    prepareRun(seed, options_.mode);
    serveLevel(level);
    startLevel(level.levelIndex);
    result_ = LevelResult{};
    result_.levelIndex = level.levelIndex;
    result_.stage = stageOfLevel(level.levelIndex);
    result_.figures = game.level.figureCount;
    result_.limitMs = game.clock.timeLimitMs;
    result_.workTotal = game.clock.workTotal;
    giveUpMs_ = options_.giveUpMs;
    if (giveUpMs_ <= 0.0f) {
        const float limit = result_.limitMs > 0.0f ? result_.limitMs : 0.0f;
        giveUpMs_ = options_.mode == 1 ? limit * 10.0f + kSafetyMs : limit + kSafetyMs;
    }
    framesLeft_ = (static_cast<double>(giveUpMs_) + kSafetyMs) / options_.stepMs;
    hand_.reset();
    over_ = false;
}

bool BotPlayer::step() {
    if (over_ || !(framesLeft_ > 0.0)) {
        over_ = true;
        return false;
    }
    framesLeft_ -= 1.0;
    const float step = options_.stepMs;
    const LevelFlags& fl = game.flags;
    if (fl.levelWon) {
        // Let the time bonus count to its end, then the level is recorded.
        if (options_.mode == 1 || game.scores.bonusFinished) {
            return finish(Outcome::Won);
        }
    } else if (game.clock.timedOut) {
        return finish(Outcome::Lost);
    } else if (game.clock.elapsedMs >= giveUpMs_) {
        return finish(Outcome::GaveUp);
    } else {
        Vec2 at;
        MoveChoice move;
        if (hand_.act(step, &at, &move)) {
            click(at, move);
        }
    }
    gameplayUpdateStep(step);
    return true;
}

void BotPlayer::click(Vec2 at, const MoveChoice& move) {
    corsavel::bot::click(at.x, at.y);
    if (move.row < 0) {
        return;
    }
    result_.moves += game.match.playerMove ? 1 : 0;
    result_.refused += game.hand.rejecting ? 1 : 0;
    if (options_.trace) {
        std::fputs(moveTraceLine(result_.moves, move).c_str(), options_.trace);
    }
}

bool BotPlayer::finish(Outcome outcome) {
    result_.outcome = outcome;
    over_ = true;
    if (options_.trace) {
        std::fputs(finalStateLines().c_str(), options_.trace);
    }
    return false;
}

LevelResult BotPlayer::result() const {
    LevelResult r = result_;
    r.elapsedMs = game.clock.elapsedMs;
    r.score = game.scores.scoreTarget;
    r.timeBonus = game.scores.bonusFinished ? game.scores.bonusTarget : 0;
    r.workLeft = game.clock.workLeft;
    return r;
}

LevelResult playLevel(const LevelSource& level, uint32_t seed, const BotOptions& options) {
    const auto wallStart = std::chrono::steady_clock::now();
    BotPlayer player(options);
    player.begin(level, seed);
    while (player.step()) {
    }
    LevelResult result = player.result();
    result.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return result;
}

}  // namespace corsavel::bot
