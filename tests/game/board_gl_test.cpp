// One frame of a real forged level drawn through GL, saved as a PNG beside
// the build and checked by its pixel statistics.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/game_draw.h"
#include "game/hud_textures.h"
#include "game/looks.h"
#include "game/rules.h"
#include "gfx/bolts.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "gl_window_test.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "platform/render_backend.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

class BoardGl : public GlWindowTest {
protected:
    void SetUp() override {
        enterGl("targa.dat");
        if (IsSkipped()) {
            return;
        }
        clearAssetRegistry();
        releaseAllTextures();
        boltState = BoltState{};
        loadArchive("targa.dat");
        loadArchive("jpeg.dat");
        loadArchive("texts.dat");
        loadFont("font");
        // The board's and the HUD's images, as the start-up load's models step.
        loadBoardTextures();
        loadHudTextures();
        loadLevelPacks();
    }
    void TearDown() override {
        game = GameState{};
        hudTextures = HudTextures{};
        clearAssetRegistry();
        releaseAllTextures();
        boltState = BoltState{};
        leaveData();
    }

    void drawFrame(const char* png) {
        clearTarget(0xFF000000u);
        clearDepth(1.0f);
        beginScene();
        gameplayDraw();
        finishFrame(png);
    }
};

TEST_F(BoardGl, ForgedLevelDrawsTilesFiguresChainsAndTheHand) {
    seedRandom(12);
    startLevel(11);
    game.flags.instructionsShown = false;
    app.frameStepMs = 16.0f;
    app.animationClockMs = 500.0f;
    // The pointer rests on a free figure of the board.
    int hoverRow = -1;
    int hoverColumn = -1;
    for (int r = 0; r < kRows && hoverRow < 0; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (isFreeFigure(r, c)) {
                hoverRow = r;
                hoverColumn = c;
                break;
            }
        }
    }
    ASSERT_GE(hoverRow, 0);
    const Vec2 cursor = cellCentre(hoverColumn, hoverRow);
    game.hand.cursor = cursor;
    game.hand.cursorCopy = cursor;
    looksTick(16.0f);
    drawFrame("board_gl_level12.png");

    int holes = 0;
    int tiles = 0;
    int colourful = 0;
    int figureCells = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            const Vec2 centre = cellCentre(c, r);
            if (cell.layers < 0) {
                // A hole shows the black background at its centre; the bottom
                // right corner holds the fuse's barrel instead.
                if (r != kRows - 1 || c != kColumns - 1) {
                    const Rgb p = at(px(centre.x), py(centre.y));
                    EXPECT_LT(p.r + p.g + p.b, 30) << "hole " << r << "," << c;
                }
                ++holes;
                continue;
            }
            // The tile's rim (inside the cell, outside the figure) is lit.
            const Rgb rim = at(px(centre.x - 22.0f), py(centre.y));
            tiles += rim.r + rim.g + rim.b > 60 ? 1 : 0;
            if (cell.figure.kind < 0) {
                continue;
            }
            ++figureCells;
            // Figures are coloured: some pixel near the centre has a clear hue.
            bool hue = false;
            for (int dy = -10; dy <= 10 && !hue; dy += 2) {
                for (int dx = -10; dx <= 10 && !hue; dx += 2) {
                    const Rgb p = at(px(centre.x + dx), py(centre.y + dy));
                    const int hi = std::max(p.r, std::max(p.g, p.b));
                    const int lo = std::min(p.r, std::min(p.g, p.b));
                    hue = hi - lo > 50;
                }
            }
            colourful += hue ? 1 : 0;
        }
    }
    EXPECT_GT(holes, 0);
    EXPECT_GT(figureCells, 60);
    EXPECT_GE(tiles, figureCells * 9 / 10);
    EXPECT_GE(colourful, figureCells * 8 / 10);
    // Between the HUD panel and the board nothing of the board is drawn.
    const Rgb left = at(px(-250.0f), py(100.0f));
    EXPECT_LT(left.r + left.g + left.b, 30);
}

// Bonus figures, a lightning strike, flyers and a held figure in mid-swap.
TEST_F(BoardGl, BonusesBeamsAndFlyersAddLightWhereTheyAre) {
    seedRandom(3);
    startLevel(11);
    game.flags.instructionsShown = false;
    app.frameStepMs = 16.0f;
    app.animationClockMs = 250.0f;
    game.hand.cursor = game.hand.cursorCopy = Vec2{390.0f, -290.0f};
    looksTick(16.0f);
    drawFrame("board_gl_plain.png");
    const std::vector<uint8_t> plain = pixels;

    const int bonuses[5][3] = {{1, 1, kBomb},
                               {1, 5, kLightning},
                               {2, 9, kCrossBomb},
                               {8, 1, kDiagonalBomb},
                               {9, 10, kStarBomb}};
    for (const auto& b : bonuses) {
        game.board.cells[b[0]][b[1]].figure.bonus = b[2];
    }
    BlastState& bl = game.blasts;
    const int struck[4][2] = {{0, 4}, {3, 2}, {5, 8}, {10, 11}};
    bl.beams[0] = BeamPoint{cellCentre(5, 1).x, cellCentre(5, 1).y, 0xFFFFFFFFu, 500.0f};
    for (int i = 0; i < 4; ++i) {
        const Vec2 p = cellCentre(struck[i][1], struck[i][0]);
        bl.beams[i + 1] = BeamPoint{p.x, p.y, 0xFF80C0FFu, 400.0f};
    }
    bl.beamCount = 5;
    for (int i = 0; i < 3; ++i) {
        startFlyer(i, cellCentre(6, 6).x, cellCentre(6, 6).y, 1);
        for (int k = 0; k < 20 * (i + 1); ++k) {
            flyerTick();
        }
    }
    game.hand.cursor = game.hand.cursorCopy = cellCentre(3, 7);
    game.hand.heldFigure.kind = 2;
    looksTick(16.0f);
    drawFrame("board_gl_effects.png");

    // Light added around each bonus figure and along the first beam.
    auto gain = [&](Vec2 centre, int radius) {
        long sum = 0;
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                const size_t i =
                    (static_cast<size_t>(py(centre.y) + dy) * 800 + px(centre.x) + dx) * 4;
                sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
                sum -= plain[i] + plain[i + 1] + plain[i + 2];
            }
        }
        return sum;
    };
    EXPECT_GT(gain(cellCentre(1, 1), 20), 20000) << "bomb glow";
    EXPECT_GT(gain(cellCentre(5, 1), 24), 20000) << "lightning arcs";
    EXPECT_GT(gain(cellCentre(9, 2), 24), 20000) << "cross overlay";
    EXPECT_GT(gain(cellCentre(10, 9), 24), 20000) << "star overlay";
    const Vec2 a = cellCentre(5, 1);
    const Vec2 b = cellCentre(4, 0);
    EXPECT_GT(gain(Vec2{(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f}, 3), 500) << "beam";
}

}  // namespace
}  // namespace corsavel
