#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/math_types.h"
#include "platform/primitives.h"

namespace corsavel {

// Skinned meshes of the dancing characters: vertices weighted to up to three
// bones, a bone tree with offsets and names, textured triangles.
constexpr int kSkinInfluences = 3;
constexpr int kMaxBoneChildren = 5;
constexpr int kBoneNameSize = 32;
constexpr int kMaxSkinMeshes = 511;
// Limits that refuse absurd counts before anything is allocated.
constexpr int32_t kMaxSkinBones = 256;
constexpr int32_t kMaxSkinVertices = 65535;
constexpr int32_t kMaxSkinTriangles = 1 << 18;
// Render vertices are drawn with 16-bit indices.
constexpr int32_t kMaxSkinRenderVertices = 65535;

struct SkinInfluence {
    float weight = 0.0f;  // 0: the influence is skipped
    int32_t bone = 0;
    Vec3 offset;  // the vertex in the bone's frame
};

struct SkinBone {
    Vec3 offset;  // from the parent, in the parent's frame
    int32_t childCount = 0;
    int32_t children[kMaxBoneChildren] = {};
    char name[kBoneNameSize] = {};  // always terminated
};

// The file's contents as stored.
struct SkinMeshFile {
    std::vector<SkinBone> bones;
    std::vector<SkinInfluence> influences;  // kSkinInfluences per vertex
    std::vector<int32_t> triangles;         // three vertex indices each
    std::vector<Uv> cornerUvs;              // three per triangle, v as stored
    int32_t vertexCount() const { return static_cast<int32_t>(influences.size() / 3); }
};

enum class SkinError {
    None,
    Short,             // the data ends before a table
    BadCount,          // a negative or implausibly large count
    BadBone,           // an influence, child index or child count outside the tree
    BoneCycle,         // a bone reached twice walking the tree (cycle or two parents)
    IndexOutOfRange,   // a triangle names a missing vertex
    NonFinite,         // a float is NaN or infinite
    TooManyVertices,   // the welded render vertices pass the 16-bit index limit
};
const char* skinErrorText(SkinError error);

// Reads the layout from a byte buffer, never past `size`, and checks every
// index against the counts; names without their zero are cut at 31 bytes.
SkinError parseSkinMeshFile(const uint8_t* data, size_t size, SkinMeshFile* out);
std::vector<uint8_t> writeSkinMeshFile(const SkinMeshFile& mesh);

// A corner-welded render vertex: its source vertex and texture coordinates.
struct SkinRenderVertex {
    int32_t source = 0;
    float u = 0.0f;
    float v = 0.0f;  // already 1 - v
};

struct SkinMesh {
    char name[kBoneNameSize] = {};
    SkinMeshFile file;
    // Parents before children: the bone tree walked from bone 0, then any
    // bone no parent lists (each a root of its own).
    std::vector<int32_t> boneOrder;
    std::vector<int32_t> parent;  // -1 for roots
    std::vector<SkinRenderVertex> renderVertices;
    std::vector<uint32_t> cornerMap;  // render vertex of every corner
    // The triangles around each vertex: those of vertex v are
    // vertexTriangles[vertexTriangleStart[v] .. vertexTriangleStart[v + 1]).
    std::vector<uint32_t> vertexTriangleStart;
    std::vector<uint32_t> vertexTriangles;
    int32_t boneCount() const { return static_cast<int32_t>(file.bones.size()); }
    int32_t vertexCount() const { return file.vertexCount(); }
    int32_t triangleCount() const { return static_cast<int32_t>(file.triangles.size() / 3); }
    int32_t findBone(const char* boneName) const;
};

// Bone order, parents and welded render vertices (corners of one vertex with
// equal (u, v) share a render vertex). No device is touched.
SkinError buildSkinMesh(SkinMeshFile file, SkinMesh* out);
SkinError parseSkinMesh(const uint8_t* data, size_t size, SkinMesh* out);

// The library keyed by exact file name; the first request loads the file
// (required) and a malformed one stops the game with the loading error.
SkinMesh* loadSkinMesh(const char* name);
void freeSkinMeshLibrary();

}  // namespace corsavel
