#include <signal.h>
#include <sys/wait.h>

#include <cstring>

#include "ui_fixture.h"

namespace corsavel {
namespace {

using Durability = UserFolderTest;

void fillTable(const char* first, int count, int32_t lives) {
    profileTable = ProfileTable{};
    for (int i = 0; i < count; ++i) {
        Profile& p = profileTable.records[i];
        std::snprintf(p.name, sizeof p.name, "%s%d", first, i);
        p.lives[0] = lives;
        p.score[0] = 1000 * i + lives;
    }
    profileTable.count = count;
}

// A game killed at any moment of a save leaves each table as it was or as
// it was going to be, whole.
TEST_F(Durability, AKilledSaveLeavesTheOldOrTheNewFileWhole) {
    fillTable("OLD", 3, 1);
    ASSERT_TRUE(saveProfiles());
    const std::vector<uint8_t> before = readBytes(settingsPath("profiles.dat"));
    fillTable("NEW", 5, 2);
    ASSERT_TRUE(saveProfiles());
    const std::vector<uint8_t> after = readBytes(settingsPath("profiles.dat"));
    ASSERT_NE(before, after);
    uint32_t draw = 12345;
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                fillTable("OLD", 3, 1);
                saveProfiles();
                fillTable("NEW", 5, 2);
                saveProfiles();
            }
        }
        draw = draw * 214013u + 2531011u;
        usleep(500 + (draw >> 16) % 8000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::vector<uint8_t> now = readBytes(settingsPath("profiles.dat"));
        ASSERT_TRUE(now == before || now == after) << "round " << round << ": " << now.size();
        sawOld += now == before ? 1 : 0;
        sawNew += now == after ? 1 : 0;
    }
    EXPECT_EQ(sawOld + sawNew, 30);
}

TEST_F(Durability, WhatAKilledWriteLeftIsRemovedAtTheNextStart) {
    writeBytes(settingsPath("profiles.dat.tmp4242"), {1, 2});
    writeBytes(settingsPath("ANNA_cls.sav.tmp17"), {3});
    writeBytes(settingsPath("notes.tmp1"), {4});
    writeBytes(settingsPath("ANNA_cls.sav"), {5});
    loadPlayerTables(1);
    EXPECT_FALSE(exists(settingsPath("profiles.dat.tmp4242")));
    EXPECT_FALSE(exists(settingsPath("ANNA_cls.sav.tmp17")));
    EXPECT_TRUE(exists(settingsPath("notes.tmp1")));
    EXPECT_TRUE(exists(settingsPath("ANNA_cls.sav")));
}

// The tables' folder cannot be written (a read-only folder, or one the user
// does not own): the saves fail quietly and the files stay as they were.
TEST_F(Durability, AReadOnlySettingsFolderKeepsTheOldFiles) {
    loadPlayerTables(1);
    ASSERT_TRUE(createProfile("PLAYER"));
    ASSERT_TRUE(createProfile("ANNA"));
    ASSERT_TRUE(savePlayerTables());
    const std::vector<uint8_t> profiles = readBytes(settingsPath("profiles.dat"));
    const std::vector<uint8_t> records = readBytes(settingsPath("records.dat"));
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod((folder_ + "/home").c_str(), 0755), 0);
    ASSERT_EQ(chmod(settingsPath("").c_str(), 0555), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root writes anywhere: the run takes an ordinary user's rights.
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(3);
        }
        forgetPlayerTables();
        loadPlayerTables(1);
        if (profileTable.count != 2 || !createProfile("BOB")) {
            _exit(4);
        }
        recordLevelResult(profileTable.records[2], 0, 0, 999, 5.0f);
        _exit(savePlayerTables() ? 5 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(chmod(settingsPath("").c_str(), 0755), 0);
    EXPECT_EQ(readBytes(settingsPath("profiles.dat")), profiles);
    EXPECT_EQ(readBytes(settingsPath("records.dat")), records);
    forgetPlayerTables();
    settings.profileCount = 2;
    settings.currentProfile = 1;
    settings.loadedFromRecord = true;
    loadPlayerTables(1);
    EXPECT_EQ(profileTable.count, 2);
    EXPECT_STREQ(activeProfile().name, "ANNA");
}

}  // namespace
}  // namespace corsavel
