// The game screen reaches the gameplay, its update answers the gameplay's
// requests, and the menu pages over the game answer the gameplay's ends:
// resume, the next level, another try, game over.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "../ui/menu_fixture.h"
#include "app/app_state.h"
#include "app/request_routes.h"
#include "app/screen.h"
#include "game/game_requests.h"
#include "game/progress.h"
#include "game/rules.h"
#include "platform/pointer.h"
#include "platform/virtual_keys.h"
#include "resources/asset_registry.h"
#include "ui/menu.h"

namespace corsavel {
namespace {

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

class GameScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearRequests();
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
        session.gameMode = 0;
        setProgressLevel(profile_, 2);
        startLevel(2);
        setCurrentScreen(&gameScreen);
        ASSERT_TRUE(test::loadShippedMenus());
        installMenuRoutes();
        app.frameStepMs = 16.0f;
    }
    // The open page's name, "" when none is open over the game.
    static const char* pageOver() {
        return game.flags.menuActive && menu.currentPage != nullptr ? menu.currentPage->name : "";
    }
    // Frames until the menu's slides are over (the chosen action runs at the
    // end of the slide out).
    static void settle() {
        for (int i = 0; i < 60 && (slideRunning() || menu.pendingKey != 0); ++i) {
            gameScreen.update();
        }
    }
    void TearDown() override {
        setActiveProfile(nullptr);
        clearRequests();
        resetMenus();
        menuRoutes = MenuRoutes{};
        resetScreens();
    }
    Profile profile_{};
};

TEST_F(GameScreenTest, KeysReachTheBoardOrTheOpenPage) {
    gameScreen.onKeyDown(vk::kSpace);
    EXPECT_TRUE(game.flags.paused);
    gameScreen.onLeftDown();  // a click resumes
    EXPECT_FALSE(game.flags.paused);
    gameScreen.onKeyDown(vk::kEscape);
    EXPECT_TRUE(game.flags.menuActive);
    // The page opens when the screen's update answers the gameplay's request.
    gameScreen.update();
    EXPECT_STREQ(pageOver(), "gameplay");
    // With the page open, space goes to the page and does not pause.
    settle();
    gameScreen.onKeyDown(vk::kSpace);
    gameScreen.update();
    EXPECT_FALSE(game.flags.paused);
    EXPECT_TRUE(game.flags.menuActive);
    gameScreen.onKeyDown(vk::kEscape);
    settle();
    EXPECT_FALSE(game.flags.menuActive);
    EXPECT_STREQ(pageOver(), "");
}

TEST_F(GameScreenTest, PointerLeavingTheBoardPausesOnlyOutsideThePanelAndBox) {
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

TEST_F(GameScreenTest, LevelCompletePageLeadsToTheMapWithTheNextLevel) {
    game.flags.levelWon = true;
    game.flags.levelEndMs = 400.0f;
    gameScreen.onLeftDown();
    gameScreen.update();
    EXPECT_STREQ(pageOver(), "levelcomplete");
    EXPECT_TRUE(game.flags.menuActive);
    settle();
    gameScreen.onKeyDown(vk::kEnter);
    settle();
    EXPECT_EQ(session.currentLevel, 3);
    gameScreen.update();
    applyScreenSwitch();
    EXPECT_EQ(screens.currentScreen, &menuScreen);
    EXPECT_STREQ(menu.currentPage->name, "adventure");
    EXPECT_EQ(menu.focusedWidget, 3);
    EXPECT_FALSE(game.flags.menuActive);
    EXPECT_EQ(progressLevel(profile_), 3);
}

TEST_F(GameScreenTest, StageBoundaryShowsTheStageScreenBeforeTheMap) {
    session.currentLevel = 3;
    setProgressLevel(profile_, 3);
    startLevel(3);
    game.flags.levelWon = true;
    game.flags.levelEndMs = 400.0f;
    gameScreen.onLeftDown();
    gameScreen.update();
    settle();
    gameScreen.onKeyDown(vk::kEnter);  // "OK" on the page
    settle();
    EXPECT_TRUE(game.flags.stageComplete);
    EXPECT_EQ(session.currentLevel, 4);
    // The click on the stage screen leads to the map of the next stage.
    gameScreen.onLeftDown();
    gameScreen.update();
    applyScreenSwitch();
    EXPECT_EQ(screens.currentScreen, &menuScreen);
    EXPECT_STREQ(menu.currentPage->name, "adventure");
    EXPECT_EQ(session.currentLevel, 4);
    EXPECT_EQ(menu.focusedWidget, 4);
}

TEST_F(GameScreenTest, AnotherTryAfterDefeatCostsALife) {
    game.flags.replayAfterLoss = true;
    loseLevel();
    handleGameRequests();
    EXPECT_STREQ(pageOver(), "defeat");
    EXPECT_EQ(profile_.lives[0], 3);
    // "restart level" with the clock run out costs a life, no question asked.
    game.clock.timedOut = true;
    settle();
    gameScreen.onKeyDown(vk::kEnter);
    settle();
    EXPECT_EQ(profile_.lives[0], 2);
    EXPECT_EQ(session.currentLevel, 2);
    EXPECT_FALSE(game.flags.menuActive);
}

TEST_F(GameScreenTest, GameOverShowsTheHiscoresThenTheMainMenu) {
    profile_.lives[0] = 0;
    loseLevel();
    handleGameRequests();
    EXPECT_STREQ(pageOver(), "hiscore");
    EXPECT_EQ(profile_.lives[0], 3);
    settle();
    gameScreen.onKeyDown(vk::kEnter);  // "back" while the game screen is current
    settle();
    EXPECT_FALSE(game.flags.menuActive);
    applyScreenSwitch();
    EXPECT_EQ(currentScreen(), &menuScreen);
    EXPECT_STREQ(menu.currentPage->name, "main");
}

// A double click reaches the board as press, release, double click,
// release; with the menu open only the double click does.
TEST_F(GameScreenTest, OpenInGameMenuTakesButtonsAndKeysButNotDoubleClicks) {
    gameScreen.onKeyDown(vk::kEscape);
    gameScreen.update();
    ASSERT_STREQ(pageOver(), "gameplay");
    game.hand.buttonHeld = false;
    gameScreen.onLeftDoubleClick();
    EXPECT_TRUE(game.hand.buttonHeld) << "double clicks go to the board";
    EXPECT_STREQ(pageOver(), "gameplay");
    overridePointer(395.0f, 0.0f);
    gameScreen.onMouseMove();
    EXPECT_FALSE(game.flags.paused) << "the board does not hear the pointer under the page";
    gameScreen.onLeftUp();
    EXPECT_TRUE(game.hand.buttonHeld);
    settle();
    gameScreen.onLeftDown();
    EXPECT_TRUE(menu.buttonHeld) << "the page took the click";
    gameScreen.onLeftUp();
    EXPECT_FALSE(menu.buttonHeld);
    EXPECT_TRUE(game.hand.buttonHeld);
}

// Requests are answered in the order they were posted, after the tick.
TEST_F(GameScreenTest, UpdateAnswersTheRequestsOfItsTick) {
    requestPage("gameplay");
    requestPage("defeat");
    EXPECT_STREQ(pageOver(), "");
    gameScreen.update();
    EXPECT_STREQ(pageOver(), "defeat");
    EXPECT_EQ(gameRequests.count, 0);
}

}  // namespace
}  // namespace corsavel
