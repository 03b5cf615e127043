#include "platform/virtual_keys.h"
#include "rules_fixture.h"

namespace corsavel {
namespace {

class LevelFlowTest : public RulesTest {
protected:
    void clearAllLayers() {
        for (auto& row : game.board.cells) {
            for (Cell& c : row) {
                c.layers = 0;
            }
        }
    }
    void winAndOpenPage(int level) {
        session.currentLevel = level;
        setProgressLevel(profile, level);
        game.clock.timeLimitMs = 60000.0f;
        clearAllLayers();
        checkLevelComplete();
        ASSERT_TRUE(game.flags.levelWon);
        game.flags.levelEndMs = 400.0f;
        EXPECT_FALSE(levelFlowClick());
        ASSERT_TRUE(game.flags.levelCompletePage);
        advanceLevel();
    }
};

TEST_F(LevelFlowTest, WinWaitsForTheBoxToClose) {
    clearAllLayers();
    game.box.boxOpen = true;
    checkLevelComplete();
    EXPECT_TRUE(game.flags.boardDone);
    EXPECT_FALSE(game.flags.levelWon);
    EXPECT_FALSE(levelFlowClick());
    const float elapsed = game.clock.elapsedMs;
    clockTick();
    EXPECT_FLOAT_EQ(game.clock.elapsedMs, elapsed);
    game.box.boxOpen = false;
    checkLevelComplete();
    EXPECT_TRUE(game.flags.levelWon);
    EXPECT_TRUE(game.scores.timeBonusPhase);
}

TEST_F(LevelFlowTest, CelebrationClickNeedsThreeHundredMs) {
    game.clock.timeLimitMs = 60000.0f;
    clearAllLayers();
    checkLevelComplete();
    game.flags.levelEndMs = 200.0f;
    EXPECT_FALSE(levelFlowClick());
    EXPECT_FALSE(game.flags.levelCompletePage);
    game.flags.levelEndMs = 400.0f;
    EXPECT_FALSE(levelFlowClick());
    EXPECT_TRUE(game.flags.levelCompletePage);
    EXPECT_TRUE(game.scores.bonusFinished);
    EXPECT_TRUE(game.flags.menuActive);
}

TEST_F(LevelFlowTest, PuzzleModeRecordsAtOnce) {
    session.gameMode = 1;
    clearAllLayers();
    checkLevelComplete();
    EXPECT_TRUE(game.flags.levelWon);
    EXPECT_FALSE(game.scores.timeBonusPhase);
}

TEST_F(LevelFlowTest, FourthLevelEndsTheFirstStage) {
    winAndOpenPage(3);
    EXPECT_EQ(session.currentLevel, 4);
    EXPECT_TRUE(game.flags.stageComplete);
    EXPECT_EQ(progressLevel(profile), 4);
}

TEST_F(LevelFlowTest, AdvancingSavesTheProfileAgain) {
    game.flags.levelCompletePage = true;
    game.flags.levelWon = true;
    session.currentLevel = 5;
    setProgressLevel(profile, 5);
    takeRequests();
    advanceLevel();
    EXPECT_EQ(progressLevel(profile), 6);
    EXPECT_EQ(countRequests(takeRequests(), GameRequestKind::SaveTables), 1);
}

TEST_F(LevelFlowTest, OrdinaryLevelGoesOnThroughTheMenus) {
    game.scores.scoreShown = 120;
    winAndOpenPage(5);
    EXPECT_EQ(session.currentLevel, 6);
    EXPECT_FALSE(game.flags.stageComplete);
    EXPECT_EQ(countRequests(takeRequests(), GameRequestKind::NextLevel), 1);
    EXPECT_EQ(profile.score[0], game.scores.bankedScore);
    // Only once.
    advanceLevel();
    EXPECT_EQ(session.currentLevel, 6);
}

TEST_F(LevelFlowTest, LastLevelCompletesTheGame) {
    static char endText[] = "skeletons=2\r\n";
    registerAsset("levels\\end.lvl", sizeof endText - 1, reinterpret_cast<uint8_t*>(endText),
                  false);
    winAndOpenPage(99);
    EXPECT_TRUE(game.flags.gameComplete);
    EXPECT_EQ(session.currentLevel, 0);
    EXPECT_EQ(progressLevel(profile), 0);
    EXPECT_EQ(game.level.dancerCount, 2);
}

TEST_F(LevelFlowTest, QuickThirdLevelPlaysTheVoiceOnce) {
    session.currentLevel = 2;
    game.clock.elapsedMs = 20000.0f;
    clearAllLayers();
    checkLevelComplete();
    EXPECT_EQ(timesPlayed("youlearnquickly.ogg"), 1);
    EXPECT_EQ(profile.quickLearnerVoice, 1);
}

TEST_F(LevelFlowTest, LeavingTheBoardPausesExceptOverPanelAndBox) {
    onBoardPointerMove(-300.0f, 0.0f);
    EXPECT_FALSE(game.flags.paused);
    onBoardPointerMove(-300.0f, -250.0f);
    EXPECT_FALSE(game.flags.paused);
    onBoardPointerMove(390.0f, 0.0f);
    EXPECT_TRUE(game.flags.paused);
    EXPECT_FALSE(levelFlowClick());
    EXPECT_FALSE(game.flags.paused);
}

TEST_F(LevelFlowTest, SpaceDuringTimeBonusDoesNothingEscapeOpensMenu) {
    game.scores.timeBonusPhase = true;
    onBoardKey(vk::kSpace);
    EXPECT_FALSE(game.flags.paused);
    game.scores.timeBonusPhase = false;
    onBoardKey(vk::kSpace);
    EXPECT_TRUE(game.flags.paused);
    onBoardKey('A');
    EXPECT_FALSE(game.flags.paused);
    onBoardKey(vk::kEscape);
    EXPECT_TRUE(game.flags.menuActive);
}

TEST_F(LevelFlowTest, MenuButtonOnlyWhileTimeIsLeft) {
    game.clock.timeLimitMs = 1000.0f;
    game.clock.elapsedMs = 2000.0f;
    onBoardClickAt(-350.0f, -30.0f);
    EXPECT_FALSE(game.flags.menuActive);
    game.clock.elapsedMs = 500.0f;
    onBoardClickAt(-350.0f, -30.0f);
    EXPECT_TRUE(game.flags.menuActive);
}

TEST_F(LevelFlowTest, StartLevelResetsAndReadsTheFile) {
    profile.score[0] = 5000;
    profile.helpShown = 0;
    startLevel(1);
    EXPECT_EQ(game.level.figureCount, 6);
    EXPECT_EQ(cell(0, 0).layers, 1);
    EXPECT_EQ(game.clock.workTotal, 12);
    EXPECT_EQ(game.scores.bankedScore, 5000);
    EXPECT_TRUE(game.flags.instructionsShown);
    EXPECT_EQ(profile.helpShown, 1);
    EXPECT_FLOAT_EQ(game.tips.tipTimerMs, 1000.0f);
    EXPECT_EQ(audio.music.target, 5);
    EXPECT_FLOAT_EQ(game.box.lidAngle, 90.0f);
    EXPECT_EQ(game.noMoves.noMovesSlot, -1);
    EXPECT_NEAR(game.clock.timeLimitMs, 60000.0f * (4 * 0.99 * 0.99 * 0.99 + 1.2) * 2, 1.0f);
}

TEST_F(LevelFlowTest, TipsOfferedOncePerProfileAndLevel) {
    session.currentLevel = 0;
    offerTip(0.0f, 0.0f, "powerup", 0.0f, true);
    EXPECT_FALSE(game.tips.tipShowing);
    session.currentLevel = 1;
    offerTip(0.0f, 0.0f, "powerup", 0.0f, true);
    EXPECT_TRUE(game.tips.tipShowing);
    EXPECT_EQ(profile.tipPowerupShown, 1);
    closeTip();
    offerTip(0.0f, 0.0f, "tipbusysquare2", 0.0f, true);
    EXPECT_FALSE(game.tips.tipShowing);
    game.tips.tipShownThisLevel = false;
    offerTip(0.0f, 0.0f, "tipbusysquare2", 0.0f, true);
    EXPECT_FALSE(game.tips.tipShowing);
    cell(4, 2).layers = 2;
    offerTip(0.0f, 0.0f, "tipbusysquare2", 0.0f, true);
    EXPECT_TRUE(game.tips.tipShowing);
    EXPECT_FLOAT_EQ(game.tips.tipPosition.x, cellCentre(2, 4).x);
}

TEST_F(LevelFlowTest, HintAppearsAfterTheTipTimer) {
    session.currentLevel = 2;
    resetTipTimer();
    for (int i = 0; i < 1025; ++i) {
        tipTick();
    }
    EXPECT_FALSE(game.tips.hintVisible);
    for (int i = 0; i < 10; ++i) {
        tipTick();
    }
    EXPECT_TRUE(game.tips.hintVisible);
}

}  // namespace
}  // namespace corsavel
