#pragma once

namespace corsavel {

// Where the game's files live. The Data folder (read-only assets) sits beside
// the executable and is the working directory while the game runs; the user
// folder ($XDG_DATA_HOME/corsavel/, default ~/.local/share/corsavel/) holds
// the settings record, the lock file and the "settings" folder of tables.
constexpr int kMaxPath = 1024;

struct PathState {
    char startDirectory[kMaxPath] = {};
    // Each ends with '/'.
    char dataDirectory[kMaxPath] = {};
    char userDirectory[kMaxPath] = {};
};

extern PathState paths;

// Fills the three paths: the start directory from the working directory, the
// Data folder unless dataOverride is given ("Data" beside the executable,
// else "../share/corsavel" from it, as installed), the user
// folder from the environment unless userOverride is given. Creates the user
// folder when it can (the game runs without one). Returns false when a path
// does not fit.
bool initPaths(const char* dataOverride, const char* userOverride);

// Makes the Data folder the working directory (not checked, as the first
// required load reports a missing folder).
void enterDataDirectory();

// Changes into the user folder's "settings" folder, creating it when it is
// missing; returns false when that fails. leaveSettingsDirectory goes back to
// the Data folder.
bool enterSettingsDirectory();
void leaveSettingsDirectory();

// "<user folder><name>" into out; false when it does not fit or name holds a
// path separator or "..".
bool userFilePath(const char* name, char* out, int capacity);

// Creates a folder and its missing parents; true when it exists afterwards.
bool makeDirectories(const char* path);

}  // namespace corsavel
