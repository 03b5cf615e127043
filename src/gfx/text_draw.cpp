#include <cmath>

#include "gfx/font.h"

namespace corsavel {

namespace {

struct GlyphVertex {
    float x, y, z;
    Colour colour;
    float u, v;
};

struct GlyphDraw {
    const Font* font;
    Vec3 pen;
    float size;
};

// Corners in strip order: top-left, top-right, bottom-left, bottom-right.
void buildGlyphQuad(const Font& font, uint8_t c, float x, float y, float z, float halfW,
                    float halfH, float angleDegrees, Colour colour, GlyphVertex out[4]) {
    float uv[4];
    glyphCellUV(font, c, uv);
    const float dx[4] = {-halfW, halfW, -halfW, halfW};
    const float dy[4] = {halfH, halfH, -halfH, -halfH};
    const float us[4] = {uv[0], uv[2], uv[0], uv[2]};
    const float vs[4] = {uv[1], uv[1], uv[3], uv[3]};
    float a = angleDegrees * 0.017453292f;
    float ca = std::cos(a);
    float sa = std::sin(a);
    for (int k = 0; k < 4; ++k) {
        out[k] = {
            x + dx[k] * ca - dy[k] * sa, y + dx[k] * sa + dy[k] * ca, z, colour, us[k], vs[k]};
    }
}

void submitGlyph(const GlyphVertex quad[4]) {
    (void)quad;
}

void drawPlacedGlyph(void* context, uint8_t c, float x, float y) {
    auto* d = static_cast<GlyphDraw*>(context);
    GlyphVertex quad[4];
    float halfW = d->size * textState.textScale;
    buildGlyphQuad(*d->font, c, d->pen.x + x, d->pen.y + y, d->pen.z, halfW,
                   kGlyphHeightRatio * halfW, 0.0f, textState.textColour, quad);
    submitGlyph(quad);
}

}  // namespace

void drawText(float x, float y, float size, const char* text, bool centred) {
    if (centred) {
        drawTextCentred(x, y, size, text);
        return;
    }
    const Font* font = currentFont();
    textState.pen = {x, y, kTextDepth};
    textState.textSize = size;
    textState.penOffset = 0.0f;
    if (font == nullptr || text == nullptr) {
        return;
    }
    GlyphDraw d{font, textState.pen, size};
    layoutTextLeft(*font, text, size, drawPlacedGlyph, &d);
}

void drawTextCentred(float x, float y, float size, const char* text) {
    const Font* font = currentFont();
    textState.pen = {x, y, kTextDepth};
    textState.textSize = size;
    if (font == nullptr || text == nullptr) {
        return;
    }
    GlyphDraw d{font, textState.pen, size};
    layoutTextCentred(*font, text, size, drawPlacedGlyph, &d);
}

void drawTextHighlighted(float x, float y, float size, Colour colour, const char* text,
                         bool centred) {
    float w = textWidth(text, size);
    if (centred) {
        x -= w / 2.0f - size / 2.0f;
    }
    drawText(x, y, size, text, false);
    (void)colour;
}

void drawHighlightBox(float x0, float y0, float x1, float y1, Colour colour) {
    (void)x0;
    (void)y0;
    (void)x1;
    (void)y1;
    (void)colour;
}

void drawGlyph(char c, float x, float y, float angleDegrees, float size, Colour colour) {
    const Font* font = currentFont();
    if (font == nullptr) {
        return;
    }
    GlyphVertex quad[4];
    float halfW = size * textState.textScale;
    buildGlyphQuad(*font, static_cast<uint8_t>(c), x, y, kGlyphDepth, halfW,
                   kGlyphHeightRatio * halfW, angleDegrees, colour, quad);
    submitGlyph(quad);
}

}  // namespace corsavel
