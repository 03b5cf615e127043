#include "resources/text_table.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "resources/asset_registry.h"

namespace corsavel {

TextTable textTable;

namespace {

// Cursor over table bytes; `end` is the position of the last byte, which
// stands for the terminating 0.
struct Scanner {
    const uint8_t* bytes;
    size_t end;
    size_t pos = 0;

    bool atEnd() const { return pos >= end; }
    uint8_t at(size_t i) const { return i < end ? bytes[i] : 0; }

    // Moves to the next occurrence of `c`; false at the end.
    bool seek(uint8_t c) {
        while (!atEnd() && bytes[pos] != c) ++pos;
        return !atEnd();
    }
};

void addKeyed(const uint8_t* key, size_t keyLength, const uint8_t* text, size_t textLength) {
    char keyBuffer[kTextKeySize];
    const size_t copied = keyLength < kTextKeySize - 1 ? keyLength : kTextKeySize - 1;
    std::memcpy(keyBuffer, key, copied);
    keyBuffer[copied] = '\0';
    addText(keyBuffer, reinterpret_cast<const char*>(text), static_cast<int32_t>(textLength));
}

// "[key/]text[/key]": the text starts at the first byte >= 32 after "/]" and
// runs up to the next "[".
bool parseBlock(Scanner& s) {
    const size_t keyStart = ++s.pos;
    while (!s.atEnd() && !(s.bytes[s.pos] == '/' && s.at(s.pos + 1) == ']')) ++s.pos;
    if (s.atEnd()) return false;
    const size_t keyEnd = s.pos;
    s.pos += 2;
    while (!s.atEnd() && s.bytes[s.pos] < 32) ++s.pos;
    const size_t textStart = s.pos;
    if (!s.seek('[')) return false;
    addKeyed(s.bytes + keyStart, keyEnd - keyStart, s.bytes + textStart, s.pos - textStart);
    if (!s.seek(']')) return false;
    ++s.pos;
    return true;
}

// "key=value" up to the first two consecutive bytes below 32.
bool parseLine(Scanner& s) {
    const size_t keyStart = s.pos;
    if (!s.seek('=')) return false;
    const size_t keyEnd = s.pos++;
    const size_t valueStart = s.pos;
    while (!s.atEnd() && !(s.bytes[s.pos] < 32 && s.at(s.pos + 1) < 32)) ++s.pos;
    if (s.atEnd()) return false;
    addKeyed(s.bytes + keyStart, keyEnd - keyStart, s.bytes + valueStart, s.pos - valueStart);
    s.pos += 2;
    return true;
}

int32_t truncateToInt(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

int parseTextTable(const uint8_t* bytes, size_t size) {
    if (size == 0) return 0;
    const int before = textTable.count;
    Scanner s{bytes, size - 1};
    for (;;) {
        while (!s.atEnd() && s.bytes[s.pos] <= 32) ++s.pos;
        if (s.atEnd()) break;
        const bool ok = s.bytes[s.pos] == '[' ? parseBlock(s) : parseLine(s);
        if (!ok) break;
    }
    return textTable.count - before;
}

void loadTextTable(const char* fileName) {
    int32_t size = 0;
    uint8_t* bytes = loadFile(fileName, &size, true);
    if (bytes == nullptr) return;
    parseTextTable(bytes, static_cast<size_t>(size));
    releaseAsset(bytes);
}

bool addText(const char* key, const char* bytes, int32_t length) {
    if (textTable.count >= kMaxTextEntries || length < 0) return false;
    TextEntry& entry = textTable.entries[textTable.count];
    std::strncpy(entry.key, key, kTextKeySize - 1);
    entry.key[kTextKeySize - 1] = '\0';
    entry.text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (entry.text == nullptr) return false;
    std::memcpy(entry.text, bytes, static_cast<size_t>(length));
    entry.text[length] = '\0';
    ++textTable.count;
    return true;
}

const char* findText(const char* key) {
    for (int i = 0; i < textTable.count; ++i) {
        if (std::strcmp(textTable.entries[i].key, key) == 0) return textTable.entries[i].text;
    }
    return nullptr;
}

const char* textAt(int32_t index) {
    if (index < 0 || index >= textTable.count) return nullptr;
    return textTable.entries[index].text;
}

int32_t textIndex(const char* key) {
    for (int i = 0; i < textTable.count; ++i) {
        if (std::strcmp(textTable.entries[i].key, key) == 0) return i;
    }
    return 0;
}

void freeTextTables() {
    for (int i = 0; i < textTable.count; ++i) {
        std::free(textTable.entries[i].text);
        textTable.entries[i] = TextEntry{};
    }
    textTable.count = 0;
}

const char* readValue(char* out, size_t capacity, const char* text, const char* key) {
    if (capacity == 0) return nullptr;
    out[0] = '\0';
    const char* found = std::strstr(text, key);
    if (found == nullptr) return nullptr;
    const char* value = found + std::strlen(key);
    size_t length = 0;
    while (value[length] != '\0' && value[length] != '\r' && length + 1 < capacity) ++length;
    std::memcpy(out, value, length);
    out[length] = '\0';
    return out;
}

float readFloat(const char* text, const char* key) {
    char value[32];
    readValue(value, text, key);
    return value[0] == '\0' ? 0.0f : static_cast<float>(std::atof(value));
}

int32_t readInt(const char* text, const char* key) {
    char value[32];
    readValue(value, text, key);
    return value[0] == '\0' ? 0 : truncateToInt(std::atof(value));
}

int readFloatList(const char* text, float* values, int capacity, const char* key) {
    char value[260];
    readValue(value, text, key);
    if (value[0] == '\0' || (std::strchr(value, ')') == nullptr && std::strchr(value, '}') == nullptr)) {
        return 0;
    }
    int count = 0;
    char* cursor = value + 1;
    while (count < capacity) {
        char* stop = std::strchr(cursor, ',');
        if (stop == nullptr) stop = std::strchr(cursor, '}');
        if (stop == nullptr) stop = std::strchr(cursor, ')');
        if (stop == nullptr) break;
        *stop = '\0';
        values[count++] = static_cast<float>(std::atof(cursor));
        cursor = stop + 1;
    }
    return count;
}

bool readVector3(float out[3], const char* text, const char* key) {
    char value[64];
    if (readValue(value, text, key) == nullptr || value[0] == '\0') return false;
    char* cursor = value + 1;
    const char stops[3] = {',', ',', ')'};
    float parsed[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 3; ++i) {
        char* stop = std::strchr(cursor, stops[i]);
        if (stop != nullptr) *stop = '\0';
        parsed[i] = static_cast<float>(std::atof(cursor));
        if (stop == nullptr) break;
        cursor = stop + 1;
    }
    std::memcpy(out, parsed, sizeof parsed);
    return true;
}

}  // namespace corsavel
