#include "platform/recording_device.h"

#include <algorithm>
#include <cstring>

#include "platform/render_device.h"

namespace corsavel {

namespace {

struct FieldOffsets {
    int stride = 0;
    int diffuse = -1;
    int uv = -1;
};

FieldOffsets offsetsOf(uint32_t flags) {
    FieldOffsets f;
    int offset = (flags & kFormatPosition) ? 12 : 0;
    if (flags & kFormatNormal) {
        offset += 12;
    }
    if (flags & kFormatPointSize) {
        offset += 4;
    }
    if (flags & kFormatDiffuse) {
        f.diffuse = offset;
        offset += 4;
    }
    if (flags & kFormatSpecular) {
        offset += 4;
    }
    if (flags & kFormatTex1) {
        f.uv = offset;
        offset += 8;
    }
    f.stride = offset;
    return f;
}

template <typename T>
T readAt(const std::vector<uint8_t>& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}

}  // namespace

Vec3 DrawRecord::position(int i) const {
    size_t base = static_cast<size_t>(i) * formatStride(formatFlags);
    return {readAt<float>(vertices, base), readAt<float>(vertices, base + 4),
            readAt<float>(vertices, base + 8)};
}

uint32_t DrawRecord::colour(int i) const {
    FieldOffsets f = offsetsOf(formatFlags);
    if (f.diffuse < 0) {
        return 0xFFFFFFFFu;
    }
    return readAt<uint32_t>(vertices, static_cast<size_t>(i) * f.stride + f.diffuse);
}

float DrawRecord::u(int i) const {
    FieldOffsets f = offsetsOf(formatFlags);
    return f.uv < 0 ? 0.0f : readAt<float>(vertices, static_cast<size_t>(i) * f.stride + f.uv);
}

float DrawRecord::v(int i) const {
    FieldOffsets f = offsetsOf(formatFlags);
    return f.uv < 0 ? 0.0f : readAt<float>(vertices, static_cast<size_t>(i) * f.stride + f.uv + 4);
}

void RecordingDevice::install() {
    setRenderBackend(this);
    applyDefaultStates();
    reset();
}

void RecordingDevice::uninstall() {
    if (renderBackend() == this) {
        setRenderBackend(nullptr);
    }
}

void RecordingDevice::reset() {
    draws.clear();
    clears = 0;
    presents = 0;
    gammaRampsSent = 0;
    stateChanges = 0;
    renderDevice.triangleCount = 0;
}

void RecordingDevice::clear(bool target, uint32_t argb, bool depth, float z) {
    ++clears;
    if (target) {
        lastClearColour = argb;
    }
    if (depth) {
        lastClearDepth = z;
    }
}

void RecordingDevice::present() {
    ++presents;
}

void RecordingDevice::setGammaRamp(const uint16_t ramp[256]) {
    ++gammaRampsSent;
    std::memcpy(gammaRamp, ramp, sizeof gammaRamp);
}

void RecordingDevice::applyRenderState(RenderState state, uint32_t value) {
    renderStates_[static_cast<int>(state)] = value;
    ++stateChanges;
}

void RecordingDevice::applyStageState(StageState state, uint32_t value) {
    stageStates_[static_cast<int>(state)] = value;
    ++stateChanges;
}

void RecordingDevice::applyMatrix(MatrixSlot slot, const Matrix4& m) {
    matrices_[static_cast<int>(slot)] = m;
}

void RecordingDevice::applyLight(const Light& l, bool enabled) {
    light = l;
    lightEnabled = enabled;
}

void RecordingDevice::applyMaterial(const Material& m) {
    material = m;
}

void RecordingDevice::bindTexture(uint32_t texture) {
    bound_ = texture;
}

DrawRecord RecordingDevice::snapshot() const {
    DrawRecord r;
    r.texture = bound_;
    std::memcpy(r.renderStates, renderStates_, sizeof r.renderStates);
    std::memcpy(r.stageStates, stageStates_, sizeof r.stageStates);
    for (int i = 0; i < static_cast<int>(MatrixSlot::Count); ++i) {
        r.matrices[i] = matrices_[i];
    }
    return r;
}

void RecordingDevice::drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                               const void* vertices) {
    DrawRecord r = snapshot();
    r.type = type;
    r.primitiveCount = primitiveCount;
    r.formatFlags = formatFlags;
    r.vertexCount = primitiveVertexCount(type, primitiveCount);
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    r.vertices.assign(bytes,
                      bytes + static_cast<size_t>(r.vertexCount) * formatStride(formatFlags));
    draws.push_back(std::move(r));
}

uint32_t RecordingDevice::createTexture(int width, int height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    Texture t;
    t.width = width;
    t.height = height;
    t.live = true;
    size_t size = static_cast<size_t>(width) * height * 4;
    if (rgba) {
        t.rgba.assign(rgba, rgba + size);
    } else {
        t.rgba.assign(size, 0);
    }
    textures.push_back(std::move(t));
    return static_cast<uint32_t>(textures.size());
}

void RecordingDevice::updateTexture(uint32_t texture, int x, int y, int width, int height,
                                    const uint8_t* rgba) {
    if (texture == 0 || texture > textures.size() || !rgba) {
        return;
    }
    Texture& t = textures[texture - 1];
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            int tx = x + col;
            int ty = y + row;
            if (tx < 0 || ty < 0 || tx >= t.width || ty >= t.height) {
                continue;
            }
            std::memcpy(&t.rgba[(static_cast<size_t>(ty) * t.width + tx) * 4],
                        rgba + (static_cast<size_t>(row) * width + col) * 4, 4);
        }
    }
}

void RecordingDevice::releaseTexture(uint32_t texture) {
    if (texture == 0 || texture > textures.size()) {
        return;
    }
    textures[texture - 1].live = false;
    textures[texture - 1].rgba.clear();
}

uint32_t RecordingDevice::createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                                        const uint16_t* indices, int indexCount) {
    if (!vertices || vertexCount <= 0) {
        return 0;
    }
    Buffers b;
    b.formatFlags = formatFlags;
    b.vertexCount = vertexCount;
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    b.vertices.assign(bytes, bytes + static_cast<size_t>(vertexCount) * formatStride(formatFlags));
    if (indices && indexCount > 0) {
        b.indices.assign(indices, indices + indexCount);
    }
    b.live = true;
    buffers.push_back(std::move(b));
    return static_cast<uint32_t>(buffers.size());
}

void RecordingDevice::drawBuffers(uint32_t handle, int triangleCount) {
    if (handle == 0 || handle > buffers.size() || !buffers[handle - 1].live) {
        return;
    }
    const Buffers& b = buffers[handle - 1];
    DrawRecord r = snapshot();
    r.type = PrimitiveType::TriangleList;
    r.primitiveCount = triangleCount;
    r.formatFlags = b.formatFlags;
    r.buffers = handle;
    // The triangles as they reach the screen, indices resolved.
    int stride = formatStride(b.formatFlags);
    int count = triangleCount * 3;
    for (int i = 0; i < count; ++i) {
        int index =
            b.indices.empty() ? i : (i < static_cast<int>(b.indices.size()) ? b.indices[i] : -1);
        if (index < 0 || index >= b.vertexCount) {
            break;
        }
        const uint8_t* src = b.vertices.data() + static_cast<size_t>(index) * stride;
        r.vertices.insert(r.vertices.end(), src, src + stride);
        ++r.vertexCount;
    }
    draws.push_back(std::move(r));
}

bool RecordingDevice::updateBufferVertices(uint32_t handle, const void* vertices,
                                           int vertexCount) {
    if (handle == 0 || handle > buffers.size() || !buffers[handle - 1].live || !vertices ||
        vertexCount <= 0 || vertexCount > buffers[handle - 1].vertexCount) {
        return false;
    }
    Buffers& b = buffers[handle - 1];
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    std::copy(bytes, bytes + static_cast<size_t>(vertexCount) * formatStride(b.formatFlags),
              b.vertices.begin());
    return true;
}

void RecordingDevice::releaseBuffers(uint32_t handle) {
    if (handle == 0 || handle > buffers.size()) {
        return;
    }
    buffers[handle - 1].live = false;
}

bool RecordingDevice::readPixels(int, int, uint8_t*) {
    return false;
}

int RecordingDevice::liveTextures() const {
    int n = 0;
    for (const Texture& t : textures) {
        n += t.live ? 1 : 0;
    }
    return n;
}

const RecordingDevice::Texture* RecordingDevice::texture(uint32_t handle) const {
    if (handle == 0 || handle > textures.size() || !textures[handle - 1].live) {
        return nullptr;
    }
    return &textures[handle - 1];
}

}  // namespace corsavel
