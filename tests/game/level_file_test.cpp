#include <cstdio>
#include <cstring>
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

    // Serves `text` as level file `number` (the registry keeps the pointer).
    static void serveLevel(int number, const char* text) {
        char name[40];
        std::snprintf(name, sizeof name, "levels\\pack1_%.2i.lvl", number);
        if (!findAsset(name)) {
            registerAsset(name, static_cast<int32_t>(std::strlen(text)),
                          reinterpret_cast<uint8_t*>(const_cast<char*>(text)), false);
        }
    }

    // A seed whose first draw of randomInt(slots) is `slot`: the level start
    // draws the hand's slot first.
    static uint32_t seedDrawingFirst(int slots, int slot) {
        for (uint32_t seed = 1; seed < 1000; ++seed) {
            seedRandom(seed);
            if (randomInt(slots) == slot) {
                return seed;
            }
        }
        return 0;
    }

    // Times a sample was asked for since the queue was cleared, whether or
    // not the frame's audio update has started it yet.
    static int timesRequested(const char* name) {
        const uint32_t handle = audio.bank.entries[findSample(name)].sample;
        int n = 0;
        for (const PlaySlot& s : audio.queue.slots) {
            n += (s.state != 0 && s.sample == handle) ? 1 : 0;
        }
        return n;
    }

    bool slotHasMove(int slot) {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                if (!isFreeFigure(r, c)) {
                    continue;
                }
                const int32_t kept = cell(r, c).figure.kind;
                cell(r, c).figure.kind = slot;
                const bool line = lineThrough(r, c);
                cell(r, c).figure.kind = kept;
                if (line) {
                    return true;
                }
            }
        }
        return false;
    }
};

// One free cell between two chained pairs of slots 0 and 1, everything else
// holes: the free cell fills with slot 2, so slots 0 and 1 have a move there
// and slot 2 has none.
constexpr const char* kOneFreeCellLevel =
    "figures=3\r\nlevel=\r\n"
    "AA0BB.......\r\n............\r\n............\r\n............\r\n"
    "............\r\n............\r\n............\r\n............\r\n"
    "............\r\n............\r\n............\r\n";
// One free cell between chained figures of different slots: no slot has a move.
constexpr const char* kNoMoveLevel =
    "figures=2\r\nlevel=\r\n"
    "A0B.........\r\n............\r\n............\r\n............\r\n"
    "............\r\n............\r\n............\r\n............\r\n"
    "............\r\n............\r\n............\r\n";

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

// A dance list's entries are dance numbers; one past any int, or not a
// number, names no dance and ends the list like -1.
TEST_F(LevelFileTest, DanceNumbersNoIntHoldsEndTheList) {
    ASSERT_TRUE(parse("skeletons=1\r\nsk0anim={3,1e20,nan,-3e9,2.7,-0.5}\r\nlevel=\r\n"));
    const Dancer& d = game.level.dancers[0];
    EXPECT_EQ(d.sequence[0], 3);
    EXPECT_EQ(d.sequence[1], -1);
    EXPECT_EQ(d.sequence[2], -1);
    EXPECT_EQ(d.sequence[3], -1);
    EXPECT_EQ(d.sequence[4], 2);
    EXPECT_EQ(d.sequence[5], 0);
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

TEST_F(LevelFileTest, LevelStartMovesTheHandToASlotWithAMove) {
    serveLevel(60, kOneFreeCellLevel);
    const uint32_t seed = seedDrawingFirst(3, 2);
    ASSERT_NE(seed, 0u);
    seedRandom(seed);
    startLevel(59);
    ASSERT_EQ(cell(0, 2).figure.kind, 2);
    ASSERT_FALSE(slotHasMove(2));
    EXPECT_FALSE(game.noMoves.noMovesActive);
    EXPECT_EQ(game.hand.heldFigure.kind, 0) << "the next slot after the drawn one";
    EXPECT_TRUE(slotHasMove(game.hand.heldFigure.kind));
    clearQueue();
    gameplayUpdateStep(10.0f);
    EXPECT_EQ(timesRequested("mystery.ogg"), 0);
    EXPECT_EQ(game.hand.heldFigure.kind, 0);
}

TEST_F(LevelFileTest, LevelStartWithNoMoveLeavesTheTimedChangeToPlay) {
    serveLevel(61, kNoMoveLevel);
    const uint32_t seed = seedDrawingFirst(2, 1);
    ASSERT_NE(seed, 0u);
    seedRandom(seed);
    startLevel(60);
    ASSERT_FALSE(slotHasMove(0));
    ASSERT_FALSE(slotHasMove(1));
    EXPECT_TRUE(game.noMoves.noMovesActive);
    EXPECT_EQ(game.hand.heldFigure.kind, 1) << "the drawn slot, back after the full cycle";
    clearQueue();
    gameplayUpdateStep(10.0f);
    EXPECT_EQ(timesRequested("mystery.ogg"), 1);
}

}  // namespace
}  // namespace corsavel
