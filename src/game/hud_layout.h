#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace corsavel {

// The arithmetic of the HUD's looks, apart from the drawing so that it can
// be checked on its own: lives, the hint's blink, the time-bonus texts, the
// slow wave of the "press a key" texts, the fuse, the "MENU" pulse.

// Lives in the panel: up to three hearts 26 apart from x = -371 (top edge
// 56, 24 x 24); more than three: one heart at -361 and "x%i" beside it;
// none left: "last life". After an extra life every corner of a heart moves
// out by 2 sin(t pi / 200) for 2400 ms.
constexpr int kMaxHeartsShown = 3;
constexpr float kHeartSize = 24.0f;
constexpr float kHeartTop = 56.0f;
struct LivesLook {
    int hearts = 0;
    float heartLeft[kMaxHeartsShown] = {};
    bool showCount = false;
    bool lastLife = false;
    float bounce = 0.0f;
};
LivesLook livesLook(int32_t lives, bool lifeGained, float lifeGainedMs);

// The hint marker: full for 6 s of the blink clock, then fading by 1/10 per
// ms (gone after 8.55 s) until the clock restarts at 30 s.
float hintMarkerAlpha(float hintBlinkMs);
// The glow over the i-th cell of the hint line, before the blink fade.
float hintLineAlpha(int i, float animationClockMs);

// "TIME BONUS:" and its value: alpha and the size bonus b at phase time t
// of a count lasting d ms.
struct TimeBonusLook {
    float alpha = 0.0f;
    float sizeBonus = 0.0f;
};
TimeBonusLook timeBonusLook(float t, float d);

// The slow wave of the pause and "keytoresume" texts: x = (sin(t r -
// 0.9424779) + 1) / 2, and v = (x - 0.7) / 0.3 above 0.7, else 0.
float resumeWave(float t, float rate);

// The fuse lies in a trough along the bottom, from right of the gold box to
// the powder barrel, and burns from the left.
constexpr float kFuseLeft = -238.0f;
constexpr float kFuseRight = 334.0f;
constexpr float kFuseY = -289.0f;

// How far the fuse has burnt, 0..1: the clock's share of the limit; during
// the time-bonus count it burns on after 1400 ms so that it reaches its end
// as the count ends.
float fuseFraction(const ClockState& clock, const ScoreState& scores);
// The scene's darkening in the last 20 s: (d, d, d) with d from 1 to 0.5.
float timeDarkening(float leftMs);

// The "MENU" button swings between 12 and 14 at 0.006 per ms while hovered
// and rests at 13 otherwise; `direction` keeps the swing's sense.
float menuButtonStep(float size, float& direction, float stepMs, bool hovered);
// The pointer is on the "MENU" button while it answers.
bool menuButtonHovered();

// A tile-break piece flies off for 700 ms.
constexpr float kTileBreakLifeMs = 700.0f;

// The panel slid this far is out of sight.
constexpr float kHudHiddenSlide = -120.0f;

// What the HUD shows beyond the gameplay state, advanced by the looks' tick.
struct HudDrawState {
    float menuButtonSize = 13.0f;
    float menuButtonDirection = 1.0f;
    // The time-bonus texts run on for 2 s after the count has ended.
    float bonusAfterEndMs = 0.0f;
    // The game-complete screen's sparkle clock.
    float sparkleMs = 0.0f;
};
extern HudDrawState hudDraw;

}  // namespace corsavel
