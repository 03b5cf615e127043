#include <cmath>

#include "app/app_state.h"
#include "app/hooks.h"
#include "app/screen.h"

namespace corsavel {

IntroState intro;

namespace {

// The splash phase: draw the current splash, advance its timer, and at its
// end either show the second splash or ask for the one-time load.
void runSplashPhase() {
    if (hooks.device.clearTarget != nullptr) {
        hooks.device.clearTarget(0xFF000000u);
    }
    float k = intro.splashTimerMs <= 3000.0f ? 1.0f : (kSplashMs - intro.splashTimerMs) / 1000.0f;
    int32_t grey = static_cast<int32_t>(k * 255.0f);
    if (hooks.intro.drawSplash != nullptr) {
        hooks.intro.drawSplash(intro.showingSecondSplash, grey);
    }
    intro.splashTimerMs += app.frameStepMs;
    if (intro.splashTimerMs >= kSplashMs) {
        if (intro.showingSecondSplash || !intro.hasSecondSplash) {
            app.loadAllPending = true;
        } else {
            intro.showingSecondSplash = true;
            intro.splashTimerMs = 0.0f;
        }
    }
}

void drawLoadingScreen() {
    if (hooks.intro.drawLoadingScreen != nullptr) {
        hooks.intro.drawLoadingScreen(loadingFraction(), intro.fadeColour);
    }
}

// After loading: "Click to continue..." until a key or click starts the
// fade, then the fade to black and the hand-over to the menus.
void runContinuePhase() {
    if (!intro.introStarted) {
        if (hooks.audio.startMusic != nullptr) {
            hooks.audio.startMusic(0);
        }
        intro.introStarted = true;
    }
    intro.introTimerMs += app.frameStepMs;
    if (intro.fadeTimerMs > 0.0f) {
        intro.fadeTimerMs += app.frameStepMs;
        if (intro.fadeTimerMs > kFadeMs) {
            intro.fadeTimerMs = kFadeMs;
            requestScreen(&menuScreen);
            if (hooks.audio.changeMusic != nullptr) {
                hooks.audio.changeMusic(0);
            }
            if (hooks.intro.openFirstMenuPage != nullptr) {
                hooks.intro.openFirstMenuPage();
            }
        }
    }
    int grey = static_cast<int>(255.0f - intro.fadeTimerMs / kFadeMs * 255.0f);
    intro.fadeColour = makeColour(255, grey, grey, grey);
    if (hooks.device.clearTarget != nullptr) {
        hooks.device.clearTarget(0xFF000000u);
    }
    drawLoadingScreen();
    if (hooks.intro.drawClickToContinue != nullptr) {
        hooks.intro.drawClickToContinue(intro.introTimerMs, intro.fadeTimerMs);
    }
}

}  // namespace

float loadingFraction() {
    return intro.introStarted ? 1.0f : intro.loadedBytes / kLoadTotalBytes;
}

void loadIntroImages() {
    intro.fadeColour = 0xFFFFFFFFu;
    if (hooks.intro.loadIntroImages != nullptr) {
        hooks.intro.loadIntroImages();
    }
    intro.hasSecondSplash = hooks.intro.hasSecondSplash != nullptr && hooks.intro.hasSecondSplash();
}

void loadingProgress(int32_t size) {
    if (app.loadAllPending) {
        if (hooks.device.beginScene != nullptr) {
            hooks.device.beginScene();
        }
        drawLoadingScreen();
        if (hooks.device.endScene != nullptr) {
            hooks.device.endScene();
        }
        if (hooks.device.presentFrame != nullptr) {
            hooks.device.presentFrame();
        }
    }
    intro.loadedBytes += static_cast<float>(size);
}

void IntroScreen::onEnter() {
    intro.fadeTimerMs = 1.0f;
}

void IntroScreen::update() {
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
    if (intro.splashTimerMs < kSplashMs) {
        runSplashPhase();
    } else {
        runContinuePhase();
    }
}

void IntroScreen::onKeyDown(int32_t virtualKey) {
    lastKey = virtualKey;
}

void IntroScreen::onLeftDown() {
    lastKey = 13;
}

}  // namespace corsavel
