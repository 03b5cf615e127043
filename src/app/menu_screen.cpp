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

}  // namespace

// Keys reach the menus once per frame: only the last key of a frame counts.
void MenuScreen::update() {
    if (hooks.menu.keyDown != nullptr) {
        hooks.menu.keyDown(lastKey);
    }
    lastKey = 0;
}

void MenuScreen::render() {
    menuTimerMs += app.frameStepMs;
    call(hooks.menu.beginMenuFrame);
    if (hooks.menu.drawBackdrop != nullptr) {
        hooks.menu.drawBackdrop(app.menuBackdrop);
    }
    call(hooks.menu.updateAndDrawPages);
    call(hooks.menu.updateAndDrawEffects);
    call(hooks.menu.endMenuFrame);
    call(hooks.menu.advanceGuiTimers);
    if (pointer.customCursor) {
        drawCustomCursor();
    }
    call(hooks.audio.updateMusic);
}

void MenuScreen::onKeyDown(int32_t virtualKey) {
    lastKey = virtualKey;
}

void MenuScreen::onLeftDown() {
    call(hooks.menu.leftDown);
}

void MenuScreen::onLeftDoubleClick() {
    call(hooks.menu.leftDoubleClick);
}

void MenuScreen::onLeftUp() {
    call(hooks.menu.leftUp);
}

void MenuScreen::onMouseMove() {
    call(hooks.menu.mouseMove);
}

}  // namespace corsavel
