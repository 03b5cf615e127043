// The board: tiles with their layers and shimmer, the figures with their
// sprite animation, chains and bonus overlays, the swap drawn on top; the
// lightning beams; the flyers on their way to the gold box; the hand.

#include <cmath>

#include "game/board_draw.h"
#include "game/game_draw.h"
#include "game/rules.h"
#include "gfx/bolts.h"
#include "gfx/draw_helpers.h"
#include "gfx/particles.h"
#include "gfx/sprite_sheet.h"
#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/primitives.h"
#include "platform/random.h"
#include "platform/render_device.h"

namespace corsavel {

BoardDrawState boardDraw;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTileHalfSize = 25.9f;
constexpr float kTilePress = 1.2f;
constexpr float kChainHalfSize = 35.0f;
constexpr float kTileTurn = 180.0f;
constexpr float kChainTurn = 180.0f;
constexpr float kFigureSize = 48.4f;
constexpr int32_t kFigureSheetFrameMs = 90;
constexpr float kFigureFrameMs = 30.0f;
constexpr float kHoverHoldMs = 100.0f;
constexpr int kArcsPerFigure = 8;

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

// Particle definitions found once per frame by name.
struct EffectIds {
    int32_t flare = -1;
    int32_t flare2 = -1;
    int32_t flare3 = -1;
    int32_t tail = -1;
};

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
    const int32_t kind = game.level.slotKinds[slot];
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

bool hoverAllowed() {
    const LevelFlags& f = game.flags;
    return !f.menuActive && !game.tips.tipShowing && !f.levelWon && !f.boardDone &&
           !game.scores.timeBonusPhase && !game.clock.timedOut;
}

bool bonusOverlaysShown() {
    const LevelFlags& f = game.flags;
    return !f.paused && !f.levelWon && !game.clock.timedOut && !f.menuActive &&
           !game.scores.timeBonusPhase;
}

void emit(int32_t effect, Vec2 p) {
    if (effect >= 0) {
        spawnParticle(Vec3{p.x + 2.0f, p.y - 17.0f, 0.0f}, effect, 1.0f, -1);
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

void drawLightningArcs(int row, int column, Vec2 p, float alpha) {
    BoardDrawState::Arcs& arcs = boardDraw.arcs[row][column];
    const float now = app.animationClockMs;
    if (!arcs.chosen || now >= arcs.nextChangeMs || arcs.nextChangeMs - now > 4000.0f) {
        for (int i = 0; i < kArcsPerFigure; ++i) {
            const float angle =
                (static_cast<float>(i) * 45.0f + looksRandom.randomSigned(20.0f)) * kPi / 180.0f;
            const float radius = 22.0f + looksRandom.randomUnit(8.0f);
            arcs.ends[i] = Vec2{std::cos(angle) * radius, std::sin(angle) * radius};
        }
        arcs.nextChangeMs = now + 2000.0f + looksRandom.randomSigned(1500.0f);
        arcs.chosen = true;
    }
    const int a = static_cast<int>(clampAlpha(alpha) * 0.9f);
    const Colour outer = makeColour(a, 110, 140, 255);
    const Colour core = makeColour(a, 235, 245, 255);
    for (int i = 0; i < kArcsPerFigure; ++i) {
        const Vec2& e = arcs.ends[i];
        const Vec3 from{p.x + e.x * 0.25f, p.y + e.y * 0.25f, 0.0f};
        const Vec3 to{p.x + e.x, p.y + e.y, 0.0f};
        addBolt(from, to, 4.0f, 3.0f, 1.0f, 3.0f, outer, core);
    }
}

void drawBonusOverlay(int row, int column, const Figure& figure, Vec2 p, float alpha,
                      const EffectIds& effects) {
    const float pulse = std::sin(app.animationClockMs * kPi / 1000.0f);
    switch (figure.bonus) {
        case kBomb:
            drawBombGlows(p, pulse, alpha);
            break;
        case kLightning:
            drawLightningArcs(row, column, p, alpha);
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
            emit(figure.bonus == kCrossBomb ? effects.flare3 : effects.flare, p);
            break;
        }
        case kDiagonalBomb:
            emit(effects.flare2, p);
            break;
        default:
            break;
    }
}

// Layers and chains still on the board: the shimmer's period grows with it.
int32_t workOnBoard() {
    int32_t n = 0;
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            if (cell.layers > 0) {
                n += cell.layers;
            }
            if (cell.layers >= 0 && cell.chained != 0) {
                ++n;
            }
        }
    }
    return n;
}

void drawTiles(int hoverRow, int hoverColumn, Colour colour) {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            if (cell.layers < 0) {
                continue;
            }
            const int image = tileImage(r, c);
            if (image < 0 || image > 3) {
                continue;
            }
            const Vec2 p = cellCentre(c, r) + cell.tileOffset;
            float half = kTileHalfSize + cell.tileLift;
            if (r == hoverRow && c == hoverColumn) {
                half -= kTilePress;
            }
            drawFacingSquare(textures.tiles[image], Vec3{p.x, p.y, 0.0f}, half, kTileTurn, colour);
        }
    }
}

void drawShimmer(float boardAlpha) {
    if (game.flags.levelWon && game.flags.levelEndMs >= 10.0f) {
        return;
    }
    const float dt = app.frameStepMs;
    const float restartMs = std::sqrt(static_cast<float>(workOnBoard())) * 3000.0f;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            if (cell.layers != 1 && cell.layers != 2) {
                continue;
            }
            cell.shimmerMs -= dt;
            if (cell.shimmerMs >= 0.0f && cell.shimmerMs <= 1000.0f) {
                float a = std::sin((1000.0f - cell.shimmerMs) * kPi / 1000.0f) * 255.0f;
                a = a > boardAlpha ? boardAlpha : a;
                const Vec2 p = cellCentre(c, r) + cell.tileOffset;
                drawFacingSquare(textures.shimmer[cell.layers - 1], Vec3{p.x, p.y, 0.0f},
                                 kTileHalfSize + cell.tileLift, kTileTurn, white(a));
            } else if (cell.shimmerMs < 0.0f) {
                cell.shimmerMs = restartMs;
            }
        }
    }
}

void drawCellFigure(int r, int c, Colour colour) {
    const Cell& cell = game.board.cells[r][c];
    const Vec2 p = cellCentre(c, r) + cell.tileOffset + cell.figure.offset;
    drawFigureSprite(cell.figure.kind, p.x, p.y, cell.figure.frame, colour);
}

void drawCells(int hoverRow, int hoverColumn, float boardAlpha, const EffectIds& effects) {
    const Colour colour = white(boardAlpha);
    const bool overlays = bonusOverlaysShown();
    const float dt = app.frameStepMs;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            if (cell.layers < 0) {
                continue;
            }
            if (cell.figure.kind >= 0 && cell.removal != 2) {
                animateFigure(cell.figure, r == hoverRow && c == hoverColumn, dt);
                drawCellFigure(r, c, colour);
                if (overlays && cell.figure.bonus != kBonusNone) {
                    const Vec2 p = cellCentre(c, r) + cell.tileOffset + cell.figure.offset;
                    drawBonusOverlay(r, c, cell.figure, p, boardAlpha, effects);
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
    if (game.hand.swapFrontLayer >= 40.0f) {
        return;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            if (cell.layers >= 0 && cell.figure.kind >= 0 && cell.figure.followsHand &&
                cell.removal != 2) {
                drawCellFigure(r, c, colour);
            }
        }
    }
}

}  // namespace

void animateFigure(Figure& figure, bool hovered, float stepMs) {
    figure.hoverMs -= stepMs;
    figure.animMs += stepMs;
    const int32_t spinFrame = static_cast<int32_t>(figure.animMs / kFigureFrameMs) % 32;
    if (hovered) {
        figure.frame = spinFrame;
        figure.hoverMs = kHoverHoldMs;
    } else if (figure.hoverMs > 0.0f || figure.frame > 0) {
        figure.frame = spinFrame;
    } else {
        figure.animMs = 0.0f;
        figure.frame = 0;
    }
}

bool hoveredCell(int& row, int& column) {
    row = -1;
    column = -1;
    if (!hoverAllowed()) {
        return false;
    }
    int c = 0;
    int r = 0;
    cellAt(game.hand.cursorCopy.x, game.hand.cursorCopy.y, c, r);
    if (!hasFigure(r, c) || game.board.cells[r][c].chained != 0) {
        return false;
    }
    row = r;
    column = c;
    return true;
}

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
    const float boardAlpha = clampAlpha(game.hud.boardAlpha);
    const Colour colour = white(boardAlpha);
    Matrix4 shake = Matrix4::identity();
    shake.m[3][0] = game.shake.boardOffset.x;
    shake.m[3][1] = game.shake.boardOffset.y;
    setWorld(&shake);
    normalBlend();

    EffectIds effects;
    effects.flare = findEffect("flare");
    effects.flare2 = findEffect("flare2");
    effects.flare3 = findEffect("flare3");

    int hoverRow = -1;
    int hoverColumn = -1;
    hoveredCell(hoverRow, hoverColumn);

    drawTiles(hoverRow, hoverColumn, colour);
    drawShimmer(boardAlpha);
    drawHintLine();
    drawCells(hoverRow, hoverColumn, boardAlpha, effects);
    drawHintMarker();
    drawSwapOnTop(colour);
    drawBolts();
    normalBlend();
    setRenderState(RenderState::ZWriteEnable, 1);
    setWorld(nullptr);
}

void drawBeams() {
    const BlastState& b = game.blasts;
    if (b.beamCount < 2 || textures.glow == nullptr) {
        return;
    }
    Matrix4 shake = Matrix4::identity();
    shake.m[3][0] = game.shake.boardOffset.x;
    shake.m[3][1] = game.shake.boardOffset.y;
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
    const float flyerAlpha = clampAlpha(game.hud.flyerAlpha);
    const bool trail = !game.flags.levelWon;
    const int32_t tail = trail ? findEffect("tail2") : -1;
    normalBlend();
    for (const Flyer& f : game.flyers.flyers) {
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
            if (tail >= 0) {
                spawnParticle(Vec3{p.x, p.y, 0.0f}, tail, 1.0f, -1);
            }
        } else {
            drawFigureSprite(f.slot - 1, p.x, p.y, f.frame, white(flyerAlpha * fade));
        }
    }
}

void drawHand() {
    HandState& hand = game.hand;
    if (!textures.loaded || hand.cursorMode != 0) {
        return;
    }
    const float handAlpha = clampAlpha(game.hud.handAlpha);
    const Vec2 cursor = hand.cursorCopy;
    normalBlend();
    drawImage(textures.cursor, cursor.x, cursor.y,
              textures.cursor != nullptr ? static_cast<float>(textures.cursor->width) : 0.0f,
              white(handAlpha));
    Figure& held = hand.heldFigure;
    if (held.kind < 0) {
        return;
    }
    animateFigure(held, false, app.frameStepMs);
    const Vec2 p = cursor + held.offset;
    const NoMoveState& nm = game.noMoves;
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
