#include "ui/settings_folder.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/file_write.h"
#include "platform/paths.h"

namespace corsavel {

bool settingsFilePath(const char* name, char* out, int capacity) {
    if (name == nullptr || name[0] == 0 || name[0] == '.' || std::strchr(name, '/') != nullptr) {
        return false;
    }
    const int n = std::snprintf(out, static_cast<size_t>(capacity), "%ssettings/%s",
                                paths.userDirectory, name);
    return n > 0 && n < capacity;
}

int64_t readSettingsFile(const char* name, uint8_t* out, int64_t capacity) {
    char path[kMaxPath];
    if (!settingsFilePath(name, path, sizeof path)) {
        return -1;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return -1;
    }
    int64_t total = static_cast<int64_t>(std::fread(out, 1, static_cast<size_t>(capacity), file));
    // One byte more tells a file of exactly `capacity` bytes from a longer one.
    uint8_t extra = 0;
    if (total == capacity && std::fread(&extra, 1, 1, file) == 1) {
        total = capacity + 1;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? -1 : total;
}

bool writeSettingsFolderFile(const char* name, const void* data, size_t size) {
    char path[kMaxPath];
    return settingsFilePath(name, path, sizeof path) && writeFileAtomically(path, data, size);
}

namespace {

bool allDigits(const char* s) {
    if (*s == 0) {
        return false;
    }
    for (; *s != 0; ++s) {
        if (*s < '0' || *s > '9') {
            return false;
        }
    }
    return true;
}

// "<something>.dat.tmp<digits>" or "<something>.sav.tmp<digits>".
bool isStaleTemporary(const char* name) {
    const char* tmp = std::strstr(name, ".tmp");
    if (tmp == nullptr || tmp - name < 5 || !allDigits(tmp + 4)) {
        return false;
    }
    return std::strncmp(tmp - 4, ".dat", 4) == 0 || std::strncmp(tmp - 4, ".sav", 4) == 0;
}

// The settings record's own temporary, beside it in the user folder.
int removeStaleRecordTemporaries() {
    DIR* dir = opendir(paths.userDirectory);
    if (dir == nullptr) {
        return 0;
    }
    constexpr char kPrefix[] = "settings.reg.tmp";
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        char path[kMaxPath];
        if (std::strncmp(entry->d_name, kPrefix, sizeof kPrefix - 1) == 0 &&
            allDigits(entry->d_name + sizeof kPrefix - 1) &&
            userFilePath(entry->d_name, path, sizeof path) && unlink(path) == 0) {
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}

}  // namespace

int removeStaleTemporaryFiles() {
    int removed = removeStaleRecordTemporaries();
    char folder[kMaxPath];
    const int n = std::snprintf(folder, sizeof folder, "%ssettings", paths.userDirectory);
    if (n <= 0 || n >= static_cast<int>(sizeof folder)) {
        return removed;
    }
    DIR* dir = opendir(folder);
    if (dir == nullptr) {
        return removed;
    }
    while (const dirent* entry = readdir(dir)) {
        char path[kMaxPath];
        if (isStaleTemporary(entry->d_name) && settingsFilePath(entry->d_name, path, sizeof path) &&
            unlink(path) == 0) {
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}

}  // namespace corsavel
