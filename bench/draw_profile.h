#pragma once

// CORSAVEL_BENCH_PROFILE=1 for the game screen benchmark: a backend between
// the batching backend and GL that has the driver finish all work before
// and after every draw and clear, so that each one's cost is timed alone,
// and counts the pixels each draws (an occlusion query). Draws are summed
// by kind (texture and the states that decide a pixel's cost) and listed
// most expensive first. The timing itself slows the frame down: the list
// says where the time goes, not how long a frame takes.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL_opengl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/render_backend.h"

namespace corsavel {

class DrawProfile final : public RenderBackend {
public:
    explicit DrawProfile(RenderBackend* inner) : inner_(inner) {}
    ~DrawProfile() override {
        if (query_ != 0) {
            glDeleteQueries(1, &query_);
        }
    }

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

    void report() const {
        if (frames_ == 0) {
            return;
        }
        std::vector<Row> rows = rows_;
        std::sort(rows.begin(), rows.end(),
                  [](const Row& a, const Row& b) { return a.seconds > b.seconds; });
        double total = 0.0;
        for (const Row& r : rows) {
            total += r.seconds;
        }
        const double f = static_cast<double>(frames_);
        std::fprintf(stderr, "draws timed alone over %d frames: %.2f ms a frame\n", frames_,
                     total * 1e3 / f);
        std::fprintf(stderr,
                     "   ms/frame draws/frame vertices    pixels  kind  texture blend(src,dst) "
                     "alphatest depth(test,write) lit filter\n");
        static const char* const kKinds[] = {"draw", "mesh", "clear"};
        for (const Row& r : rows) {
            const uint32_t* k = r.key;
            std::fprintf(stderr,
                         "%11.3f %11.1f %8.0f %9.0f  %-5s %7u %u(%u,%u) %9u %u,%u %13u %6s\n",
                         r.seconds * 1e3 / f, r.count / f, r.vertices / f, r.pixels / f,
                         kKinds[k[0]], k[1], k[2], k[3], k[4], k[5], k[6], k[7], k[8],
                         k[9] == kFilterLinear ? "linear" : "point");
        }
    }

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

    template <typename Draw>
    void timed(Kind kind, int vertices, Draw&& draw) {
        if (query_ == 0) {
            glGenQueries(1, &query_);
        }
        glFinish();
        glBeginQuery(GL_SAMPLES_PASSED, query_);
        const auto before = std::chrono::steady_clock::now();
        draw();
        glFinish();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint pixels = 0;
        glGetQueryObjectuiv(query_, GL_QUERY_RESULT, &pixels);
        const uint32_t key[kKeySize] = {
            static_cast<uint32_t>(kind),          texture_,
            state(RenderState::AlphaBlendEnable), state(RenderState::SrcBlend),
            state(RenderState::DestBlend),        state(RenderState::AlphaTestEnable),
            state(RenderState::ZEnable),          state(RenderState::ZWriteEnable),
            state(RenderState::Lighting),         stages_[static_cast<int>(StageState::MagFilter)]};
        auto row = std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) {
            return std::memcmp(r.key, key, sizeof key) == 0;
        });
        if (row == rows_.end()) {
            rows_.push_back(Row{});
            row = rows_.end() - 1;
            std::memcpy(row->key, key, sizeof key);
        }
        row->seconds += seconds;
        row->count += 1.0;
        row->vertices += vertices;
        row->pixels += pixels;
    }

    RenderBackend* inner_;
    GLuint query_ = 0;
    int frames_ = 0;
    uint32_t texture_ = 0;
    uint32_t states_[static_cast<int>(RenderState::Count)] = {};
    uint32_t stages_[static_cast<int>(StageState::Count)] = {};
    std::vector<Row> rows_;
};

}  // namespace corsavel
