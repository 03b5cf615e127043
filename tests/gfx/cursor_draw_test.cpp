#include "gfx/cursor_draw.h"

#include <gtest/gtest.h>

#include "gfx/draw_clock.h"
#include "gfx/gui_sprites.h"
#include "gfx/texture.h"
#include "platform/pointer.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

class CursorDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        releaseAllTextures();
        setMenuTexture(nullptr);
        cursorDraw = CursorDrawState{};
        setCustomCursor(true);
        setPointerKind(0);
        setDrawClock(100.0f, 0.0f);
        overridePointer(10.0f, 20.0f);
    }
    void TearDown() override {
        clearPointerOverride();
        setCustomCursor(false);
        setMenuTexture(nullptr);
        releaseAllTextures();
        setDrawClock(0.0f, 0.0f);
        device.uninstall();
    }
    RecordingDevice device;
};

TEST(GuiSprites, CellRectanglesAreInsetGridCells) {
    UvRect r = guiCellUv(22);
    EXPECT_FLOAT_EQ(r.uMin, 0.753f);
    EXPECT_FLOAT_EQ(r.vMin, 0.878f);
    EXPECT_FLOAT_EQ(r.uMax, 0.997f);
    EXPECT_FLOAT_EQ(r.vMax, 0.997f);
    UvRect wide = guiCellUv(10);
    EXPECT_FLOAT_EQ(wide.uMax, 0.497f);
    EXPECT_EQ(guiCell(13).height, 2);
    EXPECT_EQ(guiCell(24).width, 0);
}

TEST_F(CursorDrawTest, DrawsGlowThenSolidAtTheAnchor) {
    TextureEntry* atlas = createTexture("menutex.tga", 256, 512, 0, false);
    ASSERT_NE(atlas, nullptr);
    drawCustomCursor();
    ASSERT_EQ(device.draws.size(), 2u);
    const DrawRecord& glow = device.draws[0];
    EXPECT_EQ(glow.texture, atlas->texture);
    // Centred at (40, -12), 64 units square, depth 30.
    EXPECT_FLOAT_EQ(glow.position(0).x, 72.0f);
    EXPECT_FLOAT_EQ(glow.position(0).y, 20.0f);
    EXPECT_FLOAT_EQ(glow.position(0).z, 30.0f);
    EXPECT_FLOAT_EQ(glow.u(0), guiCellUv(23).uMax);
    int alpha = static_cast<int>((std::sin(100.0f * 0.005f) + 1.0f) * 127.5f);
    EXPECT_EQ(glow.colour(0), makeColour(alpha, 255, 255, 255));
    EXPECT_EQ(device.draws[1].colour(0), 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(device.draws[1].u(0), guiCellUv(22).uMax);
    EXPECT_FLOAT_EQ(cursorDraw.cursorClockMs, 100.0f);
}

TEST_F(CursorDrawTest, OutsideTheSceneTheClockStops) {
    createTexture("menutex.tga", 256, 512, 0, false);
    overridePointer(401.0f, 0.0f);
    drawCustomCursor();
    EXPECT_TRUE(device.draws.empty());
    EXPECT_FLOAT_EQ(cursorDraw.cursorClockMs, 0.0f);
    overridePointer(0.0f, 0.0f);
    drawCustomCursor();
    EXPECT_FLOAT_EQ(cursorDraw.cursorClockMs, 100.0f);
}

TEST_F(CursorDrawTest, HiddenKindOptionOffAndMissingAtlasDrawNothing) {
    drawCustomCursor();
    EXPECT_TRUE(device.draws.empty());
    createTexture("menutex.tga", 256, 512, 0, false);
    setPointerKind(1);
    drawCustomCursor();
    EXPECT_TRUE(device.draws.empty());
    EXPECT_FLOAT_EQ(cursorDraw.cursorClockMs, 200.0f);
    setPointerKind(2);
    setCustomCursor(false);
    drawCustomCursor();
    EXPECT_TRUE(device.draws.empty());
    setCustomCursor(true);
    drawCustomCursor();
    EXPECT_EQ(device.draws.size(), 2u);
}

}  // namespace
}  // namespace corsavel
