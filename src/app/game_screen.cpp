#include "app/app_state.h"
#include "app/request_routes.h"
#include "app/screen.h"
#include "game/game_draw.h"
#include "game/rules.h"
#include "gfx/background.h"
#include "gfx/cursor_draw.h"
#include "gfx/text_effects.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "ui/menu.h"

namespace corsavel {

// The text effects' and the background's frame (before the gameplay adds
// new ones, so they are first drawn as added), the gameplay's tick, then
// what it asked of the layers above it.
void GameScreen::update() {
    textEffectsTick(app.frameStepMs);
    updateBackground(app.frameStepMs);
    gameplayUpdate();
    handleGameRequests();
    // The page over the game, then what its action asked of the gameplay
    // (a level advanced by "OK" is saved in this frame, not the next).
    if (gameplayMenuOpen()) {
        updateMenu(app.frameStepMs);
        handleGameRequests();
    }
    lastKey = 0;
}

// Drawing only: the board and its HUD, the in-game page over them.
void GameScreen::render() {
    gameplayDraw();
    if (gameplayMenuOpen()) {
        beginMenuFrame();
        drawMenu();
        endMenuFrame();
    }
    if (pointer.customCursor) {
        drawCustomCursor();
    }
}

// While the in-game menu is open its page takes keys and buttons.
void GameScreen::onKeyDown(int32_t virtualKey) {
    if (gameplayMenuOpen()) {
        menuKeyDown(virtualKey);
    } else {
        onBoardKey(virtualKey);
    }
    lastKey = virtualKey;
}

void GameScreen::onLeftDown() {
    if (gameplayMenuOpen()) {
        menuButtonDown();
    } else {
        onBoardClick();
    }
}

// Double clicks go to the board even while the in-game menu is open.
void GameScreen::onLeftDoubleClick() {
    onBoardDoubleClick();
}

void GameScreen::onLeftUp() {
    if (gameplayMenuOpen()) {
        menuButtonUp();
    } else {
        onBoardButtonUp();
    }
}

void GameScreen::onRightDown() {
    onBoardRightClick();
}

void GameScreen::onMiddleDown() {
    onBoardMiddleClick();
}

// The board hears the pointer too: leaving it pauses the game.
void GameScreen::onMouseMove() {
    if (gameplayMenuOpen()) {
        menuPointerMoved();
    } else {
        float x = 0.0f;
        float y = 0.0f;
        pointerPosition(&x, &y);
        onBoardPointerMove(x, y);
    }
}

}  // namespace corsavel
