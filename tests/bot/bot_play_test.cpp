#include "bot_test_levels.h"
#include "game/rules.h"

namespace corsavel::bot {
namespace {

class BotPlayTest : public BotLevelsTest {};

TEST_F(BotPlayTest, WinsASmallLevelByClicksAlone) {
    const LevelSource source =
        level("small.lvl", levelText("figures=5\r\ntime=60\r\n", kBottomRows));
    const LevelResult r = playLevel(source, 3, BotOptions{});
    EXPECT_EQ(r.outcome, Outcome::Won);
    EXPECT_EQ(r.workTotal, 24);
    EXPECT_EQ(r.workLeft, 0);
    EXPECT_GT(r.moves, 0);
    EXPECT_EQ(r.refused, 0) << "the bot only plays moves the rules accept";
    EXPECT_GT(r.elapsedMs, 1500.0f) << "the first click waits for the think time";
    EXPECT_LT(r.elapsedMs, r.limitMs);
    // Level index 0: 60 s times 5.2, doubled for the first five levels.
    EXPECT_NEAR(r.limitMs, 624000.0f, 1.0f);
    EXPECT_GT(r.timeBonus, 0);
    EXPECT_GT(r.score, r.timeBonus);
    EXPECT_TRUE(game.flags.levelWon);
}

TEST_F(BotPlayTest, ClearsChainsAndFiresPlacedBonusesThroughTipsAndInstructions) {
    // Level 6 of the pack: the relax tip may show; the fresh profile brings
    // the instructions and the tips on double layers and chains.
    const LevelSource source =
        level("pack1_06.lvl", levelText("figures=5\r\ntime=200\r\n", kChainsAndBonuses));
    EXPECT_EQ(source.levelIndex, 5);
    BotOptions options;
    const LevelResult r = playLevel(source, 11, options);
    EXPECT_EQ(r.outcome, Outcome::Won);
    EXPECT_EQ(r.workLeft, 0);
    EXPECT_EQ(r.refused, 0);
    EXPECT_TRUE(game.tips.tipShownThisLevel) << "a tip waited for a click and was dismissed";
    EXPECT_FALSE(game.flags.instructionsShown);
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            EXPECT_EQ(cell.chained, 0);
            EXPECT_LE(cell.layers, 0);
        }
    }
}

TEST_F(BotPlayTest, SameSeedPlaysTheSameGameAndOtherSeedsDiffer) {
    const LevelSource source =
        level("pack1_40.lvl", levelText("figures=6\r\ntime=100\r\n", kChainsAndBonuses));
    BotOptions options;
    options.stepMs = 20.0f;
    const LevelResult a = playLevel(source, 42, options);
    const LevelResult b = playLevel(source, 42, options);
    EXPECT_EQ(a.outcome, b.outcome);
    EXPECT_EQ(a.moves, b.moves);
    EXPECT_EQ(a.elapsedMs, b.elapsedMs);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.workLeft, b.workLeft);
    int differing = 0;
    for (uint32_t seed = 43; seed < 46; ++seed) {
        const LevelResult c = playLevel(source, seed, options);
        differing += c.elapsedMs != a.elapsedMs || c.score != a.score ? 1 : 0;
    }
    EXPECT_GE(differing, 2);
}

TEST_F(BotPlayTest, TooLittleTimeIsLost) {
    // 1 s of base time on level 51: a 1.7 s fuse for a board of double layers.
    const char* const rows[11] = {"222222222222", "222222222222", "222222222222", "222222222222",
                                  "222222222222", "222222222222", "222222222222", "222222222222",
                                  "222222222222", "222222222222", "222222222222"};
    const LevelSource source = level("pack1_51.lvl", levelText("figures=8\r\ntime=1\r\n", rows));
    const LevelResult r = playLevel(source, 5, BotOptions{});
    EXPECT_EQ(r.outcome, Outcome::Lost);
    EXPECT_NEAR(r.limitMs, 1700.0f, 1.0f);
    EXPECT_GT(r.elapsedMs, r.limitMs + 3000.0f) << "lost when the fuse burnt out";
    EXPECT_GT(r.workLeft, 200);
    EXPECT_EQ(r.timeBonus, 0);
}

TEST_F(BotPlayTest, PuzzleModeHasNoClockToLoseAgainst) {
    const LevelSource source =
        level("pack1_51.lvl", levelText("figures=5\r\ntime=1\r\n", kBottomRows));
    BotOptions options;
    options.mode = 1;
    const LevelResult r = playLevel(source, 9, options);
    EXPECT_EQ(r.outcome, Outcome::Won);
    EXPECT_GT(r.elapsedMs, r.limitMs) << "the clock counted past the limit without a time-out";
    EXPECT_EQ(r.timeBonus, 0);
}

TEST_F(BotPlayTest, GivesUpWhenTheLevelOutlastsItsPatience) {
    const LevelSource source = level("pack1_51.lvl", levelText("figures=9\r\n", kChainsAndBonuses));
    BotOptions options;
    options.mode = 1;
    options.giveUpMs = 5000.0f;
    const LevelResult r = playLevel(source, 1, options);
    EXPECT_EQ(r.outcome, Outcome::GaveUp);
    EXPECT_GE(r.elapsedMs, 5000.0f);
    EXPECT_LT(r.elapsedMs, 6000.0f);
}

}  // namespace
}  // namespace corsavel::bot
