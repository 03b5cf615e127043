#include <gtest/gtest.h>

#include "bot/bot.h"

namespace corsavel::bot {
namespace {

// A full board of plain tiles whose figures form no line, hand holding slot 0.
BoardView quietBoard() {
    BoardView v;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            v.cells[r][c].layers = 0;
            v.cells[r][c].slot = static_cast<int8_t>(1 + (c + 3 * r) % 7);
        }
    }
    v.heldSlot = 0;
    v.figureCount = 8;
    return v;
}

TEST(MoveValue, OnlyCellsWhereTheHandCompletesALineAreMoves) {
    BoardView v = quietBoard();
    v.cells[5][3].slot = 0;
    v.cells[5][4].slot = 0;
    EXPECT_EQ(moveValue(v, 5, 5), 0) << "a line of three on plain tiles takes no work";
    EXPECT_EQ(moveValue(v, 5, 2), 0);
    EXPECT_EQ(moveValue(v, 5, 6), -1);
    EXPECT_EQ(moveValue(v, 4, 5), -1);
    v.cells[5][5].chained = true;
    EXPECT_EQ(moveValue(v, 5, 5), -1) << "a chained figure cannot be taken";
    v.cells[5][5].chained = false;
    v.cells[5][5].atRest = false;
    EXPECT_EQ(moveValue(v, 5, 5), -1) << "a moving figure cannot be taken";
    EXPECT_EQ(moveValue(v, -1, 0), -1);
    EXPECT_EQ(moveValue(v, 0, 12), -1);
}

TEST(MoveValue, CountsLayersAndChainsUnderTheLine) {
    BoardView v = quietBoard();
    v.cells[5][3].slot = 0;
    v.cells[5][4].slot = 0;
    v.cells[5][3].layers = 2;
    v.cells[5][4].chained = true;  // a chained figure still makes the line
    v.cells[5][5].layers = 1;
    v.cells[4][5].layers = 2;  // off the line
    EXPECT_EQ(moveValue(v, 5, 5), 300);
}

TEST(MoveValue, FiredBonusesAddTheWorkUnderTheirBlast) {
    BoardView v = quietBoard();
    v.cells[5][3].slot = 0;
    v.cells[5][4].slot = 0;
    v.cells[5][4].bonus = kBomb;
    // Within the bomb's reach: two steps along the row, one diagonal.
    v.cells[5][2].layers = 1;
    v.cells[4][3].layers = 1;
    v.cells[7][4].layers = 2;
    v.cells[8][4].layers = 1;  // three rows down: out of reach
    EXPECT_EQ(moveValue(v, 5, 5), 300);
    // A cross bomb struck by the bomb fires in turn along its column.
    v.cells[6][4].bonus = kCrossBomb;
    EXPECT_EQ(moveValue(v, 5, 5), 400);
}

TEST(MoveValue, LongLinesMakeABonusWorthWhatItCouldReach) {
    BoardView v = quietBoard();
    v.cells[5][2].slot = 0;
    v.cells[5][3].slot = 0;
    v.cells[5][4].slot = 0;
    const int bare = moveValue(v, 5, 5);
    EXPECT_GT(bare, 0) << "a line of four leaves a bomb";
    EXPECT_LT(bare, 100);
    v.cells[7][5].layers = 2;  // two rows below the new bomb
    EXPECT_EQ(moveValue(v, 5, 5), bare + 50);
}

TEST(ChooseMove, TakesTheMostWorkThenTheHintThenNoneWhenStuck) {
    BoardView v = quietBoard();
    v.cells[2][3].slot = 0;
    v.cells[2][4].slot = 0;  // (2,5) or (2,2) complete a line on plain tiles
    v.cells[8][7].slot = 0;
    v.cells[9][7].slot = 0;  // (10,7) or (7,7) complete one over a layer
    v.cells[9][7].layers = 1;
    MoveChoice m = chooseMove(v, -1, -1);
    EXPECT_EQ(m.value, 100);
    EXPECT_EQ(m.column, 7);
    EXPECT_TRUE(m.row == 10 || m.row == 7);

    v.cells[9][7].layers = 0;
    m = chooseMove(v, 2, 2);
    EXPECT_EQ(m.value, 0);
    EXPECT_EQ(m.row, 2);
    EXPECT_EQ(m.column, 2) << "with nothing to gain the hint decides";

    v.heldSlot = 8;  // a slot nowhere on the board
    m = chooseMove(v, 2, 2);
    EXPECT_EQ(m.row, -1);
}

}  // namespace
}  // namespace corsavel::bot
