// One forged dancer with a top hat drawn through GL over a flat backdrop:
// the lit skeleton fills its place in bone colours, the hat sits dark on its
// head, and without a hat that place shows the backdrop. Saved as PNGs
// beside the build for the eye.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/dancers.h"
#include "game/game_draw.h"
#include "game/game_state.h"
#include "gfx/character.h"
#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "gl_window_test.h"
#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

constexpr Colour kBackdrop = 0xFF203048u;
constexpr int kTopHat = 2;

class DancersGl : public GlWindowTest {
protected:
    static void TearDownTestSuite() {
        freeDancers();
        freeSceneObjectLibrary();
        freeMeshLibrary();
        GlWindowTest::TearDownTestSuite();
    }
    void SetUp() override {
        enterGl("models/skelet.chr");
        if (IsSkipped()) {
            return;
        }
        game = GameState{};
        loadDancers();
        ASSERT_TRUE(characterSetLoaded());
        Dancer& d = game.level.dancers[0];
        std::fill(std::begin(d.sequence), std::end(d.sequence), -1);
        d.sequence[0] = 13;  // applause: the arms stay in front of the chest
        d.turn = 0.0f;
        game.level.dancerCount = 1;
        game.level.dancerCameraDepth = -700.0f;
    }
    void TearDown() override {
        game = GameState{};
        leaveData();
    }

    void drawFrame(const char* png) {
        clearTarget(0xFF000000u);
        clearDepth(1.0f);
        beginScene();
        setGameView();
        bindTexture(nullptr);
        drawSpriteRect(-400.0f, 300.0f, 400.0f, -300.0f, UvRect{}, kBackdrop, 0.0f);
        drawDancers();
        finishFrame(png);
    }
    static bool isBackdrop(Rgb p) {
        return std::abs(p.r - 0x20) < 8 && std::abs(p.g - 0x30) < 8 && std::abs(p.b - 0x48) < 8;
    }
    struct Counts {
        int total = 0;
        int model = 0;
        int bright = 0;
        int dark = 0;
    };
    Counts count(float left, float bottom, float right, float top) const {
        Counts c;
        for (float y = bottom; y < top; y += 1.0f) {
            for (float x = left; x < right; x += 1.0f) {
                const Rgb p = at(px(x), py(y));
                ++c.total;
                if (isBackdrop(p)) {
                    continue;
                }
                ++c.model;
                const int lum = (p.r * 3 + p.g * 6 + p.b) / 10;
                c.bright += lum > 150 && p.r >= p.b ? 1 : 0;
                c.dark += lum < 40 ? 1 : 0;
            }
        }
        return c;
    }
};

TEST_F(DancersGl, LitSkeletonWithItsHatOnTheHead) {
    game.level.dancers[0].hat = kTopHat;
    dancersTick(16.0f);
    drawFrame("dancer_gl_top_hat.png");
    // The body: bone-coloured, lit from the front, between feet and neck.
    const Counts body = count(-70.0f, -290.0f, 70.0f, -80.0f);
    EXPECT_GT(body.model, body.total / 8);
    EXPECT_GT(body.bright, body.model / 4);
    // Nothing of the dancer far from it.
    const Counts aside = count(150.0f, -290.0f, 390.0f, 290.0f);
    EXPECT_EQ(aside.model, 0);
    // The black top hat above the skull.
    const Counts hat = count(-25.0f, -32.0f, 25.0f, -8.0f);
    EXPECT_GT(hat.dark, hat.total / 4);

    game.level.dancers[0].hat = -1;
    drawFrame("dancer_gl_bare.png");
    const Counts bare = count(-25.0f, -32.0f, 25.0f, -8.0f);
    EXPECT_LT(bare.dark, hat.dark / 4);
    // The states the 2D drawing needs are back.
    EXPECT_EQ(renderStateValue(RenderState::Lighting), 0u);
}

// The skinned vertices reach GL every frame: the dancer's pixels change as
// the dance goes on.
TEST_F(DancersGl, TheDanceMovesOnScreen) {
    game.level.dancers[0].hat = -1;
    game.level.dancers[0].sequence[0] = 0;
    dancersTick(16.0f);
    drawFrame("dancer_gl_pose_a.png");
    std::vector<bool> before;
    for (float y = -290.0f; y < 100.0f; y += 1.0f) {
        for (float x = -150.0f; x < 150.0f; x += 1.0f) {
            before.push_back(isBackdrop(at(px(x), py(y))));
        }
    }
    for (int i = 0; i < 25; ++i) {
        dancersTick(16.0f);
    }
    drawFrame("dancer_gl_pose_b.png");
    int changed = 0;
    size_t i = 0;
    for (float y = -290.0f; y < 100.0f; y += 1.0f) {
        for (float x = -150.0f; x < 150.0f; x += 1.0f) {
            changed += before[i++] != isBackdrop(at(px(x), py(y))) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 200);
}

}  // namespace
}  // namespace corsavel
