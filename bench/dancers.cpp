// Ten dancers of the forged data, each frame ticked (sequencing and clock),
// posed, skinned, given smooth normals and drawn with their hats into the
// null device: CPU time of our own code per frame, and heap allocations per
// frame (there should be none).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "allocation_counter.h"
#include "game/dancers.h"
#include "game/game_state.h"
#include "gfx/character.h"
#include "platform/null_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

NullDevice device;

bool loadOnce() {
    static bool loaded = false;
    if (!loaded) {
        char previous[4096];
        if (getcwd(previous, sizeof previous) == nullptr || chdir(CORSAVEL_BENCH_DATA) != 0) {
            return false;
        }
        setRenderBackend(&device);
        applyDefaultStates();
        loadDancers();
        loaded = chdir(previous) == 0 && characterSetLoaded();
    }
    return loaded;
}

// Ten dancers across the scene, each with its own sequence, hat and kind.
void setUpTroupe() {
    game = GameState{};
    game.level.dancerCount = kMaxDancers;
    game.level.dancerCameraDepth = -700.0f;
    for (int i = 0; i < kMaxDancers; ++i) {
        Dancer& d = game.level.dancers[i];
        std::fill(std::begin(d.sequence), std::end(d.sequence), -1);
        d.sequence[0] = i;
        d.sequence[1] = (i + 7) % 16;
        d.sequence[2] = 15;
        d.x = -342.0f + 76.0f * i;
        d.hat = i;
        d.model = i % 4;
        d.startOffsetMs = 37.0f * i;
    }
}

void BM_TenDancers(benchmark::State& state) {
    if (!loadOnce()) {
        state.SkipWithError("no forged Data folder");
        return;
    }
    setUpTroupe();
    // Warm up through a few cross-fades.
    for (int f = 0; f < 300; ++f) {
        dancersTick(16.0f);
        drawDancers();
    }
    long frames = 0;
    long allocations = 0;
    device.meshDraws = 0;
    for (auto _ : state) {
        startCountingAllocations();
        dancersTick(16.0f);
        drawDancers();
        allocations += stopCountingAllocations();
        ++frames;
    }
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(frames > 0 ? frames : 1);
    state.counters["mesh_draws_per_frame"] =
        static_cast<double>(device.meshDraws) / static_cast<double>(frames > 0 ? frames : 1);
}
BENCHMARK(BM_TenDancers)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corsavel

BENCHMARK_MAIN();
