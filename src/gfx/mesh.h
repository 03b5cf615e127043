#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/math_types.h"
#include "platform/primitives.h"

namespace corsavel {

// Rigid meshes (".msh_s"): a pivot, vertex positions, triangles and one
// (u, v) per triangle corner. Loaded once by file name and kept to exit.
constexpr int kMaxMeshes = 1024;
constexpr int kMeshNameSize = 128;
// Smooth meshes are drawn indexed with 16-bit indices.
constexpr int32_t kMaxMeshRenderVertices = 65536;
// Refuses files that claim more than this many vertices or faces.
constexpr int32_t kMaxMeshElements = 1 << 20;

// The render vertex: position, normal, u, v (32 bytes).
struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(MeshVertex) == 32);

// The file's contents as stored (v not yet flipped).
struct MeshFile {
    bool smooth = false;
    Vec3 pivotTranslation;
    Vec3 pivotRotation;  // Euler x, y, z in radians
    std::vector<Vec3> positions;
    std::vector<int32_t> faces;  // three vertex indices per face
    std::vector<Uv> cornerUvs;   // three (u, v) per face, in face order
};

struct StaticMesh {
    char name[kMeshNameSize] = {};
    bool smooth = false;
    int32_t vertexCount = 0;  // render vertices
    int32_t faceCount = 0;
    Matrix4 local;  // pivot rotation, then the pivot translation
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> cornerMap;  // render vertex of every corner (smooth meshes)
    Vec3 boxCentre;
    Vec3 boxHalfSize;
    Vec3 sphereCentre;
    float sphereRadius = 0.0f;
    MeshBuffers buffers;
};

enum class MeshError {
    None,
    Short,            // the data ends before the header or a table
    BadCount,         // a negative or implausibly large vertex or face count
    IndexOutOfRange,  // a face names a vertex that does not exist
    NonFinite,        // a float is NaN or infinite
    TooManyVertices,  // more render vertices than a 16-bit index reaches
};
const char* meshErrorText(MeshError error);

// Reads the ".msh_s" layout from a byte buffer, never past `size`.
MeshError parseMeshFile(const uint8_t* data, size_t size, MeshFile* out);
// The ".msh_s" bytes of a mesh (the three unread header bytes and the byte
// before the counts are written as zero).
std::vector<uint8_t> writeStaticMesh(const MeshFile& mesh);

// Render vertices, normals, corner map, local matrix and bounds from a
// parsed file (every v becomes 1 - v). No device is touched.
MeshError buildStaticMesh(const MeshFile& file, StaticMesh* out);
// parseMeshFile followed by buildStaticMesh.
MeshError parseStaticMesh(const uint8_t* data, size_t size, StaticMesh* out);

// The pivot rotation: quaternion qz * qy * qx as a row-vector matrix.
Matrix4 eulerRotation(Vec3 radians);

// Uploads the render vertices (indexed through the corner map when smooth).
// An empty mesh has no buffers and draws nothing.
bool createStaticMeshBuffers(StaticMesh* mesh);

// The mesh library: entries keyed by exact file name. The first request
// loads the file (required), parses it, releases it and makes the buffers;
// a malformed file stops the game with the loading error.
StaticMesh* loadStaticMesh(const char* name);
StaticMesh* findStaticMesh(const char* name);
int staticMeshCount();
void freeMeshLibrary();

}  // namespace corsavel
