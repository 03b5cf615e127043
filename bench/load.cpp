// The one-time load with every asset of the forged Data folder, as a player
// meets it: the real start-up (SDL's video driver as the environment says:
// x11 under Xvfb or a desktop, else the offscreen GL driver), the first
// frame (the splash picture), then the intro's own path into the load with
// the loading bar drawn, each step timed, and the resident memory after it.
//
// Every run is a fresh process (the first frame happens once per process):
//   bench_load [--runs N] [--windowed]
// N runs (default 7), each line and the medians. A fresh home starts in full
// screen, as a player's first start does; --windowed starts in a window (as
// the game's --windowed does). The clock starts just before the parent spawns
// the run, so "first frame" includes exec, the dynamic loader and everything
// up to the present: on X11 the start-up picture's, with the game window's
// own first frame (once the GL driver has loaded) in its own column.
// BENCH_LOAD_LIST=1 lists the registry's owned files and the textures after
// the load, BENCH_LOAD_PMAP=1 the process's largest mappings.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/game_main.h"
#include "app/load_steps.h"
#include "app/screen.h"
#include "gfx/texture.h"
#include "platform/clock.h"
#include "platform/render_device.h"
#include "platform/window.h"
#include "platform/worker_pool.h"
#include "resources/asset_registry.h"

extern char** environ;

namespace corsavel {
namespace {

double cpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double monotonicMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// A field of /proc/self/status in megabytes ("VmRSS:", "VmHWM:").
double statusMegabytes(const char* field) {
    FILE* file = std::fopen("/proc/self/status", "r");
    if (file == nullptr) {
        return 0.0;
    }
    char line[256];
    double mb = 0.0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, field, std::strlen(field)) == 0) {
            mb = std::atof(line + std::strlen(field)) / 1024.0;
            break;
        }
    }
    std::fclose(file);
    return mb;
}

uint32_t clockOffsetMs = 0;
uint32_t benchClock() {
    return systemClockMs() + clockOffsetMs;
}

// The first present: its time, the CPU time of every thread up to it and
// the main thread's (the present runs on it). On X11 it is the start-up
// picture's; the game window's own first frame follows once GL is up.
double firstPresentMs = 0.0;
double firstPresentCpuMs = 0.0;
double firstPresentMainCpuMs = 0.0;
double gameWindowPresentMs = 0.0;
void notePresent() {
    if (firstPresentMs == 0.0) {
        firstPresentMs = monotonicMs();
        firstPresentCpuMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        firstPresentMainCpuMs = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    }
    if (gameWindowPresentMs == 0.0 && startupPictureWindow() == nullptr) {
        gameWindowPresentMs = monotonicMs();
    }
}

// One run: prints "first started load rss hwm main firstCpu loadCpu
// firstMainCpu step..." in ms and MB.
int runOnce(double spawnedAtMs, bool windowed) {
    const double atMain = monotonicMs() - spawnedAtMs;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    char home[] = "/tmp/corsavel-bench-load-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        return 1;
    }
    GameOptions options;
    options.dataDirectory = CORSAVEL_BENCH_DATA;
    options.userDirectory = home;
    options.allowOffscreen = true;
    options.limitFrameRate = false;
    options.singleInstance = false;
    options.fullScreen = windowed ? 0 : -1;
    setClockSource(benchClock);
    setPresentedHook(notePresent);
    if (!startGame(options)) {
        std::fprintf(stderr,
                     "bench_load: the game did not start (no GL on the offscreen driver?)\n");
        return 1;
    }
    const double started = monotonicMs() - spawnedAtMs;
    // The first frame: the first splash, presented within this pass (whose
    // update then loads the intro's other pictures), or before it on X11.
    runIdlePass();
    setPresentedHook(nullptr);
    if (firstPresentMs == 0.0) {
        std::fprintf(stderr, "bench_load: the first pass presented nothing\n");
        return 1;
    }
    const double first = firstPresentMs - spawnedAtMs;
    // CPU time says what the machine's other work does not: every thread of
    // the process up to the first frame, the main thread over the load.
    const double firstCpu = firstPresentCpuMs;
    // As the game loop does after its first frame. The splash shows for at
    // least 3.5 s, far longer than this work takes: the wait stands for it.
    startLoadingAhead();
    workerPool().waitIdle();
    // The splashes' time passes at once: the next passes show the second
    // splash and then ask for the load, which runs inside that pass with
    // the loading screen redrawn as assets come, as in the game.
    clockOffsetMs += 10000;
    runIdlePass();
    clockOffsetMs += 10000;
    const double before = monotonicMs();
    const double beforeCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    runIdlePass();
    const double load = monotonicMs() - before;
    const double loadCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - beforeCpu;
    if (app.loadAllCount != 1) {
        std::fprintf(stderr, "bench_load: the intro did not ask for the load\n");
        return 1;
    }
    const double rss = statusMegabytes("VmRSS:");
    const double hwm = statusMegabytes("VmHWM:");
    // Where the memory is: bytes the registry owns, texels the textures hold.
    double ownedMb = 0.0;
    for (int i = 0; i < assetRegistry.count; ++i) {
        ownedMb +=
            assetRegistry.entries[i]->owned ? assetRegistry.entries[i]->size / 1048576.0 : 0.0;
    }
    double texelMb = 0.0;
    for (int i = 0; i < textureTable.count; ++i) {
        texelMb +=
            textureTable.entries[i]->width * 4.0 * textureTable.entries[i]->height / 1048576.0;
    }
    std::fprintf(stderr,
                 "registry %d entries, %.1f MB owned; %d textures, %.1f MB of texels; "
                 "bar %.0f of %.0f bytes\n",
                 assetRegistry.count, ownedMb, textureTable.count, texelMb, intro.loadedBytes,
                 kLoadTotalBytes);
    if (std::getenv("BENCH_LOAD_PMAP") != nullptr) {
        const std::string command =
            "pmap -x " + std::to_string(getpid()) + " | sort -n -k3 | tail -16 >&2";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bench_load: pmap failed\n");
        }
    }
    if (std::getenv("BENCH_LOAD_LIST") != nullptr) {
        for (int i = 0; i < assetRegistry.count; ++i) {
            if (assetRegistry.entries[i]->owned) {
                std::fprintf(stderr, "  asset %s %d\n", assetRegistry.entries[i]->name,
                             assetRegistry.entries[i]->size);
            }
        }
        for (int i = 0; i < textureTable.count; ++i) {
            std::fprintf(stderr, "  texture %s %dx%d\n", textureTable.entries[i]->name,
                         textureTable.entries[i]->width, textureTable.entries[i]->height);
        }
    }
    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %.1f %.1f %.1f %.1f", first, started, load, rss, hwm,
                atMain, firstCpu, loadCpu, firstPresentMainCpuMs,
                gameWindowPresentMs - spawnedAtMs);
    for (int i = 0; i < loadStepCount(); ++i) {
        std::printf(" %.1f", lastLoadStepMs(i));
    }
    std::printf("\n");
    std::fflush(stdout);
    shutdownGame();
    std::string remove = std::string("rm -rf '") + home + "'";
    return std::system(remove.c_str()) == 0 ? 0 : 1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double minimum(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

int runMany(const char* self, int runs, bool windowed) {
    std::vector<std::vector<double>> rows;
    for (int r = 0; r < runs; ++r) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return 1;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        char start[64];
        std::snprintf(start, sizeof start, "%.6f", monotonicMs());
        char once[] = "--once";
        char window[] = "--windowed";
        char* argv[] = {const_cast<char*>(self), once, start, windowed ? window : nullptr, nullptr};
        pid_t child = 0;
        const int spawned = posix_spawn(&child, self, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (spawned != 0) {
            close(pipeEnds[0]);
            return 1;
        }
        std::string text;
        char buffer[512];
        ssize_t n = 0;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<size_t>(n));
        }
        close(pipeEnds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        std::vector<double> row;
        const char* p = text.c_str();
        char* end = nullptr;
        for (double v = std::strtod(p, &end); end != p; v = std::strtod(p, &end)) {
            row.push_back(v);
            p = end;
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || row.size() < 10) {
            std::fprintf(stderr, "bench_load: run %d failed\n", r + 1);
            return 1;
        }
        rows.push_back(row);
    }
    std::printf(
        "run  to-main  started  first-frame  (cpu  main)  game-window     load  (cpu)   rss-after"
        "  peak-rss   (ms, MB)\n");
    for (size_t r = 0; r < rows.size(); ++r) {
        std::printf("%3zu  %7.1f  %7.1f  %11.1f %6.1f %5.1f  %11.1f  %7.1f %6.1f  %10.1f  %8.1f\n",
                    r + 1, rows[r][5], rows[r][1], rows[r][0], rows[r][6], rows[r][8], rows[r][9],
                    rows[r][2], rows[r][7], rows[r][3], rows[r][4]);
    }
    auto column = [&](size_t c) {
        std::vector<double> v;
        for (const auto& row : rows) {
            v.push_back(c < row.size() ? row[c] : 0.0);
        }
        return v;
    };
    std::printf(
        "median: first frame %.1f ms (min %.1f; cpu %.1f, main thread %.1f), the game window's "
        "first frame %.1f ms, load %.1f ms (min %.1f; main thread cpu %.1f), RSS after load "
        "%.1f MB (peak %.1f)\n",
        median(column(0)), minimum(column(0)), median(column(6)), median(column(8)),
        median(column(9)), median(column(2)), minimum(column(2)), median(column(7)),
        median(column(3)), median(column(4)));
    std::printf("median per step (ms):");
    for (int i = 0; i < loadStepCount(); ++i) {
        std::printf(" %s %.1f", loadStep(i).name, median(column(10 + static_cast<size_t>(i))));
    }
    std::printf("\n");
    return 0;
}

}  // namespace
}  // namespace corsavel

int main(int argc, char** argv) {
    bool windowed = false;
    for (int i = 1; i < argc; ++i) {
        windowed = windowed || std::strcmp(argv[i], "--windowed") == 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--once") == 0) {
        return corsavel::runOnce(std::atof(argv[2]), windowed);
    }
    int runs = 7;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    return corsavel::runMany("/proc/self/exe", runs, windowed);
}
