#include "app/app_state.h"
#include "app/hooks.h"
#include "app/screen.h"
#include "gfx/cursor_draw.h"
#include "platform/pointer.h"

namespace corsavel {

namespace {

void call(void (*hook)()) {
    if (hook != nullptr) {
        hook();
    }
}

bool menuOpen() {
    return hooks.gameplay.pauseMenuOpen != nullptr && hooks.gameplay.pauseMenuOpen();
}

}  // namespace

// The game reacts to keys in onKeyDown, so update only drops the key.
void GameScreen::update() {
    lastKey = 0;
}

// The game's own time step runs here, inside the scene.
void GameScreen::render() {
    call(hooks.gameplay.update);
    call(hooks.gameplay.render);
    call(hooks.menu.advanceGuiTimers);
    if (menuOpen()) {
        call(hooks.menu.updateAndDrawPages);
    }
    if (pointer.customCursor) {
        drawCustomCursor();
    }
}

void GameScreen::onKeyDown(int32_t virtualKey) {
    if (menuOpen()) {
        if (hooks.menu.keyDown != nullptr) {
            hooks.menu.keyDown(virtualKey);
        }
    } else if (hooks.gameplay.keyDown != nullptr) {
        hooks.gameplay.keyDown(virtualKey);
    }
    lastKey = virtualKey;
}

void GameScreen::onLeftDown() {
    call(menuOpen() ? hooks.menu.leftDown : hooks.gameplay.leftDown);
}

// Double clicks go to the board even while the in-game menu is open.
void GameScreen::onLeftDoubleClick() {
    call(hooks.gameplay.leftDoubleClick);
}

void GameScreen::onLeftUp() {
    call(menuOpen() ? hooks.menu.leftUp : hooks.gameplay.leftUp);
}

void GameScreen::onRightDown() {
    call(hooks.gameplay.rightDown);
}

void GameScreen::onRightUp() {
    call(hooks.gameplay.rightUp);
}

void GameScreen::onMiddleDown() {
    call(hooks.gameplay.middleDown);
}

// The board hears the pointer too: leaving it pauses the game.
void GameScreen::onMouseMove() {
    call(menuOpen() ? hooks.menu.mouseMove : hooks.gameplay.mouseMove);
}

}  // namespace corsavel
