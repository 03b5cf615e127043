#pragma once

#include <cstdint>

namespace corsavel {

// The frame loop's process-wide state: activity, quitting, the one-time load
// and the frame clock every animation reads. It lives here, below every
// subsystem, because the menus set quitRequested and the animations read
// frameStepMs and animationClockMs.
struct AppState {
    int32_t appActive = 1;
    int32_t quitRequested = 0;
    bool loadAllPending = false;
    int32_t windowWidth = 800;
    int32_t windowHeight = 600;
    uint32_t lastFrameTime = 0;
    uint32_t frameDeltaMs = 0;
    float frameStepMs = 0.0f;
    float speedFactor = 1.0f;
    float animationClockMs = 0.0f;
    uint32_t fpsAccumMs = 0;
    int32_t fpsFrames = 0;
    char fpsText[32] = {};
    bool diagnosticsOverlay = false;
    // Which backdrop the menu screen draws: 0 and 4 the animated background,
    // 1 the map.
    int32_t menuBackdrop = 0;
    // A screen asked for by a subsystem below the frame loop (a ScreenId),
    // -1 when none; the switch at the end of the frame takes it.
    int32_t screenRequest = -1;
    // The harness replays a run: the one-time load seeds the generator with
    // this number instead of the clock.
    bool fixedSeed = false;
    uint32_t seed = 0;
    // Frames run (skipped inactive frames not counted) and loads done.
    uint32_t frameCount = 0;
    int32_t loadAllCount = 0;
};

extern AppState app;

// The three screens by name, for the subsystems below the frame loop (the
// menus) that ask for a switch. The switch happens at the end of the frame;
// a later request in the same frame replaces an earlier one.
enum class ScreenId : int32_t { Intro, Menu, Game };

void requestScreen(ScreenId id);

// Stores the menu backdrop; it does not switch screens.
void setMenuBackdrop(int32_t kind);

}  // namespace corsavel
