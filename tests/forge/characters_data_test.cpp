// The forged skeletons, dances and hats read back through the game's own
// readers: every kind shares the bone tree with a head, its weights sum to
// one, every dance fits it, loops without a jump and moves differently from
// every other dance, and every hat sits on the skull.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "forge/characters.h"
#include "gfx/character.h"
#include "gfx/scene_object.h"

namespace corsavel {
namespace {

SkinMesh readMesh(int kind) {
    const std::vector<uint8_t> bytes = writeSkinMeshFile(forge::skeletonMesh(kind));
    SkinMesh mesh;
    EXPECT_EQ(parseSkinMesh(bytes.data(), bytes.size(), &mesh), SkinError::None) << kind;
    return mesh;
}

Animation readDance(int dance) {
    const std::vector<uint8_t> bytes = writeAnimationFile(forge::danceAnimationFile(dance));
    Animation animation;
    EXPECT_EQ(parseAnimation(bytes.data(), bytes.size(), &animation), AnimationError::None);
    return animation;
}

// Hands, feet and head of a posed character, relative to the instance.
std::vector<Vec3> extremities(Character& c, const Animation& a, float timeMs) {
    AnimationClock clock;
    clock.current = &a;
    clock.timeMs = timeMs;
    c.updateCharacter(clock);
    std::vector<Vec3> points;
    for (int bone : {forge::kLeftHand, forge::kRightHand, forge::kLeftFoot, forge::kRightFoot,
                     forge::kHeadBone}) {
        points.push_back(c.boneWorld[bone] + c.rootOffset);
    }
    return points;
}

float distance(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
    float sum = 0.0f;
    for (size_t i = 0; i < a.size(); ++i) {
        sum += length(a[i] - b[i]);
    }
    return sum / static_cast<float>(a.size());
}

TEST(ForgedSkeletons, EveryKindSharesTheBoneTreeAndWeighsEachVertexFully) {
    for (int kind = 0; kind < kCharacterKinds; ++kind) {
        const SkinMesh mesh = readMesh(kind);
        EXPECT_EQ(mesh.boneCount(), forge::kSkeletonBoneCount);
        EXPECT_EQ(mesh.findBone(kHeadBoneName), forge::kHeadBone);
        EXPECT_GT(mesh.triangleCount(), 500);
        EXPECT_LT(mesh.renderVertices.size(), 4000u);
        for (int32_t v = 0; v < mesh.vertexCount(); ++v) {
            float sum = 0.0f;
            for (int k = 0; k < kSkinInfluences; ++k) {
                sum += mesh.file.influences[static_cast<size_t>(v) * 3 + k].weight;
            }
            ASSERT_NEAR(sum, 1.0f, 1e-5f) << kind << " vertex " << v;
        }
    }
    // The kinds differ: fewer pieces without an arm, other pieces on a peg.
    EXPECT_LT(readMesh(2).vertexCount(), readMesh(0).vertexCount());
    EXPECT_NE(readMesh(3).vertexCount(), readMesh(0).vertexCount());
}

TEST(ForgedDances, EveryDanceFitsLoopsSmoothlyAndDiffersFromTheOthers) {
    SkinMesh mesh = readMesh(0);
    Character c;
    c.attachMesh(&mesh, nullptr);
    constexpr int kSamples = 24;
    std::vector<std::vector<std::vector<Vec3>>> samples(kDanceCount);
    for (int d = 0; d < kDanceCount; ++d) {
        const Animation a = readDance(d);
        ASSERT_TRUE(animationFits(&a, mesh)) << d;
        EXPECT_GE(a.durationMs, 1500.0f) << d;
        // The step from the last key back to key 0 is no bigger than the
        // dance's biggest step between neighbouring keys.
        float largest = 0.0f;
        std::vector<Vec3> previous = extremities(c, a, 0.0f);
        for (int k = 1; k <= a.keyCount; ++k) {
            const float t = static_cast<float>(k % a.keyCount) * a.msPerKey;
            const std::vector<Vec3> pose = extremities(c, a, t);
            const float step = distance(previous, pose);
            if (k < a.keyCount) {
                largest = std::max(largest, step);
            } else {
                EXPECT_LE(step, largest * 1.5f + 1e-3f) << d;
            }
            previous = pose;
        }
        EXPECT_GT(largest, 0.05f) << d;
        for (int s = 0; s < kSamples; ++s) {
            samples[d].push_back(extremities(c, a, a.durationMs * s / kSamples));
        }
    }
    for (int d = 0; d < kDanceCount; ++d) {
        for (int e = d + 1; e < kDanceCount; ++e) {
            float apart = 0.0f;
            for (int s = 0; s < kSamples; ++s) {
                apart += distance(samples[d][s], samples[e][s]);
            }
            EXPECT_GT(apart / kSamples, 0.3f) << d << " and " << e;
        }
    }
}

TEST(ForgedHats, EveryHatSitsOnTheSkull) {
    SkinMesh mesh = readMesh(0);
    Character c;
    c.attachMesh(&mesh, nullptr);
    c.updateCharacter(AnimationClock{});
    const Vec3 head = transformPoint(c.boneWorld[forge::kHeadBone], c.worldMatrix());
    for (int hat = 0; hat < kHatCount; ++hat) {
        const std::vector<uint8_t> bytes = writeStaticMesh(forge::hatMesh(hat));
        StaticMesh hatMesh;
        ASSERT_EQ(parseStaticMesh(bytes.data(), bytes.size(), &hatMesh), MeshError::None) << hat;
        ASSERT_GT(hatMesh.faceCount, 10) << hat;
        Matrix4 m;
        ASSERT_TRUE(hatMatrix(c, hat, 1.0f, &m));
        // The middle of the hat's box, placed on the standing skeleton, lies
        // over the head (the skull's middle is one unit above the head bone).
        const Vec3 centre = transformPoint(hatMesh.boxCentre, m) - head;
        EXPECT_NEAR(centre.x, 0.0f, 0.5f) << hat;
        EXPECT_NEAR(centre.y, 0.0f, 0.9f) << hat;
        EXPECT_GT(centre.z, 0.8f) << hat;
        EXPECT_LT(centre.z, 3.5f) << hat;
    }
}

}  // namespace
}  // namespace corsavel
