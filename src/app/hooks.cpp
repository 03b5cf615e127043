#include "app/hooks.h"

#include <cmath>

#include "app/app_state.h"
#include "platform/pointer.h"

namespace corsavel {

AppHooks hooks;

void pauseAudio() {
    if (hooks.audio.pauseAudio != nullptr) {
        hooks.audio.pauseAudio();
    }
}

void resumeAudio() {
    if (hooks.audio.resumeAudio != nullptr) {
        hooks.audio.resumeAudio();
    }
}

void drawCustomCursor() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    if (x < -400.0f || x > 400.0f || y < -300.0f || y > 300.0f || !pointer.customCursor) {
        return;
    }
    pointer.cursorClockMs += app.frameStepMs;
    if (pointer.pointerKind != 0 && pointer.pointerKind != 2) {
        return;
    }
    if (hooks.cursor.drawGuiSprite == nullptr) {
        return;
    }
    // A pulsing glow (sprite 23) under the arrow itself (sprite 22).
    float anchorX = x + 30.0f;
    float anchorY = y - 32.0f;
    int alpha = static_cast<int>((std::sin(pointer.cursorClockMs * 0.005f) + 1.0f) * 127.5f);
    hooks.cursor.drawGuiSprite(23, anchorX, anchorY, 30.0f, makeColour(alpha, 255, 255, 255));
    hooks.cursor.drawGuiSprite(22, anchorX, anchorY, 30.0f, makeColour(255, 255, 255, 255));
}

}  // namespace corsavel
