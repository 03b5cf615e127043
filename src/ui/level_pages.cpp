#include "ui/level_pages.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "game/game_state.h"
#include "game/progress.h"
#include "gfx/font.h"
#include "gfx/particles.h"
#include "platform/frame_state.h"
#include "platform/settings_store.h"
#include "resources/text_table.h"
#include "ui/map.h"
#include "ui/menu.h"
#include "ui/menu_draw.h"
#include "ui/score_tables.h"

namespace corsavel {

LevelStats levelStats;

namespace {

constexpr float kLevelMarkHalf = kLevelMarkHitSize / 2.0f;
// More gameplay tips than this are not looked for.
constexpr int32_t kMaxGameplayTips = 999;

int mode() {
    return session.gameMode == 1 ? 1 : 0;
}

// The profile's level in the mode (0..99).
int32_t levelOfMode(const Profile& p, int m) {
    const int32_t n = stageStart(p.currentStage[m]) + p.currentIndex[m];
    return n < 0 ? 0 : (n >= kLevelCount ? kLevelCount - 1 : n);
}

int32_t unlockedOfMode(const Profile& p, int m) {
    const int32_t n = stageStart(p.unlockedStage[m]) + p.unlockedIndex[m];
    return n < 0 ? 0 : (n >= kLevelCount ? kLevelCount - 1 : n);
}

void minutesSeconds(char* out, size_t size, const char* prefix, float ms) {
    const int32_t seconds = ms > 0.0f ? static_cast<int32_t>(ms / 1000.0f) : 0;
    std::snprintf(out, size, "%s%.2i:%.2i", prefix, seconds / 60, seconds % 60);
}

}  // namespace

// --- Level selection on the map ---------------------------------------------

// Two buttons that slide down as the page leaves, one widget per level mark,
// and the focus held on a level the profile may play. The map shows the
// focused mark as selected.
void drawLevelSelectPage() {
    const float y = -250.0f - 100.0f * menu.transitionFactor;
    menu.widgetCount = 0;
    drawButton(300.0f, y, 160.0f, 64.0f, 18.0f);
    drawButton(-300.0f, y, 160.0f, 64.0f, 18.0f);
    for (int i = 0; i < kLevelMarkCount; ++i) {
        const Vec2 p = mapState.levelMarkPoints[i];
        addWidget(WidgetKind::LevelMark, p.x - kLevelMarkHalf, p.y + kLevelMarkHalf,
                  p.x + kLevelMarkHalf, p.y - kLevelMarkHalf);
    }
    const Profile& profile = activeProfile();
    if (menu.focusedWidget > unlockedOfMode(profile, mode()) || menu.focusedWidget < 0) {
        menu.focusedWidget = levelOfMode(profile, mode());
    }
    drawFocusFrame(true);
    mapState.selectedLevel = menu.focusedWidget;
}

// --- The saved-game question -------------------------------------------------

void drawSavedGameQuestionPage() {
    beginFold();
    selectFont(0);
    drawMenuPanel(-225.0f, 175.0f, 450.0f, 350.0f);
    const int m = mode();
    const Profile& p = activeProfile();
    setTextColour(255, 255, 55, 255);
    drawTextCentred(0.0f, 110.0f, 19.0f, pageText(m == 0 ? "loadclassicmode" : "loadendlessmode"));
    setTextColour(255, 255, 255, 255);
    drawTextCentred(0.0f, 65.0f, 15.0f, pageText("loadmsg"));
    char line[160];
    formatPageText(line, sizeof line, "surlevscore", "ii", levelOfMode(p, m) + 1, p.score[m]);
    setTextColour(255, 255, 55, 255);
    drawTextCentred(0.0f, 25.0f, 17.0f, line);
    drawButton(-103.5f, -118.0f, 135.0f, 64.0f, 17.0f);
    drawButton(103.5f, -118.0f, 135.0f, 64.0f, 17.0f);
    endFold();
}

// --- Level statistics --------------------------------------------------------

void startLevelStats(LevelStats& stats, int32_t score, float timeMs, int32_t recordScore,
                     int32_t recordTimeMs) {
    const uint32_t lastFrame = stats.lastFrame;
    stats = LevelStats{};
    stats.lastFrame = lastFrame;
    stats.score = score > 0 ? score : 0;
    stats.timeMs = timeMs > 0.0f ? timeMs : 0.0f;
    stats.recordScore = recordScore;
    stats.recordTimeMs = recordTimeMs;
    stats.started = true;
}

float levelStatsDuration(const LevelStats& stats) {
    const float d = static_cast<float>(stats.score);
    return d < kStatsMaxCountMs ? d : kStatsMaxCountMs;
}

void levelStatsStep(LevelStats& stats, float frameMs, LevelStatsEvents* events) {
    const float duration = levelStatsDuration(stats);
    stats.pulseMs += frameMs;
    if (stats.phase == 0) {
        if (!stats.finished && stats.phaseMs < duration) {
            stats.tickMs += frameMs;
            while (stats.tickMs >= kStatsTickMs) {
                stats.tickMs -= kStatsTickMs;
                if (events != nullptr && events->ticks < 32) {
                    events->tickRateHz[events->ticks++] =
                        static_cast<int32_t>(20000.0f + 25000.0f * (stats.phaseMs / duration));
                }
            }
            stats.phaseMs += frameMs;
        }
        if (stats.finished || stats.phaseMs >= duration) {
            stats.finished = true;
            if (events != nullptr && scoreReachesRecord(stats)) {
                events->cheer = true;
            }
            stats.phase = 1;
        }
    } else if (stats.phase == 1) {
        stats.phase = 2;
    }
    if (stats.finished) {
        stats.phaseMs = duration;
    }
}

void finishLevelStats(LevelStats& stats) {
    stats.finished = true;
}

int32_t shownStatsScore(const LevelStats& stats) {
    const float duration = levelStatsDuration(stats);
    if (stats.phase != 0 || duration <= 0.0f) {
        return stats.score;
    }
    return static_cast<int32_t>(static_cast<float>(stats.score) * (stats.phaseMs / duration));
}

float shownStatsTimeMs(const LevelStats& stats) {
    return stats.phase == 0 ? 0.0f : stats.timeMs;
}

bool scoreReachesRecord(const LevelStats& stats) {
    return stats.score >= stats.recordScore;
}

bool timeReachesRecord(const LevelStats& stats) {
    return static_cast<float>(stats.recordTimeMs) >= stats.timeMs;
}

namespace {

int32_t pulseAlpha(const LevelStats& stats) {
    return 128 + static_cast<int32_t>(127.0f * (std::sin(stats.pulseMs * 0.01f) * 0.5f + 0.5f));
}

// The page opened anew (it was not drawn the frame before): the running
// level's result against the record of its mode.
void startStatsIfOpened() {
    if (levelStats.started && app.frameCount <= levelStats.lastFrame + 1) {
        levelStats.lastFrame = app.frameCount;
        return;
    }
    const int32_t level = session.currentLevel < 0              ? 0
                          : session.currentLevel >= kLevelCount ? kLevelCount - 1
                                                                : session.currentLevel;
    const LevelRecord& record = scoreTables.records[mode()][level];
    startLevelStats(levelStats, game.scores.scoreShown, game.clock.elapsedMs, record.bestScore,
                    record.bestTimeMs);
    std::memcpy(levelStats.scoreHolder, record.scoreHolder, sizeof levelStats.scoreHolder);
    std::memcpy(levelStats.timeHolder, record.timeHolder, sizeof levelStats.timeHolder);
    levelStats.scoreHolder[sizeof levelStats.scoreHolder - 1] = 0;
    levelStats.timeHolder[sizeof levelStats.timeHolder - 1] = 0;
    levelStats.lastFrame = app.frameCount;
}

// Enter (or a click on OK) before the count ends only finishes the count:
// the page stays.
void holdPageUntilCounted() {
    if (levelStats.finished || !menu.leaving || !menu.activatePending) {
        return;
    }
    menu.leaving = false;
    menu.activatePending = false;
    menu.transitionFactor = 0.0f;
    menu.slideOffset = 0.0f;
    finishLevelStats(levelStats);
}

void countLevelStats() {
    LevelStatsEvents events;
    levelStatsStep(levelStats, app.frameStepMs, &events);
    for (int i = 0; i < events.ticks; ++i) {
        playSoundEx("score.ogg", Vec3{}, 0, events.tickRateHz[i]);
    }
    if (events.cheer) {
        playSound("wow.ogg");
        startEffect("scorewow", -27.4f, 42.5f);
    }
}

void drawStatsValues() {
    const LevelStats& s = levelStats;
    const int32_t alpha = pulseAlpha(s);
    char line[96];
    selectFont(0);
    setTextColour(255, 255, 255, 255);
    drawText(-182.4f, 42.5f, 13.0f, pageText("yourscore"), false);
    drawText(-182.4f, -17.5f, 13.0f, pageText("yourtime"), false);
    const int32_t shownScore = shownStatsScore(s);
    const bool scorePulses = shownScore >= s.recordScore;
    setTextColour(255, scorePulses ? 200 : 255, scorePulses ? 200 : 255, scorePulses ? alpha : 255);
    std::snprintf(line, sizeof line, "%i", shownScore);
    drawText(-42.4f, 42.5f, 17.0f, line, false);
    const float shownTime = shownStatsTimeMs(s);
    const bool timePulses = s.phase != 0 && timeReachesRecord(s);
    setTextColour(255, timePulses ? 200 : 255, timePulses ? 200 : 255, timePulses ? alpha : 255);
    minutesSeconds(line, sizeof line, "", shownTime);
    drawText(-42.4f, -17.5f, 17.0f, line, false);

    // The record: best score and time with their holders.
    const float x = 43.2f;
    setTextColour(255, 255, 100, 255);
    const char* best = pageText("bestscore");
    drawText(x, 52.5f, 11.0f, best, false);
    const float after = x + textWidth(best, 11.0f);
    if (scoreReachesRecord(s)) {
        setTextColour(255, 200, 100, alpha);
        std::snprintf(line, sizeof line, "   %i", shownScore);
    } else {
        std::snprintf(line, sizeof line, "   %i", s.recordScore);
    }
    drawText(after, 52.5f, 14.0f, line, false);
    setTextColour(255, 255, 100, 255);
    formatPageText(line, sizeof line, "by", "s", s.scoreHolder);
    drawText(x, 32.5f, 11.0f, line, false);
    const char* bestTime = pageText("besttime");
    drawText(x, -7.5f, 11.0f, bestTime, false);
    if (timeReachesRecord(s)) {
        setTextColour(255, 200, 100, alpha);
    }
    minutesSeconds(line, sizeof line, "   ", static_cast<float>(s.recordTimeMs));
    drawText(x + textWidth(bestTime, 11.0f), -7.5f, 14.0f, line, false);
    setTextColour(255, 255, 100, 255);
    formatPageText(line, sizeof line, "by", "s", s.timeHolder);
    drawText(x, -27.5f, 11.0f, line, false);
}

}  // namespace

void drawLevelStatsPage() {
    startStatsIfOpened();
    holdPageUntilCounted();
    countLevelStats();
    beginFold();
    selectFont(0);
    drawMenuPanel(-240.0f, 172.5f, 480.0f, 345.0f);
    setTextColour(255, 255, 155, 255);
    drawTextCentred(0.0f, 105.5f, 19.0f, pageText("stats"));
    drawStatsValues();
    drawButton(0.0f, -117.5f, 200.0f, 64.0f, 18.0f, "OK");
    endFold();
}

// --- Defeat and game over ----------------------------------------------------

void drawNoMovesPage() {
    beginFold();
    selectFont(0);
    const int32_t count = menu.currentPage->itemCount;
    const float widest = widestItemCaption(18.0f);
    const float w = (widest > 0.0f ? widest : 0.0f) + 94.0f;
    const float h = 36.0f * static_cast<float>(count) + 164.0f;
    drawMenuPanel(-w / 2.0f, h / 2.0f, w, h);
    setTextColour(55, 255, 255, 255);
    drawTextCentred(0.0f, 65.0f, 16.0f, pageText("nomoves"));
    drawTextCentred(0.0f, 30.0f, 16.0f, pageText("loselife"));
    drawItemList(0.0f, -40.0f, 18.0f, true);
    endFold();
}

// --- Gameplay tip ------------------------------------------------------------

int32_t gameplayTipCount() {
    char key[32];
    int32_t n = 0;
    while (n < kMaxGameplayTips) {
        std::snprintf(key, sizeof key, "gametip%i", n + 1);
        if (findText(key) == nullptr) {
            break;
        }
        ++n;
    }
    return n;
}

bool gameplayTipKey(int32_t counter, char* out, int capacity) {
    const int32_t count = gameplayTipCount();
    if (count == 0 || capacity <= 0) {
        return false;
    }
    int32_t k = counter % count;
    k = k < 0 ? k + count : k;
    std::snprintf(out, static_cast<size_t>(capacity), "gametip%i", k + 1);
    return true;
}

void drawGameplayTipPage() {
    // The counter counts confirmed tips; it stays within the tips there are.
    const int32_t count = gameplayTipCount();
    if (count > 0) {
        menu.gameTipCounter = ((menu.gameTipCounter % count) + count) % count;
    }
    char key[32];
    const char* tip = gameplayTipKey(menu.gameTipCounter, key, sizeof key) ? pageText(key) : "";
    beginFold();
    selectFont(0);
    const float textHeight = wrapText(440.0f, tip, 10.0f);
    const float h = textHeight + 80.0f;
    drawMenuPanel(-250.0f, h / 2.0f, 500.0f, h);
    setTextColour(255, 255, 255, 255);
    drawText(-220.0f, h / 2.0f - 30.0f, 10.0f, wrappedText(), false);
    drawButton(-160.0f, -h / 2.0f + 38.0f, 100.0f, 64.0f, 15.0f);
    uint8_t showTips = settings.showTips ? 1 : 0;
    drawCheckBox(-70.0f, -h / 2.0f + 36.0f, &showTips, pageText("showgametip"), 12.0f);
    settings.showTips = showTips != 0;
    endFold();
}

void registerLevelPageHooks() {
    setPageHook("adventure", drawLevelSelectPage);
    setPageHook("puzzle", drawLevelSelectPage);
    setPageHook("loadgamequest", drawSavedGameQuestionPage);
    setPageHook("levelcomplete", drawLevelStatsPage);
    setPageHook("defeat", drawNoMovesPage);
    setPageHook("gameover", drawNoMovesPage);
    setPageHook("gameplaytip", drawGameplayTipPage);
}

}  // namespace corsavel
