#include "platform/primitives.h"

#include <cmath>
#include <vector>

#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kScreenImageDepth = 10.0f;
constexpr float kTexelInset = 0.001f;

struct PrimitiveState {
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    ColouredVertex coloured[6];
    PlainVertex plain[6];
};
PrimitiveState prim;

ColouredVertex coloured(float x, float y, float z, Colour colour, float u, float v) {
    return ColouredVertex{x, y, z, colour, u, v};
}

ColouredVertex coloured(Vec3 p, Colour colour, float u, float v) {
    return ColouredVertex{p.x, p.y, p.z, colour, u, v};
}

// Four corners in strip order: top-right, bottom-right, top-left, bottom-left.
void drawStrip(const ColouredVertex& tr, const ColouredVertex& br, const ColouredVertex& tl,
               const ColouredVertex& bl) {
    prim.coloured[0] = tr;
    prim.coloured[1] = br;
    prim.coloured[2] = tl;
    prim.coloured[3] = bl;
    drawPrimitive(prim.coloured, 2, kFormatColoured, PrimitiveType::TriangleStrip);
}

int truncChannel(uint32_t value, float factor) {
    float product = static_cast<float>(value) * factor;
    if (product <= 0.0f) {
        return 0;
    }
    return product >= 255.0f ? 255 : static_cast<int>(product);
}

}  // namespace

void setTint(float r, float g, float b, float a) {
    prim.tint[0] = r;
    prim.tint[1] = g;
    prim.tint[2] = b;
    prim.tint[3] = a;
}

void getTint(float* r, float* g, float* b, float* a) {
    *r = prim.tint[0];
    *g = prim.tint[1];
    *b = prim.tint[2];
    *a = prim.tint[3];
}

Colour applyTint(Colour colour) {
    int a = truncChannel(colour >> 24, prim.tint[3]);
    int r = truncChannel((colour >> 16) & 0xFF, prim.tint[0]);
    int g = truncChannel((colour >> 8) & 0xFF, prim.tint[1]);
    int b = truncChannel(colour & 0xFF, prim.tint[2]);
    return makeColour(a, r, g, b);
}

void drawSprite(float x, float y, float w, float h, const UvRect& uv, Colour colour, float z) {
    Colour c = applyTint(colour);
    float l = x - w / 2.0f;
    float r = x + w / 2.0f;
    float t = y + h / 2.0f;
    float b = y - h / 2.0f;
    drawStrip(coloured(r, t, z, c, uv.uMax, uv.vMin), coloured(r, b, z, c, uv.uMax, uv.vMax),
              coloured(l, t, z, c, uv.uMin, uv.vMin), coloured(l, b, z, c, uv.uMin, uv.vMax));
}

void drawSpriteRotated(float x, float y, float px, float py, float angleDegrees, float w, float h,
                       const UvRect& uv, Colour colour, float z) {
    Colour c = applyTint(colour);
    float a = angleDegrees * kDegreesToRadians;
    float cs = std::cos(a);
    float sn = std::sin(a);
    auto corner = [&](float cx, float cy, float u, float v) {
        float dx = cx - px;
        float dy = cy - py;
        return coloured(px + dx * cs - dy * sn, py + dx * sn + dy * cs, z, c, u, v);
    };
    float l = x - w / 2.0f;
    float r = x + w / 2.0f;
    float t = y + h / 2.0f;
    float b = y - h / 2.0f;
    drawStrip(corner(r, t, uv.uMax, uv.vMin), corner(r, b, uv.uMax, uv.vMax),
              corner(l, t, uv.uMin, uv.vMin), corner(l, b, uv.uMin, uv.vMax));
}

void drawSpriteRect(float x0, float y0, float x1, float y1, const UvRect& uv, Colour colour,
                    float z) {
    Colour c = applyTint(colour);
    drawStrip(coloured(x1, y0, z, c, uv.uMax, uv.vMin), coloured(x1, y1, z, c, uv.uMax, uv.vMax),
              coloured(x0, y0, z, c, uv.uMin, uv.vMin), coloured(x0, y1, z, c, uv.uMin, uv.vMax));
}

void drawScreenImage(float left, float top, float right, float bottom, float uMin, float vMin,
                     float uMax, float vMax, Colour colour) {
    float x0 = left - 400.0f;
    float x1 = right - 400.0f;
    float y0 = 300.0f - top;
    float y1 = 300.0f - bottom;
    UvRect uv{uMin + kTexelInset, vMin + kTexelInset, uMax - kTexelInset, vMax - kTexelInset};
    Colour c = applyTint(colour);
    const float z = kScreenImageDepth;
    drawStrip(coloured(x1, y0, z, c, uv.uMax, uv.vMin), coloured(x1, y1, z, c, uv.uMax, uv.vMax),
              coloured(x0, y0, z, c, uv.uMin, uv.vMin), coloured(x0, y1, z, c, uv.uMin, uv.vMax));
}

void drawScreenImageWhite(float left, float top, float right, float bottom, float uMin, float vMin,
                          float uMax, float vMax) {
    drawScreenImage(left, top, right, bottom, uMin, vMin, uMax, vMax, 0xFFFFFFFFu);
}

// Two triangles from the right-bottom corner, wound clockwise on screen so
// the default culling keeps them.
void drawScreenImagePlain(float left, float top, float right, float bottom) {
    float x0 = left - 400.0f;
    float x1 = right - 400.0f;
    float y0 = 300.0f - top;
    float y1 = 300.0f - bottom;
    const float z = kScreenImageDepth;
    PlainVertex rb{x1, y1, z, 1.0f, 1.0f};
    PlainVertex rt{x1, y0, z, 1.0f, 0.0f};
    PlainVertex lt{x0, y0, z, 0.0f, 0.0f};
    PlainVertex lb{x0, y1, z, 0.0f, 1.0f};
    prim.plain[0] = rb;
    prim.plain[1] = lb;
    prim.plain[2] = lt;
    prim.plain[3] = rb;
    prim.plain[4] = lt;
    prim.plain[5] = rt;
    drawPrimitive(prim.plain, 2, kFormatPlain, PrimitiveType::TriangleList);
}

static void drawColouredQuad(const ColouredVertex& v0, const ColouredVertex& v1,
                             const ColouredVertex& v2, const ColouredVertex& v3) {
    prim.coloured[0] = v0;
    prim.coloured[1] = v1;
    prim.coloured[2] = v2;
    prim.coloured[3] = v0;
    prim.coloured[4] = v2;
    prim.coloured[5] = v3;
    drawPrimitive(prim.coloured, 2, kFormatColoured, PrimitiveType::TriangleList);
}

void drawQuadMirrored(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Colour c0, Colour c1, Colour c2,
                      Colour c3) {
    drawColouredQuad(
        coloured(p0, applyTint(c0), 0.0f, 0.0f), coloured(p1, applyTint(c1), 0.0f, -1.0f),
        coloured(p2, applyTint(c2), -1.0f, -1.0f), coloured(p3, applyTint(c3), -1.0f, 0.0f));
}

void drawQuad(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Colour colour) {
    Colour c = applyTint(colour);
    drawColouredQuad(coloured(p0, c, 0.0f, 0.0f), coloured(p1, c, 0.0f, 1.0f),
                     coloured(p2, c, 1.0f, 1.0f), coloured(p3, c, 1.0f, 0.0f));
}

void drawQuadUV(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Uv uv0, Uv uv1, Uv uv2, Uv uv3, Colour colour) {
    Colour c = applyTint(colour);
    prim.coloured[0] = coloured(p1, c, uv1.u, uv1.v);
    prim.coloured[1] = coloured(p2, c, uv2.u, uv2.v);
    prim.coloured[2] = coloured(p0, c, uv0.u, uv0.v);
    prim.coloured[3] = coloured(p3, c, uv3.u, uv3.v);
    drawPrimitive(prim.coloured, 2, kFormatColoured, PrimitiveType::TriangleStrip);
}

void drawQuadPlainUV(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Uv uv0, Uv uv1, Uv uv2, Uv uv3) {
    prim.plain[0] = {p0.x, p0.y, p0.z, uv0.u, uv0.v};
    prim.plain[1] = {p1.x, p1.y, p1.z, uv1.u, uv1.v};
    prim.plain[2] = {p2.x, p2.y, p2.z, uv2.u, uv2.v};
    prim.plain[3] = prim.plain[0];
    prim.plain[4] = prim.plain[2];
    prim.plain[5] = {p3.x, p3.y, p3.z, uv3.u, uv3.v};
    drawPrimitive(prim.plain, 2, kFormatPlain, PrimitiveType::TriangleList);
}

void drawBeam(Vec3 a, Vec3 b, float width, Colour colour) {
    Vec3 d = a - b;
    Matrix4 view = getView();
    Vec3 toViewer{-view.m[0][2], -view.m[1][2], -view.m[2][2]};
    Vec3 s = cross(d, toViewer);
    float len = length(s);
    if (len <= 0.0f) {
        // Seen end-on: no side to widen towards, nothing visible.
        return;
    }
    s = s * (width / len);
    drawQuad(b - s, b + s, a + s, a - s, colour);
}

int meshStride(uint32_t formatFlags) {
    int stride = (formatFlags & kFormatNormal) ? 24 : 12;
    if (formatFlags & kFormatTex1) {
        stride += 8;
    }
    return stride;
}

bool createMeshBuffers(MeshBuffers* mesh, uint32_t formatFlags, const Vec3* positions,
                       const Vec3* normals, const Uv* uvs, int vertexCount,
                       const uint32_t* triangleIndices, int triangleCount, bool indexed) {
    if (!mesh || !positions || vertexCount <= 0 || triangleCount <= 0 || !triangleIndices) {
        return false;
    }
    // Mesh formats carry a position and only a normal and UVs besides.
    formatFlags = kFormatPosition | (formatFlags & (kFormatNormal | kFormatTex1));
    bool hasNormal = (formatFlags & kFormatNormal) != 0;
    bool hasUv = (formatFlags & kFormatTex1) != 0;
    if ((hasNormal && !normals) || (hasUv && !uvs)) {
        return false;
    }
    if (indexed && vertexCount > 65536) {
        return false;
    }
    for (int i = 0; i < triangleCount * 3; ++i) {
        if (triangleIndices[i] >= static_cast<uint32_t>(vertexCount)) {
            return false;
        }
    }
    int floatsPerVertex = meshStride(formatFlags) / 4;
    int outVertices = indexed ? vertexCount : triangleCount * 3;
    std::vector<float> data(static_cast<size_t>(outVertices) * floatsPerVertex);
    auto put = [&](int out, uint32_t in) {
        float* p = &data[static_cast<size_t>(out) * floatsPerVertex];
        *p++ = positions[in].x;
        *p++ = positions[in].y;
        *p++ = positions[in].z;
        if (hasNormal) {
            *p++ = normals[in].x;
            *p++ = normals[in].y;
            *p++ = normals[in].z;
        }
        if (hasUv) {
            *p++ = uvs[in].u;
            *p++ = uvs[in].v;
        }
    };
    std::vector<uint16_t> indices;
    if (indexed) {
        for (int i = 0; i < vertexCount; ++i) {
            put(i, static_cast<uint32_t>(i));
        }
        indices.resize(static_cast<size_t>(triangleCount) * 3);
        for (size_t i = 0; i < indices.size(); ++i) {
            indices[i] = static_cast<uint16_t>(triangleIndices[i]);
        }
    } else {
        for (int i = 0; i < outVertices; ++i) {
            put(i, triangleIndices[i]);
        }
    }
    RenderBackend* backend = renderBackend();
    if (!backend) {
        return false;
    }
    uint32_t handle = backend->createBuffers(formatFlags, data.data(), outVertices,
                                             indexed ? indices.data() : nullptr,
                                             static_cast<int>(indices.size()));
    if (!handle) {
        return false;
    }
    releaseMeshBuffers(mesh);
    mesh->formatFlags = formatFlags;
    mesh->stride = meshStride(formatFlags);
    mesh->buffers = handle;
    mesh->vertexCount = outVertices;
    mesh->triangleCount = triangleCount;
    mesh->indexed = indexed;
    return true;
}

void drawMeshBuffers(const MeshBuffers& mesh) {
    RenderBackend* backend = renderBackend();
    if (!backend || !mesh.buffers) {
        return;
    }
    backend->drawBuffers(mesh.buffers, mesh.triangleCount);
    renderDevice.triangleCount += mesh.triangleCount;
}

bool updateMeshVertices(const MeshBuffers& mesh, const void* vertices, int vertexCount) {
    RenderBackend* backend = renderBackend();
    if (!backend || !mesh.buffers || !vertices || vertexCount != mesh.vertexCount) {
        return false;
    }
    return backend->updateBufferVertices(mesh.buffers, vertices, vertexCount);
}

void releaseMeshBuffers(MeshBuffers* mesh) {
    if (!mesh || !mesh->buffers) {
        return;
    }
    if (RenderBackend* backend = renderBackend()) {
        backend->releaseBuffers(mesh->buffers);
    }
    *mesh = MeshBuffers{};
}

}  // namespace corsavel
