#include <cstdio>

#include "app/app_state.h"
#include "app/game_main.h"
#include "app/load_steps.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/pointer.h"
#include "platform/render_device.h"
#include "platform/settings_store.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

constexpr const char* kLockFileName = "corsavel.lock";

struct RunState {
    uint32_t framePeriodMs = 16;
    uint32_t lastPassTime = 0;
};

RunState runState;

bool takeInstanceLock() {
    char path[kMaxPath];
    return userFilePath(kLockFileName, path, sizeof(path)) && acquireInstanceLock(path);
}

// Settings the window and the cursor need before the window exists.
void applyStoredSettings() {
    readSettings();
    settings.windowWidth = 800;
    settings.windowHeight = 600;
    settings.trueColour = 0;
    app.windowWidth = 800;
    app.windowHeight = 600;
    setCustomCursor(settings.customCursor);
    // The audio keeps the live volumes; the settings record stores them back.
    audio.musicVolume = settings.musicVolume;
    audio.effectsVolume = settings.effectsVolume;
}

// Window messages that arrive before a screen is current (activation while
// the window appears) are handled now, so they do not reach the intro.
void drainEarlyMessages() {
    GameMessage message;
    while (pollGameMessage(&message)) {
        if (message.kind == MessageKind::Close) {
            app.quitRequested = 1;
        } else if (message.kind != MessageKind::Activate &&
                   message.kind != MessageKind::Deactivate) {
            handleMessage(message);
        }
    }
}

// A black window at once: one cleared and presented frame.
void presentBlackFrame() {
    beginScene();
    clearTarget(0xFF000000u);
    endScene();
    presentFrame();
}

// Without vertical sync the loop waits out the rest of one display refresh
// after each pass, so it never spins a core.
void limitFrameRate() {
    uint32_t now = clockMs();
    uint32_t spent = elapsedMs(runState.lastPassTime, now);
    if (spent < runState.framePeriodMs) {
        sleepMs(runState.framePeriodMs - spent);
    }
    runState.lastPassTime = clockMs();
}

// The device starts with the stored full-screen choice, the first colour
// depth and vertical sync off.
void deviceSettingsFromRecord() {
    renderDevice.fullScreen = settings.fullScreen ? 1 : 0;
    renderDevice.trueColour = 0;
    renderDevice.verticalSync = 0;
}

}  // namespace

bool startGame(const GameOptions& options) {
    if (!initPaths(options.dataDirectory, options.userDirectory)) {
        return false;
    }
    if (options.singleInstance && !takeInstanceLock()) {
        return false;
    }
    enterDataDirectory();
    applyStoredSettings();
    deviceSettingsFromRecord();
    if (!initVideo()) {
        return false;
    }
    installCloseSignals();
    if (!options.allowOffscreen && !displayAvailable()) {
        // No display to show on: the device failure path.
        showMessageBox("Can't init Direct3D", "Initialization failed");
        return false;
    }
    if (!createGameWindow(settings.fullScreen)) {
        return false;
    }
    if (!settings.fullScreen) {
        raiseGameWindow();
    }
    if (!createDevice()) {
        return false;
    }
    if (settings.fullScreen) {
        raiseGameWindow();
    }
    int refresh = displayRefreshRate();
    runState.framePeriodMs = static_cast<uint32_t>(1000 / (refresh > 0 ? refresh : 60));
    updatePerspective();
    drainEarlyMessages();
    setCurrentScreen(&introScreen);
    presentBlackFrame();
    setAssetRegisteredHook(loadingProgress);
    loadIntroImages();
    if (pointer.customCursor) {
        applyCursorOption(false);
    }
    app.lastFrameTime = clockMs();
    runState.lastPassTime = app.lastFrameTime;
    return true;
}

void runGameLoop(const GameOptions& options) {
    GameMessage message;
    while (app.quitRequested == 0) {
        if (pollGameMessage(&message)) {
            handleMessage(message);
            continue;
        }
        runIdlePass();
        if (options.limitFrameRate && !vsyncActive() && app.appActive != 0) {
            limitFrameRate();
        }
    }
}

int shutdownGame() {
    releaseDevice();
    releaseLoadSteps();
    destroyGameWindow();
    saveAll();
    releaseCursors();
    quitVideo();
    releaseInstanceLock();
    return 0;
}

int runGame(int, char**) {
    GameOptions options;
    if (!startGame(options)) {
        destroyGameWindow();
        quitVideo();
        releaseInstanceLock();
        return 0;
    }
    runGameLoop(options);
    return shutdownGame();
}

}  // namespace corsavel
