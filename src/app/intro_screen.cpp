#include <cmath>

#include "app/app_state.h"
#include "app/intro_draw.h"
#include "app/load_steps.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/render_device.h"
#include "ui/menu.h"
#include "ui/profiles.h"

namespace corsavel {

IntroState intro;

namespace {

LoadingRedrawGate loadingRedraw;

// The splash phase: the current splash's timer runs, and at its end either
// the second splash shows or the one-time load is asked for.
void splashTick() {
    intro.splashTimerMs += app.frameStepMs;
    if (intro.splashTimerMs >= kSplashMs) {
        if (intro.showingSecondSplash || !intro.hasSecondSplash) {
            app.loadAllPending = true;
            releaseSplashPictures();
        } else {
            intro.showingSecondSplash = true;
            intro.splashTimerMs = 0.0f;
        }
    }
}

// After loading: the intro tune, "Click to continue..." until a key or click
// starts the fade, then the fade to black and the hand-over to the menus.
void continueTick() {
    if (!intro.introStarted) {
        switchMusic(0);
        intro.introStarted = true;
    }
    intro.introTimerMs += app.frameStepMs;
    if (intro.fadeTimerMs > 0.0f) {
        intro.fadeTimerMs += app.frameStepMs;
        if (intro.fadeTimerMs > kFadeMs) {
            intro.fadeTimerMs = kFadeMs;
            requestScreen(&menuScreen);
            requestMusic(0);
            // A first run names its profile before anything else.
            openPageByName(profileTable.count > 0 ? "main" : "newprofile");
        }
    }
    const int grey = static_cast<int>(255.0f - intro.fadeTimerMs / kFadeMs * 255.0f);
    intro.fadeColour = makeColour(255, grey, grey, grey);
}

}  // namespace

float loadingFraction() {
    return intro.introStarted ? 1.0f : intro.loadedBytes / kLoadTotalBytes;
}

void loadIntroImages() {
    intro.fadeColour = 0xFFFFFFFFu;
    loadFirstSplashPicture();
    intro.laterPicturesPending = true;
}

// While the one-time load runs, registered assets redraw the loading screen
// so that the bar moves (as often as the display can show it).
void loadingProgress(int32_t size) {
    if (app.loadAllPending &&
        loadingRedraw.due(loadingFraction(), kLoadingBarWidth, systemClockMs())) {
        beginScene();
        drawLoadingPicture(loadingFraction(), intro.fadeColour);
        endScene();
        presentFrame();
    }
    intro.loadedBytes += static_cast<float>(size);
}

void IntroScreen::onEnter() {
    intro.fadeTimerMs = 1.0f;
}

// The timers run first, then a key or click: during a splash it skips to
// the splash's last half second, afterwards it starts the fade.
void IntroScreen::update() {
    if (intro.laterPicturesPending) {
        intro.laterPicturesPending = false;
        loadLaterIntroPictures();
        intro.hasSecondSplash = hasSecondSplashPicture();
    }
    if (intro.splashTimerMs < kSplashMs) {
        splashTick();
    } else {
        continueTick();
    }
    if (lastKey != 0) {
        if (intro.splashTimerMs < kSplashSkipMs) {
            intro.splashTimerMs = kSplashSkipMs;
        } else if (intro.fadeTimerMs == 0.0f) {
            intro.fadeTimerMs = 1.0f;
        }
    }
    lastKey = 0;
}

void IntroScreen::render() {
    clearTarget(0xFF000000u);
    if (intro.splashTimerMs < kSplashMs) {
        const float k =
            intro.splashTimerMs <= 3000.0f ? 1.0f : (kSplashMs - intro.splashTimerMs) / 1000.0f;
        drawSplashPicture(intro.showingSecondSplash, static_cast<int32_t>(k * 255.0f));
    } else {
        drawLoadingPicture(loadingFraction(), intro.fadeColour);
        drawContinueCaption(intro.introTimerMs, intro.fadeTimerMs);
    }
}

void IntroScreen::onKeyDown(int32_t virtualKey) {
    lastKey = virtualKey;
}

void IntroScreen::onLeftDown() {
    lastKey = vk::kEnter;
}

}  // namespace corsavel
