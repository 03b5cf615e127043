#include "gfx/sprite_sheet.h"

#include <gtest/gtest.h>

#include "gfx/draw_clock.h"
#include "gfx/texture.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

class SpriteSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        releaseAllTextures();
        sheetTexture = createTexture("ss_sheet", 256, 128, 0, false);
        sheet.texture = sheetTexture;
        sheet.frameCount = 32;
        sheet.setMetrics(48.4f, 90);
    }
    void TearDown() override {
        releaseAllTextures();
        device.uninstall();
    }
    RecordingDevice device;
    SpriteSheet sheet;
    TextureEntry* sheetTexture = nullptr;
};

TEST(SpriteFrames, GridIsEightByFour) {
    UvRect r = spriteFrameRect(11);
    EXPECT_FLOAT_EQ(r.uMin, 0.375f);
    EXPECT_FLOAT_EQ(r.vMin, 0.25f);
    EXPECT_FLOAT_EQ(r.uMax, 0.5f);
    EXPECT_FLOAT_EQ(r.vMax, 0.5f);
    EXPECT_FLOAT_EQ(spriteFrameRect(31).vMin, 0.75f);
}

TEST_F(SpriteSheetTest, ClockLoopRepeatsEvery2880Ms) {
    EXPECT_EQ(sheet.clockFrame(0.0f), 0);
    EXPECT_EQ(sheet.clockFrame(89.0f), 0);
    EXPECT_EQ(sheet.clockFrame(90.0f), 1);
    EXPECT_EQ(sheet.clockFrame(2879.0f), 31);
    EXPECT_EQ(sheet.clockFrame(2880.0f), 0);
    sheet.timeOffsetMs = 180;
    EXPECT_EQ(sheet.clockFrame(0.0f), 2);
    sheet.frameCount = 0;
    EXPECT_EQ(sheet.clockFrame(5000.0f), 0);
    EXPECT_EQ(sheet.frameCount, 1);
}

TEST_F(SpriteSheetTest, DrawUsesClockFrameSizeDeltaAndBlend) {
    setDrawClock(16.0f, 95.0f);
    sheet.draw(10.0f, 20.0f, -1, 0xFFFFFFFFu, 1.6f, 0.0f);
    ASSERT_EQ(device.draws.size(), 1u);
    const DrawRecord& r = device.draws[0];
    EXPECT_EQ(r.texture, sheetTexture->texture);
    EXPECT_EQ(r.state(RenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(r.state(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_FLOAT_EQ(r.position(0).x, 35.0f);
    EXPECT_FLOAT_EQ(r.position(0).y, 45.0f);
    EXPECT_FLOAT_EQ(r.u(0), 0.25f);
    EXPECT_FLOAT_EQ(r.position(0).z, 0.0f);
    sheet.draw(0.0f, 0.0f, 9, 0xFFFFFFFFu, 0.0f, 90.0f);
    const DrawRecord& rot = device.draws[1];
    EXPECT_NEAR(rot.position(0).x, -24.2f, 1e-4f);
    EXPECT_FLOAT_EQ(rot.v(0), 0.25f);
    setDrawClock(0.0f, 0.0f);
}

TEST_F(SpriteSheetTest, LoadingAMissingFileFails) {
    SpriteSheet fresh;
    EXPECT_TRUE(fresh.loaded);
    EXPECT_FALSE(fresh.load("ss_missing.tga", 32));
    EXPECT_FALSE(fresh.loaded);
    EXPECT_EQ(fresh.frameMs, 30);
    fresh.draw(0.0f, 0.0f, 0, 0xFFFFFFFFu, 0.0f, 0.0f);
    EXPECT_TRUE(device.draws.empty());
}

}  // namespace
}  // namespace corsavel
