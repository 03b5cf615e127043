#pragma once

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

// Animated text: letters that fly in and wobble, the pulsing banner line near
// the bottom of the scene, and short-lived floating popups. All three are
// drawn in the 2D mode with the current font; the screens' updates advance
// them by the frame step, and drawing only shows them as they are.

constexpr int kMaxFlyingLetters = 256;
constexpr int kMaxPopups = 16;
constexpr int kPopupTextCapacity = 128;
constexpr int kBannerTextCapacity = 256;

// Lifetimes of a flying letter: it arrives in the first second, wobbles until
// 1500 ms are left, then fades out; each later letter lives 40 ms longer.
constexpr float kFlyingLetterLifeMs = 6000.0f;
constexpr float kFlyingLetterStaggerMs = 40.0f;
constexpr float kPopupLife = 2000.0f;
constexpr float kBannerStartMs = 1400.0f;

struct FlyingLetter {
    uint8_t character = 0;
    float x = 0.0f;
    float y = 0.0f;
    float size = 0.0f;
    float angle = 0.0f;
    float life = 0.0f;
};

struct Popup {
    char text[kPopupTextCapacity] = {};
    float x = 0.0f;
    float y = 0.0f;
    float size = 0.0f;
    float width = 0.0f;
    float life = -1.0f;
    float rate = 1.0f;
};

struct Banner {
    char text[kBannerTextCapacity] = {};
    float timer = 0.0f;
};

// Every effect in one place; rings overwrite their oldest entry.
struct TextEffectsState {
    FlyingLetter letters[kMaxFlyingLetters];
    int32_t nextLetter = 0;
    // Time until the longest-lived letter is gone: past it the tick and the
    // drawing skip the ring.
    float lettersLeftMs = 0.0f;
    Popup popups[kMaxPopups];
    int32_t nextPopup = 0;
    Banner banner;
};

extern TextEffectsState textEffects;

// How an effect looks at a given life: alpha 0..255, scale of the text size,
// vertical offset in scene units.
struct EffectLook {
    float alpha = 0.0f;
    float scale = 0.0f;
    float offsetY = 0.0f;
};

struct BannerLook {
    float alpha = 0.0f;
    float y = 0.0f;
    float size = 0.0f;
};

// Phases of a flying letter with life t (drawn only for 0 < t <= 6000).
EffectLook flyingLetterLook(float lifeMs);
// Phases of a popup with life b in 0..2000 (grow, pulse, shrink).
EffectLook popupLook(float life);
// Popup tint from the animation clock: red 255, green and blue waving.
Colour popupColour(float animationClockMs, float alpha);
// The banner timer after one frame: slowed to 0.3 while between 500 and 1000.
float bannerStep(float timerMs, float stepMs);
BannerLook bannerLook(float timerMs);

// Spells the text out as letters centred on x (the middle of the whole text).
void addFlyingText(const char* text, float x, float y, float size);
// Replaces the banner's text; restarts its timer only when no banner runs.
void showBanner(const char* text);
// A popup lasting durationMs; a duration of 0 or less is ignored.
void addPopup(const char* text, float x, float y, float size, float durationMs);
void clearTextEffects();
// Only the flying letters (loading a font does this).
void clearFlyingLetters();

// One frame of every effect: letters and popups age, the banner's timer runs.
void textEffectsTick(float stepMs);

// Drawing shows the effects as they are and changes none of them; popups
// tint with the frame loop's animation clock.
void drawFlyingText();
void drawBanner();
void drawPopups();

}  // namespace corsavel
