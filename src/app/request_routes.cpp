#include "app/request_routes.h"

#include "app/load_steps.h"
#include "app/screen.h"
#include "app/stand_in_pages.h"
#include "game/game_requests.h"
#include "game/hud_textures.h"
#include "game/rules.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"
#include "gfx/background.h"

namespace corsavel {

void startCurrentLevel() {
    openInGamePage("");
    startLevel(session.currentLevel);
    requestScreen(&gameScreen);
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
    openInGamePage("");
    const bool loaded = loadGame();
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
                startCurrentLevel();
                break;
            case GameRequestKind::ReturnToMenus:
                returnToMenus();
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

}  // namespace corsavel
