#pragma once

// A backend between the batching backend and GL (the game screen
// benchmark's CORSAVEL_BENCH_PROFILE=1) that has the driver finish all work before
// and after every draw and clear, so that each one's cost is timed alone,
// and counts the pixels each draws (an occlusion query). Draws are summed
// by kind (texture and the states that decide a pixel's cost) and listed
// most expensive first. The timing itself slows the frame down: the list
// says where the time goes, not how long a frame takes.
#include <cstdint>
#include <vector>

#include "platform/render_backend.h"

namespace corsavel {

class DrawProfile final : public RenderBackend {
public:
    explicit DrawProfile(RenderBackend* inner) : inner_(inner) {}
    ~DrawProfile() override;

    void clear(bool target, uint32_t argb, bool depth, float z) override {
        timed(Kind::Clear, 0, [&] { inner_->clear(target, argb, depth, z); });
    }
    void beginScene() override { inner_->beginScene(); }
    void endScene() override { inner_->endScene(); }
    void present() override {
        inner_->present();
        ++frames_;
    }
    void setGammaRamp(const uint16_t ramp[256]) override { inner_->setGammaRamp(ramp); }
    void applyRenderState(RenderState state, uint32_t value) override {
        states_[static_cast<int>(state)] = value;
        inner_->applyRenderState(state, value);
    }
    void applyStageState(StageState state, uint32_t value) override {
        stages_[static_cast<int>(state)] = value;
        inner_->applyStageState(state, value);
    }
    void applyMatrix(MatrixSlot slot, const Matrix4& m) override { inner_->applyMatrix(slot, m); }
    void applyLight(const Light& light, bool enabled) override {
        inner_->applyLight(light, enabled);
    }
    void applyMaterial(const Material& material) override { inner_->applyMaterial(material); }
    void bindTexture(uint32_t texture) override {
        texture_ = texture;
        inner_->bindTexture(texture);
    }
    void drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                  const void* vertices) override {
        timed(Kind::User, primitiveVertexCount(type, primitiveCount),
              [&] { inner_->drawUser(type, primitiveCount, formatFlags, vertices); });
    }
    uint32_t createTexture(int width, int height, const uint8_t* rgba) override {
        return inner_->createTexture(width, height, rgba);
    }
    void updateTexture(uint32_t texture, int x, int y, int width, int height,
                       const uint8_t* rgba) override {
        inner_->updateTexture(texture, x, y, width, height, rgba);
    }
    void releaseTexture(uint32_t texture) override { inner_->releaseTexture(texture); }
    uint32_t createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                           const uint16_t* indices, int indexCount) override {
        return inner_->createBuffers(formatFlags, vertices, vertexCount, indices, indexCount);
    }
    void drawBuffers(uint32_t buffers, int triangleCount) override {
        timed(Kind::Mesh, triangleCount * 3, [&] { inner_->drawBuffers(buffers, triangleCount); });
    }
    bool updateBufferVertices(uint32_t buffers, const void* vertices, int vertexCount) override {
        return inner_->updateBufferVertices(buffers, vertices, vertexCount);
    }
    void releaseBuffers(uint32_t buffers) override { inner_->releaseBuffers(buffers); }
    bool readPixels(int width, int height, uint8_t* rgba) override {
        return inner_->readPixels(width, height, rgba);
    }
    void displayChanged() override { inner_->displayChanged(); }

    // The rows, most expensive first, on stderr.
    void report() const;

private:
    enum class Kind : uint32_t { User, Mesh, Clear };
    static constexpr int kKeySize = 10;
    struct Row {
        uint32_t key[kKeySize] = {};
        double seconds = 0.0;
        double count = 0.0;
        double vertices = 0.0;
        double pixels = 0.0;
    };

    uint32_t state(RenderState s) const { return states_[static_cast<int>(s)]; }

    // Runs draw with the driver's work finished before and after it, and
    // adds its time and pixels to the row of its kind and states.
    template <typename Draw>
    void timed(Kind kind, int vertices, Draw&& draw) {
        begin();
        draw();
        end(kind, vertices);
    }
    void begin();
    void end(Kind kind, int vertices);

    RenderBackend* inner_;
    uint32_t query_ = 0;
    double startSeconds_ = 0.0;
    int frames_ = 0;
    uint32_t texture_ = 0;
    uint32_t states_[static_cast<int>(RenderState::Count)] = {};
    uint32_t stages_[static_cast<int>(StageState::Count)] = {};
    std::vector<Row> rows_;
};

}  // namespace corsavel
