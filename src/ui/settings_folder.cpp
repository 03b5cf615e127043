#include "ui/settings_folder.h"

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

}  // namespace corsavel
