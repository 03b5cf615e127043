#pragma once

#include <cstdint>
#include <vector>

#include "platform/render_backend.h"

namespace corsavel {

// One submitted draw with the state it was made with.
struct DrawRecord {
    PrimitiveType type = PrimitiveType::TriangleList;
    int primitiveCount = 0;
    int vertexCount = 0;
    uint32_t formatFlags = 0;
    std::vector<uint8_t> vertices;
    uint32_t texture = 0;
    uint32_t buffers = 0;
    uint32_t renderStates[static_cast<int>(RenderState::Count)] = {};
    uint32_t stageStates[static_cast<int>(StageState::Count)] = {};
    Matrix4 matrices[static_cast<int>(MatrixSlot::Count)];

    uint32_t state(RenderState s) const { return renderStates[static_cast<int>(s)]; }
    uint32_t stage(StageState s) const { return stageStates[static_cast<int>(s)]; }
    const Matrix4& matrix(MatrixSlot s) const { return matrices[static_cast<int>(s)]; }
    // Vertex i of a coloured or plain draw, by field.
    Vec3 position(int i) const;
    uint32_t colour(int i) const;
    float u(int i) const;
    float v(int i) const;
};

// A device that draws nothing and remembers every draw, state change, clear,
// texture and buffer: unit tests of drawing code inspect it.
class RecordingDevice final : public RenderBackend {
public:
    struct Texture {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> rgba;
        bool live = false;
    };
    struct Buffers {
        uint32_t formatFlags = 0;
        std::vector<uint8_t> vertices;
        std::vector<uint16_t> indices;
        int vertexCount = 0;
        bool live = false;
    };

    std::vector<DrawRecord> draws;
    std::vector<Texture> textures;
    std::vector<Buffers> buffers;
    int clears = 0;
    uint32_t lastClearColour = 0;
    float lastClearDepth = 0.0f;
    int presents = 0;
    int gammaRampsSent = 0;
    uint16_t gammaRamp[256] = {};
    int stateChanges = 0;
    Light light;
    bool lightEnabled = false;
    Material material;

    // Installs this device under the device layer with the default states.
    void install();
    void uninstall();
    void reset();

    void clear(bool target, uint32_t argb, bool depth, float z) override;
    void present() override;
    void setGammaRamp(const uint16_t ramp[256]) override;
    void applyRenderState(RenderState state, uint32_t value) override;
    void applyStageState(StageState state, uint32_t value) override;
    void applyMatrix(MatrixSlot slot, const Matrix4& m) override;
    void applyLight(const Light& l, bool enabled) override;
    void applyMaterial(const Material& m) override;
    void bindTexture(uint32_t texture) override;
    void drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                  const void* vertices) override;
    uint32_t createTexture(int width, int height, const uint8_t* rgba) override;
    void updateTexture(uint32_t texture, int x, int y, int width, int height,
                       const uint8_t* rgba) override;
    void releaseTexture(uint32_t texture) override;
    uint32_t createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                           const uint16_t* indices, int indexCount) override;
    void drawBuffers(uint32_t handle, int triangleCount) override;
    bool updateBufferVertices(uint32_t handle, const void* vertices, int vertexCount) override;
    void releaseBuffers(uint32_t handle) override;
    bool readPixels(int width, int height, uint8_t* rgba) override;

    int liveTextures() const;
    const Texture* texture(uint32_t handle) const;

private:
    DrawRecord snapshot() const;

    uint32_t renderStates_[static_cast<int>(RenderState::Count)] = {};
    uint32_t stageStates_[static_cast<int>(StageState::Count)] = {};
    Matrix4 matrices_[static_cast<int>(MatrixSlot::Count)];
    uint32_t bound_ = 0;
};

}  // namespace corsavel
