#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/file_write.h"
#include "platform/paths.h"

namespace corsavel {

Settings settings;

namespace {

void putInt(uint8_t* p, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

int32_t getInt(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}

}  // namespace

Settings defaultSettings() {
    return Settings{};
}

void encodeSettings(const Settings& in, uint8_t out[kSettingsRecordSize]) {
    std::memset(out, 0, kSettingsRecordSize);
    putInt(out + 0, in.musicVolume);
    putInt(out + 4, in.effectsVolume);
    putInt(out + 8, 800);
    putInt(out + 12, 600);
    putInt(out + 16, in.resolutionIndex);
    putInt(out + 20, in.trueColour);
    out[24] = in.showTips ? 1 : 0;
    out[25] = in.customCursor ? 1 : 0;
    putInt(out + 28, 0);
    putInt(out + 32, in.currentProfile);
    putInt(out + 36, in.profileCount);
    putInt(out + 40, in.fullScreen ? 1 : 0);
}

void decodeSettings(const uint8_t in[kSettingsRecordSize], Settings* out) {
    out->musicVolume = std::clamp(getInt(in + 0), 0, 100);
    out->effectsVolume = std::clamp(getInt(in + 4), 0, 100);
    out->showTips = in[24] != 0;
    out->customCursor = in[25] != 0;
    // A count beyond the profile table or an index past the count would make
    // the profile loader read outside its table.
    out->profileCount = std::clamp(getInt(in + 36), 0, kMaxProfiles);
    int32_t current = getInt(in + 32);
    if (current < 0 || current >= std::max(out->profileCount, 1)) {
        current = 0;
    }
    out->currentProfile = current;
    out->fullScreen = getInt(in + 40) != 0;
    out->windowWidth = 800;
    out->windowHeight = 600;
}

bool readSettingsFile(const char* path, Settings* out) {
    *out = defaultSettings();
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    // One byte more than a record tells a 45-byte file from a 44-byte one.
    uint8_t buffer[kSettingsRecordSize + 1];
    size_t n = std::fread(buffer, 1, sizeof(buffer), file);
    std::fclose(file);
    if (n != static_cast<size_t>(kSettingsRecordSize)) {
        return false;
    }
    decodeSettings(buffer, out);
    out->loadedFromRecord = true;
    return true;
}

bool writeSettingsFile(const char* path, const Settings& in) {
    uint8_t record[kSettingsRecordSize];
    encodeSettings(in, record);
    return writeFileAtomically(path, record, sizeof(record));
}

bool readSettings() {
    char path[kMaxPath];
    if (!userFilePath(kSettingsFileName, path, sizeof(path))) {
        settings = defaultSettings();
        return false;
    }
    return readSettingsFile(path, &settings);
}

bool writeSettings() {
    char path[kMaxPath];
    return userFilePath(kSettingsFileName, path, sizeof(path)) && writeSettingsFile(path, settings);
}

}  // namespace corsavel
