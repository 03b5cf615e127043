#include "platform/batching_backend.h"

#include <cstring>

namespace corsavel {

void BatchingBackend::setInner(RenderBackend* inner) {
    flush();
    inner_ = inner;
    forget();
}

void BatchingBackend::forget() {
    depthClean_ = false;
    for (bool& k : renderKnown_) {
        k = false;
    }
    for (bool& k : stageKnown_) {
        k = false;
    }
    for (bool& k : matrixKnown_) {
        k = false;
    }
    textureKnown_ = false;
}

// GL writes depth only while it tests it; a state never given may be on.
void BatchingBackend::noteDraw() {
    const int test = static_cast<int>(RenderState::ZEnable);
    const int write = static_cast<int>(RenderState::ZWriteEnable);
    const bool noTest = renderKnown_[test] && renderStates_[test] == 0;
    const bool noWrite = renderKnown_[write] && renderStates_[write] == 0;
    if (!noTest && !noWrite) {
        depthClean_ = false;
    }
}

void BatchingBackend::flush() {
    if (queued_ > 0 && inner_ != nullptr) {
        noteDraw();
        inner_->drawUser(PrimitiveType::TriangleList, queued_ / 3, kFormatColoured, queue_);
        drawCalls_ += 1;
    }
    queued_ = 0;
}

void BatchingBackend::clear(bool target, uint32_t argb, bool depth, float z) {
    flush();
    if (depth && depthClean_ && clearedDepth_ == z) {
        depth = false;
    }
    if (target || depth) {
        inner_->clear(target, argb, depth, z);
    }
    if (depth) {
        depthClean_ = true;
        clearedDepth_ = z;
    }
}

void BatchingBackend::beginScene() {
    flush();
    inner_->beginScene();
}

void BatchingBackend::endScene() {
    flush();
    inner_->endScene();
}

// What the depth buffer holds after a swap is not defined.
void BatchingBackend::present() {
    flush();
    inner_->present();
    depthClean_ = false;
}

void BatchingBackend::setGammaRamp(const uint16_t ramp[256]) {
    inner_->setGammaRamp(ramp);
}

void BatchingBackend::applyRenderState(RenderState state, uint32_t value) {
    const int i = static_cast<int>(state);
    if (renderKnown_[i] && renderStates_[i] == value) {
        return;
    }
    flush();
    renderKnown_[i] = true;
    renderStates_[i] = value;
    inner_->applyRenderState(state, value);
}

void BatchingBackend::applyStageState(StageState state, uint32_t value) {
    const int i = static_cast<int>(state);
    if (stageKnown_[i] && stageStates_[i] == value) {
        return;
    }
    flush();
    stageKnown_[i] = true;
    stageStates_[i] = value;
    inner_->applyStageState(state, value);
}

void BatchingBackend::applyMatrix(MatrixSlot slot, const Matrix4& m) {
    const int i = static_cast<int>(slot);
    if (matrixKnown_[i] && std::memcmp(&matrices_[i], &m, sizeof m) == 0) {
        return;
    }
    flush();
    matrixKnown_[i] = true;
    matrices_[i] = m;
    inner_->applyMatrix(slot, m);
}

// Lights are placed through the view matrix of the moment: always passed on.
void BatchingBackend::applyLight(const Light& light, bool enabled) {
    flush();
    inner_->applyLight(light, enabled);
}

void BatchingBackend::applyMaterial(const Material& material) {
    flush();
    inner_->applyMaterial(material);
}

void BatchingBackend::bindTexture(uint32_t texture) {
    if (textureKnown_ && texture_ == texture) {
        return;
    }
    flush();
    textureKnown_ = true;
    texture_ = texture;
    inner_->bindTexture(texture);
}

void BatchingBackend::drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                               const void* vertices) {
    const bool joinable =
        formatFlags == kFormatColoured && primitiveCount > 0 &&
        (type == PrimitiveType::TriangleList || type == PrimitiveType::TriangleStrip) &&
        primitiveCount * 3 <= kMaxVertices;
    if (!joinable) {
        flush();
        noteDraw();
        inner_->drawUser(type, primitiveCount, formatFlags, vertices);
        drawCalls_ += 1;
        return;
    }
    if (queued_ + primitiveCount * 3 > kMaxVertices) {
        flush();
    }
    const auto* v = static_cast<const Vertex*>(vertices);
    if (type == PrimitiveType::TriangleList) {
        std::memcpy(&queue_[queued_], v, sizeof(Vertex) * 3 * primitiveCount);
        queued_ += 3 * primitiveCount;
        return;
    }
    // A strip's odd triangles swap their first two corners to keep the winding.
    for (int t = 0; t < primitiveCount; ++t) {
        const bool odd = (t & 1) != 0;
        queue_[queued_++] = v[odd ? t + 1 : t];
        queue_[queued_++] = v[odd ? t : t + 1];
        queue_[queued_++] = v[t + 2];
    }
}

uint32_t BatchingBackend::createTexture(int width, int height, const uint8_t* rgba) {
    flush();
    return inner_->createTexture(width, height, rgba);
}

void BatchingBackend::updateTexture(uint32_t texture, int x, int y, int width, int height,
                                    const uint8_t* rgba) {
    flush();
    inner_->updateTexture(texture, x, y, width, height, rgba);
    // The inner backend binds the texture it updates.
    textureKnown_ = false;
}

void BatchingBackend::releaseTexture(uint32_t texture) {
    flush();
    inner_->releaseTexture(texture);
    textureKnown_ = false;
}

uint32_t BatchingBackend::createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                                        const uint16_t* indices, int indexCount) {
    flush();
    return inner_->createBuffers(formatFlags, vertices, vertexCount, indices, indexCount);
}

void BatchingBackend::drawBuffers(uint32_t buffers, int triangleCount) {
    flush();
    noteDraw();
    inner_->drawBuffers(buffers, triangleCount);
    drawCalls_ += 1;
}

// The skinned characters refill their buffers every frame.
bool BatchingBackend::updateBufferVertices(uint32_t buffers, const void* vertices,
                                           int vertexCount) {
    flush();
    return inner_->updateBufferVertices(buffers, vertices, vertexCount);
}

void BatchingBackend::releaseBuffers(uint32_t buffers) {
    flush();
    inner_->releaseBuffers(buffers);
}

bool BatchingBackend::readPixels(int width, int height, uint8_t* rgba) {
    flush();
    return inner_->readPixels(width, height, rgba);
}

void BatchingBackend::displayChanged() {
    flush();
    inner_->displayChanged();
    forget();
}

}  // namespace corsavel
