#include "game/hud_layout.h"

#include <cmath>

#include "game/rules.h"

namespace corsavel {

HudDrawState hudDraw;

namespace {

constexpr float kFirstHeartLeft = -371.0f;
constexpr float kHeartSpacing = 26.0f;
constexpr float kSingleHeartLeft = -361.0f;
constexpr float kLifeBounceMs = 2400.0f;
constexpr float kBonusStartMs = 1400.0f;

float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

}  // namespace

LivesLook livesLook(int32_t lives, bool lifeGained, float lifeGainedMs) {
    LivesLook look;
    if (lives <= 0) {
        look.lastLife = true;
        return look;
    }
    if (lives > kMaxHeartsShown) {
        look.hearts = 1;
        look.heartLeft[0] = kSingleHeartLeft;
        look.showCount = true;
    } else {
        look.hearts = lives;
        for (int i = 0; i < lives; ++i) {
            look.heartLeft[i] = kFirstHeartLeft + kHeartSpacing * static_cast<float>(i);
        }
    }
    if (lifeGained && lifeGainedMs >= 0.0f && lifeGainedMs <= kLifeBounceMs) {
        look.bounce = 2.0f * std::sin(lifeGainedMs * kPi / 200.0f);
    }
    return look;
}

float hintMarkerAlpha(float hintBlinkMs) {
    if (hintBlinkMs <= 6000.0f) {
        return 255.0f;
    }
    const float a = 255.0f - (hintBlinkMs - 6000.0f) / 10.0f;
    return a > 0.0f ? a : 0.0f;
}

float hintLineAlpha(int i, float animationClockMs) {
    return 205.0f +
           50.0f * std::sin(animationClockMs * 0.008f + static_cast<float>(i) * kPi / 3.0f);
}

TimeBonusLook timeBonusLook(float t, float d) {
    TimeBonusLook look;
    const float end = kBonusStartMs + (d > 0.0f ? d : 0.0f);
    if (t < kBonusStartMs) {
        return look;
    }
    if (t < end && t < kBonusStartMs + 1000.0f) {
        look.alpha = (t - kBonusStartMs) / 1000.0f * 255.0f;
        look.sizeBonus = look.alpha / 50.0f;
    } else if (t < end) {
        look.alpha = 255.0f;
        look.sizeBonus = 5.0f;
    } else if (t < end + 1000.0f) {
        look.alpha = 255.0f;
        look.sizeBonus = (200.0f + 55.0f * std::sin((t - end) * 2.0f * kPi / 250.0f)) / 50.0f;
    } else if (t < end + 2000.0f) {
        look.alpha = 255.0f * (1.0f - (t - end - 1000.0f) / 1000.0f);
        look.sizeBonus = look.alpha / 50.0f;
    }
    return look;
}

float resumeWave(float t, float rate) {
    const float x = (std::sin(t * rate - 0.9424779f) + 1.0f) * 0.5f;
    return x > 0.7f ? (x - 0.7f) / 0.3f : 0.0f;
}

float fuseFraction(const ClockState& clock, const ScoreState& scores) {
    float f = clock.timeLimitMs > 0.0f ? clamp01(clock.elapsedMs / clock.timeLimitMs) : 1.0f;
    if (!scores.timeBonusPhase || scores.bonusPhaseMs <= kBonusStartMs) {
        return f;
    }
    const float d = scores.bonusDurationMs;
    const float left0 = scores.bonusLeftMs;
    if (d <= 0.0f || left0 <= 0.0f) {
        return 1.0f;
    }
    float g = scores.bonusPhaseMs - kBonusStartMs;
    g = g > d ? d : g;
    const float k = (left0 - 0.3f * d) / (d * d);
    return clamp01(f + (0.3f * g + k * g * g) / left0 * (1.0f - f));
}

float timeDarkening(float leftMs) {
    const float d = leftMs / 20000.0f * 0.5f + 0.5f;
    return d < 0.5f ? 0.5f : (d > 1.0f ? 1.0f : d);
}

float menuButtonStep(float size, float& direction, float stepMs, bool hovered) {
    if (!hovered) {
        direction = 1.0f;
        return 13.0f;
    }
    size += direction * 0.006f * stepMs;
    if (size > 14.0f) {
        size = 14.0f;
        direction = -1.0f;
    } else if (size < 12.0f) {
        size = 12.0f;
        direction = 1.0f;
    }
    return size;
}

bool menuButtonHovered() {
    const LevelFlags& fl = game.flags;
    if (game.clock.elapsedMs >= game.clock.timeLimitMs || fl.menuActive || game.tips.tipShowing ||
        fl.instructionsShown) {
        return false;
    }
    return inMenuButtonArea(game.hand.cursorCopy);
}

}  // namespace corsavel
