#pragma once

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

// Wall-clock milliseconds of each step in the last loadAll, by step index
// (the load benchmark reports them); 0 for a step that has not run.
double lastLoadStepMs(int index);

// Every step's release, last step first.
void releaseLoadSteps();
// Every step's save, in order: the settings record and the tables.
void saveAll();

}  // namespace corsavel
