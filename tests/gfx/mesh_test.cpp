#include "gfx/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "gfx/image_test_util.h"
#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

MeshFile triangleFan(bool smooth) {
    // Two faces sharing the edge 0-2.
    MeshFile f;
    f.smooth = smooth;
    f.positions = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, -1, 0}};
    f.faces = {0, 1, 2, 0, 2, 3};
    f.cornerUvs = {{0, 0}, {0, 1}, {1, 0}, {0, 0}, {1, 0}, {1, 0.25f}};
    return f;
}

// A cube of half-size 1, two faces per side, one (u, v) per vertex.
MeshFile cube(bool smooth) {
    MeshFile f;
    f.smooth = smooth;
    for (int i = 0; i < 8; ++i) {
        f.positions.push_back(
            {(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f});
    }
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads) {
        for (int k : {q[0], q[1], q[2], q[0], q[2], q[3]}) {
            f.faces.push_back(k);
            f.cornerUvs.push_back({k * 0.125f, k * 0.0625f});
        }
    }
    return f;
}

StaticMesh build(const MeshFile& file) {
    StaticMesh mesh;
    EXPECT_EQ(buildStaticMesh(file, &mesh), MeshError::None);
    return mesh;
}

void expectNear(Vec3 a, Vec3 b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

TEST(MeshBuild, FlatMeshHasOneRenderVertexPerCornerWithItsFaceNormal) {
    StaticMesh mesh = build(triangleFan(false));
    ASSERT_EQ(mesh.vertexCount, 6);
    EXPECT_EQ(mesh.faceCount, 2);
    EXPECT_TRUE(mesh.cornerMap.empty());
    // (c - a) x (b - a) for both faces: (1,0,0) x (0,1,0) = +z.
    for (const MeshVertex& v : mesh.vertices) {
        expectNear(v.normal, {0, 0, 1});
    }
    expectNear(mesh.vertices[4].position, {1, 0, 0});
    EXPECT_FLOAT_EQ(mesh.vertices[1].v, 0.0f);  // v becomes 1 - v
    EXPECT_FLOAT_EQ(mesh.vertices[5].v, 0.75f);
    EXPECT_FLOAT_EQ(mesh.vertices[5].u, 1.0f);
}

TEST(MeshBuild, SmoothCubeWithOneUvPerVertexWeldsToEightVertices) {
    StaticMesh mesh = build(cube(true));
    ASSERT_EQ(mesh.vertexCount, 8);
    ASSERT_EQ(mesh.cornerMap.size(), 36u);
    MeshFile file = cube(true);
    for (size_t c = 0; c < 36; ++c) {
        const MeshVertex& v = mesh.vertices[mesh.cornerMap[c]];
        expectNear(v.position, file.positions[file.faces[c]]);
        EXPECT_FLOAT_EQ(v.v, 1.0f - file.cornerUvs[c].v);
    }
    // Summed face normals point the same way (all out or all in) at every corner.
    for (const MeshVertex& v : mesh.vertices) {
        EXPECT_NEAR(length(v.normal), 1.0f, 1e-5f);
        EXPECT_LT(dot(v.normal, v.position), -1.0f);
    }
}

TEST(MeshBuild, CornersWithDifferentUvsSplitIntoVerticesSharingPositionAndNormal) {
    StaticMesh mesh = build(triangleFan(true));
    // Vertices 0 and 2 are each used twice with one (u, v); give the second
    // corner of vertex 2 a (u, v) of its own.
    MeshFile file = triangleFan(true);
    file.cornerUvs[4] = {0.5f, 0.5f};
    StaticMesh split = build(file);
    EXPECT_EQ(mesh.vertexCount, 4);
    ASSERT_EQ(split.vertexCount, 5);
    uint32_t a = split.cornerMap[2];
    uint32_t b = split.cornerMap[4];
    ASSERT_NE(a, b);
    expectNear(split.vertices[a].position, split.vertices[b].position);
    expectNear(split.vertices[a].normal, split.vertices[b].normal);
    EXPECT_FLOAT_EQ(split.vertices[b].u, 0.5f);
    // Render vertices follow the file's vertex order.
    EXPECT_EQ(split.cornerMap[0], 0u);
    EXPECT_EQ(split.cornerMap[1], 1u);
    EXPECT_EQ(split.cornerMap[5], 4u);
}

TEST(MeshBuild, SmoothNormalsSumTheNormalisedFaceNormals) {
    // A hinge: two faces at a right angle share the edge 0-1.
    MeshFile f;
    f.smooth = true;
    f.positions = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 5}};
    f.faces = {0, 1, 2, 0, 3, 1};
    f.cornerUvs.assign(6, {0, 0});
    StaticMesh mesh = build(f);
    float s = 1.0f / std::sqrt(2.0f);
    expectNear(mesh.vertices[mesh.cornerMap[0]].normal, {s, 0, s});
    expectNear(mesh.vertices[mesh.cornerMap[2]].normal, {0, 0, 1});
    expectNear(mesh.vertices[mesh.cornerMap[4]].normal, {1, 0, 0});
}

TEST(MeshBuild, BoundsCoverEveryVertexPosition) {
    MeshFile f = triangleFan(false);
    f.positions.push_back({-1, -2, -3});  // unused by any face, still counted
    f.positions.push_back({3, 2, 1});
    StaticMesh mesh = build(f);
    expectNear(mesh.boxCentre, {1, 0, -1});
    expectNear(mesh.boxHalfSize, {2, 2, 2});
    expectNear(mesh.sphereCentre, {1, 0, -1});
    EXPECT_NEAR(mesh.sphereRadius, std::sqrt(12.0f), 1e-5f);
}

TEST(MeshBuild, EmptyMeshHasZeroBoundsAndNoBuffers) {
    RecordingDevice device;
    device.install();
    MeshFile empty;
    std::vector<uint8_t> bytes = writeStaticMesh(empty);
    EXPECT_EQ(bytes.size(), 37u);
    StaticMesh mesh;
    ASSERT_EQ(parseStaticMesh(bytes.data(), bytes.size(), &mesh), MeshError::None);
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.faceCount, 0);
    expectNear(mesh.boxHalfSize, {});
    EXPECT_EQ(mesh.sphereRadius, 0.0f);
    EXPECT_TRUE(createStaticMeshBuffers(&mesh));
    EXPECT_EQ(mesh.buffers.buffers, 0u);
    drawMeshBuffers(mesh.buffers);
    EXPECT_TRUE(device.draws.empty());
    device.uninstall();
}

Matrix4 rotationX(float a) {
    Matrix4 m;
    m.m[1][1] = std::cos(a);
    m.m[1][2] = std::sin(a);
    m.m[2][1] = -std::sin(a);
    m.m[2][2] = std::cos(a);
    return m;
}
Matrix4 rotationY(float a) {
    Matrix4 m;
    m.m[0][0] = std::cos(a);
    m.m[0][2] = -std::sin(a);
    m.m[2][0] = std::sin(a);
    m.m[2][2] = std::cos(a);
    return m;
}
Matrix4 rotationZ(float a) {
    Matrix4 m;
    m.m[0][0] = std::cos(a);
    m.m[0][1] = std::sin(a);
    m.m[1][0] = -std::sin(a);
    m.m[1][1] = std::cos(a);
    return m;
}

TEST(MeshBuild, PivotRotatesAboutXThenYThenZAndThenTranslates) {
    Vec3 r{0.3f, -0.7f, 1.1f};
    Matrix4 expected = rotationX(r.x) * rotationY(r.y) * rotationZ(r.z);
    Matrix4 got = eulerRotation(r);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(got.m[i][j], expected.m[i][j], 1e-5f) << i << "," << j;
        }
    }
    MeshFile f = triangleFan(false);
    f.pivotTranslation = {5, 6, 7};
    f.pivotRotation = {0, 0, kPi / 2};
    StaticMesh mesh = build(f);
    expectNear(transformPoint({1, 0, 0}, mesh.local), {5, 7, 7});
}

TEST(MeshBuild, HugeFiniteCoordinatesKeepNormalsAndBoundsFinite) {
    for (bool smooth : {false, true}) {
        MeshFile f;
        f.smooth = smooth;
        f.positions = {{-3e38f, 0, 0}, {3e38f, 3e38f, 0}, {3e38f, -3e38f, 1}};
        f.faces = {0, 1, 2};
        f.cornerUvs.assign(3, {0, 0});
        StaticMesh mesh = build(f);
        for (const MeshVertex& v : mesh.vertices) {
            EXPECT_TRUE(std::isfinite(v.normal.x) && std::isfinite(v.normal.y) &&
                        std::isfinite(v.normal.z));
            EXPECT_NEAR(length(v.normal), 1.0f, 1e-4f);
        }
        EXPECT_TRUE(std::isfinite(mesh.boxHalfSize.x));
        EXPECT_TRUE(std::isfinite(mesh.boxCentre.x));
        EXPECT_FALSE(std::isnan(mesh.sphereRadius));
    }
}

// ---- The file format ----

TEST(MeshFormat, WriterAndReaderRoundTrip) {
    MeshFile f = cube(true);
    f.pivotTranslation = {1.5f, -2, 3};
    f.pivotRotation = {0.1f, 0.2f, 0.3f};
    std::vector<uint8_t> bytes = writeStaticMesh(f);
    ASSERT_EQ(bytes.size(), 37u + 8 * 12 + 12 * 36);
    EXPECT_EQ(bytes[3], 1);
    MeshFile back;
    ASSERT_EQ(parseMeshFile(bytes.data(), bytes.size(), &back), MeshError::None);
    EXPECT_TRUE(back.smooth);
    expectNear(back.pivotTranslation, f.pivotTranslation);
    expectNear(back.pivotRotation, f.pivotRotation);
    EXPECT_EQ(back.faces, f.faces);
    ASSERT_EQ(back.positions.size(), 8u);
    expectNear(back.positions[7], {1, 1, 1});
    ASSERT_EQ(back.cornerUvs.size(), 36u);
    EXPECT_FLOAT_EQ(back.cornerUvs[35].u, f.cornerUvs[35].u);
    // Any non-zero smooth byte means smooth.
    bytes[3] = 7;
    ASSERT_EQ(parseMeshFile(bytes.data(), bytes.size(), &back), MeshError::None);
    EXPECT_TRUE(back.smooth);
}

void putInt(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
    std::memcpy(&bytes[offset], &value, 4);
}
void putFloatAt(std::vector<uint8_t>& bytes, size_t offset, float value) {
    std::memcpy(&bytes[offset], &value, 4);
}

TEST(MeshFormat, MalformedFilesAreRefusedWithoutReadingPastTheEnd) {
    const std::vector<uint8_t> good = writeStaticMesh(triangleFan(true));
    const size_t facesAt = 37 + 4 * 12;
    const size_t uvsAt = facesAt + 2 * 12;
    MeshFile out;
    auto parse = [&](const std::vector<uint8_t>& b) {
        // A copy of exactly the bytes under test, so ASan sees any overread.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size() + 1]);
        std::memcpy(exact.get(), b.data(), b.size());
        return parseMeshFile(exact.get(), b.size(), &out);
    };
    EXPECT_EQ(parseMeshFile(nullptr, 0, &out), MeshError::Short);
    EXPECT_EQ(parse(std::vector<uint8_t>(good.begin(), good.begin() + 36)), MeshError::Short);
    EXPECT_EQ(parse(std::vector<uint8_t>(good.begin(), good.end() - 1)), MeshError::Short);

    std::vector<uint8_t> b = good;
    putInt(b, 29, -1);
    EXPECT_EQ(parse(b), MeshError::BadCount);
    b = good;
    putInt(b, 33, -5);
    EXPECT_EQ(parse(b), MeshError::BadCount);
    b = good;
    putInt(b, 33, 0x7FFFFFFF);
    EXPECT_EQ(parse(b), MeshError::BadCount);
    b = good;
    putInt(b, 33, 1000);  // plausible, but the data is not there
    EXPECT_EQ(parse(b), MeshError::Short);

    b = good;
    putInt(b, facesAt + 8, 4);  // only 4 vertices: 0..3
    EXPECT_EQ(parse(b), MeshError::IndexOutOfRange);
    b = good;
    putInt(b, facesAt, -1);
    EXPECT_EQ(parse(b), MeshError::IndexOutOfRange);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    b = good;
    putFloatAt(b, 37 + 4, nan);
    EXPECT_EQ(parse(b), MeshError::NonFinite);
    b = good;
    putFloatAt(b, uvsAt + 4, inf);
    EXPECT_EQ(parse(b), MeshError::NonFinite);
    b = good;
    putFloatAt(b, 16, nan);  // pivot rotation
    EXPECT_EQ(parse(b), MeshError::NonFinite);

    // A vertex that no face uses is allowed; extra bytes at the end are ignored.
    b = good;
    b.push_back(0xAB);
    EXPECT_EQ(parse(b), MeshError::None);
}

TEST(MeshFormat, SmoothMeshBeyondSixteenBitIndicesIsRefused) {
    MeshFile f;
    f.smooth = true;
    const int faces = 21846;  // 65538 corners, each its own vertex
    for (int i = 0; i < faces * 3; ++i) {
        f.positions.push_back({static_cast<float>(i), 0, 0});
        f.faces.push_back(i);
        f.cornerUvs.push_back({0, 0});
    }
    StaticMesh mesh;
    EXPECT_EQ(buildStaticMesh(f, &mesh), MeshError::TooManyVertices);
    f.smooth = false;  // flat meshes are not indexed
    EXPECT_EQ(buildStaticMesh(f, &mesh), MeshError::None);
    EXPECT_EQ(mesh.vertexCount, faces * 3);
}

// ---- ".cgo" text ----

SceneObjectText parseText(const std::string& s) {
    SceneObjectText t;
    EXPECT_TRUE(parseSceneObjectText(reinterpret_cast<const uint8_t*>(s.data()), s.size(), &t));
    return t;
}

TEST(SceneObjectText, ReadsMeshesAndTexturesAndDropsTheLastByte) {
    SceneObjectText t = parseText(
        "nummeshes=2\r\nmesh0=models\\body.msh_s\r\ntexture0=wood.jpg\r\n"
        "mesh1=lid.msh_s\r\ntexture1=gold.tga");
    ASSERT_EQ(t.meshCount, 2);
    EXPECT_STREQ(t.entries[0].mesh, "models\\body.msh_s");
    EXPECT_STREQ(t.entries[0].texture, "wood.jpg");
    EXPECT_STREQ(t.entries[1].mesh, "lid.msh_s");
    // No line end after the last value: its last character is lost.
    EXPECT_STREQ(t.entries[1].texture, "gold.tg");
}

TEST(SceneObjectText, MissingKeysGiveEmptyNamesAndBadCountsAreHandled) {
    SceneObjectText t = parseText("nummeshes=3\r\nmesh0=a.msh_s\r\ntexture2=c.jpg\r\n");
    ASSERT_EQ(t.meshCount, 3);
    EXPECT_STREQ(t.entries[0].mesh, "a.msh_s");
    EXPECT_STREQ(t.entries[0].texture, "");
    EXPECT_STREQ(t.entries[1].mesh, "");
    EXPECT_STREQ(t.entries[2].texture, "c.jpg");
    EXPECT_EQ(parseText("nummeshes=-4\r\n").meshCount, 0);
    EXPECT_EQ(parseText("mesh0=a.msh_s\r\n").meshCount, 0);
    EXPECT_EQ(parseText("").meshCount, 0);
    SceneObjectText big;
    std::string huge = "nummeshes=100000\r\n";
    EXPECT_FALSE(
        parseSceneObjectText(reinterpret_cast<const uint8_t*>(huge.data()), huge.size(), &big));
}

// ---- Drawing ----

class SceneObjectDraw : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        clearAssetRegistry();
        // Only the plane x >= -400 can cull; the others pass everything.
        for (auto& plane : renderDevice.viewFrustum) {
            plane[0] = plane[1] = plane[2] = 0.0f;
            plane[3] = 1e6f;
        }
        float* left = renderDevice.viewFrustum[1];
        left[0] = 1.0f;
        left[3] = 400.0f;
        // A flat quad spanning x -3..3, y -4..4: sphere radius exactly 5.
        MeshFile quad;
        quad.positions = {{-3, -4, 0}, {-3, 4, 0}, {3, 4, 0}, {3, -4, 0}};
        quad.faces = {0, 1, 2, 0, 2, 3};
        quad.cornerUvs.assign(6, {0, 0});
        for (StaticMesh& m : meshes) {
            ASSERT_EQ(buildStaticMesh(quad, &m), MeshError::None);
            ASSERT_TRUE(createStaticMeshBuffers(&m));
        }
        opaque.hasAlpha = 0;
        opaque.texture = 11;
        alpha.hasAlpha = 1;
        alpha.texture = 12;
    }
    void TearDown() override {
        for (StaticMesh& m : meshes) {
            releaseMeshBuffers(&m.buffers);
        }
        freeSceneObjectLibrary();
        freeMeshLibrary();
        releaseAllTextures();
        clearAssetRegistry();
        device.uninstall();
    }
    // An object over this fixture's meshes and the given textures.
    void setUp(SceneObject& object, std::vector<TextureEntry*> textures) {
        object.meshCount = static_cast<int>(textures.size());
        object.meshes = new StaticMesh*[textures.size()];
        object.textures = new TextureEntry*[textures.size()];
        for (size_t i = 0; i < textures.size(); ++i) {
            object.meshes[i] = &meshes[i];
            object.textures[i] = textures[i];
        }
    }
    static Matrix4 translation(float x, float y, float z) {
        Matrix4 m;
        m.m[3][0] = x;
        m.m[3][1] = y;
        m.m[3][2] = z;
        return m;
    }

    RecordingDevice device;
    StaticMesh meshes[3];
    TextureEntry opaque;
    TextureEntry alpha;
};

TEST_F(SceneObjectDraw, SphereTouchingAPlaneFromOutsideIsCulledJustInsideIsDrawn) {
    SceneObject object;
    setUp(object, {&opaque});
    // Centre at -405: -405 + 400 = -5 = -radius, outside.
    drawSceneObject(object, translation(-405, 0, 0));
    EXPECT_TRUE(device.draws.empty());
    drawSceneObject(object, translation(-404.99f, 0, 0));
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].primitiveCount, 2);
    EXPECT_FLOAT_EQ(device.draws[0].matrix(MatrixSlot::World).m[3][0], -404.99f);
}

TEST_F(SceneObjectDraw, CullingUsesTheRealFrustumOfTheSceneView) {
    setView(nullptr);
    setOrthographic(800.0f, 600.0f, 1.0f, 300.0f);
    updateFrustum();
    SceneObject object;
    setUp(object, {&opaque});
    drawSceneObject(object, translation(0, -306, 10));  // 1 beyond the radius below
    drawSceneObject(object, translation(0, -304, 10));  // 1 within it
    drawSceneObject(object, translation(0, 0, -400));   // far behind the camera
    drawSceneObject(object, translation(395, 0, 50));
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_FLOAT_EQ(device.draws[0].matrix(MatrixSlot::World).m[3][1], -304.0f);
    EXPECT_FLOAT_EQ(device.draws[1].matrix(MatrixSlot::World).m[3][0], 395.0f);
}

TEST_F(SceneObjectDraw, ExtraMatrixActsFirstInTheMeshFrame) {
    MeshFile quad;
    quad.positions = {{-3, -4, 0}, {-3, 4, 0}, {3, 4, 0}, {3, -4, 0}};
    quad.faces = {0, 1, 2, 0, 2, 3};
    quad.cornerUvs.assign(6, {0, 0});
    quad.pivotRotation = {0, 0, kPi / 2};
    releaseMeshBuffers(&meshes[0].buffers);
    ASSERT_EQ(buildStaticMesh(quad, &meshes[0]), MeshError::None);
    ASSERT_TRUE(createStaticMeshBuffers(&meshes[0]));
    SceneObject object;
    setUp(object, {&opaque, &opaque});
    Matrix4 lid = translation(1, 0, 0);
    object.setExtraMatrix(0, &lid);
    drawSceneObject(object, translation(10, 0, 0));
    ASSERT_EQ(device.draws.size(), 2u);
    // E moves along x, L turns that onto y, W moves along x.
    const Matrix4& m = device.draws[0].matrix(MatrixSlot::World);
    EXPECT_NEAR(m.m[3][0], 10.0f, 1e-5f);
    EXPECT_NEAR(m.m[3][1], 1.0f, 1e-5f);
    // Mesh 1 has no extra matrix.
    EXPECT_FLOAT_EQ(device.draws[1].matrix(MatrixSlot::World).m[3][0], 10.0f);
    EXPECT_FLOAT_EQ(device.draws[1].matrix(MatrixSlot::World).m[3][1], 0.0f);
    // The extra matrix is tested for visibility too.
    Matrix4 away = translation(0, 1000, 0);  // L turns it onto -x
    object.setExtraMatrix(0, &away);
    object.setExtraMatrix(1, nullptr);
    device.draws.clear();
    drawSceneObject(object, translation(-300, 0, 0));
    EXPECT_EQ(device.draws.size(), 1u);
}

TEST_F(SceneObjectDraw, AlphaTextureStatesCarryOverToLaterMeshes) {
    SceneObject object;
    setUp(object, {&opaque, &alpha, &opaque});
    setRenderState(RenderState::AlphaBlendEnable, 0);
    drawSceneObject(object, Matrix4{});
    ASSERT_EQ(device.draws.size(), 3u);
    const DrawRecord& first = device.draws[0];
    EXPECT_EQ(first.texture, 11u);
    EXPECT_EQ(first.state(RenderState::AlphaTestEnable), 0u);
    EXPECT_EQ(first.state(RenderState::CullMode), kCullCounterClockwise);
    EXPECT_EQ(first.state(RenderState::AlphaBlendEnable), 0u);
    const DrawRecord& second = device.draws[1];
    EXPECT_EQ(second.texture, 12u);
    EXPECT_EQ(second.state(RenderState::AlphaTestEnable), 1u);
    EXPECT_EQ(second.state(RenderState::CullMode), kCullNone);
    EXPECT_EQ(second.state(RenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(second.state(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(second.state(RenderState::DestBlend), kBlendInvSrcAlpha);
    const DrawRecord& third = device.draws[2];
    EXPECT_EQ(third.state(RenderState::AlphaTestEnable), 0u);
    EXPECT_EQ(third.state(RenderState::CullMode), kCullNone);
    EXPECT_EQ(third.state(RenderState::AlphaBlendEnable), 1u);
    // And after the call.
    EXPECT_EQ(renderStateValue(RenderState::CullMode), kCullNone);
}

TEST_F(SceneObjectDraw, MissingMeshIsSkippedAndMissingTextureDrawsUntextured) {
    SceneObject object;
    setUp(object, {&opaque, nullptr});
    object.meshes[0] = nullptr;
    drawSceneObject(object, Matrix4{});
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].texture, 0u);
    EXPECT_EQ(device.draws[0].state(RenderState::AlphaTestEnable), 0u);
}

// ---- Libraries through the loader ----

void registerCopy(const char* name, const std::vector<uint8_t>& bytes) {
    auto* data = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
    std::memcpy(data, bytes.data(), bytes.size());
    ASSERT_TRUE(registerAsset(name, static_cast<int32_t>(bytes.size()), data, true));
}

void registerText(const char* name, const std::string& text) {
    registerCopy(name, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST_F(SceneObjectDraw, LibrariesLoadOnceByExactNameAndReleaseTheFiles) {
    registerCopy("box_body.msh_s", writeStaticMesh(cube(false)));
    registerCopy("box_lid.msh_s", writeStaticMesh(cube(true)));
    registerCopy("wood.tga",
                 test::makeTga(4, 4, 24, true, false, [](int, int) { return 0x804020FFu; }));
    registerText("box.cgo",
                 "nummeshes=2\r\nmesh0=box_body.msh_s\r\ntexture0=wood.tga\r\n"
                 "mesh1=box_lid.msh_s\r\ntexture1=wood.tga\r\n");
    SceneObject* object = loadSceneObject("box.cgo");
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->name, "box.cgo");
    ASSERT_EQ(object->meshCount, 2);
    ASSERT_NE(object->meshes[0], nullptr);
    EXPECT_EQ(object->meshes[0]->vertexCount, 36);
    EXPECT_EQ(object->meshes[1]->vertexCount, 8);
    EXPECT_TRUE(object->meshes[1]->buffers.indexed);
    EXPECT_FALSE(object->meshes[0]->buffers.indexed);
    EXPECT_EQ(object->textures[0], object->textures[1]);
    EXPECT_NE(object->textures[0], nullptr);
    EXPECT_EQ(loadSceneObject("box.cgo"), object);
    EXPECT_EQ(loadStaticMesh("box_lid.msh_s"), object->meshes[1]);
    EXPECT_EQ(staticMeshCount(), 2);
    // The mesh and object files are dropped from the registry once parsed.
    EXPECT_EQ(findAsset("box_body.msh_s"), nullptr);
    EXPECT_EQ(findAsset("box.cgo"), nullptr);
    // Names without ".cgo" never become scene objects.
    EXPECT_EQ(loadSceneObject("box_body.msh_s"), nullptr);
    drawSceneObject(*object, Matrix4{});
    EXPECT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].primitiveCount, 12);
}

TEST_F(SceneObjectDraw, MalformedMeshStopsWithTheLoadingError) {
    EXPECT_EXIT(
        {
            setenv("CORSAVEL_NO_MESSAGE_BOX", "1", 1);
            std::vector<uint8_t> bad = writeStaticMesh(cube(false));
            putInt(bad, 37 + 8 * 12, 99);
            registerCopy("bad.msh_s", bad);
            loadStaticMesh("bad.msh_s");
        },
        ::testing::ExitedWithCode(1), "Can't load bad.msh_s");
    EXPECT_EXIT(
        {
            setenv("CORSAVEL_NO_MESSAGE_BOX", "1", 1);
            registerText("huge.cgo", "nummeshes=70000\r\n");
            loadSceneObject("huge.cgo");
        },
        ::testing::ExitedWithCode(1), "Can't load huge.cgo");
}

}  // namespace
}  // namespace corsavel
