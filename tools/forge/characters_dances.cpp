// The sixteen dances, keyframed by code: each is a pose as a function of the
// loop's phase t in [0, 1), periodic so that the last key flows into key 0.
//
// Rotations are local to the parent bone, in radians. With the skeleton
// facing -y: a negative x turn swings a hanging limb forward (a positive one
// bends the spine and head forward), a positive y turn swings a hanging limb
// towards -x (the left arm outwards), a positive z turn twists towards +x.

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "forge/characters.h"
#include "gfx/character.h"

namespace corsavel::forge {

namespace {

constexpr float kTau = 6.28318530718f;
constexpr float kPiF = 3.14159265359f;

struct Pose {
    std::array<corsavel::Vec3, kSkeletonBoneCount> rotation{};
    corsavel::Vec3 root{0.0f, 0.0f, kStandHeight};
};

// sin(2 pi (cycles t + phase)): periodic over the loop for whole cycles.
float wave(float t, int cycles, float phase = 0.0f) {
    return std::sin(kTau * (cycles * t + phase));
}

float ease(float x) {
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

// Arms and legs set as mirror pairs: `out` raises the arm sideways, `fwd`
// swings it forward, `bend` folds the forearm forward.
void arm(Pose& p, bool left, float out, float fwd, float bend, float forearmOut = 0.0f) {
    const int upper = left ? kLeftUpperArm : kRightUpperArm;
    const int fore = left ? kLeftForearm : kRightForearm;
    const float side = left ? 1.0f : -1.0f;
    p.rotation[upper] = {-fwd, side * out, 0.0f};
    p.rotation[fore] = {-bend, side * forearmOut, 0.0f};
}

void leg(Pose& p, bool left, float out, float fwd, float knee) {
    const int thigh = left ? kLeftThigh : kRightThigh;
    const int calf = left ? kLeftCalf : kRightCalf;
    const int foot = left ? kLeftFoot : kRightFoot;
    const float side = left ? 1.0f : -1.0f;
    p.rotation[thigh] = {-fwd, side * out, 0.0f};
    p.rotation[calf] = {knee, 0.0f, 0.0f};
    // The foot stays roughly level with the ground.
    p.rotation[foot] = {fwd - knee, 0.0f, 0.0f};
}

// How far the pelvis drops when both knees bend by `knee` with the thighs
// forward by `fwd` (keeps the feet on the ground).
float crouchDrop(float fwd, float knee) {
    const float thigh = 3.0f, calf = 2.9f;
    const float standing = thigh + calf;
    const float height = thigh * std::cos(fwd) + calf * std::cos(knee - fwd);
    return standing - height;
}

void bounceLegs(Pose& p, float knee) {
    const float fwd = knee * 0.5f;
    leg(p, true, 0.08f, fwd, knee);
    leg(p, false, 0.08f, fwd, knee);
    p.root.z -= crouchDrop(fwd, knee);
}

Pose sideStep(float t) {
    Pose p;
    const float s = wave(t, 1);
    p.root.x = 0.7f * s;
    bounceLegs(p, 0.25f + 0.2f * wave(t, 2, 0.25f));
    leg(p, true, 0.15f + 0.2f * std::max(0.0f, -s), 0.1f, 0.35f);
    leg(p, false, 0.15f + 0.2f * std::max(0.0f, s), 0.1f, 0.35f);
    arm(p, true, 0.25f, 0.7f * s, 0.9f);
    arm(p, false, 0.25f, -0.7f * s, 0.9f);
    p.rotation[kSpineBone] = {0.05f, 0.12f * s, 0.0f};
    p.rotation[kHeadBone] = {0.0f, 0.0f, 0.3f * s};
    return p;
}

Pose armsUpWave(float t) {
    Pose p;
    const float s = wave(t, 1);
    p.root.x = 0.5f * s;
    bounceLegs(p, 0.3f + 0.25f * wave(t, 2));
    arm(p, true, 2.6f + 0.35f * s, 0.0f, 0.0f, 0.4f * wave(t, 2));
    arm(p, false, 2.6f - 0.35f * s, 0.0f, 0.0f, -0.4f * wave(t, 2));
    p.rotation[kSpineBone] = {0.0f, -0.15f * s, 0.0f};
    p.rotation[kHeadBone] = {0.0f, 0.2f * s, 0.0f};
    return p;
}

Pose discoPoint(float t) {
    Pose p;
    const float up = ease(0.5f + 0.5f * wave(t, 2) * 1.4f);
    p.root.x = 0.4f * wave(t, 2);
    bounceLegs(p, 0.3f + 0.15f * wave(t, 4));
    arm(p, false, 0.4f + 2.1f * up, -0.5f * (1.0f - up), 0.0f);
    arm(p, true, 0.7f, -0.3f, 1.9f);
    p.rotation[kRootBone] = {0.0f, 0.0f, 0.25f * wave(t, 2)};
    p.rotation[kHeadBone] = {-0.3f * up, 0.0f, 0.4f * (up - 0.5f)};
    return p;
}

Pose twist(float t) {
    Pose p;
    const float s = wave(t, 2);
    p.root.z -= 0.3f;
    bounceLegs(p, 0.7f + 0.15f * wave(t, 4));
    p.rotation[kRootBone] = {0.0f, 0.0f, 0.55f * s};
    p.rotation[kSpineBone] = {0.15f, 0.0f, -0.8f * s};
    arm(p, true, 0.4f, 0.5f * s, 1.6f);
    arm(p, false, 0.4f, -0.5f * s, 1.6f);
    p.rotation[kHeadBone] = {0.0f, 0.0f, 0.2f * s};
    return p;
}

Pose kickLine(float t) {
    Pose p;
    const float s = wave(t, 1);
    const float kickLeft = std::pow(std::max(0.0f, s), 2.0f);
    const float kickRight = std::pow(std::max(0.0f, -s), 2.0f);
    leg(p, true, 0.05f, 1.5f * kickLeft, 0.2f * kickLeft + 0.1f);
    leg(p, false, 0.05f, 1.5f * kickRight, 0.2f * kickRight + 0.1f);
    p.root.z += 0.35f * std::fabs(wave(t, 2));
    arm(p, true, 0.7f, -0.4f, 2.0f, -0.6f);
    arm(p, false, 0.7f, -0.4f, 2.0f, 0.6f);
    p.rotation[kSpineBone] = {-0.1f * (kickLeft + kickRight), 0.0f, 0.0f};
    p.rotation[kHeadBone] = {-0.15f, 0.0f, 0.25f * s};
    return p;
}

Pose chicken(float t) {
    Pose p;
    const float flap = std::fabs(wave(t, 4));
    bounceLegs(p, 0.4f + 0.3f * wave(t, 4, 0.25f));
    arm(p, true, 0.3f + 0.8f * flap, 0.2f, 2.5f);
    arm(p, false, 0.3f + 0.8f * flap, 0.2f, 2.5f);
    p.rotation[kSpineBone] = {0.25f, 0.0f, 0.0f};
    p.rotation[kNeckBone] = {0.4f * wave(t, 4), 0.0f, 0.0f};
    p.rotation[kHeadBone] = {-0.2f, 0.0f, 0.2f * wave(t, 2)};
    return p;
}

Pose spin(float t) {
    Pose p;
    bounceLegs(p, 0.2f + 0.15f * wave(t, 4));
    p.rotation[kRootBone] = {0.0f, 0.0f, kTau * t};
    arm(p, true, 1.5f + 0.2f * wave(t, 4), 0.0f, 0.2f, 0.4f * wave(t, 2));
    arm(p, false, 1.5f - 0.2f * wave(t, 4), 0.0f, 0.2f, -0.4f * wave(t, 2));
    p.rotation[kHeadBone] = {-0.2f, 0.0f, 0.0f};
    return p;
}

Pose headBang(float t) {
    Pose p;
    const float nod = wave(t, 4);
    leg(p, true, 0.3f, 0.35f, 0.6f);
    leg(p, false, 0.3f, 0.35f, 0.6f);
    p.root.z -= crouchDrop(0.35f, 0.6f) + 0.2f;
    p.rotation[kSpineBone] = {0.25f + 0.2f * nod, 0.0f, 0.0f};
    p.rotation[kNeckBone] = {0.35f * nod, 0.0f, 0.0f};
    p.rotation[kHeadBone] = {0.3f * nod, 0.0f, 0.0f};
    arm(p, true, 0.5f, 1.0f, 1.0f, -0.5f);
    arm(p, false, 0.2f, 0.4f, 1.3f + 0.5f * wave(t, 8));
    return p;
}

Pose jumpingJacks(float t) {
    Pose p;
    const float open = 0.5f - 0.5f * std::cos(kTau * 2.0f * t);
    arm(p, true, 0.2f + 2.6f * open, 0.0f, 0.1f);
    arm(p, false, 0.2f + 2.6f * open, 0.0f, 0.1f);
    leg(p, true, 0.05f + 0.35f * open, 0.0f, 0.05f);
    leg(p, false, 0.05f + 0.35f * open, 0.0f, 0.05f);
    p.root.z += 0.9f * std::fabs(std::sin(kTau * 2.0f * t)) - 0.4f * std::sin(0.35f * open);
    p.rotation[kHeadBone] = {0.1f * wave(t, 4), 0.0f, 0.0f};
    return p;
}

// Holds of a pose sequence with quick eased moves between them.
template <size_t N>
Pose holds(float t, const std::array<Pose (*)(), N>& poses, float move) {
    const float segment = t * N;
    const int i = static_cast<int>(segment) % static_cast<int>(N);
    const float f = ease((segment - std::floor(segment)) / move);
    const Pose a = poses[(i + N - 1) % N]();
    const Pose b = poses[i]();
    Pose p;
    for (int k = 0; k < kSkeletonBoneCount; ++k) {
        p.rotation[k] = a.rotation[k] + (b.rotation[k] - a.rotation[k]) * f;
    }
    p.root = a.root + (b.root - a.root) * f;
    return p;
}

Pose robotA() {
    Pose p;
    arm(p, true, 0.0f, 1.57f, 0.0f);
    arm(p, false, 0.0f, 0.0f, 1.57f);
    p.rotation[kHeadBone] = {0.0f, 0.0f, 0.6f};
    return p;
}
Pose robotB() {
    Pose p;
    arm(p, true, 1.57f, 0.0f, 0.0f, 1.57f);
    arm(p, false, 1.57f, 0.0f, 0.0f, 1.57f);
    return p;
}
Pose robotC() {
    Pose p;
    arm(p, true, 0.0f, 0.0f, 1.57f);
    arm(p, false, 0.0f, 1.57f, 0.0f);
    p.rotation[kHeadBone] = {0.0f, 0.0f, -0.6f};
    p.rotation[kSpineBone] = {0.0f, 0.0f, -0.3f};
    return p;
}
Pose robotD() {
    Pose p;
    arm(p, true, 1.57f, 0.0f, 0.0f, -1.2f);
    arm(p, false, 1.57f, 0.0f, 0.0f, 1.57f);
    bounceLegs(p, 0.5f);
    p.rotation[kSpineBone] = {0.0f, 0.0f, 0.3f};
    return p;
}

Pose robot(float t) {
    static const std::array<Pose (*)(), 8> kPoses = {robotA, robotB, robotC, robotD,
                                                     robotB, robotA, robotD, robotC};
    return holds(t, kPoses, 0.3f);
}

Pose hula(float t) {
    Pose p;
    const float c = std::cos(kTau * 2.0f * t), s = std::sin(kTau * 2.0f * t);
    bounceLegs(p, 0.35f);
    p.root.x = 0.45f * s;
    p.rotation[kRootBone] = {0.2f * c, 0.25f * s, 0.0f};
    p.rotation[kSpineBone] = {-0.2f * c, -0.3f * s, 0.0f};
    arm(p, true, 1.4f + 0.3f * wave(t, 2), 0.3f, 0.5f, 0.6f * wave(t, 2, 0.25f));
    arm(p, false, 1.4f - 0.3f * wave(t, 2), 0.3f, 0.5f, -0.6f * wave(t, 2, 0.25f));
    p.rotation[kHeadBone] = {0.0f, -0.15f * s, 0.0f};
    return p;
}

Pose cossack(float t) {
    Pose p;
    const float s = wave(t, 2);
    const float kickL = std::max(0.0f, s), kickR = std::max(0.0f, -s);
    const float fwd = 1.35f, knee = 2.4f;
    leg(p, true, 0.25f, fwd, knee * (1.0f - kickL) + 0.1f);
    leg(p, false, 0.25f, fwd, knee * (1.0f - kickR) + 0.1f);
    p.root.z -= crouchDrop(fwd, knee) - 0.15f * std::fabs(wave(t, 4));
    p.root.y = -0.8f;
    p.rotation[kSpineBone] = {0.35f, 0.0f, 0.0f};
    arm(p, true, 0.3f, 1.3f, 0.2f, -1.4f);
    arm(p, false, 0.3f, 1.3f, 0.2f, 1.4f);
    p.rotation[kHeadBone] = {-0.35f, 0.0f, 0.0f};
    return p;
}

Pose letterY() {
    Pose p;
    arm(p, true, 2.5f, 0.0f, 0.0f);
    arm(p, false, 2.5f, 0.0f, 0.0f);
    return p;
}
Pose letterM() {
    Pose p;
    arm(p, true, 2.2f, 0.0f, 0.0f, 2.2f);
    arm(p, false, 2.2f, 0.0f, 0.0f, 2.2f);
    bounceLegs(p, 0.3f);
    return p;
}
Pose letterC() {
    Pose p;
    arm(p, true, 2.6f, 0.0f, 0.0f, 0.9f);
    arm(p, false, 0.9f, 0.0f, 0.0f, 1.2f);
    p.rotation[kSpineBone] = {0.0f, 0.35f, 0.0f};
    return p;
}
Pose letterA() {
    Pose p;
    arm(p, true, 2.8f, 0.0f, 0.0f, -0.7f);
    arm(p, false, 2.8f, 0.0f, 0.0f, -0.7f);
    bounceLegs(p, 0.3f);
    return p;
}

Pose letters(float t) {
    static const std::array<Pose (*)(), 4> kPoses = {letterY, letterM, letterC, letterA};
    Pose p = holds(t, kPoses, 0.35f);
    p.root.z += 0.2f * std::fabs(wave(t, 4));
    return p;
}

Pose applause(float t) {
    Pose p;
    const float clap = std::pow(std::fabs(wave(t, 6)), 0.6f);
    bounceLegs(p, 0.15f + 0.1f * wave(t, 3));
    arm(p, true, -0.2f, 0.6f, 0.8f, -0.2f - 0.6f * clap);
    arm(p, false, -0.2f, 0.6f, 0.8f, -0.2f - 0.6f * clap);
    p.rotation[kHeadBone] = {0.15f * wave(t, 3), 0.0f, 0.0f};
    return p;
}

Pose overheadApplause(float t) {
    Pose p;
    const float clap = std::fabs(wave(t, 4));
    const float hop = std::fabs(wave(t, 2));
    arm(p, true, 2.55f + 0.35f * clap, 0.0f, 0.0f, 0.2f);
    arm(p, false, 2.55f + 0.35f * clap, 0.0f, 0.0f, 0.2f);
    bounceLegs(p, 0.45f * (1.0f - hop) + 0.05f);
    p.root.z += 1.0f * hop;
    p.rotation[kHeadBone] = {-0.3f, 0.0f, 0.0f};
    return p;
}

Pose jumpSplit(float t) {
    Pose p;
    float crouch = 0.0f;
    float air = 0.0f;
    if (t < 0.25f) {
        crouch = std::sin(kPiF * t / 0.25f);
    } else if (t < 0.75f) {
        air = std::sin(kPiF * (t - 0.25f) / 0.5f);
    } else {
        crouch = std::sin(kPiF * (t - 0.75f) / 0.25f);
    }
    const float split = ease(air * 1.6f);
    bounceLegs(p, 1.2f * crouch);
    leg(p, true, 0.1f + 1.35f * split, 0.0f, 1.2f * crouch * 0.6f);
    leg(p, false, 0.1f + 1.35f * split, 0.0f, 1.2f * crouch * 0.6f);
    p.root.z += 4.0f * air;
    arm(p, true, 0.3f + 1.8f * split + 0.4f * crouch, 0.4f * crouch, 0.3f);
    arm(p, false, 0.3f + 1.8f * split + 0.4f * crouch, 0.4f * crouch, 0.3f);
    p.rotation[kSpineBone] = {0.4f * crouch - 0.15f * split, 0.0f, 0.0f};
    p.rotation[kHeadBone] = {-0.25f * split, 0.0f, 0.0f};
    return p;
}

struct DanceDef {
    Pose (*pose)(float);
    int keys;
    int msPerKey;
};

// In the order of the game's dance numbers 0..15.
const DanceDef kDances[kDanceCount] = {
    {sideStep, 24, 100},     {armsUpWave, 24, 100}, {discoPoint, 32, 75},
    {twist, 24, 80},         {kickLine, 24, 100},   {chicken, 32, 75},
    {spin, 32, 90},          {headBang, 32, 75},    {jumpingJacks, 24, 90},
    {robot, 48, 75},         {hula, 32, 90},        {cossack, 32, 80},
    {letters, 48, 80},       {applause, 24, 100},   {overheadApplause, 24, 100},
    {jumpSplit, 24, 70},
};

}  // namespace

AnimationFile danceAnimationFile(int dance) {
    const DanceDef& def = kDances[std::clamp(dance, 0, kDanceCount - 1)];
    AnimationFile file;
    file.boneCount = kSkeletonBoneCount;
    file.msPerKey = def.msPerKey;
    file.keyCount = def.keys;
    file.rootPath.resize(def.keys);
    file.rotations.resize(static_cast<size_t>(def.keys) * kSkeletonBoneCount);
    for (int k = 0; k < def.keys; ++k) {
        const Pose pose = def.pose(static_cast<float>(k) / def.keys);
        file.rootPath[k] = pose.root;
        for (int b = 0; b < kSkeletonBoneCount; ++b) {
            file.rotations[static_cast<size_t>(b) * def.keys + k] = pose.rotation[b];
        }
    }
    return file;
}

void forgeDances(ForgeOutput& out) {
    for (int d = 0; d < kDanceCount; ++d) {
        out.add(std::string("models/") + kDanceFiles[d], writeAnimationFile(danceAnimationFile(d)));
    }
}

}  // namespace corsavel::forge
