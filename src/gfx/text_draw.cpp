#include <cmath>

#include "gfx/font.h"
#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kHighlightDepth = 45.0f;

struct GlyphDraw {
    const Font* font;
    Vec3 pen;
    float size;
    Colour colour;
};

// One glyph quad centred on (x, y), rotated about its centre, as a strip
// top-left, top-right, bottom-left, bottom-right in the tinted colour.
void submitGlyph(const Font& font, uint8_t c, float x, float y, float z, float size,
                 float angleDegrees, Colour colour) {
    static ColouredVertex quad[4];
    float uv[4];
    glyphCellUV(font, c, uv);
    float halfW = size * textState.textScale;
    float halfH = kGlyphHeightRatio * halfW;
    const float dx[4] = {-halfW, halfW, -halfW, halfW};
    const float dy[4] = {halfH, halfH, -halfH, -halfH};
    const float us[4] = {uv[0], uv[2], uv[0], uv[2]};
    const float vs[4] = {uv[1], uv[1], uv[3], uv[3]};
    float a = angleDegrees * kDegreesToRadians;
    float ca = std::cos(a);
    float sa = std::sin(a);
    Colour tinted = applyTint(colour);
    for (int k = 0; k < 4; ++k) {
        quad[k] = {
            x + dx[k] * ca - dy[k] * sa, y + dx[k] * sa + dy[k] * ca, z, tinted, us[k], vs[k]};
    }
    drawPrimitive(quad, 2, kFormatColoured, PrimitiveType::TriangleStrip);
}

void drawPlacedGlyph(void* context, uint8_t c, float x, float y) {
    auto* d = static_cast<GlyphDraw*>(context);
    submitGlyph(*d->font, c, d->pen.x + x, d->pen.y + y, d->pen.z, d->size, 0.0f, d->colour);
}

// The highlight bar: additive (source alpha onto one) without alpha testing,
// then back to ordinary transparency with alpha testing on.
void drawHighlightBar(float x0, float y0, float x1, float y1, Colour colour, float z) {
    setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    setRenderState(RenderState::DestBlend, kBlendOne);
    disableFeature(5);
    bindTexture(textState.highlightTexture);
    drawSpriteRect(x0, y0, x1, y1, UvRect{}, colour, z);
    setBlendMode(0);
    enableFeature(5);
}

}  // namespace

void drawText(float x, float y, float size, const char* text, bool centred) {
    if (centred) {
        drawTextCentred(x, y, size, text);
        return;
    }
    textState.pen = {x, y, kTextDepth};
    textState.textSize = size;
    textState.penOffset = 0.0f;
    const Font* font = currentFont();
    if (font == nullptr || text == nullptr) {
        return;
    }
    bindTexture(font->texture);
    GlyphDraw d{font, textState.pen, size, textState.textColour};
    layoutTextLeft(*font, text, size, drawPlacedGlyph, &d);
}

void drawTextCentred(float x, float y, float size, const char* text) {
    textState.pen = {x, y, kTextDepth};
    textState.textSize = size;
    const Font* font = currentFont();
    if (font == nullptr || text == nullptr) {
        return;
    }
    bindTexture(font->texture);
    GlyphDraw d{font, textState.pen, size, textState.textColour};
    layoutTextCentred(*font, text, size, drawPlacedGlyph, &d);
}

void drawTextHighlighted(float x, float y, float size, Colour colour, const char* text,
                         bool centred) {
    float w = textWidth(text, size);
    if (centred) {
        x -= w / 2.0f - size / 2.0f;
    }
    drawText(x, y, size, text, false);
    float left = x + 0.2f * size - 3.0f * size;
    float right = x + 0.2f * size + w + size;
    drawHighlightBar(left, y + 5.0f + size, right, y + 5.0f - size, colour, kHighlightDepth);
}

void drawHighlightBox(float x0, float y0, float x1, float y1, Colour colour) {
    drawHighlightBar(x0, y0, x1, y1, colour, kHighlightBoxDepth);
}

void drawGlyph(char c, float x, float y, float angleDegrees, float size, Colour colour) {
    const Font* font = currentFont();
    if (font == nullptr) {
        return;
    }
    bindTexture(font->texture);
    submitGlyph(*font, static_cast<uint8_t>(c), x, y, kGlyphDepth, size, angleDegrees, colour);
}

}  // namespace corsavel
