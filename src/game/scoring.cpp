#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "audio/audio.h"
#include "game/game_requests.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/particles.h"
#include "gfx/text_effects.h"
#include "platform/frame_state.h"
#include "resources/text_table.h"

namespace corsavel {

namespace {

const char* textOr(const char* key) {
    const char* t = findText(key);
    return t ? t : key;
}

// The clock passes a moment of a timeline in this frame.
bool crossed(float before, float after, float mark) {
    return before <= mark && after > mark;
}

bool blockedBeforeWin() {
    return game.flags.menuActive && !game.flags.levelWon;
}

bool tipWaiting() {
    return game.tips.tipShowing && game.tips.tipWaitsForClick;
}

// Follows a target the way the score display does: 1 % of the gap per ms,
// snapping when the step would be one point or less.
bool follow(int32_t& shown, int32_t target) {
    const float step = static_cast<float>(target - shown) * app.frameStepMs * 0.01f;
    if (step > 1.0f) {
        shown += static_cast<int32_t>(step);
        return true;
    }
    shown = target;
    return false;
}

double bonusStep(float t) {
    return std::sqrt(static_cast<double>(session.currentLevel + 1)) *
           ((static_cast<double>(t) * 2.0 / 1000.0 + 10.0) * 5.0);
}

}  // namespace

void addFloatingScore(float x, float y, int32_t value) {
    ScoreState& s = game.scores;
    FloatingScore& f = s.floating[s.nextFloating];
    s.nextFloating = (s.nextFloating + 1) % kFloatingScoreCount;
    f.position = Vec2{x, y};
    f.velocity = Vec2{0.0f, 0.02f};
    f.size = 12.0f;
    f.sizeRate = 0.0f;
    f.alpha = 255.0f;
    f.alphaRate = -0.09f;
    f.value = value;
}

void bankCellScores() {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            if (cell.pendingScore <= 0) {
                continue;
            }
            const Vec2 p = cellCentre(c, r);
            addFloatingScore(p.x, p.y, cell.pendingScore);
            game.scores.scoreTarget += cell.pendingScore;
            cell.pendingScore = 0;
        }
    }
}

void awardMegaBoom() {
    BlastState& b = game.blasts;
    if (b.megaBoomCount < 1) {
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "MEGA BOOM : +%i", b.megaBoomCount * 250);
    addPopup(text, 90.0f, 15.0f, 25.0f, 4000.0f);
    playSound("combobonus.ogg");
    game.scores.scoreTarget += b.megaBoomCount * 250;
    b.megaBoomCount = 0;
}

void comboMessage(int n) {
    const int32_t count = game.level.figureCount;
    int good = 6;
    int perfect = 8;
    int excellent = 10;
    if (count >= 10) {
        good = 4;
        perfect = 5;
        excellent = 6;
    } else if (count >= 7) {
        good = 5;
        perfect = 7;
        excellent = 9;
    }
    if (n < good) {
        return;
    }
    playSound("superchain.ogg");
    char line[32];
    std::snprintf(line, sizeof line, "COMBO X %i", n);
    if (n >= excellent) {
        addPopup("EXCELLENT", 90.0f, 45.0f, 25.0f, 4000.0f);
        addPopup(line, 90.0f, -15.0f, 25.0f, 4000.0f);
    } else if (n >= perfect) {
        addPopup("PERFECT", 90.0f, 40.0f, 22.0f, 3000.0f);
        addPopup(line, 90.0f, -5.0f, 22.0f, 3000.0f);
    } else {
        addPopup("GOOD", 90.0f, 35.0f, 20.0f, 2000.0f);
        addPopup(line, 90.0f, 0.0f, 20.0f, 2000.0f);
    }
}

void grantLife() {
    addProfileLife(activeProfile());
    game.scores.lifeGained = true;
    game.scores.lifeGainedMs = 0.0f;
    addFlyingText(textOr("getlife"), 90.0f, 100.0f, 30.0f);
    playSound("addlife.ogg");
}

void scoreTick() {
    if (blockedBeforeWin() || tipWaiting() || game.flags.paused) {
        return;
    }
    ScoreState& s = game.scores;
    const int64_t before = static_cast<int64_t>(s.bankedScore) + s.scoreShown;
    if (follow(s.scoreShown, s.scoreTarget)) {
        startEffect("score", -340.0f, 235.0f);
    }
    if (s.timeBonusPhase) {
        follow(s.bonusShown, s.bonusTarget);
    }
    const int64_t after = static_cast<int64_t>(s.bankedScore) + s.scoreShown;
    if (session.gameMode == 0 && before >= 0) {
        const int64_t m = (before + 99999) / 100000 * 100000;
        if (before < m && m < after) {
            grantLife();
        }
    }
    if (s.lifeGained) {
        s.lifeGainedMs += app.frameStepMs;
        if (s.lifeGainedMs > 2400.0f) {
            s.lifeGained = false;
        }
    }
}

void clockTick() {
    const LevelFlags& fl = game.flags;
    if (blockedBeforeWin() || tipWaiting() || fl.paused || fl.boardDone ||
        game.scores.timeBonusPhase || fl.levelWon || !fl.levelLoaded) {
        return;
    }
    ClockState& c = game.clock;
    const float before = c.elapsedMs;
    c.elapsedMs += app.frameStepMs;
    if (session.gameMode == 1) {
        return;
    }
    const float limit = c.timeLimitMs;
    if (c.elapsedMs > limit + 3000.0f && !c.timedOut) {
        c.timedOut = true;
        closeTip();
    }
    const float left = limit - c.elapsedMs;
    if (limit - before >= 20000.0f && left < 20000.0f && c.workLeft > 8) {
        playSoundEx("ohthisishard.ogg", Vec3{}, 0, 22050);
    }
    if (left < 20000.0f && c.elapsedMs < limit + 3000.0f) {
        c.tickMs += app.frameStepMs;
        const float f = left > 0.0f ? left : 0.0f;
        if (c.tickMs > f * 250.0f / 20000.0f + 300.0f) {
            playSoundEx(
                "timeup.ogg", Vec3{}, 0,
                static_cast<int32_t>(std::lround((1.0f - f / 20000.0f) * 15000.0f + 40000.0f)));
            c.tickMs = 0.0f;
        }
    }
    if (!c.timedOut) {
        return;
    }
    if (crossed(before, c.elapsedMs, limit + 3000.0f)) {
        switchMusic(3);
        startShake();
        startEffect("barrelex1", 350.0f, -240.0f);
        startEffect("barrelex", 350.0f, -240.0f);
        startEffect("bomb1_1", 350.0f, -240.0f);
        playSound("barrel.ogg");
    }
    if (crossed(before, c.elapsedMs, limit + 3400.0f)) {
        startEffect("bomb1_2", 350.0f, -240.0f);
    }
    if (crossed(before, c.elapsedMs, limit + 3600.0f)) {
        startEffect("endtime", 350.0f, -240.0f);
        startEffect("endtime1", 0.0f, 0.0f);
        if (c.workLeft <= 2) {
            playSoundEx("ohno.ogg", Vec3{}, 0, 22050);
        } else if (c.workLeft * 2 >= c.workTotal) {
            playSoundEx("tobad.ogg", Vec3{}, 0, 22050);
        }
    }
    if (crossed(before, c.elapsedMs, limit + 5000.0f)) {
        const int32_t lives = profileLives(activeProfile());
        const char* key = lives <= 0 ? "gameover" : (lives == 1 ? "lastlife" : "loselife");
        addFlyingText(textOr(key), 0.0f, 0.0f, 20.0f);
    }
    if (crossed(before, c.elapsedMs, limit + 10000.0f)) {
        loseLevel();
    }
}

void loseLevel() {
    game.flags.menuActive = true;
    stopAllEffects();
    requestPlain(GameRequestKind::SaveTables);
    Profile& p = activeProfile();
    ScoreState& s = game.scores;
    if (profileLives(p) <= 0) {
        setProfileScore(p, s.bankedScore + s.scoreShown);
        s.bankedScore = 0;
        setProfileLives(p, 3);
        requestPlain(GameRequestKind::RecordGameOver);
        requestPage("hiscore");
        return;
    }
    if (game.flags.replayAfterLoss && profileLives(p) > 1) {
        requestPage("defeat");
        return;
    }
    removeProfileLife(p);
    setProgressLevel(p, session.currentLevel);
    startLevel(session.currentLevel);
    // Set after the start, which clears it: only this restart is a retry.
    game.flags.replayAfterLoss = true;
}

int32_t timeBonusTotal() {
    const float d = game.scores.bonusDurationMs;
    double sum = 0.0;
    for (float t = 0.0f; t < d - 50.0f; t += 50.0f) {
        sum += bonusStep(t);
    }
    const int32_t total = static_cast<int32_t>(sum);
    return total - total % 10;
}

void startTimeBonus() {
    ScoreState& s = game.scores;
    s.timeBonusPhase = true;
    s.bonusPhaseMs = 0.0f;
    s.bonusFinished = false;
    const float limit = game.clock.timeLimitMs;
    float left = limit - game.clock.elapsedMs;
    left = left > 0.0f ? left : 0.0f;
    s.bonusLeftMs = left;
    s.bonusDurationMs = limit > 0.0f ? left / limit * 3000.0f : 0.0f;
    s.bonusTarget = 0;
    s.bonusShown = 0;
    s.bonusSoundMs = 0.0f;
    s.bonusStepMs = 0.0f;
}

void timeBonusTick() {
    ScoreState& s = game.scores;
    if (!s.timeBonusPhase || s.bonusFinished || game.flags.menuActive) {
        return;
    }
    const float dt = app.frameStepMs;
    s.bonusPhaseMs += dt;
    const float t = s.bonusPhaseMs;
    const float d = s.bonusDurationMs;
    if (t > 1400.0f && t < 1400.0f + d) {
        s.bonusSoundMs += dt;
        if (s.bonusSoundMs >= 150.0f) {
            s.bonusSoundMs -= 150.0f;
            playSoundEx("timebonus.ogg", Vec3{}, 0,
                        static_cast<int32_t>((t - 1400.0f) / d * 25000.0f + 20000.0f));
        }
        s.bonusStepMs += dt;
        while (s.bonusStepMs >= 50.0f) {
            s.bonusStepMs -= 50.0f;
            s.bonusTarget += static_cast<int32_t>(bonusStep(t - 1400.0f));
        }
    }
    if (t >= 1400.0f + d) {
        finishTimeBonus();
    }
}

void finishTimeBonus() {
    ScoreState& s = game.scores;
    if (!s.timeBonusPhase || s.bonusFinished) {
        return;
    }
    s.bonusFinished = true;
    const int32_t total = timeBonusTotal();
    s.bonusTarget = total;
    s.bonusShown = total;
    const int64_t before = static_cast<int64_t>(s.bankedScore) + s.scoreShown;
    s.scoreShown += total;
    s.scoreTarget += total;
    const int64_t after = before + total;
    for (int64_t mark : {50000LL, 100000LL, 500000LL, 1000000LL}) {
        if (before < mark && after > mark) {
            grantLife();
        }
    }
    recordCompletion();
}

}  // namespace corsavel
