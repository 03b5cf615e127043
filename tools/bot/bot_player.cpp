#include <chrono>
#include <cstdio>

#include "audio/audio.h"
#include "bot/bot.h"
#include "game/game_hooks.h"
#include "game/rules.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "resources/asset_registry.h"
#include "ui/profile.h"

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

// Serves the level's text under the pack name the game asks for; releases
// whatever the registry held under that name first.
class LevelAsset {
public:
    LevelAsset(const LevelSource& level) {
        std::snprintf(name_, sizeof name_, "levels\\pack1_%.2i.lvl", level.levelIndex + 1);
        while (AssetEntry* old = findAsset(name_)) {
            if (!releaseAsset(old->data)) {
                break;
            }
        }
        bytes_ = level.text;
        registerAsset(name_, static_cast<int32_t>(bytes_.size()),
                      reinterpret_cast<uint8_t*>(bytes_.data()), false);
    }
    ~LevelAsset() { releaseAsset(reinterpret_cast<const uint8_t*>(bytes_.data())); }
    LevelAsset(const LevelAsset&) = delete;
    LevelAsset& operator=(const LevelAsset&) = delete;

private:
    char name_[40] = {};
    std::string bytes_;
};

void prepareRun(uint32_t seed, int mode) {
    setAudioDevice(nullptr);
    resetAudio();
    gameplayServices = GameplayServices{};
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

// Nothing on the board moves, no cascade or blast is pending and the hand is
// ready: the moment a player looks for the next move.
bool boardAtRest() {
    const MatchState& m = game.match;
    const HandState& h = game.hand;
    return !m.cascadeActive && !m.playerMove && m.cascadeDelayMs < 0.0f && isSettled() &&
           isAtRest(h.heldFigure) && !h.rejecting && h.swapAngle == 0.0f &&
           !game.noMoves.noMovesActive && !blastsPending() && !game.flags.boardDone;
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

LevelResult playLevel(const LevelSource& level, uint32_t seed, const BotOptions& options) {
    const auto wallStart = std::chrono::steady_clock::now();
    const float step = options.stepMs > 0.0f ? options.stepMs : 16.0f;
    prepareRun(seed, options.mode);
    LevelAsset asset(level);
    startLevel(level.levelIndex);

    LevelResult result;
    result.levelIndex = level.levelIndex;
    result.stage = stageOfLevel(level.levelIndex);
    result.figures = game.level.figureCount;
    result.limitMs = game.clock.timeLimitMs;
    result.workTotal = game.clock.workTotal;
    float giveUp = options.giveUpMs;
    if (giveUp <= 0.0f) {
        giveUp =
            options.mode == 1 ? result.limitMs * 10.0f + kSafetyMs : result.limitMs + kSafetyMs;
    }
    const double maxFrames = (static_cast<double>(giveUp) + kSafetyMs) / step;

    float waitMs = 0.0f;
    for (double frame = 0; frame < maxFrames; frame += 1) {
        const LevelFlags& fl = game.flags;
        if (fl.levelWon) {
            // Let the time bonus count to its end, then the level is recorded.
            if (options.mode == 1 || game.scores.bonusFinished) {
                result.outcome = Outcome::Won;
                break;
            }
        } else if (game.clock.timedOut) {
            result.outcome = Outcome::Lost;
            break;
        } else if (game.clock.elapsedMs >= giveUp) {
            result.outcome = Outcome::GaveUp;
            break;
        } else if (fl.instructionsShown || tipBlocks() || fl.paused) {
            waitMs += step;
            if (waitMs >= options.reactMs) {
                const Vec2 at = fl.instructionsShown
                                    ? Vec2{kInstructionsOkX, kInstructionsOkY}
                                    : (tipBlocks() ? game.tips.tipPosition : game.hand.cursor);
                click(at.x, at.y);
                waitMs = 0.0f;
            }
        } else if (boardAtRest()) {
            waitMs += step;
            if (waitMs >= options.thinkMs) {
                int hintRow = -1;
                int hintColumn = -1;
                hintCell(hintRow, hintColumn);
                const MoveChoice move = chooseMove(viewBoard(), hintRow, hintColumn);
                if (move.row >= 0) {
                    const Vec2 at = cellCentre(move.column, move.row);
                    click(at.x, at.y);
                    result.moves += game.match.playerMove ? 1 : 0;
                    result.refused += game.hand.rejecting ? 1 : 0;
                    if (options.trace) {
                        std::fprintf(options.trace,
                                     "%8.1f s  move %3d  row %2d column %2d  value %5d  work "
                                     "left %d%s\n",
                                     game.clock.elapsedMs / 1000.0f, result.moves, move.row,
                                     move.column, move.value, game.clock.workLeft,
                                     game.hand.rejecting ? "  refused" : "");
                    }
                }
                waitMs = 0.0f;
            }
        } else {
            waitMs = 0.0f;
        }
        gameplayUpdateStep(step);
    }
    result.elapsedMs = game.clock.elapsedMs;
    result.score = game.scores.scoreTarget;
    result.timeBonus = game.scores.bonusFinished ? game.scores.bonusTarget : 0;
    result.workLeft = game.clock.workLeft;
    setActiveProfile(nullptr);
    result.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return result;
}

}  // namespace corsavel::bot
