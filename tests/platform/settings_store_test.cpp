#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/instance_lock.h"
#include "platform/paths.h"

namespace corsavel {
namespace {

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-platform-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::string command = "rm -rf '" + folder_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string file(const char* name) const { return folder_ + "/" + name; }
    void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        }
        std::fclose(f);
    }
    std::string folder_;
};

using SettingsRecord = TempFolder;

TEST_F(SettingsRecord, FirstRunGetsTheDefaults) {
    Settings s;
    s.musicVolume = 1;
    EXPECT_FALSE(readSettingsFile(file("settings.reg").c_str(), &s));
    EXPECT_EQ(s.musicVolume, 60);
    EXPECT_EQ(s.effectsVolume, 90);
    EXPECT_TRUE(s.showTips);
    EXPECT_FALSE(s.customCursor);
    EXPECT_EQ(s.currentProfile, 0);
    EXPECT_EQ(s.profileCount, 0);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_FALSE(s.loadedFromRecord);
}

TEST_F(SettingsRecord, RoundTripKeepsTheFieldsReadBack) {
    Settings s;
    s.musicVolume = 12;
    s.effectsVolume = 34;
    s.showTips = false;
    s.customCursor = true;
    s.profileCount = 3;
    s.currentProfile = 2;
    s.fullScreen = false;
    ASSERT_TRUE(writeSettingsFile(file("settings.reg").c_str(), s));
    struct stat info;
    ASSERT_EQ(stat(file("settings.reg").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 44);
    EXPECT_NE(stat(file("settings.reg.tmp").c_str(), &info), 0);
    Settings back;
    ASSERT_TRUE(readSettingsFile(file("settings.reg").c_str(), &back));
    EXPECT_EQ(back.musicVolume, 12);
    EXPECT_EQ(back.effectsVolume, 34);
    EXPECT_FALSE(back.showTips);
    EXPECT_TRUE(back.customCursor);
    EXPECT_EQ(back.profileCount, 3);
    EXPECT_EQ(back.currentProfile, 2);
    EXPECT_FALSE(back.fullScreen);
}

TEST_F(SettingsRecord, LayoutIsLittleEndianAtTheStoredOffsets) {
    Settings s;
    s.musicVolume = 0x01020304;
    uint8_t bytes[kSettingsRecordSize];
    encodeSettings(s, bytes);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(bytes[8], 0x20);  // 800
    EXPECT_EQ(bytes[9], 0x03);
    EXPECT_EQ(bytes[12], 0x58);  // 600
    EXPECT_EQ(bytes[24], 1);     // tips
    EXPECT_EQ(bytes[25], 0);     // custom cursor
    EXPECT_EQ(bytes[28], 0);     // reserved
    EXPECT_EQ(bytes[40], 1);     // full screen
}

TEST_F(SettingsRecord, RecordsOfAnotherSizeAreIgnoredWhole) {
    for (size_t size : {43u, 45u, 0u}) {
        std::vector<uint8_t> bytes(size, 0);
        writeBytes(file("settings.reg"), bytes);
        Settings s;
        EXPECT_FALSE(readSettingsFile(file("settings.reg").c_str(), &s)) << size;
        EXPECT_EQ(s.musicVolume, 60) << size;
        EXPECT_TRUE(s.fullScreen) << size;
    }
}

TEST_F(SettingsRecord, OutOfRangeValuesAreClamped) {
    std::vector<uint8_t> bytes(44, 0);
    bytes[0] = 0xFF;  // music -1 ... as 0xFFFFFFFF
    bytes[1] = bytes[2] = bytes[3] = 0xFF;
    bytes[4] = 200;
    bytes[32] = 7;
    bytes[36] = 50;
    writeBytes(file("settings.reg"), bytes);
    Settings s;
    ASSERT_TRUE(readSettingsFile(file("settings.reg").c_str(), &s));
    EXPECT_EQ(s.musicVolume, 0);
    EXPECT_EQ(s.effectsVolume, 100);
    EXPECT_EQ(s.profileCount, kMaxProfiles);
    EXPECT_EQ(s.currentProfile, 7);
    bytes[36] = 2;
    writeBytes(file("settings.reg"), bytes);
    ASSERT_TRUE(readSettingsFile(file("settings.reg").c_str(), &s));
    EXPECT_EQ(s.currentProfile, 0);
}

TEST_F(SettingsRecord, FailedWriteKeepsTheOldRecord) {
    Settings s;
    s.musicVolume = 5;
    ASSERT_TRUE(writeSettingsFile(file("settings.reg").c_str(), s));
    // The temporary name is taken by a folder: the write fails, the old
    // record survives intact.
    const std::string temp = file("settings.reg.tmp") + std::to_string(getpid());
    ASSERT_EQ(mkdir(temp.c_str(), 0755), 0);
    s.musicVolume = 77;
    EXPECT_FALSE(writeSettingsFile(file("settings.reg").c_str(), s));
    Settings back;
    ASSERT_TRUE(readSettingsFile(file("settings.reg").c_str(), &back));
    EXPECT_EQ(back.musicVolume, 5);
}

using UserFolder = TempFolder;

TEST_F(UserFolder, SettingsFolderIsCreatedAndLeft) {
    std::string data = file("Data");
    ASSERT_TRUE(makeDirectories(data.c_str()));
    ASSERT_TRUE(initPaths(data.c_str(), file("home/corsavel").c_str()));
    enterDataDirectory();
    ASSERT_TRUE(enterSettingsDirectory());
    char cwd[kMaxPath];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    EXPECT_EQ(std::string(cwd), file("home/corsavel/settings"));
    leaveSettingsDirectory();
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    EXPECT_EQ(std::string(cwd), data);
    ASSERT_EQ(chdir(paths.startDirectory), 0);
}

// A relative Data folder still works once the game has changed directory.
TEST_F(UserFolder, RelativeFoldersAreTakenFromTheStartDirectory) {
    ASSERT_TRUE(makeDirectories(file("run/Data").c_str()));
    char before[kMaxPath];
    ASSERT_NE(getcwd(before, sizeof(before)), nullptr);
    ASSERT_EQ(chdir(file("run").c_str()), 0);
    ASSERT_TRUE(initPaths("Data", "home"));
    EXPECT_EQ(std::string(paths.dataDirectory), file("run/Data/"));
    EXPECT_EQ(std::string(paths.userDirectory), file("run/home/"));
    enterDataDirectory();
    enterDataDirectory();
    char cwd[kMaxPath];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    EXPECT_EQ(std::string(cwd), file("run/Data"));
    ASSERT_EQ(chdir(before), 0);
}

TEST_F(UserFolder, UserFileNamesCannotLeaveTheFolder) {
    ASSERT_TRUE(initPaths(folder_.c_str(), folder_.c_str()));
    char out[kMaxPath];
    EXPECT_TRUE(userFilePath("settings.reg", out, sizeof(out)));
    EXPECT_EQ(std::string(out), file("settings.reg"));
    EXPECT_FALSE(userFilePath("../x", out, sizeof(out)));
    EXPECT_FALSE(userFilePath("..", out, sizeof(out)));
    EXPECT_FALSE(userFilePath("a\\b", out, sizeof(out)));
    EXPECT_FALSE(userFilePath("settings.reg", out, 4));
}

using InstanceLock = TempFolder;

TEST_F(InstanceLock, SecondHolderIsRefused) {
    std::string lock = file("corsavel.lock");
    int ready[2];
    int done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The first copy: holds the lock until the parent has tried.
        char c = acquireInstanceLock(lock.c_str()) ? 'y' : 'n';
        _exit(write(ready[1], &c, 1) == 1 && read(done[0], &c, 1) == 1 ? 0 : 1);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    EXPECT_FALSE(acquireInstanceLock(lock.c_str()));
    ASSERT_EQ(write(done[1], &c, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Once the first copy has ended the lock is free again.
    EXPECT_TRUE(acquireInstanceLock(lock.c_str()));
    releaseInstanceLock();
    for (int fd : {ready[0], ready[1], done[0], done[1]}) {
        close(fd);
    }
}

}  // namespace
}  // namespace corsavel
