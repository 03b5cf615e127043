#pragma once

#include <cstdint>

#include "platform/events.h"

namespace corsavel {

// The frame loop's process-wide state: activity, quitting, the one-time load
// and the frame clock every animation reads.
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
    // The harness replays a run: the one-time load seeds the generator with
    // this number instead of the clock.
    bool fixedSeed = false;
    uint32_t seed = 0;
    // Frames run (skipped inactive frames not counted) and loads done.
    uint32_t frameCount = 0;
    int32_t loadAllCount = 0;
};

extern AppState app;

// The inactive pause of one idle pass.
constexpr uint32_t kInactiveSleepMs = 200;
// The frame-rate figure is refreshed each time this much time has gathered.
constexpr uint32_t kFpsWindowMs = 300;

// The clock step of a frame: frame delta, fps figure, frame step.
void advanceClock();

// One frame on the current screen: render, present, clock, update, switch.
void runFrame();

// The window procedure: one game message to the frame loop and the screen.
void handleMessage(const GameMessage& message);

// The one-time load of every asset, in its fixed order.
bool loadAll();

// One pass of the loop after the queue ran empty: a frame, then the
// one-time load when the intro asked for it.
void runIdlePass();

// Resets the frame loop's state (tests and the harness start clean).
void resetAppState();

}  // namespace corsavel
