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

TEST(PointerMapping, FullScreenAtFourByThreeFillsTheDisplay) {
    SceneViewport v = fitSceneViewport(1024, 768);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 1024);
    EXPECT_EQ(v.height, 768);
    float x = 0;
    float y = 0;
    windowToScene(1024, 0, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
    windowToScene(128, 96, v, &x, &y);
    EXPECT_FLOAT_EQ(x, -300.0f);
    EXPECT_FLOAT_EQ(y, 225.0f);
}

TEST(PointerMapping, WideFullScreenKeepsItsLetterbox) {
    // 1280x800: a 1066x800 scene between 107-pixel bars.
    SceneViewport v = fitSceneViewport(1280, 800);
    EXPECT_EQ(v.x, 107);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 1066);
    EXPECT_EQ(v.height, 800);
    float x = 0;
    float y = 0;
    windowToScene(107 + 1066, 800, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, -300.0f);
}

TEST(PointerMapping, RefusedFullScreenMapsTheWindowItReallyGot) {
    // Full screen was asked on a 1024x768 display but the window stayed
    // 800x600: the scene and the pointer use the 800x600 drawable.
    SceneViewport v = fitSceneViewport(800, 600);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 800);
    EXPECT_EQ(v.height, 600);
    float x = 0;
    float y = 0;
    windowToScene(799, 0, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 399.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
    windowToScene(100, 500, v, &x, &y);
    EXPECT_FLOAT_EQ(x, -300.0f);
    EXPECT_FLOAT_EQ(y, -200.0f);
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
