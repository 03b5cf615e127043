#pragma once

#include <cstdint>

#include "ui/menu.h"

namespace corsavel {

// The drawing primitives of the menu pages. Buttons, list lines, sliders and
// check boxes register their hit rectangles while they draw, in drawing
// order; that order binds them to the page's items and to the widget slots
// that keep slider values and check states between frames.

// The pill button centred at (x, y), w by h, and its MenuButton. The label
// defaults to the caption of item number (button count) of the current page.
void drawButton(float x, float y, float w, float h, float textSize, const char* label = nullptr);
// A slider from `leftPoint` to `rightPoint` with `steps` positions bound to
// `bound`: during the entering slide the widget takes the bound value, at
// other times the bound value follows the widget.
void drawSlider(float leftX, float leftY, float rightX, float rightY, int32_t steps,
                int32_t* bound);
// A 64 x 64 check box centred at (x, y) bound to `bound` (same rule as the
// slider); the label, when given, left-aligned 47 units to its right.
void drawCheckBox(float x, float y, uint8_t* bound, const char* label = nullptr,
                  float labelSize = 12.0f);
// Registers a widget and returns it (null when the list is full).
MenuWidget* addWidget(WidgetKind kind, float left, float top, float right, float bottom);
// Items first..end-1 (end -1: all) of the current page as lines of size s,
// each registering a button; centred on x, or left-aligned.
void drawItemList(float x, float y, float s, bool centred, int32_t first = 0, int32_t end = -1);
// A panel around the list, then the list.
void drawItemPanel(float x, float y, float s, bool centred, int32_t first = 0, int32_t end = -1);
// The pulsing frame around the focused widget.
void drawFocusFrame(bool small);
// The framed window panel with its top-left corner at (left, top).
void drawMenuPanel(float left, float top, float w, float h);

// The widest caption of items first..end-1 at size s (-1 when none).
float widestItemCaption(float s, int32_t first = 0, int32_t end = -1);
// The fold of the pages that fold flat as they leave: y scaled by
// 1 - factor squared; endFold restores the identity.
void beginFold();
void endFold();
// Caption of item n of the current page ("" when none).
const char* itemCaption(int32_t n);
// Sets the text colour from a 32-bit ARGB value.
void setMenuTextColour(uint32_t argb);

// The hooks of the pages this file's users draw.
void drawGenericPage();

}  // namespace corsavel
