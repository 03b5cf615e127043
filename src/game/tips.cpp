#include <cstring>

#include "game/progress.h"
#include "game/rules.h"
#include "gfx/balloon.h"
#include "platform/frame_state.h"
#include "resources/text_table.h"

namespace corsavel {

namespace {

float tipResetValue() {
    return static_cast<float>(session.currentLevel) * 150.0f + 10000.0f;
}

// The first cell (rows, then columns) that matches; false when none does.
template <typename Pred>
bool firstCell(Pred pred, Vec2& at) {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (pred(game.board.cells[r][c])) {
                at = cellCentre(c, r);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void resetTipTimer() {
    game.tips.hintVisible = false;
    game.tips.tipTimerMs = tipResetValue();
}

void offerTip(float x, float y, const char* key, float delayMs, bool waitsForClick) {
    TipState& t = game.tips;
    if (t.tipShowing || t.tipShownThisLevel) {
        return;
    }
    Profile& p = activeProfile();
    Vec2 at{x, y};
    if (std::strcmp(key, "powerup") == 0) {
        if (session.currentLevel < 1 || p.tipPowerupShown) {
            return;
        }
        p.tipPowerupShown = 1;
    } else if (std::strcmp(key, "relaxtip") == 0) {
        if (session.currentLevel < 5 || p.tipRelaxShown) {
            return;
        }
        p.tipRelaxShown = 1;
        at = Vec2{-250.0f, 100.0f};
        resetTipTimer();
    } else if (std::strcmp(key, "tipbusysquare2") == 0) {
        if (p.tipSquareShown || !firstCell([](const Cell& c) { return c.layers == 2; }, at)) {
            return;
        }
        p.tipSquareShown = 1;
        resetTipTimer();
    } else if (std::strcmp(key, "chainbtip") == 0) {
        if (p.tipChainShown || !firstCell([](const Cell& c) { return c.chained != 0; }, at)) {
            return;
        }
        p.tipChainShown = 1;
        resetTipTimer();
    } else {
        return;
    }
    t.tipShownThisLevel = true;
    t.tipShowing = true;
    t.tipWaitsForClick = waitsForClick;
    t.tipDelayMs = delayMs;
    t.tipPosition = at;
    std::strncpy(t.tipKey, key, sizeof t.tipKey - 1);
    t.tipText = findText(key) ? textIndex(key) : -1;
}

const char* currentTipText() {
    const TipState& t = game.tips;
    if (t.tipText >= 0) {
        return textAt(t.tipText);
    }
    return t.tipKey[0] != 0 ? findText(t.tipKey) : nullptr;
}

bool tipButtonHit(float x, float y) {
    const TipState& t = game.tips;
    if (!t.tipShowing || !t.tipWaitsForClick) {
        return false;
    }
    const char* text = currentTipText();
    if (text == nullptr) {
        // Nothing to show, so no button to aim at: any click closes it.
        return true;
    }
    static BalloonLayout layout;
    layoutBalloon(text, t.tipPosition, kTipBalloonWidth, true, balloonAgeFor(text), layout);
    return balloonButtonContains(layout, x, y);
}

Vec2 tipButtonCentre() {
    const TipState& t = game.tips;
    const char* text = currentTipText();
    if (text == nullptr) {
        return t.tipPosition;
    }
    static BalloonLayout layout;
    layoutBalloon(text, t.tipPosition, kTipBalloonWidth, true, balloonAgeFor(text), layout);
    const Rect& b = layout.button;
    return Vec2{(b.left + b.right) * 0.5f, (b.top + b.bottom) * 0.5f};
}

void closeTip() {
    game.tips.tipShowing = false;
    game.tips.tipWaitsForClick = false;
}

void tipTick() {
    if (game.flags.levelWon || game.scores.timeBonusPhase || game.clock.timedOut) {
        return;
    }
    TipState& t = game.tips;
    t.tipTimerMs -= app.frameStepMs;
    if (t.tipTimerMs < tipResetValue() - 500.0f) {
        offerTip(-250.0f, 100.0f, "relaxtip", 0.0f, true);
        offerTip(0.0f, 0.0f, "tipbusysquare2", 0.0f, true);
        offerTip(0.0f, 0.0f, "chainbtip", 0.0f, true);
    }
    if (t.tipTimerMs < 0.0f) {
        t.hintVisible = true;
        t.hintBlinkMs += app.frameStepMs;
        if (t.hintBlinkMs >= 30000.0f) {
            t.hintBlinkMs = 0.0f;
        }
    }
}

void tipBubbleTick() {
    TipState& t = game.tips;
    if (t.tipShowing && t.tipDelayMs > -250.0f) {
        t.tipDelayMs -= app.frameStepMs;
        if (t.tipDelayMs < -250.0f) {
            t.tipDelayMs = -250.0f;
        }
    }
}

}  // namespace corsavel
