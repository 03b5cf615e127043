#include "app/app_state.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "gfx/background.h"
#include "gfx/cursor_draw.h"
#include "gfx/text_effects.h"
#include "platform/pointer.h"
#include "platform/render_device.h"
#include "ui/map.h"
#include "ui/menu.h"

namespace corsavel {

// The menu frame's states: blended, alpha-tested 2D in an orthographic
// 800x600 view from a camera 120 units back, no depth test, no culling.
void beginMenuFrame() {
    enableFeature(4);
    setBlendMode(0);
    disableFeature(1);
    enableFeature(5);
    setRenderState(RenderState::AlphaRef, 1);
    disableFeature(0);
    enableFeature(3);
    resetCamera();
    moveCamera(0.0f, 0.0f, 120.0f);
    setWorld(nullptr);
    setView(&renderDevice.cameraMatrix);
    updateFrustum();
    setRenderState(RenderState::CullMode, kCullNone);
}

void endMenuFrame() {
    setWorld(nullptr);
    disableFeature(5);
    setBlendMode(0);
}

// The backdrop's clocks, then the menus: slides, hover, keys.
void MenuScreen::update() {
    menuTimerMs += app.frameStepMs;
    updateBackground(app.frameStepMs);
    textEffectsTick(app.frameStepMs);
    updateMenu(app.frameStepMs);
    updateAudio(app.frameStepMs);
    lastKey = 0;
}

// The menus open on background 0 in its own colours.
void MenuScreen::onEnter() {
    float white[4];
    tintPreset(2, white);
    loadBackground(0);
    setTintNow(white);
}

// The backdrop, then the current page over it.
void MenuScreen::render() {
    beginMenuFrame();
    if (app.menuBackdrop == 0 || app.menuBackdrop == 4) {
        drawBackground();
    }
    if (app.menuBackdrop == 1) {
        drawMap(menuTimerMs);
    }
    drawMenu();
    endMenuFrame();
    if (pointer.customCursor) {
        drawCustomCursor();
    }
}

void MenuScreen::onKeyDown(int32_t virtualKey) {
    lastKey = virtualKey;
    menuKeyDown(virtualKey);
}

void MenuScreen::onLeftDown() {
    menuButtonDown();
}

void MenuScreen::onLeftDoubleClick() {
    menuDoubleClick();
}

void MenuScreen::onLeftUp() {
    menuButtonUp();
}

void MenuScreen::onMouseMove() {
    menuPointerMoved();
}

}  // namespace corsavel
