#pragma once

namespace corsavel {

// What the gameplay asked of the layers above it (its request queue),
// answered in order after each gameplay update.
void handleGameRequests();

// Starts session.currentLevel of the game in progress on the game screen,
// stored first as the profile's progress.
void startCurrentLevel();

// The same level again on the game screen (its progress stored first), the
// running score and the lives as they are.
void restartInPlace();

// Connects the menus to the screens, the level starts and the saves.
void installMenuRoutes();

// Saves the running level to the current profile's saved game (only on the
// game screen, and only when the level may be saved), then the tables.
bool saveRunningGame();

// Starts the current profile's level and reads its saved game of the game
// mode over it, on the game screen; false when none was read.
bool loadSavedGame();

}  // namespace corsavel
