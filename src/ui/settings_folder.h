#pragma once

#include <cstddef>
#include <cstdint>

namespace corsavel {

// The tables and saved games live in the user folder's "settings" folder.
constexpr const char* kProfilesFileName = "profiles.dat";
constexpr const char* kRecordsFileName = "records.dat";
constexpr const char* kHiscoresFileName = "hiscore.dat";

// "<user folder>settings/<name>" into out. Refuses (false) a name that is
// empty, holds a '/' or starts with '.', and a path that does not fit.
bool settingsFilePath(const char* name, char* out, int capacity);

// Reads at most `capacity` bytes of a file of the "settings" folder into
// `out`; returns the file's size when it fits, capacity + 1 when the file is
// longer, and -1 when it is missing or unreadable.
int64_t readSettingsFile(const char* name, uint8_t* out, int64_t capacity);

// Writes a whole file of the "settings" folder through a temporary file and
// a rename; false when anything failed (the old file is then untouched).
bool writeSettingsFolderFile(const char* name, const void* data, size_t size);

// Removes what a killed write left behind: "<name>.dat.tmpPID" and
// "<name>.sav.tmpPID" files of the "settings" folder and the user folder's
// "settings.reg.tmpPID". Returns how many.
int removeStaleTemporaryFiles();

}  // namespace corsavel
