#include "gfx/panel.h"

#include "gfx/draw_helpers.h"
#include "gfx/gui_sprites.h"
#include "gfx/texture.h"
#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr float kPanelDepth = 35.0f;
constexpr float kBorderWidth = 50.0f;
// Panels at most this big in either direction skip the soft border and the
// edge ornaments.
constexpr float kOrnamentMinimum = 192.0f;
constexpr int kCornerCells[4] = {0, 1, 2, 3};
constexpr int kHorizontalStrip = 4;
constexpr int kVerticalStrip = 6;

struct PanelTextures {
    const TextureEntry* fill = nullptr;
    const TextureEntry* border = nullptr;
    const TextureEntry* button = nullptr;
    const TextureEntry* glow = nullptr;
};
PanelTextures panelTextures;

// The colour's own alpha scaled by alpha / 255.
Colour fadedBy(Colour c, float alpha) {
    return withAlpha(c, static_cast<float>(c >> 24) * alpha / 255.0f);
}

// A strip cell of the atlas repeated along one edge, the last piece cut so
// nothing reaches past the end.
void drawStripAlong(int cell, float x0, float y0, float x1, float y1, bool horizontal,
                    Colour colour) {
    const UvRect full = guiCellUv(cell);
    const float length = horizontal ? x1 - x0 : y0 - y1;
    for (float done = 0.0f; done < length; done += kGuiCellUnits) {
        const float piece = length - done < kGuiCellUnits ? length - done : kGuiCellUnits;
        const float k = piece / kGuiCellUnits;
        UvRect uv = full;
        if (horizontal) {
            uv.uMax = full.uMin + (full.uMax - full.uMin) * k;
            const float cy = (y0 + y1) * 0.5f;
            drawSpriteRect(x0 + done, cy + kGuiCellUnits * 0.5f, x0 + done + piece,
                           cy - kGuiCellUnits * 0.5f, uv, colour, kPanelDepth);
        } else {
            uv.vMax = full.vMin + (full.vMax - full.vMin) * k;
            const float cx = (x0 + x1) * 0.5f;
            drawSpriteRect(cx - kGuiCellUnits * 0.5f, y0 - done, cx + kGuiCellUnits * 0.5f,
                           y0 - done - piece, uv, colour, kPanelDepth);
        }
    }
}

void drawSoftBorder(float left, float top, float right, float bottom, float alpha) {
    if (panelTextures.border == nullptr) {
        return;
    }
    const Colour grey = fadedBy(makeColour(255, 150, 150, 150), alpha);
    const float h = kBorderWidth * 0.5f;
    additiveBlend();
    bindTexture(panelTextures.border);
    // The glow texture runs along v: vertical edges use it as it is, the
    // horizontal ones turn it a quarter.
    drawSpriteRect(left - h, top + h, left + h, bottom - h, UvRect{}, grey, kPanelDepth);
    drawSpriteRect(right - h, top + h, right + h, bottom - h, UvRect{}, grey, kPanelDepth);
    const float cx = (left + right) * 0.5f;
    const float w = right - left + kBorderWidth;
    drawSpriteRotated(cx, top, cx, top, 90.0f, kBorderWidth, w, UvRect{}, grey, kPanelDepth);
    drawSpriteRotated(cx, bottom, cx, bottom, 90.0f, kBorderWidth, w, UvRect{}, grey, kPanelDepth);
    normalBlend();
}

}  // namespace

void loadPanelTextures(bool fatal) {
    panelTextures.fill = loadTexture("white.jpg", fatal);
    panelTextures.border = loadTexture("flare.jpg", fatal);
    panelTextures.button = loadTexture("button.tga", fatal);
    panelTextures.glow = loadTexture("podsvet.jpg", fatal);
    setMenuTexture(loadTexture("menutex.tga", fatal));
}

void drawPanel(float left, float top, float w, float h, float alpha) {
    const float right = left + w;
    const float bottom = top - h;
    const bool large = w > kOrnamentMinimum && h > kOrnamentMinimum;
    if (large) {
        drawSoftBorder(left, top, right, bottom, alpha);
    }
    normalBlend();
    if (panelTextures.fill != nullptr) {
        setStageState(StageState::AddressU, kAddressMirror);
        setStageState(StageState::AddressV, kAddressMirror);
        bindTexture(panelTextures.fill);
        drawSpriteRect(left, top, right, bottom, UvRect{0.0f, 0.0f, w / 128.0f, h / 208.0f},
                       fadedBy(makeColour(200, 55, 15, 0), alpha), kPanelDepth);
        setStageState(StageState::AddressU, kAddressWrap);
        setStageState(StageState::AddressV, kAddressWrap);
    }
    const TextureEntry* atlas = menuTexture();
    if (atlas == nullptr) {
        return;
    }
    const Colour white = fadedBy(0xFFFFFFFFu, alpha);
    bindTexture(atlas);
    drawStripAlong(kHorizontalStrip, left, top, right, top, true, white);
    drawStripAlong(kHorizontalStrip, left, bottom, right, bottom, true, white);
    drawStripAlong(kVerticalStrip, left, top, left, bottom, false, white);
    drawStripAlong(kVerticalStrip, right, top, right, bottom, false, white);
    const float cornerX[4] = {left, right, left, right};
    const float cornerY[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        drawGuiSprite(kCornerCells[i], cornerX[i], cornerY[i], white, 1.0f, kPanelDepth);
    }
    const float cx = (left + right) * 0.5f;
    const float cy = (top + bottom) * 0.5f;
    if (w > kOrnamentMinimum) {
        drawGuiSprite(10, cx, top, white, 1.0f, kPanelDepth);
        drawGuiSprite(11, cx, bottom, white, 1.0f, kPanelDepth);
    }
    if (h > kOrnamentMinimum) {
        drawGuiSprite(12, left, cy, white, 1.0f, kPanelDepth);
        drawGuiSprite(13, right, cy, white, 1.0f, kPanelDepth);
    }
}

void drawButtonImage(float x, float y, float w, float h, Colour colour) {
    if (panelTextures.button == nullptr) {
        return;
    }
    normalBlend();
    bindTexture(panelTextures.button);
    const float left = x - w * 0.5f;
    const float right = x + w * 0.5f;
    const float top = y + h * 0.5f;
    const float bottom = y - h * 0.5f;
    // Caps never overlap on a button narrower than twice its height.
    const float cap = h < w * 0.5f ? h : w * 0.5f;
    drawSpriteRect(left, top, left + cap, bottom, UvRect{0.0f, 0.0f, 0.5f, 1.0f}, colour, 0.0f);
    if (right - cap > left + cap) {
        drawSpriteRect(left + cap, top, right - cap, bottom, UvRect{0.5f, 0.0f, 0.5f, 1.0f}, colour,
                       0.0f);
    }
    drawSpriteRect(right - cap, top, right, bottom, UvRect{0.5f, 0.0f, 1.0f, 1.0f}, colour, 0.0f);
}

void drawGlowBox(float x0, float y0, float x1, float y1, Colour colour) {
    if (panelTextures.glow == nullptr) {
        return;
    }
    additiveBlend();
    setRenderState(RenderState::AlphaTestEnable, 0);
    bindTexture(panelTextures.glow);
    drawSpriteRect(x0, y0, x1, y1, UvRect{}, colour, 0.0f);
    normalBlend();
    setRenderState(RenderState::AlphaTestEnable, 1);
}

}  // namespace corsavel
