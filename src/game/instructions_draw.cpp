// The instructions overlay: a framed panel with the title, two columns of
// text, the two demonstration boards with their hands and the glowing "OK"
// button.

#include <cmath>

#include "game/game_draw.h"
#include "game/hud_textures.h"
#include "game/instructions.h"
#include "gfx/draw_helpers.h"
#include "gfx/font.h"
#include "gfx/gui_sprites.h"
#include "gfx/panel.h"
#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/primitives.h"
#include "platform/render_device.h"
#include "resources/text_table.h"

namespace corsavel {

namespace {

constexpr float kPanelCentreX = 30.0f;
constexpr float kPanelCentreY = 20.0f;
constexpr float kPanelWidth = 540.0f;
constexpr float kPanelHeight = 500.0f;
constexpr float kColumnTop = 180.0f;
constexpr float kColumnWidth = 200.0f;
constexpr float kColumnX[2] = {-180.0f, 65.0f};
constexpr const char* kColumnKeys[2] = {"treasuretip", "squarehelp"};
constexpr float kColumnSize = 10.0f;
// The columns end above the demonstration boards.
constexpr float kColumnBottom = 82.0f;
constexpr float kTileEdge = 51.8f;
constexpr float kPointerScale = 0.7f;
constexpr int kPointerCell = 22;

struct ColumnText {
    char text[1024] = {};
    float size = kColumnSize;
};

// Wraps a column at size 10; a text too long for the room above the boards
// is set smaller until it fits.
void wrapColumn(ColumnText& column, const char* text) {
    const Font* font = currentFont();
    column.text[0] = 0;
    column.size = kColumnSize;
    if (font == nullptr || text == nullptr) {
        return;
    }
    const float room = kColumnTop - kColumnBottom + kLineHeight * kColumnSize;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const float height =
            wrapTextInto(*font, kColumnWidth, text, column.size, column.text, sizeof column.text);
        if (height <= room) {
            return;
        }
        column.size *= std::sqrt(room / height) * 0.98f;
    }
}

void drawFigure(int kind, float x, float y, float alpha, float sizeDelta, int frame) {
    if (kind < 0 || kind >= kFigureKindCount || hudTextures.figures[kind].texture == nullptr ||
        alpha <= 0.0f) {
        return;
    }
    hudTextures.figures[kind].draw(x, y, frame, white(alpha), sizeDelta, 0.0f);
}

void drawGlow(float x, float y, float edge, float alpha) {
    if (hudTextures.glow == nullptr || alpha <= 0.0f) {
        return;
    }
    additiveBlend();
    bindTexture(hudTextures.glow);
    drawGlint(x, y, edge, 45.0f, makeColour(static_cast<int>(alpha), 255, 230, 150));
    setBlendMode(0);
}

void drawDemoTiles(int index, float alpha) {
    const DemoBoard& b = demo.boards[index];
    for (int r = 0; r < kDemoSize; ++r) {
        for (int c = 0; c < kDemoSize; ++c) {
            const int layers = b.cells[r][c].layers;
            const int image = layers > 0 ? (layers > 2 ? 2 : layers) : ((r + c) % 2 != 0 ? 3 : 0);
            if (hudTextures.tiles[image] == nullptr) {
                continue;
            }
            const Vec2 p = demoCellCentre(index, c, r);
            bindTexture(hudTextures.tiles[image]);
            drawSprite(p.x, p.y, kTileEdge, kTileEdge, UvRect{}, white(alpha), 0.0f);
        }
    }
}

void drawDemoFigures(int index, float alpha) {
    const DemoBoard& b = demo.boards[index];
    const float topEdge = demoCellCentre(index, 0, 0).y + 25.0f;
    const bool clearing = b.phase == DemoPhase::Clear;
    const float k = clearing ? b.phaseMs / kDemoClearMs : 0.0f;
    const int spin = static_cast<int>(app.animationClockMs / 30.0f) % 32;
    for (int r = 0; r < kDemoSize; ++r) {
        for (int c = 0; c < kDemoSize; ++c) {
            const DemoCell& cell = b.cells[r][c];
            if (cell.kind < 0) {
                continue;
            }
            const Vec2 p = demoCellCentre(index, c, r) + cell.offset;
            // Figures dropping in appear as they cross the board's top edge.
            float a = (topEdge + 25.0f - p.y) / 50.0f;
            a = alpha * (a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a));
            if (cell.clearing && clearing) {
                drawGlow(p.x, p.y, 60.0f + 40.0f * k, a * (1.0f - k));
                normalBlend();
                drawFigure(cell.kind, p.x, p.y, a * (1.0f - k), 48.4f * 0.35f * k, spin);
            } else {
                drawFigure(cell.kind, p.x, p.y, a, 0.0f, 0);
            }
        }
    }
}

void drawDemoPieces(int index, float alpha) {
    const DemoBoard& b = demo.boards[index];
    for (const DemoPiece& piece : b.pieces) {
        if (piece.ageMs < 0.0f) {
            continue;
        }
        const int image = piece.layers >= 2 ? 2 : 1;
        if (hudTextures.tiles[image] == nullptr) {
            continue;
        }
        const float age = piece.ageMs;
        const Vec2 p =
            piece.start + piece.direction * (0.15f * age) + Vec2{0.0f, -0.00012f * age * age};
        const float fade = age < 200.0f ? 1.0f : 1.0f - (age - 200.0f) / 500.0f;
        const float edge = kTileEdge * (1.0f - age / (2.0f * kDemoPieceLifeMs));
        bindTexture(hudTextures.tiles[image]);
        drawSpriteRotated(p.x, p.y, p.x, p.y, piece.direction.x * age * 0.25f, edge, edge, UvRect{},
                          white(alpha * (fade < 0.0f ? 0.0f : fade)), 0.0f);
    }
}

// The hand as in play (the ring and the held figure), with a pointer arrow
// whose tip is on the hand's point.
void drawDemoHand(int index, float alpha) {
    const DemoBoard& b = demo.boards[index];
    if (hudTextures.cursor != nullptr) {
        bindTexture(hudTextures.cursor);
        const float edge = static_cast<float>(hudTextures.cursor->width);
        drawSprite(b.hand.x, b.hand.y, edge, edge, UvRect{}, white(alpha), 0.0f);
    }
    const Vec2 held = b.hand + b.heldOffset;
    drawFigure(b.held, held.x, held.y, alpha, 0.0f, 0);
    if (const TextureEntry* atlas = menuTexture()) {
        bindTexture(atlas);
        const float half = kGuiCellUnits * kPointerScale * 0.5f;
        const bool pressed = b.phase == DemoPhase::Press;
        const float dip = pressed ? 2.0f : 0.0f;
        drawGuiSprite(kPointerCell, b.hand.x + half + 6.0f + dip, b.hand.y - half - 6.0f - dip,
                      white(alpha), kPointerScale, 0.0f);
    }
}

void drawOkButton() {
    const Rect& r = kInstructionsButton;
    const float x = (r.left + r.right) * 0.5f;
    const float y = (r.top + r.bottom) * 0.5f;
    const float w = r.right - r.left;
    const float h = r.top - r.bottom;
    drawButtonImage(x, y, w, h, 0xFFFFFFFFu);
    const float pulse = 0.5f + 0.5f * std::sin(app.animationClockMs * 0.005f);
    drawGlowBox(x - w * 0.42f, y + h * 0.3f, x + w * 0.42f, y - h * 0.3f,
                makeColour(static_cast<int>(60.0f + 120.0f * pulse), 255, 220, 140));
    setTextColourARGB(makeColour(255, 255, 240, 170));
    drawTextCentred(x, y - 0.15f * 18.0f, 18.0f, "OK");
    setTextColourARGB(0xFFFFFFFFu);
}

}  // namespace

void drawInstructionsOverlay() {
    drawPanel(kPanelCentreX - kPanelWidth * 0.5f, kPanelCentreY + kPanelHeight * 0.5f, kPanelWidth,
              kPanelHeight);
    const char* title = findText("instructions");
    setTextColourARGB(makeColour(255, 255, 225, 80));
    drawTextCentred(kPanelCentreX, 220.0f, 17.0f, title != nullptr ? title : "instructions");
    setTextColourARGB(makeColour(255, 245, 232, 210));
    for (int i = 0; i < 2; ++i) {
        ColumnText column;
        wrapColumn(column, findText(kColumnKeys[i]));
        drawText(kColumnX[i], kColumnTop, column.size, column.text, false);
    }
    setTextColourARGB(0xFFFFFFFFu);

    normalBlend();
    const float alpha = demo.alpha;
    for (int i = 0; i < kDemoBoardCount; ++i) {
        drawDemoTiles(i, alpha);
        drawDemoPieces(i, alpha);
        drawDemoFigures(i, alpha);
        normalBlend();
    }
    for (int i = 0; i < kDemoBoardCount; ++i) {
        drawDemoHand(i, alpha);
    }
    drawOkButton();
}

}  // namespace corsavel
