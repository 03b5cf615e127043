#include "platform/pointer.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace corsavel {
namespace {

TEST(PointerMapping, WindowedClientSpansTheScene) {
    SceneViewport v = fitSceneViewport(800, 600);
    float x = 0;
    float y = 0;
    windowToScene(0, 0, v, &x, &y);
    EXPECT_FLOAT_EQ(x, -400.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
    windowToScene(400, 300, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    windowToScene(800, 600, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, -300.0f);
}

TEST(PointerMapping, LetterboxedFullScreenMapsThroughTheViewport) {
    // 1920x1080: a 1440x1080 scene between 240-pixel bars.
    SceneViewport v = fitSceneViewport(1920, 1080);
    EXPECT_EQ(v.x, 240);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 1440);
    EXPECT_EQ(v.height, 1080);
    float x = 0;
    float y = 0;
    windowToScene(240, 0, v, &x, &y);
    EXPECT_FLOAT_EQ(x, -400.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
    windowToScene(960, 540, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    // In the bars the values run past the scene's edges.
    windowToScene(0, 1080, v, &x, &y);
    EXPECT_LT(x, -400.0f);
    EXPECT_FLOAT_EQ(y, -300.0f);
}

TEST(PointerMapping, TallDisplayGetsBarsAboveAndBelow) {
    SceneViewport v = fitSceneViewport(1024, 1280);
    EXPECT_EQ(v.width, 1024);
    EXPECT_EQ(v.height, 768);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 256);
    float x = 0;
    float y = 0;
    windowToScene(1024, 256 + 768, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, -300.0f);
}

TEST(PointerMapping, StretchedWindowStillSpansTheScene) {
    SceneViewport v{0, 0, 1000, 500};
    float x = 0;
    float y = 0;
    windowToScene(1000, 0, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
}

TEST(PointerKind, StoredWithOrWithoutTheCustomCursor) {
    setCustomCursor(true);
    setPointerKind(2);
    EXPECT_EQ(pointerKind(), 2);
    setCustomCursor(false);
    setPointerKind(1);
    EXPECT_EQ(pointerKind(), 1);
    setPointerKind(0);
    EXPECT_EQ(pointerKind(), 0);
}

TEST(PointerOverride, HarnessPositionWins) {
    overridePointer(123.0f, -45.0f);
    float x = 0;
    float y = 0;
    pointerPosition(&x, &y);
    EXPECT_FLOAT_EQ(x, 123.0f);
    EXPECT_FLOAT_EQ(y, -45.0f);
    clearPointerOverride();
}

uint32_t fakeNow = 0;
uint32_t fakeClock() {
    return fakeNow;
}

TEST(Clock, InjectedSourceAndWrapArithmetic) {
    setClockSource(fakeClock);
    fakeNow = 0xFFFFFFF0u;
    uint32_t before = clockMs();
    fakeNow = 0x10u;
    EXPECT_EQ(elapsedMs(before, clockMs()), 0x20u);
    setClockSource(nullptr);
}

}  // namespace
}  // namespace corsavel
