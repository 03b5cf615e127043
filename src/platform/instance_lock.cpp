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
        return false;
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
