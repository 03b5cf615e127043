#pragma once

#include <cstdint>

namespace corsavel {

// The settings record: 44 bytes, little-endian, stored as "settings.reg" in
// the user folder. Only a file of exactly 44 bytes counts as a record.
constexpr int kSettingsRecordSize = 44;
constexpr int kMaxProfiles = 8;
constexpr const char* kSettingsFileName = "settings.reg";

// The live settings: read once at start, changed by the options pages,
// written by every save.
struct Settings {
    int32_t musicVolume = 60;
    int32_t effectsVolume = 90;
    int32_t windowWidth = 800;
    int32_t windowHeight = 600;
    int32_t resolutionIndex = 0;
    int32_t trueColour = 0;
    bool showTips = true;
    bool customCursor = false;
    int32_t currentProfile = 0;
    int32_t profileCount = 0;
    bool fullScreen = true;
    // True when the last read found a valid record (first run otherwise).
    bool loadedFromRecord = false;
};

extern Settings settings;

// Encodes the record: the window is always written as 800 x 600, the
// reserved field and the padding as 0.
void encodeSettings(const Settings& in, uint8_t out[kSettingsRecordSize]);

// Decodes the fields read back at start into `out` (the others keep their
// values). Volumes are clamped to 0..100, the profile count to 0..8 and the
// current profile to the profiles that exist.
void decodeSettings(const uint8_t in[kSettingsRecordSize], Settings* out);

// The defaults of a first run.
Settings defaultSettings();

// Reads the record file at `path` into `out`: the defaults when the file is
// missing or not exactly 44 bytes. Returns true when a record was taken.
bool readSettingsFile(const char* path, Settings* out);

// Writes the record to `path` through a temporary file in the same folder
// renamed over the old one. Returns false when the write failed.
bool writeSettingsFile(const char* path, const Settings& in);

// The two operations of start and save on the user folder's record.
bool readSettings();
bool writeSettings();

}  // namespace corsavel
