#pragma once

namespace corsavel {

// How a run of the game is set up: the game binary takes the defaults; the
// harness points the folders elsewhere, allows the offscreen driver, runs
// unlimited and may skip the instance lock.
struct GameOptions {
    const char* dataDirectory = nullptr;  // null: "Data" beside the executable
    const char* userDirectory = nullptr;  // null: $XDG_DATA_HOME/corsavel/
    bool allowOffscreen = false;
    bool limitFrameRate = true;
    bool singleInstance = true;
    // -1 the settings record's choice; 0 windowed, 1 full screen for this
    // run only (the record keeps its choice unless the player changes it).
    int fullScreen = -1;
    // Records the session as a harness script (the game binary only).
    const char* recordPath = nullptr;
    // Saves the first frame as a PNG and quits (the game binary only).
    const char* screenshotPath = nullptr;
};

// Start-up up to the loop. False means the process ends with 0 at once
// (second copy, no window, no device); everything started is released.
bool startGame(const GameOptions& options);

// The loop: messages first, a frame whenever the queue is empty, until quit.
void runGameLoop(const GameOptions& options);

// Releases everything, saves the settings and tables; returns the exit code.
int shutdownGame();

// The game process: the command line, then start-up, loop, shutdown. 0 for
// a run (also when a second copy or no display ends it at once), --help and
// --version; 2 for a bad command line; 1 when --record or --screenshot
// cannot write its file.
int runGame(int argc, char** argv);

}  // namespace corsavel
