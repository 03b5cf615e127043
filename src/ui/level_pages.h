#pragma once

#include <cstdint>

namespace corsavel {

// The pages around play: level choice on the map ("adventure", "puzzle"),
// the saved-game question, the level statistics after a win, the no-moves
// box after a loss ("defeat", "gameover") and the gameplay tip. Each is a
// draw hook of the menus; the statistics also count up while they draw.

// Attaches the hooks by page name (before or after the menus are loaded).
void registerLevelPageHooks();

void drawLevelSelectPage();
void drawSavedGameQuestionPage();
void drawLevelStatsPage();
void drawNoMovesPage();
void drawGameplayTipPage();

// The count-up of the level statistics. Phase 0 counts the score up over
// 1 ms per point (at most 2500 ms) with a tick sound every 100 ms; when it
// ends the count is finished, and a score that reaches the level's record
// gets its cheer. Phase 1 ends at once; from phase 2 nothing counts.
constexpr float kStatsTickMs = 100.0f;
constexpr float kStatsMaxCountMs = 2500.0f;

struct LevelStats {
    int32_t score = 0;        // the level's score
    float timeMs = 0.0f;      // the level's time
    int32_t recordScore = 0;  // the level record of the mode, as the page opened
    int32_t recordTimeMs = 0;
    char scoreHolder[32] = {};
    char timeHolder[32] = {};
    int32_t phase = 0;
    float phaseMs = 0.0f;
    float tickMs = 0.0f;
    bool finished = false;
    float pulseMs = 0.0f;
    // The frame the page was last drawn: a gap means the page opened anew.
    uint32_t lastFrame = 0;
    bool started = false;
};

extern LevelStats levelStats;

// What one step of the count asks to be heard and seen.
struct LevelStatsEvents {
    int32_t ticks = 0;            // "score.ogg" plays this often
    int32_t tickRateHz[32] = {};  // at these rates
    bool cheer = false;           // "wow.ogg" and "scorewow"
};

// The page opens on the running level's result and the mode's record.
void startLevelStats(LevelStats& stats, int32_t score, float timeMs, int32_t recordScore,
                     int32_t recordTimeMs);
float levelStatsDuration(const LevelStats& stats);
void levelStatsStep(LevelStats& stats, float frameMs, LevelStatsEvents* events);
// Enter before the count ends: the count jumps to its end.
void finishLevelStats(LevelStats& stats);
int32_t shownStatsScore(const LevelStats& stats);
float shownStatsTimeMs(const LevelStats& stats);
bool scoreReachesRecord(const LevelStats& stats);
bool timeReachesRecord(const LevelStats& stats);

// How many gameplay tips the string table holds ("gametip1", "gametip2", ...
// in a row), and the key of the tip a counter shows: the counter wraps
// within the tips that exist. False when there is no tip at all.
int32_t gameplayTipCount();
bool gameplayTipKey(int32_t counter, char* out, int capacity);

}  // namespace corsavel
