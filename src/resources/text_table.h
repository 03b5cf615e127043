#pragma once

#include <cstddef>
#include <cstdint>

namespace corsavel {

// All display text of the game: key/text pairs read from "strings.txt" and
// then "tips.txt", looked up by key or by position.
constexpr int kMaxTextEntries = 1024;
constexpr int kTextKeySize = 20;  // 19 characters and the NUL; longer keys are cut

struct TextEntry {
    char key[kTextKeySize] = {};
    char* text = nullptr;  // owned, NUL-terminated
};

struct TextTable {
    TextEntry entries[kMaxTextEntries];
    int32_t count = 0;
};

extern TextTable textTable;

// Loads a table file through the asset loader (required), parses it and
// releases the file's bytes.
void loadTextTable(const char* fileName);

// Parses table bytes, appending one entry per item. The last byte is treated
// as the end of the text (files end with a line end). Returns the number of
// entries added.
int parseTextTable(const uint8_t* bytes, size_t size);

// Appends an entry; a full table refuses it and returns false.
bool addText(const char* key, const char* bytes, int32_t length);

// Text of the first entry with exactly this key, or null.
const char* findText(const char* key);
// Text at `index`, or null when out of range.
const char* textAt(int32_t index);
// Index of the first entry with this key; 0 when none.
int32_t textIndex(const char* key);

void freeTextTables();

// Key=value readers. `text` is NUL-terminated; `key` includes its "=".
// The key is found anywhere in the text (a plain substring search, so
// "skeletons=" also matches inside "autoskeletons="); the value runs to the
// next CR or to the end of the text, cut to the output's capacity.
// Returns out, or null (and out empty) when the key does not occur.
const char* readValue(char* out, size_t capacity, const char* text, const char* key);
template <size_t N>
const char* readValue(char (&out)[N], const char* text, const char* key) {
    return readValue(out, N, text, key);
}

// The value as a float (atof), 0 when missing.
float readFloat(const char* text, const char* key);
// The value as atof truncated toward zero (3.9 -> 3, -2.5 -> -2), 0 when missing.
int32_t readInt(const char* text, const char* key);
// A bracketed list "(1,2.5,3)" or "{...}": stores at most `capacity` values and
// returns how many were stored.
int readFloatList(const char* text, float* values, int capacity, const char* key);
// A vector "(x,y,z)"; false and `out` untouched when the key is missing.
bool readVector3(float out[3], const char* text, const char* key);

}  // namespace corsavel
