#pragma once

namespace corsavel {

// The frame clock as drawing code sees it: the frame loop hands over the
// frame step and the animation clock once per frame.
struct DrawClock {
    float frameStepMs = 0.0f;
    float animationClockMs = 0.0f;
};
extern DrawClock drawClock;

void setDrawClock(float frameStepMs, float animationClockMs);

}  // namespace corsavel
