#include "game/progress.h"

#include <gtest/gtest.h>

namespace corsavel {
namespace {

TEST(ProfileStages, LevelsMapToStages) {
    EXPECT_EQ(stageOfLevel(3), 0);
    EXPECT_EQ(stageOfLevel(4), 1);
    EXPECT_EQ(stageOfLevel(88), 10);
    EXPECT_EQ(stageOfLevel(89), 11);
    EXPECT_EQ(stageOfLevel(99), 11);
    EXPECT_EQ(stageOfLevel(100), 12);
    EXPECT_EQ(stageStart(11), 89);
    EXPECT_EQ(stageStart(12), 100);
    EXPECT_EQ(levelInStage(10), 1);
}

// The stage screen shows before these levels: the first of stages 1..11.
TEST(ProfileStages, LaterStagesOpenAtTheirFirstLevels) {
    const int32_t firsts[] = {4, 9, 15, 22, 30, 39, 49, 59, 69, 79, 89};
    int found = 0;
    for (int32_t n = -1; n <= 100; ++n) {
        if (startsLaterStage(n)) {
            ASSERT_LT(found, 11);
            EXPECT_EQ(n, firsts[found]);
            ++found;
        }
    }
    EXPECT_EQ(found, 11);
}

TEST(ProfileProgress, SetAndReadBackPerMode) {
    Profile p{};
    setProgressLevel(p, 41);
    EXPECT_EQ(p.currentStage[0], 6);
    EXPECT_EQ(p.currentIndex[0], 2);
    EXPECT_EQ(progressLevel(p), 41);
    setLastMode(p, 1);
    EXPECT_EQ(progressLevel(p), 0);
}

TEST(ProfileProgress, AdvanceUnlocksAndEndsStages) {
    Profile p{};
    setProgressLevel(p, 2);
    bool stage = true;
    bool done = true;
    advanceProgress(p, &stage, &done);
    EXPECT_FALSE(stage);
    EXPECT_EQ(progressLevel(p), 3);
    EXPECT_EQ(unlockedLevel(p), 3);
    advanceProgress(p, &stage, &done);
    EXPECT_TRUE(stage);
    EXPECT_FALSE(done);
    EXPECT_EQ(progressLevel(p), 4);
    EXPECT_EQ(unlockedLevel(p), 4);
}

TEST(ProfileProgress, LastLevelWrapsAndKeepsUnlock) {
    Profile p{};
    setProgressLevel(p, 99);
    bool stage = false;
    bool done = false;
    advanceProgress(p, &stage, &done);
    EXPECT_TRUE(stage);
    EXPECT_TRUE(done);
    EXPECT_EQ(p.currentStage[0], 0);
    EXPECT_EQ(progressLevel(p), 0);
    EXPECT_EQ(p.unlockedStage[0], 11);
    EXPECT_EQ(unlockedLevel(p), 99);
}

TEST(ProfileLives, PerModeLivesAndScore) {
    Profile p{};
    setProfileLives(p, 3);
    addProfileLife(p);
    EXPECT_EQ(profileLives(p), 4);
    EXPECT_EQ(removeProfileLife(p), 3);
    setLastMode(p, 1);
    EXPECT_EQ(profileLives(p), 0);
    setProfileScore(p, 900);
    EXPECT_EQ(p.score[1], 900);
    EXPECT_EQ(p.score[0], 0);
}

}  // namespace
}  // namespace corsavel
