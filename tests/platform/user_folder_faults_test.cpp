// A user folder the game cannot write (read-only, or a file in its way)
// must not keep the game from starting.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/instance_lock.h"
#include "platform/paths.h"

namespace corsavel {
namespace {

class UserFolderFaults : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-userfaults-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        // A plain file where the user folder's parent should be.
        FILE* f = std::fopen((folder_ + "/file").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    void TearDown() override {
        releaseInstanceLock();
        ASSERT_EQ(std::system(("rm -rf '" + folder_ + "'").c_str()), 0);
    }
    std::string folder_;
};

TEST_F(UserFolderFaults, PathsAreSetWhenTheUserFolderCannotBeMade) {
    const std::string home = folder_ + "/file/corsavel";
    ASSERT_TRUE(initPaths(folder_.c_str(), home.c_str()));
    EXPECT_EQ(std::string(paths.userDirectory), home + "/");
    EXPECT_EQ(access(home.c_str(), F_OK), -1);
}

TEST_F(UserFolderFaults, NoLockFileMeansNoLockAndNoRefusal) {
    const std::string lock = folder_ + "/file/corsavel.lock";
    EXPECT_TRUE(acquireInstanceLock(lock.c_str()));
}

// A lock file of mode 0444 held by one copy keeps a second copy out (read
// only for a player; the second copy's read-only open takes part in the lock).
TEST_F(UserFolderFaults, ReadOnlyLockFileStillExcludesASecondCopy) {
    const std::string lock = folder_ + "/corsavel.lock";
    const int holder = open(lock.c_str(), O_RDWR | O_CREAT, 0444);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another process: refused while the holder keeps the lock.
        _exit(acquireInstanceLock(lock.c_str()) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(holder);
    EXPECT_TRUE(acquireInstanceLock(lock.c_str()));
}

}  // namespace
}  // namespace corsavel
