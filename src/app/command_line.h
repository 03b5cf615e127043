#pragma once

#include <string>

namespace corsavel {

// The game's command line, GNU style: long options, each value either as the
// next word or after '=', "--" ends the options. The game takes no other
// arguments.
enum class CommandAction {
    Run,      // start the game with the options below
    Help,     // print the usage to stdout, exit 0, no window
    Version,  // print the version to stdout, exit 0, no window
    Error,    // print `error` and the usage to stderr, exit 2
};

// -1 keeps the settings record's choice, 0 windowed, 1 full screen.
constexpr int kKeepStoredScreenMode = -1;

struct CommandLine {
    CommandAction action = CommandAction::Run;
    std::string error;
    int fullScreen = kKeepStoredScreenMode;
    std::string dataDirectory;  // empty: the default search
    std::string userDirectory;  // empty: $XDG_DATA_HOME/corsavel/
    std::string recordPath;     // empty: no recording
    std::string screenshotPath; // empty: play; else save the first frame and quit
};

CommandLine parseCommandLine(int argc, const char* const* argv);

// The usage text (ends with a newline) and the version line.
const char* commandLineUsage();
const char* gameVersion();

}  // namespace corsavel
