#include "app/command_line.h"

#include <cstring>

#ifndef CORSAVEL_VERSION
#define CORSAVEL_VERSION "0.0.0"
#endif

namespace corsavel {

namespace {

constexpr const char* kUsage =
    "Usage: corsavel [OPTION]...\n"
    "A casual puzzle game: swap treasure figures into lines of three.\n"
    "\n"
    "  --windowed          play in a window this time (the settings keep their choice)\n"
    "  --fullscreen        play in full screen this time\n"
    "  --data DIR          read the game's data from DIR\n"
    "  --home DIR          keep settings, profiles and saves in DIR\n"
    "                      (default $XDG_DATA_HOME/corsavel, ~/.local/share/corsavel)\n"
    "  --record FILE       record this session as a script for corsavel-harness\n"
    "  --screenshot FILE   save the first frame as a PNG picture and quit\n"
    "  -h, --help          show this help and exit\n"
    "  -V, --version       show the version and exit\n"
    "\n"
    "Report bugs with a recorded session (--record) attached.\n";

enum class Option { None, Windowed, FullScreen, Data, Home, Record, Screenshot, Help, Version };

struct OptionName {
    const char* name;
    Option option;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"windowed", Option::Windowed, false}, {"fullscreen", Option::FullScreen, false},
    {"data", Option::Data, true},          {"home", Option::Home, true},
    {"record", Option::Record, true},      {"screenshot", Option::Screenshot, true},
    {"help", Option::Help, false},         {"version", Option::Version, false},
};

CommandLine failure(std::string message) {
    CommandLine result;
    result.action = CommandAction::Error;
    result.error = std::move(message);
    return result;
}

}  // namespace

const char* commandLineUsage() {
    return kUsage;
}

const char* gameVersion() {
    return CORSAVEL_VERSION;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            if (i + 1 < argc) {
                return failure(std::string("unexpected argument '") + argv[i + 1] + "'");
            }
            break;
        }
        if (std::strcmp(arg, "-h") == 0) {
            help = true;
            continue;
        }
        if (std::strcmp(arg, "-V") == 0) {
            version = true;
            continue;
        }
        if (std::strncmp(arg, "--", 2) != 0) {
            return failure(std::string(arg[0] == '-' ? "unknown option '" : "unexpected argument '") +
                           arg + "'");
        }
        const char* body = arg + 2;
        const char* equals = std::strchr(body, '=');
        size_t nameLength = equals != nullptr ? static_cast<size_t>(equals - body) : std::strlen(body);
        const OptionName* found = nullptr;
        for (const OptionName& candidate : kOptions) {
            if (std::strlen(candidate.name) == nameLength &&
                std::strncmp(candidate.name, body, nameLength) == 0) {
                found = &candidate;
                break;
            }
        }
        if (found == nullptr) {
            return failure(std::string("unknown option '") + arg + "'");
        }
        std::string value;
        if (found->takesValue) {
            if (equals != nullptr) {
                value = equals + 1;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return failure(std::string("option '--") + found->name + "' needs a value");
            }
            if (value.empty()) {
                return failure(std::string("option '--") + found->name + "' needs a value");
            }
        } else if (equals != nullptr) {
            return failure(std::string("option '--") + found->name + "' takes no value");
        }
        switch (found->option) {
            case Option::Windowed:
                result.fullScreen = 0;
                break;
            case Option::FullScreen:
                result.fullScreen = 1;
                break;
            case Option::Data:
                result.dataDirectory = value;
                break;
            case Option::Home:
                result.userDirectory = value;
                break;
            case Option::Record:
                result.recordPath = value;
                break;
            case Option::Screenshot:
                result.screenshotPath = value;
                break;
            case Option::Help:
                help = true;
                break;
            case Option::Version:
                version = true;
                break;
            case Option::None:
                break;
        }
    }
    // GNU programs answer --help before --version, whatever the order.
    if (help) {
        result.action = CommandAction::Help;
    } else if (version) {
        result.action = CommandAction::Version;
    }
    return result;
}

}  // namespace corsavel
