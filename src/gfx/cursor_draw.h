#pragma once

namespace corsavel {

// The custom pointer's glow clock; advances only while the sprite is drawn.
struct CursorDrawState {
    float cursorClockMs = 0.0f;
};
extern CursorDrawState cursorDraw;

// Draws the custom pointer (GUI sprites 23 pulsing, then 22) at the pointer
// in the 2D mode, when the option is on and the pointer is over the scene.
void drawCustomCursor();

}  // namespace corsavel
