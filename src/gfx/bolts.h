#pragma once

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

constexpr int kBoltTableSize = 64;
constexpr int kMaxBoltsPerFrame = 63;
constexpr int kBoltPointCapacity = 100;
constexpr int kMaxBoltPoints = 99;

struct Bolt {
    Vec3 points[kBoltPointCapacity];
    int32_t n = 0;
    uint32_t segmentColour = 0;
    uint32_t coreColour = 0;
    float segmentWidth = 0.0f;
    float coreWidth = 0.0f;
};

// This frame's bolts: the update empties the table and adds them afresh
// (so their jitter is new every frame); drawing shows them and keeps them.
struct BoltState {
    Bolt bolts[kBoltTableSize];
    int count = 0;
    const TextureEntry* texture = nullptr;
};
extern BoltState boltState;

// Loads the bolt texture "flare.jpg" (with the models).
void loadBoltTexture();

// Empties the table for the next frame's bolts.
void clearBolts();

// A jagged bolt from `from` to `to`, its inner points pushed sideways by the
// looks' generator; null when 63 were added this frame. A bolt shorter than
// one segment is drawn as its two end points.
Bolt* addBolt(Vec3 from, Vec3 to, float segmentLength, float segmentWidth, float coreWidth,
              float jitter, uint32_t segmentColour, uint32_t coreColour);

// Draws every bolt in the table (additive, unlit, no depth writes).
void drawBolts();

}  // namespace corsavel
