#include "platform/batching_backend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/primitives.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

// The device layer draws through a batching backend in front of a
// recording one: what arrives is what GL would be given.
class BatchingTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder.install();
        batching = std::make_unique<BatchingBackend>(&recorder);
        setRenderBackend(batching.get());
        applyDefaultStates();
        recorder.reset();
    }
    void TearDown() override { setRenderBackend(nullptr); }
    void sprites(int n, float x0 = 0.0f) {
        for (int i = 0; i < n; ++i) {
            drawSprite(x0 + i, 0.0f, 10.0f, 10.0f, UvRect{}, 0xFF112233u, 0.0f);
        }
    }
    RecordingDevice recorder;
    std::unique_ptr<BatchingBackend> batching;
};

TEST_F(BatchingTest, QuadsSharingTextureAndStatesBecomeOneDraw) {
    bindTextureHandle(7);
    sprites(500);
    EXPECT_TRUE(recorder.draws.empty());
    presentFrame();
    ASSERT_EQ(recorder.draws.size(), 1u);
    const DrawRecord& d = recorder.draws[0];
    EXPECT_EQ(d.type, PrimitiveType::TriangleList);
    EXPECT_EQ(d.primitiveCount, 1000);
    EXPECT_EQ(d.texture, 7u);
    EXPECT_EQ(batching->drawCalls(), 1);
}

// The strip top-right, bottom-right, top-left, bottom-left becomes two
// triangles of the same winding: (tr, br, tl) and (tl, br, bl).
TEST_F(BatchingTest, StripsBecomeListsWithTheirWinding) {
    drawSprite(0.0f, 0.0f, 2.0f, 2.0f, UvRect{}, 0xFFFFFFFFu, 0.0f);
    batching->flush();
    ASSERT_EQ(recorder.draws.size(), 1u);
    const DrawRecord& d = recorder.draws[0];
    const float expected[6][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(d.position(i).x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(d.position(i).y, expected[i][1]) << i;
    }
}

TEST_F(BatchingTest, RealChangesSplitRunsAndRepeatedValuesDoNot) {
    bindTextureHandle(1);
    sprites(3);
    setRenderState(RenderState::AlphaBlendEnable, renderStateValue(RenderState::AlphaBlendEnable));
    bindTextureHandle(1);
    sprites(3);
    setBlendMode(1);
    sprites(2);
    bindTextureHandle(2);
    sprites(1);
    Matrix4 moved;
    moved.m[3][0] = 5.0f;
    setWorld(&moved);
    sprites(1);
    batching->flush();
    ASSERT_EQ(recorder.draws.size(), 4u);
    EXPECT_EQ(recorder.draws[0].primitiveCount, 12);
    EXPECT_EQ(recorder.draws[1].state(RenderState::DestBlend), kBlendOne);
    EXPECT_EQ(recorder.draws[2].texture, 2u);
    EXPECT_FLOAT_EQ(recorder.draws[3].matrix(MatrixSlot::World).m[3][0], 5.0f);
}

TEST_F(BatchingTest, OtherDrawsAndReadsSeeEverythingQueuedDrawnFirst) {
    sprites(2);
    const Vec3 line[2] = {{0, 0, 0}, {1, 1, 0}};
    const ColouredVertex lineVertices[2] = {{0, 0, 0, 0xFFFFFFFFu, 0, 0},
                                            {1, 1, 0, 0xFFFFFFFFu, 0, 0}};
    (void)line;
    drawPrimitive(lineVertices, 1, kFormatColoured, PrimitiveType::LineList);
    ASSERT_EQ(recorder.draws.size(), 2u);
    EXPECT_EQ(recorder.draws[0].primitiveCount, 4);
    EXPECT_EQ(recorder.draws[1].type, PrimitiveType::LineList);
    sprites(1);
    uint8_t pixel[4];
    renderBackend()->readPixels(1, 1, pixel);
    EXPECT_EQ(recorder.draws.size(), 3u);
}

TEST_F(BatchingTest, AFullQueueIsDrawnAndTheRunGoesOn) {
    sprites(BatchingBackend::kMaxVertices / 6 + 10);
    batching->flush();
    ASSERT_EQ(recorder.draws.size(), 2u);
    EXPECT_EQ(recorder.draws[0].primitiveCount * 3, BatchingBackend::kMaxVertices);
    EXPECT_EQ(recorder.draws[1].primitiveCount, 20);
}

// The skinned characters refill their vertex buffers every frame; the new
// pose must reach the device (else the dancers stand still in GL).
TEST_F(BatchingTest, BufferRefillsReachTheDevice) {
    const Vec3 positions[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const Vec3 normals[3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const Uv uvs[3] = {};
    const uint32_t corners[3] = {0, 1, 2};
    MeshBuffers mesh;
    ASSERT_TRUE(createMeshBuffers(&mesh, kFormatPosition | kFormatNormal | kFormatTex1, positions,
                                  normals, uvs, 3, corners, 1, true));
    std::vector<uint8_t> moved(recorder.buffers[mesh.buffers - 1].vertices);
    const float x = 5.0f;
    std::memcpy(moved.data(), &x, sizeof x);
    EXPECT_TRUE(updateMeshVertices(mesh, moved.data(), 3));
    EXPECT_EQ(recorder.buffers[mesh.buffers - 1].vertices, moved);
    releaseMeshBuffers(&mesh);
}

// A depth clear is passed on only when depth may have been written since
// the last one, or the value differs; a swap forgets the buffer's contents.
TEST_F(BatchingTest, DepthClearsWithNothingWrittenSinceAreNotRepeated) {
    clearDepth(1.0f);
    clearDepth(1.0f);
    EXPECT_EQ(recorder.clears, 1);

    setRenderState(RenderState::ZEnable, 0);
    sprites(2);
    clearDepth(1.0f);
    EXPECT_EQ(recorder.clears, 1) << "a draw without the depth test writes no depth";
    EXPECT_EQ(recorder.draws.size(), 1u) << "what is queued is drawn before the clear";

    setRenderState(RenderState::ZEnable, 1);
    setRenderState(RenderState::ZWriteEnable, 0);
    sprites(2);
    clearDepth(1.0f);
    EXPECT_EQ(recorder.clears, 1) << "testing depth without writing it";

    setRenderState(RenderState::ZWriteEnable, 1);
    sprites(2);
    clearDepth(1.0f);
    EXPECT_EQ(recorder.clears, 2) << "depth written";

    clearDepth(0.5f);
    EXPECT_EQ(recorder.clears, 3) << "another value";
    EXPECT_FLOAT_EQ(recorder.lastClearDepth, 0.5f);

    presentFrame();
    clearDepth(0.5f);
    EXPECT_EQ(recorder.clears, 4) << "after a swap";

    // A clear of the target alone still goes through.
    clearTarget(0xFF000000u);
    EXPECT_EQ(recorder.clears, 5);

    const Vec3 positions[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const Vec3 normals[3] = {};
    const Uv uvs[3] = {};
    const uint32_t corners[3] = {0, 1, 2};
    MeshBuffers mesh;
    ASSERT_TRUE(createMeshBuffers(&mesh, kFormatPosition | kFormatNormal | kFormatTex1, positions,
                                  normals, uvs, 3, corners, 1, true));
    drawMeshBuffers(mesh);
    clearDepth(0.5f);
    EXPECT_EQ(recorder.clears, 6) << "a mesh drawn with depth writes";
    releaseMeshBuffers(&mesh);
}

}  // namespace
}  // namespace corsavel
