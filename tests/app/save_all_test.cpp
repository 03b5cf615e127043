// The save of the settings record and the tables: the tables go first, and
// the record that counts the profiles is written only when "profiles.dat"
// was; nothing is written before the tables were read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/load_steps.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "ui/player_tables.h"
#include "ui/profiles.h"

namespace corsavel {
namespace {

class SaveAll : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-saveall-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_TRUE(initPaths(folder_.c_str(), (folder_ + "/home").c_str()));
        ASSERT_TRUE(makeDirectories((folder_ + "/home/settings").c_str()));
        forgetPlayerTables();
        settings = Settings{};
    }
    void TearDown() override {
        forgetPlayerTables();
        chmod((folder_ + "/home/settings").c_str(), 0755);
        ASSERT_EQ(std::system(("rm -rf '" + folder_ + "'").c_str()), 0);
    }
    std::vector<uint8_t> bytesOf(const std::string& name) const {
        std::vector<uint8_t> bytes;
        FILE* f = std::fopen((folder_ + "/home/" + name).c_str(), "rb");
        if (f != nullptr) {
            for (int c; (c = std::fgetc(f)) != EOF;) {
                bytes.push_back(static_cast<uint8_t>(c));
            }
            std::fclose(f);
        }
        return bytes;
    }
    Settings storedSettings() const {
        Settings s;
        readSettingsFile((folder_ + "/home/settings.reg").c_str(), &s);
        return s;
    }
    std::string folder_;
};

TEST_F(SaveAll, WritesTheTablesAndTheirCount) {
    loadPlayerTables(1);
    ASSERT_TRUE(createProfile("PLAYER"));
    ASSERT_TRUE(createProfile("ANNA"));
    saveAll();
    EXPECT_EQ(bytesOf("settings/profiles.dat").size(), 2u * 104u);
    EXPECT_EQ(bytesOf("settings/records.dat").size(), 9600u);
    EXPECT_EQ(bytesOf("settings/hiscore.dat").size(), 720u);
    EXPECT_EQ(storedSettings().profileCount, 2);
    EXPECT_EQ(storedSettings().currentProfile, 1);
}

TEST_F(SaveAll, AFailedProfilesWriteKeepsTheOldCount) {
    loadPlayerTables(1);
    ASSERT_TRUE(createProfile("PLAYER"));
    saveAll();
    ASSERT_EQ(storedSettings().profileCount, 1);
    const std::vector<uint8_t> record = bytesOf("settings.reg");
    const std::vector<uint8_t> profiles = bytesOf("settings/profiles.dat");
    // The user folder stays writable; only the tables' folder is not.
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod((folder_ + "/home").c_str(), 0777), 0);
    ASSERT_EQ(chmod((folder_ + "/home/settings").c_str(), 0555), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(3);
        }
        _exit(createProfile("ANNA") ? (saveAll(), 0) : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(bytesOf("settings.reg"), record);
    EXPECT_EQ(bytesOf("settings/profiles.dat"), profiles);
}

TEST_F(SaveAll, ClosingBeforeTheLoadKeepsEveryProfile) {
    loadPlayerTables(1);
    ASSERT_TRUE(createProfile("ANNA"));
    saveAll();
    const std::vector<uint8_t> profiles = bytesOf("settings/profiles.dat");
    // The next run is closed during its splash: the tables were never read.
    forgetPlayerTables();
    ASSERT_TRUE(readSettings());
    saveAll();
    EXPECT_EQ(bytesOf("settings/profiles.dat"), profiles);
    EXPECT_EQ(storedSettings().profileCount, 1);
}

}  // namespace
}  // namespace corsavel
