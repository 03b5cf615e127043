#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "game/figure_kinds.h"
#include "game/game_draw.h"
#include "game/looks.h"
#include "game/rules.h"
#include "gfx/bolts.h"
#include "gfx/texture.h"
#include "platform/batching_backend.h"
#include "platform/frame_state.h"
#include "platform/null_device.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

const char* const kBoardImages[] = {"field\\field0.tga",
                                    "field\\field1.tga",
                                    "field\\field2.tga",
                                    "field\\field4.tga",
                                    "field\\field1a.tga",
                                    "field\\field2a.tga",
                                    "zep2.tga",
                                    "bonus1.tga",
                                    "bonus2.tga",
                                    "cursor.tga",
                                    "flare.jpg",
                                    "figures\\coins.tga",
                                    "figures\\nugget.tga",
                                    "figures\\perl.tga",
                                    "figures\\perls.tga",
                                    "figures\\rings2.tga",
                                    "figures\\rings3.tga",
                                    "figures\\sack.tga",
                                    "figures\\scepter.tga",
                                    "figures\\bracelet.tga",
                                    "figures\\brooch1.tga",
                                    "figures\\crown.tga",
                                    "figures\\dagger.tga",
                                    "figures\\goblet.tga",
                                    "figures\\locket1.tga",
                                    "figures\\pot.tga",
                                    "figures\\rings1.tga",
                                    "figures\\diamond.tga"};

uint32_t handle(const char* name) {
    const TextureEntry* e = findTexture(name);
    return e != nullptr ? e->texture : 0u;
}

Vec3 centreOf(const DrawRecord& d) {
    Vec3 sum{};
    for (int i = 0; i < d.vertexCount; ++i) {
        sum = sum + d.position(i);
    }
    return d.vertexCount > 0 ? sum * (1.0f / static_cast<float>(d.vertexCount)) : sum;
}

float widthOf(const DrawRecord& d) {
    float lo = 1e9f;
    float hi = -1e9f;
    for (int i = 0; i < d.vertexCount; ++i) {
        lo = std::fmin(lo, d.position(i).x);
        hi = std::fmax(hi, d.position(i).x);
    }
    return hi - lo;
}

int alphaOf(const DrawRecord& d) {
    return static_cast<int>(d.colour(0) >> 24);
}

class BoardDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        releaseAllTextures();
        for (const char* name : kBoardImages) {
            ASSERT_NE(createTexture(name, 64, 64, kTextureFormatA8R8G8B8, false), nullptr);
        }
        boltState = BoltState{};
        loadBoardTextures();
        boardDraw = BoardDrawState{};
        game = GameState{};
        // Only the cells a test opens exist.
        for (auto& row : game.board.cells) {
            for (Cell& cell : row) {
                cell.layers = -1;
            }
        }
        for (int s = 0; s < kMaxSlots; ++s) {
            game.level.slotKinds[s] = s;
        }
        game.hand.cursorCopy = Vec2{-390.0f, -290.0f};
        app.frameStepMs = 16.0f;
        app.animationClockMs = 1000.0f;
        device.reset();
    }
    void TearDown() override {
        game = GameState{};
        releaseAllTextures();
        boltState = BoltState{};
        device.uninstall();
    }

    void openCell(int r, int c, int layers, int slot) {
        Cell& cell = game.board.cells[r][c];
        cell.layers = layers;
        cell.figure = Figure{};
        cell.figure.kind = slot;
    }

    std::vector<const DrawRecord*> drawsWith(const char* name) const {
        std::vector<const DrawRecord*> out;
        const uint32_t h = handle(name);
        for (const DrawRecord& d : device.draws) {
            if (d.texture == h) {
                out.push_back(&d);
            }
        }
        return out;
    }

    int indexOf(const char* name, int nth = 0) const {
        const uint32_t h = handle(name);
        for (size_t i = 0; i < device.draws.size(); ++i) {
            if (device.draws[i].texture == h && nth-- == 0) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    RecordingDevice device;
};

TEST_F(BoardDrawTest, HolesAndEmptyCellsDrawNothingOfTheirOwn) {
    openCell(0, 0, 0, 0);
    openCell(0, 2, 0, -1);
    openCell(5, 5, 1, 1);
    drawBoard();
    // Three tiles, two figures; the holes between them draw nothing.
    EXPECT_EQ(drawsWith("field\\field0.tga").size() + drawsWith("field\\field4.tga").size() +
                  drawsWith("field\\field1.tga").size(),
              3u);
    EXPECT_EQ(drawsWith("figures\\coins.tga").size(), 1u);
    EXPECT_EQ(drawsWith("figures\\nugget.tga").size(), 1u);
    size_t figureDraws = 0;
    for (int k = 0; k < kFigureKindCount; ++k) {
        figureDraws += drawsWith(kBoardImages[11 + k]).size();
    }
    EXPECT_EQ(figureDraws, 2u);
    const std::vector<const DrawRecord*> coins = drawsWith("figures\\coins.tga");
    EXPECT_NEAR(centreOf(*coins[0]).x, -195.0f, 0.01f);
    EXPECT_NEAR(centreOf(*coins[0]).y, 248.0f, 0.01f);
}

TEST_F(BoardDrawTest, TileImagesFollowLayersWithACheckerboardOfPlainTiles) {
    openCell(0, 0, 0, -1);
    openCell(0, 1, 0, -1);
    openCell(1, 1, 0, -1);
    openCell(2, 3, 1, -1);
    openCell(3, 3, 2, -1);
    drawBoard();
    ASSERT_EQ(drawsWith("field\\field0.tga").size(), 2u);
    ASSERT_EQ(drawsWith("field\\field4.tga").size(), 1u);
    ASSERT_EQ(drawsWith("field\\field1.tga").size(), 1u);
    ASSERT_EQ(drawsWith("field\\field2.tga").size(), 1u);
    const DrawRecord& odd = *drawsWith("field\\field4.tga")[0];
    EXPECT_NEAR(centreOf(odd).x, -145.0f, 0.01f);
    EXPECT_NEAR(centreOf(odd).y, 248.0f, 0.01f);
    // Tiles are 2 x 25.9 across, at depth 0.
    EXPECT_NEAR(widthOf(odd), 51.8f, 0.01f);
    EXPECT_NEAR(centreOf(odd).z, 0.0f, 0.001f);
}

// Tiles go one image at a time, so that through the batching device each
// image's tiles, however they alternate, are a single draw holding every
// one of them.
TEST_F(BoardDrawTest, EachTileImageIsOneDrawThroughTheBatchingDevice) {
    int plain = 0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) {
            openCell(r, c, c < 4 ? 0 : 1 + (r & 1), -1);
            plain += c < 4 ? 1 : 0;
        }
    }
    auto batching = std::make_unique<BatchingBackend>(&device);
    setRenderBackend(batching.get());
    drawBoard();
    batching->flush();
    setRenderBackend(&device);
    const char* images[4] = {"field\\field0.tga", "field\\field1.tga", "field\\field2.tga",
                             "field\\field4.tga"};
    const int tiles[4] = {plain / 2, 4, 4, plain / 2};
    int previous = -1;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(drawsWith(images[i]).size(), 1u) << images[i];
        EXPECT_EQ(drawsWith(images[i])[0]->primitiveCount, 2 * tiles[i]) << images[i];
        EXPECT_GT(indexOf(images[i]), previous) << images[i];
        previous = indexOf(images[i]);
    }
}

TEST_F(BoardDrawTest, TilesFirstThenFiguresWithTheirChainsRowByRow) {
    openCell(0, 0, 0, 0);
    game.board.cells[0][0].chained = 1;
    openCell(0, 1, 0, 1);
    openCell(1, 0, 1, 2);
    drawBoard();
    const int lastTile = indexOf("field\\field1.tga");
    const int coins = indexOf("figures\\coins.tga");
    const int chain = indexOf("zep2.tga");
    const int nugget = indexOf("figures\\nugget.tga");
    const int perl = indexOf("figures\\perl.tga");
    ASSERT_GE(lastTile, 0);
    EXPECT_LT(lastTile, coins);
    EXPECT_LT(coins, chain);
    EXPECT_LT(chain, nugget);
    EXPECT_LT(nugget, perl);
    ASSERT_EQ(drawsWith("zep2.tga").size(), 1u);
    const DrawRecord& c = *drawsWith("zep2.tga")[0];
    EXPECT_NEAR(widthOf(c), 70.0f, 0.01f);
    EXPECT_NEAR(centreOf(c).x, -195.0f, 0.01f);
}

TEST_F(BoardDrawTest, BlastedFiguresVanishWhileMatchedAndStruckOnesStay) {
    openCell(0, 0, 0, 0);
    openCell(0, 1, 0, 0);
    openCell(0, 2, 0, 0);
    game.board.cells[0][0].removal = 2;
    game.board.cells[0][1].removal = 1;
    game.board.cells[0][2].removal = 3;
    drawBoard();
    const std::vector<const DrawRecord*> coins = drawsWith("figures\\coins.tga");
    ASSERT_EQ(coins.size(), 2u);
    EXPECT_NEAR(centreOf(*coins[0]).x, -145.0f, 0.01f);
    EXPECT_NEAR(centreOf(*coins[1]).x, -95.0f, 0.01f);
}

TEST_F(BoardDrawTest, SwappingFiguresGoOnTopDuringTheFirstHalfOnly) {
    openCell(0, 0, 0, 0);
    openCell(0, 1, 0, 1);
    game.board.cells[0][0].figure.followsHand = true;
    game.board.cells[0][0].figure.offset = Vec2{30.0f, -20.0f};
    game.board.cells[0][1].chained = 1;
    game.hand.swapFrontLayer = 0.0f;
    drawBoard();
    ASSERT_EQ(drawsWith("figures\\coins.tga").size(), 2u);
    EXPECT_GT(indexOf("figures\\coins.tga", 1), indexOf("zep2.tga"));
    EXPECT_NEAR(centreOf(*drawsWith("figures\\coins.tga")[1]).x, -165.0f, 0.01f);

    device.reset();
    game.hand.swapFrontLayer = 100.0f;
    drawBoard();
    EXPECT_EQ(drawsWith("figures\\coins.tga").size(), 1u);
}

TEST_F(BoardDrawTest, BoardFadeAppliesToTilesFiguresChainsAndSwap) {
    openCell(0, 0, 2, 0);
    game.board.cells[0][0].chained = 1;
    game.board.cells[0][0].shimmerMs = 500.0f + 16.0f;
    game.hud.boardAlpha = 100.0f;
    drawBoard();
    for (const char* name : {"field\\field2.tga", "figures\\coins.tga", "zep2.tga"}) {
        ASSERT_EQ(drawsWith(name).size(), 1u) << name;
        EXPECT_EQ(alphaOf(*drawsWith(name)[0]), 100) << name;
    }
    // The shimmer at its peak is held to the board's alpha.
    ASSERT_EQ(drawsWith("field\\field2a.tga").size(), 1u);
    EXPECT_EQ(alphaOf(*drawsWith("field\\field2a.tga")[0]), 100);
}

TEST_F(BoardDrawTest, ShimmerCountsDownShowsForItsLastSecondAndRestarts) {
    openCell(0, 0, 1, -1);
    openCell(0, 1, 2, -1);
    openCell(0, 2, 2, -1);
    game.board.cells[0][0].shimmerMs = 1250.0f + 16.0f;  // after this frame: 1250, not shown
    game.board.cells[0][1].shimmerMs = 750.0f + 16.0f;   // 750: a quarter in
    game.board.cells[0][2].shimmerMs = 10.0f;            // runs out: restarts
    looksTick(16.0f);
    drawBoard();
    EXPECT_FLOAT_EQ(game.board.cells[0][0].shimmerMs, 1250.0f);
    EXPECT_TRUE(drawsWith("field\\field1a.tga").empty());
    ASSERT_EQ(drawsWith("field\\field2a.tga").size(), 1u);
    EXPECT_EQ(alphaOf(*drawsWith("field\\field2a.tga")[0]),
              static_cast<int>(std::sin(250.0f * 3.14159265f / 1000.0f) * 255.0f));
    // Five layers on the board: sqrt(5) * 3000.
    EXPECT_NEAR(game.board.cells[0][2].shimmerMs, std::sqrt(5.0f) * 3000.0f, 0.01f);

    // Into the celebration the timer belongs to the tile animation.
    game.flags.levelWon = true;
    game.flags.levelEndMs = 20.0f;
    game.board.cells[0][1].shimmerMs = 500.0f;
    device.reset();
    looksTick(16.0f);
    drawBoard();
    EXPECT_FLOAT_EQ(game.board.cells[0][1].shimmerMs, 500.0f);
    EXPECT_TRUE(drawsWith("field\\field2a.tga").empty());
}

TEST_F(BoardDrawTest, HoveredFreeFigureSpinsAndPressesItsTile) {
    openCell(2, 2, 0, 0);
    openCell(2, 3, 0, 1);
    game.board.cells[2][3].chained = 1;
    game.hand.cursorCopy = cellCentre(2, 2);
    looksTick(70.0f);
    drawBoard();
    const Figure& f = game.board.cells[2][2].figure;
    EXPECT_EQ(f.frame, 2);  // 70 ms at 30 ms a frame
    EXPECT_FLOAT_EQ(f.hoverMs, 100.0f);
    EXPECT_NEAR(widthOf(*drawsWith("field\\field0.tga")[0]), 2.0f * (25.9f - 1.2f), 0.01f);

    // A chained figure under the cursor neither spins nor presses.
    game.hand.cursorCopy = cellCentre(3, 2);
    device.reset();
    looksTick(70.0f);
    drawBoard();
    EXPECT_EQ(game.board.cells[2][3].figure.frame, 0);
    EXPECT_NEAR(widthOf(*drawsWith("field\\field4.tga")[0]), 51.8f, 0.01f);

    // With the menu open nothing is hovered.
    int r = 0;
    int c = 0;
    game.hand.cursorCopy = cellCentre(2, 2);
    game.flags.menuActive = true;
    EXPECT_FALSE(hoveredCell(r, c));
    EXPECT_EQ(r, -1);
}

TEST(FigureAnimation, SpinRunsOnAfterHoverUntilTheFrameWraps) {
    Figure f;
    f.kind = 0;
    animateFigure(f, true, 40.0f);
    EXPECT_EQ(f.frame, 1);
    // Left: the spin continues through the frames...
    animateFigure(f, false, 500.0f);
    EXPECT_EQ(f.frame, 18);
    animateFigure(f, false, 400.0f);
    EXPECT_EQ(f.frame, 31);
    // ...wraps to 0 and stops there.
    animateFigure(f, false, 20.0f);
    EXPECT_EQ(f.frame, 0);
    animateFigure(f, false, 100.0f);
    EXPECT_EQ(f.frame, 0);
    EXPECT_FLOAT_EQ(f.animMs, 0.0f);
}

TEST_F(BoardDrawTest, BonusOverlaysShowOnlyInPlay) {
    openCell(0, 0, 0, 0);
    openCell(0, 1, 0, 1);
    openCell(0, 2, 0, 2);
    game.board.cells[0][0].figure.bonus = kCrossBomb;
    game.board.cells[0][1].figure.bonus = kStarBomb;
    game.board.cells[0][2].figure.bonus = kLightning;
    looksTick(16.0f);
    drawBoard();
    EXPECT_EQ(drawsWith("bonus1.tga").size(), 1u);
    EXPECT_EQ(drawsWith("bonus2.tga").size(), 1u);
    // Eight arcs around the lightning figure, each a chain of beams.
    EXPECT_GE(drawsWith("flare.jpg").size(), 16u);
    EXPECT_LT(indexOf("figures\\coins.tga"), indexOf("bonus1.tga"));

    for (int state = 0; state < 3; ++state) {
        game.flags.paused = state == 0;
        game.flags.menuActive = state == 1;
        game.scores.timeBonusPhase = state == 2;
        device.reset();
        looksTick(16.0f);
        drawBoard();
        EXPECT_TRUE(drawsWith("bonus1.tga").empty()) << state;
        EXPECT_TRUE(drawsWith("flare.jpg").empty()) << state;
        EXPECT_EQ(drawsWith("figures\\coins.tga").size(), 1u) << state;
    }
}

TEST_F(BoardDrawTest, BoardShakeMovesTheWholeBoard) {
    openCell(4, 4, 0, 0);
    game.shake.boardOffset = Vec2{3.0f, 3.0f};
    drawBoard();
    const DrawRecord& tile = *drawsWith("field\\field0.tga")[0];
    EXPECT_FLOAT_EQ(tile.matrix(MatrixSlot::World).m[3][0], 3.0f);
    EXPECT_FLOAT_EQ(tile.matrix(MatrixSlot::World).m[3][1], 3.0f);
    // The world transform is back to identity afterwards.
    EXPECT_FLOAT_EQ(getWorld().m[3][0], 0.0f);
}

TEST_F(BoardDrawTest, UnknownSlotKindsDrawNoFigure) {
    openCell(0, 0, 0, 0);
    game.level.slotKinds[0] = 99;
    openCell(0, 1, 0, 1);
    game.level.slotKinds[1] = -5;
    drawBoard();
    for (int k = 0; k < kFigureKindCount; ++k) {
        EXPECT_TRUE(drawsWith(kBoardImages[11 + k]).empty());
    }
    EXPECT_EQ(drawsWith("field\\field0.tga").size(), 1u);
}

TEST_F(BoardDrawTest, BeamsDrawLiveSegmentsAsDoubleLinesFadingWithTime) {
    BlastState& b = game.blasts;
    b.beams[0] = BeamPoint{0.0f, 0.0f, 0xFFFFFFFFu, 500.0f};
    b.beams[1] = BeamPoint{100.0f, 0.0f, 0xFFFF0000u, 250.0f};
    b.beams[2] = BeamPoint{100.0f, 100.0f, 0xFF00FF00u, -1.0f};
    b.beamCount = 3;
    drawBeams();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].colour(0) & 0xFFFFFFu, 0x3737FFu);
    EXPECT_EQ(device.draws[1].colour(0) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(alphaOf(device.draws[0]), 125);
    EXPECT_NEAR(centreOf(device.draws[0]).x, 50.0f, 0.01f);

    device.reset();
    b.beamCount = 1;
    drawBeams();
    EXPECT_TRUE(device.draws.empty());
}

TEST_F(BoardDrawTest, FlyersUseTheirSlotFrameAndTheFlyerFade) {
    Flyer& f = game.flyers.flyers[7];
    f.slot = 3;  // slot 2
    f.type = 1;
    f.position = Vec2{10.0f, 20.0f};
    f.spin = Vec2{5.0f, -5.0f};
    f.frame = 9;
    f.fade = -2.0f;
    Flyer& deco = game.flyers.flyers[8];
    deco.slot = 1;
    deco.type = 3;
    deco.fade = 0.5f;
    game.hud.flyerAlpha = 200.0f;
    drawFlyers();
    const std::vector<const DrawRecord*> perl = drawsWith("figures\\perl.tga");
    ASSERT_EQ(perl.size(), 1u);
    EXPECT_NEAR(centreOf(*perl[0]).x, 15.0f, 0.01f);
    EXPECT_NEAR(centreOf(*perl[0]).y, 15.0f, 0.01f);
    EXPECT_EQ(alphaOf(*perl[0]), 200);
    // Frame 9: column 1, row 1 of the sheet.
    EXPECT_FLOAT_EQ(std::fmin(perl[0]->u(0), perl[0]->u(2)), 0.125f);
    const std::vector<const DrawRecord*> coins = drawsWith("figures\\coins.tga");
    ASSERT_EQ(coins.size(), 1u);
    EXPECT_EQ(alphaOf(*coins[0]), 100);
    // Spent flash: no glow drawn for the flyer.
    EXPECT_TRUE(drawsWith("flare.jpg").empty());
}

TEST_F(BoardDrawTest, HandDrawsCursorAndHeldFigureWithTheHandFade) {
    game.hand.cursorCopy = Vec2{100.0f, -50.0f};
    game.hand.heldFigure.kind = 4;
    game.hand.heldFigure.offset = Vec2{-20.0f, 10.0f};
    game.hud.handAlpha = 60.0f;
    drawHand();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].texture, handle("cursor.tga"));
    EXPECT_NEAR(centreOf(device.draws[0]).x, 100.0f, 0.01f);
    EXPECT_EQ(device.draws[1].texture, handle("figures\\rings2.tga"));
    EXPECT_NEAR(centreOf(device.draws[1]).x, 80.0f, 0.01f);
    EXPECT_NEAR(centreOf(device.draws[1]).y, -40.0f, 0.01f);
    EXPECT_EQ(alphaOf(device.draws[0]), 60);
    EXPECT_EQ(alphaOf(device.draws[1]), 60);

    device.reset();
    game.hand.cursorMode = 1;
    drawHand();
    EXPECT_TRUE(device.draws.empty());
}

TEST_F(BoardDrawTest, HandWithoutMovesFadesItsFigureIntoTheNewSlot) {
    game.hand.heldFigure.kind = 0;
    game.noMoves.noMovesActive = true;
    game.noMoves.noMovesSlot = 5;
    game.noMoves.noMovesAlpha = 55.0f;
    game.noMoves.noMovesScale = 80.0f;
    drawHand();
    ASSERT_EQ(drawsWith("figures\\coins.tga").size(), 1u);
    ASSERT_EQ(drawsWith("figures\\rings3.tga").size(), 1u);
    EXPECT_EQ(alphaOf(*drawsWith("figures\\coins.tga")[0]), 55);
    EXPECT_EQ(alphaOf(*drawsWith("figures\\rings3.tga")[0]), 200);
    EXPECT_LT(indexOf("figures\\coins.tga"), indexOf("figures\\rings3.tga"));
    ASSERT_EQ(drawsWith("flare.jpg").size(), 1u);
}

TEST_F(BoardDrawTest, GameplayDrawSetsTheGameViewAndSkipsTheBoardOnFullScreenStates) {
    openCell(0, 0, 0, 0);
    gameplayDraw();
    ASSERT_FALSE(drawsWith("field\\field0.tga").empty());
    const DrawRecord& tile = *drawsWith("field\\field0.tga")[0];
    EXPECT_FLOAT_EQ(tile.matrix(MatrixSlot::View).m[3][2], 150.0f);
    const Matrix4 expected = orthographicMatrix(800.0f, 600.0f, 1.0f, 300.0f);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_FLOAT_EQ(tile.matrix(MatrixSlot::Projection).m[i][j], expected.m[i][j]);
        }
    }
    // The board at depth 0 lies inside the visible volume.
    EXPECT_TRUE(sphereVisible(Vec3{-195.0f, 248.0f, 0.0f}, 1.0f));
    // Board, then the hand on top.
    EXPECT_LT(indexOf("figures\\coins.tga"), indexOf("cursor.tga"));

    for (int state = 0; state < 3; ++state) {
        game.flags.stageComplete = state == 0;
        game.flags.gameComplete = state == 1;
        game.flags.instructionsShown = state == 2;
        device.reset();
        gameplayDraw();
        // The instructions draw demonstration boards of their own, elsewhere.
        for (const DrawRecord* tile : drawsWith("field\\field0.tga")) {
            EXPECT_EQ(state, 2);
            EXPECT_GT(std::fabs(centreOf(*tile).x + 195.0f) + std::fabs(centreOf(*tile).y - 248.0f),
                      1.0f);
        }
        if (state != 2) {
            EXPECT_TRUE(drawsWith("cursor.tga").empty()) << state;
        }
    }
}

TEST_F(BoardDrawTest, AFrameOfTheGameScreenAllocatesNothing) {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            openCell(r, c, (r + c) % 3, (r * 3 + c) % 6);
            game.board.cells[r][c].shimmerMs = 300.0f;
        }
    }
    game.board.cells[1][1].figure.bonus = kBomb;
    game.board.cells[2][2].figure.bonus = kLightning;
    game.board.cells[3][3].figure.bonus = kCrossBomb;
    game.board.cells[4][4].figure.bonus = kStarBomb;
    game.board.cells[5][5].chained = 1;
    game.board.cells[6][6].figure.followsHand = true;
    game.blasts.beams[0] = BeamPoint{0.0f, 0.0f, 0u, 500.0f};
    game.blasts.beams[1] = BeamPoint{50.0f, 50.0f, 0u, 500.0f};
    game.blasts.beamCount = 2;
    for (int i = 0; i < 20; ++i) {
        startFlyer(i % 6, 0.0f, 0.0f, 1);
    }
    game.hand.heldFigure.kind = 1;
    game.hand.cursorCopy = cellCentre(7, 7);

    NullDevice null;
    setRenderBackend(&null);
    applyDefaultStates();
    looksTick(16.0f);
    gameplayDraw();
    startCountingAllocations();
    ageScorePieces(16.0f);
    looksTick(16.0f);
    gameplayDraw();
    const int allocations = stopCountingAllocations();
    setRenderBackend(nullptr);
    device.install();
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(null.primitives, 2 * 11 * 12 * 2);
}

}  // namespace
}  // namespace corsavel
