// The game screen's frame: its view, then the board with everything around
// it, or one of the full-screen states; text effects last.

#include "game/game_draw.h"
#include "game/game_state.h"
#include "gfx/text_effects.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

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

void drawPlayingFrame() {
    drawBoard();
    drawBeams();
    drawFlyers();
    drawHand();
}

}  // namespace

void gameplayDraw() {
    setGameView();
    const LevelFlags& flags = game.flags;
    if (!flags.stageComplete && !flags.gameComplete && !flags.instructionsShown) {
        drawPlayingFrame();
    }
    drawFlyingText();
    drawBanner();
    drawPopups();
}

}  // namespace corsavel
