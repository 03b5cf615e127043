#pragma once

namespace corsavel {

// What the gameplay asked of the layers above it (its request queue),
// answered in order after each gameplay update.
void handleGameRequests();

// Starts session.currentLevel of the game in progress on the game screen.
void startCurrentLevel();

}  // namespace corsavel
