// The pages reached from the menu screen: main, the profile list, the name
// entry, options, hiscores, credits and the message boxes.

#include "ui/menu_pages.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "game/game_state.h"
#include "game/progress.h"
#include "gfx/balloon.h"
#include "gfx/font.h"
#include "gfx/gui_sprites.h"
#include "gfx/panel.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "platform/primitives.h"
#include "platform/render_device.h"
#include "platform/settings_store.h"
#include "resources/text_table.h"
#include "ui/menu.h"
#include "ui/menu_draw.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"

namespace corsavel {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

}  // namespace

void drawMainPage() {
    const MenuPage* page = menu.currentPage;
    const int32_t count = page->itemCount;
    selectFont(0);
    const float cx = 240.0f;
    const float cy = menu.slideOffset + 100.0f;
    const float w = widestItemCaption(18.0f) + 64.0f;
    const float h = 36.0f * count + 96.0f;
    drawMenuPanel(cx - w / 2.0f, cy + h / 2.0f, w, h);
    if (const TextureEntry* atlas = menuTexture()) {
        bindTexture(atlas);
        // The divider between the modes and the rest.
        const float y = 1.15f * cy;
        drawSpriteRect(cx - w / 2.0f + 16.0f, y + 16.0f, cx + w / 2.0f - 16.0f, y - 16.0f,
                       guiCellUv(4), kWhite, 10.0f);
    }
    drawItemList(cx, cy + 0.24f * h, 18.0f, true, 0, 2);
    drawItemList(cx, cy - 0.8f * 0.24f * h, 17.0f, true, 2, -1);

    // The greeting, and the link to the profile list.
    const float top = -195.0f - 100.0f * menu.transitionFactor;
    drawMenuPanel(-440.0f, top, 400.0f, 110.0f);
    const Profile* p = currentProfileRecord();
    char greeting[128];
    formatPageText(greeting, sizeof greeting, "hallo", "s", p != nullptr ? p->name : "");
    setTextColour(240, 233, 0, 255);
    drawTextCentred(-240.0f, top - 50.0f, 15.0f, greeting);
    const char* link = pageText("ifnotyou");
    const float lw = textWidth(link, 12.0f);
    MenuWidget* widget = addWidget(WidgetKind::ProfileLink, -240.0f - lw / 2.0f, top - 70.0f,
                                   -240.0f + lw / 2.0f, top - 88.0f);
    if (widget != nullptr && widget->flag != 0) {
        setTextColour(255, 255, 255, 255);
    } else {
        setTextColour(100, 250, 100, 255);
    }
    drawTextCentred(-240.0f, top - 79.0f, 12.0f, link);
    if (widget != nullptr) {
        widget->flag = 0;
    }
    setTextColour(255, 255, 255, 255);

    // The tool tip of the first four buttons while the pointer rests on one.
    const int32_t sel = menu.selectedItem;
    if (menu.pointerOnSelectedButton && sel >= 0 && sel < 4 && sel < menu.buttonCount &&
        !slideRunning()) {
        const int32_t first = textIndex("adventuretip");
        const char* tip = first >= 0 ? textAt(first + sel) : nullptr;
        if (tip != nullptr) {
            const MenuButton& b = menu.buttons[sel];
            requestBalloon(tip, Vec2{170.0f, (b.top + b.bottom) / 2.0f}, 300.0f, false);
        }
    }
    balloonTick(app.frameStepMs);
    float px = 0.0f;
    float py = 0.0f;
    pointerPosition(&px, &py);
    drawBalloon(Vec2{px, py});
}

void drawProfilesPage() {
    const float off = menu.slideOffset;
    const int32_t count = profileTable.count;
    selectFont(0);
    drawMenuPanel(-325.0f, off + 280.0f, 370.0f, 30.0f * count + 115.0f);
    setTextColour(0, 255, 255, 255);
    drawTextCentred(-140.0f, off + 220.0f, 18.0f, pageText("curusers"));
    if (menu.focusedWidget < 0 || menu.focusedWidget >= count) {
        menu.focusedWidget = 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        const char* name = profileTable.records[i].name;
        const float y = off + 180.0f - 30.0f * i;
        if (i == menu.focusedWidget) {
            setTextColour(255, 255, 55, 255);
        } else {
            setTextColour(255, 255, 255, 255);
        }
        drawTextCentred(-140.0f, y, 14.0f, name);
        const float w = textWidth(name, 14.0f);
        addWidget(WidgetKind::ProfileEntry, -140.0f - w / 2.0f, y + 18.0f, -140.0f + w / 2.0f,
                  y - 18.0f);
    }
    setTextColour(255, 255, 255, 255);
    drawFocusFrame(false);
    drawItemPanel(230.0f, off + 150.0f, 18.0f, true);
}

void drawNameEntryPage() {
    beginFold();
    selectFont(0);
    menu.widgetCount = 0;
    drawMenuPanel(-200.0f, 140.0f, 400.0f, 280.0f);
    setTextColour(255, 255, 255, 255);
    drawTextCentred(0.0f, 90.0f, 15.0f, pageText("entername"));
    // The field: a dark box with the name centred in it and a blinking caret.
    drawButtonImage(0.0f, 20.0f, 330.0f, 64.0f, 0xFF606060u);
    const float width = textWidth(menu.editBuffer, 17.0f);
    drawText(0.0f, 20.0f, 17.0f, menu.editBuffer, true);
    char head[kEditBufferSize];
    const int32_t cursor = menu.editCursor < 0 ? 0 : menu.editCursor;
    std::snprintf(head, sizeof head, "%.*s", static_cast<int>(cursor), menu.editBuffer);
    menu.caretClockMs += app.frameStepMs;
    const int alpha =
        static_cast<int>((std::sin(menu.caretClockMs * 0.01f) * 0.5f + 0.5f) * 255.0f);
    setTextColour(255, 255, 55, alpha);
    const float caretX = -width / 2.0f + textWidth(head, 17.0f);
    drawText(caretX, 20.0f, 17.0f, "|", true);
    setTextColour(255, 255, 255, 255);
    if (profileTable.count > 0) {
        drawButton(-90.0f, -80.0f, 150.0f, 64.0f, 18.0f);
        drawButton(90.0f, -80.0f, 150.0f, 64.0f, 18.0f);
    } else {
        drawButton(0.0f, -80.0f, 150.0f, 64.0f, 18.0f);
    }
    endFold();
}

void drawOptionsPage() {
    beginFold();
    selectFont(0);
    drawMenuPanel(-190.0f, 260.0f, 380.0f, 450.0f);
    setTextColour(255, 255, 155, 255);
    drawTextCentred(0.0f, 205.0f, 17.0f, menu.currentPage->text);
    selectFont(1);
    setTextColour(255, 255, 255, 255);

    drawTextCentred(0.0f, 160.0f, 13.0f, pageText("sfxvolume"));
    const int32_t effectsBefore = audio.effectsVolume;
    // 101 positions: the volumes run 0..100.
    drawSlider(-80.0f, 135.0f, 80.0f, 135.0f, 101, &audio.effectsVolume);
    if (audio.effectsVolume != effectsBefore) {
        playSound("chpok1.ogg");
    }
    drawTextCentred(0.0f, 97.0f, 13.0f, pageText("musicvolume"));
    drawSlider(-80.0f, 72.0f, 80.0f, 72.0f, 101, &audio.musicVolume);

    drawCheckBox(-100.0f, 12.0f, &menu.fullScreenCopy);
    drawText(-60.0f, 12.0f, 12.0f, pageText("fullscreen"), false);
    drawCheckBox(-100.0f, -38.0f, &menu.customCursorCopy);
    if ((menu.customCursorCopy != 0) != settings.customCursor) {
        settings.customCursor = menu.customCursorCopy != 0;
        setCustomCursor(settings.customCursor);
        applyCursorOption(!settings.customCursor);
    }
    drawText(-60.0f, -38.0f, 12.0f, pageText("customcursor"), false);

    drawFocusFrame(false);
    selectFont(0);
    drawButton(-85.0f, -118.0f, 130.0f, 64.0f, 15.0f);
    drawButton(85.0f, -118.0f, 130.0f, 64.0f, 15.0f);
    applyVolumes();
    endFold();
}

void drawHiscorePage() {
    beginFold();
    selectFont(0);
    drawMenuPanel(-235.0f, 225.0f, 470.0f, 450.0f);
    setTextColour(255, 255, 155, 255);
    drawText(-70.0f, 165.0f, 21.0f, menu.currentPage->text, true);
    const int m = session.gameMode == 1 ? 1 : 0;
    setTextColour(255, 255, 255, 255);
    drawText(110.0f, 165.0f, 17.0f, pageText(m == 0 ? "classicmode" : "endlessmode"), true);
    const bool highlightMode = profileMode(activeProfile()) == m;
    for (int i = 0; i < kHiscoreCount; ++i) {
        const HiscoreEntry& e = scoreTables.hiscores[m][i];
        const float y = 115.0f - 25.0f * i;
        char name[sizeof e.name + 1];
        std::snprintf(name, sizeof name, "%.*s", static_cast<int>(sizeof e.name), e.name);
        char score[16];
        std::snprintf(score, sizeof score, "%i", static_cast<int>(e.score));
        if (highlightMode && i == scoreTables.highlight) {
            setMenuTextColour(menu.highlightColour);
        } else {
            setTextColour(255, 255, 255, 255);
        }
        drawText(-164.5f, y, 12.0f, name, false);
        drawText(94.0f, y, 12.0f, score, false);
    }
    setTextColour(255, 255, 255, 255);
    drawButton(0.0f, -165.0f, 170.0f, 64.0f, 19.0f, "OK");
    if (const TextureEntry* atlas = menuTexture()) {
        bindTexture(atlas);
        drawGuiSprite(14, -150.0f, -165.0f, kWhite);
        drawGuiSprite(15, 150.0f, -165.0f, kWhite);
    }
    addWidget(WidgetKind::PrevArrow, -175.0f, -140.0f, -125.0f, -190.0f);
    addWidget(WidgetKind::NextArrow, 125.0f, -140.0f, 175.0f, -190.0f);
    endFold();
}

void drawCreditsPage() {
    menu.widgetCount = 0;
    menu.buttonCount = 0;
    menu.selectedItem = -1;
    selectFont(0);
    const int32_t lines = menu.creditLineCount;
    float c = menu.creditsClockMs * 0.03f - 200.0f;
    if (40.0f * lines - 50.0f > c) {
        menu.creditsClockMs += app.frameStepMs;
        c = menu.creditsClockMs * 0.03f - 200.0f;
    }
    for (int32_t i = 0; i < lines; ++i) {
        const float y = c - 40.0f * i;
        const float d = std::fabs(y);
        float m = 1.0f;
        if (d > 260.0f) {
            continue;
        }
        if (d >= 100.0f) {
            m = (260.0f - d) / 160.0f;
        }
        const char* line = menu.creditLines[i];
        const int a = static_cast<int>(255.0f * m);
        const bool role = std::strlen(line) > 2 && line[2] >= 'a' && line[2] <= 'z';
        if (role) {
            setTextColour(255, 255, 0, a);
        } else {
            setTextColour(255, 255, 255, a);
        }
        drawTextCentred(0.0f, y, 16.0f, line);
    }
    setTextColour(255, 255, 255, 255);
}

void drawMessageBoxPage() {
    beginFold();
    selectFont(0);
    const float textHeight = wrapText(340.0f, menu.messageText, 16.0f);
    const float h = textHeight + 140.0f;
    drawMenuPanel(-225.0f, h / 2.0f, 450.0f, h);
    selectFont(1);
    setTextColour(255, 255, 255, 255);
    drawTextCentred(0.0f, h / 2.0f - 60.0f, 16.0f, wrappedText());
    selectFont(0);
    if (std::strcmp(menu.currentPage->name, "messageboxok") == 0) {
        drawButton(0.0f, -h / 2.0f + 62.0f, 130.0f, 64.0f, 17.0f);
    } else {
        drawButton(-90.0f, -h / 2.0f + 62.0f, 135.0f, 64.0f, 17.0f);
        drawButton(90.0f, -h / 2.0f + 62.0f, 135.0f, 64.0f, 17.0f);
    }
    endFold();
}

void registerMenuPageHooks() {
    // The level pages and the pages over a running game get theirs from
    // elsewhere through setPageHook.
    struct Builtin {
        const char* name;
        PageHook hook;
    };
    static const Builtin kBuiltins[] = {
        {"main", drawMainPage},
        {"profiles", drawProfilesPage},
        {"newprofile", drawNameEntryPage},
        {"rename", drawNameEntryPage},
        {"options", drawOptionsPage},
        {"hiscore", drawHiscorePage},
        {"credits", drawCreditsPage},
        {"messageboxok", drawMessageBoxPage},
        {"messageboxyn", drawMessageBoxPage},
    };
    for (const Builtin& b : kBuiltins) {
        setPageHook(b.name, b.hook);
    }
}

}  // namespace corsavel
