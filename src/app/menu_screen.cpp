#include "app/app_state.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "gfx/background.h"
#include "gfx/cursor_draw.h"
#include "gfx/text_effects.h"
#include "platform/pointer.h"
#include "platform/render_device.h"
#include "ui/map.h"

namespace corsavel {

namespace {

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
    disableFeature(5);
    setBlendMode(0);
}

}  // namespace

// Keys reach the menus once per frame: only the last key of a frame counts.
void MenuScreen::update() {
    menuTimerMs += app.frameStepMs;
    updateBackground(app.frameStepMs);
    textEffectsTick(app.frameStepMs);
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

// Backdrops 0 and 4 are the animated background, 1 the island map.
void MenuScreen::render() {
    beginMenuFrame();
    if (app.menuBackdrop == 0 || app.menuBackdrop == 4) {
        drawBackground();
    } else if (app.menuBackdrop == 1) {
        drawMap(menuTimerMs);
    }
    endMenuFrame();
    if (pointer.customCursor) {
        drawCustomCursor();
    }
}

void MenuScreen::onKeyDown(int32_t virtualKey) {
    lastKey = virtualKey;
}

}  // namespace corsavel
