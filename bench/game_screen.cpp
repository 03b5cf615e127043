// The game screen's frame at full load: the real game started on the
// offscreen GL driver with the forged data, a board full of bonus figures
// set off into a busy cascade whose flyers spiral into the gold box. Each
// iteration is one whole frame of the loop (clear, gameplay update and
// drawing with the HUD, present). The counters say what this thread spends
// in the whole frame, in the gameplay update and in the drawing (our code
// and the GL calls it makes; the software rasteriser's worker threads are
// not counted), and how many heap allocations a frame makes (there should
// be none).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "allocation_counter.h"
#include "app/app_state.h"
#include "app/game_main.h"
#include "app/screen.h"
#include "bot/bot.h"
#include "busy_cascade.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/particles.h"
#include "platform/batching_backend.h"
#include "platform/clock.h"
#include "platform/draw_profile.h"
#include "platform/frame_state.h"
#include "platform/null_device.h"
#include "platform/random.h"
#include "platform/render_backend.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

constexpr uint32_t kStepMs = 16;

uint32_t fakeNow = 1000;
uint32_t fakeClock() {
    return fakeNow;
}

// CPU time of the whole process: this thread and the software rasteriser's
// worker threads. Unlike wall time it barely moves when other programs share
// the machine.
double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Double layers everywhere with chained bonus figures; five kinds of figure
// make long cascades.
char busyLevel[] =
    "figures=5\r\ntime=900\r\nlevel=\r\n"
    "222222222222\r\n222222222222\r\n22Q222222a22\r\n222222222222\r\n222q2222R222\r\n"
    "222222222222\r\n2b22222222S2\r\n222222222222\r\n2222r22A2222\r\n222222222222\r\n"
    "22222222222.\r\n";

bool started = false;

// The game screen's own two calls, timed on this thread.
struct OwnCost {
    double updateSeconds = 0.0;
    double renderSeconds = 0.0;
};
OwnCost own;

class TimedGameScreen final : public GameScreen {
public:
    void update() override {
        const double before = threadCpuSeconds();
        GameScreen::update();
        own.updateSeconds += threadCpuSeconds() - before;
    }
    void render() override {
        const double before = threadCpuSeconds();
        GameScreen::render();
        own.renderSeconds += threadCpuSeconds() - before;
    }
};
TimedGameScreen timedScreen;

bool startOnce() {
    if (started) {
        return true;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    static std::string data = std::string(CORSAVEL_BENCH_DATA);
    static char home[] = "/tmp/corsavel-bench-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        return false;
    }
    GameOptions options;
    options.dataDirectory = data.c_str();
    options.userDirectory = home;
    options.allowOffscreen = true;
    options.limitFrameRate = false;
    options.singleInstance = false;
    // The frame is measured at the scene's own 800x600: windowed, since full
    // screen would scale it up to the offscreen driver's whole desktop.
    options.fullScreen = 0;
    setClockSource(fakeClock);
    app.fixedSeed = true;
    app.seed = 5;
    if (!startGame(options)) {
        return false;
    }
    loadAll();
    app.loadAllPending = false;
    registerAsset("levels\\pack1_50.lvl", static_cast<int32_t>(std::strlen(busyLevel)),
                  reinterpret_cast<uint8_t*>(busyLevel), false);
    Profile& p = activeProfile();
    p.helpShown = p.tipPowerupShown = p.tipRelaxShown = 1;
    p.tipSquareShown = p.tipChainShown = 1;
    started = true;
    return true;
}

void frame() {
    fakeNow += kStepMs;
    runIdlePass();
}

// A fresh start of the busy level: every third free figure gets a bonus and
// the best move sets the cascade off.
void startBusyCascade(uint32_t seed) {
    seedRandom(seed);
    session.gameMode = 0;
    startLevel(49);
    requestScreen(&timedScreen);
    applyScreenSwitch();
    setOffBusyCascade();
}

int activeFlyers() {
    int n = 0;
    for (const Flyer& f : game.flyers.flyers) {
        n += f.slot > 0 ? 1 : 0;
    }
    return n;
}

// Full load of the effects: every emitter slot runs and every particle slot
// lives (topped up between frames, outside the measured time).
void fillEffects() {
    const int32_t stream = findEffect("endtime");
    const int32_t glow = findEffect("flare");
    for (int i = 0; i < kMaxEmitters && emittersAlive() < kMaxEmitters; ++i) {
        startEffectAt(stream, Vec3{looksRandom.randomSigned(300.0f), -200.0f, 0.0f},
                      Vec3{kNoTarget, kNoTarget, 0.0f}, 1.0f, -1);
    }
    for (int i = 0; i < kMaxParticles && particlesAlive() < kMaxParticles; ++i) {
        spawnParticle(
            Vec3{looksRandom.randomSigned(380.0f), looksRandom.randomSigned(280.0f), 0.0f}, glow,
            1.0f, -1);
    }
}

// CORSAVEL_BENCH_SHOT=FILE.png saves a frame of the GL runs before they are
// measured: the same frame on every run (a fresh cascade, a fixed number of
// frames on the fixed clock), to compare pixels before and after a change.
void saveShot(bool fullEffects) {
    const char* shot = std::getenv("CORSAVEL_BENCH_SHOT");
    if (shot == nullptr || shot[0] == '\0') {
        return;
    }
    for (int i = 0; i < 40; ++i) {
        if (fullEffects) {
            fillEffects();
        }
        frame();
    }
    renderDevice.frameCapture = true;
    frame();
    renderDevice.frameCapture = false;
    if (!saveScreenshot(shot)) {
        std::fprintf(stderr, "cannot write %s\n", shot);
    }
}

void runBusyFrames(benchmark::State& state, bool nullDevice, bool fullEffects = false) {
    if (!startOnce()) {
        state.SkipWithError("the game did not start (no GL on the offscreen driver?)");
        return;
    }
    uint32_t seed = 1;
    startBusyCascade(seed);
    frame();  // the first frame loads what is loaded lazily
    if (!nullDevice) {
        saveShot(fullEffects);
    }
    NullDevice null;
    static BatchingBackend nullBatching;
    nullBatching.setInner(&null);
    RenderBackend* gl = renderBackend();
    auto* batching = nullDevice ? &nullBatching : dynamic_cast<BatchingBackend*>(gl);
    if (nullDevice) {
        setRenderBackend(&nullBatching);
    }
    if (batching != nullptr) {
        batching->resetDrawCalls();
    }
    // CORSAVEL_BENCH_PROFILE=1: the full-load frames on GL are timed draw by
    // draw (see platform/draw_profile.h); their frame times then mean nothing.
    const char* profiling = std::getenv("CORSAVEL_BENCH_PROFILE");
    RenderBackend* gpu = batching != nullptr ? batching->inner() : nullptr;
    std::unique_ptr<DrawProfile> profile;
    if (!nullDevice && fullEffects && gpu != nullptr && profiling != nullptr &&
        std::strcmp(profiling, "1") == 0) {
        profile = std::make_unique<DrawProfile>(gpu);
        batching->setInner(profile.get());
    }
    int64_t frames = 0;
    int64_t flyerFrames = 0;
    int64_t flyers = 0;
    double cpu = 0.0;
    double processCpu = 0.0;
    double wall = 0.0;
    int64_t allocations = 0;
    own.updateSeconds = 0.0;
    own.renderSeconds = 0.0;
    for (auto _ : state) {
        if (fullEffects) {
            fillEffects();
        }
        const double before = threadCpuSeconds();
        const double processBefore = processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        startCountingAllocations();
        frame();
        allocations += stopCountingAllocations();
        cpu += threadCpuSeconds() - before;
        processCpu += processCpuSeconds() - processBefore;
        wall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        ++frames;
        const int n = activeFlyers();
        flyers += n;
        flyerFrames += n > 0 ? 1 : 0;
        if (!game.match.cascadeActive && frames % 240 == 0) {
            state.PauseTiming();
            const OwnCost kept = own;
            startBusyCascade(++seed);
            frame();
            own = kept;
            state.ResumeTiming();
        }
    }
    if (profile != nullptr) {
        batching->setInner(gpu);
        profile->report();
    }
    setRenderBackend(gl);
    const double perFrame = 1e6 / static_cast<double>(frames);
    // The frame alone, without the topping up of the effects between frames.
    state.counters["wall_ms_per_frame"] = wall * perFrame * 1e-3;
    state.counters["fps"] = wall > 0.0 ? static_cast<double>(frames) / wall : 0.0;
    state.counters["process_cpu_ms_per_frame"] = processCpu * perFrame * 1e-3;
    state.counters["cpu_us_per_frame"] = cpu * perFrame;
    state.counters["process_cpu_us_per_frame"] = processCpu * perFrame;
    state.counters["update_cpu_us"] = own.updateSeconds * perFrame;
    state.counters["draw_cpu_us"] = own.renderSeconds * perFrame;
    state.counters["allocs_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(frames);
    state.counters["flyers_per_frame"] = static_cast<double>(flyers) / static_cast<double>(frames);
    state.counters["share_with_flyers"] =
        static_cast<double>(flyerFrames) / static_cast<double>(frames);
    if (nullDevice) {
        state.counters["draws_per_frame"] =
            static_cast<double>(null.draws) / static_cast<double>(frames);
    }
    if (batching != nullptr) {
        state.counters["batched_draws_per_frame"] =
            static_cast<double>(batching->drawCalls()) / static_cast<double>(frames);
    }
    if (fullEffects) {
        state.counters["particles_alive"] = particlesAlive();
        state.counters["emitters_alive"] = emittersAlive();
    }
}

// The whole frame on the software GL driver.
void BM_GameScreenFrameBusyCascade(benchmark::State& state) {
    runBusyFrames(state, false);
}

// The same frames into a device that draws nothing: our own code's cost.
void BM_GameScreenOwnCodeBusyCascade(benchmark::State& state) {
    runBusyFrames(state, true);
}

// The busy cascade with 256 emitters and 1024 particles alive and the
// stage's background with all its layers: through GL, and into nothing.
void BM_GameScreenFrameFullEffects(benchmark::State& state) {
    runBusyFrames(state, false, true);
}

void BM_GameScreenOwnCodeFullEffects(benchmark::State& state) {
    runBusyFrames(state, true, true);
}

// CORSAVEL_BENCH_FRAMES=N measures exactly N frames per case instead of at
// least 3 s: the same frames on every run, to compare before and after.
void registerCases() {
    using Case = void (*)(benchmark::State&);
    const struct {
        const char* name;
        Case run;
    } cases[] = {
        {"BM_GameScreenFrameBusyCascade", BM_GameScreenFrameBusyCascade},
        {"BM_GameScreenFrameFullEffects", BM_GameScreenFrameFullEffects},
        {"BM_GameScreenOwnCodeFullEffects", BM_GameScreenOwnCodeFullEffects},
        {"BM_GameScreenOwnCodeBusyCascade", BM_GameScreenOwnCodeBusyCascade},
    };
    const char* frames = std::getenv("CORSAVEL_BENCH_FRAMES");
    const long n = frames != nullptr ? std::strtol(frames, nullptr, 10) : 0;
    for (const auto& c : cases) {
        benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(c.name, c.run);
        b->Unit(benchmark::kMicrosecond);
        if (n > 0) {
            b->Iterations(n);
        } else {
            b->MinTime(3.0);
        }
    }
}

}  // namespace
}  // namespace corsavel

int main(int argc, char** argv) {
    corsavel::registerCases();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
