#pragma once

#include <cstdint>

#include "platform/frame_state.h"
#include "platform/math_types.h"

namespace corsavel {

// A full-window screen: the frame loop and the window procedure reach the
// current one through these operations. Every operation does nothing by
// default except update, which drops the pending key.
class Screen {
public:
    virtual ~Screen() = default;
    virtual void onEnter() {}
    virtual void onLeave() {}
    virtual void update() { lastKey = 0; }
    virtual void onReserved() {}
    virtual void render() {}
    virtual void onKeyDown(int32_t) {}
    virtual void onLeftDown() {}
    virtual void onLeftDoubleClick() {}
    virtual void onLeftUp() {}
    virtual void onRightDown() {}
    virtual void onRightUp() {}
    virtual void onMiddleDown() {}
    virtual void onMouseMove() {}

    // The last key stored by onKeyDown (13 for a click on the intro); 0 when
    // nothing is pending.
    int32_t lastKey = 0;
};

// The splash images, the loading bar and "Click to continue...".
class IntroScreen : public Screen {
public:
    void onEnter() override;
    void update() override;
    void render() override;
    void onKeyDown(int32_t virtualKey) override;
    void onLeftDown() override;
};

// Every menu page over its backdrop.
class MenuScreen : public Screen {
public:
    void onEnter() override;
    void update() override;
    void render() override;
    void onKeyDown(int32_t virtualKey) override;
    void onLeftDown() override;
    void onLeftDoubleClick() override;
    void onLeftUp() override;
    void onMouseMove() override;

    float menuTimerMs = 0.0f;
};

// The board, with the in-game menu as an overlay.
class GameScreen : public Screen {
public:
    void update() override;
    void render() override;
    void onKeyDown(int32_t virtualKey) override;
    void onLeftDown() override;
    void onLeftDoubleClick() override;
    void onLeftUp() override;
    void onRightDown() override;
    void onMiddleDown() override;
    void onMouseMove() override;
};

extern IntroScreen introScreen;
extern MenuScreen menuScreen;
extern GameScreen gameScreen;

// Which screen is current and which one a request waits for.
struct ScreenState {
    Screen* currentScreen = nullptr;
    Screen* nextScreen = nullptr;
    bool switchPending = false;
};

extern ScreenState screens;

// Asks for a switch at the end of the frame; a later request in the same
// frame replaces an earlier one.
void requestScreen(Screen* next);
// Leave on the current screen, enter on the next (even when they are the
// same), then the next becomes current.
void applyScreenSwitch();
Screen* currentScreen();
// Makes a screen current without leave or enter (start-up, end of loading).
void setCurrentScreen(Screen* screen);
// The screen's name for dumps: "intro", "menu", "game" or "none".
const char* screenName(const Screen* screen);

// The intro's timers and the loading bar's progress.
constexpr float kSplashMs = 4000.0f;
constexpr float kSplashSkipMs = 3500.0f;
constexpr float kFadeMs = 800.0f;
constexpr float kLoadTotalBytes = 21176136.0f;

struct IntroState {
    float splashTimerMs = 0.0f;
    bool showingSecondSplash = false;
    bool hasSecondSplash = false;
    float loadedBytes = 0.0f;
    bool introStarted = false;
    float introTimerMs = 0.0f;
    float fadeTimerMs = 0.0f;
    Colour fadeColour = 0xFFFFFFFFu;
    // The first splash is loaded, the intro's other pictures not yet.
    bool laterPicturesPending = false;
};

extern IntroState intro;

// Start-up's load of what the first frame shows: the first splash. The
// intro's other pictures follow at its first update, after that frame is
// presented and before anything else registers an asset.
void loadIntroImages();
// Called for every registered asset: redraws the loading screen while the
// one-time load runs, then counts the asset's bytes.
void loadingProgress(int32_t size);
// The loading bar's fill: loaded bytes over the total while loading, 1 after.
float loadingFraction();

// The screen of an id (requests from the menus and the gameplay).
Screen* screenById(ScreenId id);

// Resets every screen and the switch state (tests and the harness).
void resetScreens();

// The 2D states the menu pages draw in (menu screen and the pages over the
// game), and their end.
void beginMenuFrame();
void endMenuFrame();

}  // namespace corsavel
