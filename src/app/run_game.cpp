#include <cstdio>

#include "app/app_state.h"
#include "app/game_main.h"
#include "app/hooks.h"
#include "app/ingame_pages.h"
#include "app/intro_draw.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/pointer.h"
#include "platform/settings_store.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

#include "resources/text_table.h"

#include "game/game_draw.h"
#include "gfx/font.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr const char* kLockFileName = "corsavel.lock";

struct RunState {
    uint32_t framePeriodMs = 16;
    uint32_t lastPassTime = 0;
};

RunState runState;

void call(void (*hook)()) {
    if (hook != nullptr) {
        hook();
    }
}

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
    // The audio keeps the live volumes; shutdown stores them back.
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
    call(hooks.device.beginScene);
    if (hooks.device.clearTarget != nullptr) {
        hooks.device.clearTarget(0xFF000000u);
    }
    call(hooks.device.endScene);
    if (hooks.device.presentFrame != nullptr) {
        hooks.device.presentFrame();
    }
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

void presentWindow() {
    swapGameWindow();
}

// The sound bank: the device opens first (silent when there is none).
void loadAllSounds() {
    initAudio();
    loadSounds();
}

void startMusic(int32_t theme) {
    switchMusic(theme);
}
void changeMusic(int32_t theme) {
    requestMusic(theme);
}
void updateMusic() {
    updateAudio(app.frameStepMs);
}

// Step 9's models bring the game's one font and the board's images with them.
void loadModelsAndFont() {
    loadFont("font");
    loadBoardTextures();
    loadHudTextures();
    loadGoldBox();
}

void loadTextTables() {
    loadTextTable("strings.txt");
    loadTextTable("tips.txt");
}

// The device starts with the stored full-screen choice, the first colour
// depth and vertical sync off.
void deviceSettingsFromRecord() {
    renderDevice.fullScreen = settings.fullScreen ? 1 : 0;
    renderDevice.trueColour = 0;
    renderDevice.verticalSync = 0;
}

// The options page changes the device's choices; the record stores them.
void recordSettingsFromDevice() {
    settings.fullScreen = renderDevice.fullScreen != 0;
    settings.resolutionIndex = renderDevice.resolutionIndex;
    settings.trueColour = renderDevice.trueColour;
}

void drawDiagnostics(const char* fpsText) {
    begin2D();
    drawText(-360.0f, -100.0f, 10.0f, fpsText, false);
    char triangles[32];
    std::snprintf(triangles, sizeof(triangles), "%i TRI", renderDevice.triangleCount);
    drawText(-360.0f, -115.0f, 10.0f, triangles, false);
    updatePerspective();
    setRenderState(RenderState::AlphaBlendEnable, 0);
    setRenderState(RenderState::AlphaTestEnable, 0);
    renderDevice.triangleCount = 0;
}
// The menu frame's states: blended, alpha-tested 2D in an orthographic
// 800x600 view from a camera 120 units back, no depth test, no culling.
void beginMenuFrame() {
    enableFeature(4);
    setBlendMode(0);
    disableFeature(1);
    enableFeature(5);
    setRenderState(RenderState::AlphaRef, 1);
    disableFeature(0);
    enableFeature(3);
    resetCamera();
    moveCamera(0.0f, 0.0f, 120.0f);
    setWorld(nullptr);
    setView(&renderDevice.cameraMatrix);
    updateFrustum();
    setRenderState(RenderState::CullMode, kCullNone);
}

void endMenuFrame() {
    disableFeature(5);
    setBlendMode(0);
}

}  // namespace

void installDefaultHooks() {
    hooks.device.presentFrame = presentWindow;
    hooks.device.createDevice = createDevice;
    hooks.device.releaseDevice = releaseDevice;
    hooks.device.clearTarget = clearTarget;
    hooks.device.clearDepth = clearDepth;
    hooks.device.beginScene = beginScene;
    hooks.device.endScene = endScene;
    hooks.device.presentFrame = presentFrame;
    hooks.device.updatePerspective = updatePerspective;
    hooks.device.drawDiagnostics = drawDiagnostics;
    hooks.menu.beginMenuFrame = beginMenuFrame;
    hooks.intro.loadIntroImages = loadIntroPictures;
    hooks.intro.hasSecondSplash = hasSecondSplashPicture;
    hooks.intro.drawSplash = drawSplashPicture;
    hooks.intro.drawLoadingScreen = drawLoadingPicture;
    hooks.intro.drawClickToContinue = drawContinueCaption;
    hooks.menu.endMenuFrame = endMenuFrame;
    hooks.load.loadTextTables = loadTextTables;
    hooks.load.loadSounds = loadAllSounds;
    hooks.load.loadModels = loadModelsAndFont;
    hooks.audio.startMusic = startMusic;
    hooks.audio.changeMusic = changeMusic;
    hooks.audio.updateMusic = updateMusic;
    hooks.load.freeTextTables = freeTextTables;
    hooks.gameplay.render = gameplayDraw;
    installGameplayHooks();
    installGameplayDrawServices();
}

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
    if (hooks.device.createDevice != nullptr && !hooks.device.createDevice()) {
        return false;
    }
    if (settings.fullScreen) {
        raiseGameWindow();
    }
    int refresh = displayRefreshRate();
    runState.framePeriodMs = static_cast<uint32_t>(1000 / (refresh > 0 ? refresh : 60));
    call(hooks.device.updatePerspective);
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
    call(hooks.device.releaseDevice);
    shutdownAudio();
    call(hooks.load.freeTextTables);
    destroyGameWindow();
    recordSettingsFromDevice();
    settings.musicVolume = audio.musicVolume;
    settings.effectsVolume = audio.effectsVolume;
    if (hooks.load.saveAll != nullptr) {
        hooks.load.saveAll();
    } else {
        writeSettings();
    }
    releaseCursors();
    quitVideo();
    releaseInstanceLock();
    return 0;
}

int runGame(int, char**) {
    installDefaultHooks();
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
