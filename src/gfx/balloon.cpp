#include "gfx/balloon.h"

#include <cmath>

#include "gfx/draw_helpers.h"
#include "gfx/font.h"
#include "gfx/panel.h"
#include "gfx/texture.h"
#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {

BalloonState balloon;

namespace {

constexpr float kSideMargin = 32.0f;  // text to body, both sides together
constexpr float kTextPad = 16.0f;     // above and below the text
constexpr float kMaxCorner = 32.0f;   // the image's corners are 32 of its 128 texels
constexpr float kCornerUv = 0.25f;
constexpr float kScreenEdge = 395.0f;
constexpr float kScreenTop = 295.0f;
constexpr float kTailHalfBase = 12.0f;
constexpr float kTailReach = 10.0f;  // the tail stops this short of the target
constexpr float kBlockingMinWidth = kBalloonButtonWidth + 32.0f;
constexpr float kLabelSize = 12.0f;
constexpr float kIconSize = 40.0f;
constexpr Colour kInk = makeColour(255, 70, 40, 12);

const TextureEntry* balloonTexture = nullptr;

float advanceOf(const Font* font, char c, float size) {
    return font != nullptr ? font->advance[static_cast<uint8_t>(c)] * size : 0.0f;
}

// Widest line of a wrapped text at a size (CR, LF and CR LF end lines).
float widestLine(const Font* font, const char* text, float size) {
    float widest = 0.0f;
    float line = 0.0f;
    for (const char* p = text; *p != 0; ++p) {
        if (*p == '\r' || *p == '\n') {
            widest = line > widest ? line : widest;
            line = 0.0f;
            if (*p == '\r' && p[1] == '\n') {
                ++p;
            }
            continue;
        }
        line += advanceOf(font, *p, size);
    }
    return line > widest ? line : widest;
}

float clampf(float v, float lo, float hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// A point of the full-size layout as drawn during the grow-in.
Vec2 grown(const BalloonLayout& l, float x, float y) {
    return Vec2{l.target.x + (x - l.target.x) * l.grow, l.target.y + (y - l.target.y) * l.grow};
}

void drawSlice(const BalloonLayout& l, float x0, float y0, float x1, float y1, const UvRect& uv) {
    if (x1 - x0 <= 0.0f || y0 - y1 <= 0.0f) {
        return;
    }
    const Vec2 a = grown(l, x0, y0);
    const Vec2 b = grown(l, x1, y1);
    drawSpriteRect(a.x, a.y, b.x, b.y, uv, 0xFFFFFFFFu, 0.0f);
}

// The body in nine slices, so the rounded corners keep their shape.
void drawBody(const BalloonLayout& l) {
    const Rect& r = l.body;
    const float w = r.right - r.left;
    const float h = r.top - r.bottom;
    float c = kMaxCorner;
    c = c > w * 0.5f ? w * 0.5f : c;
    c = c > h * 0.5f ? h * 0.5f : c;
    const float xs[4] = {r.left, r.left + c, r.right - c, r.right};
    const float ys[4] = {r.top, r.top - c, r.bottom + c, r.bottom};
    const float us[4] = {0.0f, kCornerUv, 1.0f - kCornerUv, 1.0f};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            drawSlice(l, xs[col], ys[row], xs[col + 1], ys[row + 1],
                      UvRect{us[col], us[row], us[col + 1], us[row + 1]});
        }
    }
}

// One triangle of the balloon image: from the base's two ends to the tip.
void drawTriangle(Vec2 a, Vec2 b, Vec2 tip, Uv uv) {
    const Vec3 p0{tip.x, tip.y, 0.0f};
    const Vec3 p1{a.x, a.y, 0.0f};
    const Vec3 p2{b.x, b.y, 0.0f};
    drawQuadUV(p0, p1, p2, p0, uv, uv, uv, uv, 0xFFFFFFFFu);
}

// The tail: a gilded outline under the body, then (fill) the parchment
// reaching into the body so the rim does not cut it off.
void drawTail(const BalloonLayout& l, bool fill) {
    const Rect& r = l.body;
    const float edge = l.toRight ? r.left : r.right;
    const float inward = l.toRight ? 1.0f : -1.0f;
    const float baseY = clampf(l.target.y, r.bottom + 22.0f, r.top - 22.0f);
    Vec2 dir{l.target.x - edge, l.target.y - baseY};
    const float len = length(dir);
    dir = len > 0.0f ? dir * (1.0f / len) : Vec2{-inward, 0.0f};
    const Vec2 tip = l.target - dir * kTailReach;
    const Uv rim{0.027f, 0.5f};
    const Uv paper{0.5f, 0.5f};
    if (!fill) {
        drawTriangle(grown(l, edge + inward * 2.0f, baseY + kTailHalfBase + 3.0f),
                     grown(l, edge + inward * 2.0f, baseY - kTailHalfBase - 3.0f),
                     grown(l, tip.x + dir.x * 3.0f, tip.y + dir.y * 3.0f), rim);
        return;
    }
    drawTriangle(grown(l, edge + inward * 6.0f, baseY + kTailHalfBase),
                 grown(l, edge + inward * 6.0f, baseY - kTailHalfBase), grown(l, tip.x, tip.y),
                 paper);
}

void drawButton(const BalloonLayout& l, const char* label, Vec2 pointer) {
    const Rect& b = l.button;
    const Vec2 centre = grown(l, (b.left + b.right) * 0.5f, (b.top + b.bottom) * 0.5f);
    const float g = l.grow;
    const bool lit = l.grow >= 1.0f && balloonButtonContains(l, pointer.x, pointer.y);
    drawButtonImage(centre.x, centre.y, kBalloonButtonWidth * g, kBalloonButtonHeight * g,
                    0xFFFFFFFFu);
    if (lit) {
        drawGlowBox(centre.x - kBalloonButtonWidth * 0.45f, centre.y + 16.0f,
                    centre.x + kBalloonButtonWidth * 0.45f, centre.y - 16.0f,
                    makeColour(120, 255, 220, 140));
    }
    if (label != nullptr && label[0] != 0) {
        const float size = kLabelSize * g;
        setTextColourARGB(lit ? makeColour(255, 255, 240, 80) : 0xFFFFFFFFu);
        drawTextCentred(centre.x, centre.y - 0.15f * size, size, label);
    }
}

}  // namespace

void layoutBalloon(const char* text, Vec2 target, float width, bool blocking, float ageMs,
                   BalloonLayout& out) {
    const Font* font = currentFont();
    const float size = kBalloonTextSize;
    out.target = target;
    out.blocking = blocking;
    out.text[0] = 0;
    float textHeight = kLineHeight * size;
    if (font != nullptr && text != nullptr) {
        textHeight =
            wrapTextInto(*font, width - kSideMargin, text, size, out.text, kBalloonTextCapacity);
    }
    out.textHeight = textHeight;
    out.textWidth = widestLine(font, out.text, size);

    float w = out.textWidth + 2.0f * kSideMargin;
    w = w > width ? width : w;
    float textArea = textHeight + 2.0f * kTextPad;
    textArea = textArea < kBalloonMinHeight ? kBalloonMinHeight : textArea;
    float h = textArea;
    if (blocking) {
        const float widest = width > kBlockingMinWidth ? width : kBlockingMinWidth;
        w = w < kBlockingMinWidth ? kBlockingMinWidth : (w > widest ? widest : w);
        h += kBalloonButtonStrip;
    }

    // Beside the target, on the side toward the screen centre.
    const float gap = (1.3f + 0.1f * std::sin(0.01f * ageMs)) * 64.0f;
    out.toRight = target.x <= 0.0f;
    float left = out.toRight ? target.x + gap : target.x - gap - w;
    left = clampf(left, -kScreenEdge, kScreenEdge - w);
    float top = target.y + h * 0.5f;
    top = clampf(top, -kScreenTop + h, kScreenTop);
    out.body = Rect{left, top, left + w, top - h};

    const float textTop = top - (textArea - textHeight) * 0.5f;
    const float blockLeft = left + (w - out.textWidth) * 0.5f;
    out.pen = Vec2{blockLeft + advanceOf(font, out.text[0], size) * 0.5f,
                   textTop - kGlyphHeightRatio * size};
    if (blocking) {
        const float cx = left + w * 0.5f;
        const float cy = top - h + 12.0f + kBalloonButtonHeight * 0.5f;
        out.button = Rect{cx - kBalloonButtonWidth * 0.5f, cy + kBalloonButtonHeight * 0.5f,
                          cx + kBalloonButtonWidth * 0.5f, cy - kBalloonButtonHeight * 0.5f};
    } else {
        out.button = Rect{};
    }
    out.grow = clampf(ageMs / kBalloonGrowMs, 0.0f, 1.0f);
}

bool balloonButtonContains(const BalloonLayout& layout, float x, float y) {
    const Rect& b = layout.button;
    return layout.blocking && x >= b.left && x <= b.right && y <= b.top && y >= b.bottom;
}

void loadBalloonTextures(bool fatal) {
    balloonTexture = loadTexture("baloon.tga", fatal);
    loadPanelTextures(fatal);
}

void requestBalloon(const char* text, Vec2 target, float width, bool blocking,
                    const char* buttonLabel, const TextureEntry* icon) {
    balloon.requested = true;
    balloon.text = text;
    balloon.target = target;
    balloon.width = width;
    balloon.blocking = blocking;
    balloon.buttonLabel = buttonLabel;
    balloon.icon = icon;
}

void balloonTick(float stepMs) {
    BalloonState& b = balloon;
    if (!b.requested || b.text == nullptr) {
        b.requested = false;
        b.visible = false;
        b.ageMs = 0.0f;
        return;
    }
    b.requested = false;
    const bool sameBalloon = b.visible && b.shownText == b.text && b.shownTarget.x == b.target.x &&
                             b.shownTarget.y == b.target.y;
    b.ageMs = sameBalloon ? b.ageMs + stepMs : 0.0f;
    b.visible = true;
    b.shownText = b.text;
    b.shownTarget = b.target;
    b.shownLabel = b.buttonLabel;
    b.shownIcon = b.icon;
    layoutBalloon(b.text, b.target, b.width, b.blocking, b.ageMs, b.layout);
}

void drawBalloon(Vec2 pointer) {
    const BalloonState& b = balloon;
    if (!b.visible) {
        return;
    }
    const BalloonLayout& l = b.layout;
    normalBlend();
    if (balloonTexture != nullptr) {
        bindTexture(balloonTexture);
        drawTail(l, false);
        drawBody(l);
        drawTail(l, true);
    }
    if (b.shownIcon != nullptr) {
        const Vec2 at = grown(l, l.body.left + 6.0f, l.body.top - 6.0f);
        bindTexture(b.shownIcon);
        drawSprite(at.x, at.y, kIconSize * l.grow, kIconSize * l.grow, UvRect{}, 0xFFFFFFFFu, 0.0f);
    }
    const Vec2 pen = grown(l, l.pen.x, l.pen.y);
    setTextColourARGB(kInk);
    drawText(pen.x, pen.y, kBalloonTextSize * l.grow, l.text, false);
    if (l.blocking) {
        drawButton(l, b.shownLabel, pointer);
    }
    setTextColourARGB(0xFFFFFFFFu);
}

bool balloonButtonHit(float x, float y) {
    return balloon.visible && balloonButtonContains(balloon.layout, x, y);
}

float balloonAgeFor(const char* text) {
    return balloon.visible && balloon.shownText == text ? balloon.ageMs : 0.0f;
}

}  // namespace corsavel
