#include "gfx/text_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/font.h"
#include "platform/frame_state.h"

namespace corsavel {

TextEffectsState textEffects;

namespace {

constexpr float kArrivalStartMs = 5000.0f;
constexpr float kLeavingStartMs = 1500.0f;
constexpr float kWobbleSpan = 3500.0f;
constexpr float kThreeHalfTurns = 9.424778f;
constexpr float kPopupGrowStart = 1400.0f;
constexpr float kPopupShrinkStart = 600.0f;
constexpr float kBannerBaseY = -270.0f;
constexpr float kBannerSize = 21.58f;

float wave(float cyclesPerSecond, float clockMs) {
    return 0.5f + 0.5f * std::sin(2.0f * kPi * cyclesPerSecond * clockMs / 1000.0f);
}

int clampByte(float v) {
    if (!(v > 0.0f)) {
        return 0;
    }
    return v >= 255.0f ? 255 : static_cast<int>(v);
}

// Copies at most capacity - 1 bytes and terminates.
void copyText(char* out, int32_t capacity, const char* text) {
    if (text == nullptr) {
        out[0] = 0;
        return;
    }
    int32_t n = 0;
    while (n < capacity - 1 && text[n] != 0) {
        out[n] = text[n];
        ++n;
    }
    out[n] = 0;
}

}  // namespace

EffectLook flyingLetterLook(float t) {
    EffectLook look;
    if (t >= kArrivalStartMs) {
        float k = (kFlyingLetterLifeMs - t) / 1000.0f;
        look.alpha = k * 255.0f;
        look.scale = (2.0f - k) * (2.0f - k);
    } else if (t > kLeavingStartMs) {
        float phase = (t - kLeavingStartMs) / kWobbleSpan * kThreeHalfTurns;
        float s = 1.0f + std::sin(phase) * 0.08f;
        look.alpha = 255.0f;
        look.scale = s * s;
        look.offsetY = 2.0f * std::sin(2.0f * phase);
    } else {
        float k = t / kLeavingStartMs;
        look.alpha = k * 255.0f;
        look.scale = k * k;
    }
    return look;
}

EffectLook popupLook(float b) {
    EffectLook look;
    if (b > kPopupGrowStart) {
        look.scale = (kPopupLife - b) / 600.0f;
        look.alpha = std::min(255.0f, (kPopupLife - b) * 256.0f / 600.0f);
    } else if (b > kPopupShrinkStart) {
        look.scale = 1.0f + 0.1f * std::sin((b - kPopupShrinkStart) / 800.0f * 3.0f * kPi);
        look.alpha = 255.0f;
    } else {
        look.scale = b / 600.0f;
        look.alpha = std::min(255.0f, b * 256.0f / 600.0f);
    }
    return look;
}

Colour popupColour(float animationClockMs, float alpha) {
    int green = clampByte(230.0f + 25.0f * wave(3.0f, animationClockMs));
    int blue = clampByte(100.0f + 155.0f * wave(4.0f, animationClockMs));
    return makeColour(clampByte(alpha), 255, green, blue);
}

float bannerStep(float timer, float stepMs) {
    if (timer >= 500.0f && timer <= 1000.0f) {
        return timer - 0.3f * stepMs;
    }
    return timer - stepMs;
}

BannerLook bannerLook(float timer) {
    BannerLook look;
    float wavePart = std::sin(timer * kPi / 1500.0f);
    look.alpha = wavePart * 127.0f + 127.0f;
    if (timer < 500.0f) {
        look.y = kBannerBaseY - (500.0f - timer) * 0.1f;
        look.size = kBannerSize;
    } else if (timer > 1000.0f) {
        look.y = kBannerBaseY - (timer - 1000.0f) * 0.1f;
        look.size = (wavePart * 12.0f + 6.0f) * 1.3f;
    } else {
        look.y = kBannerBaseY;
        look.size = std::sin((timer - 500.0f) * 2.0f * kPi / 125.0f) + kBannerSize;
    }
    return look;
}

void addFlyingText(const char* text, float x, float y, float size) {
    const Font* font = currentFont();
    if (text == nullptr || font == nullptr) {
        return;
    }
    float w = textWidth(text, size);
    float pen = x - w / 2.0f;
    for (int32_t i = 0; text[i] != 0; ++i) {
        uint8_t c = static_cast<uint8_t>(text[i]);
        if (i > 0) {
            uint8_t prev = static_cast<uint8_t>(text[i - 1]);
            pen += size * (font->advance[prev] + font->advance[c]) / 2.0f;
        }
        FlyingLetter& letter = textEffects.letters[textEffects.nextLetter];
        textEffects.nextLetter = (textEffects.nextLetter + 1) % kMaxFlyingLetters;
        letter.character = c;
        letter.x = pen;
        letter.y = y;
        letter.size = size;
        letter.angle = 0.0f;
        letter.life = kFlyingLetterLifeMs + kFlyingLetterStaggerMs * static_cast<float>(i);
        textEffects.lettersLeftMs = std::max(textEffects.lettersLeftMs, letter.life);
    }
}

void drawFlyingText() {
    if (textEffects.lettersLeftMs <= 0.0f) {
        return;
    }
    for (const FlyingLetter& letter : textEffects.letters) {
        if (letter.life <= 0.0f || letter.life > kFlyingLetterLifeMs) {
            continue;
        }
        EffectLook look = flyingLetterLook(letter.life);
        drawGlyph(static_cast<char>(letter.character), letter.x * look.scale,
                  letter.y + look.offsetY, letter.angle, letter.size * look.scale,
                  makeColour(clampByte(look.alpha), 255, 255, 255));
    }
    setTextColour(255, 255, 255, 255);
}

void showBanner(const char* text) {
    copyText(textEffects.banner.text, kBannerTextCapacity, text);
    if (textEffects.banner.timer <= 0.0f) {
        textEffects.banner.timer = kBannerStartMs;
    }
}

// A timer of zero or below means no banner is running (the cleared state).
void drawBanner() {
    const Banner& banner = textEffects.banner;
    if (banner.timer <= 0.0f) {
        return;
    }
    BannerLook look = bannerLook(banner.timer);
    setTextColour(255, 255, 255, clampByte(look.alpha));
    drawTextCentred(0.0f, look.y, look.size, banner.text);
    setTextColour(255, 255, 255, 255);
}

void addPopup(const char* text, float x, float y, float size, float durationMs) {
    if (!(durationMs > 0.0f) || text == nullptr) {
        return;
    }
    Popup& popup = textEffects.popups[textEffects.nextPopup];
    textEffects.nextPopup = (textEffects.nextPopup + 1) % kMaxPopups;
    copyText(popup.text, kPopupTextCapacity, text);
    popup.x = x;
    popup.y = y;
    popup.size = size;
    popup.width = textWidth(popup.text, size);
    popup.life = kPopupLife;
    popup.rate = kPopupLife / durationMs;
}

void drawPopups() {
    for (const Popup& popup : textEffects.popups) {
        if (popup.life <= 0.0f) {
            continue;
        }
        EffectLook look = popupLook(popup.life);
        setTextColourARGB(popupColour(app.animationClockMs, look.alpha));
        drawTextCentred(popup.x, popup.y, popup.size * look.scale, popup.text);
    }
    setTextColour(255, 255, 255, 255);
}

void textEffectsTick(float stepMs) {
    if (textEffects.lettersLeftMs > 0.0f) {
        for (FlyingLetter& letter : textEffects.letters) {
            if (letter.life > 0.0f) {
                letter.life -= stepMs;
            }
        }
        textEffects.lettersLeftMs -= stepMs;
    }
    Banner& banner = textEffects.banner;
    if (banner.timer > 0.0f) {
        banner.timer = bannerStep(banner.timer, stepMs);
    }
    for (Popup& popup : textEffects.popups) {
        if (popup.life > 0.0f) {
            popup.life -= stepMs * popup.rate;
        }
    }
}

void clearFlyingLetters() {
    for (FlyingLetter& letter : textEffects.letters) {
        letter = FlyingLetter{};
    }
    textEffects.nextLetter = 0;
    textEffects.lettersLeftMs = 0.0f;
}

void clearTextEffects() {
    textEffects.banner.timer = 0.0f;
    for (Popup& popup : textEffects.popups) {
        popup.life = -1.0f;
    }
    clearFlyingLetters();
}

}  // namespace corsavel
