#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/mesh.h"
#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

// Rigid props made of meshes, one texture each, from a ".cgo" text file.
constexpr int kMaxSceneObjects = 1024;
constexpr int kSceneObjectNameSize = 32;
constexpr int kMaxExtraMatrices = 8;
// A ".cgo" listing more meshes than this is refused as malformed.
constexpr int kMaxSceneObjectMeshes = 256;

// The keys of a ".cgo" file: for each mesh its mesh and texture file names
// (empty when the key is missing).
struct SceneObjectText {
    struct Entry {
        char mesh[kMeshNameSize] = {};
        char texture[kMeshNameSize] = {};
    };
    int meshCount = 0;
    Entry entries[kMaxSceneObjectMeshes];
};

// Reads "nummeshes=", "mesh%i=" and "texture%i=" from the file's bytes. The
// last byte of the buffer is replaced by the terminating zero, so the file's
// last character never belongs to a value. A negative count reads as 0;
// false for a count above kMaxSceneObjectMeshes.
bool parseSceneObjectText(const uint8_t* data, size_t size, SceneObjectText* out);

class SceneObject {
public:
    SceneObject() = default;
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;
    virtual ~SceneObject();

    // Loads the ".cgo" file and every mesh and texture it names.
    virtual void load(const char* fileName);
    // Draws every mesh with the world matrix (see drawSceneObject).
    virtual void draw(const Matrix4& world);

    // Mesh i gets extra[i] applied first, in its own frame (null: none).
    void setExtraMatrix(int mesh, const Matrix4* matrix);

    char name[kSceneObjectNameSize] = {};
    int meshCount = 0;
    StaticMesh** meshes = nullptr;
    TextureEntry** textures = nullptr;
    const Matrix4* extra[kMaxExtraMatrices] = {};
};

// Fills an object's lists from parsed keys; missing mesh keys leave the
// slot empty (nothing drawn), missing texture keys draw untextured.
void fillSceneObject(SceneObject* object, const SceneObjectText& text);

// The object library, keyed by exact file name; only names containing
// ".cgo" become scene objects (null otherwise, or when the library is full).
SceneObject* loadSceneObject(const char* fileName);
SceneObject* findSceneObject(const char* fileName);
void freeSceneObjectLibrary();

// For each mesh: M = E * L * W; skipped when the bounding sphere centre
// moved by M lies at or beyond -radius of a frustum plane; otherwise drawn
// with its texture, alpha-tested exactly when the texture has alpha (alpha
// textures also turn culling off and blending on, and those states stay).
void drawSceneObject(const SceneObject& object, const Matrix4& world);

// A point moved by a row-vector matrix.
Vec3 transformPoint(Vec3 p, const Matrix4& m);

}  // namespace corsavel
