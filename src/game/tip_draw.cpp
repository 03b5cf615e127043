// The tip bubble: once its delay has run out, the balloon beside the tip's
// target for this frame, with the "continue" button when the tip blocks play.

#include "game/game_draw.h"
#include "game/hud_textures.h"
#include "game/rules.h"
#include "gfx/balloon.h"
#include "platform/frame_state.h"
#include "resources/text_table.h"

namespace corsavel {

void drawTipBalloon() {
    const TipState& t = game.tips;
    if (!t.tipShowing || t.tipDelayMs > 0.0f) {
        return;
    }
    const char* text = currentTipText();
    if (text == nullptr) {
        return;
    }
    const char* label = findText("continue");
    requestBalloon(text, t.tipPosition, kTipBalloonWidth, t.tipWaitsForClick,
                   label != nullptr ? label : "continue", hudTextures.tipIcon);
    drawBalloon(app.frameStepMs, game.hand.cursorCopy);
}

}  // namespace corsavel
