// Frames of the gameplay rules, run headless as the bot plays them: the cost
// of a frame while a busy cascade with many bonus blasts resolves, whole
// levels played by the bot, and the heap allocations a frame makes once the
// level has started (there should be none).
#include <benchmark/benchmark.h>

#include <string>

#include "allocation_counter.h"
#include "bot/bot.h"
#include "busy_cascade.h"
#include "game/progress.h"
#include "game/rules.h"
#include "platform/frame_state.h"
#include "platform/random.h"

namespace corsavel {
namespace {

using bot::BotOptions;
using bot::BotPlayer;
using bot::LevelSource;

LevelSource makeLevel(const char* keys, const char* grid) {
    LevelSource level;
    level.name = "pack1_50.lvl";
    level.levelIndex = 49;
    level.text = std::string(keys) + "level=\r\n" + grid;
    return level;
}

// A full board of double layers with chained bonus figures: every move hits
// tiles, and the fewer slots the longer the cascades.
const char* const kBusyGrid =
    "222222222222\r\n222222222222\r\n22Q222222a22\r\n222222222222\r\n222q2222R222\r\n"
    "222222222222\r\n2b22222222S2\r\n222222222222\r\n2222r22A2222\r\n222222222222\r\n"
    "222222222222\r\n";

bool blastsPending() {
    for (const BlastEvent& e : game.blasts.events) {
        if (e.type != 0) {
            return true;
        }
    }
    return false;
}

bool cascadeOver() {
    return !game.match.cascadeActive && !game.match.playerMove &&
           game.match.cascadeDelayMs < 0.0f && isSettled() && !blastsPending();
}

GameState busyStart;
float busyClock = 0.0f;

void BM_RulesFrameBusyCascade(benchmark::State& state) {
    BotOptions options;
    BotPlayer player(options);
    player.begin(makeLevel("figures=5\r\ntime=900\r\n", kBusyGrid), 7);
    // A player who has seen the instructions and every tip.
    game.flags.instructionsShown = false;
    Profile& profile = activeProfile();
    profile.tipPowerupShown = profile.tipRelaxShown = 1;
    profile.tipSquareShown = profile.tipChainShown = 1;
    setOffBusyCascade();
    busyStart = game;
    busyClock = app.animationClockMs;
    int64_t frames = 0;
    int64_t cascades = 0;
    int64_t blastFrames = 0;
    startCountingAllocations();
    for (auto _ : state) {
        gameplayUpdateStep(16.0f);
        ++frames;
        blastFrames += blastsPending() ? 1 : 0;
        if (cascadeOver()) {
            state.PauseTiming();
            game = busyStart;
            app.animationClockMs = busyClock;
            seedRandom(static_cast<uint32_t>(++cascades));
            state.ResumeTiming();
        }
    }
    const int allocations = stopCountingAllocations();
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / frames;
    state.counters["frames_per_cascade"] =
        static_cast<double>(frames) / static_cast<double>(cascades > 0 ? cascades : 1);
    state.counters["blast_share"] = static_cast<double>(blastFrames) / frames;
}

// Whole levels played by the bot at its default pace: every frame of the
// rules plus the bot's look at the board before each click.
void BM_BotPlaysALevel(benchmark::State& state) {
    const LevelSource level =
        makeLevel("figures=7\r\ntime=400\r\n",
                  "..00000000..\r\n.0000000000.\r\n000000000000\r\n000200002000\r\n00A000000B00\r\n"
                  "000020020000\r\n0Q00000000a0\r\n000022220000\r\n00q000000C00\r\n001111111100\r\n"
                  "..11111111..\r\n");
    BotPlayer player(BotOptions{});
    int64_t frames = 0;
    int64_t allocations = 0;
    int64_t won = 0;
    uint32_t seed = 0;
    for (auto _ : state) {
        player.begin(level, ++seed);
        startCountingAllocations();
        while (player.step()) {
            ++frames;
        }
        allocations += stopCountingAllocations();
        won += player.result().won() ? 1 : 0;
    }
    state.counters["levels_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / frames;
    state.counters["won_share"] = static_cast<double>(won) / state.iterations();
}

BENCHMARK(BM_RulesFrameBusyCascade)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BotPlaysALevel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corsavel

BENCHMARK_MAIN();
