#include <cstdio>

#include "app/app_state.h"
#include "app/request_routes.h"
#include "app/screen.h"
#include "app/session_record.h"
#include "audio/audio.h"
#include "gfx/draw_clock.h"
#include "gfx/font.h"
#include "platform/clock.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr uint32_t kFrameClearColour = 0xFFC8C8FFu;

// The frame rate and the triangle count in the bottom left, then the 3D
// states restored and the count started afresh.
void drawDiagnostics() {
    begin2D();
    drawText(-360.0f, -100.0f, 10.0f, app.fpsText, false);
    char triangles[32];
    std::snprintf(triangles, sizeof(triangles), "%i TRI", renderDevice.triangleCount);
    drawText(-360.0f, -115.0f, 10.0f, triangles, false);
    updatePerspective();
    setRenderState(RenderState::AlphaBlendEnable, 0);
    setRenderState(RenderState::AlphaTestEnable, 0);
    renderDevice.triangleCount = 0;
}

void activate() {
    // Focus and restore both report activation; only a change counts, so
    // the clock restarts once and the screen is told once.
    if (app.appActive != 0) {
        return;
    }
    resumeAudio();
    app.appActive = 1;
    app.frameStepMs = 0.0f;
    app.frameDeltaMs = 0;
    app.lastFrameTime = clockMs();
    if (screens.currentScreen != nullptr) {
        screens.currentScreen->onEnter();
    }
}

void deactivate() {
    pauseAudio();
    app.appActive = 0;
}

// Closing the window during a level keeps it: the saved game is offered at
// the next start.
void close() {
    saveRunningGame();
    app.quitRequested = 1;
}

// Button and key messages assume a current screen, which start-up makes
// before the loop takes any; a missing one drops the message.
void toScreen(void (Screen::*operation)()) {
    if (screens.currentScreen != nullptr) {
        (screens.currentScreen->*operation)();
    }
}

}  // namespace

void resetAppState() {
    app = AppState{};
}

void advanceClock() {
    uint32_t now = clockMs();
    app.frameDeltaMs = elapsedMs(app.lastFrameTime, now);
    app.lastFrameTime = now;
    app.fpsAccumMs += app.frameDeltaMs;
    app.fpsFrames += 1;
    if (app.fpsAccumMs > kFpsWindowMs) {
        double fps = 1000.0 / static_cast<double>(app.fpsAccumMs) * app.fpsFrames;
        std::snprintf(app.fpsText, sizeof(app.fpsText), "%.1f FPS", fps);
        app.fpsAccumMs -= kFpsWindowMs;
        app.fpsFrames = 0;
    }
    app.frameStepMs = static_cast<float>(app.frameDeltaMs) * app.speedFactor;
}

void runFrame() {
    if (app.appActive == 0) {
        sleepMs(kInactiveSleepMs);
        return;
    }
    clearDepth(1.0f);
    clearTarget(kFrameClearColour);
    beginScene();
    if (screens.currentScreen != nullptr) {
        screens.currentScreen->render();
    }
    if (app.diagnosticsOverlay) {
        drawDiagnostics();
    }
    endScene();
    presentFrame();
    advanceClock();
    setDrawClock(app.frameStepMs, app.animationClockMs);
    if (screens.currentScreen != nullptr) {
        screens.currentScreen->update();
    }
    feedMusic();
    applyScreenSwitch();
    app.animationClockMs += app.frameStepMs;
    setDrawClock(app.frameStepMs, app.animationClockMs);
    app.frameCount += 1;
}

void handleMessage(const GameMessage& message) {
    recordMessage(message);
    Screen* screen = screens.currentScreen;
    switch (message.kind) {
        case MessageKind::Activate:
            activate();
            break;
        case MessageKind::Deactivate:
            deactivate();
            break;
        case MessageKind::Size:
            updatePerspective();
            break;
        case MessageKind::Close:
            close();
            break;
        case MessageKind::KeyDown:
            if (screen != nullptr) {
                screen->onKeyDown(message.key);
            }
            break;
        case MessageKind::MouseMove:
            toScreen(&Screen::onMouseMove);
            break;
        case MessageKind::LeftDown:
            toScreen(&Screen::onLeftDown);
            break;
        case MessageKind::LeftUp:
            toScreen(&Screen::onLeftUp);
            break;
        case MessageKind::LeftDoubleClick:
            toScreen(&Screen::onLeftDoubleClick);
            break;
        case MessageKind::RightDown:
            toScreen(&Screen::onRightDown);
            break;
        case MessageKind::RightUp:
            toScreen(&Screen::onRightUp);
            break;
        case MessageKind::MiddleDown:
            toScreen(&Screen::onMiddleDown);
            break;
        case MessageKind::MiddleUp:
        case MessageKind::None:
            break;
    }
}

void runIdlePass() {
    recordFramePass();
    runFrame();
    if (app.loadAllPending) {
        loadAll();
        app.diagnosticsOverlay = false;
        app.loadAllPending = false;
    }
}

}  // namespace corsavel
