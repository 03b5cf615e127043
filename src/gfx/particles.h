#pragma once

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

// Particle effects are named after their ".par" files. Definitions are loaded
// once; until then every start by name finds nothing and does nothing.
constexpr int kMaxEffectDefs = 256;
constexpr int kEffectNameSize = 32;
constexpr float kNoTarget = -1000000.0f;

struct EffectTable {
    char names[kMaxEffectDefs][kEffectNameSize] = {};
    int32_t count = 0;
};

extern EffectTable effectTable;

// Index of the first definition with that name, or -1.
int32_t findEffect(const char* name);
// Starts the named effect at (x, y, 0); a target of (kNoTarget, kNoTarget)
// means no motion; cell -1 means the definition's own particle cell.
void startEffect(const char* name, float x, float y, float tx = kNoTarget, float ty = kNoTarget,
                 float scale = 1.0f, int32_t cell = -1);
void startEffectAt(int32_t index, Vec3 position, Vec3 target, float scale, int32_t cell);
// One particle of definition `index` (nothing for a negative index).
void spawnParticle(Vec3 position, int32_t index, float scale, int32_t cell);
// Ends every running emitter and particle (level end, restart).
void stopAllEffects();

}  // namespace corsavel
