// Profiles and saves in scripts: create, select, rename and remove
// profiles, save and load the game in progress, close the window as the
// player would and start the game again on the same user folder, and read
// the profile, its saved games, the level's record and the hiscores.

#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/load_steps.h"
#include "app/request_routes.h"
#include "app/screen.h"
#include "ui/menu.h"
#include "game/game_requests.h"
#include "game/progress.h"
#include "game/rules.h"
#include "harness.h"
#include "platform/settings_store.h"
#include "ui/player_tables.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"

namespace corsavel::harness {

namespace {

// The outcome of the last profile, save or load command (1 done, 0 refused).
struct ProfileCommandState {
    int lastProfileOk = -1;
    int lastSaveOk = -1;
    int lastLoadOk = -1;
    int restarts = 0;
};

ProfileCommandState state;

bool parseIndex(const std::string& s, int* out) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -1 || v > 100) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

// Words after the first `skip` joined by single spaces: names may hold spaces.
std::string joined(const HarnessArgs& args, size_t skip) {
    std::string name;
    for (size_t i = skip; i < args.size(); ++i) {
        name += (name.empty() ? "" : " ") + args[i];
    }
    return name;
}

void loadIfNeeded() {
    if (app.loadAllCount == 0) {
        loadAll();
        app.loadAllPending = false;
    }
}

// profile create NAME | select N | rename N NAME | remove N: the table's
// operations; the outcome lands in lastProfileOk.
bool profileCommand(const HarnessArgs& args, std::string* error) {
    loadIfNeeded();
    int index = 0;
    const std::string verb = args.empty() ? "" : args[0];
    bool ok = false;
    if (verb == "create" && args.size() >= 2) {
        ok = createProfile(joined(args, 1).c_str());
    } else if (verb == "select" && args.size() == 2 && parseIndex(args[1], &index)) {
        ok = selectProfile(index);
    } else if (verb == "remove" && args.size() == 2 && parseIndex(args[1], &index)) {
        ok = removeProfile(index);
    } else if (verb == "rename" && args.size() >= 3 && parseIndex(args[1], &index)) {
        ok = renameProfile(index, joined(args, 2).c_str());
    } else {
        *error = "usage: profile create NAME | select N | rename N NAME | remove N";
        return false;
    }
    storeProfileCountInSettings();
    state.lastProfileOk = ok ? 1 : 0;
    return true;
}

// savegame: what the pause menu's "main" does first; the outcome lands in
// lastSaveOk.
bool saveGameCommand(const HarnessArgs& args, std::string* error) {
    if (!args.empty()) {
        *error = "savegame takes no arguments";
        return false;
    }
    state.lastSaveOk = saveRunningGame() ? 1 : 0;
    return true;
}

// loadgame [MODE]: "yes" on the saved-game question, in the given mode or
// the profile's last one.
bool loadGameCommand(const HarnessArgs& args, std::string* error) {
    int mode = -1;
    if (args.size() > 1 ||
        (args.size() == 1 && (!parseIndex(args[0], &mode) || mode < 0 || mode > 1))) {
        *error = "usage: loadgame [MODE]";
        return false;
    }
    loadIfNeeded();
    session.gameMode = static_cast<uint8_t>(mode >= 0 ? mode : profileMode(activeProfile()));
    state.lastLoadOk = loadSavedGame() ? 1 : 0;
    applyScreenSwitch();
    return true;
}

// restart [crash]: the player closes the window (which saves a running
// level) and the game's shutdown saves the tables; then the game starts
// again on the same folders: the settings record and the tables are read
// afresh, the gameplay starts empty, and the intro waits for its "click to
// continue". With "crash" nothing is saved, as a killed game leaves its
// files. The window, the device and the loaded assets are kept, so the
// frames after a restart draw as before.
bool restartCommand(const HarnessArgs& args, std::string* error) {
    const bool crash = args.size() == 1 && args[0] == "crash";
    if (args.size() > 1 || (args.size() == 1 && !crash)) {
        *error = "usage: restart [crash]";
        return false;
    }
    loadIfNeeded();
    if (!crash) {
        sendMessage({MessageKind::Close, 0});
        saveAll();
    }
    app.quitRequested = 0;
    forgetPlayerTables();
    game = GameState{};
    session = SessionState{};
    clearRequests();
    // No page stays open from before.
    menu.currentPage = nullptr;
    menu.entering = false;
    menu.leaving = false;
    readSettings();
    for (int i = 0; i < loadStepCount(); ++i) {
        if (std::string(loadStep(i).name) == "settings") {
            loadStep(i).load();
        }
    }
    intro = IntroState{};
    intro.splashTimerMs = kSplashMs;
    setCurrentScreen(&introScreen);
    state.restarts += 1;
    return true;
}

int progressOf(int mode) {
    const Profile& p = activeProfile();
    return stageStart(p.currentStage[mode]) + p.currentIndex[mode];
}

int unlockedOf(int mode) {
    const Profile& p = activeProfile();
    return stageStart(p.unlockedStage[mode]) + p.unlockedIndex[mode];
}

const LevelRecord& currentRecord() {
    const int mode = session.gameMode != 0 ? 1 : 0;
    const int level =
        session.currentLevel < 0 || session.currentLevel >= kLevelCount ? 0 : session.currentLevel;
    return scoreTables.records[mode][level];
}

const HiscoreEntry& topHiscore() {
    return scoreTables.hiscores[session.gameMode != 0 ? 1 : 0][0];
}

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

[[maybe_unused]] const bool registered =
    registerHarnessCommand("profile", profileCommand) &&
    registerHarnessCommand("savegame", saveGameCommand) &&
    registerHarnessCommand("loadgame", loadGameCommand) &&
    registerHarnessCommand("restart", restartCommand) &&
    registerDumpField("lastProfileOk", [] { return num(state.lastProfileOk); }) &&
    registerDumpField("lastSaveOk", [] { return num(state.lastSaveOk); }) &&
    registerDumpField("lastLoadOk", [] { return num(state.lastLoadOk); }) &&
    registerDumpField("restarts", [] { return num(state.restarts); }) &&
    registerDumpField("profileCount", [] { return num(profileTable.count); }) &&
    registerDumpField("profileIndex", [] { return num(profileTable.current); }) &&
    registerDumpField("profileName",
                      [] {
                          const Profile* p = currentProfileRecord();
                          return HarnessValue::string(p != nullptr ? p->name : "");
                      }) &&
    registerDumpField("profileLastMode", [] { return num(activeProfile().lastMode); }) &&
    registerDumpField("progressLevel0", [] { return num(progressOf(0)); }) &&
    registerDumpField("progressLevel1", [] { return num(progressOf(1)); }) &&
    registerDumpField("unlockedLevel0", [] { return num(unlockedOf(0)); }) &&
    registerDumpField("unlockedLevel1", [] { return num(unlockedOf(1)); }) &&
    registerDumpField("profileLives0", [] { return num(activeProfile().lives[0]); }) &&
    registerDumpField("profileLives1", [] { return num(activeProfile().lives[1]); }) &&
    registerDumpField("profileScore0", [] { return num(activeProfile().score[0]); }) &&
    registerDumpField("profileScore1", [] { return num(activeProfile().score[1]); }) &&
    registerDumpField("savedGame0", [] { return num(activeProfile().savedGame[0]); }) &&
    registerDumpField("savedGame1", [] { return num(activeProfile().savedGame[1]); }) &&
    registerDumpField("recordScore", [] { return num(currentRecord().bestScore); }) &&
    registerDumpField("recordTimeMs", [] { return num(currentRecord().bestTimeMs); }) &&
    registerDumpField("recordScoreHolder",
                      [] { return HarnessValue::string(currentRecord().scoreHolder); }) &&
    registerDumpField("recordTimeHolder",
                      [] { return HarnessValue::string(currentRecord().timeHolder); }) &&
    registerDumpField("topHiscore", [] { return num(topHiscore().score); }) &&
    registerDumpField("topHiscoreName", [] { return HarnessValue::string(topHiscore().name); }) &&
    registerDumpField("hiscoreHighlight", [] { return num(scoreTables.highlight); });

}  // namespace

}  // namespace corsavel::harness
