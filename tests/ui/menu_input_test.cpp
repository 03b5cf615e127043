// What the pointer and the keys do to the pages: hover and click on the
// buttons drawn in the last frame, the slides, the name entry, sliders and
// check boxes, and what activating an item leads to.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/audio.h"
#include "game/game_state.h"
#include "game/progress.h"
#include "gfx/font.h"
#include "menu_fixture.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "platform/virtual_keys.h"
#include "resources/text_table.h"
#include "ui/menu.h"
#include "ui/menu_draw.h"
#include "ui/profiles.h"

namespace corsavel {
namespace {

struct RouteLog {
    int starts = 0;
    int restarts = 0;
    int saves = 0;
    int menuScreen = 0;
    int gameScreen = 0;
    bool onGameScreen = false;
};
RouteLog routes;

class MenuInput : public ::testing::Test {
protected:
    void SetUp() override {
        renderDevice = RenderDeviceState{};
        device_.install();
        // A font of half-size advances: names and links have a width.
        resetTextState();
        Font font;
        for (float& a : font.advance) {
            a = 0.5f;
        }
        ASSERT_TRUE(addFont(font));
        ASSERT_TRUE(test::loadShippedMenus());
        routes = RouteLog{};
        menuRoutes = MenuRoutes{};
        menuRoutes.startCurrentLevel = [] { ++routes.starts; };
        menuRoutes.restartInPlace = [] { ++routes.restarts; };
        menuRoutes.saveAll = [] { ++routes.saves; };
        menuRoutes.showMenuScreen = [] { ++routes.menuScreen; };
        menuRoutes.showGameScreen = [] { ++routes.gameScreen; };
        menuRoutes.gameScreenCurrent = [] { return routes.onGameScreen; };
        profileTable = ProfileTable{};
        ASSERT_TRUE(createProfile("ANNA"));
        session = SessionState{};
        game.flags = LevelFlags{};
        app.quitRequested = 0;
        app.frameStepMs = 16.0f;
        overridePointer(-1000.0f, -1000.0f);
        open("main");
    }
    void TearDown() override {
        resetMenus();
        menuRoutes = MenuRoutes{};
        profileTable = ProfileTable{};
        syncActiveProfile();
        clearPointerOverride();
        resetTextState();
        device_.uninstall();
    }
    // One frame as the menu screen runs it: update, then drawing.
    void frame() {
        updateMenu(16.0f);
        drawMenu();
    }
    // Frames until the slides are over and no key waits.
    void settle() {
        for (int i = 0; i < 100 && (slideRunning() || menu.pendingKey != 0); ++i) {
            frame();
        }
        frame();
    }
    void open(const char* name) {
        menu.entering = menu.leaving = false;
        openPageByName(name);
        settle();
    }
    void key(int32_t code) {
        menuKeyDown(code);
        settle();
    }
    void clickButton(int n) {
        ASSERT_LT(n, menu.buttonCount);
        const MenuButton& b = menu.buttons[n];
        overridePointer((b.left + b.right) / 2.0f, (b.top + b.bottom) / 2.0f);
        menuPointerMoved();
        menuButtonDown();
        menuButtonUp();
        settle();
    }
    const char* page() const { return menu.currentPage ? menu.currentPage->name : ""; }
    RecordingDevice device_;
};

TEST_F(MenuInput, HoverSelectsAClickActivatesInTheSameUpdate) {
    ASSERT_STREQ(page(), "main");
    ASSERT_EQ(menu.buttonCount, 7);
    const MenuButton& b = menu.buttons[5];
    overridePointer((b.left + b.right) / 2.0f, (b.top + b.bottom) / 2.0f);
    menuPointerMoved();
    frame();
    EXPECT_EQ(menu.selectedItem, 5);
    EXPECT_STREQ(page(), "main") << "moving only selects";
    menuButtonDown();
    frame();
    EXPECT_TRUE(menu.leaving);
    settle();
    EXPECT_STREQ(page(), "credits");
}

TEST_F(MenuInput, ArrowsWrapAndDoNothingOnAPageWithoutItems) {
    key(vk::kUp);
    EXPECT_EQ(menu.selectedItem, 6);
    key(vk::kRight);
    EXPECT_EQ(menu.selectedItem, 0);
    key(vk::kLeft);
    EXPECT_EQ(menu.selectedItem, 6);
    open("exit");  // a leaf: no items
    ASSERT_EQ(menu.currentPage->itemCount, 0);
    key(vk::kDown);
    key(vk::kRight);
    EXPECT_EQ(menu.selectedItem, 0);
    EXPECT_STREQ(page(), "exit");
}

TEST_F(MenuInput, EnterPastTheLastItemDoesNothing) {
    menu.selectedItem = 9;
    key(vk::kEnter);
    EXPECT_STREQ(page(), "main");
    EXPECT_FALSE(menu.leaving);
    EXPECT_FALSE(menu.activatePending);
}

TEST_F(MenuInput, KeysDuringASlideAreLostClicksAreKept) {
    menu.selectedItem = 3;
    menuKeyDown(vk::kEnter);
    frame();
    ASSERT_TRUE(menu.leaving);
    menuKeyDown(vk::kDown);
    EXPECT_EQ(menu.pendingKey, 0);
    settle();
    ASSERT_STREQ(page(), "options");
    EXPECT_EQ(menu.selectedItem, 0) << "the lost Down moved nothing";
}

TEST_F(MenuInput, EscapeOnMainHidesItUntilTheNextKey) {
    key(vk::kEscape);
    EXPECT_TRUE(menu.menuHidden);
    EXPECT_STREQ(page(), "main");
    key(vk::kSpace);
    EXPECT_FALSE(menu.menuHidden);
    EXPECT_STREQ(page(), "main");
    EXPECT_EQ(menu.transitionFactor, 0.0f);
}

TEST_F(MenuInput, EscapeReturnsToTheParentWithTheSelectionOnTheLeftPage) {
    menu.selectedItem = 4;
    key(vk::kEnter);
    ASSERT_STREQ(page(), "hiscore");
    key(vk::kEscape);
    EXPECT_STREQ(page(), "main");
    EXPECT_EQ(menu.selectedItem, 4);
}

TEST_F(MenuInput, NameEntryTakesCapitalsDigitsAndSpaceUpToTwelve) {
    open("newprofile");
    ASSERT_TRUE(menu.textFocus);
    for (int32_t c : {'A', 'b', '1', ' ', '-', 'Z'}) {
        key(c);
    }
    EXPECT_STREQ(menu.editBuffer, "A1 Z");
    key(vk::kHome);
    key(vk::kBackspace);
    EXPECT_STREQ(menu.editBuffer, "A1 Z") << "Backspace at the start";
    key(vk::kEnd);
    key(vk::kDelete);
    EXPECT_STREQ(menu.editBuffer, "A1 Z") << "Delete at the end";
    key(vk::kLeft);
    key(vk::kDelete);
    EXPECT_STREQ(menu.editBuffer, "A1 ");
    EXPECT_EQ(menu.selectedItem, 0) << "Left moved the caret, not the selection";
    for (int i = 0; i < 20; ++i) {
        key('Q');
    }
    EXPECT_EQ(std::strlen(menu.editBuffer), 12u);
}

TEST_F(MenuInput, NameFocusEndsWithItsPage) {
    open("profiles");
    menu.selectedItem = 1;  // "newprofile"
    key(vk::kEnter);
    ASSERT_STREQ(page(), "newprofile");
    ASSERT_TRUE(menu.textFocus);
    key(vk::kEnter);  // "oknewprofile" with an empty name: refused, reopened
    EXPECT_STREQ(page(), "newprofile");
    EXPECT_TRUE(menu.textFocus);
    menu.selectedItem = 1;  // "cancel"
    key(vk::kEnter);
    EXPECT_STREQ(page(), "profiles");
    EXPECT_FALSE(menu.textFocus);
    key(vk::kRight);
    EXPECT_EQ(menu.selectedItem, 2) << "Right moves the selection again";
}

TEST_F(MenuInput, FirstProfileCannotBeCancelled) {
    profileTable = ProfileTable{};
    open("newprofile");
    EXPECT_EQ(menu.buttonCount, 1);
    key(vk::kEscape);
    EXPECT_STREQ(page(), "newprofile");
    for (int32_t c : {'E', 'V', 'A'}) {
        key(c);
    }
    key(vk::kEnter);
    EXPECT_STREQ(page(), "main");
    ASSERT_EQ(profileTable.count, 1);
    EXPECT_STREQ(profileTable.records[0].name, "EVA");
    EXPECT_EQ(profileTable.records[0].lives[0], 3);
    EXPECT_GE(routes.saves, 1) << "the new profile reaches the disk";
}

TEST_F(MenuInput, NinthProfileIsRefusedByThePage) {
    const char* names[] = {"B", "C", "D", "E", "F", "G", "H"};
    for (const char* n : names) {
        ASSERT_TRUE(createProfile(n));
    }
    open("profiles");
    menu.selectedItem = 1;  // "newprofile"
    key(vk::kEnter);
    EXPECT_STREQ(page(), "profiles");
    EXPECT_EQ(profileTable.count, 8);
}

TEST_F(MenuInput, RemovingProfilesEndsOnTheNameEntry) {
    ASSERT_TRUE(createProfile("BOB"));
    open("profiles");
    menu.focusedWidget = 1;
    menu.selectedItem = 3;  // "remove"
    key(vk::kEnter);
    ASSERT_STREQ(page(), "messageboxyn");
    key(vk::kEnter);  // "yes"
    EXPECT_STREQ(page(), "profiles");
    ASSERT_EQ(profileTable.count, 1);
    EXPECT_STREQ(profileTable.records[0].name, "ANNA");
    menu.focusedWidget = 0;
    menu.selectedItem = 3;
    key(vk::kEnter);
    key(vk::kEnter);
    EXPECT_EQ(profileTable.count, 0);
    EXPECT_STREQ(page(), "newprofile");
}

TEST_F(MenuInput, ExitAsksAndYesQuits) {
    menu.selectedItem = 6;
    key(vk::kEnter);
    ASSERT_STREQ(page(), "messageboxyn");
    EXPECT_STREQ(menu.messageText, "quit") << "no string table: the key itself";
    menu.selectedItem = 1;
    key(vk::kEnter);
    EXPECT_STREQ(page(), "main");
    EXPECT_EQ(app.quitRequested, 0);
    menu.selectedItem = 6;
    key(vk::kEnter);
    key(vk::kEnter);
    EXPECT_EQ(app.quitRequested, 1);
}

TEST_F(MenuInput, VolumeSliderRunsFromZeroToOneHundred) {
    open("options");
    ASSERT_GE(menu.widgetCount, 2);
    const MenuWidget& music = menu.widgets[1];
    ASSERT_EQ(music.kind, WidgetKind::Slider);
    const float y = (music.top + music.bottom) / 2.0f;
    overridePointer(music.right + 10.0f, y);
    menuButtonDown();
    frame();
    menuButtonUp();
    frame();
    EXPECT_EQ(audio.musicVolume, 100);
    overridePointer(music.right + 40.0f, y);  // the plus arrow
    menuButtonDown();
    menuButtonUp();
    frame();
    EXPECT_EQ(audio.musicVolume, 100);
    overridePointer(music.left - 40.0f, y);  // the minus arrow
    menuButtonDown();
    menuButtonUp();
    frame();
    EXPECT_EQ(audio.musicVolume, 99);
    EXPECT_EQ(menu.focusedWidget, 1);
}

TEST_F(MenuInput, FullScreenWaitsForApplyAndBackKeepsTheDisplay) {
    renderDevice.fullScreen = 0;
    open("options");
    ASSERT_EQ(menu.widgets[2].kind, WidgetKind::CheckBox);
    EXPECT_EQ(menu.widgets[2].flag, 0);
    menu.focusedWidget = 2;
    menu.selectedItem = -1;
    key(vk::kSpace);
    EXPECT_EQ(menu.fullScreenCopy, 1);
    EXPECT_EQ(renderDevice.fullScreen, 0);
    menu.selectedItem = 1;  // "back"
    key(vk::kEnter);
    EXPECT_STREQ(page(), "main");
    EXPECT_EQ(renderDevice.fullScreen, 0);
    EXPECT_EQ(routes.saves, 1) << "leaving the options saves";
    menu.selectedItem = 3;
    key(vk::kEnter);
    EXPECT_EQ(menu.widgets[2].flag, 0) << "the box shows the setting again";
    menu.focusedWidget = 2;
    menu.selectedItem = -1;
    key(vk::kSpace);
    menu.selectedItem = 0;  // "apply"
    key(vk::kEnter);
    EXPECT_EQ(renderDevice.fullScreen, 1);
    EXPECT_STREQ(page(), "main");
}

TEST_F(MenuInput, NoOnTheSavedGameQuestionOpensTheChosenModesLevels) {
    activeProfile().savedGame[1] = 1;
    menu.selectedItem = 1;  // "puzzle"
    key(vk::kEnter);
    ASSERT_STREQ(page(), "loadgamequest");
    menu.selectedItem = 1;  // "no"
    key(vk::kEnter);
    EXPECT_STREQ(page(), "puzzle");
    EXPECT_EQ(session.gameMode, 1);
    key(vk::kEscape);
    EXPECT_STREQ(page(), "puzzle") << "Escape is dropped on the level pages";
}

TEST_F(MenuInput, StartOnAnotherLevelWithAScoreAsksFirst) {
    key(vk::kEnter);  // "adventure"
    ASSERT_STREQ(page(), "adventure");
    EXPECT_EQ(activeProfile().lives[0], 3);
    key(vk::kEnter);  // "start" on the profile's level
    EXPECT_EQ(routes.starts, 1);
    activeProfile().score[0] = 500;
    activeProfile().unlockedIndex[0] = 3;
    open("adventure");
    session.currentLevel = 1;
    key(vk::kEnter);
    ASSERT_STREQ(page(), "messageboxyn");
    EXPECT_EQ(routes.starts, 1);
    key(vk::kEnter);  // "yes"
    EXPECT_EQ(routes.starts, 2);
    EXPECT_EQ(activeProfile().score[0], 0);
    EXPECT_EQ(activeProfile().lives[0], 3);
}

TEST_F(MenuInput, LeftAndRightWalkTheLevelChoiceOverOpenLevelsOnly) {
    activeProfile().unlockedIndex[0] = 3;
    const int32_t last = unlockedLevel(activeProfile());
    ASSERT_GT(last, 0);
    key(vk::kEnter);  // "adventure"
    ASSERT_STREQ(page(), "adventure");
    session.currentLevel = 0;
    key(vk::kLeft);
    EXPECT_EQ(session.currentLevel, 0) << "no level before the first";
    for (int i = 0; i < last + 5; ++i) {
        key(vk::kRight);
    }
    EXPECT_EQ(session.currentLevel, last) << "locked levels are never chosen";
    EXPECT_EQ(menu.focusedWidget, last);
    EXPECT_EQ(menu.selectedItem, 0) << "the keys move the level, not the buttons";
    key(vk::kLeft);
    EXPECT_EQ(session.currentLevel, last - 1);
    key(vk::kDown);
    EXPECT_EQ(menu.selectedItem, 1) << "Up and Down still move between the buttons";
    EXPECT_STREQ(page(), "adventure");
}

TEST_F(MenuInput, RestartAfterTheClockRanOutCostsALifeWithoutAQuestion) {
    activeProfile().lives[0] = 2;
    openInGamePage("gameplay");
    settle();
    ASSERT_TRUE(game.flags.menuActive);
    game.clock.timedOut = true;
    menu.selectedItem = 1;  // "restart level"
    key(vk::kEnter);
    EXPECT_EQ(activeProfile().lives[0], 1);
    EXPECT_EQ(routes.starts, 1);
    game.clock.timedOut = false;
    openInGamePage("gameplay");
    settle();
    menu.selectedItem = 1;
    key(vk::kEnter);
    ASSERT_STREQ(page(), "messageboxyn") << "classic mode asks";
    key(vk::kEnter);
    EXPECT_EQ(routes.restarts, 1);
    EXPECT_EQ(activeProfile().lives[0], 0);
}

TEST_F(MenuInput, HiscoresAfterALostGameReturnToMainOnTheMenuScreen) {
    routes.onGameScreen = true;
    openInGamePage("hiscore");
    settle();
    key(vk::kEnter);
    EXPECT_EQ(routes.menuScreen, 1);
    EXPECT_STREQ(page(), "main");
    EXPECT_FALSE(game.flags.menuActive);
}

TEST_F(MenuInput, CreditsTakeAnyKeyAsEscape) {
    menu.selectedItem = 5;
    key(vk::kEnter);
    ASSERT_STREQ(page(), "credits");
    EXPECT_EQ(menu.buttonCount, 0);
    EXPECT_EQ(app.menuBackdrop, 4);
    key('X');
    EXPECT_STREQ(page(), "main");
    EXPECT_EQ(menu.selectedItem, 5);
}

TEST_F(MenuInput, ProfileLinkOpensTheListOnTheCurrentProfile) {
    ASSERT_TRUE(addText("ifnotyou", "Not you?", 8));
    ASSERT_TRUE(createProfile("BOB"));  // current
    open("main");
    ASSERT_GE(menu.widgetCount, 1);
    const MenuWidget& link = menu.widgets[0];
    ASSERT_EQ(link.kind, WidgetKind::ProfileLink);
    overridePointer((link.left + link.right) / 2.0f, (link.top + link.bottom) / 2.0f);
    menuButtonDown();
    menuButtonUp();
    settle();
    EXPECT_STREQ(page(), "profiles");
    EXPECT_EQ(menu.focusedWidget, 1);
    // A double click on ANNA's entry selects her.
    const MenuWidget& anna = menu.widgets[0];
    overridePointer((anna.left + anna.right) / 2.0f, (anna.top + anna.bottom) / 2.0f);
    menuDoubleClick();
    settle();
    EXPECT_STREQ(page(), "main");
    EXPECT_EQ(profileTable.current, 0);
    freeTextTables();
}

}  // namespace
}  // namespace corsavel
