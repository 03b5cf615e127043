#pragma once

#include <cstdint>

#include "platform/primitives.h"

namespace corsavel {

struct TextureEntry;

// An animated sprite: up to 32 frames in an 8 x 4 grid of one texture,
// looped over the animation clock.
class SpriteSheet {
public:
    virtual ~SpriteSheet() = default;

    virtual bool load(const char* fileName, int32_t frames);
    // frame -1 follows the clock; angle 0 draws unrotated. Depth 0.
    virtual void draw(float x, float y, int32_t frame, uint32_t colour, float sizeDelta,
                      float angleDegrees);

    void setMetrics(float newSize, int32_t newFrameMs);
    // The frame shown at this animation clock.
    int32_t clockFrame(float animationClockMs);

    const TextureEntry* texture = nullptr;
    bool loaded = true;
    int32_t timeOffsetMs = 0;
    int32_t frameMs = 0;
    int32_t frameCount = 0;
    float size = 0.0f;
};

// Texture rectangle of frame f: column f mod 8, row f / 8.
UvRect spriteFrameRect(int32_t frame);

}  // namespace corsavel
