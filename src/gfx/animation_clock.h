#pragma once

namespace corsavel {

struct Animation;

// Where a character is in its dances: the current animation and its time,
// and the cross-fade into the next one. Advanced by the update only; the
// drawing poses the character from it.
struct AnimationClock {
    const Animation* current = nullptr;
    const Animation* next = nullptr;
    float timeMs = 0.0f;
    bool blending = false;
    float blendMs = 0.0f;
    float blendDurationMs = 0.0f;
    float blendWeight = 0.0f;
};

}  // namespace corsavel
