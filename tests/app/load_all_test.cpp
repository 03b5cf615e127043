// The one-time load: its steps in the game's order, run on the forged Data
// folder of the build into a device that draws nothing, and the shutdown
// that releases them and saves the settings record.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/load_steps.h"
#include "app/screen.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/null_device.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {
namespace {

std::string forgedData() {
    const char* dir = std::getenv("CORSAVEL_BINARY_DIR");
    return std::string(dir != nullptr ? dir : ".") + "/Data";
}

TEST(LoadSteps, RunInTheGamesOrder) {
    std::vector<std::string> names;
    for (int i = 0; i < loadStepCount(); ++i) {
        names.push_back(loadStep(i).name);
        EXPECT_NE(loadStep(i).load, nullptr) << names.back();
    }
    // Archives first, so every later step reads from them; the tables of the
    // settings folder before anything that may read the profile; the level
    // packs after the models and dancers they show; the effects and
    // backgrounds while the archives with their images are still loaded.
    const std::vector<std::string> expected = {"archives",    "texts",   "settings", "sounds",
                                               "models",      "dancers", "levels",   "effects",
                                               "backgrounds", "menus",   "map"};
    EXPECT_EQ(names, expected);
}

// The loading screen redraws when the bar's drawn width changes, at most
// once per display refresh; the clock's wrap is no gap.
TEST(LoadingRedraw, OnlyWhenTheBarMovesAndAFrameHasPassed) {
    LoadingRedrawGate gate;
    EXPECT_TRUE(gate.due(0.0f, 310.0f, 1000));
    EXPECT_FALSE(gate.due(0.5f, 310.0f, 1000 + kLoadingRedrawMs - 1)) << "too soon";
    EXPECT_TRUE(gate.due(0.5f, 310.0f, 1000 + kLoadingRedrawMs));
    EXPECT_FALSE(gate.due(0.501f, 310.0f, 2000)) << "same pixel width";
    EXPECT_TRUE(gate.due(0.51f, 310.0f, 2000));
    // The bar is not clamped: past its full width it still moves.
    EXPECT_TRUE(gate.due(1.0f, 310.0f, 3000));
    EXPECT_TRUE(gate.due(1.7f, 310.0f, 4000));

    LoadingRedrawGate wrapping;
    EXPECT_TRUE(wrapping.due(0.1f, 310.0f, 0xFFFFFFF0u));
    EXPECT_FALSE(wrapping.due(0.2f, 310.0f, 0xFFFFFFF0u + 8));
    EXPECT_TRUE(wrapping.due(0.2f, 310.0f, 0xFFFFFFF0u + kLoadingRedrawMs));
}

class LoadAll : public ::testing::Test {
protected:
    void SetUp() override {
        if (access((forgedData() + "/strings.txt").c_str(), R_OK) != 0 &&
            access((forgedData() + "/texts.dat").c_str(), R_OK) != 0) {
            GTEST_SKIP() << "no forged Data folder";
        }
        char pattern[] = "/tmp/corsavel-load-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        user_ = pattern;
        ASSERT_TRUE(initPaths(forgedData().c_str(), (user_ + "/user").c_str()));
        enterDataDirectory();
        setRenderBackend(&device_);
        applyDefaultStates();
        resetAppState();
        resetScreens();
    }
    void TearDown() override {
        if (user_.empty()) {
            return;
        }
        resetScreens();
        setRenderBackend(nullptr);
        ASSERT_EQ(chdir(paths.startDirectory), 0);
        ASSERT_EQ(std::system(("rm -rf '" + user_ + "'").c_str()), 0);
    }
    NullDevice device_;
    std::string user_;
};

TEST_F(LoadAll, LoadsEveryStepAndLeavesTheIntroCurrent) {
    setCurrentScreen(&menuScreen);
    EXPECT_TRUE(loadAll());
    EXPECT_GT(textState.fontCount, 0);
    EXPECT_NE(findText("continue"), nullptr);
    EXPECT_NE(findAsset("levels\\pack1_01.lvl"), nullptr);
    EXPECT_EQ(access((user_ + "/user/settings").c_str(), F_OK), 0);
    // The archives stay for the whole run: the release by name at the end of
    // the load is given lower-case names and finds nothing, so entries are
    // still there for the level backgrounds that later starts ask for.
    EXPECT_NE(findAsset("targa.dat"), nullptr);
    char cwd[kMaxPath];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    // getcwd gives the resolved folder; the Data folder may be a link.
    char* data = realpath(paths.dataDirectory, nullptr);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(cwd, data) << "every step returns to the Data folder";
    std::free(data);
    // The intro is made current directly, with no switch pending.
    EXPECT_EQ(currentScreen(), &introScreen);
    EXPECT_FALSE(screens.switchPending);
}

double hookBytes = 0.0;
void countingHook(int32_t size) {
    hookBytes += size;
    loadingProgress(size);
}

// Redraws are rationed, the count is not: the bar ends at every registered
// byte, and the loading screen was drawn while the load ran.
TEST_F(LoadAll, EveryRegisteredByteMovesTheBarWhileTheScreenRedraws) {
    RecordingDevice counting;
    counting.install();
    hookBytes = 0.0;
    setAssetRegisteredHook(countingHook);
    setCurrentScreen(&introScreen);
    app.loadAllPending = true;
    loadAll();
    app.loadAllPending = false;
    setAssetRegisteredHook(nullptr);
    setRenderBackend(&device_);
    EXPECT_GT(hookBytes, 1e6);
    EXPECT_NEAR(intro.loadedBytes, hookBytes, hookBytes * 1e-6);
    EXPECT_GE(counting.presents, 1);
}

std::vector<int32_t> registeredSizes;
void recordingHook(int32_t size) {
    registeredSizes.push_back(size);
    loadingProgress(size);
}

int32_t fileSize(const char* name) {
    struct stat info {};
    return stat(name, &info) == 0 ? static_cast<int32_t>(info.st_size) : -1;
}

// What the first present found loaded: the intro's pictures and the count
// of registered assets.
struct AtFirstPresent {
    bool seen = false;
    bool splash1 = false;
    bool later = false;
    size_t registered = 0;
};
AtFirstPresent atFirstPresent;
void noteFirstPresent() {
    if (!atFirstPresent.seen) {
        atFirstPresent.seen = true;
        atFirstPresent.splash1 = findTexture("splash1.jpg") != nullptr;
        atFirstPresent.later = findTexture("splash2.jpg") != nullptr ||
                               findTexture("loadscreen.jpg") != nullptr ||
                               findTexture("loadbar.jpg") != nullptr;
        atFirstPresent.registered = registeredSizes.size();
    }
}

// The first frame waits only for the first splash; the intro's other
// pictures follow right after it, before any other asset, and the loading
// bar counts each of them once, in the order the intro always loaded them.
TEST_F(LoadAll, TheFirstFrameShowsTheFirstSplashAndTheRestFollowInOrder) {
    releaseAllTextures();
    registeredSizes.clear();
    atFirstPresent = AtFirstPresent{};
    setAssetRegisteredHook(recordingHook);
    setPresentedHook(noteFirstPresent);
    setCurrentScreen(&introScreen);
    loadIntroImages();
    EXPECT_NE(findTexture("splash1.jpg"), nullptr);
    EXPECT_EQ(findTexture("loadscreen.jpg"), nullptr);
    runIdlePass();
    EXPECT_TRUE(atFirstPresent.seen);
    EXPECT_TRUE(atFirstPresent.splash1);
    EXPECT_FALSE(atFirstPresent.later) << "the first frame waited for later pictures";
    EXPECT_EQ(atFirstPresent.registered, 1u);
    const std::vector<int32_t> expected = {fileSize("splash1.jpg"), fileSize("splash2.jpg"),
                                           fileSize("loadscreen.jpg"), fileSize("loadbar.jpg")};
    EXPECT_EQ(registeredSizes, expected);
    EXPECT_TRUE(intro.hasSecondSplash);
    EXPECT_NE(findTexture("loadbar.jpg"), nullptr);
    // Once: later frames load nothing more.
    runIdlePass();
    EXPECT_EQ(registeredSizes.size(), expected.size());
    double sum = 0.0;
    for (int32_t size : expected) {
        sum += size;
    }
    EXPECT_FLOAT_EQ(intro.loadedBytes, static_cast<float>(sum));
    setPresentedHook(nullptr);
    setAssetRegisteredHook(nullptr);
    releaseAllTextures();
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

TEST_F(LoadAll, FixedSeedReplaysBothGenerators) {
    app.fixedSeed = true;
    app.seed = 1234;
    loadAll();
    const int rules = nextRandom();
    const int looks = looksRandom.next();
    loadAll();
    EXPECT_EQ(nextRandom(), rules);
    EXPECT_EQ(looksRandom.next(), looks);
}

// Nothing of the load draws from the rules' generator: the first level
// starts from the seed itself, as the bot's levels do.
TEST_F(LoadAll, LoadingLeavesTheRulesGeneratorAsSeeded) {
    app.fixedSeed = true;
    app.seed = 77;
    loadAll();
    RandomGenerator seeded;
    seeded.seed(77);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rulesRandom.next(), seeded.next()) << "draw " << i;
    }
}

TEST_F(LoadAll, ShutdownSavesTheSettingsRecordInTheUserFolder) {
    loadAll();
    releaseLoadSteps();
    saveAll();
    EXPECT_EQ(access((user_ + "/user/settings.reg").c_str(), R_OK), 0);
}

}  // namespace
}  // namespace corsavel
