#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/hooks.h"
#include "app/screen.h"
#include "platform/paths.h"
#include "platform/random.h"

namespace corsavel {
namespace {

std::vector<std::string> steps;
std::string settingsCwd;

void step(const char* name) {
    steps.push_back(name);
}

class LoadAll : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-load-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_TRUE(makeDirectories((folder_ + "/Data").c_str()));
        ASSERT_TRUE(initPaths((folder_ + "/Data").c_str(), (folder_ + "/user").c_str()));
        enterDataDirectory();
        steps.clear();
        hooks = AppHooks{};
        resetAppState();
        resetScreens();
        hooks.load.loadTextTables = [] { step("texts"); };
        hooks.load.loadSettingsTables = [] {
            char cwd[kMaxPath];
            settingsCwd = getcwd(cwd, sizeof(cwd)) != nullptr ? cwd : "";
            step("tables");
        };
        hooks.load.loadEffects = [] { step("effects"); };
        hooks.load.loadBackgrounds = [] { step("backgrounds"); };
        hooks.load.loadMenus = [] { step("menus"); };
        hooks.load.loadGuiTextures = [] { step("gui"); };
        hooks.load.loadSounds = [] { step("sounds"); };
        hooks.load.loadModels = [] { step("models"); };
        hooks.load.loadLevelPacks = [] { step("levels"); };
        hooks.load.loadMap = [] { step("map"); };
    }
    void TearDown() override {
        hooks = AppHooks{};
        resetScreens();
        ASSERT_EQ(chdir(paths.startDirectory), 0);
        ASSERT_EQ(std::system(("rm -rf '" + folder_ + "'").c_str()), 0);
    }
    std::string folder_;
};

TEST_F(LoadAll, StepsRunInOrderWithTablesInTheUserSettingsFolder) {
    setCurrentScreen(&menuScreen);
    EXPECT_TRUE(loadAll());
    const std::vector<std::string> expected = {"texts", "tables", "effects", "backgrounds", "menus",
                                               "gui",   "sounds", "models",  "levels",      "map"};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(settingsCwd, folder_ + "/user/settings");
    char cwd[kMaxPath];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    EXPECT_EQ(std::string(cwd), folder_ + "/Data");
    // The intro is made current directly, with no switch pending.
    EXPECT_EQ(currentScreen(), &introScreen);
    EXPECT_FALSE(screens.switchPending);
}

TEST_F(LoadAll, IdlePassLoadsOnceAfterTheFrameThatAskedAndClearsTheOverlay) {
    setCurrentScreen(&introScreen);
    app.loadAllPending = true;
    app.diagnosticsOverlay = true;
    runIdlePass();
    EXPECT_EQ(app.loadAllCount, 1);
    EXPECT_FALSE(app.loadAllPending);
    EXPECT_FALSE(app.diagnosticsOverlay);
    runIdlePass();
    EXPECT_EQ(app.loadAllCount, 1);
}

TEST_F(LoadAll, FixedSeedReplaysTheGenerator) {
    app.fixedSeed = true;
    app.seed = 1234;
    loadAll();
    int first = nextRandom();
    loadAll();
    EXPECT_EQ(nextRandom(), first);
}

}  // namespace
}  // namespace corsavel
