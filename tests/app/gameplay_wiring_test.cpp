// The game screen reaches the gameplay, and the in-game pages answer the
// gameplay's ends: resume, the next level, another try, game over.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/hooks.h"
#include "app/ingame_pages.h"
#include "app/screen.h"
#include "game/game_hooks.h"
#include "game/rules.h"
#include "platform/pointer.h"
#include "resources/asset_registry.h"
#include "ui/profile.h"

namespace corsavel {
namespace {

constexpr int32_t kVkEnter = 13;
constexpr int32_t kVkEscape = 27;
constexpr int32_t kVkSpace = 32;

// Levels 1..12 served from memory: a plain board with one layered row.
void registerLevels() {
    static char text[] = "figures=6\r\ntime=60\r\nlevel=\r\n111111111111\r\n";
    for (int n = 1; n <= 12; ++n) {
        char name[40];
        std::snprintf(name, sizeof name, "levels\\pack1_%.2i.lvl", n);
        if (!findAsset(name)) {
            registerAsset(name, static_cast<int32_t>(std::strlen(text)),
                          reinterpret_cast<uint8_t*>(text), false);
        }
    }
}

class GameplayWiring : public ::testing::Test {
protected:
    void SetUp() override {
        hooks = AppHooks{};
        gameplayServices = GameplayServices{};
        resetAppState();
        resetScreens();
        registerLevels();
        profile_ = Profile{};
        profile_.lives[0] = 3;
        profile_.lives[1] = 3;
        profile_.helpShown = 1;
        profile_.tipPowerupShown = profile_.tipRelaxShown = 1;
        profile_.tipSquareShown = profile_.tipChainShown = 1;
        setActiveProfile(&profile_);
        installGameplayHooks();
        session.gameMode = 0;
        setProgressLevel(profile_, 2);
        startLevel(2);
        setCurrentScreen(&gameScreen);
    }
    void TearDown() override {
        setActiveProfile(nullptr);
        hooks = AppHooks{};
        gameplayServices = GameplayServices{};
        openInGamePage("");
        resetScreens();
    }
    Profile profile_{};
};

TEST_F(GameplayWiring, KeysReachTheBoardOrTheOpenPage) {
    gameScreen.onKeyDown(kVkSpace);
    EXPECT_TRUE(game.flags.paused);
    gameScreen.onLeftDown();  // a click resumes
    EXPECT_FALSE(game.flags.paused);
    gameScreen.onKeyDown(kVkEscape);
    EXPECT_TRUE(game.flags.menuActive);
    EXPECT_STREQ(inGamePageName(), "gameplay");
    // With the page open, space goes to the page and does not pause.
    gameScreen.onKeyDown(kVkSpace);
    EXPECT_FALSE(game.flags.paused);
    EXPECT_TRUE(game.flags.menuActive);
    gameScreen.onKeyDown(kVkEscape);
    EXPECT_FALSE(game.flags.menuActive);
    EXPECT_STREQ(inGamePageName(), "");
}

TEST_F(GameplayWiring, PointerLeavingTheBoardPausesOnlyOutsideThePanelAndBox) {
    overridePointer(-350.0f, 100.0f);  // HUD panel
    gameScreen.onMouseMove();
    EXPECT_FALSE(game.flags.paused);
    overridePointer(-300.0f, -250.0f);  // gold box
    gameScreen.onMouseMove();
    EXPECT_FALSE(game.flags.paused);
    overridePointer(395.0f, 0.0f);
    gameScreen.onMouseMove();
    EXPECT_TRUE(game.flags.paused);
}

TEST_F(GameplayWiring, LevelCompletePageLeadsToTheNextLevel) {
    game.flags.levelWon = true;
    game.flags.levelEndMs = 400.0f;
    gameScreen.onLeftDown();
    EXPECT_STREQ(inGamePageName(), "levelcomplete");
    EXPECT_TRUE(game.flags.menuActive);
    gameScreen.onKeyDown(kVkEnter);
    EXPECT_EQ(session.currentLevel, 3);
    EXPECT_FALSE(game.flags.levelWon);
    EXPECT_FALSE(game.flags.menuActive);
    EXPECT_EQ(progressLevel(profile_), 3);
}

TEST_F(GameplayWiring, StageBoundaryShowsTheStageScreenBeforeTheNextLevel) {
    startLevel(3);
    game.flags.levelWon = true;
    game.flags.levelEndMs = 400.0f;
    gameScreen.onLeftDown();
    gameScreen.onLeftDown();  // the page takes the click
    EXPECT_TRUE(game.flags.stageComplete);
    EXPECT_EQ(session.currentLevel, 4);
    gameScreen.onLeftDown();
    EXPECT_FALSE(game.flags.stageComplete);
    EXPECT_EQ(session.currentLevel, 4);
    EXPECT_TRUE(game.flags.levelLoaded);
}

TEST_F(GameplayWiring, AnotherTryAfterDefeatCostsALife) {
    game.flags.replayAfterLoss = true;
    loseLevel();
    EXPECT_STREQ(inGamePageName(), "defeat");
    EXPECT_EQ(profile_.lives[0], 3);
    gameScreen.onKeyDown(kVkEnter);
    EXPECT_EQ(profile_.lives[0], 2);
    EXPECT_EQ(session.currentLevel, 2);
    EXPECT_FALSE(game.flags.menuActive);
}

TEST_F(GameplayWiring, GameOverStartsAgainAtTheProfilesLevel) {
    profile_.lives[0] = 0;
    setProgressLevel(profile_, 1);
    loseLevel();
    EXPECT_STREQ(inGamePageName(), "hiscore");
    EXPECT_EQ(profile_.lives[0], 3);
    gameScreen.onKeyDown(kVkEscape);
    EXPECT_EQ(session.currentLevel, 1);
    EXPECT_FALSE(game.flags.menuActive);
    applyScreenSwitch();
    EXPECT_EQ(currentScreen(), &gameScreen);
}

}  // namespace
}  // namespace corsavel
