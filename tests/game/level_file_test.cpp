#include <string>

#include "rules_fixture.h"

namespace corsavel {
namespace {

class LevelFileTest : public RulesTest {
protected:
    bool parse(const std::string& text, int level = 0) {
        game = GameState{};
        return parseLevelText(text.c_str(), level);
    }
};

TEST_F(LevelFileTest, FigureCountZeroOrMissingGivesEight) {
    EXPECT_TRUE(parse("figures=0\r\nlevel=\r\n"));
    EXPECT_EQ(game.level.figureCount, 8);
    EXPECT_TRUE(parse("level=\r\n"));
    EXPECT_EQ(game.level.figureCount, 8);
    parse("figures=40\r\nlevel=\r\n");
    EXPECT_EQ(game.level.figureCount, kMaxSlots);
}

TEST_F(LevelFileTest, MissingGridIsRefused) {
    EXPECT_FALSE(parse("figures=5\r\n"));
}

TEST_F(LevelFileTest, LettersGiveChainedFiguresWithTheirBonuses) {
    ASSERT_TRUE(
        parse("figures=12\r\nlevel=AQaq z{\xC2\xD3"
              "3.\r\n"));
    const int expectedBonus[] = {0, kBomb, kLightning, kCrossBomb};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(cell(0, c).layers, 2);
        EXPECT_EQ(cell(0, c).chained, 1);
        EXPECT_EQ(cell(0, c).figure.kind, 0);
        EXPECT_EQ(cell(0, c).figure.bonus, expectedBonus[c]);
    }
    // "z" is slot 9 with a cross bomb; "{" is skipped.
    EXPECT_EQ(cell(0, 4).figure.kind, 9);
    EXPECT_EQ(cell(0, 4).figure.bonus, kCrossBomb);
    EXPECT_EQ(cell(0, 5).figure.kind, 2);
    EXPECT_EQ(cell(0, 5).figure.bonus, kDiagonalBomb);
    EXPECT_EQ(cell(0, 6).figure.kind, 3);
    EXPECT_EQ(cell(0, 6).figure.bonus, kStarBomb);
    EXPECT_EQ(cell(0, 7).layers, 0);
    EXPECT_EQ(cell(0, 7).chained, 0);
    EXPECT_EQ(cell(0, 8).layers, -1);
}

TEST_F(LevelFileTest, PreplacedSlotsBeyondTheFigureCountStayInPlay) {
    ASSERT_TRUE(parse("figures=5\r\nlevel=O\r\n"));
    EXPECT_EQ(cell(0, 0).figure.kind, 14 % 5);
}

TEST_F(LevelFileTest, BlankLineEndsTheGridEarly) {
    std::string grid = "level=\r\n";
    for (int r = 0; r < 5; ++r) {
        grid += "111111111111\r\n";
    }
    grid += "\r\n222222222222\r\n";
    ASSERT_TRUE(parse(grid));
    EXPECT_EQ(cell(4, 11).layers, 1);
    EXPECT_EQ(cell(5, 0).layers, 0);
    EXPECT_EQ(cell(10, 11).layers, 0);
}

TEST_F(LevelFileTest, TimeKeyMatchesInsideDancerStartOffset) {
    ASSERT_TRUE(parse("skeletons=1\r\nsk0dtime=250\r\ntime=60\r\nlevel=\r\n"));
    EXPECT_FLOAT_EQ(game.level.timeBaseSeconds, 250.0f);
    ASSERT_TRUE(parse("time=60\r\nskeletons=1\r\nsk0dtime=250\r\nlevel=\r\n"));
    EXPECT_FLOAT_EQ(game.level.timeBaseSeconds, 60.0f);
}

TEST_F(LevelFileTest, FigureNamesMapSlotsToKinds) {
    ASSERT_TRUE(
        parse("figures=3\r\nfigure0=diamond\r\nfigure1=bogus\r\nfigure5=crown\r\nlevel=\r\n"));
    EXPECT_EQ(game.level.slotKinds[0], 16);
    EXPECT_EQ(game.level.slotKinds[1], 1);
    EXPECT_EQ(game.level.slotKinds[5], 5);
}

TEST_F(LevelFileTest, DefaultDancerAndCameraDepth) {
    ASSERT_TRUE(parse("level=\r\n"));
    EXPECT_EQ(game.level.dancerCount, 1);
    EXPECT_FLOAT_EQ(game.level.dancers[0].turn, 210.0f);
    EXPECT_EQ(game.level.dancers[0].hat, 1);
    EXPECT_EQ(game.level.dancers[0].sequence[1], -1);
    EXPECT_FLOAT_EQ(game.level.dancerCameraDepth, -700.0f);
    ASSERT_TRUE(parse("skeletons=2\r\nsk0scale=1.4\r\nsk1anim={3,4,-1}\r\nlevel=\r\n"));
    EXPECT_NEAR(game.level.dancerCameraDepth, -1000.0f, 0.1f);
    EXPECT_EQ(game.level.dancers[1].sequence[1], 4);
    EXPECT_FLOAT_EQ(game.level.dancers[1].scale, 1.0f);
}

TEST_F(LevelFileTest, AutomaticDancersAreClampedAndPlaced) {
    ASSERT_TRUE(parse("autoskeletons=25\r\nstandtype=1\r\ndance=2\r\nlevel=\r\n"));
    EXPECT_EQ(game.level.dancerCount, 10);
    EXPECT_FLOAT_EQ(game.level.dancers[0].x, -320.0f);
    EXPECT_FLOAT_EQ(game.level.dancers[9].x, 320.0f);
    EXPECT_LT(game.level.dancers[0].scale, game.level.dancers[9].scale);
    EXPECT_EQ(game.level.dancers[3].sequence[0], 6);
}

TEST_F(LevelFileTest, TimeFormulaForLevelThree) {
    game.level.timeBaseSeconds = 60.0f;
    countWorkAndTime(3);
    EXPECT_NEAR(game.clock.timeLimitMs / 1000.0f, 582.08f, 0.05f);
    countWorkAndTime(5);
    EXPECT_NEAR(game.clock.timeLimitMs / 1000.0f, 60.0f * (4 * 0.857375 + 1.2), 0.05f);
}

TEST_F(LevelFileTest, WorkCountsLayersAndChains) {
    game = GameState{};
    for (int i = 0; i < 10; ++i) {
        cell(0, i).layers = 1;
    }
    for (int i = 0; i < 5; ++i) {
        cell(1, i).layers = 2;
    }
    for (int i = 0; i < 4; ++i) {
        cell(2, i).layers = 2;
        cell(2, i).chained = 1;
    }
    countWorkAndTime(10);
    EXPECT_EQ(game.clock.workTotal, 32);
    EXPECT_EQ(game.clock.workLeft, 32);
    EXPECT_FLOAT_EQ(game.clock.timeLimitMs, 224000.0f);
    game.level.timeBaseSeconds = -10.0f;
    countWorkAndTime(10);
    EXPECT_FLOAT_EQ(game.clock.timeLimitMs, 224000.0f) << "a negative base time counts as none";
    EXPECT_FLOAT_EQ(cell(0, 1).shimmerMs, 5000.0f - 50.0f);
    EXPECT_FLOAT_EQ(cell(1, 1).shimmerMs, 5500.0f - 100.0f + 50.0f);
}

TEST_F(LevelFileTest, InitialFillLeavesNoLinesAndKeepsChainedFigures) {
    ASSERT_TRUE(parse("figures=5\r\nlevel=.0A.........\r\n"));
    initialFill();
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (isValidCell(r, c)) {
                EXPECT_GE(cell(r, c).figure.kind, 0)
                    << r << "," << c << " layers " << cell(r, c).layers;
                EXPECT_TRUE(isAtRest(cell(r, c).figure));
            } else {
                EXPECT_EQ(cell(r, c).figure.kind, -1);
            }
        }
    }
    EXPECT_EQ(cell(0, 2).chained, 1);
    EXPECT_EQ(cell(0, 2).figure.kind, 0);
    const int32_t before = game.match.groupCounter;
    findAllLines();
    EXPECT_EQ(game.match.groupCounter, before);
}

}  // namespace
}  // namespace corsavel
