#pragma once

#include <cstdint>

#include "game/progress.h"
#include "platform/settings_store.h"

namespace corsavel {

// The profile table: up to 8 records, the count and the current index (kept
// in the settings record), written whole to "profiles.dat". The gameplay's
// active profile points at the current record.
struct ProfileTable {
    Profile records[kMaxProfiles] = {};
    int32_t count = 0;
    int32_t current = 0;  // 0..count-1; 0 when there is none
};

extern ProfileTable profileTable;

constexpr int kProfileRecordSize = static_cast<int>(sizeof(Profile));
constexpr int kProfilesFileMaxSize = kMaxProfiles * kProfileRecordSize;

// What the name entry allows: 1..12 capitals, digits and spaces (not only
// spaces), zero-terminated within the 32-byte field. Only such a name ever
// becomes part of a file name.
bool isValidProfileName(const char* name, int fieldSize = kProfileNameSize);

// Brings a record read from a file into range: the name checked (false when
// it fails, and the record must be dropped), positions, lives, scores and the
// last mode clamped, flags made 0 or 1, reserved bytes zeroed.
bool sanitizeProfile(Profile& p);

// The current record, or null with no profiles.
Profile* currentProfileRecord();

// Appends a zeroed record with this name and makes it current. Refused for
// a name the name entry would not allow, a name another profile has, or a
// full table.
bool createProfile(const char* name);
// Renames a profile and carries its saved games to the new name. Refused for
// an index out of range, a name the entry would not allow, or a name another
// profile has (the two would share one saved game).
bool renameProfile(int32_t index, const char* name);
// Removes a record (later ones move down); the current index follows.
bool removeProfile(int32_t index);
bool selectProfile(int32_t index);
// Points the gameplay's active profile at the current record (or at the
// built-in one with none).
void syncActiveProfile();

// Decodes "profiles.dat" bytes (size -1: missing). `count` and `current`
// come from the settings record; with countKnown false (no record) every
// whole record of the file is taken. A file longer than 8 records or not a
// whole number of records gives no profiles; a short one gives the records
// it holds; a record that fails its checks is dropped.
void decodeProfiles(const uint8_t* data, int64_t size, int32_t count, int32_t current,
                    bool countKnown, ProfileTable* out);

// Reads "profiles.dat" with the count and index of the live settings.
void loadProfiles();
// Writes the table's count x 104 bytes to "profiles.dat"; false on failure.
bool saveProfiles();

// The saved game's file name of a profile and mode ("%s_cls.sav",
// "%s_ndl.sav"); false when the name is not a valid profile name.
bool savedGameFileName(const Profile& p, int mode, char* out, int capacity);

// Saves the running level to the current profile's file of the game mode.
// Refused (false) without a profile or when the level may not be saved;
// when the write fails the old file, the flag and the score stay as they
// were. On success the mode's saved flag is set and its score becomes the
// running score plus the level score.
bool saveGame();
// Starts the current profile's level and reads the mode's saved game over
// it. False when there is no profile or no readable, valid saved game (the
// level then stays freshly started).
bool loadGame();

}  // namespace corsavel
