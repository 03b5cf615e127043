// The board: tiles with their layers and shimmer, the figures in their
// sprite frames, chains and bonus overlays, the swap drawn on top; the
// lightning beams; the flyers on their way to the gold box; the hand. All of
// it as the update left it: drawing changes nothing.

#include <cmath>

#include "game/figure_kinds.h"
#include "game/game_draw.h"
#include "game/looks.h"
#include "game/rules.h"
#include "gfx/bolts.h"
#include "gfx/draw_helpers.h"
#include "gfx/sprite_sheet.h"
#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTileHalfSize = 25.9f;
constexpr float kTilePress = 1.2f;
constexpr float kChainHalfSize = 35.0f;
constexpr float kTileTurn = 180.0f;
constexpr float kChainTurn = 180.0f;
constexpr float kFigureSize = 48.4f;
constexpr int32_t kFigureSheetFrameMs = 90;

constexpr const char* kTileImages[4] = {"field\\field0.tga", "field\\field1.tga",
                                        "field\\field2.tga", "field\\field4.tga"};
constexpr const char* kShimmerImages[2] = {"field\\field1a.tga", "field\\field2a.tga"};

struct BoardTextures {
    const TextureEntry* tiles[4] = {};
    const TextureEntry* shimmer[2] = {};
    const TextureEntry* chain = nullptr;
    const TextureEntry* bonus1 = nullptr;
    const TextureEntry* bonus2 = nullptr;
    const TextureEntry* cursor = nullptr;
    const TextureEntry* glow = nullptr;
    SpriteSheet figures[kFigureKindCount];
    bool loaded = false;
};
BoardTextures textures;

// A square facing the camera of the current view, centred on `centre`;
// `turn` 180 shows the image upright.
void drawFacingSquare(const TextureEntry* texture, Vec3 centre, float half, float turn,
                      Colour colour) {
    if (texture == nullptr) {
        return;
    }
    const float r = (turn - 180.0f) * kPi / 180.0f;
    const float s = std::sin(r);
    const float c = std::cos(r);
    const Vec3 right = cameraRight();
    const Vec3 up = cameraUp();
    const Vec3 a = (right * (-s) + up * c) * half;  // towards the image's top
    const Vec3 b = (right * c + up * s) * half;     // towards the image's right
    bindTexture(texture);
    drawQuadUV(centre - b + a, centre + b + a, centre + b - a, centre - b - a, Uv{0.0f, 0.0f},
               Uv{1.0f, 0.0f}, Uv{1.0f, 1.0f}, Uv{0.0f, 1.0f}, colour);
}

void drawImage(const TextureEntry* texture, float x, float y, float edge, Colour colour) {
    if (texture == nullptr) {
        return;
    }
    bindTexture(texture);
    drawSprite(x, y, edge, edge, UvRect{}, colour, 0.0f);
}

SpriteSheet* sheetForSlot(int32_t slot) {
    if (slot < 0 || slot >= kMaxSlots) {
        return nullptr;
    }
    const int32_t kind = shown.level.slotKinds[slot];
    if (kind < 0 || kind >= kFigureKindCount || textures.figures[kind].texture == nullptr) {
        return nullptr;
    }
    return &textures.figures[kind];
}

void drawFigureSprite(int32_t slot, float x, float y, int32_t frame, Colour colour) {
    if (SpriteSheet* sheet = sheetForSlot(slot)) {
        sheet->draw(x, y, frame < 0 || frame > 31 ? 0 : frame, colour, 0.0f, 0.0f);
    }
}

// Five glows, the centre and four diagonal points, pulsing against each other.
void drawBombGlows(Vec2 p, float pulse, float alpha) {
    if (textures.glow == nullptr) {
        return;
    }
    additiveBlend();
    bindTexture(textures.glow);
    const float a = clampAlpha(alpha) / 255.0f;
    const int centreLevel = static_cast<int>((140.0f + 70.0f * pulse) * a);
    const int pointLevel = static_cast<int>((140.0f - 70.0f * pulse) * a);
    const float centreEdge = 40.0f + 12.0f * pulse;
    const float pointEdge = 20.0f - 6.0f * pulse;
    drawGlint(p.x, p.y, centreEdge, 0.0f, makeColour(centreLevel, 255, 150, 60));
    constexpr float d = 16.0f * 0.70710678f;
    const float dx[4] = {d, d, -d, -d};
    const float dy[4] = {d, -d, d, -d};
    for (int i = 0; i < 4; ++i) {
        drawGlint(p.x + dx[i], p.y + dy[i], pointEdge, 45.0f,
                  makeColour(pointLevel, 255, 210, 120));
    }
    normalBlend();
}

// The bomb's glows and the bonus images; the lightning's arcs are bolts,
// drawn with the others.
void drawBonusOverlay(const Figure& figure, Vec2 p, float alpha) {
    const float pulse = std::sin(app.animationClockMs * kPi / 1000.0f);
    switch (figure.bonus) {
        case kBomb:
            drawBombGlows(p, pulse, alpha);
            break;
        case kCrossBomb:
        case kStarBomb: {
            const TextureEntry* t = figure.bonus == kCrossBomb ? textures.bonus1 : textures.bonus2;
            if (t != nullptr) {
                additiveBlend();
                const float edge = 56.0f + 6.0f * pulse;
                const int a = static_cast<int>(clampAlpha(alpha) * (0.7f + 0.3f * pulse));
                bindTexture(t);
                drawSpriteRotated(p.x, p.y, p.x, p.y, app.animationClockMs * 0.02f, edge, edge,
                                  UvRect{}, makeColour(a, 255, 255, 255), 0.0f);
                normalBlend();
            }
            break;
        }
        default:
            break;
    }
}

// Tiles are drawn one image at a time, so that each image's tiles join into
// one draw (neighbouring tiles often differ: the plain tiles alternate). The
// tiles overlap only by their transparent rims, so the order between
// images does not show.
void drawTiles(int hoverRow, int hoverColumn, Colour colour) {
    for (int pass = 0; pass < 4; ++pass) {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const Cell& cell = shown.board.cells[r][c];
                if (cell.layers < 0 || tileImage(r, c) != pass) {
                    continue;
                }
                const Vec2 p = cellCentre(c, r) + cell.tileOffset;
                float half = kTileHalfSize + cell.tileLift;
                if (r == hoverRow && c == hoverColumn) {
                    half -= kTilePress;
                }
                drawFacingSquare(textures.tiles[pass], Vec3{p.x, p.y, 0.0f}, half, kTileTurn,
                                 colour);
            }
        }
    }
}

// A tile with layers shimmers in the last second of its shimmer timer.
void drawShimmer(float boardAlpha) {
    if (shown.flags.levelWon && shown.flags.levelEndMs >= 10.0f) {
        return;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = shown.board.cells[r][c];
            if (cell.layers != 1 && cell.layers != 2) {
                continue;
            }
            if (cell.shimmerMs >= 0.0f && cell.shimmerMs <= 1000.0f) {
                float a = std::sin((1000.0f - cell.shimmerMs) * kPi / 1000.0f) * 255.0f;
                a = a > boardAlpha ? boardAlpha : a;
                const Vec2 p = cellCentre(c, r) + cell.tileOffset;
                drawFacingSquare(textures.shimmer[cell.layers - 1], Vec3{p.x, p.y, 0.0f},
                                 kTileHalfSize + cell.tileLift, kTileTurn, white(a));
            }
        }
    }
}

void drawCellFigure(int r, int c, Colour colour) {
    const Cell& cell = shown.board.cells[r][c];
    const Vec2 p = cellCentre(c, r) + cell.tileOffset + cell.figure.offset;
    drawFigureSprite(cell.figure.kind, p.x, p.y, cell.figure.frame, colour);
}

void drawCells(float boardAlpha) {
    const Colour colour = white(boardAlpha);
    const bool overlays = bonusOverlaysShown();
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = shown.board.cells[r][c];
            if (cell.layers < 0) {
                continue;
            }
            if (cell.figure.kind >= 0 && cell.removal != 2) {
                drawCellFigure(r, c, colour);
                if (overlays && cell.figure.bonus != kBonusNone) {
                    const Vec2 p = cellCentre(c, r) + cell.tileOffset + cell.figure.offset;
                    drawBonusOverlay(cell.figure, p, boardAlpha);
                }
            }
            if (cell.chained != 0) {
                const Vec2 p = cellCentre(c, r) + cell.tileOffset;
                drawFacingSquare(textures.chain, Vec3{p.x, p.y, 0.0f}, kChainHalfSize, kChainTurn,
                                 colour);
            }
        }
    }
}

// During the first half of a swap the moving figures go over everything.
void drawSwapOnTop(Colour colour) {
    if (shown.hand.swapFrontLayer >= 40.0f) {
        return;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = shown.board.cells[r][c];
            if (cell.layers >= 0 && cell.figure.kind >= 0 && cell.figure.followsHand &&
                cell.removal != 2) {
                drawCellFigure(r, c, colour);
            }
        }
    }
}

}  // namespace

void loadBoardTextures() {
    for (int i = 0; i < 4; ++i) {
        textures.tiles[i] = loadTexture(kTileImages[i]);
    }
    for (int i = 0; i < 2; ++i) {
        textures.shimmer[i] = loadTexture(kShimmerImages[i]);
    }
    textures.chain = loadTexture("zep2.tga");
    textures.bonus1 = loadTexture("bonus1.tga");
    textures.bonus2 = loadTexture("bonus2.tga");
    textures.cursor = loadTexture("cursor.tga");
    if (boltState.texture == nullptr) {
        loadBoltTexture();
    }
    textures.glow = boltState.texture;
    char path[64];
    for (int k = 0; k < kFigureKindCount; ++k) {
        figureSheetPath(k, path, sizeof path);
        textures.figures[k].load(path, 32);
        textures.figures[k].setMetrics(kFigureSize, kFigureSheetFrameMs);
    }
    textures.loaded = true;
}

void drawBoard() {
    if (!textures.loaded) {
        return;
    }
    const float boardAlpha = clampAlpha(shown.hud.boardAlpha);
    const Colour colour = white(boardAlpha);
    Matrix4 shake = Matrix4::identity();
    shake.m[3][0] = shown.shake.boardOffset.x;
    shake.m[3][1] = shown.shake.boardOffset.y;
    setWorld(&shake);
    normalBlend();

    int hoverRow = -1;
    int hoverColumn = -1;
    hoveredCell(hoverRow, hoverColumn);

    drawTiles(hoverRow, hoverColumn, colour);
    drawShimmer(boardAlpha);
    drawHintLine();
    drawCells(boardAlpha);
    drawHintMarker();
    drawSwapOnTop(colour);
    drawBolts();
    normalBlend();
    setRenderState(RenderState::ZWriteEnable, 1);
    setWorld(nullptr);
}

void drawBeams() {
    const BlastState& b = shown.blasts;
    if (b.beamCount < 2 || textures.glow == nullptr) {
        return;
    }
    Matrix4 shake = Matrix4::identity();
    shake.m[3][0] = shown.shake.boardOffset.x;
    shake.m[3][1] = shown.shake.boardOffset.y;
    setWorld(&shake);
    additiveBlend();
    bindTexture(textures.glow);
    const int count = b.beamCount < kBeamCount ? b.beamCount : kBeamCount;
    for (int k = 1; k < count; ++k) {
        const BeamPoint& from = b.beams[k - 1];
        const BeamPoint& to = b.beams[k];
        if (to.timeMs <= 0.0f) {
            continue;
        }
        const int a = static_cast<int>(clampAlpha(to.timeMs / 500.0f * 250.0f));
        const Vec3 p0{from.x, from.y, 0.0f};
        const Vec3 p1{to.x, to.y, 0.0f};
        drawBeam(p0, p1, 9.0f, makeColour(a, 55, 55, 255));
        drawBeam(p0, p1, 3.0f, makeColour(a, 255, 255, 255));
    }
    normalBlend();
    setWorld(nullptr);
}

void drawFlyers() {
    if (!textures.loaded) {
        return;
    }
    const float flyerAlpha = clampAlpha(shown.hud.flyerAlpha);
    normalBlend();
    for (const Flyer& f : shown.flyers.flyers) {
        if (f.slot <= 0) {
            continue;
        }
        const Vec2 p = f.position + f.spin;
        float fade = f.fade < 0.0f ? 0.0f : (f.fade > 1.0f ? 1.0f : f.fade);
        if (f.type == 1) {
            // The flash of leaving the cell fades within the first quarter second.
            if (fade > 0.0f && textures.glow != nullptr) {
                additiveBlend();
                bindTexture(textures.glow);
                const float edge = 40.0f + 30.0f * (1.0f - fade);
                drawSprite(p.x, p.y, edge, edge, UvRect{}, white(flyerAlpha * fade), 0.0f);
                normalBlend();
            }
            drawFigureSprite(f.slot - 1, p.x, p.y, f.frame, white(flyerAlpha));
        } else {
            drawFigureSprite(f.slot - 1, p.x, p.y, f.frame, white(flyerAlpha * fade));
        }
    }
}

void drawHand() {
    const HandState& hand = shown.hand;
    if (!textures.loaded || hand.cursorMode != 0) {
        return;
    }
    const float handAlpha = clampAlpha(shown.hud.handAlpha);
    const Vec2 cursor = hand.cursorCopy;
    normalBlend();
    drawImage(textures.cursor, cursor.x, cursor.y,
              textures.cursor != nullptr ? static_cast<float>(textures.cursor->width) : 0.0f,
              white(handAlpha));
    const Figure& held = hand.heldFigure;
    if (held.kind < 0) {
        return;
    }
    const Vec2 p = cursor + held.offset;
    const NoMoveState& nm = shown.noMoves;
    if (nm.noMovesActive && nm.noMovesSlot >= 0) {
        // The hand's figure turns into the slot that has a move.
        const float k = handAlpha / 255.0f;
        drawFigureSprite(held.kind, p.x, p.y, held.frame, white(nm.noMovesAlpha * k));
        drawFigureSprite(nm.noMovesSlot, p.x, p.y, 0, white((255.0f - nm.noMovesAlpha) * k));
        if (textures.glow != nullptr && nm.noMovesScale > 0.0f) {
            additiveBlend();
            bindTexture(textures.glow);
            const float edge = nm.noMovesScale;
            drawSpriteRotated(p.x, p.y, p.x, p.y, nm.noMovesAngle, edge, edge, UvRect{},
                              white(nm.noMovesAlpha * k), 0.0f);
            normalBlend();
        }
        return;
    }
    drawFigureSprite(held.kind, p.x, p.y, held.frame, white(handAlpha));
}

}  // namespace corsavel
