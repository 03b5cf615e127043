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
