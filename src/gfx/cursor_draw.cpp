#include "gfx/cursor_draw.h"

#include <cmath>

#include "gfx/draw_clock.h"
#include "gfx/gui_sprites.h"
#include "gfx/texture.h"
#include "platform/pointer.h"
#include "platform/render_device.h"

namespace corsavel {

CursorDrawState cursorDraw;

namespace {

constexpr int kCursorGlowCell = 23;
constexpr int kCursorSolidCell = 22;
constexpr float kCursorDepth = 30.0f;

}  // namespace

void drawCustomCursor() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    if (x < -400.0f || x > 400.0f || y < -300.0f || y > 300.0f) {
        return;
    }
    if (!customCursor()) {
        return;
    }
    cursorDraw.cursorClockMs += drawClock.frameStepMs;
    int32_t kind = pointerKind();
    if (kind != 0 && kind != 2) {
        return;
    }
    const TextureEntry* atlas = menuTexture();
    if (!atlas) {
        return;
    }
    bindTexture(atlas);
    float ax = x + 30.0f;
    float ay = y - 32.0f;
    int alpha = static_cast<int>((std::sin(cursorDraw.cursorClockMs * 0.005f) + 1.0f) * 127.5f);
    drawGuiSprite(kCursorGlowCell, ax, ay, makeColour(alpha, 255, 255, 255), 1.0f, kCursorDepth);
    drawGuiSprite(kCursorSolidCell, ax, ay, 0xFFFFFFFFu, 1.0f, kCursorDepth);
}

}  // namespace corsavel
