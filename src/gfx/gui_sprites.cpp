#include "gfx/gui_sprites.h"

#include "gfx/texture.h"

namespace corsavel {

namespace {

constexpr float kCellInset = 0.003f;

constexpr GuiCell kCells[kGuiCellCount] = {
    {0, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 1}, {0, 2, 1, 1}, {1, 2, 1, 1},
    {2, 0, 1, 1}, {3, 0, 1, 1}, {2, 1, 1, 1}, {3, 1, 1, 1}, {0, 3, 2, 1}, {0, 4, 2, 1},
    {2, 3, 1, 2}, {3, 3, 1, 2}, {0, 7, 1, 1}, {1, 7, 1, 1}, {0, 5, 1, 1}, {0, 6, 1, 1},
    {2, 5, 1, 1}, {3, 5, 1, 1}, {1, 6, 1, 1}, {1, 5, 1, 1}, {3, 7, 1, 1}, {2, 7, 1, 1},
};

const TextureEntry* menuAtlas = nullptr;

}  // namespace

const GuiCell& guiCell(int cell) {
    static constexpr GuiCell kNone = {0, 0, 0, 0};
    return cell >= 0 && cell < kGuiCellCount ? kCells[cell] : kNone;
}

UvRect guiCellUv(int cell) {
    const GuiCell& c = guiCell(cell);
    return UvRect{static_cast<float>(c.column) / 4.0f + kCellInset,
                  static_cast<float>(c.row) / 8.0f + kCellInset,
                  static_cast<float>(c.column + c.width) / 4.0f - kCellInset,
                  static_cast<float>(c.row + c.height) / 8.0f - kCellInset};
}

void setMenuTexture(const TextureEntry* texture) {
    menuAtlas = texture;
}

const TextureEntry* menuTexture() {
    if (!menuAtlas) {
        menuAtlas = findTexture("_a_menutex.jpg");
    }
    if (!menuAtlas) {
        menuAtlas = findTexture("menutex.tga");
    }
    return menuAtlas;
}

void drawGuiSprite(int cell, float x, float y, uint32_t colour, float scale, float z) {
    const GuiCell& c = guiCell(cell);
    if (c.width == 0) {
        return;
    }
    drawSprite(x, y, static_cast<float>(c.width) * kGuiCellUnits * scale,
               static_cast<float>(c.height) * kGuiCellUnits * scale, guiCellUv(cell), colour, z);
}

}  // namespace corsavel
