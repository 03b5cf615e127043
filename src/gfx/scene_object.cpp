#include "gfx/scene_object.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "gfx/texture.h"
#include "platform/message_box.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {

namespace {

struct ObjectLibrary {
    SceneObject* entries[kMaxSceneObjects] = {};
    int count = 0;
};
ObjectLibrary objectLibrary;

}  // namespace

Vec3 transformPoint(Vec3 p, const Matrix4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

bool parseSceneObjectText(const uint8_t* data, size_t size, SceneObjectText* out) {
    std::vector<char> text(size > 0 ? size : 1, '\0');
    if (size > 0) {
        std::memcpy(text.data(), data, size);
        text[size - 1] = '\0';
    }
    int32_t count = readInt(text.data(), "nummeshes=");
    if (count > kMaxSceneObjectMeshes) {
        return false;
    }
    out->meshCount = count > 0 ? count : 0;
    for (int i = 0; i < out->meshCount; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "mesh%i=", i);
        readValue(out->entries[i].mesh, text.data(), key);
        std::snprintf(key, sizeof key, "texture%i=", i);
        readValue(out->entries[i].texture, text.data(), key);
    }
    return true;
}

SceneObject::~SceneObject() {
    delete[] meshes;
    delete[] textures;
}

void SceneObject::setExtraMatrix(int mesh, const Matrix4* matrix) {
    if (mesh >= 0 && mesh < kMaxExtraMatrices) {
        extra[mesh] = matrix;
    }
}

void fillSceneObject(SceneObject* object, const SceneObjectText& text) {
    delete[] object->meshes;
    delete[] object->textures;
    object->meshCount = text.meshCount;
    object->meshes = new StaticMesh*[text.meshCount > 0 ? text.meshCount : 1]();
    object->textures = new TextureEntry*[text.meshCount > 0 ? text.meshCount : 1]();
    for (int i = 0; i < text.meshCount; ++i) {
        const SceneObjectText::Entry& entry = text.entries[i];
        if (entry.mesh[0] != '\0') {
            object->meshes[i] = loadStaticMesh(entry.mesh);
        }
        if (entry.texture[0] != '\0') {
            object->textures[i] = loadTexture(entry.texture);
        }
    }
}

void SceneObject::load(const char* fileName) {
    std::snprintf(name, sizeof name, "%s", fileName);
    int32_t size = 0;
    uint8_t* data = loadFile(fileName, &size, true);
    auto text = std::make_unique<SceneObjectText>();
    bool parsed =
        parseSceneObjectText(data, data != nullptr ? static_cast<size_t>(size) : 0, text.get());
    if (data != nullptr) {
        releaseAsset(data);
    }
    if (!parsed) {
        fatalLoadingError(fileName);
    }
    fillSceneObject(this, *text);
}

void SceneObject::draw(const Matrix4& world) {
    drawSceneObject(*this, world);
}

SceneObject* findSceneObject(const char* fileName) {
    if (fileName == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < objectLibrary.count; ++i) {
        if (std::strcmp(objectLibrary.entries[i]->name, fileName) == 0) {
            return objectLibrary.entries[i];
        }
    }
    return nullptr;
}

SceneObject* loadSceneObject(const char* fileName) {
    if (fileName == nullptr || std::strstr(fileName, ".cgo") == nullptr ||
        std::strlen(fileName) >= static_cast<size_t>(kSceneObjectNameSize)) {
        return nullptr;
    }
    if (SceneObject* found = findSceneObject(fileName)) {
        return found;
    }
    if (objectLibrary.count >= kMaxSceneObjects) {
        return nullptr;
    }
    auto* object = new SceneObject;
    object->load(fileName);
    objectLibrary.entries[objectLibrary.count++] = object;
    return object;
}

void freeSceneObjectLibrary() {
    for (int i = 0; i < objectLibrary.count; ++i) {
        delete objectLibrary.entries[i];
        objectLibrary.entries[i] = nullptr;
    }
    objectLibrary.count = 0;
}

void drawSceneObject(const SceneObject& object, const Matrix4& world) {
    for (int i = 0; i < object.meshCount; ++i) {
        const StaticMesh* mesh = object.meshes[i];
        if (mesh == nullptr) {
            continue;
        }
        Matrix4 m = mesh->local * world;
        if (i < kMaxExtraMatrices && object.extra[i] != nullptr) {
            m = *object.extra[i] * m;
        }
        if (!sphereVisible(transformPoint(mesh->sphereCentre, m), mesh->sphereRadius)) {
            continue;
        }
        const TextureEntry* texture = object.textures[i];
        bool alpha = texture != nullptr && texture->hasAlpha != 0;
        setWorld(&m);
        bindTexture(texture);
        setRenderState(RenderState::AlphaTestEnable, alpha ? 1 : 0);
        if (alpha) {
            setRenderState(RenderState::CullMode, kCullNone);
            setRenderState(RenderState::AlphaBlendEnable, 1);
            setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
            setRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
        }
        drawMeshBuffers(mesh->buffers);
    }
}

}  // namespace corsavel
