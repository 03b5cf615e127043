#include "app/screen.h"
#include "platform/virtual_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdio>
#include <cstring>

#include "../ui/menu_fixture.h"
#include "app/app_state.h"
#include "game/rules.h"
#include "resources/asset_registry.h"
#include "ui/menu.h"
#include "ui/profiles.h"

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
        resetAppState();
        resetScreens();
    }
    void TearDown() override { resetScreens(); }
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
    plain.lastKey = vk::kEscape;
    plain.update();
    EXPECT_EQ(plain.lastKey, 0);
}

// Level 1 served from memory: the player's game starts after the intro.
void registerFirstLevel() {
    static char text[] = "figures=6\r\ntime=60\r\nlevel=\r\n111111111111\r\n";
    if (!findAsset("levels\\pack1_01.lvl")) {
        registerAsset("levels\\pack1_01.lvl", static_cast<int32_t>(std::strlen(text)),
                      reinterpret_cast<uint8_t*>(text), false);
    }
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
    introScreen.onKeyDown(vk::kSpace);
    frame(100);
    EXPECT_FLOAT_EQ(intro.splashTimerMs, kSplashSkipMs);
    EXPECT_FLOAT_EQ(intro.fadeTimerMs, 0.0f);
    EXPECT_EQ(introScreen.lastKey, 0);
}

TEST_F(Intro, SplashEndAsksForTheLoadThenClickFadesToTheMenus) {
    registerFirstLevel();
    profileTable = ProfileTable{};
    syncActiveProfile();
    ASSERT_TRUE(test::loadShippedMenus());
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
    // The menus follow; with no profile yet they ask for a name first.
    EXPECT_EQ(currentScreen(), &menuScreen);
    ASSERT_NE(menu.currentPage, nullptr);
    EXPECT_STREQ(menu.currentPage->name, "newprofile");
    EXPECT_FLOAT_EQ(intro.fadeTimerMs, kFadeMs);
    EXPECT_EQ(intro.fadeColour, 0xFF000000u);
    resetMenus();
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
