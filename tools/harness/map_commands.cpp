// The island map in scripts: show it for a mode and a progress, point at and
// double-click a level mark by number, and read the selected, current and
// furthest levels, the mark under the pointer and (on request) every mark's
// position; and the level statistics' count.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/screen.h"
#include "game/game_state.h"
#include "game/progress.h"
#include "harness.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "ui/level_pages.h"
#include "ui/map.h"
#include "ui/menu.h"

namespace corsavel::harness {

namespace {

struct MapCommandState {
    bool dumpMarks = false;
    int watchedMark = 0;
};

MapCommandState state;

bool parseLevel(const std::string& s, int* out) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < 0 || v >= kLevelMarkCount) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

void ensureLoaded() {
    if (app.loadAllCount == 0) {
        loadAll();
        app.loadAllPending = false;
    }
}

MapView currentView() {
    return makeMapView(activeProfile(), session.gameMode, mapState.selectedLevel,
                       menuScreen.menuTimerMs);
}

// The watched mark's colour channel (shift 24 alpha, 16 red, 8 green) as drawn now.
HarnessValue watchedChannel(int shift) {
    const Colour c = levelMarkColour(currentView(), state.watchedMark);
    return HarnessValue::number(static_cast<double>((c >> shift) & 0xFF));
}

// map MODE [FURTHEST [CURRENT]]: the menu screen with the map of the mode;
// the profile's furthest and current levels of the mode are set when given.
// The selection starts on the current level.
bool mapCommand(const HarnessArgs& args, std::string* error) {
    int mode = 0;
    int furthest = -1;
    int current = -1;
    const bool ok = !args.empty() && args.size() <= 3 && (args[0] == "0" || args[0] == "1") &&
                    (args.size() < 2 || parseLevel(args[1], &furthest)) &&
                    (args.size() < 3 || parseLevel(args[2], &current));
    if (!ok) {
        *error = "usage: map MODE [FURTHEST [CURRENT]] (mode 0 or 1, levels 0..99)";
        return false;
    }
    mode = args[0] == "1" ? 1 : 0;
    ensureLoaded();
    session.gameMode = static_cast<uint8_t>(mode);
    Profile& p = activeProfile();
    setLastMode(p, mode);
    if (furthest >= 0) {
        p.unlockedStage[mode] = stageOfLevel(furthest);
        p.unlockedIndex[mode] = levelInStage(furthest);
        if (current < 0 || current > furthest) {
            current = furthest;
        }
    }
    if (current >= 0) {
        setProgressLevel(p, current);
    }
    mapState.selectedLevel = currentView().current;
    session.currentLevel = mapState.selectedLevel;
    setMenuBackdrop(1);
    requestScreen(&menuScreen);
    applyScreenSwitch();
    return true;
}

bool markPoint(const HarnessArgs& args, std::string* error, Vec2* out) {
    int level = 0;
    if (args.size() != 1 || !parseLevel(args[0], &level)) {
        *error = "usage: mark... LEVEL (0..99)";
        return false;
    }
    ensureLoaded();
    *out = mapState.levelMarkPoints[level];
    return true;
}

// markmove N: the pointer onto level mark N.
bool markMoveCommand(const HarnessArgs& args, std::string* error) {
    Vec2 p;
    if (!markPoint(args, error, &p)) {
        return false;
    }
    overridePointer(p.x, p.y);
    sendMessage({MessageKind::MouseMove, 0});
    return true;
}

// markdblclick N: the pointer onto level mark N, then a double click there.
bool markDoubleClickCommand(const HarnessArgs& args, std::string* error) {
    if (!markMoveCommand(args, error)) {
        return false;
    }
    for (MessageKind kind : {MessageKind::LeftDown, MessageKind::LeftUp,
                             MessageKind::LeftDoubleClick, MessageKind::LeftUp}) {
        sendMessage({kind, 0});
    }
    return true;
}

// mapmark N: the fields mapMarkX, mapMarkY, mapMarkRed, mapMarkGreen,
// mapMarkAlpha and mapMarkSize describe level mark N from now on.
bool mapMarkCommand(const HarnessArgs& args, std::string* error) {
    int level = 0;
    if (args.size() != 1 || !parseLevel(args[0], &level)) {
        *error = "usage: mapmark LEVEL (0..99)";
        return false;
    }
    state.watchedMark = level;
    return true;
}

// ingamepage NAME: the page opens over the running game, as the gameplay
// opens its pages.
bool inGamePageCommand(const HarnessArgs& args, std::string* error) {
    if (args.size() != 1 || findPage(args[0].c_str()) == nullptr) {
        *error = "usage: ingamepage NAME (a page of the menus)";
        return false;
    }
    openInGamePage(args[0].c_str());
    return true;
}

// mapmarks: every later dump lists the 100 marks' positions.
bool mapMarksCommand(const HarnessArgs& args, std::string* error) {
    if (!args.empty()) {
        *error = "mapmarks takes no arguments";
        return false;
    }
    state.dumpMarks = true;
    return true;
}

HarnessValue marksField() {
    if (!state.dumpMarks) {
        return HarnessValue::json("null");
    }
    std::string json = "[";
    char item[64];
    for (int i = 0; i < kLevelMarkCount; ++i) {
        const Vec2 p = mapState.levelMarkPoints[i];
        std::snprintf(item, sizeof item, "%s[%.2f,%.2f]", i == 0 ? "" : ",", p.x, p.y);
        json += item;
    }
    return HarnessValue::json(json + "]");
}

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

const bool registered =
    registerHarnessCommand("map", mapCommand) &&
    registerHarnessCommand("markmove", markMoveCommand) &&
    registerHarnessCommand("markdblclick", markDoubleClickCommand) &&
    registerHarnessCommand("mapmarks", mapMarksCommand) &&
    registerHarnessCommand("mapmark", mapMarkCommand) &&
    registerHarnessCommand("ingamepage", inGamePageCommand) &&
    registerDumpField("gameTipCounter", [] { return num(menu.gameTipCounter); }) &&
    registerDumpField("mapMarkX",
                      [] { return num(mapState.levelMarkPoints[state.watchedMark].x); }) &&
    registerDumpField("mapMarkY",
                      [] { return num(mapState.levelMarkPoints[state.watchedMark].y); }) &&
    registerDumpField("mapMarkRed", [] { return watchedChannel(16); }) &&
    registerDumpField("mapMarkGreen", [] { return watchedChannel(8); }) &&
    registerDumpField("mapMarkAlpha", [] { return watchedChannel(24); }) &&
    registerDumpField("mapMarkSize",
                      [] { return num(levelMarkSize(currentView(), state.watchedMark)); }) &&
    registerDumpField("mapSelectedLevel", [] { return num(mapState.selectedLevel); }) &&
    registerDumpField("mapBestLevel", [] { return num(currentView().best); }) &&
    registerDumpField("mapCurrentLevel", [] { return num(currentView().current); }) &&
    registerDumpField("mapOpenZone", [] { return num(currentView().openZone); }) &&
    registerDumpField("mapPathPoints", [] { return num(mapState.path.count); }) &&
    registerDumpField("mapMarkUnderPointer",
                      [] {
                          Vec2 p;
                          pointerPosition(&p.x, &p.y);
                          return num(levelMarkAt(p));
                      }) &&
    registerDumpField("mapMarks", marksField) &&
    registerDumpField("statsPhase", [] { return num(levelStats.phase); }) &&
    registerDumpField("statsFinished", [] { return num(levelStats.finished ? 1 : 0); }) &&
    registerDumpField("statsScore", [] { return num(shownStatsScore(levelStats)); }) &&
    registerDumpField("statsTimeMs", [] { return num(shownStatsTimeMs(levelStats)); }) &&
    registerDumpField("statsRecordScore", [] { return num(levelStats.recordScore); });

}  // namespace

}  // namespace corsavel::harness
