#pragma once

#include "platform/math_types.h"

namespace corsavel {

// The small colour and blend helpers every drawing of the game screen uses.

// An alpha value held to 0..255.
float clampAlpha(float alpha);
// White with the given alpha (held to 0..255, truncated).
Colour white(float alpha);
// The colour's red, green and blue with the given alpha (held to 0..255).
Colour withAlpha(Colour colour, float alpha);

// Blending on: source alpha over the inverse source alpha (mode 0).
void normalBlend();
// Blending on: source alpha added onto what is there (glows, beams).
void additiveBlend();

// A soft star of the bound glow image: its streak drawn twice, crossed.
void drawGlint(float x, float y, float edge, float turn, Colour colour);

}  // namespace corsavel
