#pragma once

#include "forge/forge.h"
#include "gfx/mesh.h"

// The rigid models of the "models" folder, built by code and written with
// the game's own ".msh_s" writer.
namespace corsavel::forge {

// Adds "models/goldbox.cgo", its two meshes and their texture.
void forgeModels(ForgeOutput& out);

// The gold box is built z up, x to the right and its front toward +y, in
// scene units. The body stands on z = kGoldBoxBottom; its rim is at
// kGoldBoxRim. The lid's pivot is the hinge: the back top edge of the body.
constexpr float kGoldBoxHalfWidth = 46.0f;
constexpr float kGoldBoxHalfDepth = 26.0f;
constexpr float kGoldBoxBottom = -26.0f;
constexpr float kGoldBoxRim = 10.0f;

MeshFile goldBoxBodyMesh();
MeshFile goldBoxLidMesh();

}  // namespace corsavel::forge
