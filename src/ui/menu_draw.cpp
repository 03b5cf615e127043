// The menu pages' drawing primitives: panels, pill buttons, item lists,
// sliders, check boxes and the pulsing focus frame, each registering what
// can be hit in the frame's lists as it draws.

#include "ui/menu_draw.h"

#include <cmath>
#include <cstring>

#include "gfx/font.h"
#include "gfx/gui_sprites.h"
#include "gfx/panel.h"
#include "platform/frame_state.h"
#include "platform/math_types.h"
#include "platform/primitives.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr int kTrackCell = 4;
constexpr int kMinusCell = 14;
constexpr int kPlusCell = 15;
constexpr int kKnobCell = 19;
constexpr int kCheckedCell = 20;
constexpr int kUncheckedCell = 21;

int32_t lastItem(int32_t first, int32_t end) {
    const int32_t count = menu.currentPage != nullptr ? menu.currentPage->itemCount : 0;
    int32_t e = end < 0 || end > count ? count : end;
    return e < first ? first : e;
}

MenuButton* addButton(float left, float top, float right, float bottom) {
    if (menu.buttonCount >= kMaxMenuButtons) {
        return nullptr;
    }
    MenuButton& b = menu.buttons[menu.buttonCount++];
    b = MenuButton{left, top, right, bottom};
    return &b;
}

// The glowing highlighted text of the selected line or button.
void drawHighlighted(float x, float y, float size, const char* text, bool centred) {
    setMenuTextColour(menu.highlightColour);
    drawTextHighlighted(x, y, size, menu.glowColour, text, centred);
}

}  // namespace

void setMenuTextColour(uint32_t argb) {
    setTextColour(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                  static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24));
}

const char* itemCaption(int32_t n) {
    const MenuPage* p = menu.currentPage;
    if (p == nullptr || n < 0 || n >= p->itemCount || p->items[n] == nullptr) {
        return "";
    }
    return p->items[n]->text;
}

float widestItemCaption(float s, int32_t first, int32_t end) {
    float widest = -1.0f;
    const int32_t last = lastItem(first, end);
    for (int32_t i = first < 0 ? 0 : first; i < last; ++i) {
        const float w = textWidth(itemCaption(i), s);
        if (w > widest) {
            widest = w;
        }
    }
    return widest;
}

void beginFold() {
    Matrix4 m;
    const float f = menu.transitionFactor;
    m.m[1][1] = 1.0f - f * f;
    setWorld(&m);
}

void endFold() {
    setWorld(nullptr);
}

MenuWidget* addWidget(WidgetKind kind, float left, float top, float right, float bottom) {
    if (menu.widgetCount >= kMaxMenuWidgets) {
        return nullptr;
    }
    MenuWidget& w = menu.widgets[menu.widgetCount++];
    // The slot keeps its value and flag from the last frame.
    w.left = left;
    w.top = top;
    w.right = right;
    w.bottom = bottom;
    w.kind = kind;
    return &w;
}

void drawMenuPanel(float left, float top, float w, float h) {
    drawPanel(left, top, w, h);
}

void drawButton(float x, float y, float w, float h, float textSize, const char* label) {
    const int32_t index = menu.buttonCount;
    drawButtonImage(x, y, w, h, kWhite);
    const char* text = label != nullptr ? label : itemCaption(index);
    if (index == menu.selectedItem) {
        drawHighlighted(x, y - 0.15f * textSize, textSize, text, true);
    } else {
        drawTextCentred(x, y - 0.15f * textSize, textSize, text);
    }
    addButton(x - w / 2.0f, y + h / 2.0f, x + w / 2.0f, y - h / 2.0f);
    setTextColour(255, 255, 255, 255);
}

void drawSlider(float leftX, float leftY, float rightX, float rightY, int32_t steps,
                int32_t* bound) {
    const float midY = (leftY + rightY) / 2.0f;
    MenuWidget* w = addWidget(WidgetKind::Slider, leftX, midY + 15.0f, rightX, midY - 15.0f);
    if (w == nullptr) {
        return;
    }
    w->steps = static_cast<int16_t>(steps < 1 ? 1 : (steps > 32767 ? 32767 : steps));
    if (bound != nullptr) {
        if (menu.entering) {
            int32_t v = *bound;
            v = v < 0 ? 0 : (v > w->steps - 1 ? w->steps - 1 : v);
            w->value = static_cast<int16_t>(v);
        } else {
            if (w->value < 0 || w->value > w->steps - 1) {
                w->value = static_cast<int16_t>(w->value < 0 ? 0 : w->steps - 1);
            }
            *bound = w->value;
        }
    }
    const TextureEntry* atlas = menuTexture();
    if (atlas == nullptr) {
        return;
    }
    bindTexture(atlas);
    drawSpriteRect(leftX - 64.0f, midY + 16.0f, rightX + 64.0f, midY - 16.0f, guiCellUv(kTrackCell),
                   kWhite, 10.0f);
    drawGuiSprite(kMinusCell, leftX - 44.8f, leftY, kWhite, 0.7f);
    drawGuiSprite(kPlusCell, rightX + 44.8f, rightY, kWhite, 0.7f);
    const float t = w->steps > 1 ? static_cast<float>(w->value) / (w->steps - 1) : 0.0f;
    drawGuiSprite(kKnobCell, leftX + (rightX - leftX) * t, leftY + (rightY - leftY) * t, kWhite,
                  0.7f);
}

void drawCheckBox(float x, float y, uint8_t* bound, const char* label, float labelSize) {
    MenuWidget* w = addWidget(WidgetKind::CheckBox, x - 32.0f, y + 32.0f, x + 32.0f, y - 32.0f);
    if (w == nullptr) {
        return;
    }
    if (bound != nullptr) {
        if (menu.entering) {
            w->flag = *bound != 0 ? 1 : 0;
        } else {
            *bound = w->flag != 0 ? 1 : 0;
        }
    }
    if (const TextureEntry* atlas = menuTexture()) {
        bindTexture(atlas);
        drawGuiSprite(w->flag != 0 ? kCheckedCell : kUncheckedCell, x, y, kWhite);
    }
    if (label != nullptr) {
        drawText(x + 47.0f, y, labelSize, label, false);
    }
}

void drawItemList(float x, float y, float s, bool centred, int32_t first, int32_t end) {
    const int32_t from = first < 0 ? 0 : first;
    const int32_t last = lastItem(from, end);
    const int32_t n = last - from;
    const float height = 2.0f * s * n;
    const float widest = widestItemCaption(s, from, last);
    if (!centred) {
        x -= widest / 2.0f - s;
    }
    float lineY = height / 2.0f - s + y;
    const float r = centred ? widest / 2.0f : 0.0f;
    for (int32_t i = from; i < last; ++i) {
        const char* caption = itemCaption(i);
        setTextColour(255, 255, 255, 255);
        if (i == menu.selectedItem) {
            drawHighlighted(x, lineY, s, caption, centred);
        } else {
            drawText(x, lineY, s, caption, centred);
        }
        addButton(x - s - r, lineY + 1.2f * s, x + widest - r, lineY - 0.8f * s);
        lineY -= 2.0f * s;
    }
    setTextColour(255, 255, 255, 255);
}

void drawItemPanel(float x, float y, float s, bool centred, int32_t first, int32_t end) {
    const int32_t from = first < 0 ? 0 : first;
    const int32_t n = lastItem(from, end) - from;
    const float w = widestItemCaption(s, from, end) + 64.0f;
    const float h = 2.0f * s * n + 64.0f;
    drawMenuPanel(x - w / 2.0f, y + h / 2.0f, w, h);
    drawItemList(x, y, s, centred, from, end);
}

void drawFocusFrame(bool small) {
    if (menu.widgetCount <= 0 || menu.focusedWidget < 0 || menu.focusedWidget >= menu.widgetCount) {
        return;
    }
    menu.focusClockMs += app.frameStepMs;
    const float s = std::sin(menu.focusClockMs * 0.008f) * 0.5f + 0.5f;
    const uint32_t colour = makeColour(50 + static_cast<int>(30.0f * s), 255, 200, 100);
    const MenuWidget& w = menu.widgets[menu.focusedWidget];
    const float dx = small ? 10.0f : 32.0f;
    const float dy = small ? 10.0f : 16.0f;
    drawHighlightBox(w.left - dx, w.top + dy, w.right + dx, w.bottom - dy, colour);
}

void drawGenericPage() {
    const MenuPage* page = menu.currentPage;
    if (page == nullptr) {
        return;
    }
    const float f = menu.transitionFactor;
    if (std::strcmp(page->name, "gameplay") == 0) {
        drawItemPanel(90.0f, 500.0f * f * f, 18.0f, true);
    } else if (std::strcmp(page->name, "replayloss") == 0) {
        drawItemPanel(0.0f, 500.0f * f * f, 18.0f, true);
    } else if (page->itemCount > 0) {
        selectFont(0);
        drawItemPanel(230.0f, menu.slideOffset + 150.0f, 18.0f, true);
    }
}

void drawMenu() {
    menu.buttonCount = 0;
    menu.widgetCount = 0;
    const MenuPage* page = menu.currentPage;
    if (page == nullptr) {
        return;
    }
    if (page->drawHook != nullptr) {
        page->drawHook();
    } else {
        drawGenericPage();
    }
    setWorld(nullptr);
    setTextColour(255, 255, 255, 255);
}

}  // namespace corsavel
