#include "app/request_routes.h"

#include "app/load_steps.h"
#include "app/screen.h"
#include "game/game_requests.h"
#include "game/hud_textures.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/background.h"
#include "platform/render_device.h"
#include "platform/window.h"
#include "ui/menu.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"

namespace corsavel {

namespace {

// A level start closes whatever page stood over the last one.
void closeMenuOverGame() {
    game.flags.menuActive = false;
}

}  // namespace

void startCurrentLevel() {
    closeMenuOverGame();
    setProgressLevel(activeProfile(), session.currentLevel);
    startLevel(session.currentLevel);
    requestScreen(&gameScreen);
}

void restartInPlace() {
    startCurrentLevel();
}

bool saveRunningGame() {
    if (screens.currentScreen != &gameScreen || !saveGame()) {
        return false;
    }
    // The saved flag reaches "profiles.dat" at once, so a crash later still
    // offers the saved game.
    saveAll();
    return true;
}

bool loadSavedGame() {
    const bool loaded = loadGame();
    // A game saved from the pause page resumes in play, not under the page.
    closeMenuOverGame();
    requestScreen(&gameScreen);
    return loaded;
}

// A won level's score and time enter its record and the profile's score the
// hiscores; a lost game's final score enters the hiscores only (its level
// was not finished, so its time is no record). The save of the tables runs
// once after every request of the frame, so it holds what they changed
// whatever order they were posted in.
void handleGameRequests() {
    GameRequest r;
    bool saveTables = false;
    while (takeRequest(&r)) {
        Profile* profile = currentProfileRecord();
        switch (r.kind) {
            case GameRequestKind::OpenPage:
                openInGamePage(r.text);
                break;
            case GameRequestKind::NextLevel:
                // A won level (and a finished stage) leads to the map with
                // the next level selected.
                openModePage();
                break;
            case GameRequestKind::ReturnToMenus:
                // The closing picture of the whole game leads to "main"; the
                // instructions opened from the help page lead back to it.
                if (game.flags.gameComplete) {
                    openMainPage();
                } else {
                    openInfoPage();
                }
                break;
            case GameRequestKind::ShowGameComplete:
                loadGameCompletePicture();
                break;
            case GameRequestKind::SetTintNow:
                setTintNow(r.value);
                break;
            case GameRequestKind::SetTintTarget:
                setTintTarget(r.value);
                break;
            case GameRequestKind::LoadBackground:
                loadBackground(r.number);
                break;
            case GameRequestKind::QueueBackground:
                queueBackground(r.number);
                break;
            case GameRequestKind::RecordLevelResult:
                if (profile != nullptr) {
                    recordLevelResult(*profile, session.gameMode, session.currentLevel, r.number,
                                      r.value[0]);
                }
                break;
            case GameRequestKind::RecordGameOver:
                if (profile != nullptr) {
                    insertHiscore(*profile, session.gameMode);
                }
                break;
            case GameRequestKind::SaveTables:
                saveTables = true;
                break;
        }
    }
    if (saveTables) {
        saveAll();
    }
}

void installMenuRoutes() {
    menuRoutes.startCurrentLevel = startCurrentLevel;
    menuRoutes.restartInPlace = restartInPlace;
    menuRoutes.saveRunningGame = saveRunningGame;
    menuRoutes.loadSavedGame = loadSavedGame;
    menuRoutes.saveAll = saveAll;
    menuRoutes.showMenuScreen = [] { requestScreen(&menuScreen); };
    menuRoutes.showGameScreen = [] { requestScreen(&gameScreen); };
    menuRoutes.gameScreenCurrent = [] { return screens.currentScreen == &gameScreen; };
    menuRoutes.applyDisplayMode = [] {
        setGameWindowFullScreen(renderDevice.fullScreen != 0);
        requestDisplayReset();
    };
}

}  // namespace corsavel
