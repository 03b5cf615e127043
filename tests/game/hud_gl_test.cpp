// Full game-screen frames with the HUD, drawn through GL from the forged
// data, saved as PNGs beside the build and checked by pixel statistics where
// each HUD item should be.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/game_draw.h"
#include "game/hud_layout.h"
#include "game/hud_textures.h"
#include "game/instructions.h"
#include "game/looks.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/balloon.h"
#include "gfx/bolts.h"
#include "gfx/font.h"
#include "gfx/text_effects.h"
#include "gfx/texture.h"
#include "gl_window_test.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "platform/render_backend.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "platform/window.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {
namespace {

struct Stats {
    double brightness = 0.0;  // mean of r + g + b
    int red = 0;              // clearly red pixels
    int light = 0;            // pixels brighter than 600 of 765
    int lit = 0;              // pixels not near black
    int dark = 0;             // pixels below 250 of 765
    int warm = 0;             // red well above green (button pills, hearts)
    int yellow = 0;           // saturated yellow (titles)
};

class HudGl : public GlWindowTest {
protected:
    void SetUp() override {
        enterGl("targa.dat");
        if (IsSkipped()) {
            return;
        }
        clearAssetRegistry();
        releaseAllTextures();
        freeTextTables();
        boltState = BoltState{};
        hudTextures = HudTextures{};
        hudDraw = HudDrawState{};
        balloon = BalloonState{};
        loadArchive("targa.dat");
        loadArchive("jpeg.dat");
        loadArchive("texts.dat");
        loadTextTable("strings.txt");
        loadTextTable("tips.txt");
        loadFont("font");
        loadBoardTextures();
        loadHudTextures();
        loadLevelPacks();
        clearTextEffects();
        Profile& p = activeProfile();
        p.helpShown = 1;
        p.tipPowerupShown = p.tipRelaxShown = p.tipSquareShown = p.tipChainShown = 1;
        session.gameMode = 0;
        setLastMode(p, 0);
        setProfileLives(p, 3);
        setProfileScore(p, 0);
        seedRandom(12);
        startLevel(11);
        app.frameStepMs = 16.0f;
        app.animationClockMs = 500.0f;
        game.hand.cursor = game.hand.cursorCopy = Vec2{390.0f, 290.0f};
    }
    void TearDown() override {
        game = GameState{};
        hudTextures = HudTextures{};
        hudDraw = HudDrawState{};
        balloon = BalloonState{};
        clearTextEffects();
        freeTextTables();
        clearAssetRegistry();
        releaseAllTextures();
        boltState = BoltState{};
        leaveData();
    }

    static void renderFrame() {
        clearTarget(0xFF000000u);
        clearDepth(1.0f);
        beginScene();
        gameplayDraw();
        endScene();
        presentFrame();
    }
    void drawFrame(const char* png = nullptr) {
        clearTarget(0xFF000000u);
        clearDepth(1.0f);
        beginScene();
        gameplayDraw();
        finishFrame(png);
    }
    // Statistics of the scene rectangle (x0, y0) top-left to (x1, y1).
    Stats stats(float x0, float y0, float x1, float y1) const {
        Stats s;
        int n = 0;
        for (int y = py(y0); y <= py(y1); ++y) {
            for (int x = px(x0); x <= px(x1); ++x) {
                if (x < 0 || x >= 800 || y < 0 || y >= 600) {
                    continue;
                }
                const uint8_t* p = &pixels[(static_cast<size_t>(y) * 800 + x) * 4];
                const int sum = p[0] + p[1] + p[2];
                s.brightness += sum;
                s.red += p[0] > 150 && p[1] < 90 && p[2] < 90 ? 1 : 0;
                s.light += sum > 600 ? 1 : 0;
                s.lit += sum > 60 ? 1 : 0;
                s.dark += sum < 250 ? 1 : 0;
                s.warm += p[0] > p[1] + 60 && p[0] > 120 ? 1 : 0;
                s.yellow += p[0] > 230 && p[1] > 200 && p[2] < 130 ? 1 : 0;
                ++n;
            }
        }
        s.brightness = n > 0 ? s.brightness / n : 0.0;
        return s;
    }
};

TEST_F(HudGl, PlayFrameShowsPanelLivesFuseHintAndScores) {
    game.clock.elapsedMs = game.clock.timeLimitMs * 0.4f;
    findMoves();
    game.tips.hintVisible = true;
    game.tips.hintBlinkMs = 1000.0f;
    game.scores.scoreShown = 12340;
    addFloatingScore(cellCentre(6, 5).x, cellCentre(6, 5).y, 300);
    drawFrame("hud_gl_play.png");

    // The panel on the left, with its texts in the dark inset.
    EXPECT_GT(stats(-390.0f, 260.0f, -290.0f, 120.0f).lit, 5000);
    EXPECT_GT(stats(-370.0f, 290.0f, -310.0f, 270.0f).light, 20) << "score label";
    EXPECT_GT(stats(-360.0f, 250.0f, -300.0f, 230.0f).light, 20) << "score value";
    // Three hearts 26 apart, none where a fourth would be.
    for (int i = 0; i < 3; ++i) {
        const float cx = -359.0f + 26.0f * i;
        EXPECT_GT(stats(cx - 6.0f, 50.0f, cx + 6.0f, 38.0f).red, 30) << "heart " << i;
    }
    EXPECT_EQ(stats(-287.0f, 50.0f, -285.0f, 38.0f).red, 0);
    // The "MENU" label.
    EXPECT_GT(stats(-372.0f, -20.0f, -310.0f, -40.0f).light, 20);
    // The trough and cord along the bottom, the barrel at its end, the spark
    // 40 % along.
    EXPECT_GT(stats(-100.0f, -284.0f, 100.0f, -294.0f).lit, 1500) << "fuse";
    EXPECT_GT(stats(335.0f, -225.0f, 365.0f, -255.0f).lit, 600) << "barrel";
    const float burn = -238.0f + (334.0f - -238.0f) * 0.4f;
    EXPECT_GT(stats(burn - 4.0f, -285.0f, burn + 4.0f, -293.0f).brightness, 500.0) << "spark";
    // The hint marker bobs 40 above the hinted cell.
    const Vec2 h = game.match.hintPosition;
    const Stats marker = stats(h.x - 10.0f, h.y + 50.0f, h.x + 10.0f, h.y + 30.0f);
    EXPECT_GT(marker.brightness, 350.0) << "hint marker";
    // The floating score's text.
    const Vec2 f = cellCentre(6, 5);
    EXPECT_GT(stats(f.x - 20.0f, f.y + 8.0f, f.x + 20.0f, f.y - 8.0f).light, 15) << "+300";
}

TEST_F(HudGl, LivesShowAsHeartsACountOrTheLastLife) {
    setProfileLives(activeProfile(), 5);
    drawFrame("hud_gl_lives5.png");
    EXPECT_GT(stats(-355.0f, 50.0f, -343.0f, 38.0f).red, 30) << "single heart";
    EXPECT_EQ(stats(-335.0f, 50.0f, -280.0f, 38.0f).red, 0);
    EXPECT_GT(stats(-336.0f, 54.0f, -300.0f, 34.0f).light, 15) << "x5";

    setProfileLives(activeProfile(), 0);
    drawFrame("hud_gl_lives0.png");
    EXPECT_EQ(stats(-380.0f, 60.0f, -280.0f, 30.0f).red, 0);
    EXPECT_GT(stats(-372.0f, 54.0f, -290.0f, 34.0f).light, 30) << "last life";

    session.gameMode = 1;
    drawFrame("hud_gl_mode1.png");
    EXPECT_GT(stats(-380.0f, 64.0f, -320.0f, 46.0f).light, 20) << "mode2 text";
    // No fuse in the puzzle mode.
    EXPECT_LT(stats(-100.0f, -284.0f, 100.0f, -294.0f).lit, 100);
}

TEST_F(HudGl, BlockingTipDrawsABalloonWhoseButtonClosesIt) {
    const Vec2 target = cellCentre(3, 4);
    TipState& t = game.tips;
    t.tipShowing = true;
    t.tipWaitsForClick = true;
    t.tipText = textIndex("chainbtip");
    t.tipPosition = target;
    t.tipDelayMs = -250.0f;
    for (int i = 0; i < 20; ++i) {
        looksTick(16.0f);
        drawFrame();
        app.animationClockMs += 16.0f;
    }
    looksTick(16.0f);
    drawFrame("hud_gl_tip.png");
    ASSERT_TRUE(balloon.visible);
    const BalloonLayout& l = balloon.layout;
    // Beside the target on the side toward the centre, parchment with text.
    EXPECT_TRUE(l.toRight);
    EXPECT_GT(l.body.left, target.x + 70.0f);
    const Stats body =
        stats(l.body.left + 20.0f, l.body.top - 20.0f, l.body.right - 20.0f, l.button.top + 4.0f);
    EXPECT_GT(body.brightness, 400.0) << "parchment";
    EXPECT_GT(body.dark, 300) << "text";
    const float bx = (l.button.left + l.button.right) * 0.5f;
    const float by = (l.button.top + l.button.bottom) * 0.5f;
    EXPECT_GT(stats(bx - 60.0f, by + 10.0f, bx + 60.0f, by - 10.0f).warm, 1000) << "button";

    // A click on the text does nothing; one on the button closes the tip.
    onBoardClickAt(l.body.left + 30.0f, l.body.top - 25.0f);
    EXPECT_TRUE(t.tipShowing);
    onBoardClickAt(bx, by);
    EXPECT_FALSE(t.tipShowing);
}

TEST_F(HudGl, InstructionsOverlayShowsPanelColumnsBoardsAndButton) {
    game.flags.instructionsShown = true;
    prepareDemonstration();
    // Frame by frame, so that the "click" popup lives its own life.
    for (float ms = 0.0f; ms < 2100.0f; ms += 16.0f) {
        textEffectsTick(16.0f);
        demonstrationTick(16.0f);
        app.animationClockMs += 16.0f;
        renderFrame();
    }
    drawFrame("hud_gl_instructions.png");
    // Panel edges and the dark fill.
    EXPECT_GT(stats(-235.0f, 265.0f, 295.0f, 250.0f).lit, 3000) << "top edge";
    // Both text columns carry text.
    EXPECT_GT(stats(-190.0f, 185.0f, 20.0f, 90.0f).light, 300);
    EXPECT_GT(stats(55.0f, 185.0f, 265.0f, 90.0f).light, 300);
    // Demonstration tiles at both boards' corners, the OK button.
    for (int b = 0; b < 2; ++b) {
        for (int corner = 0; corner < 4; ++corner) {
            const Vec2 c = demoCellCentre(b, corner % 2 ? 3 : 0, corner / 2 ? 3 : 0);
            EXPECT_GT(stats(c.x - 22.0f, c.y + 22.0f, c.x - 18.0f, c.y - 22.0f).lit, 100)
                << b << " " << corner;
        }
    }
    EXPECT_GT(stats(-20.0f, -150.0f, 80.0f, -190.0f).warm, 1500) << "OK button";

    // Later in the script the right board's layered tiles have lost a layer.
    for (float ms = 0.0f; ms < 3500.0f; ms += 16.0f) {
        demonstrationTick(16.0f);
    }
    drawFrame("hud_gl_instructions_after.png");
    for (int r = 1; r < 4; ++r) {
        EXPECT_EQ(demo.boards[1].cells[r][2].layers, 0);
    }
}

TEST_F(HudGl, PauseTimeBonusStageAndGameCompleteScreens) {
    game.flags.paused = true;
    game.flags.pauseMs = 6000.0f;
    game.hud.boardAlpha = game.hud.flyerAlpha = game.hud.handAlpha = 0.0f;
    drawFrame("hud_gl_pause.png");
    EXPECT_GT(stats(-60.0f, 20.0f, 60.0f, -20.0f).light, 200) << "pause";
    EXPECT_GT(stats(-200.0f, -265.0f, 200.0f, -295.0f).lit, 300) << "keytoresume";

    game.flags.paused = false;
    game.hud.boardAlpha = game.hud.flyerAlpha = game.hud.handAlpha = 255.0f;
    game.clock.elapsedMs = game.clock.timeLimitMs * 0.5f;
    startTimeBonus();
    game.flags.levelWon = true;
    game.scores.bonusPhaseMs = 1400.0f + game.scores.bonusDurationMs * 0.5f;
    game.scores.bonusShown = 4321;
    drawFrame("hud_gl_timebonus.png");
    EXPECT_GT(stats(160.0f, -105.0f, 340.0f, -135.0f).light, 150) << "TIME BONUS:";
    EXPECT_GT(stats(200.0f, -150.0f, 300.0f, -180.0f).lit, 150) << "value";

    game.flags.levelWon = false;
    game.scores.timeBonusPhase = false;
    game.flags.stageComplete = true;
    game.flags.stageMs = 14000.0f;
    addFlyingText("STAGE COMPLETE!", 0.0f, 0.0f, 30.0f);
    textEffectsTick(1200.0f);
    drawFrame("hud_gl_stage.png");
    EXPECT_GT(stats(-250.0f, 210.0f, 250.0f, -160.0f).lit, 150000) << "stage picture";
    EXPECT_GT(stats(-200.0f, -265.0f, 200.0f, -295.0f).lit, 300) << "keytoresume";

    clearTextEffects();
    game.flags.stageComplete = false;
    game.flags.gameComplete = true;
    loadGameCompletePicture();
    drawFrame("hud_gl_gamecomplete.png");
    EXPECT_GT(stats(-390.0f, 290.0f, 390.0f, -290.0f).lit, 300000) << "picture";
    // The title's yellow letters stand out from the same picture below them.
    EXPECT_GT(stats(-220.0f, 262.0f, 220.0f, 228.0f).yellow,
              stats(-220.0f, 222.0f, 220.0f, 188.0f).yellow + 800)
        << "congratulations";
}

}  // namespace
}  // namespace corsavel
