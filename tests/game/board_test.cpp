#include "rules_fixture.h"

namespace corsavel {
namespace {

TEST_F(RulesTest, CellAtTruncatesTowardZero) {
    int c = 0;
    int r = 0;
    cellAt(-221.0f, 274.0f, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    cellAt(-269.0f, 0.0f, c, r);
    EXPECT_EQ(c, 0);
    cellAt(-270.0f, 0.0f, c, r);
    EXPECT_EQ(c, -1);
    EXPECT_FALSE(isValidCell(r, c));
    const Vec2 p = cellCentre(11, 10);
    EXPECT_FLOAT_EQ(p.x, 355.0f);
    EXPECT_FLOAT_EQ(p.y, -252.0f);
    cellAt(p.x, p.y, c, r);
    EXPECT_EQ(c, 11);
    EXPECT_EQ(r, 10);
}

TEST_F(RulesTest, PlainTilesFormACheckerboard) {
    EXPECT_EQ(tileImage(0, 0), 0);
    EXPECT_EQ(tileImage(0, 1), 3);
    EXPECT_EQ(tileImage(1, 1), 0);
    cell(0, 1).layers = 2;
    EXPECT_EQ(tileImage(0, 1), 2);
}

TEST_F(RulesTest, SpawnedFigureJoinsTheFallBelow) {
    cell(6, 3).figure.fallSpeed = 0.4f;
    put(5, 3, -1);
    spawnFigure(5, 3);
    EXPECT_FLOAT_EQ(cell(5, 3).figure.fallSpeed, 0.4f);
    EXPECT_FLOAT_EQ(cell(5, 3).figure.offset.y, 50.0f);
    cell(6, 4).figure.sliding = true;
    cell(6, 4).figure.fallSpeed = 0.9f;
    spawnFigure(5, 3);
    EXPECT_FLOAT_EQ(cell(5, 3).figure.fallSpeed, 0.9f);
    spawnFigure(10, 3);
    EXPECT_FLOAT_EQ(cell(10, 3).figure.fallSpeed, 0.0f);
}

TEST_F(RulesTest, SettledNeedsEveryFigureAtRest) {
    EXPECT_TRUE(isSettled());
    cell(10, 5).figure.offset = Vec2{0.0f, 0.5f};
    EXPECT_FALSE(isSettled());
    cell(10, 5).figure.offset = Vec2{};
    put(10, 5, -1);
    EXPECT_FALSE(isSettled());
    EXPECT_TRUE(canFallStraight());
    // A chained figure above the gap cannot fall; diagonal neighbours still can.
    cell(9, 5).chained = 1;
    EXPECT_FALSE(canFallStraight());
    EXPECT_FALSE(isSettled());
}

TEST_F(RulesTest, EmptyCellUnderChainFillsOnlyByDiagonalSlide) {
    cell(4, 5).chained = 1;
    put(5, 5, -1);
    gravityStep();
    EXPECT_EQ(cell(4, 5).figure.kind, noLineSlot(4, 5));
    ASSERT_GE(cell(5, 5).figure.kind, 0);
    EXPECT_TRUE(cell(5, 5).figure.sliding);
    EXPECT_FLOAT_EQ(cell(5, 5).figure.offset.x, 50.0f);
    EXPECT_EQ(cell(5, 5).figure.kind, noLineSlot(4, 6));
}

}  // namespace
}  // namespace corsavel
