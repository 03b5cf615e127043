#pragma once

#include <cstdint>

namespace corsavel {

// The game's millisecond clock: a 32-bit counter that wraps after about 49
// days; callers take unsigned differences so the wrap gives the right step.
using ClockSource = uint32_t (*)();

uint32_t clockMs();

// The system's clock whatever the source: the frame limiter and a recorded
// session's latched clock measure real time with it.
uint32_t systemClockMs();

// Replaces the clock (the harness steps it by a fixed amount per frame; tests
// set it by hand). Null restores the system clock.
void setClockSource(ClockSource source);

// Milliseconds from `earlier` to `later` across a wrap of the counter.
constexpr uint32_t elapsedMs(uint32_t earlier, uint32_t later) {
    return later - earlier;
}

// Sleeps the calling thread; the inactive pause and the frame limiter use it.
void sleepMs(uint32_t ms);

}  // namespace corsavel
