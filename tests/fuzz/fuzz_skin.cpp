#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/character.h"
#include "gfx/skin_mesh.h"

using namespace corsavel;

// Any bytes either build a skinned mesh whose bone tree is a forest walked
// once (every bone exactly once, parents first), whose indices stay inside
// their tables and whose render vertices fit 16-bit indices, and which poses
// and skins to finite positions and unit normals; or they are refused.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SkinMesh mesh;
    if (parseSkinMesh(data, size, &mesh) != SkinError::None) {
        return 0;
    }
    const int32_t bones = mesh.boneCount();
    if (static_cast<int32_t>(mesh.boneOrder.size()) != bones ||
        static_cast<int32_t>(mesh.renderVertices.size()) > kMaxSkinRenderVertices) {
        __builtin_trap();
    }
    static bool seen[kMaxSkinBones];
    std::memset(seen, 0, sizeof seen);
    for (int32_t b : mesh.boneOrder) {
        if (b < 0 || b >= bones || seen[b]) {
            __builtin_trap();
        }
        const int32_t parent = mesh.parent[b];
        if (parent >= 0 && !seen[parent]) {
            __builtin_trap();
        }
        seen[b] = true;
    }
    for (uint32_t r : mesh.cornerMap) {
        if (r >= mesh.renderVertices.size()) {
            __builtin_trap();
        }
    }
    Character character;
    character.attachMesh(&mesh, nullptr);
    character.updateCharacter(AnimationClock{});
    for (const MeshVertex& v : character.vertices) {
        if (!std::isfinite(v.normal.x) || !std::isfinite(v.normal.y) ||
            !std::isfinite(v.normal.z) || std::fabs(length(v.normal) - 1.0f) > 1e-3f) {
            __builtin_trap();
        }
    }
    Matrix4 hat;
    if (hatMatrix(character, 0, 1.0f, &hat) != (character.headBone >= 0)) {
        __builtin_trap();
    }
    return 0;
}
