#include "gfx/character.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gfx/character_bytes.h"
#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "platform/message_box.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace corsavel {

const char* const kHatFiles[kHatCount] = {
    "treugolka.cgo", "beret.cgo", "cilindr.cgo",  "kepka.cgo",  "korona_bol.cgo", "korona_mal.cgo",
    "kovboyka.cgo",  "parik.cgo", "sombrero.cgo", "strela.cgo", "topor.cgo",
};

const char* const kCharacterKindFiles[kCharacterKinds] = {
    "skelet.chr",
    "skelet_inv.chr",
    "skelet_inv_ruka.chr",
    "skelet_inv_noga.chr",
};

const char* const kDanceFiles[kDanceCount] = {
    "dance1.anm",  "dance2.anm",   "dance3.anm",    "dance4.anm",    "dance5.anm",  "dance7.anm",
    "dance9.anm",  "dance10.anm",  "dance11.anm",   "dance12.anm",   "dance13.anm", "dance14.anm",
    "dance15.anm", "applause.anm", "applause2.anm", "jumpsplit.anm",
};

namespace {

using namespace character_bytes;

constexpr const char* kGoldBoxHat = "goldbox.cgo";

// Where each hat sits in the head's frame, and its size.
struct HatPlacement {
    Vec3 offset;
    float scale;
};
constexpr HatPlacement kHatPlacements[kHatCount] = {
    {{0.0f, -0.15f, 1.9f}, 1.0f}, {{0.0f, -0.4f, 1.9f}, 1.1f},   {{0.0f, -0.75f, 2.2f}, 1.1f},
    {{0.0f, -1.35f, 1.6f}, 1.0f}, {{0.0f, -0.4f, 1.75f}, 1.0f},  {{0.0f, -0.45f, 1.85f}, 1.0f},
    {{0.0f, -0.7f, 1.85f}, 1.2f}, {{0.0f, 0.25f, 1.0f}, 0.9f},   {{0.0f, -0.75f, 1.85f}, 1.0f},
    {{0.0f, 0.0f, 1.75f}, 1.0f},  {{0.75f, 1.65f, 2.75f}, 1.0f},
};
constexpr int kAxeHat = 10;

struct CharacterSet {
    Character* characters[kCharacterSlots][kCharacterKinds] = {};
    const Animation* dances[kDanceCount] = {};
    SceneObject* hats[kHatCount] = {};
    bool loaded = false;
};
CharacterSet characterSet;

// The 3x3 rotation part of a row-vector matrix applied to a point.
[[gnu::always_inline]] inline Vec3 rotate(Vec3 p, const Matrix4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2]};
}

// Rotation-only product a * b of two row-vector rotations.
void multiplyRotation(const Matrix4& a, const Matrix4& b, Matrix4* out) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            out->m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        }
        out->m[i][3] = 0.0f;
    }
    out->m[3][0] = out->m[3][1] = out->m[3][2] = 0.0f;
    out->m[3][3] = 1.0f;
}

}  // namespace

bool parseCharacterFile(const uint8_t* data, size_t size, CharacterFile* out) {
    if (data == nullptr || size < kCharacterFileSize) {
        return false;
    }
    Reader reader(data, size);
    CharacterFile file;
    readName(reader, file.mesh, sizeof file.mesh);
    readName(reader, file.texture, sizeof file.texture);
    *out = file;
    return true;
}

std::vector<uint8_t> writeCharacterFile(const CharacterFile& file) {
    std::vector<uint8_t> out;
    putName(out, file.mesh, sizeof file.mesh);
    putName(out, file.texture, sizeof file.texture);
    return out;
}

Vec3 safeNormal(Vec3 v) {
    const float len = length(v);
    if (!(len > 1e-20f) || !std::isfinite(len)) {
        return {0.0f, 0.0f, 1.0f};
    }
    return v * (1.0f / len);
}

bool animationFits(const Animation* animation, const SkinMesh& mesh) {
    return animation != nullptr && animation->boneCount == mesh.boneCount() &&
           animation->keyCount > 0;
}

Character::~Character() {
    releaseMeshBuffers(&buffers);
}

void Character::loadCharacter(const char* name) {
    std::snprintf(fileName, sizeof fileName, "%s", name);
    int32_t size = 0;
    uint8_t* data = loadFile(name, &size, true);
    CharacterFile file;
    const bool ok =
        parseCharacterFile(data, data != nullptr ? static_cast<size_t>(size) : 0, &file);
    if (data != nullptr) {
        releaseAsset(data);
    }
    if (!ok) {
        fatalLoadingError(name);
    }
    const SkinMesh* skin = loadSkinMesh(file.mesh);
    if (skin == nullptr) {
        fatalLoadingError(file.mesh[0] != '\0' ? file.mesh : name);
    }
    attachMesh(skin, loadTexture(file.texture));
}

void Character::attachMesh(const SkinMesh* skin, TextureEntry* tex) {
    mesh = skin;
    texture = tex;
    yaw = 0.0f;
    position = {};
    placement = {};
    placeB = Matrix4{};
    placeC = Matrix4{};
    instance = Matrix4{};
    rootOffset = {};
    keys = {};
    headBone = skin->findBone(kHeadBoneName);
    boneMatrices.assign(skin->boneCount(), Matrix4{});
    boneWorld.assign(skin->boneCount(), Vec3{});
    skinned.assign(skin->vertexCount(), Vec3{});
    normals.assign(skin->vertexCount(), Vec3{});
    faceNormals.assign(skin->triangleCount(), Vec3{});
    vertices.assign(skin->renderVertices.size(), MeshVertex{});
    indices = skin->cornerMap;
    for (size_t r = 0; r < vertices.size(); ++r) {
        vertices[r].u = skin->renderVertices[r].u;
        vertices[r].v = skin->renderVertices[r].v;
    }
    updateCharacter(AnimationClock{});
    std::vector<Vec3> positions(vertices.size());
    std::vector<Vec3> vertexNormals(vertices.size());
    std::vector<Uv> uvs(vertices.size());
    for (size_t r = 0; r < vertices.size(); ++r) {
        positions[r] = vertices[r].position;
        vertexNormals[r] = vertices[r].normal;
        uvs[r] = {vertices[r].u, vertices[r].v};
    }
    releaseMeshBuffers(&buffers);
    if (!vertices.empty() && skin->triangleCount() > 0) {
        createMeshBuffers(&buffers, kFormatPosition | kFormatNormal | kFormatTex1, positions.data(),
                          vertexNormals.data(), uvs.data(), static_cast<int>(vertices.size()),
                          indices.data(), skin->triangleCount(), true);
    }
}

void Character::updateCharacter(const AnimationClock& clock) {
    if (mesh == nullptr) {
        return;
    }
    const SkinMesh& skin = *mesh;
    const Animation* current = animationFits(clock.current, skin) ? clock.current : nullptr;
    const Animation* next =
        clock.blending && animationFits(clock.next, skin) ? clock.next : nullptr;
    const float weight = clock.blendWeight < 0.0f   ? 0.0f
                         : clock.blendWeight > 1.0f ? 1.0f
                                                    : clock.blendWeight;
    keys = current != nullptr ? keyPosition(*current, clock.timeMs) : KeyPosition{};

    // Bone pose, parents before children.
    for (const int32_t b : skin.boneOrder) {
        Quaternion q;
        if (current != nullptr) {
            q = slerp(current->rotation(b, keys.key), current->rotation(b, keys.nextKey),
                      keys.fraction);
        }
        if (next != nullptr) {
            q = slerp(q, next->rotation(b, 0), weight);
        }
        const Matrix4 local = quaternionMatrix(q);
        const int32_t parent = skin.parent[b];
        if (parent < 0) {
            boneMatrices[b] = local;
            boneWorld[b] = b == 0 ? Vec3{} : skin.file.bones[b].offset;
        } else {
            multiplyRotation(local, boneMatrices[parent], &boneMatrices[b]);
            boneWorld[b] =
                rotate(skin.file.bones[b].offset, boneMatrices[parent]) + boneWorld[parent];
        }
    }

    // Skinning on the processor.
    const int32_t vertexCount = skin.vertexCount();
    const SkinInfluence* influence = skin.file.influences.data();
    for (int32_t v = 0; v < vertexCount; ++v) {
        Vec3 sum;
        for (int k = 0; k < kSkinInfluences; ++k, ++influence) {
            if (influence->weight != 0.0f) {
                const int32_t b = influence->bone;
                sum = sum + (rotate(influence->offset, boneMatrices[b]) + boneWorld[b]) *
                                influence->weight;
            }
        }
        skinned[v] = sum;
    }

    // The root's path, cross-faded into the next dance's start.
    rootOffset = {};
    if (current != nullptr) {
        const Vec3 a = current->rootPath[keys.key];
        const Vec3 b = current->rootPath[keys.nextKey];
        rootOffset = a + (b - a) * keys.fraction;
    }
    if (next != nullptr) {
        rootOffset = rootOffset * (1.0f - weight) + next->rootPath[0] * weight;
    }
    instance = translation(rootOffset + position) * rotationZ(yaw + 180.0f) *
               translation({placement.x, placement.y, placement.y});

    // Smooth normals: each triangle's unit normal (c - a) x (b - a), then
    // at each vertex the sum over the triangles around it, normalised.
    const int32_t* tri = skin.file.triangles.data();
    const int32_t triangleCount = skin.triangleCount();
    for (int32_t t = 0; t < triangleCount; ++t, tri += 3) {
        const Vec3 a = skinned[tri[0]];
        const Vec3 n = cross(skinned[tri[2]] - a, skinned[tri[1]] - a);
        const float len2 = dot(n, n);
        faceNormals[t] =
            len2 > 1e-30f && std::isfinite(len2) ? n * (1.0f / std::sqrt(len2)) : Vec3{};
    }
    const uint32_t* around = skin.vertexTriangles.data();
    const uint32_t* start = skin.vertexTriangleStart.data();
    for (int32_t v = 0; v < vertexCount; ++v) {
        Vec3 sum;
        for (uint32_t i = start[v]; i < start[v + 1]; ++i) {
            sum = sum + faceNormals[around[i]];
        }
        const float len2 = dot(sum, sum);
        normals[v] =
            len2 > 1e-30f && std::isfinite(len2) ? sum * (1.0f / std::sqrt(len2)) : safeNormal(sum);
    }
    for (size_t r = 0; r < vertices.size(); ++r) {
        const int32_t source = skin.renderVertices[r].source;
        vertices[r].position = skinned[source];
        vertices[r].normal = normals[source];
    }
    if (buffers.buffers != 0) {
        updateMeshVertices(buffers, vertices.data(), static_cast<int>(vertices.size()));
    }
}

void Character::drawCharacter() const {
    if (buffers.buffers == 0) {
        return;
    }
    const Matrix4 world = worldMatrix();
    setWorld(&world);
    bindTexture(texture);
    drawMeshBuffers(buffers);
}

bool Character::boneMatrix(const char* boneName, Matrix4* out) const {
    if (mesh == nullptr) {
        return false;
    }
    const int32_t bone =
        std::strcmp(boneName, kHeadBoneName) == 0 ? headBone : mesh->findBone(boneName);
    if (bone < 0 || bone >= static_cast<int32_t>(boneMatrices.size())) {
        return false;
    }
    *out = boneMatrices[bone];
    return true;
}

bool hatMatrix(const Character& character, int hat, float figureScale, Matrix4* out) {
    if (hat < 0 || hat >= kHatCount || character.headBone < 0 ||
        character.headBone >= static_cast<int32_t>(character.boneWorld.size())) {
        return false;
    }
    Matrix4 head;
    if (!character.boneMatrix(kHeadBoneName, &head)) {
        return false;
    }
    HatPlacement place = kHatPlacements[hat];
    if (hat == kAxeHat) {
        const float f = std::isfinite(figureScale) && figureScale > 0.01f ? figureScale : 1.0f;
        place.offset.x = 0.75f / f;
    }
    const Vec3 kindOffset = std::strcmp(character.fileName, kCharacterKindFiles[kArmlessKind]) == 0
                                ? Vec3{0.0f, 0.15f, 0.1f}
                                : Vec3{};
    *out = uniformScale(place.scale) * translation(place.offset) * translation(kindOffset) *
           rotationX(-15.0f) * rotationZ(180.0f) * rotationY(90.0f) * head *
           translation(character.boneWorld[character.headBone]) * character.worldMatrix();
    return true;
}

void loadCharacterSet() {
    if (characterSet.loaded) {
        return;
    }
    for (auto& slot : characterSet.characters) {
        for (int kind = 0; kind < kCharacterKinds; ++kind) {
            slot[kind] = new Character;
            slot[kind]->loadCharacter(kCharacterKindFiles[kind]);
        }
    }
    for (int i = 0; i < kDanceCount; ++i) {
        characterSet.dances[i] = loadAnimation(kDanceFiles[i]);
        if (characterSet.dances[i] == nullptr) {
            fatalLoadingError(kDanceFiles[i]);
        }
        // A dance made for another skeleton would index past its bones.
        for (int kind = 0; kind < kCharacterKinds; ++kind) {
            const Character& c = *characterSet.characters[0][kind];
            if (!animationFits(characterSet.dances[i], *c.mesh)) {
                std::fprintf(stderr, "%s: %d bones, the skeleton %s has %d\n", kDanceFiles[i],
                             characterSet.dances[i]->boneCount, c.fileName, c.mesh->boneCount());
                fatalLoadingError(kDanceFiles[i]);
            }
        }
    }
    loadSceneObject(kGoldBoxHat);
    for (int i = 0; i < kHatCount; ++i) {
        characterSet.hats[i] = loadSceneObject(kHatFiles[i]);
    }
    characterSet.loaded = true;
}

bool characterSetLoaded() {
    return characterSet.loaded;
}

Character* characterFor(int slot, int kind) {
    if (slot < 0 || slot >= kCharacterSlots || kind < 0 || kind >= kCharacterKinds) {
        return nullptr;
    }
    return characterSet.characters[slot][kind];
}

const Animation* danceAnimation(int dance) {
    return dance >= 0 && dance < kDanceCount ? characterSet.dances[dance] : nullptr;
}

SceneObject* hatObject(int hat) {
    return hat >= 0 && hat < kHatCount ? characterSet.hats[hat] : nullptr;
}

void freeCharacterSet() {
    for (auto& slot : characterSet.characters) {
        for (Character*& c : slot) {
            delete c;
            c = nullptr;
        }
    }
    for (const Animation*& a : characterSet.dances) {
        a = nullptr;
    }
    for (SceneObject*& h : characterSet.hats) {
        h = nullptr;
    }
    characterSet.loaded = false;
    freeAnimationLibrary();
    freeSkinMeshLibrary();
}

}  // namespace corsavel
