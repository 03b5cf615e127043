#include "app/screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/hooks.h"

namespace corsavel {
namespace {

std::vector<std::string> calls;

class NamedScreen : public Screen {
public:
    explicit NamedScreen(const char* name) : name_(name) {}
    void onEnter() override { calls.push_back(name_ + ".enter"); }
    void onLeave() override { calls.push_back(name_ + ".leave"); }

private:
    std::string name_;
};

class Screens : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        hooks = AppHooks{};
        resetAppState();
        resetScreens();
    }
    void TearDown() override {
        hooks = AppHooks{};
        resetScreens();
    }
};

TEST_F(Screens, SecondRequestInAFrameWins) {
    NamedScreen a("a");
    NamedScreen b("b");
    NamedScreen c("c");
    setCurrentScreen(&a);
    requestScreen(&b);
    requestScreen(&c);
    EXPECT_EQ(currentScreen(), &a);
    applyScreenSwitch();
    const std::vector<std::string> expected = {"a.leave", "c.enter"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(currentScreen(), &c);
    EXPECT_FALSE(screens.switchPending);
    applyScreenSwitch();
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(Screens, RequestingTheCurrentScreenLeavesAndEntersIt) {
    NamedScreen a("a");
    setCurrentScreen(&a);
    requestScreen(&a);
    applyScreenSwitch();
    const std::vector<std::string> expected = {"a.leave", "a.enter"};
    EXPECT_EQ(calls, expected);
}

TEST_F(Screens, BackdropIsStoredWithoutSwitching) {
    setCurrentScreen(&menuScreen);
    setMenuBackdrop(1);
    EXPECT_EQ(app.menuBackdrop, 1);
    EXPECT_FALSE(screens.switchPending);
}

TEST_F(Screens, RequestsByIdFromTheSubsystemsReachTheSwitch) {
    setCurrentScreen(&menuScreen);
    requestScreen(ScreenId::Game);
    EXPECT_EQ(currentScreen(), &menuScreen);
    applyScreenSwitch();
    EXPECT_EQ(currentScreen(), &gameScreen);
    requestScreen(ScreenId::Menu);
    requestScreen(&introScreen);
    applyScreenSwitch();
    EXPECT_EQ(currentScreen(), &introScreen);
}

TEST_F(Screens, BaseUpdateDropsThePendingKey) {
    Screen plain;
    plain.lastKey = 27;
    plain.update();
    EXPECT_EQ(plain.lastKey, 0);
}

std::vector<int32_t> menuKeys;

TEST_F(Screens, MenusSeeOnlyTheLastKeyOfAFrame) {
    menuKeys.clear();
    hooks.menu.keyDown = [](int32_t k) {
        if (k != 0) {
            menuKeys.push_back(k);
        }
    };
    setCurrentScreen(&menuScreen);
    handleMessage({MessageKind::KeyDown, 65});
    handleMessage({MessageKind::KeyDown, 66});
    runFrame();
    runFrame();
    ASSERT_EQ(menuKeys.size(), 1u);
    EXPECT_EQ(menuKeys[0], 66);
}

bool menuIsOpen = false;

void installGameplayLoggers() {
    hooks.gameplay.leftDown = [] { calls.push_back("game.down"); };
    hooks.gameplay.leftUp = [] { calls.push_back("game.up"); };
    hooks.gameplay.leftDoubleClick = [] { calls.push_back("game.dbl"); };
    hooks.gameplay.keyDown = [](int32_t) { calls.push_back("game.key"); };
    hooks.gameplay.rightDown = [] { calls.push_back("game.rdown"); };
    hooks.gameplay.pauseMenuOpen = [] { return menuIsOpen; };
    hooks.menu.leftDown = [] { calls.push_back("menu.down"); };
    hooks.menu.leftUp = [] { calls.push_back("menu.up"); };
    hooks.menu.keyDown = [](int32_t) { calls.push_back("menu.key"); };
    hooks.menu.mouseMove = [] { calls.push_back("menu.move"); };
}

TEST_F(Screens, DoubleClickOnTheBoardArrivesInWindowsOrder) {
    installGameplayLoggers();
    menuIsOpen = false;
    setCurrentScreen(&gameScreen);
    for (MessageKind kind : {MessageKind::LeftDown, MessageKind::LeftUp,
                             MessageKind::LeftDoubleClick, MessageKind::LeftUp}) {
        handleMessage({kind, 0});
    }
    const std::vector<std::string> expected = {"game.down", "game.up", "game.dbl", "game.up"};
    EXPECT_EQ(calls, expected);
}

TEST_F(Screens, OpenInGameMenuTakesButtonsAndKeysButNotDoubleClicks) {
    installGameplayLoggers();
    menuIsOpen = true;
    setCurrentScreen(&gameScreen);
    handleMessage({MessageKind::LeftDown, 0});
    handleMessage({MessageKind::LeftUp, 0});
    handleMessage({MessageKind::LeftDoubleClick, 0});
    handleMessage({MessageKind::KeyDown, 27});
    handleMessage({MessageKind::MouseMove, 0});
    handleMessage({MessageKind::RightDown, 0});
    const std::vector<std::string> expected = {"menu.down", "menu.up",   "game.dbl",
                                               "menu.key",  "menu.move", "game.rdown"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(gameScreen.lastKey, 27);
    menuIsOpen = false;
    calls.clear();
    handleMessage({MessageKind::MouseMove, 0});
    handleMessage({MessageKind::KeyDown, 13});
    EXPECT_EQ(calls, std::vector<std::string>{"game.key"});
}

class Intro : public Screens {
protected:
    void frame(float stepMs) {
        app.frameStepMs = stepMs;
        introScreen.render();
        introScreen.update();
        applyScreenSwitch();
    }
};

TEST_F(Intro, KeyDuringASplashSkipsToItsLastHalfSecond) {
    setCurrentScreen(&introScreen);
    frame(100);
    introScreen.onKeyDown(32);
    frame(100);
    EXPECT_FLOAT_EQ(intro.splashTimerMs, kSplashSkipMs);
    EXPECT_FLOAT_EQ(intro.fadeTimerMs, 0.0f);
    EXPECT_EQ(introScreen.lastKey, 0);
}

TEST_F(Intro, SplashEndAsksForTheLoadThenClickFadesToTheMenus) {
    int opened = 0;
    static int* openedPtr = &opened;
    hooks.intro.openFirstMenuPage = [] { ++*openedPtr; };
    setCurrentScreen(&introScreen);
    frame(3990);
    EXPECT_FALSE(app.loadAllPending);
    frame(16);
    EXPECT_TRUE(app.loadAllPending);
    app.loadAllPending = false;
    frame(16);
    EXPECT_TRUE(intro.introStarted);
    EXPECT_FLOAT_EQ(loadingFraction(), 1.0f);
    // A click counts as Enter and starts the fade.
    introScreen.onLeftDown();
    EXPECT_EQ(introScreen.lastKey, 13);
    frame(16);
    EXPECT_FLOAT_EQ(intro.fadeTimerMs, 1.0f);
    for (int i = 0; i < 60 && currentScreen() == &introScreen; ++i) {
        frame(16);
    }
    EXPECT_EQ(currentScreen(), &menuScreen);
    EXPECT_FLOAT_EQ(intro.fadeTimerMs, kFadeMs);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(intro.fadeColour, 0xFF000000u);
}

TEST_F(Intro, SecondSplashShowsBeforeTheLoad) {
    intro.hasSecondSplash = true;
    setCurrentScreen(&introScreen);
    frame(4000);
    EXPECT_TRUE(intro.showingSecondSplash);
    EXPECT_FLOAT_EQ(intro.splashTimerMs, 0.0f);
    EXPECT_FALSE(app.loadAllPending);
    frame(4000);
    EXPECT_TRUE(app.loadAllPending);
}

TEST_F(Intro, ActivationOnContinueFadesAsIfClicked) {
    setCurrentScreen(&introScreen);
    intro.splashTimerMs = kSplashMs;
    frame(16);
    handleMessage({MessageKind::Deactivate, 0});
    handleMessage({MessageKind::Activate, 0});
    EXPECT_FLOAT_EQ(intro.fadeTimerMs, 1.0f);
}

TEST_F(Intro, LoadingBarCountsRegisteredBytes) {
    loadingProgress(21176136 / 2);
    EXPECT_FLOAT_EQ(loadingFraction(), 0.5f);
}

}  // namespace
}  // namespace corsavel
