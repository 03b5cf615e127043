#include "gfx/draw_helpers.h"

#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {

float clampAlpha(float alpha) {
    return alpha < 0.0f ? 0.0f : (alpha > 255.0f ? 255.0f : alpha);
}

Colour white(float alpha) {
    return withAlpha(0xFFFFFFFFu, alpha);
}

Colour withAlpha(Colour colour, float alpha) {
    int a = static_cast<int>(alpha);
    a = a < 0 ? 0 : (a > 255 ? 255 : a);
    return (colour & 0x00FFFFFFu) | (static_cast<uint32_t>(a) << 24);
}

void normalBlend() {
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setBlendMode(0);
}

void additiveBlend() {
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    setRenderState(RenderState::DestBlend, kBlendOne);
}

void drawGlint(float x, float y, float edge, float turn, Colour colour) {
    drawSpriteRotated(x, y, x, y, turn, edge, edge, UvRect{}, colour, 0.0f);
    drawSpriteRotated(x, y, x, y, turn + 90.0f, edge, edge, UvRect{}, colour, 0.0f);
}

}  // namespace corsavel
