#include "gfx/text_effects.h"
#include "rules_fixture.h"

namespace corsavel {
namespace {

int popupsWith(const char* text) {
    int n = 0;
    for (const Popup& p : textEffects.popups) {
        n += (p.life > 0.0f && std::strcmp(p.text, text) == 0) ? 1 : 0;
    }
    return n;
}

class ScoringTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        clearTextEffects();
    }
};

TEST_F(ScoringTest, MegaBoomPaysPerChainReaction) {
    game.blasts.megaBoomCount = 2;
    awardMegaBoom();
    EXPECT_EQ(game.scores.scoreTarget, 500);
    EXPECT_EQ(game.blasts.megaBoomCount, 0);
    EXPECT_EQ(popupsWith("MEGA BOOM : +500"), 1);
    EXPECT_EQ(timesPlayed("combobonus.ogg"), 1);
}

TEST_F(ScoringTest, ComboThresholdsDependOnFigureCount) {
    game.level.figureCount = 8;
    comboMessage(4);
    EXPECT_EQ(timesPlayed("superchain.ogg"), 0);
    comboMessage(7);
    EXPECT_EQ(popupsWith("PERFECT"), 1);
    EXPECT_EQ(popupsWith("COMBO X 7"), 1);
    clearTextEffects();
    game.level.figureCount = 10;
    comboMessage(7);
    EXPECT_EQ(popupsWith("EXCELLENT"), 1);
    clearTextEffects();
    game.level.figureCount = 6;
    comboMessage(6);
    EXPECT_EQ(popupsWith("GOOD"), 1);
    comboMessage(5);
    EXPECT_EQ(popupsWith("GOOD"), 1);
}

TEST_F(ScoringTest, ShownScoreFollowsTarget) {
    game.scores.scoreTarget = 150;
    scoreTick();
    EXPECT_EQ(game.scores.scoreShown, 15);
    game.scores.scoreShown = 141;
    scoreTick();
    EXPECT_EQ(game.scores.scoreShown, 150);
}

TEST_F(ScoringTest, CrossingAHundredThousandGrantsALifeInAdventureOnly) {
    game.scores.bankedScore = 99990;
    game.scores.scoreShown = 0;
    game.scores.scoreTarget = 5000;
    scoreTick();
    EXPECT_EQ(profile.lives[0], 4);
    EXPECT_TRUE(game.scores.lifeGained);
    EXPECT_EQ(timesPlayed("addlife.ogg"), 1);
    session.gameMode = 1;
    profile.lastMode = 1;
    game.scores.bankedScore = 199000;
    game.scores.scoreShown = 0;
    scoreTick();
    EXPECT_EQ(profile.lives[1], 3);
}

TEST_F(ScoringTest, TimeBonusForHalfTimeLeftOnFirstLevel) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 30000.0f;
    startTimeBonus();
    EXPECT_FLOAT_EQ(game.scores.bonusDurationMs, 1500.0f);
    EXPECT_EQ(timeBonusTotal(), 1650);
    session.currentLevel = 3;
    EXPECT_EQ(timeBonusTotal(), 3300);
}

TEST_F(ScoringTest, TimeBonusCountEndsAtTheTotalAndRecordsTheLevel) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 30000.0f;
    game.scores.scoreTarget = game.scores.scoreShown = 1000;
    startTimeBonus();
    for (int i = 0; i < 400 && !game.scores.bonusFinished; ++i) {
        timeBonusTick();
    }
    EXPECT_TRUE(game.scores.bonusFinished);
    EXPECT_EQ(game.scores.bonusShown, 1650);
    EXPECT_EQ(game.scores.scoreShown, 2650);
    const std::vector<GameRequest> asked = takeRequests();
    EXPECT_EQ(countRequests(asked, GameRequestKind::RecordLevelResult), 1);
    EXPECT_EQ(countRequests(asked, GameRequestKind::SaveTables), 1);
    EXPECT_TRUE(game.flags.levelWon);
    EXPECT_GT(timesPlayed("timebonus.ogg"), 0);
}

TEST_F(ScoringTest, TimeBonusPastFiftyThousandGrantsALife) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 0.0f;
    game.scores.bankedScore = 49000;
    startTimeBonus();
    finishTimeBonus();
    EXPECT_EQ(profile.lives[0], 4);
}

TEST_F(ScoringTest, WarningVoicePlaysOnceAtTwentySecondsLeft) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 39995.0f;
    game.clock.workLeft = 9;
    clockTick();
    EXPECT_EQ(timesPlayed("ohthisishard.ogg"), 1);
    EXPECT_EQ(lastFrequency("ohthisishard.ogg"), 22050);
    clearQueue();
    for (int i = 0; i < 100; ++i) {
        clockTick();
    }
    EXPECT_EQ(timesPlayed("ohthisishard.ogg"), 0);
    EXPECT_GT(timesPlayed("timeup.ogg"), 0);
}

TEST_F(ScoringTest, NoWarningWithLittleWorkLeftOrInPuzzleMode) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 39995.0f;
    game.clock.workLeft = 8;
    clockTick();
    EXPECT_EQ(timesPlayed("ohthisishard.ogg"), 0);
    session.gameMode = 1;
    game.clock.elapsedMs = 70000.0f;
    clockTick();
    EXPECT_FALSE(game.clock.timedOut);
}

TEST_F(ScoringTest, TimeOutTimelineEndsInALostLife) {
    session.currentLevel = 0;
    game.clock.timeLimitMs = 1000.0f;
    game.clock.workTotal = 10;
    game.clock.workLeft = 6;
    int frames = 0;
    while (!game.clock.timedOut && frames < 1000) {
        clockTick();
        ++frames;
    }
    ASSERT_TRUE(game.clock.timedOut);
    EXPECT_EQ(audio.music.target, 3);
    EXPECT_EQ(timesPlayed("barrel.ogg"), 1);
    for (int i = 0; i < 70; ++i) {
        clockTick();
    }
    EXPECT_EQ(timesPlayed("tobad.ogg"), 1);
    EXPECT_EQ(timesPlayed("ohno.ogg"), 0);
    // Clicks before 4000 ms past the limit do nothing.
    EXPECT_FALSE(levelFlowClick());
    EXPECT_EQ(profile.lives[0], 3);
    for (int i = 0; i < 700 && profile.lives[0] == 3; ++i) {
        clockTick();
    }
    EXPECT_EQ(profile.lives[0], 2);
    EXPECT_TRUE(game.flags.replayAfterLoss);
    EXPECT_FALSE(game.clock.timedOut);
}

TEST_F(ScoringTest, TimeOutWithNoLifeLeftOpensHiscore) {
    profile.lives[0] = 0;
    game.scores.bankedScore = 1000;
    game.scores.scoreShown = 234;
    game.clock.timedOut = true;
    loseLevel();
    const std::vector<GameRequest> asked = takeRequests();
    EXPECT_EQ(openedPage(asked), "hiscore");
    EXPECT_EQ(countRequests(asked, GameRequestKind::RecordGameOver), 1);
    EXPECT_EQ(profile.score[0], 1234);
    EXPECT_EQ(profile.lives[0], 3);
    EXPECT_EQ(game.scores.bankedScore, 0);
    EXPECT_TRUE(game.flags.menuActive);
}

TEST_F(ScoringTest, SecondLossAfterReplayOpensDefeat) {
    game.flags.replayAfterLoss = true;
    loseLevel();
    EXPECT_EQ(openedPage(takeRequests()), "defeat");
    EXPECT_EQ(profile.lives[0], 3);
}

TEST_F(ScoringTest, RetryFlagBelongsToTheLevelThatWasLost) {
    session.currentLevel = 0;
    startLevel(0);
    game.clock.timedOut = true;
    loseLevel();
    ASSERT_EQ(profile.lives[0], 2);
    ASSERT_TRUE(game.flags.replayAfterLoss) << "kept across the restart the loss caused";
    // The next level starts fresh.
    session.currentLevel = 1;
    startLevel(1);
    EXPECT_FALSE(game.flags.replayAfterLoss);
    takeRequests();
    game.clock.timedOut = true;
    loseLevel();
    const std::string opened = openedPage(takeRequests());
    EXPECT_EQ(opened, "") << "a first loss on this level opened " << opened;
    EXPECT_EQ(profile.lives[0], 1);
    EXPECT_EQ(session.currentLevel, 1);
    EXPECT_FALSE(game.clock.timedOut) << "the level started again";
    EXPECT_TRUE(game.flags.replayAfterLoss);
}

TEST_F(ScoringTest, RestartingTheSameLevelFromTheMenusClearsTheRetryFlag) {
    session.currentLevel = 2;
    game.flags.replayAfterLoss = true;
    startLevel(2);
    EXPECT_FALSE(game.flags.replayAfterLoss);
}

}  // namespace
}  // namespace corsavel
