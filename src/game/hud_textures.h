#pragma once

#include "game/figure_kinds.h"
#include "gfx/sprite_sheet.h"

namespace corsavel {

struct TextureEntry;

// The images of the HUD, the tip balloon and the instructions overlay,
// found once by loadHudTextures (null when a file is missing).
struct HudTextures {
    const TextureEntry* gamebar = nullptr;
    const TextureEntry* fuse = nullptr;
    const TextureEntry* trough = nullptr;
    const TextureEntry* barrel = nullptr;
    const TextureEntry* heart = nullptr;
    const TextureEntry* hintMarker = nullptr;
    const TextureEntry* tipIcon = nullptr;
    const TextureEntry* glow = nullptr;
    const TextureEntry* cursor = nullptr;
    const TextureEntry* tiles[4] = {};  // plain, one layer, two layers, plain (checker)
    const TextureEntry* stagePicture = nullptr;
    const TextureEntry* gameComplete = nullptr;
    SpriteSheet figures[kFigureKindCount];  // by FigureKind id, for the demonstration boards
};
extern HudTextures hudTextures;

// Loads every HUD image; `fatal` stops the game on a missing one, as the
// start-up load ("models") does; otherwise a missing image stays null.
void loadHudTexturesWith(bool fatal);
// The closing picture of the game, loaded when the last level is won.
void loadGameCompletePicture();

}  // namespace corsavel
