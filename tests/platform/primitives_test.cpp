#include "platform/primitives.h"

#include <gtest/gtest.h>

#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

class PrimitivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        renderDevice = RenderDeviceState{};
        device.install();
        setTint(1.0f, 1.0f, 1.0f, 1.0f);
    }
    void TearDown() override {
        setTint(1.0f, 1.0f, 1.0f, 1.0f);
        device.uninstall();
    }
    const DrawRecord& last() { return device.draws.back(); }
    void expectAt(const DrawRecord& r, int i, float x, float y, float u, float v) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(r.position(i).x, x);
        EXPECT_FLOAT_EQ(r.position(i).y, y);
        EXPECT_NEAR(r.u(i), u, 1e-6f);
        EXPECT_NEAR(r.v(i), v, 1e-6f);
    }
    RecordingDevice device;
};

TEST_F(PrimitivesTest, SpriteCornersRunTopRightBottomRightTopLeftBottomLeft) {
    drawSprite(10.0f, 20.0f, 40.0f, 30.0f, UvRect{0.1f, 0.2f, 0.3f, 0.4f}, 0xFF00FF00u, 5.0f);
    ASSERT_EQ(device.draws.size(), 1u);
    const DrawRecord& r = last();
    EXPECT_EQ(r.type, PrimitiveType::TriangleStrip);
    EXPECT_EQ(r.vertexCount, 4);
    EXPECT_EQ(r.formatFlags, kFormatColoured);
    expectAt(r, 0, 30.0f, 35.0f, 0.3f, 0.2f);
    expectAt(r, 1, 30.0f, 5.0f, 0.3f, 0.4f);
    expectAt(r, 2, -10.0f, 35.0f, 0.1f, 0.2f);
    expectAt(r, 3, -10.0f, 5.0f, 0.1f, 0.4f);
    EXPECT_FLOAT_EQ(r.position(2).z, 5.0f);
    EXPECT_EQ(r.colour(3), 0xFF00FF00u);
    EXPECT_EQ(renderDevice.triangleCount, 2);
}

TEST_F(PrimitivesTest, SpriteRectPutsUvOriginAtFirstCorner) {
    drawSpriteRect(-50.0f, 40.0f, 50.0f, -40.0f, UvRect{0.0f, 0.0f, 1.0f, 0.5f}, 0xFFFFFFFFu, 1.0f);
    const DrawRecord& r = last();
    expectAt(r, 0, 50.0f, 40.0f, 1.0f, 0.0f);
    expectAt(r, 1, 50.0f, -40.0f, 1.0f, 0.5f);
    expectAt(r, 2, -50.0f, 40.0f, 0.0f, 0.0f);
    expectAt(r, 3, -50.0f, -40.0f, 0.0f, 0.5f);
}

TEST_F(PrimitivesTest, RotatedSpriteAtQuarterTurnSwapsWidthAndHeight) {
    drawSpriteRotated(0.0f, 0.0f, 0.0f, 0.0f, 90.0f, 40.0f, 20.0f, UvRect{}, 0xFFFFFFFFu, 0.0f);
    const DrawRecord& r = last();
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int i = 0; i < 4; ++i) {
        minX = std::min(minX, r.position(i).x);
        maxX = std::max(maxX, r.position(i).x);
        minY = std::min(minY, r.position(i).y);
        maxY = std::max(maxY, r.position(i).y);
    }
    EXPECT_NEAR(maxX - minX, 20.0f, 1e-4f);
    EXPECT_NEAR(maxY - minY, 40.0f, 1e-4f);
    // Counter-clockwise: the top-right corner (20, 10) goes to (-10, 20).
    EXPECT_NEAR(r.position(0).x, -10.0f, 1e-4f);
    EXPECT_NEAR(r.position(0).y, 20.0f, 1e-4f);
}

TEST_F(PrimitivesTest, RotationPivotsAboutGivenPoint) {
    drawSpriteRotated(10.0f, 0.0f, 0.0f, 0.0f, 180.0f, 2.0f, 2.0f, UvRect{}, 0xFFFFFFFFu, 0.0f);
    EXPECT_NEAR(last().position(0).x, -11.0f, 1e-4f);
    EXPECT_NEAR(last().position(0).y, -1.0f, 1e-4f);
}

TEST_F(PrimitivesTest, ScreenImageCoversSceneWithInsetUvs) {
    drawScreenImage(0.0f, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, 0.78125f, 0.5859375f, 0x80FFFFFFu);
    const DrawRecord& r = last();
    expectAt(r, 0, 400.0f, 300.0f, 0.78025f, 0.001f);
    expectAt(r, 1, 400.0f, -300.0f, 0.78025f, 0.5849375f);
    expectAt(r, 2, -400.0f, 300.0f, 0.001f, 0.001f);
    expectAt(r, 3, -400.0f, -300.0f, 0.001f, 0.5849375f);
    EXPECT_FLOAT_EQ(r.position(0).z, 10.0f);
    EXPECT_EQ(r.colour(0), 0x80FFFFFFu);
    drawScreenImageWhite(100.0f, 50.0f, 200.0f, 150.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    expectAt(last(), 2, -300.0f, 250.0f, 0.001f, 0.001f);
    EXPECT_EQ(last().colour(1), 0xFFFFFFFFu);
}

TEST_F(PrimitivesTest, PlainScreenImageIgnoresTintAndCoversRectangle) {
    setTint(0.0f, 0.0f, 0.0f, 0.0f);
    drawScreenImagePlain(0.0f, 0.0f, 800.0f, 600.0f);
    const DrawRecord& r = last();
    EXPECT_EQ(r.formatFlags, kFormatPlain);
    EXPECT_EQ(r.type, PrimitiveType::TriangleList);
    EXPECT_EQ(r.vertexCount, 6);
    expectAt(r, 0, 400.0f, -300.0f, 1.0f, 1.0f);
    expectAt(r, 2, -400.0f, 300.0f, 0.0f, 0.0f);
    expectAt(r, 5, 400.0f, 300.0f, 1.0f, 0.0f);
    // Both triangles wind clockwise on screen (negative signed area, y up).
    for (int t = 0; t < 2; ++t) {
        Vec3 a = r.position(t * 3), b = r.position(t * 3 + 1), c = r.position(t * 3 + 2);
        float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        EXPECT_LT(area, 0.0f);
    }
}

TEST_F(PrimitivesTest, TintMultipliesAndTruncates) {
    setTint(1.0f, 1.0f, 1.0f, 0.5f);
    drawSprite(0.0f, 0.0f, 1.0f, 1.0f, UvRect{}, 0xFFFFFFFFu, 0.0f);
    EXPECT_EQ(last().colour(0) >> 24, 127u);
    setTint(0.5f, 0.25f, 1.0f, 1.0f);
    EXPECT_EQ(applyTint(0xFF7F8001u), makeColour(255, 63, 32, 1));
    drawQuad({0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, 0xFFFFFFFFu);
    EXPECT_EQ(last().colour(4), makeColour(255, 127, 63, 255));
}

TEST_F(PrimitivesTest, QuadsUseTheirCornerOrdersAndCoordinates) {
    Vec3 p0{0, 0, 0}, p1{0, 1, 0}, p2{1, 1, 0}, p3{1, 0, 0};
    drawQuad(p0, p1, p2, p3, 0xFF112233u);
    const DrawRecord& q = last();
    EXPECT_EQ(q.vertexCount, 6);
    expectAt(q, 0, 0, 0, 0, 0);
    expectAt(q, 1, 0, 1, 0, 1);
    expectAt(q, 2, 1, 1, 1, 1);
    expectAt(q, 3, 0, 0, 0, 0);
    expectAt(q, 5, 1, 0, 1, 0);
    drawQuadMirrored(p0, p1, p2, p3, 1u, 2u, 3u, 4u);
    const DrawRecord& m = last();
    expectAt(m, 1, 0, 1, 0, -1);
    expectAt(m, 2, 1, 1, -1, -1);
    expectAt(m, 5, 1, 0, -1, 0);
    EXPECT_EQ(m.colour(4), 3u);
    EXPECT_EQ(m.colour(5), 4u);
    drawQuadUV(p0, p1, p2, p3, {0.1f, 0.1f}, {0.2f, 0.2f}, {0.3f, 0.3f}, {0.4f, 0.4f}, 0xFFu);
    const DrawRecord& s = last();
    EXPECT_EQ(s.type, PrimitiveType::TriangleStrip);
    expectAt(s, 0, 0, 1, 0.2f, 0.2f);
    expectAt(s, 1, 1, 1, 0.3f, 0.3f);
    expectAt(s, 2, 0, 0, 0.1f, 0.1f);
    expectAt(s, 3, 1, 0, 0.4f, 0.4f);
    drawQuadPlainUV(p0, p1, p2, p3, {0.1f, 0.1f}, {0.2f, 0.2f}, {0.3f, 0.3f}, {0.4f, 0.4f});
    EXPECT_EQ(last().formatFlags, kFormatPlain);
    expectAt(last(), 4, 1, 1, 0.3f, 0.3f);
    EXPECT_EQ(renderDevice.triangleCount, 8);
}

TEST_F(PrimitivesTest, BeamFacesCameraAcrossItsLength) {
    // Identity view: the camera looks along +z, so the ribbon lies in x-y.
    drawBeam({0.0f, 10.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 2.0f, 0xFFFFFFFFu);
    const DrawRecord& r = last();
    Vec3 p0 = r.position(0), p1 = r.position(1), p2 = r.position(2), p3 = r.position(5);
    EXPECT_FLOAT_EQ(p0.z, 0.0f);
    EXPECT_NEAR(std::fabs(p0.x), 2.0f, 1e-5f);
    EXPECT_NEAR(p0.x, -p1.x, 1e-5f);
    EXPECT_FLOAT_EQ(p0.y, 0.0f);
    EXPECT_FLOAT_EQ(p2.y, 10.0f);
    EXPECT_NEAR(p2.x, p1.x, 1e-5f);
    EXPECT_NEAR(p3.x, p0.x, 1e-5f);
    size_t before = device.draws.size();
    drawBeam({0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f}, 2.0f, 0xFFFFFFFFu);
    EXPECT_EQ(device.draws.size(), before);
}

TEST_F(PrimitivesTest, MeshBuffersIndexedAndExpanded) {
    const Vec3 positions[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const Vec3 normals[4] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
    const Uv uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const uint32_t tris[6] = {0, 2, 1, 0, 3, 2};
    MeshBuffers indexed;
    ASSERT_TRUE(createMeshBuffers(&indexed, kFormatPosition | kFormatNormal | kFormatTex1,
                                  positions, normals, uvs, 4, tris, 2, true));
    EXPECT_EQ(indexed.stride, 32);
    EXPECT_EQ(indexed.vertexCount, 4);
    ASSERT_EQ(device.buffers.back().indices.size(), 6u);
    drawMeshBuffers(indexed);
    EXPECT_EQ(renderDevice.triangleCount, 2);
    EXPECT_EQ(last().vertexCount, 6);
    EXPECT_FLOAT_EQ(last().position(1).y, 1.0f);
    EXPECT_FLOAT_EQ(last().u(2), 1.0f);

    MeshBuffers expanded;
    ASSERT_TRUE(createMeshBuffers(&expanded, kFormatPosition, positions, nullptr, nullptr, 4, tris,
                                  2, false));
    EXPECT_EQ(expanded.stride, 12);
    EXPECT_EQ(expanded.vertexCount, 6);
    EXPECT_TRUE(device.buffers.back().indices.empty());
    drawMeshBuffers(expanded);
    EXPECT_FLOAT_EQ(last().position(4).y, 1.0f);
    releaseMeshBuffers(&expanded);
    EXPECT_EQ(expanded.buffers, 0u);
}

TEST_F(PrimitivesTest, MeshBuffersRefuseIndicesOutOfRange) {
    const Vec3 positions[3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    const uint32_t tris[3] = {0, 1, 3};
    MeshBuffers mesh;
    EXPECT_FALSE(
        createMeshBuffers(&mesh, kFormatPosition, positions, nullptr, nullptr, 3, tris, 1, true));
    EXPECT_FALSE(createMeshBuffers(&mesh, kFormatPosition | kFormatNormal, positions, nullptr,
                                   nullptr, 3, tris, 1, false));
    EXPECT_EQ(mesh.buffers, 0u);
}

}  // namespace
}  // namespace corsavel
