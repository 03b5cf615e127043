// The game screen's frame: its view, then the board with everything around
// it, or one of the full-screen states; text effects last.

#include "game/dancers.h"
#include "game/game_draw.h"
#include "game/game_state.h"
#include "gfx/background.h"
#include "gfx/particles.h"
#include "gfx/text_effects.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

// Play: the panel, the pause text, the board (with the hint) under its
// shake, the gold box, the flyers, the fuse and the celebration's texts,
// the particle effects over them, then the floating scores, the hand and
// the tip bubble on top.
void drawPlayingFrame() {
    drawDancers();
    drawHud();
    // The dancers go here: after the HUD panel, before the board.
    drawPauseText();
    drawBoard();
    drawBeams();
    drawTileBreaks();
    drawGoldBox();
    drawFlyers();
    drawTimeFuse();
    drawTimeBonusTexts();
    drawCelebrationOverlay();
    drawEffects();
    drawFloatingScores();
    drawHand();
    drawTipBalloon();
}

}  // namespace

// The game screen looks at the 800x600 scene from 150 units back, so that
// the board at depth 0 and the 2D layers in front of it are all visible.
void setGameView() {
    begin2D();
    setRenderState(RenderState::CullMode, kCullNone);
    resetCamera();
    moveCamera(0.0f, 0.0f, 150.0f);
    setWorld(nullptr);
    setView(&renderDevice.cameraMatrix);
    setOrthographic(800.0f, 600.0f, 1.0f, 300.0f);
    updateFrustum();
}

void gameplayDraw() {
    setGameView();
    drawBackgroundWithFade();
    const LevelFlags& flags = shown.flags;
    if (flags.stageComplete) {
        drawStageComplete();
    } else if (flags.gameComplete) {
        drawGameComplete();
        drawDancers();
    } else if (flags.instructionsShown) {
        if (!flags.instructionsOnly) {
            drawDancers();
            drawHud();
            // The dancers go here too, beside the HUD panel.
        }
        drawInstructionsOverlay();
    } else {
        drawPlayingFrame();
    }
    if (flags.stageComplete || flags.gameComplete || flags.instructionsShown) {
        drawEffects();
    }
    drawFlyingText();
    drawBanner();
    drawPopups();
}

}  // namespace corsavel
