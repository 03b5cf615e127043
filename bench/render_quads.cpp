#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "platform/primitives.h"
#include "platform/render_device.h"
#include "platform/window.h"

namespace corsavel {
namespace {

// One window and device for all benchmarks of this file, on the offscreen
// driver unless a display is present.
bool deviceReady() {
    static bool ready = [] {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        return createGameWindow(false) && createDevice();
    }();
    return ready;
}

uint32_t quadTexture() {
    static uint32_t texture = [] {
        std::vector<uint8_t> texels(32 * 32 * 4);
        for (int i = 0; i < 32 * 32; ++i) {
            texels[i * 4] = static_cast<uint8_t>(i * 7);
            texels[i * 4 + 1] = static_cast<uint8_t>(i * 3);
            texels[i * 4 + 2] = 200;
            texels[i * 4 + 3] = static_cast<uint8_t>(128 + (i % 128));
        }
        return renderBackend()->createTexture(32, 32, texels.data());
    }();
    return texture;
}

void frame(int quads) {
    clearTarget(0xFF000000u);
    clearDepth(1.0f);
    beginScene();
    begin2D();
    bindTextureHandle(quadTexture());
    // Spread the 48x48 quads over the scene in a fixed pattern.
    for (int i = 0; i < quads; ++i) {
        float x = static_cast<float>((i * 37) % 752) - 376.0f;
        float y = static_cast<float>((i * 53) % 552) - 276.0f;
        drawSprite(x, y, 48.0f, 48.0f, UvRect{}, 0xC0FFFFFFu, 10.0f);
    }
    endScene();
    presentFrame();
}

void runFrames(benchmark::State& state, int quads) {
    if (!deviceReady()) {
        state.SkipWithError("no GL context");
        return;
    }
    for (auto _ : state) {
        frame(quads);
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ClearOnlyFrame(benchmark::State& state) {
    runFrames(state, 0);
}
void BM_TwoThousandBlendedQuads(benchmark::State& state) {
    runFrames(state, 2000);
}

BENCHMARK(BM_ClearOnlyFrame)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoThousandBlendedQuads)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corsavel

BENCHMARK_MAIN();
