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
};

// Start-up up to the loop. False means the process ends with 0 at once
// (second copy, no window, no device); everything started is released.
bool startGame(const GameOptions& options);

// The loop: messages first, a frame whenever the queue is empty, until quit.
void runGameLoop(const GameOptions& options);

// Releases everything, saves the settings and tables; returns the exit code.
int shutdownGame();

// The game process: start-up, loop, shutdown. Always returns 0.
int runGame(int argc, char** argv);

}  // namespace corsavel
