#include "rules_fixture.h"

namespace corsavel {
namespace {

class BlastTest : public RulesTest {
protected:
    BlastEvent& fire(int row, int column, int32_t bonus) {
        cell(row, column).figure.bonus = bonus;
        cell(row, column).removal = 1;
        queueBonusBlasts(0);
        BlastEvent& e =
            game.blasts.events[(game.blasts.nextEvent + kBlastEventCount - 1) % kBlastEventCount];
        blastTick();
        return e;
    }
    int countRemoval(int value) {
        int n = 0;
        for (auto& row : game.board.cells) {
            for (Cell& c : row) {
                n += c.removal == value ? 1 : 0;
            }
        }
        return n;
    }
};

TEST_F(BlastTest, BombInCornerStrikesOnlyExistingCells) {
    fire(0, 0, kBomb);
    // (0,1), (0,2), (1,0), (1,1), (2,0) exist around the corner.
    EXPECT_EQ(countRemoval(2), 5);
    EXPECT_TRUE(cell(2, 0).hit);
    EXPECT_EQ(cell(0, 0).removal, 10);
    EXPECT_FLOAT_EQ(game.match.cascadeDelayMs, 250.0f);
    EXPECT_TRUE(game.shake.shaking);
    EXPECT_EQ(timesPlayed("bomb1.ogg"), 1);
}

TEST_F(BlastTest, EmptyCellsAreNotHit) {
    put(0, 1, -1);
    cell(0, 1).layers = 1;
    fire(0, 0, kBomb);
    EXPECT_FALSE(cell(0, 1).hit);
    EXPECT_EQ(cell(0, 1).removal, 0);
}

TEST_F(BlastTest, LightningWithoutPartnersStrikesNothing) {
    put(5, 5, 9);
    fire(5, 5, kLightning);
    EXPECT_EQ(countRemoval(3), 0);
    EXPECT_EQ(game.blasts.beamCount, 0);
    EXPECT_FLOAT_EQ(game.match.cascadeDelayMs, 500.0f);
    EXPECT_FALSE(game.shake.shaking);
}

TEST_F(BlastTest, LightningStrikesEverySameSlotAndDrawsBeams) {
    const int slot = cell(5, 5).figure.kind;
    int same = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            same += (cell(r, c).figure.kind == slot && !(r == 5 && c == 5)) ? 1 : 0;
        }
    }
    fire(5, 5, kLightning);
    EXPECT_EQ(countRemoval(3), same);
    EXPECT_EQ(game.blasts.beamCount, same + 1);
}

TEST_F(BlastTest, BombNextToCrossBombChainsAfter150Ms) {
    cell(5, 6).figure.bonus = kCrossBomb;
    fire(5, 5, kBomb);
    EXPECT_EQ(game.blasts.megaBoomCount, 1);
    const BlastEvent& chained = game.blasts.events[1];
    EXPECT_EQ(chained.type, kCrossBomb);
    EXPECT_FLOAT_EQ(chained.startAtMs, 150.0f);
    EXPECT_FALSE(chained.started);
    app.animationClockMs = 150.0f;
    blastTick();
    EXPECT_TRUE(chained.started);
    EXPECT_TRUE(chained.arms[0]);
    EXPECT_FALSE(chained.arms[4]);
}

TEST_F(BlastTest, CrossBombArmsRunTheirFullTimeAtTheEdge) {
    BlastEvent& e = fire(5, 0, kCrossBomb);
    int frames = 0;
    while (e.type != 0 && frames < 100) {
        blastTick();
        ++frames;
    }
    EXPECT_EQ(frames, 36);
    for (int c = 1; c < kColumns; ++c) {
        EXPECT_GT(cell(5, c).removal, 0) << c;
    }
    for (int r = 0; r < kRows; ++r) {
        EXPECT_GT(cell(r, 0).removal, 0) << r;
    }
    EXPECT_EQ(cell(4, 1).removal, 0);
}

// A cross bomb at (5, 5) whose arms pass a lightning-struck figure (5, 7), a
// fired bonus figure (3, 5), an empty tile (5, 3) and a hole (7, 5).
class CrossBombSweepTest : public BlastTest {
protected:
    void SetUp() override {
        BlastTest::SetUp();
        cell(5, 7).removal = 3;
        cell(3, 5).removal = 10;
        put(5, 3, -1);
        cell(5, 3).layers = 1;
        put(7, 5, -1);
        cell(7, 5).layers = -1;
        BlastEvent& e = fire(5, 5, kCrossBomb);
        for (int frames = 0; e.type != 0 && frames < 100; ++frames) {
            blastTick();
        }
    }
};

TEST_F(CrossBombSweepTest, ArmsMarkEveryValidCellTheyPass) {
    EXPECT_EQ(cell(5, 7).removal, 2) << "a figure the lightning struck";
    EXPECT_EQ(cell(3, 5).removal, 2) << "a bonus figure that fired";
    EXPECT_EQ(cell(5, 3).removal, 2) << "an empty tile";
    EXPECT_EQ(cell(7, 5).removal, 0) << "the hole";
    EXPECT_EQ(cell(8, 5).removal, 2) << "beyond the hole";
    EXPECT_EQ(cell(10, 5).removal, 2);
    EXPECT_EQ(cell(5, 11).removal, 2);
    EXPECT_EQ(cell(4, 4).removal, 0) << "off the arms";
    EXPECT_EQ(cell(5, 5).removal, 10) << "the bomb's own cell is left to its event";
}

TEST_F(CrossBombSweepTest, SweptEmptyCellScoresNothing) {
    game.match.chainStep = 2;
    int figures = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            figures += (cell(r, c).removal > 0 && hasFigure(r, c)) ? 1 : 0;
        }
    }
    ASSERT_GT(figures, 0);
    clearingStep();
    EXPECT_EQ(game.scores.scoreTarget, figures * 2) << "points per figure removed";
    EXPECT_EQ(cell(5, 3).removal, 0);
    EXPECT_EQ(cell(5, 3).layers, 1) << "an empty tile is not hit";
    EXPECT_EQ(cell(5, 3).figure.kind, -1);
}

TEST_F(BlastTest, ChainedFigureInBlastLosesChainNotLayers) {
    cell(0, 1).chained = 1;
    cell(0, 1).layers = 2;
    game.match.chainStep = 1;
    fire(0, 0, kBomb);
    clearingStep();
    EXPECT_EQ(cell(0, 1).chained, 0);
    EXPECT_EQ(cell(0, 1).layers, 2);
    EXPECT_EQ(cell(0, 1).figure.kind, -1);
}

TEST_F(BlastTest, RingOfThirtyOverwritesTheOldest) {
    for (int i = 0; i < 31; ++i) {
        cell(0, 0).figure.kind = 1;
        cell(0, 0).figure.bonus = kBomb;
        cell(0, 0).removal = 1;
        queueBonusBlasts(0);
    }
    EXPECT_EQ(game.blasts.nextEvent, 1);
}

TEST_F(BlastTest, FlyerOpensTheBoxAndDropsIn) {
    startFlyer(3, 0.0f, 0.0f, 1);
    EXPECT_TRUE(game.box.boxOpen);
    EXPECT_EQ(timesPlayed("boxopen.ogg"), 1);
    EXPECT_FLOAT_EQ(game.flyers.nextSpinAngle, -10.0f);
    int frames = 0;
    while (game.flyers.flyers[0].slot != 0 && frames < 2000) {
        flyerTick();
        ++frames;
    }
    EXPECT_LT(frames, 2000);
    EXPECT_EQ(timesPlayed("boxfall.ogg"), 1);
    EXPECT_FLOAT_EQ(game.box.offset.y, -7.0f);
}

TEST_F(BlastTest, BoxClosesAndLidSlams) {
    startFlyer(0, 0.0f, 0.0f, 1);
    game.hand.cursor = Vec2{0.0f, 0.0f};
    for (int i = 0; i < 300; ++i) {
        goldBoxTick();
    }
    EXPECT_FALSE(game.box.boxOpen);
    EXPECT_EQ(timesPlayed("boxclose.ogg"), 1);
    EXPECT_EQ(timesPlayed("boxhit.ogg"), 1);
    EXPECT_FLOAT_EQ(game.box.lidAngle, 90.0f);
}

}  // namespace
}  // namespace corsavel
