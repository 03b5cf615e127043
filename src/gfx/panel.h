#pragma once

#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

// The framed window look shared by the menus, the instructions overlay and
// the stage screen: a marble fill tinted dark, gilded atlas edges and
// corners, and the pill button of "button.tga". Scene units, y up.

// The panel fill, the atlas, the border glow and the button; loaded once
// (missing files leave their parts undrawn).
void loadPanelTextures(bool fatal = true);

// Framed panel with its top-left corner at (left, top), w wide and h high.
void drawPanel(float left, float top, float w, float h, float alpha = 255.0f);

// The pill button centred at (x, y), w by h: a left cap h wide from the
// image's left half, the image's centre column stretched, a right cap from
// its right half. Draws no label.
void drawButtonImage(float x, float y, float w, float h, Colour colour);

// An additive warm glow (the text highlight bar) over a rectangle.
void drawGlowBox(float x0, float y0, float x1, float y1, Colour colour);

}  // namespace corsavel
