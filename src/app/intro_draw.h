#pragma once

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

// The intro's pictures: the splash images, the loading screen with its bar
// and the "Click to continue..." caption. The first frame shows only the
// first splash: it is loaded on its own, the others after that frame is up
// (the splash shows for seconds), in the same order.
void loadFirstSplashPicture();
void loadLaterIntroPictures();
// Starts decoding the first splash on a worker thread (start-up does it
// before the window and the device are made, which takes a while). The
// others decode after the first frame: a decode beside it competes with the
// first frame's own work for the processor.
void prefetchIntroPictures();
// Puts the prefetched first splash on screen before the GL device exists
// (see showStartupPicture); false when it could not be.
bool showFirstSplashEarly(bool fullScreen);
// The loading bar's full width in scene units (pixels at 800x600).
constexpr float kLoadingBarWidth = 310.0f;
bool hasSecondSplashPicture();
// The splash pictures are shown only before the load: their textures are
// released when it starts (drawing a released splash draws nothing).
void releaseSplashPictures();
void drawSplashPicture(bool second, int32_t grey);
void drawLoadingPicture(float progress, Colour fadeColour);
void drawContinueCaption(float introTimerMs, float fadeTimerMs);

}  // namespace corsavel
