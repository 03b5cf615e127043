#include "gfx/skin_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "gfx/character_bytes.h"
#include "platform/message_box.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

using namespace character_bytes;

constexpr size_t kInfluenceBytes = 60;
constexpr size_t kBoneBytes = 56;

struct SkinLibrary {
    SkinMesh* entries[kMaxSkinMeshes] = {};
    int count = 0;
};
SkinLibrary skinLibrary;

// Walks the tree from bone 0, then from every bone that no bone lists as a
// child; a bone met twice means a cycle or a second parent.
SkinError orderBones(const SkinMeshFile& file, SkinMesh* mesh) {
    const int32_t count = static_cast<int32_t>(file.bones.size());
    mesh->parent.assign(count, -1);
    mesh->boneOrder.clear();
    std::vector<uint8_t> listed(count, 0);
    for (const SkinBone& bone : file.bones) {
        for (int c = 0; c < bone.childCount; ++c) {
            listed[bone.children[c]] = 1;
        }
    }
    std::vector<uint8_t> visited(count, 0);
    for (int32_t root = 0; root < count; ++root) {
        if (visited[root] || (root != 0 && listed[root])) {
            continue;
        }
        size_t head = mesh->boneOrder.size();
        mesh->boneOrder.push_back(root);
        visited[root] = 1;
        while (head < mesh->boneOrder.size()) {
            const int32_t b = mesh->boneOrder[head++];
            const SkinBone& bone = file.bones[b];
            for (int c = 0; c < bone.childCount; ++c) {
                const int32_t child = bone.children[c];
                if (visited[child]) {
                    return SkinError::BoneCycle;
                }
                visited[child] = 1;
                mesh->parent[child] = b;
                mesh->boneOrder.push_back(child);
            }
        }
    }
    // Bones left over sit on a cycle of their own that no root reaches.
    return static_cast<int32_t>(mesh->boneOrder.size()) == count ? SkinError::None
                                                                 : SkinError::BoneCycle;
}

// Corners welded per vertex by equal (u, v): vertices in file order, pairs
// in order of first use.
SkinError weldCorners(const SkinMeshFile& file, SkinMesh* mesh) {
    const size_t vertexCount = static_cast<size_t>(file.vertexCount());
    const size_t cornerCount = file.triangles.size();
    std::vector<uint32_t> first(vertexCount + 1, 0);
    for (int32_t index : file.triangles) {
        ++first[index + 1];
    }
    for (size_t v = 0; v < vertexCount; ++v) {
        first[v + 1] += first[v];
    }
    std::vector<uint32_t> byVertex(cornerCount);
    std::vector<uint32_t> fill(first.begin(), first.end() - 1);
    for (size_t c = 0; c < cornerCount; ++c) {
        byVertex[fill[file.triangles[c]]++] = static_cast<uint32_t>(c);
    }
    mesh->cornerMap.assign(cornerCount, 0);
    mesh->renderVertices.clear();
    // Sorting a vertex's corners by (u, v) finds equal pairs in k log k, so a
    // vertex shared by very many corners costs no quadratic search.
    std::vector<uint32_t> group;
    std::vector<std::pair<uint32_t, uint32_t>> firstUses;  // (first corner, group start)
    for (size_t v = 0; v < vertexCount; ++v) {
        group.assign(byVertex.begin() + first[v], byVertex.begin() + first[v + 1]);
        auto uv = [&](uint32_t c) {
            return std::make_pair(file.cornerUvs[c].u, file.cornerUvs[c].v);
        };
        std::sort(group.begin(), group.end(), [&](uint32_t a, uint32_t b) {
            return uv(a) < uv(b) || (uv(a) == uv(b) && a < b);
        });
        firstUses.clear();
        for (size_t i = 0; i < group.size(); ++i) {
            if (i == 0 || uv(group[i]) != uv(group[i - 1])) {
                firstUses.push_back({group[i], static_cast<uint32_t>(i)});
            }
        }
        std::sort(firstUses.begin(), firstUses.end());
        for (const auto& use : firstUses) {
            if (mesh->renderVertices.size() >= static_cast<size_t>(kMaxSkinRenderVertices)) {
                return SkinError::TooManyVertices;
            }
            const uint32_t render = static_cast<uint32_t>(mesh->renderVertices.size());
            const Uv corner = file.cornerUvs[use.first];
            mesh->renderVertices.push_back({static_cast<int32_t>(v), corner.u, 1.0f - corner.v});
            for (size_t i = use.second; i < group.size() && uv(group[i]) == uv(use.first); ++i) {
                mesh->cornerMap[group[i]] = render;
            }
        }
    }
    return SkinError::None;
}

}  // namespace

const char* skinErrorText(SkinError error) {
    switch (error) {
        case SkinError::None:
            return "ok";
        case SkinError::Short:
            return "the file ends early";
        case SkinError::BadCount:
            return "bad vertex, bone or triangle count";
        case SkinError::BadBone:
            return "a bone index or child count is outside the tree";
        case SkinError::BoneCycle:
            return "the bone tree has a cycle or a bone with two parents";
        case SkinError::IndexOutOfRange:
            return "a triangle names a missing vertex";
        case SkinError::NonFinite:
            return "a number is not finite";
        case SkinError::TooManyVertices:
            return "too many render vertices";
    }
    return "unknown";
}

SkinError parseSkinMeshFile(const uint8_t* data, size_t size, SkinMeshFile* out) {
    if (data == nullptr) {
        return SkinError::Short;
    }
    Reader reader(data, size);
    const int32_t vertexCount = reader.readInt();
    const int32_t boneCount = reader.readInt();
    if (!reader.ok()) {
        return SkinError::Short;
    }
    if (vertexCount < 0 || vertexCount > kMaxSkinVertices || boneCount < 1 ||
        boneCount > kMaxSkinBones) {
        return SkinError::BadCount;
    }
    const size_t tables = static_cast<size_t>(boneCount) * (12 + kBoneBytes) +
                          static_cast<size_t>(vertexCount) * kInfluenceBytes + 4;
    if (reader.remaining() < tables) {
        return SkinError::Short;
    }
    SkinMeshFile file;
    file.bones.resize(boneCount);
    for (SkinBone& bone : file.bones) {
        bone.offset = reader.readVec3();
        if (!finite(bone.offset)) {
            return SkinError::NonFinite;
        }
    }
    file.influences.resize(static_cast<size_t>(vertexCount) * kSkinInfluences);
    for (SkinInfluence& influence : file.influences) {
        influence.weight = reader.readFloat();
        influence.bone = reader.readInt();
        influence.offset = reader.readVec3();
        if (!std::isfinite(influence.weight) || !finite(influence.offset)) {
            return SkinError::NonFinite;
        }
        if (influence.weight != 0.0f && (influence.bone < 0 || influence.bone >= boneCount)) {
            return SkinError::BadBone;
        }
    }
    for (SkinBone& bone : file.bones) {
        bone.childCount = reader.readInt();
        for (int32_t& child : bone.children) {
            child = reader.readInt();
        }
        readName(reader, bone.name, sizeof bone.name);
        if (bone.childCount < 0 || bone.childCount > kMaxBoneChildren) {
            return SkinError::BadBone;
        }
        for (int c = 0; c < bone.childCount; ++c) {
            // The root has no parent: no bone may list bone 0 as its child.
            if (bone.children[c] <= 0 || bone.children[c] >= boneCount) {
                return SkinError::BadBone;
            }
        }
        for (int c = bone.childCount; c < kMaxBoneChildren; ++c) {
            bone.children[c] = 0;
        }
    }
    const int32_t triangleCount = reader.readInt();
    if (!reader.ok()) {
        return SkinError::Short;
    }
    if (triangleCount < 0 || triangleCount > kMaxSkinTriangles) {
        return SkinError::BadCount;
    }
    if (reader.remaining() < static_cast<size_t>(triangleCount) * (12 + 24)) {
        return SkinError::Short;
    }
    file.triangles.resize(static_cast<size_t>(triangleCount) * 3);
    for (int32_t& index : file.triangles) {
        index = reader.readInt();
        if (index < 0 || index >= vertexCount) {
            return SkinError::IndexOutOfRange;
        }
    }
    file.cornerUvs.resize(static_cast<size_t>(triangleCount) * 3);
    for (Uv& uv : file.cornerUvs) {
        uv.u = reader.readFloat();
        uv.v = reader.readFloat();
        if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
            return SkinError::NonFinite;
        }
    }
    *out = std::move(file);
    return SkinError::None;
}

std::vector<uint8_t> writeSkinMeshFile(const SkinMeshFile& mesh) {
    std::vector<uint8_t> out;
    putInt(out, mesh.vertexCount());
    putInt(out, static_cast<int32_t>(mesh.bones.size()));
    for (const SkinBone& bone : mesh.bones) {
        putVec3(out, bone.offset);
    }
    for (size_t i = 0; i < static_cast<size_t>(mesh.vertexCount()) * kSkinInfluences; ++i) {
        const SkinInfluence& influence = mesh.influences[i];
        putFloat(out, influence.weight);
        putInt(out, influence.bone);
        putVec3(out, influence.offset);
    }
    for (const SkinBone& bone : mesh.bones) {
        putInt(out, bone.childCount);
        for (int32_t child : bone.children) {
            putInt(out, child);
        }
        putName(out, bone.name, sizeof bone.name);
    }
    const size_t triangles = mesh.triangles.size() / 3;
    putInt(out, static_cast<int32_t>(triangles));
    for (size_t i = 0; i < triangles * 3; ++i) {
        putInt(out, mesh.triangles[i]);
    }
    for (size_t i = 0; i < triangles * 3; ++i) {
        const Uv uv = i < mesh.cornerUvs.size() ? mesh.cornerUvs[i] : Uv{};
        putFloat(out, uv.u);
        putFloat(out, uv.v);
    }
    return out;
}

int32_t SkinMesh::findBone(const char* boneName) const {
    for (int32_t i = 0; i < boneCount(); ++i) {
        if (std::strcmp(file.bones[i].name, boneName) == 0) {
            return i;
        }
    }
    return -1;
}

// Which triangles meet at each vertex, for summing normals vertex by vertex.
void listVertexTriangles(const SkinMeshFile& file, SkinMesh* mesh) {
    const size_t vertexCount = static_cast<size_t>(file.vertexCount());
    mesh->vertexTriangleStart.assign(vertexCount + 1, 0);
    for (int32_t index : file.triangles) {
        ++mesh->vertexTriangleStart[index + 1];
    }
    for (size_t v = 0; v < vertexCount; ++v) {
        mesh->vertexTriangleStart[v + 1] += mesh->vertexTriangleStart[v];
    }
    mesh->vertexTriangles.assign(file.triangles.size(), 0);
    std::vector<uint32_t> fill(mesh->vertexTriangleStart.begin(),
                               mesh->vertexTriangleStart.end() - 1);
    for (size_t c = 0; c < file.triangles.size(); ++c) {
        mesh->vertexTriangles[fill[file.triangles[c]]++] = static_cast<uint32_t>(c / 3);
    }
}

SkinError buildSkinMesh(SkinMeshFile file, SkinMesh* out) {
    SkinError error = orderBones(file, out);
    if (error == SkinError::None) {
        error = weldCorners(file, out);
    }
    if (error == SkinError::None) {
        listVertexTriangles(file, out);
    }
    if (error == SkinError::None) {
        out->file = std::move(file);
    }
    return error;
}

SkinError parseSkinMesh(const uint8_t* data, size_t size, SkinMesh* out) {
    SkinMeshFile file;
    SkinError error = parseSkinMeshFile(data, size, &file);
    return error != SkinError::None ? error : buildSkinMesh(std::move(file), out);
}

SkinMesh* loadSkinMesh(const char* name) {
    if (name == nullptr || std::strlen(name) >= static_cast<size_t>(kBoneNameSize)) {
        return nullptr;
    }
    for (int i = 0; i < skinLibrary.count; ++i) {
        if (std::strcmp(skinLibrary.entries[i]->name, name) == 0) {
            return skinLibrary.entries[i];
        }
    }
    if (skinLibrary.count >= kMaxSkinMeshes) {
        return nullptr;
    }
    int32_t size = 0;
    uint8_t* data = loadFile(name, &size, true);
    auto* mesh = new SkinMesh;
    SkinError error = parseSkinMesh(data, data != nullptr ? static_cast<size_t>(size) : 0, mesh);
    if (data != nullptr) {
        releaseAsset(data);
    }
    if (error != SkinError::None) {
        delete mesh;
        std::fprintf(stderr, "%s: %s\n", name, skinErrorText(error));
        fatalLoadingError(name);
    }
    std::snprintf(mesh->name, sizeof mesh->name, "%s", name);
    skinLibrary.entries[skinLibrary.count++] = mesh;
    return mesh;
}

void freeSkinMeshLibrary() {
    for (int i = 0; i < skinLibrary.count; ++i) {
        delete skinLibrary.entries[i];
        skinLibrary.entries[i] = nullptr;
    }
    skinLibrary.count = 0;
}

}  // namespace corsavel
