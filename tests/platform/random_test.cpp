#include "platform/random.h"

#include <gtest/gtest.h>

namespace corsavel {
namespace {

TEST(Random, MatchesTheClassicGeneratorSequence) {
    // The first values of the C library LCG seeded with 1.
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    EXPECT_EQ(nextRandom(), 26500);
}

TEST(Random, SameSeedReplaysTheSameValues) {
    seedRandom(12345);
    int first[8];
    for (int& v : first)
        v = nextRandom();
    seedRandom(12345);
    for (int v : first)
        EXPECT_EQ(nextRandom(), v);
}

TEST(Random, RangesStayInsideTheirBounds) {
    seedRandom(7);
    for (int i = 0; i < 5000; ++i) {
        const int v = randomInt(6);
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 6);
        const float s = randomSigned(1500.0f);
        EXPECT_GE(s, -1500.0f);
        EXPECT_LE(s, 1500.0f);
        const float u = randomUnit(2.0f);
        EXPECT_GE(u, 0.0f);
        EXPECT_LE(u, 2.0f);
    }
    EXPECT_EQ(randomInt(0), 0);
}

// Drawing from the looks' generator never moves the rules' sequence.
TEST(Random, LooksDrawsLeaveTheRulesSequenceAlone) {
    seedGenerators(99);
    int plain[6];
    for (int& v : plain)
        v = nextRandom();
    seedGenerators(99);
    for (int v : plain) {
        looksRandom.randomSigned(20.0f);
        looksRandom.randomInt(11);
        EXPECT_EQ(nextRandom(), v);
    }
}

TEST(Random, TheTwoGeneratorsOfOneSeedDiffer) {
    seedGenerators(5);
    int same = 0;
    for (int i = 0; i < 16; ++i) {
        same += rulesRandom.next() == looksRandom.next() ? 1 : 0;
    }
    EXPECT_LT(same, 4);
}

}  // namespace
}  // namespace corsavel
