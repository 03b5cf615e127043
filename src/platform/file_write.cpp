#include "platform/file_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corsavel {

namespace {

bool writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The rename itself reaches the disk with the folder's own flush.
void flushFolderOf(const char* path) {
    char folder[4096];
    std::snprintf(folder, sizeof folder, "%s", path);
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr) {
        std::snprintf(folder, sizeof folder, ".");
    } else if (slash == folder) {
        folder[1] = 0;
    } else {
        *slash = 0;
    }
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

bool writeFileAtomically(const char* path, const void* data, size_t size) {
    if (path == nullptr || (data == nullptr && size > 0)) {
        return false;
    }
    char temp[4200];
    const int n = std::snprintf(temp, sizeof temp, "%s.tmp%d", path, static_cast<int>(getpid()));
    if (n <= 0 || n >= static_cast<int>(sizeof temp)) {
        return false;
    }
    const int fd = open(temp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temp, path) != 0) {
        unlink(temp);
        return false;
    }
    flushFolderOf(path);
    return true;
}

}  // namespace corsavel
