#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/animation.h"
#include "gfx/mesh.h"
#include "gfx/skin_mesh.h"
#include "gfx/transforms.h"
#include "platform/math_types.h"
#include "platform/primitives.h"

namespace corsavel {

struct TextureEntry;
class SceneObject;

// The ".chr" descriptor: the skinned mesh's file name and its texture's.
constexpr int kCharacterNameSize = 32;
constexpr size_t kCharacterFileSize = 64;
constexpr const char* kHeadBoneName = "Bip01 Head";

struct CharacterFile {
    char mesh[kCharacterNameSize] = {};
    char texture[kCharacterNameSize] = {};
};

// False when the file is shorter than 64 bytes; names lacking their zero
// are cut at 31 bytes.
bool parseCharacterFile(const uint8_t* data, size_t size, CharacterFile* out);
std::vector<uint8_t> writeCharacterFile(const CharacterFile& file);

// One dancing skeleton. Its clock lives with whoever plays it (the update
// advances it); updateCharacter poses, skins and refills this character's
// own vertex buffer from that clock, drawCharacter draws it.
class Character {
public:
    Character() = default;
    Character(const Character&) = delete;
    Character& operator=(const Character&) = delete;
    virtual ~Character();

    // Loads the descriptor (required), its mesh and texture, finds the head
    // bone and sizes the working arrays.
    virtual void loadCharacter(const char* fileName);
    // Builds the character from a mesh already loaded (tests, tools).
    void attachMesh(const SkinMesh* mesh, TextureEntry* texture);
    // Pose, skinning, normals, instance matrix and vertex refill. Allocates
    // nothing.
    virtual void updateCharacter(const AnimationClock& clock);
    virtual void drawCharacter() const;
    // The named bone's current rotation (false when the bone is missing).
    bool boneMatrix(const char* boneName, Matrix4* out) const;

    // B * A * C: where the character is drawn.
    Matrix4 worldMatrix() const { return placeB * instance * placeC; }

    char fileName[kCharacterNameSize] = {};
    const SkinMesh* mesh = nullptr;
    TextureEntry* texture = nullptr;
    int32_t headBone = -1;
    // Set by gameplay before each update.
    float yaw = 0.0f;
    Vec3 position;
    Vec3 placement;
    Matrix4 placeB;
    Matrix4 placeC;
    // Derived by updateCharacter.
    KeyPosition keys;
    Vec3 rootOffset;
    Matrix4 instance;
    std::vector<Matrix4> boneMatrices;
    std::vector<Vec3> boneWorld;
    std::vector<Vec3> skinned;
    std::vector<Vec3> normals;
    std::vector<Vec3> faceNormals;     // unit (or zero) normal of each triangle
    std::vector<MeshVertex> vertices;  // one per render vertex
    std::vector<uint32_t> indices;     // the mesh's corner map
    MeshBuffers buffers;
};

// Rotation of an animation's bone at a clock's time, or the rest pose when
// the animation is missing or was made for another bone count.
bool animationFits(const Animation* animation, const SkinMesh& mesh);

// Normalises a summed normal; a zero or non-finite sum gives (0, 0, 1).
Vec3 safeNormal(Vec3 v);

// Hats on the head bone: numbers 0..10 as the level files give them.
constexpr int kHatCount = 11;
extern const char* const kHatFiles[kHatCount];
// The hat's matrix on a posed character; false (nothing to draw) when the
// hat number is outside 0..10 or the character has no head bone. figureScale
// is the dancer's size (the axe sits off the head by 0.75 / it).
bool hatMatrix(const Character& character, int hat, float figureScale, Matrix4* out);

// Everything the dancers need, loaded once: ten slots of the four kinds,
// the sixteen dances and the gold box plus the eleven hats.
constexpr int kCharacterSlots = 10;
constexpr int kCharacterKinds = 4;
constexpr int kDanceCount = 16;
extern const char* const kCharacterKindFiles[kCharacterKinds];
extern const char* const kDanceFiles[kDanceCount];
constexpr int kArmlessKind = 2;

// Loads from the current folder (the caller enters "models").
void loadCharacterSet();
bool characterSetLoaded();
Character* characterFor(int slot, int kind);
const Animation* danceAnimation(int dance);
SceneObject* hatObject(int hat);
void freeCharacterSet();

}  // namespace corsavel
