#pragma once

#include <cstdint>

#include "platform/primitives.h"

namespace corsavel {

struct TextureEntry;

constexpr int kGuiCellCount = 24;
// Menu units per atlas cell.
constexpr float kGuiCellUnits = 64.0f;

// A cell of the 4 x 8 GUI atlas "menutex.tga", in grid units.
struct GuiCell {
    int column;
    int row;
    int width;
    int height;
};

const GuiCell& guiCell(int cell);
// The cell's texture rectangle, inset by 0.003 against its neighbours.
UvRect guiCellUv(int cell);

// The menu atlas: set by the menu loading, else found in the texture table.
void setMenuTexture(const TextureEntry* texture);
const TextureEntry* menuTexture();

// Draws GUI cell `cell` centred at (x, y), 64 units per cell times scale,
// with the texture already bound. Unknown cells draw nothing.
void drawGuiSprite(int cell, float x, float y, uint32_t colour, float scale = 1.0f,
                   float z = 10.0f);

}  // namespace corsavel
