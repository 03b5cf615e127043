#pragma once

#include <cstdint>

#include "platform/render_backend.h"

namespace corsavel {

// A backend in front of another that joins runs of coloured quads and
// triangle lists drawn with the same texture, states and matrices into one
// draw: a frame of sprites becomes a handful of draws. Setting a state or
// matrix to the value it already has keeps the run going; any real change,
// any other draw and anything that reads or shows the target first draws
// what is queued. The game's code never sees it. A depth clear with no
// depth written since the last one to the same value is not repeated.
class BatchingBackend final : public RenderBackend {
public:
    // Vertices queued at most; a full queue is drawn and the run goes on.
    static constexpr int kMaxVertices = 6 * 4096;

    explicit BatchingBackend(RenderBackend* inner = nullptr) : inner_(inner) {}
    void setInner(RenderBackend* inner);
    RenderBackend* inner() const { return inner_; }

    // Draws handed to the inner backend since the last reset.
    int32_t drawCalls() const { return drawCalls_; }
    void resetDrawCalls() { drawCalls_ = 0; }
    // Draws whatever is queued.
    void flush();

    void clear(bool target, uint32_t argb, bool depth, float z) override;
    void beginScene() override;
    void endScene() override;
    void present() override;
    void setGammaRamp(const uint16_t ramp[256]) override;
    void applyRenderState(RenderState state, uint32_t value) override;
    void applyStageState(StageState state, uint32_t value) override;
    void applyMatrix(MatrixSlot slot, const Matrix4& m) override;
    void applyLight(const Light& light, bool enabled) override;
    void applyMaterial(const Material& material) override;
    void bindTexture(uint32_t texture) override;
    void drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                  const void* vertices) override;
    uint32_t createTexture(int width, int height, const uint8_t* rgba) override;
    void updateTexture(uint32_t texture, int x, int y, int width, int height,
                       const uint8_t* rgba) override;
    void releaseTexture(uint32_t texture) override;
    uint32_t createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                           const uint16_t* indices, int indexCount) override;
    void drawBuffers(uint32_t buffers, int triangleCount) override;
    bool updateBufferVertices(uint32_t buffers, const void* vertices, int vertexCount) override;
    void releaseBuffers(uint32_t buffers) override;
    bool readPixels(int width, int height, uint8_t* rgba) override;
    void displayChanged() override;

private:
    struct Vertex {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    static_assert(sizeof(Vertex) == 24);

    void forget();
    void noteDraw();

    RenderBackend* inner_ = nullptr;
    Vertex queue_[kMaxVertices];
    int queued_ = 0;
    int32_t drawCalls_ = 0;
    // What the inner backend was last given (unknown until given once).
    uint32_t renderStates_[static_cast<int>(RenderState::Count)] = {};
    bool renderKnown_[static_cast<int>(RenderState::Count)] = {};
    uint32_t stageStates_[static_cast<int>(StageState::Count)] = {};
    bool stageKnown_[static_cast<int>(StageState::Count)] = {};
    Matrix4 matrices_[static_cast<int>(MatrixSlot::Count)];
    bool matrixKnown_[static_cast<int>(MatrixSlot::Count)] = {};
    uint32_t texture_ = 0;
    bool textureKnown_ = false;
    // The depth buffer holds clearedDepth_ everywhere: cleared, and no draw
    // that may write depth since.
    bool depthClean_ = false;
    float clearedDepth_ = 1.0f;
};

}  // namespace corsavel
