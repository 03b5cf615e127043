// The audio update per frame with 64 voices playing and the level music
// streaming, on OpenAL Soft's loopback device so that the mixing runs here
// and can be measured too. Counts heap allocations per frame after load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "allocation_counter.h"
#include "audio/audio.h"
#include "audio/openal_output.h"

namespace corsavel {
namespace {

constexpr int kFrameMs = 16;
constexpr int kFrameSamples = kOutputRate * kFrameMs / 1000;

OpenAlOutput& loadedOutput() {
    static OpenAlOutput out;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        out.setCaptureMode(true);
        setAudioOutput(&out);
        resetAudio();
        initAudio();
        if (chdir(CORSAVEL_BENCH_DATA) == 0) {
            loadSounds();
        }
        switchMusic(4);
    }
    return out;
}

// Every voice busy: looping samples of the bank, at varied pitches.
void fillVoices(OpenAlOutput& out) {
    for (int i = 0; i < kEffectSources; ++i) {
        const SampleEntry& e =
            audio.bank.entries[i % (audio.bank.count > 0 ? audio.bank.count : 1)];
        out.playSample(e.sample, 40000 + 300 * i, -1, -101, true);
    }
}

void BM_UpdateAudio(benchmark::State& state) {
    OpenAlOutput& out = loadedOutput();
    fillVoices(out);
    std::vector<int16_t> mix(static_cast<size_t>(kFrameSamples) * 2);
    const bool mixToo = state.range(0) != 0;
    int64_t frames = 0;
    startCountingAllocations();
    for (auto _ : state) {
        updateAudio(static_cast<float>(kFrameMs));
        if (mixToo) {
            out.renderCapture(mix.data(), kFrameSamples);
        } else {
            state.PauseTiming();
            out.renderCapture(mix.data(), kFrameSamples);
            state.ResumeTiming();
        }
        ++frames;
    }
    const int allocations = stopCountingAllocations();
    state.counters["allocs_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(frames);
    state.counters["voices"] = out.playingSources();
    state.counters["music"] = out.musicPlaying() ? 1 : 0;
}

// Arg 0: updateAudio alone (the mixer runs on its own thread in the game);
// arg 1: the update plus mixing one frame of 64 voices and the music.
BENCHMARK(BM_UpdateAudio)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corsavel

BENCHMARK_MAIN();
