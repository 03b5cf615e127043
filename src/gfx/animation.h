#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/animation_clock.h"
#include "platform/math_types.h"

namespace corsavel {

// Keyframed bone animations (".anm"): a root path and one rotation per bone
// per key, keys msPerKey apart; they loop, the last key blending into key 0.
constexpr int kMaxAnimations = 1023;
constexpr int kAnimationNameSize = 32;
// Limits that refuse absurd files before anything is allocated.
constexpr int32_t kMaxAnimationBones = 256;
constexpr int32_t kMaxAnimationKeys = 100000;
constexpr int32_t kMaxMsPerKey = 60000;
constexpr int32_t kMaxAnimationDurationMs = 3600000;
// The root path is resampled at this step.
constexpr int32_t kRootTickMs = 33;

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// The file's contents as stored: Euler angles in radians, bone-major.
struct AnimationFile {
    int32_t boneCount = 0;
    int32_t msPerKey = 0;
    int32_t keyCount = 0;
    std::vector<Vec3> rootPath;   // keyCount
    std::vector<Vec3> rotations;  // boneCount x keyCount
};

enum class AnimationError {
    None,
    Short,      // the data ends before a table
    BadCount,   // bone or key count below 1 or implausibly large
    BadTiming,  // msPerKey below 1, or a duration too long
    NonFinite,  // a float is NaN or infinite
};
const char* animationErrorText(AnimationError error);

AnimationError parseAnimationFile(const uint8_t* data, size_t size, AnimationFile* out);
std::vector<uint8_t> writeAnimationFile(const AnimationFile& animation);

struct Animation {
    char name[kAnimationNameSize] = {};
    int32_t boneCount = 0;
    int32_t msPerKey = 1;
    int32_t keyCount = 1;
    std::vector<Vec3> rootPath;
    std::vector<Quaternion> rotations;  // bone-major: bone * keyCount + key
    float durationMs = 0.0f;
    // The root path resampled every kRootTickMs, and the distance the root
    // covers per tick over the whole dance.
    int32_t ticks = 0;
    std::vector<Vec3> resampledRoot;
    float speed = 0.0f;

    const Quaternion& rotation(int32_t bone, int32_t key) const {
        return rotations[static_cast<size_t>(bone) * keyCount + key];
    }
};

// Quaternions, derived duration, ticks, resampled root path and speed.
Animation buildAnimation(const AnimationFile& file);
AnimationError parseAnimation(const uint8_t* data, size_t size, Animation* out);

// qz * qy * qx (Hamilton product) of Euler angles in radians.
Quaternion eulerQuaternion(Vec3 radians);
// Spherical interpolation along the shorter arc, linear when nearly equal.
Quaternion slerp(Quaternion a, Quaternion b, float t);
// The rotation as a row-vector matrix.
Matrix4 quaternionMatrix(const Quaternion& q);

// Where a time falls between two keys: key, the key after it (0 after the
// last) and the fraction of the way.
struct KeyPosition {
    int32_t key = 0;
    int32_t nextKey = 0;
    float fraction = 0.0f;
};
KeyPosition keyPosition(const Animation& animation, float timeMs);

// Starts a cross-fade of durationMs into `next`.
void blendToAnimation(AnimationClock& clock, const Animation* next, float durationMs);
// One frame: a finished blend hands over to the next animation at its
// overshoot; the time advances and wraps by the remainder of the duration,
// however long the frame.
void advanceAnimationClock(AnimationClock& clock, float stepMs);

// The library keyed by exact file name; the first request loads the file
// (required) and a malformed one stops the game with the loading error.
const Animation* loadAnimation(const char* name);
void freeAnimationLibrary();

}  // namespace corsavel
