#include <cstdio>

#include "app/app_state.h"
#include "app/hooks.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "gfx/draw_clock.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

constexpr uint32_t kFrameClearColour = 0xFFC8C8FFu;

void call(void (*hook)()) {
    if (hook != nullptr) {
        hook();
    }
}

void present() {
    if (hooks.device.presentFrame != nullptr) {
        hooks.device.presentFrame();
    }
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

void close() {
    call(hooks.load.saveGameInProgress);
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
    if (hooks.device.clearDepth != nullptr) {
        hooks.device.clearDepth(1.0f);
    }
    if (hooks.device.clearTarget != nullptr) {
        hooks.device.clearTarget(kFrameClearColour);
    }
    call(hooks.device.beginScene);
    if (screens.currentScreen != nullptr) {
        screens.currentScreen->render();
    }
    if (app.diagnosticsOverlay && hooks.device.drawDiagnostics != nullptr) {
        hooks.device.drawDiagnostics(app.fpsText);
    }
    call(hooks.device.endScene);
    present();
    advanceClock();
    setDrawClock(app.frameStepMs, app.animationClockMs);
    if (screens.currentScreen != nullptr) {
        screens.currentScreen->update();
    }
    applyScreenSwitch();
    app.animationClockMs += app.frameStepMs;
    setDrawClock(app.frameStepMs, app.animationClockMs);
    app.frameCount += 1;
}

void handleMessage(const GameMessage& message) {
    Screen* screen = screens.currentScreen;
    switch (message.kind) {
        case MessageKind::Activate:
            activate();
            break;
        case MessageKind::Deactivate:
            deactivate();
            break;
        case MessageKind::Size:
            call(hooks.device.updatePerspective);
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

bool loadAll() {
    seedRandom(app.fixedSeed ? app.seed : clockMs());
    loadArchive("targa.dat");
    loadArchive("jpeg.dat");
    loadArchive("texts.dat");
    call(hooks.load.loadTextTables);
    if (enterSettingsDirectory()) {
        call(hooks.load.loadSettingsTables);
    }
    leaveSettingsDirectory();
    call(hooks.load.loadEffects);
    call(hooks.load.loadBackgrounds);
    call(hooks.load.loadMenus);
    call(hooks.load.loadGuiTextures);
    call(hooks.load.loadSounds);
    call(hooks.load.loadModels);
    call(hooks.load.loadLevelPacks);
    call(hooks.load.loadMap);
    setCurrentScreen(&introScreen);
    releaseAssetByName("targa.dat");
    releaseAssetByName("jpeg.dat");
    releaseAssetByName("texts.dat");
    app.loadAllCount += 1;
    return true;
}

void runIdlePass() {
    runFrame();
    if (app.loadAllPending) {
        loadAll();
        app.diagnosticsOverlay = false;
        app.loadAllPending = false;
    }
}

}  // namespace corsavel
