// The pages around play: the level statistics' count-up, the gameplay tip's
// choice among the tips that exist, and the level choice on the map
// (widgets on the marks, the focus kept on a playable level, the map's
// selection following it).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "game/game_state.h"
#include "game/progress.h"
#include "menu_fixture.h"
#include "platform/recording_device.h"
#include "resources/text_table.h"
#include "ui/level_pages.h"
#include "ui/map.h"
#include "ui/menu.h"

namespace corsavel {
namespace {

// --- Level statistics ---------------------------------------------------------

LevelStats statsFor(int32_t score, float timeMs, int32_t recordScore, int32_t recordTimeMs) {
    LevelStats s;
    startLevelStats(s, score, timeMs, recordScore, recordTimeMs);
    return s;
}

// Steps of 16 ms until the count is finished; every event is summed up.
int runToEnd(LevelStats& s, LevelStatsEvents* all, int maxSteps = 1000) {
    int steps = 0;
    while (s.phase < 2 && steps < maxSteps) {
        LevelStatsEvents e;
        levelStatsStep(s, 16.0f, &e);
        for (int i = 0; i < e.ticks && all->ticks < 32; ++i) {
            all->tickRateHz[all->ticks++] = e.tickRateHz[i];
        }
        all->cheer = all->cheer || e.cheer;
        ++steps;
    }
    return steps;
}

TEST(LevelStatsCount, ScoreCountsOneMillisecondPerPointWithRisingTicks) {
    LevelStats s = statsFor(1000, 65000.0f, 5000, 30000);
    EXPECT_FLOAT_EQ(levelStatsDuration(s), 1000.0f);
    LevelStatsEvents first;
    levelStatsStep(s, 16.0f, &first);
    EXPECT_EQ(first.ticks, 0);
    for (int i = 0; i < 30; ++i) {
        levelStatsStep(s, 16.0f, nullptr);
    }
    // Halfway: half the score, the time still hidden.
    EXPECT_NEAR(shownStatsScore(s), 496, 1);
    EXPECT_EQ(shownStatsTimeMs(s), 0.0f);
    LevelStatsEvents all;
    runToEnd(s, &all);
    EXPECT_EQ(shownStatsScore(s), 1000);
    EXPECT_EQ(shownStatsTimeMs(s), 65000.0f);
    EXPECT_TRUE(s.finished);
    EXPECT_GE(all.ticks, 4);
    for (int i = 1; i < all.ticks; ++i) {
        EXPECT_GT(all.tickRateHz[i], all.tickRateHz[i - 1]);
    }
    EXPECT_GE(all.tickRateHz[0], 20000);
    EXPECT_LE(all.tickRateHz[all.ticks - 1], 45000);
    EXPECT_FALSE(all.cheer) << "1000 points do not reach a record of 5000";
}

TEST(LevelStatsCount, LongCountsStopAtTwoAndAHalfSeconds) {
    LevelStats s = statsFor(90000, 1000.0f, 100, 0);
    EXPECT_FLOAT_EQ(levelStatsDuration(s), 2500.0f);
    LevelStatsEvents all;
    const int steps = runToEnd(s, &all);
    EXPECT_LE(steps, 2500 / 16 + 3);
    EXPECT_EQ(shownStatsScore(s), 90000);
}

TEST(LevelStatsCount, AScoreReachingTheRecordIsCheeredOnce) {
    LevelStats s = statsFor(300, 1000.0f, 300, 0);
    EXPECT_TRUE(scoreReachesRecord(s));
    LevelStatsEvents all;
    runToEnd(s, &all);
    EXPECT_TRUE(all.cheer);
    LevelStatsEvents later;
    levelStatsStep(s, 16.0f, &later);
    EXPECT_FALSE(later.cheer);
    EXPECT_EQ(s.phase, 2);
}

TEST(LevelStatsCount, EnterFinishesTheCountAtOnceAndKeepsTheCheer) {
    LevelStats s = statsFor(2000, 5000.0f, 1500, 4000);
    levelStatsStep(s, 16.0f, nullptr);
    finishLevelStats(s);
    LevelStatsEvents e;
    levelStatsStep(s, 16.0f, &e);
    EXPECT_EQ(e.ticks, 0);
    EXPECT_TRUE(e.cheer);
    EXPECT_EQ(shownStatsScore(s), 2000);
    EXPECT_FLOAT_EQ(s.phaseMs, 2000.0f) << "the clock is held at the end";
    EXPECT_FALSE(timeReachesRecord(s)) << "5 s is slower than the record's 4 s";
}

TEST(LevelStatsCount, ANothingScoreFinishesWithoutDividingByZero) {
    LevelStats s = statsFor(0, 1000.0f, 10, 2000);
    EXPECT_EQ(shownStatsScore(s), 0);
    LevelStatsEvents e;
    levelStatsStep(s, 16.0f, &e);
    EXPECT_TRUE(s.finished);
    EXPECT_EQ(e.ticks, 0);
    EXPECT_EQ(shownStatsScore(s), 0);
    EXPECT_TRUE(timeReachesRecord(s));
    LevelStats negative = statsFor(-50, -3.0f, 0, 0);
    EXPECT_EQ(negative.score, 0);
    EXPECT_EQ(negative.timeMs, 0.0f);
}

// --- Gameplay tips ----------------------------------------------------------

class GameplayTips : public ::testing::Test {
protected:
    void SetUp() override { freeTextTables(); }
    void TearDown() override { freeTextTables(); }
    static void addTip(const char* key, const char* text) {
        addText(key, text, static_cast<int32_t>(std::strlen(text)));
    }
};

TEST_F(GameplayTips, TheCounterWrapsWithinTheTipsThatExist) {
    addTip("gametip1", "One");
    addTip("gametip2", "Two");
    addTip("gametip3", "Three");
    addTip("gametip5", "Five, after a gap: not a tip of the row");
    EXPECT_EQ(gameplayTipCount(), 3);
    char key[32];
    ASSERT_TRUE(gameplayTipKey(0, key, sizeof key));
    EXPECT_STREQ(key, "gametip1");
    ASSERT_TRUE(gameplayTipKey(4, key, sizeof key));
    EXPECT_STREQ(key, "gametip2");
    ASSERT_TRUE(gameplayTipKey(-1, key, sizeof key));
    EXPECT_STREQ(key, "gametip3");
}

TEST_F(GameplayTips, NoTipsNoKey) {
    char key[32];
    EXPECT_EQ(gameplayTipCount(), 0);
    EXPECT_FALSE(gameplayTipKey(0, key, sizeof key));
}

// --- Level choice on the map ------------------------------------------------

class LevelSelect : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        ASSERT_TRUE(test::loadShippedMenus());
        registerLevelPageHooks();
        mapState = MapState{};
        for (int i = 0; i < kLevelMarkCount; ++i) {
            mapState.levelMarkPoints[i] = Vec2{-350.0f + 7.0f * i, -200.0f + (i % 10) * 30.0f};
        }
        profile_ = Profile{};
        profile_.lives[0] = profile_.lives[1] = 3;
        setActiveProfile(&profile_);
        session.gameMode = 1;
        setLastMode(profile_, 1);
        // Puzzle: level 9 reached (stage 2, index 0), on level 6.
        profile_.unlockedStage[1] = 2;
        profile_.currentStage[1] = 1;
        profile_.currentIndex[1] = 2;
        menu.currentPage = findPage("puzzle");
        ASSERT_NE(menu.currentPage, nullptr);
    }
    void TearDown() override {
        setActiveProfile(nullptr);
        resetMenus();
        mapState = MapState{};
        device.uninstall();
    }
    RecordingDevice device;
    Profile profile_{};
};

TEST_F(LevelSelect, OneWidgetOnEveryMarkAndTwoButtons) {
    menu.focusedWidget = 3;
    drawMenu();
    ASSERT_EQ(menu.widgetCount, kLevelMarkCount);
    EXPECT_EQ(menu.buttonCount, 2);
    for (int i = 0; i < kLevelMarkCount; ++i) {
        const MenuWidget& w = menu.widgets[i];
        EXPECT_EQ(w.kind, WidgetKind::LevelMark);
        EXPECT_FLOAT_EQ((w.left + w.right) / 2.0f, mapState.levelMarkPoints[i].x);
        EXPECT_FLOAT_EQ((w.top + w.bottom) / 2.0f, mapState.levelMarkPoints[i].y);
        EXPECT_FLOAT_EQ(w.right - w.left, 16.0f);
        EXPECT_FLOAT_EQ(w.top - w.bottom, 16.0f);
    }
    // "start" right, "back" left.
    EXPECT_GT(menu.buttons[0].left, 0.0f);
    EXPECT_LT(menu.buttons[1].right, 0.0f);
    EXPECT_EQ(mapState.selectedLevel, 3) << "the map shows the focused level";
}

TEST_F(LevelSelect, AFocusBeyondTheUnlockedLevelsReturnsToTheCurrentLevel) {
    menu.focusedWidget = 10;
    drawMenu();
    EXPECT_EQ(menu.focusedWidget, 6);
    EXPECT_EQ(mapState.selectedLevel, 6);
    menu.focusedWidget = 9;
    drawMenu();
    EXPECT_EQ(menu.focusedWidget, 9);
    menu.focusedWidget = -1;
    drawMenu();
    EXPECT_EQ(menu.focusedWidget, 6);
}

TEST_F(LevelSelect, TheOtherModesProgressDoesNotUnlockLevels) {
    session.gameMode = 0;
    setLastMode(profile_, 0);
    menu.currentPage = findPage("adventure");
    menu.focusedWidget = 5;
    drawMenu();
    EXPECT_EQ(menu.focusedWidget, 0);
}

}  // namespace
}  // namespace corsavel
