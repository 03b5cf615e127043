// The forged gold box drawn through GL over a 2D backdrop, shut and open,
// saved as PNGs beside the build and checked by pixel statistics in the box
// area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/game_draw.h"
#include "game/game_state.h"
#include "game/gold_box_draw.h"
#include "gfx/mesh.h"
#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "gl_window_test.h"
#include "platform/primitives.h"
#include "platform/render_backend.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

// The box area in scene units and the backdrop colour behind it.
constexpr float kAreaLeft = -380.0f, kAreaRight = -252.0f;
constexpr float kAreaBottom = -290.0f, kAreaTop = -210.0f;
constexpr Colour kBackdrop = 0xFF203040u;

class GoldBoxGl : public GlWindowTest {
protected:
    static void TearDownTestSuite() {
        freeSceneObjectLibrary();
        freeMeshLibrary();
        GlWindowTest::TearDownTestSuite();
    }
    void SetUp() override {
        enterGl("models/goldbox.cgo");
        if (IsSkipped()) {
            return;
        }
        game = GameState{};
        freeSceneObjectLibrary();
        freeMeshLibrary();
        releaseAllTextures();
        loadGoldBox();
        ASSERT_NE(goldBoxObject(), nullptr);
    }
    void TearDown() override {
        game = GameState{};
        leaveData();
    }

    // The board screen's view and 2D mode, a flat backdrop, the box, then
    // (with `overlay`) a translucent 2D strip across the bottom drawn after
    // it. A zoom above 1 magnifies the scene around `centre` for the eye.
    void drawFrame(const std::string& png, bool overlay, float zoom = 1.0f, Vec2 centre = {}) {
        clearTarget(0xFF000000u);
        clearDepth(1.0f);
        beginScene();
        begin2D();
        setRenderState(RenderState::CullMode, kCullNone);
        resetCamera();
        moveCamera(-centre.x, -centre.y, 150.0f);
        setWorld(nullptr);
        setView(&renderDevice.cameraMatrix);
        setOrthographic(800.0f / zoom, 600.0f / zoom, 1.0f, 300.0f);
        updateFrustum();
        bindTexture(nullptr);
        drawSpriteRect(-400.0f, 300.0f, 400.0f, -300.0f, UvRect{}, kBackdrop, 0.0f);
        drawGoldBox();
        if (overlay) {
            bindTexture(nullptr);
            drawSpriteRect(-400.0f, -270.0f, 400.0f, -300.0f, UvRect{}, 0x80FF0000u, 0.0f);
        }
        finishFrame(png.c_str());
    }
    // The frame for the statistics, then a magnified one of the box to look at.
    void drawBox(const std::string& name, bool overlay = false) {
        drawFrame(name + "_zoom.png", overlay, 4.0f, Vec2{-316.0f, -245.0f});
        drawFrame(name + ".png", overlay);
    }
    Rgb at(float x, float y) const {
        const int px = std::clamp(static_cast<int>(x + 400.0f), 0, 799);
        const int py = std::clamp(static_cast<int>(300.0f - y), 0, 599);
        const uint8_t* p = &pixels[(static_cast<size_t>(py) * 800 + px) * 4];
        return {p[0], p[1], p[2]};
    }
    static bool isBackdrop(Rgb p) {
        return std::abs(p.r - 0x20) < 6 && std::abs(p.g - 0x30) < 6 && std::abs(p.b - 0x40) < 6;
    }
    static bool isGold(Rgb p) { return p.r > 170 && p.g > 120 && p.b < p.g - 40; }

    // Pixels of the model (not backdrop) and gold pixels inside a rectangle.
    struct Counts {
        int total = 0;
        int model = 0;
        int gold = 0;
        long r = 0, g = 0, b = 0;
    };
    Counts count(float left, float bottom, float right, float top) const {
        Counts c;
        for (float y = bottom; y < top; y += 1.0f) {
            for (float x = left; x < right; x += 1.0f) {
                const Rgb p = at(x, y);
                ++c.total;
                if (isBackdrop(p)) {
                    continue;
                }
                ++c.model;
                c.gold += isGold(p) ? 1 : 0;
                c.r += p.r;
                c.g += p.g;
                c.b += p.b;
            }
        }
        return c;
    }
};

bool isVelvet(Rgb p) {
    return p.r > 100 && p.g < 60 && p.b > p.g;
}

// Scene point of a point of the body model.
Vec2 onScreen(Vec3 model) {
    const Vec3 p = transformPoint(model, goldBoxWorld(game.box));
    return {p.x, p.y};
}

TEST_F(GoldBoxGl, ShutBoxRisesWithinTheBoxAreaInWarmColours) {
    for (float height : {-100.0f, -4.0f}) {
        game.box.boxHeight = height;
        drawBox(height < -50.0f ? "gold_box_gl_shut_low" : "gold_box_gl_shut_high");
        const Counts inside = count(kAreaLeft, kAreaBottom, kAreaRight, kAreaTop);
        EXPECT_GT(inside.model, inside.total * 55 / 100) << height;
        // Wood and gold: red over green over blue on average.
        EXPECT_GT(inside.r, inside.g) << height;
        EXPECT_GT(inside.g, inside.b * 3 / 2) << height;
        EXPECT_GT(inside.gold, 500) << "gold trims and bands " << height;
        // Nothing of the box outside its area.
        EXPECT_EQ(count(-400, -300, kAreaLeft, 300).model, 0) << height;
        EXPECT_EQ(count(kAreaRight, -300, 400, 300).model, 0) << height;
        EXPECT_EQ(count(-400, kAreaTop, 400, 300).model, 0) << height;
        EXPECT_EQ(count(-400, -300, 400, kAreaBottom).model, 0) << height;
    }
    // The raised box sits 15 units higher: its top row of model pixels moves up.
    auto topRow = [&](float height) {
        game.box.boxHeight = height;
        drawFrame("gold_box_gl_probe.png", false);
        for (float y = kAreaTop; y > kAreaBottom; y -= 1.0f) {
            if (count(kAreaLeft, y, kAreaRight, y + 1.0f).model > 0) {
                return y;
            }
        }
        return kAreaBottom;
    };
    EXPECT_NEAR(topRow(-4.0f) - topRow(-100.0f), 96.0f * kGoldBoxRise, 1.5f);
}

TEST_F(GoldBoxGl, OpenLidShowsTheLiningAndTheCoinsWhereFlyersDrop) {
    game.box.boxHeight = -50.0f;
    drawBox("gold_box_gl_shut_mid");
    const Counts shutAbove = count(kAreaLeft, kAreaTop, kAreaRight, kAreaTop + 60.0f);
    const Vec2 heap = onScreen({0.0f, 0.0f, 14.0f});
    const Counts shutHeap = count(heap.x - 8, heap.y - 4, heap.x + 8, heap.y + 4);
    int shutVelvet = 0;
    for (float y = kAreaBottom; y < kAreaTop + 60.0f; y += 1.0f) {
        for (float x = kAreaLeft; x < kAreaRight; x += 1.0f) {
            shutVelvet += isVelvet(at(x, y)) ? 1 : 0;
        }
    }

    game.box.lidAngle = -10.0f;
    drawBox("gold_box_gl_open");
    const Counts openAbove = count(kAreaLeft, kAreaTop, kAreaRight, kAreaTop + 60.0f);
    const Counts openHeap = count(heap.x - 8, heap.y - 4, heap.x + 8, heap.y + 4);
    int openVelvet = 0;
    for (float y = kAreaBottom; y < kAreaTop + 60.0f; y += 1.0f) {
        for (float x = kAreaLeft; x < kAreaRight; x += 1.0f) {
            openVelvet += isVelvet(at(x, y)) ? 1 : 0;
        }
    }
    EXPECT_EQ(shutVelvet, 0);
    EXPECT_GT(openVelvet, 1500) << "the lid's lining faces the viewer";
    EXPECT_GT(openAbove.model, shutAbove.model + 1500) << "the lid stands up behind the box";
    EXPECT_GT(openHeap.gold, openHeap.total / 3) << "coins in the open mouth";
    EXPECT_LT(shutHeap.gold, openHeap.gold) << "the shut lid hides them";
    // Flyers drop out of sight at y -240 between x -350 and -330: into the
    // mouth, from the level's start to its end.
    for (float height : {-100.0f, -50.0f, -4.0f}) {
        game.box.boxHeight = height;
        drawBox("gold_box_gl_open_" + std::to_string(static_cast<int>(-height)));
        const Counts drop = count(-350, -242, -330, -238);
        EXPECT_EQ(drop.model, drop.total) << height;
        EXPECT_GT(drop.gold, drop.total / 4) << height;
    }
}

TEST_F(GoldBoxGl, CelebrationBoxStandsBigAtTheBottomCentre) {
    game.box.boxHeight = -60.0f;
    game.box.scale = 1.08f;
    game.box.offset = Vec3{320.0f, 10.0f, 40.0f};
    game.box.lidAngle = -10.0f;
    drawFrame("gold_box_gl_celebration.png", false);
    EXPECT_EQ(count(-400, -300, -100, 300).model, 0);
    EXPECT_EQ(count(100, -300, 400, 300).model, 0);
    const Counts centre = count(-60, -270, 60, -200);
    EXPECT_GT(centre.model, centre.total * 6 / 10);
    EXPECT_GT(centre.gold, 800);
}

// The atlas has alpha, so the box is drawn double-sided; with an opaque
// texture the device's culling of screen-counter-clockwise faces applies and
// must leave every face that looks at the viewer.
TEST_F(GoldBoxGl, FacesTurnedToTheViewerSurviveCulling) {
    game.box.lidAngle = 20.0f;
    drawFrame("gold_box_gl_two_sided.png", false);
    const Counts twoSided = count(kAreaLeft, kAreaBottom, kAreaRight, kAreaTop + 60.0f);
    TextureEntry* texture = findTexture("goldbox.tga");
    ASSERT_NE(texture, nullptr);
    texture->hasAlpha = 0;
    drawFrame("gold_box_gl_culled.png", false);
    texture->hasAlpha = 1;
    const Counts culled = count(kAreaLeft, kAreaBottom, kAreaRight, kAreaTop + 60.0f);
    EXPECT_GT(twoSided.model, 5000);
    EXPECT_NEAR(culled.model, twoSided.model, twoSided.model / 100);
    EXPECT_NEAR(culled.gold, twoSided.gold, twoSided.gold / 20 + 5);
}

TEST_F(GoldBoxGl, TwoDLayersDrawnAfterTheBoxBlendOverIt) {
    game.box.boxHeight = -100.0f;
    drawFrame("gold_box_gl_plain.png", false);
    const std::vector<uint8_t> plain = pixels;
    drawBox("gold_box_gl_overlay", true);
    // Over the box's lower part the red strip shows everywhere the box is.
    int covered = 0;
    int boxPixels = 0;
    for (float y = -290.0f; y < -272.0f; y += 1.0f) {
        for (float x = kAreaLeft; x < kAreaRight; x += 1.0f) {
            const size_t i =
                (static_cast<size_t>(300.0f - y) * 800 + static_cast<size_t>(x + 400)) * 4;
            const Rgb before{plain[i], plain[i + 1], plain[i + 2]};
            if (isBackdrop(before)) {
                continue;
            }
            ++boxPixels;
            const Rgb after = at(x, y);
            covered += std::abs(after.r - (before.r + 255) / 2) < 8 && after.g < before.g ? 1 : 0;
        }
    }
    EXPECT_GT(boxPixels, 1000);
    EXPECT_EQ(covered, boxPixels);
}

}  // namespace
}  // namespace corsavel
