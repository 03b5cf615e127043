#pragma once

#include <string>
#include <vector>

#include "forge/forge.h"

// The particle effects: one ".par" text per effect under "effects/".
namespace corsavel::forge {

// Writes every effect file the game starts, and the helpers they list.
void forgeEffects(ForgeOutput& out);

// The names the game starts or spawns by name, for the forge's own test.
const std::vector<std::string>& effectNamesTheGameUses();

}  // namespace corsavel::forge

namespace corsavel::forge {

// The scenes of the 13 backgrounds: the manifest "gameobjs.txt", the layer
// art it names and "AnimBacks/level%i.lev" placing the layers.
void forgeBackgroundScenes(ForgeOutput& out);

// One layer of a scene file as the forge writes it.
struct SceneLayerSpec {
    std::string name;
    float x0, y0, x1, y1;
    float angle = 0.0f;
    float fx = 0.0f, fy = 0.0f;
    bool mirrored = false;
    bool behind = false;
};
std::vector<SceneLayerSpec> sceneLayers(int n);
std::vector<uint8_t> encodeSceneFile(const std::vector<SceneLayerSpec>& layers);

}  // namespace corsavel::forge
