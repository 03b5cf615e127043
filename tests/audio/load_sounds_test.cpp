#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "audio/audio.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

int64_t barBytes = 0;
void countBar(int32_t size) {
    barBytes += size;
}

// A scratch Data folder: loadSounds reads "Sounds/*.ogg" and "music.mo3"
// from the current directory.
class LoadSoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-sounds-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::filesystem::create_directories(dir + "/Sounds");
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        setAudioOutput(nullptr);
        resetAudio();
        barBytes = 0;
        setAssetRegisteredHook(countBar);
    }
    void TearDown() override {
        setAssetRegisteredHook(nullptr);
        EXPECT_EQ(chdir(previous), 0);
        std::filesystem::remove_all(dir);
    }
    void write(const std::string& name, size_t bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << std::string(bytes, 'x');
    }
    std::string dir;
    char previous[4096] = {};
};

TEST_F(LoadSoundsTest, BarAdvancesByEverySampleFileAndTheModuleBudget) {
    write("Sounds/combo.ogg", 1000);
    write("Sounds/Level_Complete.ogg", 234);
    write("Sounds/readme.txt", 5000);
    write("music.mo3", 77);
    loadSounds();
    EXPECT_EQ(audio.bank.count, 2);
    EXPECT_GE(findSample("Level_Complete.ogg"), 0);
    EXPECT_EQ(barBytes, 1000 + 234 + kMusicLoadBudget);
}

TEST_F(LoadSoundsTest, FilesPastAFullBankStillAdvanceTheBar) {
    for (int i = 0; i < kMaxSamples + 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Sounds/s%03d.ogg", i);
        write(name, 10);
    }
    loadSounds();
    EXPECT_EQ(audio.bank.count, kMaxSamples);
    EXPECT_EQ(barBytes, 10 * (kMaxSamples + 3) + kMusicLoadBudget);
}

TEST_F(LoadSoundsTest, MissingFolderAndModuleLeaveTheGameSilentButLoaded) {
    std::filesystem::remove_all(dir + "/Sounds");
    loadSounds();
    EXPECT_EQ(audio.bank.count, 0);
    EXPECT_EQ(audio.music.module, 0u);
    EXPECT_EQ(barBytes, kMusicLoadBudget);
    playSound("combo.ogg");
    updateAudio(16.0f);
    requestMusic(0);
    updateAudio(800.0f);
    EXPECT_EQ(audio.music.target, 0);
}

}  // namespace
}  // namespace corsavel
