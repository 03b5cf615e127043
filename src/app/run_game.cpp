#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/game_main.h"
#include "app/intro_draw.h"
#include "app/load_steps.h"
#include "app/screen.h"
#include "app/session_record.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/heap.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/pointer.h"
#include "platform/random.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "platform/settings_store.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

constexpr const char* kLockFileName = "corsavel.lock";

struct RunState {
    uint32_t framePeriodMs = 16;
    uint32_t lastPassTime = 0;
    // The command line's screen mode for this run (-1 none) and the
    // record's own choice, put back at shutdown unless the player changed it.
    int fullScreenOverride = -1;
    bool storedFullScreen = false;
    bool screenshotFailed = false;
    bool loadingAheadStarted = false;
};

RunState runState;

bool takeInstanceLock() {
    char path[kMaxPath];
    return userFilePath(kLockFileName, path, sizeof(path)) && acquireInstanceLock(path);
}

// Settings the window and the cursor need before the window exists.
void applyStoredSettings(int fullScreenOverride) {
    readSettings();
    runState.fullScreenOverride = fullScreenOverride;
    runState.storedFullScreen = settings.fullScreen;
    if (fullScreenOverride >= 0) {
        settings.fullScreen = fullScreenOverride != 0;
    }
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
            // A close before the first frame (SIGTERM during start-up) ends
            // the recording too, so its replay quits where the game did.
            recordMessage(message);
            app.quitRequested = 1;
        } else if (message.kind != MessageKind::Activate &&
                   message.kind != MessageKind::Deactivate) {
            handleMessage(message);
        }
    }
}

// Without vertical sync the loop waits out the rest of one display refresh
// after each pass, so it never spins a core.
void limitFrameRate() {
    // Real time: a recorded session's clock stands still within a pass.
    uint32_t now = systemClockMs();
    uint32_t spent = elapsedMs(runState.lastPassTime, now);
    if (spent < runState.framePeriodMs) {
        sleepMs(runState.framePeriodMs - spent);
    }
    runState.lastPassTime = systemClockMs();
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
    // Before any thread starts: SDL's start reads the environment, and the
    // heap is grown for the load once.
    keepSessionBusUnlaunched();
    prepareHeapForLoad();
    if (!initPaths(options.dataDirectory, options.userDirectory)) {
        return false;
    }
    if (options.singleInstance && !takeInstanceLock()) {
        return false;
    }
    enterDataDirectory();
    // The intro's pictures decode on a worker while the window and the
    // device are made.
    prefetchIntroPictures();
    applyStoredSettings(options.fullScreen);
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
    // The first splash is up before the GL driver loads, on a window of its
    // own until the game window has its first frame.
    const bool earlySplash = showFirstSplashEarly(settings.fullScreen);
    if (!createGameWindow(settings.fullScreen)) {
        // The window is an OpenGL one: with no usable GL driver it is the
        // first thing to fail, and the player learns why instead of seeing
        // the game end without a word.
        closeStartupPicture();
        showMessageBox("Can't init Direct3D", "Initialization failed");
        return false;
    }
    if (!settings.fullScreen && !earlySplash) {
        raiseGameWindow();
    }
    if (!createDevice()) {
        closeStartupPicture();
        return false;
    }
    if (settings.fullScreen && !earlySplash) {
        raiseGameWindow();
    }
    int refresh = displayRefreshRate();
    runState.framePeriodMs = static_cast<uint32_t>(1000 / (refresh > 0 ? refresh : 60));
    updatePerspective();
    drainEarlyMessages();
    // The first frame presented is the first splash: nothing is drawn
    // before it, and only its own picture is loaded for it.
    setCurrentScreen(&introScreen);
    setAssetRegisteredHook(loadingProgress);
    loadIntroImages();
    // Mapped over the start-up picture just before its first frame, which
    // closes that picture.
    if (earlySplash) {
        raiseGameWindow();
    }
    if (pointer.customCursor) {
        applyCursorOption(false);
    }
    app.lastFrameTime = clockMs();
    runState.lastPassTime = systemClockMs();
    return true;
}

void runGameLoop(const GameOptions& options) {
    GameMessage message;
    while (app.quitRequested == 0) {
        if (pollGameMessage(&message)) {
            latchMessageInputs();
            handleMessage(message);
            continue;
        }
        latchFrameInputs();
        // The presented frame is kept for the screenshot to read.
        renderDevice.frameCapture = options.screenshotPath != nullptr;
        runIdlePass();
        // Once the first frame is up, the load's early work starts on a
        // worker while the splash shows.
        if (!runState.loadingAheadStarted) {
            runState.loadingAheadStarted = true;
            startLoadingAhead();
        }
        if (options.screenshotPath != nullptr && app.frameCount > 0) {
            if (!saveScreenshot(options.screenshotPath)) {
                std::fprintf(stderr, "corsavel: cannot write the screenshot '%s'\n",
                             options.screenshotPath);
                runState.screenshotFailed = true;
            }
            app.quitRequested = 1;
        }
        if (options.limitFrameRate && !vsyncActive() && app.appActive != 0) {
            limitFrameRate();
        }
    }
}

int shutdownGame() {
    stopSessionRecording();
    releaseDevice();
    releaseLoadSteps();
    destroyGameWindow();
    // The record stores the device's mode: a mode the command line chose is
    // stored as the record's own choice, unless the player switched since.
    if (runState.fullScreenOverride >= 0 &&
        (renderDevice.fullScreen != 0) == (runState.fullScreenOverride != 0)) {
        renderDevice.fullScreen = runState.storedFullScreen ? 1 : 0;
        settings.fullScreen = runState.storedFullScreen;
    }
    saveAll();
    releaseCursors();
    quitVideo();
    releaseInstanceLock();
    return 0;
}

int runGame(int argc, char** argv) {
    CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
        case CommandAction::Help:
            std::fputs(commandLineUsage(), stdout);
            return 0;
        case CommandAction::Version:
            std::printf("corsavel %s\n", gameVersion());
            return 0;
        case CommandAction::Error:
            std::fprintf(stderr, "corsavel: %s\n%s", line.error.c_str(), commandLineUsage());
            return 2;
        case CommandAction::Run:
            break;
    }
    GameOptions options;
    options.dataDirectory = line.dataDirectory.empty() ? nullptr : line.dataDirectory.c_str();
    options.userDirectory = line.userDirectory.empty() ? nullptr : line.userDirectory.c_str();
    options.fullScreen = line.fullScreen;
    options.recordPath = line.recordPath.empty() ? nullptr : line.recordPath.c_str();
    // The game runs inside its Data folder: a relative picture name is taken
    // from where the game was started.
    std::string screenshot = line.screenshotPath;
    if (!screenshot.empty() && screenshot[0] != '/') {
        char cwd[kMaxPath];
        if (getcwd(cwd, sizeof cwd) != nullptr) {
            screenshot = std::string(cwd) + "/" + screenshot;
        }
    }
    options.screenshotPath = screenshot.empty() ? nullptr : screenshot.c_str();
    if (options.recordPath != nullptr) {
        // The seed the one-time load would take from the clock, fixed and
        // written down; the rules' generator starts as the harness starts it.
        uint32_t seed = static_cast<uint32_t>(std::time(nullptr)) ^ systemClockMs();
        char error[kMaxPath + 64];
        if (!startSessionRecording(options.recordPath, seed, true, error, sizeof error)) {
            std::fprintf(stderr, "corsavel: %s\n", error);
            return 1;
        }
        seedRandom(seed);
        app.fixedSeed = true;
        app.seed = seed;
    }
    if (!startGame(options)) {
        stopSessionRecording();
        destroyGameWindow();
        quitVideo();
        releaseInstanceLock();
        return 0;
    }
    beginRecordedSession();
    runGameLoop(options);
    int code = shutdownGame();
    return runState.screenshotFailed ? 1 : code;
}

}  // namespace corsavel
