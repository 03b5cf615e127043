#include <cmath>
#include <cstddef>
#include <cstdint>

#include "gfx/mesh.h"
#include "gfx/scene_object.h"

using namespace corsavel;

// Any bytes either build a mesh whose corner map stays inside its render
// vertices and whose numbers are finite, or are refused; the same bytes read
// as ".cgo" text never yield more meshes than the cap.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StaticMesh mesh;
    if (parseStaticMesh(data, size, &mesh) == MeshError::None) {
        if (mesh.vertexCount != static_cast<int32_t>(mesh.vertices.size())) {
            __builtin_trap();
        }
        if (mesh.smooth) {
            if (mesh.cornerMap.size() != static_cast<size_t>(mesh.faceCount) * 3 ||
                mesh.vertexCount > kMaxMeshRenderVertices) {
                __builtin_trap();
            }
            for (uint32_t index : mesh.cornerMap) {
                if (index >= static_cast<uint32_t>(mesh.vertexCount)) {
                    __builtin_trap();
                }
            }
        } else if (mesh.vertexCount != mesh.faceCount * 3) {
            __builtin_trap();
        }
        for (const MeshVertex& v : mesh.vertices) {
            if (!std::isfinite(v.normal.x) || !std::isfinite(v.normal.y) ||
                !std::isfinite(v.normal.z)) {
                __builtin_trap();
            }
        }
    }
    static SceneObjectText text;
    if (parseSceneObjectText(data, size, &text) &&
        (text.meshCount < 0 || text.meshCount > kMaxSceneObjectMeshes)) {
        __builtin_trap();
    }
    return 0;
}
