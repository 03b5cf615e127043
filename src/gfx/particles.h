#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

// Particle effects are named after their ".par" files in "effects". The
// definitions are loaded once; until then every start by name finds nothing
// and does nothing. Emitters and particles live in rings that overwrite the
// oldest slot when they wrap, so a start never fails and never allocates.
constexpr int kMaxEffectDefs = 256;
constexpr int kEffectNameSize = 32;
constexpr int kExternalEffects = 8;
constexpr int kMaxEmitters = 256;
constexpr int kMaxParticles = 1024;
constexpr int kMaxParticleQuads = 4096;
constexpr int kParticleCellSize = 64;
constexpr float kNoTarget = -1000000.0f;
// A data file could ask for any number of groups or copies; more than a ring
// full of particles in one go would only overwrite itself.
constexpr int kMaxGroupsPerEmission = kMaxParticles;
constexpr int kMaxSymmetry = 64;
// Starts of listed further effects allowed per 100 ms of animation clock.
constexpr int kExternalStartsPerWindow = 8;
constexpr float kExternalStartWindowMs = 100.0f;

// One ".par" file. Lists are r, g, b, a for colours; radius, radius speed,
// angle, angle speed for orbits; amplitude, frequency, phase for wobbles.
struct EffectDef {
    char name[kEffectNameSize] = {};
    char externalEffects[kExternalEffects][kEffectNameSize] = {};
    float parfrequency = 0.0f;
    float color0[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float color0dev[4] = {};
    float color1[4] = {};
    float color1dev[4] = {};
    float radius0 = 0.0f, radius0dev = 0.0f;
    float radius1 = 0.0f, radius1dev = 0.0f;
    float partime = 0.0f, partimedev = 0.0f;
    float positiondev[3] = {};
    float speed[3] = {};
    float speeddev[3] = {};
    float gravity = 0.0f, gravitydev = 0.0f;
    int32_t blendtype = 0;  // 0 additive, 1 alpha blended
    int32_t numparticle = 0;
    float rot = 0.0f, rotdev = 0.0f;
    float drot = 0.0f, drotdev = 0.0f;
    float effecttime = 0.0f;  // 0: a burst; otherwise the emitter's lifetime in ms
    float polarpar[4] = {};
    float polarpardev[4] = {};
    float lissparx[3] = {};
    float lisspary[3] = {};
    int32_t simetria = 0;
    int32_t simetriapar = 0;
    float polar[4] = {};
    float polardev[4] = {};
    float lissx[3] = {};
    float lissy[3] = {};
    float sleep = 0.0f;
};

struct EffectTable {
    EffectDef defs[kMaxEffectDefs];
    int32_t count = 0;
};

struct Emitter {
    bool active = false;  // a slot never started stays inactive
    int32_t effect = 0;
    int32_t cell = 0;
    float scale = 0.0f;
    float age = 0.0f;
    Vec3 position;
    Vec3 velocity;  // units per ms
    float timer = 0.0f;
    float polar[4] = {};
    float interval = 0.0f;
};

struct Particle {
    int32_t effect = 0;
    float age = 0.0f;
    int32_t cell = 0;
    Vec3 position;
    Vec3 velocity;  // units per second
    float rotation = 0.0f;
    float rotationSpeed = 0.0f;
    float polar[4] = {};
    float size0 = 0.0f;
    float size1 = 0.0f;
    float colour0[4] = {};
    float colour1[4] = {};
    float lifetime = 0.0f;
    float gravity = 0.0f;
};

struct EffectsState {
    Emitter emitters[kMaxEmitters];
    int32_t emitterCursor = 0;
    Particle particles[kMaxParticles];
    int32_t particleCursor = 0;
    // Rate limit of the further effects a definition lists.
    float externalWindowStartMs = 0.0f;
    int32_t externalStarts = 0;
    TextureEntry* atlas = nullptr;
    int32_t atlasColumns = 1;
    int32_t atlasRows = 1;
    // Quads the last drawing dropped because the queue was full.
    int32_t droppedQuads = 0;
};

extern EffectTable effectTable;
extern EffectsState effects;

// Reads one ".par" text (NUL-terminated) into `out`, named `name`; keys that
// are absent keep their preset values.
void parseEffectDef(const char* text, const char* name, EffectDef* out);
// Every "effects/*.par" file in name order (at most kMaxEffectDefs), and the
// particle atlas "exploanim.tga"; empties the rings.
void loadEffects();
// Adds one definition (tests, fuzzing); false when the table is full.
bool addEffectDef(const EffectDef& def);
// Forgets every definition and empties the rings.
void clearEffects();

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

// One step of stepMs: emitters move and emit, particles move and age. Part
// of the looks' update; drawing never advances anything.
void updateEffects(float stepMs);
// Draws every living particle as a camera-facing square cut from the atlas,
// additive or alpha blended as its definition says.
void drawEffects();
// One atlas cell drawn at once with additive blending (flares and glints).
void drawParticleSprite(float x, float y, float rotation, float size, uint32_t colour,
                        int32_t cell);

int32_t emittersAlive();
int32_t particlesAlive();

}  // namespace corsavel
