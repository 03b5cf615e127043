#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace corsavel {

namespace {

int lockDescriptor = -1;

}  // namespace

bool acquireInstanceLock(const char* path) {
    if (lockDescriptor >= 0) {
        return true;
    }
    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        // A read-only user folder still holds the lock file of earlier runs,
        // and a read-only descriptor takes the lock as well.
        fd = open(path, O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        // No lock file can exist (a read-only or missing user folder): one
        // copy cannot be told from two, and refusing to start would lock the
        // player out of the game.
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    lockDescriptor = fd;
    return true;
}

void releaseInstanceLock() {
    if (lockDescriptor >= 0) {
        flock(lockDescriptor, LOCK_UN);
        close(lockDescriptor);
        lockDescriptor = -1;
    }
}

}  // namespace corsavel
