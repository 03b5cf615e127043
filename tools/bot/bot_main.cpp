// corsavel-bot: plays level files through the game's rules and reports how
// each went. Exit code 0 when every file was read (and, with --require-wins,
// every level was won often enough), 1 when a level missed that count, 2 on
// bad input.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bot/bot.h"

namespace {

using namespace corsavel::bot;

const char* const kUsage =
    "usage: corsavel-bot [--data DIR] [--seed N] [--seeds K] [--step MS] [--think MS]\n"
    "                    [--mode 0|1] [--index N] [--require-wins K] [--levels A-B]\n"
    "                    [--trace] [LEVEL-FILE ...]\n"
    "Plays the level files of DIR/levels (default: the Data folder beside the\n"
    "program), or the given files, and prints a line per level and a summary.\n";

struct Arguments {
    std::string data;
    long seed = 1;
    long seeds = 1;
    double step = 16.0;
    double think = 1500.0;
    long mode = 0;
    long index = -1;
    long requireWins = 0;
    bool trace = false;
    long first = 1;
    long last = 100;
    bool rangeGiven = false;
    std::vector<std::string> files;
};

bool parseLong(const char* text, long lo, long hi, long& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

bool parseDouble(const char* text, double lo, double hi, double& out) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != 0 || !(v >= lo && v <= hi)) {
        return false;
    }
    out = v;
    return true;
}

bool parseRange(const char* text, long& first, long& last) {
    const char* dash = std::strchr(text, '-');
    if (dash == nullptr) {
        return parseLong(text, 1, 100, first) && parseLong(text, 1, 100, last);
    }
    const std::string a(text, dash);
    return parseLong(a.c_str(), 1, 100, first) && parseLong(dash + 1, 1, 100, last) &&
           first <= last;
}

// Reads the options; prints what is wrong and returns false on a bad one.
bool parseArguments(int argc, char** argv, Arguments& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "-h" || opt == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (opt == "--trace") {
            a.trace = true;
            continue;
        }
        if (opt.rfind("--", 0) != 0) {
            a.files.push_back(opt);
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "corsavel-bot: %s needs a value\n", opt.c_str());
            return false;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (opt == "--data") {
            a.data = value;
        } else if (opt == "--seed") {
            ok = parseLong(value, 0, 0xFFFFFFFFL, a.seed);
        } else if (opt == "--seeds") {
            ok = parseLong(value, 1, 1000, a.seeds);
        } else if (opt == "--step") {
            ok = parseDouble(value, 1.0, 200.0, a.step);
        } else if (opt == "--think") {
            ok = parseDouble(value, 0.0, 600000.0, a.think);
        } else if (opt == "--mode") {
            ok = parseLong(value, 0, 1, a.mode);
        } else if (opt == "--index") {
            ok = parseLong(value, 0, 99, a.index);
        } else if (opt == "--require-wins") {
            ok = parseLong(value, 0, 1000, a.requireWins);
        } else if (opt == "--levels") {
            ok = parseRange(value, a.first, a.last);
            a.rangeGiven = true;
        } else {
            std::fprintf(stderr, "corsavel-bot: unknown option %s\n%s", opt.c_str(), kUsage);
            return false;
        }
        if (!ok) {
            std::fprintf(stderr, "corsavel-bot: bad value for %s: %s\n", opt.c_str(), value);
            return false;
        }
    }
    return true;
}

// The files to play: the ones given, or the pack files of the data folder.
std::vector<std::string> levelPaths(const Arguments& a, bool& bad) {
    if (!a.files.empty()) {
        return a.files;
    }
    const std::string folder = (a.data.empty() ? defaultDataFolder() : a.data) + "/levels";
    std::vector<std::string> paths;
    for (long n = a.first; n <= a.last; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/pack1_%.2li.lvl", n);
        const std::string path = folder + name;
        std::error_code ec;
        // Without a range the pack is every file present; a range wants them all.
        if (!a.rangeGiven && !std::filesystem::exists(path, ec)) {
            continue;
        }
        paths.push_back(path);
    }
    if (paths.empty()) {
        std::fprintf(stderr, "corsavel-bot: no level files in %s\n", folder.c_str());
        bad = true;
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments a;
    if (!parseArguments(argc, argv, a)) {
        return 2;
    }
    BotOptions options;
    options.stepMs = static_cast<float>(a.step);
    options.thinkMs = static_cast<float>(a.think);
    options.mode = static_cast<int>(a.mode);
    options.trace = a.trace ? stdout : nullptr;

    bool bad = false;
    const std::vector<std::string> paths = levelPaths(a, bad);
    std::vector<LevelSource> levels;
    std::vector<std::vector<LevelResult>> results;
    std::fputs(tableHeader(static_cast<int>(a.seeds)).c_str(), stdout);
    for (const std::string& path : paths) {
        LevelSource level;
        std::string error;
        if (!readLevelFile(path, level, error)) {
            std::fprintf(stderr, "corsavel-bot: %s: %s\n", path.c_str(), error.c_str());
            bad = true;
            continue;
        }
        if (a.index >= 0) {
            level.levelIndex = static_cast<int>(a.index);
        }
        std::vector<LevelResult> runs;
        for (long k = 0; k < a.seeds; ++k) {
            runs.push_back(playLevel(level, static_cast<uint32_t>(a.seed + k), options));
        }
        std::fputs(tableRow(level, runs).c_str(), stdout);
        std::fflush(stdout);
        levels.push_back(level);
        results.push_back(std::move(runs));
    }
    const int required = a.requireWins > 0 ? static_cast<int>(a.requireWins) : 1;
    std::fputs(summaryLines(levels, results, required).c_str(), stdout);
    if (bad) {
        return 2;
    }
    if (a.requireWins > 0) {
        for (const auto& runs : results) {
            int w = 0;
            for (const LevelResult& r : runs) {
                w += r.won() ? 1 : 0;
            }
            if (w < a.requireWins) {
                return 1;
            }
        }
    }
    return 0;
}
