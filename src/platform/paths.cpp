#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corsavel {

PathState paths;

namespace {

// Stores a folder with a trailing slash; a relative folder is taken from the
// start directory, since the game changes its working directory later.
bool setFolder(char* dst, const char* src) {
    char joined[kMaxPath];
    if (src[0] != '/' && paths.startDirectory[0] != '\0') {
        int written = std::snprintf(joined, sizeof joined, "%s/%s", paths.startDirectory, src);
        if (written < 0 || written >= static_cast<int>(sizeof joined)) {
            return false;
        }
        src = joined;
    }
    size_t n = std::strlen(src);
    bool slash = n > 0 && src[n - 1] == '/';
    if (n + (slash ? 0 : 1) + 1 > static_cast<size_t>(kMaxPath)) {
        return false;
    }
    std::memcpy(dst, src, n);
    if (!slash) {
        dst[n++] = '/';
    }
    dst[n] = '\0';
    return true;
}

bool executableFolder(char* out, int capacity) {
    ssize_t n = readlink("/proc/self/exe", out, static_cast<size_t>(capacity - 1));
    if (n <= 0) {
        return false;
    }
    out[n] = '\0';
    char* slash = std::strrchr(out, '/');
    if (slash == nullptr) {
        return false;
    }
    slash[1] = '\0';
    return true;
}

bool isDirectory(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool defaultUserFolder(char* out, int capacity) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    int written;
    if (xdg != nullptr && xdg[0] == '/') {
        written = std::snprintf(out, static_cast<size_t>(capacity), "%s/corsavel/", xdg);
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            home = "/tmp";
        }
        written =
            std::snprintf(out, static_cast<size_t>(capacity), "%s/.local/share/corsavel/", home);
    }
    return written > 0 && written < capacity;
}

}  // namespace

bool makeDirectories(const char* path) {
    char buffer[kMaxPath];
    size_t n = std::strlen(path);
    if (n == 0 || n >= sizeof(buffer)) {
        return false;
    }
    std::memcpy(buffer, path, n + 1);
    for (size_t i = 1; i <= n; ++i) {
        if (buffer[i] == '/' || buffer[i] == '\0') {
            char saved = buffer[i];
            buffer[i] = '\0';
            if (mkdir(buffer, 0755) != 0 && errno != EEXIST) {
                return false;
            }
            buffer[i] = saved;
        }
    }
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool initPaths(const char* dataOverride, const char* userOverride) {
    if (getcwd(paths.startDirectory, sizeof(paths.startDirectory)) == nullptr) {
        paths.startDirectory[0] = '\0';
    }
    char buffer[kMaxPath];
    if (dataOverride != nullptr) {
        if (!setFolder(paths.dataDirectory, dataOverride)) {
            return false;
        }
    } else {
        if (!executableFolder(buffer, sizeof(buffer) - 32)) {
            std::snprintf(buffer, sizeof(buffer), "%s/", paths.startDirectory);
        }
        // "Data" beside the executable (the build tree, an unpacked game),
        // else the installed share folder of a bin/ executable; "Data" when
        // neither exists, so the first required load names the usual place.
        char installed[kMaxPath + 32];
        std::snprintf(installed, sizeof(installed), "%s../share/corsavel", buffer);
        std::strcat(buffer, "Data");
        const char* chosen = !isDirectory(buffer) && isDirectory(installed) ? installed : buffer;
        if (!setFolder(paths.dataDirectory, chosen)) {
            return false;
        }
    }
    if (userOverride != nullptr) {
        if (!setFolder(paths.userDirectory, userOverride)) {
            return false;
        }
    } else if (!defaultUserFolder(buffer, sizeof(buffer)) ||
               !setFolder(paths.userDirectory, buffer)) {
        return false;
    }
    // A user folder that cannot be made (read-only home, a file in its way)
    // does not stop the game: it runs, and its writes fail quietly.
    makeDirectories(paths.userDirectory);
    return true;
}

void enterDataDirectory() {
    if (paths.dataDirectory[0] != '\0' && chdir(paths.dataDirectory) != 0) {
        // A missing Data folder surfaces at the first required load.
    }
}

bool enterSettingsDirectory() {
    char folder[kMaxPath];
    if (!userFilePath("settings", folder, sizeof(folder))) {
        return false;
    }
    if (chdir(folder) == 0) {
        return true;
    }
    return makeDirectories(folder) && chdir(folder) == 0;
}

void leaveSettingsDirectory() {
    enterDataDirectory();
}

bool userFilePath(const char* name, char* out, int capacity) {
    if (name == nullptr || name[0] == '\0' || std::strchr(name, '/') != nullptr ||
        std::strchr(name, '\\') != nullptr || std::strcmp(name, "..") == 0 ||
        std::strcmp(name, ".") == 0) {
        return false;
    }
    int written =
        std::snprintf(out, static_cast<size_t>(capacity), "%s%s", paths.userDirectory, name);
    return written > 0 && written < capacity;
}

}  // namespace corsavel
