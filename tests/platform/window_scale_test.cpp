// Large displays: the windowed client area is the largest whole multiple of
// 800x600 that fits once the desktop is twice 800x600 both ways, and the
// pointer maps through the scaled window (and a high-density drawable) to
// the same scene coordinates.
#include <gtest/gtest.h>

#include "platform/pointer.h"
#include "platform/window.h"

namespace corsavel {
namespace {

TEST(WindowScale, DesktopsBelowTwiceTheSceneKeepTheScene) {
    EXPECT_EQ(windowScaleForDesktop(800, 600, 800, 600), 1);
    EXPECT_EQ(windowScaleForDesktop(1920, 1080, 1920, 1050), 1);
    EXPECT_EQ(windowScaleForDesktop(1599, 1200, 1599, 1200), 1);
    EXPECT_EQ(windowScaleForDesktop(3840, 1199, 3840, 1199), 1);
    // Nothing known about the desktop: the plain window.
    EXPECT_EQ(windowScaleForDesktop(0, 0, 0, 0), 1);
    EXPECT_EQ(windowScaleForDesktop(-1, 5000, 5000, 5000), 1);
}

TEST(WindowScale, LargestWholeMultipleThatFitsTheUsableArea) {
    EXPECT_EQ(windowScaleForDesktop(1600, 1200, 1600, 1200), 2);
    EXPECT_EQ(windowScaleForDesktop(2560, 1440, 2560, 1400), 2);
    EXPECT_EQ(windowScaleForDesktop(2560, 1600, 2560, 1560), 2);
    EXPECT_EQ(windowScaleForDesktop(3840, 2160, 3840, 2120), 3);
    EXPECT_EQ(windowScaleForDesktop(5120, 2880, 5120, 2840), 4);
    // The usable area decides what fits: a panel under a 1600x1200 desktop
    // leaves no room for twice the scene, so the window stays 800x600.
    EXPECT_EQ(windowScaleForDesktop(1600, 1200, 1600, 1170), 1);
    EXPECT_EQ(windowScaleForDesktop(3840, 2400, 3840, 2360), 3);
}

TEST(WindowScale, PointerMapsThroughAScaledWindow) {
    // A 2x window (1600x1200): the scene fills it, corners and centre map
    // to the scene's corners and centre, one scene unit per two pixels.
    SceneViewport v = fitSceneViewport(1600, 1200);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 1600);
    EXPECT_EQ(v.height, 1200);
    float x = 0;
    float y = 0;
    windowToScene(0, 0, v, &x, &y);
    EXPECT_FLOAT_EQ(x, -400.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
    windowToScene(800, 600, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    windowToScene(1000, 500, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 100.0f);
    EXPECT_FLOAT_EQ(y, 50.0f);
    // 3x (2400x1800), e.g. on a 3840x2160 desktop.
    v = fitSceneViewport(2400, 1800);
    windowToScene(2400, 1800, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, -300.0f);
    windowToScene(1500, 600, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 100.0f);
    EXPECT_FLOAT_EQ(y, 100.0f);
}

TEST(WindowScale, FullScreenOnALargeDisplayKeepsItsLetterbox) {
    // 3840x2160 full screen: a 2880x2160 scene between 480-pixel bars.
    SceneViewport v = fitSceneViewport(3840, 2160);
    EXPECT_EQ(v.x, 480);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 2880);
    EXPECT_EQ(v.height, 2160);
    float x = 0;
    float y = 0;
    windowToScene(480 + 1440, 1080, v, &x, &y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    windowToScene(479, 0, v, &x, &y);
    EXPECT_LT(x, -400.0f);
}

}  // namespace
}  // namespace corsavel
