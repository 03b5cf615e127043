#include <gtest/gtest.h>

#include "gfx/font.h"
#include "gfx/text_effects.h"
#include "platform/primitives.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

using namespace corsavel;

namespace {

Font makeFont() {
    Font font;
    font.cellsPerRow = 16;
    font.cellUV = 1.0f / 16.0f;
    for (int c = 0; c < 256; ++c) {
        font.advance[c] = 1.0f;
        font.cell[c] = static_cast<uint8_t>(c);
    }
    font.advance['W'] = 2.0f;
    return font;
}

class TextDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        setTint(1.0f, 1.0f, 1.0f, 1.0f);
        resetTextState();
        ASSERT_TRUE(addFont(makeFont()));
        textEffects = TextEffectsState{};
    }
    void TearDown() override {
        setTint(1.0f, 1.0f, 1.0f, 1.0f);
        device.uninstall();
        resetTextState();
        textEffects = TextEffectsState{};
    }

    // Centre of the glyph quad of draw i.
    Vec3 centre(size_t i) const {
        const DrawRecord& d = device.draws.at(i);
        Vec3 a = d.position(0);
        Vec3 b = d.position(3);
        return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, a.z};
    }

    RecordingDevice device;
};

}  // namespace

TEST_F(TextDrawing, LeftAlignedTextStartsWithTheFirstGlyphCentredOnX) {
    drawText(0.0f, 100.0f, 10.0f, "AW", false);
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_FLOAT_EQ(centre(0).x, 0.0f);
    EXPECT_FLOAT_EQ(centre(0).y, 100.0f);
    EXPECT_FLOAT_EQ(centre(0).z, kTextDepth);
    EXPECT_FLOAT_EQ(centre(1).x, 15.0f);
    EXPECT_FLOAT_EQ(textState.pen.x, 0.0f);
    EXPECT_FLOAT_EQ(textState.textSize, 10.0f);
}

TEST_F(TextDrawing, GlyphQuadIsAStripOfItsCell) {
    setTextColour(200, 100, 50, 255);
    drawText(10.0f, 20.0f, 10.0f, "A", false);
    ASSERT_EQ(device.draws.size(), 1u);
    const DrawRecord& d = device.draws[0];
    EXPECT_EQ(d.type, PrimitiveType::TriangleStrip);
    EXPECT_EQ(d.primitiveCount, 2);
    EXPECT_EQ(d.formatFlags, kFormatColoured);
    // Top-left, top-right, bottom-left, bottom-right; 20 wide, 18 high.
    EXPECT_FLOAT_EQ(d.position(0).x, 0.0f);
    EXPECT_FLOAT_EQ(d.position(0).y, 29.0f);
    EXPECT_FLOAT_EQ(d.position(1).x, 20.0f);
    EXPECT_FLOAT_EQ(d.position(2).y, 11.0f);
    EXPECT_FLOAT_EQ(d.position(3).x, 20.0f);
    EXPECT_FLOAT_EQ(d.position(3).y, 11.0f);
    // 'A' is cell 65: column 1, row 4.
    EXPECT_FLOAT_EQ(d.u(0), 1.0f / 16.0f);
    EXPECT_FLOAT_EQ(d.v(0), 4.0f / 16.0f);
    EXPECT_FLOAT_EQ(d.u(3), 2.0f / 16.0f);
    EXPECT_FLOAT_EQ(d.v(3), 5.0f / 16.0f);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(d.colour(k), makeColour(255, 200, 100, 50));
    }
}

TEST_F(TextDrawing, GlyphColoursAreTinted) {
    setTint(1.0f, 1.0f, 1.0f, 0.5f);
    drawText(0.0f, 0.0f, 10.0f, "A", false);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].colour(0) >> 24, 127u);
}

TEST_F(TextDrawing, CentredSecondLineShiftsByHalfItsFirstAdvance) {
    drawText(0.0f, 0.0f, 10.0f, "WA", true);
    ASSERT_EQ(device.draws.size(), 2u);
    float singleFirst = centre(0).x;
    device.draws.clear();
    drawTextCentred(0.0f, 0.0f, 10.0f, "A\nWA");
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_FLOAT_EQ(centre(1).x - singleFirst, 10.0f);
    EXPECT_FLOAT_EQ(centre(1).y, -18.0f);
}

TEST_F(TextDrawing, TrianglesAreCounted) {
    renderDevice.triangleCount = 0;
    drawText(0.0f, 0.0f, 10.0f, "ABC", false);
    EXPECT_EQ(renderDevice.triangleCount, 6);
}

TEST_F(TextDrawing, RotatedGlyphSwapsItsExtent) {
    drawGlyph('A', 50.0f, 60.0f, 90.0f, 10.0f, 0xFF00FF00u);
    ASSERT_EQ(device.draws.size(), 1u);
    const DrawRecord& d = device.draws[0];
    // The top-left corner (-10, +9) turns to (-9, -10) about the centre.
    EXPECT_NEAR(d.position(0).x, 41.0f, 1e-4f);
    EXPECT_NEAR(d.position(0).y, 50.0f, 1e-4f);
    EXPECT_FLOAT_EQ(d.position(0).z, kGlyphDepth);
    EXPECT_EQ(d.colour(0), 0xFF00FF00u);
}

TEST_F(TextDrawing, HighlightedTextAddsAnAdditiveBarAndRestoresBlending) {
    drawTextHighlighted(0.0f, 0.0f, 10.0f, 0x80FFFFFFu, "AA", true);
    ASSERT_EQ(device.draws.size(), 3u);
    // Centred: x moves left by w / 2 - size / 2 = 5, so the first glyph is at -5.
    EXPECT_FLOAT_EQ(centre(0).x, -5.0f);
    const DrawRecord& bar = device.draws[2];
    EXPECT_EQ(bar.state(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(bar.state(RenderState::DestBlend), kBlendOne);
    EXPECT_EQ(bar.state(RenderState::AlphaTestEnable), 0u);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int k = 0; k < 4; ++k) {
        Vec3 p = bar.position(k);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
        EXPECT_FLOAT_EQ(p.z, 45.0f);
        EXPECT_EQ(bar.colour(k), 0x80FFFFFFu);
    }
    EXPECT_FLOAT_EQ(minX, -5.0f + 2.0f - 30.0f);
    EXPECT_FLOAT_EQ(maxX, -5.0f + 2.0f + 20.0f + 10.0f);
    EXPECT_FLOAT_EQ(maxY, 15.0f);
    EXPECT_FLOAT_EQ(minY, -5.0f);
    EXPECT_EQ(renderStateValue(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(renderStateValue(RenderState::DestBlend), kBlendInvSrcAlpha);
    EXPECT_NE(renderStateValue(RenderState::AlphaTestEnable), 0u);
}

TEST_F(TextDrawing, FlyingLettersScaleTheirPositionAndFadeIn) {
    addFlyingText("AA", 100.0f, 0.0f, 10.0f);
    // Letter 0 starts at 6000 (drawn, invisible, four times its size); letter 1
    // lives 40 ms longer and waits.
    drawFlyingText();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].colour(0) >> 24, 0u);
    EXPECT_FLOAT_EQ(centre(0).x, 90.0f * 4.0f);
    device.draws.clear();
    // Letter 0 at life 5500: alpha 127, scale 2.25.
    textEffectsTick(500.0f);
    drawFlyingText();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_FLOAT_EQ(centre(0).x, 90.0f * 2.25f);
    EXPECT_EQ(device.draws[0].colour(0), makeColour(127, 255, 255, 255));
    EXPECT_FLOAT_EQ(device.draws[0].position(1).x - device.draws[0].position(0).x,
                    2.0f * 10.0f * 2.25f);
    EXPECT_FLOAT_EQ(centre(0).z, kGlyphDepth);
}

TEST_F(TextDrawing, PopupsAndBannerDrawCentredText) {
    addPopup("AB", 0.0f, 50.0f, 10.0f, 1000.0f);
    drawPopups();  // life 2000: scale 0, still drawn
    textEffectsTick(300.0f);
    drawPopups();  // life 1400: scale 1
    ASSERT_EQ(device.draws.size(), 4u);
    EXPECT_FLOAT_EQ(centre(2).x, -5.0f);
    EXPECT_FLOAT_EQ(centre(2).y, 50.0f);
    EXPECT_EQ(device.draws[2].colour(0) >> 24, 255u);
    device.draws.clear();
    showBanner("A");
    drawBanner();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_FLOAT_EQ(centre(0).y, -310.0f);
    EXPECT_FLOAT_EQ(centre(0).z, kTextDepth);
}
