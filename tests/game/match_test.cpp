#include "rules_fixture.h"

namespace corsavel {
namespace {

class MatchTest : public RulesTest {
protected:
    // Marks a player's move at (row, column) and runs one match round.
    bool playerRound(int row, int column) {
        game.match.playerMove = true;
        game.match.placedRow = row;
        game.match.placedColumn = column;
        findAllLines();
        return markMatches();
    }
};

TEST_F(MatchTest, ClickBetweenTwoEqualFiguresIsAccepted) {
    game.hand.heldFigure.kind = 9;
    put(5, 3, 9);
    put(5, 5, 9);
    put(5, 4, 6);
    const Vec2 p = cellCentre(4, 5);
    onBoardClickAt(p.x + 5.0f, p.y + 5.0f);
    EXPECT_EQ(cell(5, 4).figure.kind, 9);
    EXPECT_EQ(game.hand.heldFigure.kind, 6);
    EXPECT_TRUE(game.match.playerMove);
    EXPECT_TRUE(game.match.moveMade);
    EXPECT_TRUE(cell(5, 4).figure.followsHand);
}

TEST_F(MatchTest, ChainedHoleAndEmptyCellsIgnoreClicks) {
    game.hand.heldFigure.kind = 9;
    put(5, 3, 9);
    put(5, 5, 9);
    cell(5, 4).chained = 1;
    const Vec2 p = cellCentre(4, 5);
    onBoardClickAt(p.x, p.y);
    EXPECT_FALSE(game.match.moveMade);
    EXPECT_EQ(timesPlayed("unmove.ogg"), 0);
    cell(5, 4).chained = 0;
    cell(5, 4).layers = -1;
    onBoardClickAt(p.x, p.y);
    cell(5, 4).layers = 0;
    put(5, 4, -1);
    onBoardClickAt(p.x, p.y);
    EXPECT_FALSE(game.match.moveMade);
    EXPECT_EQ(timesPlayed("unmove.ogg"), 0);
}

TEST_F(MatchTest, MoveWithoutLineRecoilsAndChangesNothing) {
    game.hand.heldFigure.kind = 2;
    const int before = cell(0, 0).figure.kind;
    const Vec2 p = cellCentre(0, 0);
    onBoardClickAt(p.x, p.y);
    EXPECT_TRUE(game.hand.rejecting);
    EXPECT_EQ(cell(0, 0).figure.kind, before);
    EXPECT_EQ(game.hand.heldFigure.kind, 2);
    EXPECT_EQ(timesPlayed("unmove.ogg"), 1);
    EXPECT_NEAR(length(game.hand.swapSwing), 25.0f, 1e-4);
    for (int i = 0; i < 40; ++i) {
        motionStep();
    }
    EXPECT_FALSE(game.hand.rejecting);
    EXPECT_TRUE(isAtRest(game.hand.heldFigure));
    EXPECT_FALSE(cell(0, 0).figure.followsHand);
}

TEST_F(MatchTest, DiagonalFourLineMakesBomb) {
    // Two below-right and one above-left of the placed cell on the diagonal.
    put(4, 4, 9);
    put(5, 5, 9);
    put(6, 6, 9);
    put(7, 7, 9);
    EXPECT_TRUE(playerRound(5, 5));
    EXPECT_EQ(cell(5, 5).figure.bonus, kBomb);
    EXPECT_EQ(cell(5, 5).removal, 0);
    EXPECT_TRUE(cell(5, 5).hit);
    EXPECT_EQ(cell(4, 4).removal, 1);
    EXPECT_EQ(cell(6, 6).removal, 1);
    EXPECT_EQ(cell(7, 7).removal, 1);
    EXPECT_FALSE(game.match.playerMove);
    EXPECT_EQ(timesPlayed("addbonus.ogg"), 1);
}

TEST_F(MatchTest, FiveLineMakesLightning) {
    for (int c = 2; c <= 6; ++c) {
        put(5, c, 9);
    }
    EXPECT_TRUE(playerRound(5, 4));
    EXPECT_EQ(cell(5, 4).figure.bonus, kLightning);
}

TEST_F(MatchTest, CrossingThreeLinesMakeCrossBomb) {
    put(5, 4, 9);
    put(5, 5, 9);
    put(5, 6, 9);
    put(6, 4, 9);
    put(7, 4, 9);
    EXPECT_TRUE(playerRound(5, 4));
    EXPECT_EQ(cell(5, 4).figure.bonus, kCrossBomb);
    EXPECT_EQ(cell(7, 4).removal, 1);
}

TEST_F(MatchTest, FourLineCrossingThreeLineMakesStarBomb) {
    for (int c = 4; c <= 7; ++c) {
        put(5, c, 9);
    }
    put(6, 4, 9);
    put(7, 4, 9);
    put(4, 4, 5);
    EXPECT_TRUE(playerRound(5, 4));
    EXPECT_EQ(cell(5, 4).figure.bonus, kStarBomb);
}

TEST_F(MatchTest, CascadeFourLineOnlyRemoves) {
    for (int c = 4; c <= 7; ++c) {
        put(5, c, 9);
    }
    game.match.playerMove = false;
    game.match.placedRow = 5;
    game.match.placedColumn = 5;
    findAllLines();
    EXPECT_TRUE(markMatches());
    for (int c = 4; c <= 7; ++c) {
        EXPECT_EQ(cell(5, c).removal, 1);
        EXPECT_EQ(cell(5, c).figure.bonus, 0);
    }
    EXPECT_EQ(timesPlayed("addbonus.ogg"), 0);
}

TEST_F(MatchTest, SecondBonusGoesPendingAndTheFirstFires) {
    for (int c = 4; c <= 7; ++c) {
        put(5, c, 9);
    }
    cell(5, 5).figure.bonus = kLightning;
    EXPECT_TRUE(playerRound(5, 5));
    EXPECT_EQ(cell(5, 5).removal, 1);
    EXPECT_EQ(cell(5, 5).figure.pendingBonus, kBomb);
    queueBonusBlasts(0);
    EXPECT_EQ(cell(5, 5).removal, 0);
    EXPECT_EQ(cell(5, 5).figure.bonus, kBomb);
    EXPECT_EQ(game.blasts.events[0].type, kLightning);
}

TEST_F(MatchTest, LightningWithASecondBonusStrikesItsSlotButNotItself) {
    for (int c = 4; c <= 7; ++c) {
        put(5, c, 9);
    }
    put(0, 0, 9);
    put(9, 10, 9);
    cell(5, 5).figure.bonus = kLightning;
    game.match.chainStep = 1;
    ASSERT_TRUE(playerRound(5, 5));
    queueBonusBlasts(0);
    blastTick();
    ASSERT_EQ(game.blasts.events[0].type, kLightning);
    ASSERT_TRUE(game.blasts.events[0].started);
    EXPECT_EQ(cell(0, 0).removal, 3);
    EXPECT_EQ(cell(9, 10).removal, 3);
    EXPECT_EQ(cell(5, 5).removal, 0) << "the lightning does not strike its own cell";
    EXPECT_EQ(game.blasts.beamCount, 3);
    for (int frames = 0; game.blasts.events[0].type != 0 && frames < 100; ++frames) {
        blastTick();
    }
    for (const BlastEvent& e : game.blasts.events) {
        EXPECT_EQ(e.type, 0) << "nothing else fired";
    }
    clearingStep();
    EXPECT_EQ(cell(5, 5).figure.kind, 9);
    EXPECT_EQ(cell(5, 5).figure.bonus, kBomb);
    EXPECT_EQ(cell(0, 0).figure.kind, -1);
    EXPECT_EQ(cell(9, 10).figure.kind, -1);
    EXPECT_EQ(cell(5, 4).figure.kind, -1);
}

TEST_F(MatchTest, ChainedFigureOnTwoLayersBreaksChainAndKeepsLayers) {
    put(5, 3, 9);
    put(5, 4, 9);
    put(5, 5, 9);
    cell(5, 4).chained = 1;
    cell(5, 4).layers = 2;
    cell(5, 3).layers = 2;
    game.clock.workLeft = 10;
    game.match.chainStep = 1;
    findAllLines();
    ASSERT_TRUE(markMatches());
    clearingStep();
    EXPECT_EQ(cell(5, 4).chained, 0);
    EXPECT_EQ(cell(5, 4).layers, 2);
    EXPECT_EQ(cell(5, 3).layers, 1);
    EXPECT_EQ(cell(5, 4).figure.kind, -1);
    // 1 + 300 for the chain, 1 + 100 for the layer, 1 for the plain tile.
    EXPECT_EQ(game.scores.scoreTarget, 301 + 101 + 1);
    EXPECT_EQ(game.clock.workLeft, 8);
    EXPECT_EQ(timesPlayed("zep.ogg"), 1);
}

TEST_F(MatchTest, PointsScaleWithChainStep) {
    put(5, 3, 9);
    put(5, 4, 9);
    put(5, 5, 9);
    cell(5, 4).layers = 2;
    game.match.chainStep = 3;
    findAllLines();
    ASSERT_TRUE(markMatches());
    clearingStep();
    EXPECT_EQ(game.scores.scoreTarget, 303 + 3 + 3);
}

TEST_F(MatchTest, FindMovesCountsAndPicksAHint) {
    game.hand.heldFigure.kind = 9;
    put(5, 3, 9);
    put(5, 5, 9);
    findMoves();
    EXPECT_FALSE(game.noMoves.noMovesActive);
    EXPECT_EQ(game.match.moveCount, 1);
    EXPECT_EQ(game.match.hintGroup.length, 3);
}

TEST_F(MatchTest, BoardFixChangesExactlyOneFigureAndGivesItABomb) {
    game.level.figureCount = 8;
    game.hand.heldFigure.kind = 7;
    // Slots 0..3 without lines and a single 7: the hand's 7 has no move until
    // one more figure becomes a 7 in line with it.
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            put(r, c, (r * 5 + c * 2) % 4);
        }
    }
    put(5, 3, 7);
    findMoves();
    ASSERT_TRUE(game.noMoves.noMovesActive);
    Board before = game.board;
    fixBoard();
    EXPECT_FALSE(game.noMoves.noMovesActive);
    int changed = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (before.cells[r][c].figure.kind != cell(r, c).figure.kind) {
                ++changed;
                EXPECT_EQ(cell(r, c).figure.bonus, kBomb);
            }
        }
    }
    EXPECT_EQ(changed, 1);
}

TEST_F(MatchTest, MoveResolvesThroughTheFrameLoop) {
    game.hand.heldFigure.kind = 9;
    put(5, 3, 9);
    put(5, 5, 9);
    put(5, 4, 6);
    for (int c = 0; c < kColumns; ++c) {
        cell(5, c).layers = 1;
    }
    cell(0, 0).layers = 1;
    game.clock.workLeft = game.clock.workTotal = 13;
    game.clock.timeLimitMs = 100000.0f;
    const Vec2 p = cellCentre(4, 5);
    game.hand.cursor = Vec2{p.x + 3.0f, p.y};
    onBoardClickAt(p.x + 3.0f, p.y);
    runUntilQuiet();
    EXPECT_EQ(cell(5, 3).layers, 0);
    EXPECT_EQ(cell(5, 4).layers, 0);
    EXPECT_EQ(cell(5, 5).layers, 0);
    EXPECT_LE(game.clock.workLeft, 10);
    EXPECT_GE(game.scores.scoreTarget, 303);
    EXPECT_EQ(game.match.chainStep, 0);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            EXPECT_GE(cell(r, c).figure.kind, 0);
        }
    }
}

}  // namespace
}  // namespace corsavel
