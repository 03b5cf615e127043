#pragma once

#include <cstdint>

#include "platform/render_backend.h"

namespace corsavel {

// A device that draws nothing and keeps nothing. The device layer stands on
// one until the real device exists, so early calls are safe; tests and
// benchmarks draw into one to count only their own code's work. With
// `giveHandles` it hands out texture and buffer handles as a real device
// would, so drawing code goes its normal way.
class NullDevice final : public RenderBackend {
public:
    explicit NullDevice(bool giveHandles = true) : giveHandles_(giveHandles) {}

    int draws = 0;       // user-pointer draws
    int primitives = 0;  // primitives in them
    int meshDraws = 0;   // vertex-buffer draws

    void clear(bool, uint32_t, bool, float) override {}
    void present() override {}
    void setGammaRamp(const uint16_t*) override {}
    void applyRenderState(RenderState, uint32_t) override {}
    void applyStageState(StageState, uint32_t) override {}
    void applyMatrix(MatrixSlot, const Matrix4&) override {}
    void applyLight(const Light&, bool) override {}
    void applyMaterial(const Material&) override {}
    void bindTexture(uint32_t) override {}
    void drawUser(PrimitiveType, int primitiveCount, uint32_t, const void*) override {
        ++draws;
        primitives += primitiveCount;
    }
    uint32_t createTexture(int, int, const uint8_t*) override {
        return giveHandles_ ? ++lastHandle_ : 0u;
    }
    void updateTexture(uint32_t, int, int, int, int, const uint8_t*) override {}
    void releaseTexture(uint32_t) override {}
    uint32_t createBuffers(uint32_t, const void*, int, const uint16_t*, int) override {
        return giveHandles_ ? ++lastHandle_ : 0u;
    }
    void drawBuffers(uint32_t, int) override { ++meshDraws; }
    bool updateBufferVertices(uint32_t buffers, const void*, int) override {
        return buffers != 0;
    }
    void releaseBuffers(uint32_t) override {}
    bool readPixels(int, int, uint8_t*) override { return false; }

private:
    bool giveHandles_;
    uint32_t lastHandle_ = 0;
};

}  // namespace corsavel
