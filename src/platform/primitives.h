#pragma once

#include <cstdint>

#include "platform/math_types.h"
#include "platform/render_backend.h"

namespace corsavel {

// Texture rectangle: uMin, vMin at the top-left, uMax, vMax at the bottom-right.
struct UvRect {
    float uMin = 0.0f;
    float vMin = 0.0f;
    float uMax = 1.0f;
    float vMax = 1.0f;
};

struct Uv {
    float u = 0.0f;
    float v = 0.0f;
};

// The coloured vertex: position, ARGB colour, one UV set (24 bytes).
struct ColouredVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(ColouredVertex) == 24);

// The plain vertex: position and one UV set (20 bytes).
struct PlainVertex {
    float x, y, z;
    float u, v;
};
static_assert(sizeof(PlainVertex) == 20);

// Global tint: channel multipliers applied to every coloured vertex the
// sprite, quad and glyph drawing writes (products truncated).
void setTint(float r, float g, float b, float a);
void getTint(float* r, float* g, float* b, float* a);
Colour applyTint(Colour colour);

// Sprites in the 2D mode: 4-vertex strips top-right, bottom-right,
// top-left, bottom-left.
void drawSprite(float x, float y, float w, float h, const UvRect& uv, Colour colour, float z);
void drawSpriteRotated(float x, float y, float px, float py, float angleDegrees, float w, float h,
                       const UvRect& uv, Colour colour, float z);
// Rectangle x0, y0 (top-left, gets uMin/vMin) to x1, y1 (bottom-right).
void drawSpriteRect(float x0, float y0, float x1, float y1, const UvRect& uv, Colour colour,
                    float z);

// Pictures placed in screen pixels (origin top-left, y down), depth 10; the
// texture rectangle is shrunk by 0.001 on every side.
void drawScreenImage(float left, float top, float right, float bottom, float uMin, float vMin,
                     float uMax, float vMax, Colour colour);
void drawScreenImageWhite(float left, float top, float right, float bottom, float uMin, float vMin,
                          float uMax, float vMax);
// The whole texture with plain vertices (no colour, no tint).
void drawScreenImagePlain(float left, float top, float right, float bottom);

// Quads in 3D from four corners, drawn as two triangles p0 p1 p2, p0 p2 p3.
void drawQuadMirrored(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Colour c0, Colour c1, Colour c2,
                      Colour c3);
void drawQuad(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Colour colour);
// Strip of 4 in the order p1, p2, p0, p3.
void drawQuadUV(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Uv uv0, Uv uv1, Uv uv2, Uv uv3, Colour colour);
void drawQuadPlainUV(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Uv uv0, Uv uv1, Uv uv2, Uv uv3);

// A ribbon from a to b turned to the camera of the current view.
void drawBeam(Vec3 a, Vec3 b, float width, Colour colour);

// Static vertex and index buffers of a mesh.
struct MeshBuffers {
    uint32_t formatFlags = 0;
    int stride = 0;
    uint32_t buffers = 0;
    int vertexCount = 0;
    int triangleCount = 0;
    bool indexed = false;
};

// Vertex stride of a mesh format: 12, 24 with a normal, plus 8 with UVs.
int meshStride(uint32_t formatFlags);

// Fills the buffers from separate arrays (normals and uvs may be null when
// the format lacks them). Indexed: vertexCount vertices and triangleCount x 3
// indices (each must be below vertexCount and 65536); not indexed: the
// triangles are expanded into triangleCount x 3 vertices. False on bad input.
bool createMeshBuffers(MeshBuffers* mesh, uint32_t formatFlags, const Vec3* positions,
                       const Vec3* normals, const Uv* uvs, int vertexCount,
                       const uint32_t* triangleIndices, int triangleCount, bool indexed);
void drawMeshBuffers(const MeshBuffers& mesh);
// Rewrites the vertices of indexed buffers in place, in the mesh's own format
// and count; false when the buffers do not exist or the count differs.
bool updateMeshVertices(const MeshBuffers& mesh, const void* vertices, int vertexCount);
void releaseMeshBuffers(MeshBuffers* mesh);

}  // namespace corsavel
