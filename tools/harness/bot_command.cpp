// botplay: the level-playing bot at the real game's controls. Each frame it
// looks at the game and, when it acts, moves the pointer and clicks through
// the window messages, so the game screen handles its input as a player's.

#include <cstdlib>
#include <fstream>
#include <string>

#include "bot/bot.h"
#include "game/rules.h"
#include "harness.h"
#include "platform/pointer.h"

namespace corsavel::harness {

namespace {

int botMoves = 0;

bool levelOver() {
    const bool countDone = session.gameMode == 1 || game.scores.bonusFinished;
    return (game.flags.levelWon && countDone) || game.clock.timedOut;
}

// botplay [MAXFRAMES [THINKMS [TRACEFILE]]]: plays the current level until
// it is won (time bonus counted) or timed out; fails when MAXFRAMES pass
// first. TRACEFILE gets corsavel-bot's trace of the play: a line per move
// and the final state, to compare with the bot's own run of the level.
bool botPlayCommand(const HarnessArgs& args, std::string* error) {
    long maxFrames = 100000;
    double thinkMs = 1500.0;
    char* end = nullptr;
    bool ok = args.size() <= 3;
    if (ok && !args.empty()) {
        maxFrames = std::strtol(args[0].c_str(), &end, 10);
        ok = *end == '\0' && maxFrames > 0;
    }
    if (ok && args.size() >= 2) {
        thinkMs = std::strtod(args[1].c_str(), &end);
        ok = *end == '\0' && thinkMs >= 0.0;
    }
    if (!ok) {
        *error = "usage: botplay [MAXFRAMES [THINKMS [TRACEFILE]]]";
        return false;
    }
    std::ofstream trace;
    if (args.size() == 3) {
        trace.open(outputPath(args[2]));
        if (!trace) {
            *error = "cannot write '" + outputPath(args[2]) + "'";
            return false;
        }
    }
    bot::BotOptions options;
    options.stepMs = static_cast<float>(frameStep());
    options.thinkMs = static_cast<float>(thinkMs);
    options.mode = session.gameMode;
    bot::BotHand hand(options);
    botMoves = 0;
    for (long frame = 0; frame < maxFrames; ++frame) {
        if (levelOver()) {
            if (trace.is_open() && !(trace << bot::finalStateLines())) {
                *error = "cannot write '" + outputPath(args[2]) + "'";
                return false;
            }
            return true;
        }
        Vec2 at;
        bot::MoveChoice move;
        if (hand.act(options.stepMs, &at, &move)) {
            overridePointer(at.x, at.y);
            sendMessage({MessageKind::MouseMove, 0});
            sendMessage({MessageKind::LeftDown, 0});
            sendMessage({MessageKind::LeftUp, 0});
            if (move.row >= 0) {
                botMoves += game.match.playerMove ? 1 : 0;
                if (trace.is_open()) {
                    trace << bot::moveTraceLine(botMoves, move);
                }
            }
        }
        runFrames(1);
    }
    *error = "the level was not over after " + std::to_string(maxFrames) + " frames";
    return false;
}

[[maybe_unused]] const bool registered =
    registerHarnessCommand("botplay", botPlayCommand) &&
    registerDumpField("botMoves", [] { return HarnessValue::number(botMoves); });

}  // namespace

}  // namespace corsavel::harness
