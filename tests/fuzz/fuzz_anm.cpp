#include <cmath>
#include <cstddef>
#include <cstdint>

#include "gfx/animation.h"

using namespace corsavel;

// Any bytes either give an animation with keys, a positive duration and a
// derived root path of its tick count, whose clock always lands inside the
// dance and names keys inside it; or they are refused.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Animation animation;
    if (parseAnimation(data, size, &animation) != AnimationError::None) {
        return 0;
    }
    if (animation.keyCount < 1 || !(animation.durationMs > 0.0f) ||
        static_cast<int32_t>(animation.resampledRoot.size()) != animation.ticks ||
        animation.rotations.size() !=
            static_cast<size_t>(animation.boneCount) * animation.keyCount) {
        __builtin_trap();
    }
    AnimationClock clock;
    clock.current = &animation;
    for (float step : {16.0f, animation.durationMs, 123456.7f, 1e9f}) {
        advanceAnimationClock(clock, step);
        if (!(clock.timeMs >= 0.0f && clock.timeMs < animation.durationMs)) {
            __builtin_trap();
        }
        const KeyPosition p = keyPosition(animation, clock.timeMs);
        if (p.key < 0 || p.key >= animation.keyCount || p.nextKey < 0 ||
            p.nextKey >= animation.keyCount || !(p.fraction >= 0.0f && p.fraction <= 1.0f)) {
            __builtin_trap();
        }
    }
    return 0;
}
