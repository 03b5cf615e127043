// The tip bubble: the balloon the looks' tick put up beside the tip's target,
// with the "continue" button when the tip blocks play.

#include "game/game_draw.h"
#include "gfx/balloon.h"

namespace corsavel {

void drawTipBalloon() {
    drawBalloon(shown.hand.cursorCopy);
}

}  // namespace corsavel
