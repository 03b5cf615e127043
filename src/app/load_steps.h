#pragma once

#include <cstdint>

namespace corsavel {

// The one-time load as one table of named steps in the game's fixed order.
// A step may also have a release (at shutdown, in reverse order) and a save
// (at every save of the tables and at shutdown, in order). A new subsystem
// plugs in by adding its row.
struct LoadStep {
    const char* name;
    void (*load)();
    void (*release)();  // null: nothing to release
    void (*save)();     // null: nothing to save
};

// The steps in load order.
int loadStepCount();
const LoadStep& loadStep(int index);

// Starts work of the load that can run before it on a worker thread while
// the splash pictures show: the sample files are read and decoded (the load
// still reads each file itself and uses a decode only for the same bytes).
void startLoadingAhead();

// Wall-clock milliseconds of each step in the last loadAll, by step index
// (the load benchmark reports them); 0 for a step that has not run.
double lastLoadStepMs(int index);

// The loading screen is redrawn while assets arrive, but a redraw is a whole
// present: it is due only when the bar's drawn width has changed and at
// least one display refresh has passed since the last one. Every asset still
// counts its bytes; the screen shows the latest count.
constexpr uint32_t kLoadingRedrawMs = 16;
struct LoadingRedrawGate {
    int drawnPixels = -1;  // -1: nothing drawn yet
    uint32_t drawnAtMs = 0;
    // True when a redraw is due now (and records it as drawn).
    bool due(float fraction, float barWidth, uint32_t nowMs);
};

// Every step's release, last step first.
void releaseLoadSteps();
// Every step's save, in order: the settings record and the tables.
void saveAll();

}  // namespace corsavel
