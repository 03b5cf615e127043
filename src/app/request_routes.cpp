#include "app/request_routes.h"

#include "app/screen.h"
#include "app/stand_in_pages.h"
#include "game/game_requests.h"
#include "game/hud_textures.h"
#include "game/rules.h"
#include "gfx/background.h"

namespace corsavel {

void startCurrentLevel() {
    openInGamePage("");
    startLevel(session.currentLevel);
    requestScreen(&gameScreen);
}

void handleGameRequests() {
    GameRequest r;
    while (takeRequest(&r)) {
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
            // The game has no profile table yet: these go unanswered.
            case GameRequestKind::RecordLevelResult:
            case GameRequestKind::RecordGameOver:
            case GameRequestKind::SaveTables:
                break;
        }
    }
}

}  // namespace corsavel
