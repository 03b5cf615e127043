#include "platform/clock.h"

#include <SDL.h>

namespace corsavel {

namespace {

uint32_t systemClock() {
    return SDL_GetTicks();
}

ClockSource clockSource = systemClock;

}  // namespace

uint32_t clockMs() {
    return clockSource();
}

uint32_t systemClockMs() {
    return systemClock();
}

void setClockSource(ClockSource source) {
    clockSource = source != nullptr ? source : systemClock;
}

void sleepMs(uint32_t ms) {
    SDL_Delay(ms);
}

}  // namespace corsavel
