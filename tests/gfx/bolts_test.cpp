#include "gfx/bolts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/random.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

class BoltsTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        clearBolts();
        looksRandom.seed(7);
    }
    void TearDown() override {
        boltState.count = 0;
        device.uninstall();
    }
    RecordingDevice device;
};

float distanceToXAxis(Vec3 p) {
    return std::sqrt(p.y * p.y + p.z * p.z);
}

TEST_F(BoltsTest, PointsAreSpacedAlongTheLineWithinJitter) {
    Bolt* b = addBolt({0, 0, 0}, {100, 0, 0}, 30.0f, 2.0f, 1.0f, 4.0f, 0xFF0000FFu, 0xFFFFFFFFu);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->n, 4);
    EXPECT_FLOAT_EQ(b->points[0].x, 0.0f);
    EXPECT_FLOAT_EQ(b->points[3].x, 100.0f);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_NEAR(b->points[i].x, 30.0f * i, 1e-4f);
        EXPECT_LE(distanceToXAxis(b->points[i]), 4.0001f);
    }
}

TEST_F(BoltsTest, LongBoltIsLimitedTo99Points) {
    Bolt* b = addBolt({0, 0, 0}, {0, 1000, 0}, 5.0f, 1.0f, 1.0f, 0.0f, 1u, 2u);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->n, 99);
    EXPECT_NEAR(b->points[1].y, 1000.0f / 99.0f, 1e-3f);
    EXPECT_NEAR(b->points[97].y, 97.0f * 1000.0f / 99.0f, 1e-2f);
    EXPECT_FLOAT_EQ(b->points[98].y, 1000.0f);
}

TEST_F(BoltsTest, ShortAndDegenerateBoltsKeepTheirEnds) {
    Bolt* b = addBolt({0, 0, 0}, {2, 0, 0}, 5.0f, 1.0f, 1.0f, 3.0f, 1u, 2u);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->n, 2);
    EXPECT_FLOAT_EQ(b->points[1].x, 2.0f);
    Bolt* z = addBolt({0, 0, 0}, {0, 0, 50}, 10.0f, 1.0f, 1.0f, 3.0f, 1u, 2u);
    ASSERT_NE(z, nullptr);
    for (int i = 0; i < z->n; ++i) {
        EXPECT_FALSE(std::isnan(z->points[i].x));
    }
    Bolt* none = addBolt({1, 1, 1}, {1, 1, 1}, 0.0f, 1.0f, 1.0f, 3.0f, 1u, 2u);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->n, 99);
}

TEST_F(BoltsTest, SixtyFourthBoltIsRefusedAndDrawsNothing) {
    for (int i = 0; i < 63; ++i) {
        ASSERT_NE(addBolt({0, 0, 0}, {10, 0, 0}, 5.0f, 1.0f, 1.0f, 1.0f, 1u, 2u), nullptr);
    }
    EXPECT_EQ(addBolt({0, 0, 0}, {10, 0, 0}, 5.0f, 1.0f, 1.0f, 1.0f, 1u, 2u), nullptr);
    drawBolts();
    // Each 3-point bolt is two segments plus the core.
    EXPECT_EQ(device.draws.size(), 63u * 3u);
    clearBolts();
    device.reset();
    drawBolts();
    EXPECT_TRUE(device.draws.empty());
}

// A frame's bolts are drawn as they were built, however often; the jitter of
// the next frame's comes from the looks' generator, not the rules'.
TEST_F(BoltsTest, DrawingKeepsTheBoltsAndTheirJitterIsTheLooks) {
    const RandomGenerator rules = rulesRandom;
    addBolt({0, 0, 0}, {40, 0, 0}, 5.0f, 1.0f, 1.0f, 3.0f, 1u, 2u);
    drawBolts();
    const std::vector<DrawRecord> first = device.draws;
    device.reset();
    drawBolts();
    ASSERT_EQ(device.draws.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(device.draws[i].vertices, first[i].vertices) << i;
    }
    EXPECT_EQ(boltState.count, 1);
    RandomGenerator untouched = rules;
    EXPECT_EQ(rulesRandom.next(), untouched.next());
}

TEST_F(BoltsTest, DrawingIsAdditiveUnlitWithOvershootingSegments) {
    Matrix4 world;
    world.m[3][0] = 9.0f;
    setWorld(&world);
    enableFeature(0);
    addBolt({0, 0, 0}, {10, 0, 0}, 5.0f, 1.0f, 3.0f, 0.0f, 0xFF00FF00u, 0xFFFFFFFFu);
    drawBolts();
    ASSERT_EQ(device.draws.size(), 3u);
    const DrawRecord& seg = device.draws[0];
    EXPECT_EQ(seg.state(RenderState::Lighting), 0u);
    EXPECT_EQ(seg.state(RenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(seg.state(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(seg.state(RenderState::DestBlend), kBlendOne);
    EXPECT_EQ(seg.state(RenderState::ZWriteEnable), 0u);
    EXPECT_FLOAT_EQ(seg.matrix(MatrixSlot::World).m[3][0], 0.0f);
    EXPECT_EQ(seg.colour(0), 0xFF00FF00u);
    // The segment from point 0 runs to point 1 plus 0.05 along the bolt.
    EXPECT_NEAR(seg.position(0).x, 5.05f, 1e-4f);
    EXPECT_NEAR(seg.position(2).x, 0.0f, 1e-4f);
    const DrawRecord& core = device.draws[2];
    EXPECT_EQ(core.colour(0), 0xFFFFFFFFu);
    EXPECT_NEAR(std::fabs(core.position(0).y), 3.0f, 1e-4f);
}

}  // namespace
}  // namespace corsavel
