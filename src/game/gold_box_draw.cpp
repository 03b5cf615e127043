// The gold box model with its lid. The model and its drawing replace this
// file; until then the box is not drawn.

#include "game/game_draw.h"

namespace corsavel {

void loadGoldBox() {}

void drawGoldBox() {}

}  // namespace corsavel
