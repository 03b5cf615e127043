#pragma once

#include <cstdint>

#include "platform/events.h"
#include "platform/frame_state.h"

namespace corsavel {

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
