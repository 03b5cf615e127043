// What only looks (beam colours, tile-break pieces, the celebration's
// decorations, the dancers) draws from the looks' generator, each value of a
// colour or a position in its fixed order, and leaves the rules' sequence
// where it was: the same seed and clicks give the same board either way.

#include "rules_fixture.h"

namespace corsavel {
namespace {

class LooksRandomTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        looksRandom.seed(4242);
        rulesBefore = rulesRandom;
    }

    // The rules' generator has not moved since SetUp.
    void expectRulesUntouched() {
        RandomGenerator expected = rulesBefore;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(rulesRandom.next(), expected.next()) << "draw " << i;
        }
    }

    // The looks' generator stands where `expected` stands.
    static void expectLooksAt(RandomGenerator expected) {
        RandomGenerator actual = looksRandom;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(actual.next(), expected.next()) << "draw " << i;
        }
    }

    // The flyer the last startFlyer wrote.
    static const Flyer& newestFlyer() {
        const FlyerState& fs = game.flyers;
        return fs.flyers[(fs.nextFlyer + kFlyerCount - 1) % kFlyerCount];
    }

    RandomGenerator rulesBefore;
};

TEST_F(LooksRandomTest, BeamColoursAreDrawnRedGreenBlueFromTheLooksGenerator) {
    const int slot = cell(5, 5).figure.kind;
    RandomGenerator expected = looksRandom;
    cell(5, 5).figure.bonus = kLightning;
    cell(5, 5).removal = 1;
    queueBonusBlasts(0);
    blastTick();
    const BlastState& b = game.blasts;
    ASSERT_GT(b.beamCount, 2);
    int k = 1;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (cell(r, c).figure.kind != slot || (r == 5 && c == 5)) {
                continue;
            }
            const int red = 40 + expected.randomInt(215);
            const int green = 40 + expected.randomInt(215);
            const int blue = 40 + expected.randomInt(215);
            ASSERT_LT(k, b.beamCount);
            EXPECT_EQ(b.beams[k].colour, makeColour(255, red, green, blue)) << r << "," << c;
            ++k;
        }
    }
    EXPECT_EQ(k, b.beamCount);
    expectLooksAt(expected);
    expectRulesUntouched();
}

TEST_F(LooksRandomTest, TileBreakPiecesFlyOffInALooksDirection) {
    cell(3, 4).layers = 2;
    cell(3, 4).hit = true;
    RandomGenerator expected = looksRandom;
    clearingStep();
    const float r1 = expected.randomSigned(1.0f);
    const float r2 = expected.randomSigned(1.0f);
    const Vec2 dir{-1.0f - r1, 1.0f + r2};
    const TileBreak& piece = game.scores.breaks[0];
    EXPECT_EQ(piece.layers, 2);
    EXPECT_FLOAT_EQ(piece.direction.x, dir.x / length(dir));
    EXPECT_FLOAT_EQ(piece.direction.y, dir.y / length(dir));
    expectLooksAt(expected);
    expectRulesUntouched();
}

// 30 ms into the whoop a figure springs out of the box: its slot, then x,
// then y, then its velocity and sprite frame.
TEST_F(LooksRandomTest, CelebrationFigureSpringsOutSlotThenXThenY) {
    game.level.figureCount = 6;
    game.flags.levelWon = true;
    game.flags.levelEndMs = 4100.0f;
    RandomGenerator expected = looksRandom;
    celebrationTick();
    const int slot = expected.randomInt(6);
    const float x = expected.randomSigned(30.0f);
    const float y = expected.randomSigned(30.0f) - 240.0f;
    const float vx = expected.randomSigned(0.15f);
    const float vy = 0.45f + expected.randomUnit(0.3f);
    const int frame = expected.randomInt(32);
    const Flyer& f = newestFlyer();
    EXPECT_EQ(f.type, 2);
    EXPECT_EQ(f.slot, slot + 1);
    EXPECT_FLOAT_EQ(f.position.x, x);
    EXPECT_FLOAT_EQ(f.position.y, y);
    EXPECT_FLOAT_EQ(f.velocity.x, vx);
    EXPECT_FLOAT_EQ(f.velocity.y, vy);
    EXPECT_EQ(f.frame, frame);
    expectLooksAt(expected);
    expectRulesUntouched();
}

// After 6 s figures rain from the top every 80 ms, with a burst and a
// sparkle somewhere: slot, x; velocity and frame; burst x, y; sparkle x, y.
TEST_F(LooksRandomTest, CelebrationRainDrawsSlotBeforeItsPlace) {
    game.flags.levelWon = true;
    game.flags.levelEndMs = 6070.0f;
    RandomGenerator expected = looksRandom;
    celebrationTick();
    const int slot = expected.randomInt(kMaxSlots);
    const float x = expected.randomSigned(400.0f);
    const float vx = expected.randomSigned(0.05f);
    const float vy = -0.15f - expected.randomUnit(0.2f);
    const int frame = expected.randomInt(32);
    for (int i = 0; i < 4; ++i) {
        expected.next();
    }
    const Flyer& f = newestFlyer();
    EXPECT_EQ(f.type, 3);
    EXPECT_EQ(f.slot, slot + 1);
    EXPECT_FLOAT_EQ(f.position.x, x);
    EXPECT_FLOAT_EQ(f.position.y, 330.0f);
    EXPECT_FLOAT_EQ(f.velocity.x, vx);
    EXPECT_FLOAT_EQ(f.velocity.y, vy);
    EXPECT_EQ(f.frame, frame);
    expectLooksAt(expected);
    expectRulesUntouched();
}

TEST_F(LooksRandomTest, WinningScattersTheTilesWithoutTheRules) {
    game.clock.timeLimitMs = 60000.0f;
    for (auto& row : game.board.cells) {
        for (Cell& c : row) {
            c.layers = 0;
        }
    }
    RandomGenerator expected = looksRandom;
    checkLevelComplete();
    ASSERT_TRUE(game.flags.levelWon);
    EXPECT_EQ(game.flags.endStyle, expected.randomInt(2));
    const float shimmer = 150.0f + expected.randomSigned(150.0f);
    EXPECT_FLOAT_EQ(cell(0, 0).shimmerMs, shimmer);
    if (game.flags.endStyle == 0) {
        const float vx = expected.randomSigned(4.0f);
        const float vy = 3.0f + expected.randomSigned(2.5f);
        EXPECT_FLOAT_EQ(cell(0, 0).tileVelocity.x, vx);
        EXPECT_FLOAT_EQ(cell(0, 0).tileVelocity.y, vy);
    }
    expectRulesUntouched();
}

// A level file takes one draw of the rules (the hand's figure) however many
// dancers it lays out at random.
TEST_F(LooksRandomTest, AutomaticDancersLeaveTheRulesOneDrawForTheHand) {
    game = GameState{};
    RandomGenerator expected = rulesRandom;
    RandomGenerator looksBefore = looksRandom;
    ASSERT_TRUE(parseLevelText("figures=7\r\nautoskeletons=6\r\nlevel=\r\n", 0));
    EXPECT_EQ(game.level.dancerCount, 6);
    EXPECT_EQ(game.hand.heldFigure.kind, expected.randomInt(7));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rulesRandom.next(), expected.next());
    }
    EXPECT_NE(looksRandom.next(), looksBefore.next()) << "the dancers drew from the looks";
}

}  // namespace
}  // namespace corsavel
