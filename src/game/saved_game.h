#pragma once

#include <cstdint>

namespace corsavel {

// A saved game is the gameplay state as 53 raw little-endian blocks, with no
// header; the file is exactly as long as the blocks together.
constexpr int32_t kSavedGameSize = 29217;

// Saving is refused before the first move, after the time-out, after the win
// and once the game is complete.
bool canSaveGame();
// Writes the state into `out`; returns the bytes written (kSavedGameSize) or
// 0 when the buffer is too small.
int32_t writeSavedGame(uint8_t* out, int32_t capacity);
// Reads a saved state over the freshly started level. Everything read back is
// checked; a file of the wrong size or with any value out of range is refused
// and the level stays as it was.
bool readSavedGame(const uint8_t* data, int32_t size);

// The same through a file (written through a temporary file and a rename).
bool saveGameFile(const char* path);
bool loadGameFile(const char* path);

}  // namespace corsavel
