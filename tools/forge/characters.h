#pragma once

#include <vector>

#include "forge/forge.h"
#include "gfx/animation.h"
#include "gfx/mesh.h"
#include "gfx/skin_mesh.h"

// The dancing skeletons of the "models" folder: four kinds of skinned
// skeleton with one bone tree, sixteen keyframed dances and eleven hats,
// written with the game's own writers.
namespace corsavel::forge {

// The bones every kind shares, in file order.
enum SkeletonBone {
    kRootBone,
    kSpineBone,
    kChestBone,
    kNeckBone,
    kHeadBone,
    kLeftUpperArm,
    kLeftForearm,
    kLeftHand,
    kRightUpperArm,
    kRightForearm,
    kRightHand,
    kLeftThigh,
    kLeftCalf,
    kLeftFoot,
    kRightThigh,
    kRightCalf,
    kRightFoot,
    kSkeletonBoneCount
};

// The root path's height: lifts the skeleton (whose pelvis is the mesh's
// origin) to where the dancers' camera shows it standing on the ground.
constexpr float kStandHeight = 27.2f;

// The skin mesh of character kind 0..3 (whole, patched, one-armed, peg-legged).
SkinMeshFile skeletonMesh(int kind);
// Dance 0..15 in the order of the game's dance numbers.
AnimationFile danceAnimationFile(int dance);
// Hat 0..10 as a rigid mesh in the hat's own frame.
MeshFile hatMesh(int hat);

// Adds the ".chr" descriptors, skin meshes, textures, ".anm" dances and
// the hats' ".cgo" files, meshes and texture.
void forgeCharacters(ForgeOutput& out);
void forgeDances(ForgeOutput& out);
void forgeHats(ForgeOutput& out);

}  // namespace corsavel::forge
