#include <gtest/gtest.h>

#include <vector>

#include "app/app_state.h"
#include "app/hooks.h"
#include "platform/pointer.h"

namespace corsavel {
namespace {

struct SpriteDraw {
    int32_t sprite;
    float x;
    float y;
    Colour colour;
};

std::vector<SpriteDraw> draws;

class CustomCursor : public ::testing::Test {
protected:
    void SetUp() override {
        draws.clear();
        hooks = AppHooks{};
        hooks.cursor.drawGuiSprite = [](int32_t sprite, float x, float y, float, Colour c) {
            draws.push_back({sprite, x, y, c});
        };
        resetAppState();
        pointer = PointerState{};
        pointer.customCursor = true;
        app.frameStepMs = 100.0f;
    }
    void TearDown() override {
        hooks = AppHooks{};
        pointer = PointerState{};
    }
};

TEST_F(CustomCursor, GlowThenArrowBelowRightOfThePointer) {
    overridePointer(10.0f, 20.0f);
    drawCustomCursor();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].sprite, 23);
    EXPECT_EQ(draws[1].sprite, 22);
    EXPECT_FLOAT_EQ(draws[0].x, 40.0f);
    EXPECT_FLOAT_EQ(draws[0].y, -12.0f);
    EXPECT_EQ(draws[1].colour, 0xFFFFFFFFu);
    // Glow alpha from the cursor clock: trunc((sin(100 * 0.005) + 1) * 127.5).
    EXPECT_EQ(draws[0].colour >> 24, 188u);
    EXPECT_FLOAT_EQ(pointer.cursorClockMs, 100.0f);
}

TEST_F(CustomCursor, OutsideTheSceneNothingDrawsAndTheClockHolds) {
    overridePointer(401.0f, 0.0f);
    drawCustomCursor();
    overridePointer(0.0f, -300.5f);
    drawCustomCursor();
    EXPECT_TRUE(draws.empty());
    EXPECT_FLOAT_EQ(pointer.cursorClockMs, 0.0f);
    overridePointer(400.0f, -300.0f);
    drawCustomCursor();
    EXPECT_EQ(draws.size(), 2u);
    EXPECT_FLOAT_EQ(pointer.cursorClockMs, 100.0f);
}

TEST_F(CustomCursor, HiddenKindDrawsNothingButTheClockRuns) {
    overridePointer(0.0f, 0.0f);
    pointer.pointerKind = 1;
    drawCustomCursor();
    EXPECT_TRUE(draws.empty());
    EXPECT_FLOAT_EQ(pointer.cursorClockMs, 100.0f);
    pointer.pointerKind = 2;
    drawCustomCursor();
    EXPECT_EQ(draws.size(), 2u);
}

TEST_F(CustomCursor, OptionOffDrawsNothing) {
    pointer.customCursor = false;
    overridePointer(0.0f, 0.0f);
    drawCustomCursor();
    EXPECT_TRUE(draws.empty());
    EXPECT_FLOAT_EQ(pointer.cursorClockMs, 0.0f);
}

}  // namespace
}  // namespace corsavel
