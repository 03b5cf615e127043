// The skeletal characters: the three file formats (readers refuse what would
// index outside the file), the animation clock, pose evaluation, skinning,
// normals, corner welding and the hat's placement.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/animation.h"
#include "gfx/character.h"
#include "gfx/scene_object.h"
#include "gfx/skin_mesh.h"
#include "platform/null_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

void expectNear(Vec3 a, Vec3 b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

SkinInfluence influence(int bone, float weight, Vec3 offset) {
    SkinInfluence i;
    i.bone = bone;
    i.weight = weight;
    i.offset = offset;
    return i;
}

// Two bones (the root and its child "Bip01 Head" two units up) and three
// vertices in one triangle: A on the child, B halfway between both bones,
// C on the root.
SkinMeshFile twoBoneMesh() {
    SkinMeshFile f;
    f.bones.resize(2);
    std::strcpy(f.bones[0].name, "Bip01");
    f.bones[0].childCount = 1;
    f.bones[0].children[0] = 1;
    f.bones[1].offset = {0.0f, 0.0f, 2.0f};
    std::strcpy(f.bones[1].name, "Bip01 Head");
    f.influences = {
        influence(1, 1.0f, {1, 0, 0}), {}, {},
        influence(0, 0.5f, {0, 0, 1}), influence(1, 0.5f, {0, 0, 1}), {},
        influence(0, 1.0f, {0, 1, 0}), {}, {},
    };
    f.triangles = {0, 1, 2};
    f.cornerUvs = {{0, 0}, {1, 0}, {0, 1}};
    return f;
}

// One key per bone: the root turned 90 degrees about z, the child 90 about x.
AnimationFile twoBoneTurn() {
    AnimationFile a;
    a.boneCount = 2;
    a.msPerKey = 100;
    a.keyCount = 1;
    a.rootPath = {{0, 0, 0}};
    a.rotations = {{0, 0, kPi / 2}, {kPi / 2, 0, 0}};
    return a;
}

// K keys msPerKey apart; bone 0 turns about z by `step` radians per key and
// the root moves one unit per key along x.
AnimationFile turningAnimation(int keys, int msPerKey, float step, int bones = 2) {
    AnimationFile a;
    a.boneCount = bones;
    a.msPerKey = msPerKey;
    a.keyCount = keys;
    for (int k = 0; k < keys; ++k) {
        a.rootPath.push_back({static_cast<float>(k), 0, 0});
    }
    a.rotations.assign(static_cast<size_t>(bones) * keys, Vec3{});
    for (int k = 0; k < keys; ++k) {
        a.rotations[k] = {0, 0, step * k};
    }
    return a;
}

SkinMesh buildMesh(const SkinMeshFile& f) {
    SkinMesh mesh;
    EXPECT_EQ(buildSkinMesh(f, &mesh), SkinError::None);
    return mesh;
}

SkinError parseBytes(const std::vector<uint8_t>& bytes) {
    SkinMesh mesh;
    return parseSkinMesh(bytes.data(), bytes.size(), &mesh);
}

// Byte offset of bone b's record (child count first) in a written mesh.
size_t boneRecord(const SkinMeshFile& f, int b) {
    return 8 + f.bones.size() * 12 + static_cast<size_t>(f.vertexCount()) * 60 +
           static_cast<size_t>(b) * 56;
}

void putInt(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

TEST(SkinMeshFormat, WrittenMeshReadsBackUnchanged) {
    const SkinMeshFile f = twoBoneMesh();
    const std::vector<uint8_t> bytes = writeSkinMeshFile(f);
    EXPECT_EQ(bytes.size(), 8 + 2 * 12 + 3 * 60 + 2 * 56 + 4 + 3 * 4 + 3 * 8u);
    SkinMeshFile back;
    ASSERT_EQ(parseSkinMeshFile(bytes.data(), bytes.size(), &back), SkinError::None);
    ASSERT_EQ(back.bones.size(), 2u);
    EXPECT_STREQ(back.bones[1].name, "Bip01 Head");
    EXPECT_EQ(back.bones[0].children[0], 1);
    expectNear(back.bones[1].offset, {0, 0, 2});
    EXPECT_EQ(back.triangles, f.triangles);
    EXPECT_FLOAT_EQ(back.influences[3].weight, 0.5f);
}

TEST(SkinMeshFormat, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    const std::vector<uint8_t> bytes = writeSkinMeshFile(twoBoneMesh());
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        SkinMesh mesh;
        EXPECT_EQ(parseSkinMesh(cut.data(), cut.size(), &mesh), SkinError::Short) << n;
    }
}

TEST(SkinMeshFormat, BoneTreeIndicesAreCheckedAgainstTheFile) {
    const SkinMeshFile f = twoBoneMesh();
    const std::vector<uint8_t> good = writeSkinMeshFile(f);
    std::vector<uint8_t> bytes = good;
    putInt(bytes, boneRecord(f, 0) + 4, 2);  // child index past the bones
    EXPECT_EQ(parseBytes(bytes), SkinError::BadBone);
    bytes = good;
    putInt(bytes, boneRecord(f, 0) + 4, -1);
    EXPECT_EQ(parseBytes(bytes), SkinError::BadBone);
    bytes = good;
    putInt(bytes, boneRecord(f, 0), 6);  // more children than the record holds
    EXPECT_EQ(parseBytes(bytes), SkinError::BadBone);
    bytes = good;
    putInt(bytes, boneRecord(f, 0), -3);
    EXPECT_EQ(parseBytes(bytes), SkinError::BadBone);
    bytes = good;
    putInt(bytes, boneRecord(f, 1), 1);  // the child lists the root: a cycle
    putInt(bytes, boneRecord(f, 1) + 4, 0);
    EXPECT_EQ(parseBytes(bytes), SkinError::BadBone);
}

TEST(SkinMeshFormat, CyclesAndSecondParentsAreRefusedNotWalkedForever) {
    SkinMeshFile f = twoBoneMesh();
    f.bones.resize(3);
    std::strcpy(f.bones[2].name, "Loop");
    // 1 -> 2 -> 1: a cycle that no root reaches.
    f.bones[0].childCount = 0;
    f.bones[1].childCount = 1;
    f.bones[1].children[0] = 2;
    f.bones[2].childCount = 1;
    f.bones[2].children[0] = 1;
    std::vector<uint8_t> bytes = writeSkinMeshFile(f);
    EXPECT_EQ(parseBytes(bytes), SkinError::BoneCycle);
    // A bone listed by two parents.
    f.bones[0].childCount = 2;
    f.bones[0].children[0] = 1;
    f.bones[0].children[1] = 2;
    f.bones[2].childCount = 0;
    bytes = writeSkinMeshFile(f);
    EXPECT_EQ(parseBytes(bytes), SkinError::BoneCycle);
    // A bone listing itself.
    f.bones[1].children[0] = 1;
    f.bones[0].childCount = 1;
    bytes = writeSkinMeshFile(f);
    EXPECT_EQ(parseBytes(bytes), SkinError::BoneCycle);
}

TEST(SkinMeshFormat, InfluenceAndTriangleIndicesAreChecked) {
    SkinMeshFile f = twoBoneMesh();
    f.influences[0].bone = 7;
    EXPECT_EQ(parseBytes(writeSkinMeshFile(f)), SkinError::BadBone);
    // A skipped influence (weight 0) may carry any bone number.
    f.influences[0].weight = 0.0f;
    EXPECT_EQ(parseBytes(writeSkinMeshFile(f)), SkinError::None);
    f = twoBoneMesh();
    f.triangles[2] = 3;
    EXPECT_EQ(parseBytes(writeSkinMeshFile(f)), SkinError::IndexOutOfRange);
    f.triangles[2] = -1;
    EXPECT_EQ(parseBytes(writeSkinMeshFile(f)), SkinError::IndexOutOfRange);
    f = twoBoneMesh();
    f.bones[1].offset.y = std::nanf("");
    EXPECT_EQ(parseBytes(writeSkinMeshFile(f)), SkinError::NonFinite);
}

TEST(SkinMeshFormat, HugeCountsAreRefusedBeforeAllocating) {
    std::vector<uint8_t> bytes(8, 0);
    putInt(bytes, 0, 0x7FFFFFFF);
    putInt(bytes, 4, 2);
    EXPECT_EQ(parseBytes(bytes), SkinError::BadCount);
    putInt(bytes, 0, 3);
    putInt(bytes, 4, 0);  // no root bone
    EXPECT_EQ(parseBytes(bytes), SkinError::BadCount);
    putInt(bytes, 4, 100000);
    EXPECT_EQ(parseBytes(bytes), SkinError::BadCount);
}

TEST(SkinMeshFormat, NamesWithoutTheirZeroAreCut) {
    const SkinMeshFile f = twoBoneMesh();
    std::vector<uint8_t> bytes = writeSkinMeshFile(f);
    std::memset(bytes.data() + boneRecord(f, 1) + 24, 'H', 32);
    SkinMeshFile back;
    ASSERT_EQ(parseSkinMeshFile(bytes.data(), bytes.size(), &back), SkinError::None);
    EXPECT_EQ(std::strlen(back.bones[1].name), 31u);
}

TEST(SkinMeshWelding, OneVertexWithTwoUvsGivesTwoRenderVertices) {
    SkinMeshFile f = twoBoneMesh();
    // A second triangle sharing vertices 0 and 2; vertex 0 has another (u, v).
    f.triangles = {0, 1, 2, 0, 2, 1};
    f.cornerUvs = {{0, 0}, {1, 0}, {0, 1}, {0.5f, 0.5f}, {0, 1}, {1, 0}};
    SkinMesh mesh = buildMesh(f);
    ASSERT_EQ(mesh.renderVertices.size(), 4u);
    EXPECT_EQ(mesh.renderVertices[0].source, 0);
    EXPECT_EQ(mesh.renderVertices[1].source, 0);
    EXPECT_FLOAT_EQ(mesh.renderVertices[1].v, 0.5f);
    EXPECT_FLOAT_EQ(mesh.renderVertices[0].v, 1.0f);  // stored v 0 becomes 1 - v
    EXPECT_EQ(mesh.cornerMap[3], 1u);
    EXPECT_EQ(mesh.cornerMap[4], mesh.cornerMap[2]);

    Character c;
    c.attachMesh(&mesh, nullptr);
    c.updateCharacter(AnimationClock{});
    expectNear(c.vertices[0].position, c.vertices[1].position, 0.0f);
    expectNear(c.vertices[0].normal, c.vertices[1].normal, 0.0f);
    EXPECT_NE(c.vertices[0].v, c.vertices[1].v);
}

TEST(SkinMeshWelding, RenderVerticesStayBelowTheSixteenBitLimit) {
    // Every vertex in two corners with (u, v)s of their own: two render
    // vertices each.
    auto mesh = [](int triangles) {
        SkinMeshFile f;
        f.bones.resize(1);
        const int corners = triangles * 3;
        const int vertices = (corners + 1) / 2;
        for (int v = 0; v < vertices; ++v) {
            f.influences.insert(f.influences.end(), {influence(0, 1.0f, {}), {}, {}});
        }
        for (int c = 0; c < corners; ++c) {
            f.triangles.push_back(c % vertices);
            f.cornerUvs.push_back({static_cast<float>(c), 0.0f});
        }
        return f;
    };
    SkinMesh built;
    EXPECT_EQ(buildSkinMesh(mesh(21846), &built), SkinError::TooManyVertices);
    ASSERT_EQ(buildSkinMesh(mesh(21845), &built), SkinError::None);
    EXPECT_EQ(built.renderVertices.size(), 65535u);
    // A vertex shared by many corners with a few distinct (u, v)s welds them.
    SkinMeshFile shared;
    shared.bones.resize(1);
    shared.influences = {influence(0, 1.0f, {}), {}, {}};
    for (int c = 0; c < 3000; ++c) {
        shared.triangles.push_back(0);
        shared.cornerUvs.push_back({static_cast<float>(c % 3), 0.0f});
    }
    ASSERT_EQ(buildSkinMesh(shared, &built), SkinError::None);
    EXPECT_EQ(built.renderVertices.size(), 3u);
    EXPECT_EQ(built.cornerMap[2999], 2u);
}

TEST(AnimationFormat, WrittenAnimationReadsBackWithDerivedValues) {
    const AnimationFile f = turningAnimation(4, 50, 0.5f);
    const std::vector<uint8_t> bytes = writeAnimationFile(f);
    Animation a;
    ASSERT_EQ(parseAnimation(bytes.data(), bytes.size(), &a), AnimationError::None);
    EXPECT_FLOAT_EQ(a.durationMs, 200.0f);
    EXPECT_EQ(a.ticks, 200 / 33 + 2);
    ASSERT_EQ(static_cast<int>(a.resampledRoot.size()), a.ticks);
    // Point i lies at key position i * (K - 1) / ticks.
    EXPECT_NEAR(a.resampledRoot[4].x, 4.0f * 3.0f / 8.0f, 1e-5f);
    EXPECT_NEAR(a.speed, 3.0f * 33.0f / 200.0f, 1e-5f);
    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_EQ(parseAnimation(bytes.data(), n, &a), AnimationError::Short) << n;
    }
}

TEST(AnimationFormat, ZeroKeysOrKeyTimeAreRefused) {
    AnimationFile f = turningAnimation(4, 50, 0.5f);
    std::vector<uint8_t> bytes = writeAnimationFile(f);
    Animation a;
    putInt(bytes, 8, 0);
    EXPECT_EQ(parseAnimation(bytes.data(), bytes.size(), &a), AnimationError::BadCount);
    bytes = writeAnimationFile(f);
    putInt(bytes, 4, 0);
    EXPECT_EQ(parseAnimation(bytes.data(), bytes.size(), &a), AnimationError::BadTiming);
    putInt(bytes, 4, -20);
    EXPECT_EQ(parseAnimation(bytes.data(), bytes.size(), &a), AnimationError::BadTiming);
    bytes = writeAnimationFile(f);
    putInt(bytes, 0, 0);
    EXPECT_EQ(parseAnimation(bytes.data(), bytes.size(), &a), AnimationError::BadCount);
    // A duration that would overflow the key arithmetic.
    bytes = writeAnimationFile(f);
    putInt(bytes, 4, 60000);
    putInt(bytes, 8, 100000);
    EXPECT_EQ(parseAnimation(bytes.data(), bytes.size(), &a), AnimationError::BadTiming);
}

class AnimationClockTest : public ::testing::Test {
protected:
    Animation dance = buildAnimation(turningAnimation(4, 100, 0.5f));
    Animation other = buildAnimation(turningAnimation(2, 250, 0.25f));
};

TEST_F(AnimationClockTest, TimeEqualToTheDurationWrapsToZero) {
    AnimationClock clock;
    clock.current = &dance;
    clock.timeMs = 300.0f;
    advanceAnimationClock(clock, 100.0f);
    EXPECT_FLOAT_EQ(clock.timeMs, 0.0f);
    EXPECT_EQ(keyPosition(dance, clock.timeMs).key, 0);
}

TEST_F(AnimationClockTest, LongFrameWrapsByTheRemainderAndStaysInsideTheKeys) {
    AnimationClock clock;
    clock.current = &dance;
    clock.timeMs = 50.0f;
    advanceAnimationClock(clock, 4000.0f + 4 * 400.0f + 120.0f);
    EXPECT_NEAR(clock.timeMs, 170.0f, 1e-3f);
    const KeyPosition p = keyPosition(dance, clock.timeMs);
    EXPECT_EQ(p.key, 1);
    EXPECT_NEAR(p.fraction, 0.7f, 1e-4f);
    // Even a time past the end names the last key, never one beyond it.
    EXPECT_EQ(keyPosition(dance, 1e9f).key, 3);
}

TEST_F(AnimationClockTest, LastKeyBlendsTowardsKeyZero) {
    const KeyPosition p = keyPosition(dance, 350.0f);
    EXPECT_EQ(p.key, 3);
    EXPECT_EQ(p.nextKey, 0);
    EXPECT_NEAR(p.fraction, 0.5f, 1e-5f);
    // The rotation halfway from key 3 (1.5 rad) back to key 0 (0 rad).
    const Quaternion q = slerp(dance.rotation(0, 3), dance.rotation(0, 0), p.fraction);
    const Quaternion expected = eulerQuaternion({0, 0, 0.75f});
    EXPECT_NEAR(std::fabs(q.z * expected.z + q.w * expected.w), 1.0f, 1e-5f);
}

TEST_F(AnimationClockTest, BlendEndsAfterItsTimeAndTheNewDanceStartsAtTheOvershoot) {
    AnimationClock clock;
    clock.current = &dance;
    blendToAnimation(clock, &other, 300.0f);
    int frames = 0;
    while (clock.blending && frames < 100) {
        advanceAnimationClock(clock, 16.0f);
        ++frames;
    }
    // 19 frames reach 304 ms of blend; the 20th hands over.
    EXPECT_EQ(frames, 20);
    EXPECT_EQ(clock.current, &other);
    EXPECT_EQ(clock.next, nullptr);
    // Started at the 4 ms overshoot, then that frame's 16 ms.
    EXPECT_NEAR(clock.timeMs, 4.0f + 16.0f, 1e-4f);
}

TEST_F(AnimationClockTest, BlendWeightRisesWithTheBlendTime) {
    AnimationClock clock;
    clock.current = &dance;
    blendToAnimation(clock, &other, 100.0f);
    advanceAnimationClock(clock, 25.0f);
    EXPECT_NEAR(clock.blendWeight, 0.25f, 1e-6f);
    advanceAnimationClock(clock, 500.0f);
    EXPECT_FLOAT_EQ(clock.blendWeight, 1.0f);
}

TEST(Skinning, TwoBoneMeshMatchesHandComputedPositions) {
    SkinMesh mesh = buildMesh(twoBoneMesh());
    const Animation turn = buildAnimation(twoBoneTurn());
    Character c;
    c.attachMesh(&mesh, nullptr);
    AnimationClock clock;
    clock.current = &turn;
    c.updateCharacter(clock);
    // Root: 90 degrees about z; child: 90 about x, then the root's turn.
    expectNear(c.skinned[0], {0, 1, 2});
    expectNear(c.skinned[1], {0.5f, 0, 1.5f});
    expectNear(c.skinned[2], {-1, 0, 0});
    expectNear(c.boneWorld[1], {0, 0, 2});
    // Every corner of the triangle gets the face's normal (c - a) x (b - a).
    const Vec3 a = c.skinned[0], b = c.skinned[1], d = c.skinned[2];
    const Vec3 n = safeNormal(cross(d - a, b - a));
    for (const MeshVertex& v : c.vertices) {
        expectNear(v.normal, n);
    }
}

TEST(Skinning, AnimationOfAnotherBoneCountLeavesTheRestPose) {
    SkinMesh mesh = buildMesh(twoBoneMesh());
    const Animation wrong = buildAnimation(turningAnimation(2, 100, 1.0f, 3));
    EXPECT_FALSE(animationFits(&wrong, mesh));
    Character c;
    c.attachMesh(&mesh, nullptr);
    AnimationClock clock;
    clock.current = &wrong;
    c.updateCharacter(clock);
    expectNear(c.skinned[0], {1, 0, 2});
    expectNear(c.skinned[2], {0, 1, 0});
}

TEST(Skinning, CrossFadeMovesTowardsTheNextDancesFirstKey) {
    SkinMesh mesh = buildMesh(twoBoneMesh());
    const Animation still = buildAnimation(turningAnimation(1, 100, 0.0f));
    const Animation turn = buildAnimation(twoBoneTurn());
    Character c;
    c.attachMesh(&mesh, nullptr);
    AnimationClock clock;
    clock.current = &still;
    blendToAnimation(clock, &turn, 100.0f);
    clock.blendWeight = 1.0f;
    c.updateCharacter(clock);
    expectNear(c.skinned[2], {-1, 0, 0});
    clock.blendWeight = 0.5f;
    c.updateCharacter(clock);
    const float h = std::sqrt(0.5f);
    expectNear(c.skinned[2], {-h, h, 0});
}

TEST(Skinning, DegenerateTrianglesGiveDefinedNormals) {
    SkinMeshFile f = twoBoneMesh();
    for (SkinInfluence& i : f.influences) {
        i.offset = {};
    }
    SkinMesh mesh = buildMesh(f);
    Character c;
    c.attachMesh(&mesh, nullptr);
    c.updateCharacter(AnimationClock{});
    for (const MeshVertex& v : c.vertices) {
        EXPECT_TRUE(std::isfinite(v.normal.x) && std::isfinite(v.normal.y) &&
                    std::isfinite(v.normal.z));
        EXPECT_NEAR(length(v.normal), 1.0f, 1e-5f);
    }
    expectNear(safeNormal({}), {0, 0, 1});
    expectNear(safeNormal({0, 3, 4}), {0, 0.6f, 0.8f});
}

TEST(Skinning, InstanceMatrixTurnsAndPlacesTheCharacter) {
    SkinMesh mesh = buildMesh(twoBoneMesh());
    const Animation dance = buildAnimation(turningAnimation(2, 100, 0.0f));
    Character c;
    c.attachMesh(&mesh, nullptr);
    c.yaw = 0.0f;
    c.placement = {10.0f, -35.0f, 99.0f};
    AnimationClock clock;
    clock.current = &dance;
    clock.timeMs = 50.0f;  // root halfway from (0,0,0) to (1,0,0)
    c.updateCharacter(clock);
    expectNear(c.rootOffset, {0.5f, 0, 0});
    // (p + root) turned 180 degrees about z, plus (x, y, y) of the placement.
    const Vec3 p = transformPoint({1, 0, 2}, c.worldMatrix());
    expectNear(p, {10.0f - 1.5f, -35.0f, 2.0f - 35.0f});
}

TEST(Hats, MissingHeadBoneOrHatNumberDrawsNoHat) {
    SkinMeshFile f = twoBoneMesh();
    SkinMesh withHead = buildMesh(f);
    std::strcpy(f.bones[1].name, "Bip01 Neck");
    SkinMesh headless = buildMesh(f);
    Character c;
    Matrix4 m;
    c.attachMesh(&headless, nullptr);
    EXPECT_EQ(c.headBone, -1);
    EXPECT_FALSE(hatMatrix(c, 0, 1.0f, &m));
    c.attachMesh(&withHead, nullptr);
    EXPECT_EQ(c.headBone, 1);
    EXPECT_TRUE(hatMatrix(c, 0, 1.0f, &m));
    EXPECT_FALSE(hatMatrix(c, -1, 1.0f, &m));
    EXPECT_FALSE(hatMatrix(c, kHatCount, 1.0f, &m));
}

TEST(Hats, HatSitsOnTheHeadBoneInItsOwnFrame) {
    SkinMesh mesh = buildMesh(twoBoneMesh());
    Character c;
    c.attachMesh(&mesh, nullptr);
    c.updateCharacter(AnimationClock{});
    Matrix4 m;
    ASSERT_TRUE(hatMatrix(c, 9, 1.0f, &m));
    // The hat's origin: its offset turned by Rx(-15) Rz(180) Ry(90), from the
    // head bone at (0, 0, 2), then the instance's half turn.
    const Matrix4 r = rotationX(-15.0f) * rotationZ(180.0f) * rotationY(90.0f);
    const Vec3 local = transformPoint({0, 0, 1.75f}, r) + Vec3{0, 0, 2};
    expectNear(transformPoint({}, m), {-local.x, -local.y, local.z});
    // The axe moves off the head by 0.75 / the dancer's size.
    Matrix4 small, large;
    ASSERT_TRUE(hatMatrix(c, 10, 0.5f, &small));
    ASSERT_TRUE(hatMatrix(c, 10, 1.5f, &large));
    EXPECT_GT(length(transformPoint({}, small) - transformPoint({}, large)), 0.5f);
}

TEST(CharacterFormat, DescriptorNamesAreReadAndCut) {
    CharacterFile f;
    std::strcpy(f.mesh, "skelet.skn");
    std::strcpy(f.texture, "skelet.tga");
    std::vector<uint8_t> bytes = writeCharacterFile(f);
    ASSERT_EQ(bytes.size(), kCharacterFileSize);
    CharacterFile back;
    ASSERT_TRUE(parseCharacterFile(bytes.data(), bytes.size(), &back));
    EXPECT_STREQ(back.mesh, "skelet.skn");
    EXPECT_STREQ(back.texture, "skelet.tga");
    EXPECT_FALSE(parseCharacterFile(bytes.data(), 63, &back));
    std::memset(bytes.data(), 'x', 64);
    ASSERT_TRUE(parseCharacterFile(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(std::strlen(back.mesh), 31u);
    EXPECT_EQ(std::strlen(back.texture), 31u);
}

TEST(CharacterDrawing, OneIndexedDrawOfTheCharactersOwnBuffer) {
    NullDevice device;
    setRenderBackend(&device);
    SkinMesh mesh = buildMesh(twoBoneMesh());
    const Animation turn = buildAnimation(twoBoneTurn());
    Character c;
    c.attachMesh(&mesh, nullptr);
    ASSERT_NE(c.buffers.buffers, 0u);
    EXPECT_TRUE(c.buffers.indexed);
    AnimationClock clock;
    clock.current = &turn;
    c.updateCharacter(clock);
    c.drawCharacter();
    EXPECT_EQ(device.meshDraws, 1);
    EXPECT_EQ(c.buffers.triangleCount, 1);
    setRenderBackend(nullptr);
}

}  // namespace
}  // namespace corsavel
