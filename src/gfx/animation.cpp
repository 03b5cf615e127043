#include "gfx/animation.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gfx/character_bytes.h"
#include "platform/message_box.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

using namespace character_bytes;

struct AnimationLibrary {
    Animation* entries[kMaxAnimations] = {};
    int count = 0;
};
AnimationLibrary animationLibrary;

Vec3 lerp(Vec3 a, Vec3 b, float t) {
    return a + (b - a) * t;
}

// The root path at a fractional key position, clamped to the keys.
Vec3 rootAt(const std::vector<Vec3>& path, double keyPosition) {
    const int32_t last = static_cast<int32_t>(path.size()) - 1;
    if (keyPosition <= 0.0 || last <= 0) {
        return path[0];
    }
    const int32_t below = static_cast<int32_t>(keyPosition);
    if (below >= last) {
        return path[last];
    }
    return lerp(path[below], path[below + 1], static_cast<float>(keyPosition - below));
}

}  // namespace

const char* animationErrorText(AnimationError error) {
    switch (error) {
        case AnimationError::None:
            return "ok";
        case AnimationError::Short:
            return "the file ends early";
        case AnimationError::BadCount:
            return "bad bone or key count";
        case AnimationError::BadTiming:
            return "bad key spacing or duration";
        case AnimationError::NonFinite:
            return "a number is not finite";
    }
    return "unknown";
}

AnimationError parseAnimationFile(const uint8_t* data, size_t size, AnimationFile* out) {
    if (data == nullptr) {
        return AnimationError::Short;
    }
    Reader reader(data, size);
    AnimationFile file;
    file.boneCount = reader.readInt();
    file.msPerKey = reader.readInt();
    file.keyCount = reader.readInt();
    if (!reader.ok()) {
        return AnimationError::Short;
    }
    if (file.boneCount < 1 || file.boneCount > kMaxAnimationBones || file.keyCount < 1 ||
        file.keyCount > kMaxAnimationKeys) {
        return AnimationError::BadCount;
    }
    if (file.msPerKey < 1 || file.msPerKey > kMaxMsPerKey ||
        static_cast<int64_t>(file.msPerKey) * file.keyCount > kMaxAnimationDurationMs) {
        return AnimationError::BadTiming;
    }
    const size_t keys = static_cast<size_t>(file.keyCount);
    if (reader.remaining() < keys * 12 * (1 + static_cast<size_t>(file.boneCount))) {
        return AnimationError::Short;
    }
    file.rootPath.resize(keys);
    for (Vec3& p : file.rootPath) {
        p = reader.readVec3();
        if (!finite(p)) {
            return AnimationError::NonFinite;
        }
    }
    file.rotations.resize(keys * file.boneCount);
    for (Vec3& r : file.rotations) {
        r = reader.readVec3();
        if (!finite(r)) {
            return AnimationError::NonFinite;
        }
    }
    *out = std::move(file);
    return AnimationError::None;
}

std::vector<uint8_t> writeAnimationFile(const AnimationFile& animation) {
    std::vector<uint8_t> out;
    putInt(out, animation.boneCount);
    putInt(out, animation.msPerKey);
    putInt(out, animation.keyCount);
    for (int32_t k = 0; k < animation.keyCount; ++k) {
        putVec3(out, animation.rootPath[k]);
    }
    for (size_t i = 0; i < static_cast<size_t>(animation.boneCount) * animation.keyCount; ++i) {
        putVec3(out, animation.rotations[i]);
    }
    return out;
}

Quaternion eulerQuaternion(Vec3 r) {
    const float sx = std::sin(r.x * 0.5f), cx = std::cos(r.x * 0.5f);
    const float sy = std::sin(r.y * 0.5f), cy = std::cos(r.y * 0.5f);
    const float sz = std::sin(r.z * 0.5f), cz = std::cos(r.z * 0.5f);
    // qz * qy, then times qx.
    const float x1 = -sz * sy, y1 = cz * sy, z1 = sz * cy, w1 = cz * cy;
    return {w1 * sx + x1 * cx, y1 * cx + z1 * sx, z1 * cx - y1 * sx, w1 * cx - x1 * sx};
}

Quaternion slerp(Quaternion a, Quaternion b, float t) {
    float d = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (d < 0.0f) {
        d = -d;
        b = {-b.x, -b.y, -b.z, -b.w};
    }
    float wa = 1.0f - t;
    float wb = t;
    if (1.0f - d > 0.001f) {
        const float angle = std::acos(d < 1.0f ? d : 1.0f);
        const float s = std::sin(angle);
        wa = std::sin(wa * angle) / s;
        wb = std::sin(wb * angle) / s;
    }
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Matrix4 quaternionMatrix(const Quaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix4 m;
    m.m[0][0] = 1 - 2 * (y * y + z * z);
    m.m[0][1] = 2 * (x * y + w * z);
    m.m[0][2] = 2 * (x * z - w * y);
    m.m[1][0] = 2 * (x * y - w * z);
    m.m[1][1] = 1 - 2 * (x * x + z * z);
    m.m[1][2] = 2 * (y * z + w * x);
    m.m[2][0] = 2 * (x * z + w * y);
    m.m[2][1] = 2 * (y * z - w * x);
    m.m[2][2] = 1 - 2 * (x * x + y * y);
    return m;
}

Animation buildAnimation(const AnimationFile& file) {
    Animation a;
    a.boneCount = file.boneCount;
    a.msPerKey = file.msPerKey;
    a.keyCount = file.keyCount;
    a.rootPath = file.rootPath;
    a.rotations.resize(file.rotations.size());
    for (size_t i = 0; i < file.rotations.size(); ++i) {
        a.rotations[i] = eulerQuaternion(file.rotations[i]);
    }
    const int32_t duration = file.keyCount * file.msPerKey;
    a.durationMs = static_cast<float>(duration);
    a.ticks = duration / kRootTickMs + 2;
    a.resampledRoot.resize(a.ticks);
    for (int32_t i = 0; i < a.ticks; ++i) {
        a.resampledRoot[i] =
            rootAt(a.rootPath, static_cast<double>(i) * (file.keyCount - 1) / a.ticks);
    }
    const Vec3 last = a.rootPath[file.keyCount - 1];
    a.speed = std::sqrt(last.x * last.x + last.y * last.y) * kRootTickMs / a.durationMs;
    return a;
}

AnimationError parseAnimation(const uint8_t* data, size_t size, Animation* out) {
    AnimationFile file;
    AnimationError error = parseAnimationFile(data, size, &file);
    if (error == AnimationError::None) {
        *out = buildAnimation(file);
    }
    return error;
}

KeyPosition keyPosition(const Animation& animation, float timeMs) {
    KeyPosition p;
    const int32_t keys = animation.keyCount > 0 ? animation.keyCount : 1;
    const int32_t step = animation.msPerKey > 0 ? animation.msPerKey : 1;
    // A time outside the dance (never after the clock's wrap) still names a key.
    float t = std::isfinite(timeMs) ? timeMs : 0.0f;
    if (t < 0.0f) {
        t = 0.0f;
    }
    const int64_t whole = static_cast<int64_t>(t < 2e9f ? t : 2e9f);
    p.key = static_cast<int32_t>(whole / step);
    if (p.key >= keys) {
        p.key = keys - 1;
        p.fraction = 1.0f;
    } else {
        p.fraction = t / static_cast<float>(step) - static_cast<float>(p.key);
        p.fraction = p.fraction < 0.0f ? 0.0f : (p.fraction > 1.0f ? 1.0f : p.fraction);
    }
    p.nextKey = p.key + 1 == keys ? 0 : p.key + 1;
    return p;
}

void blendToAnimation(AnimationClock& clock, const Animation* next, float durationMs) {
    clock.next = next;
    clock.blendDurationMs = durationMs;
    clock.blendMs = 0.0f;
    clock.blendWeight = 0.0f;
    clock.blending = true;
}

void advanceAnimationClock(AnimationClock& clock, float stepMs) {
    if (clock.blending && clock.blendMs >= clock.blendDurationMs) {
        clock.timeMs = clock.blendMs - clock.blendDurationMs;
        if (clock.next != nullptr) {
            clock.current = clock.next;
        }
        clock.next = nullptr;
        clock.blending = false;
        clock.blendWeight = 0.0f;
    } else if (clock.blending) {
        clock.blendMs += stepMs;
        clock.blendWeight =
            clock.blendDurationMs > 0.0f ? clock.blendMs / clock.blendDurationMs : 1.0f;
        if (clock.blendWeight > 1.0f) {
            clock.blendWeight = 1.0f;
        }
    }
    if (clock.current == nullptr) {
        return;
    }
    clock.timeMs += stepMs;
    const float duration = clock.current->durationMs;
    if (!(duration > 0.0f) || !std::isfinite(clock.timeMs)) {
        clock.timeMs = 0.0f;
    } else if (clock.timeMs >= duration || clock.timeMs < 0.0f) {
        // However long the frame, the time lands inside the dance.
        clock.timeMs = std::fmod(clock.timeMs, duration);
        if (clock.timeMs < 0.0f) {
            clock.timeMs += duration;
        }
        if (clock.timeMs >= duration) {
            clock.timeMs = 0.0f;
        }
    }
}

const Animation* loadAnimation(const char* name) {
    if (name == nullptr || std::strlen(name) >= static_cast<size_t>(kAnimationNameSize)) {
        return nullptr;
    }
    for (int i = 0; i < animationLibrary.count; ++i) {
        if (std::strcmp(animationLibrary.entries[i]->name, name) == 0) {
            return animationLibrary.entries[i];
        }
    }
    if (animationLibrary.count >= kMaxAnimations) {
        return nullptr;
    }
    int32_t size = 0;
    uint8_t* data = loadFile(name, &size, true);
    auto* animation = new Animation;
    AnimationError error =
        parseAnimation(data, data != nullptr ? static_cast<size_t>(size) : 0, animation);
    if (data != nullptr) {
        releaseAsset(data);
    }
    if (error != AnimationError::None) {
        delete animation;
        std::fprintf(stderr, "%s: %s\n", name, animationErrorText(error));
        fatalLoadingError(name);
    }
    std::snprintf(animation->name, sizeof animation->name, "%s", name);
    animationLibrary.entries[animationLibrary.count++] = animation;
    return animation;
}

void freeAnimationLibrary() {
    for (int i = 0; i < animationLibrary.count; ++i) {
        delete animationLibrary.entries[i];
        animationLibrary.entries[i] = nullptr;
    }
    animationLibrary.count = 0;
}

}  // namespace corsavel
