// The gameplay as the game screen reaches it, and the answers to what the
// gameplay asks of the layers above it.

#include <cstdio>
#include <cstring>

#include "app/hooks.h"
#include "app/ingame_pages.h"
#include "app/screen.h"
#include "game/game_hooks.h"
#include "game/rules.h"
#include "platform/pointer.h"
#include "ui/profile.h"

namespace corsavel {

InGamePages inGamePages;

namespace {

constexpr int32_t kVkEnter = 13;
constexpr int32_t kVkEscape = 27;

void boardPointerMove() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    onBoardPointerMove(x, y);
}

bool menuPagesExist() {
    return hooks.menu.updateAndDrawPages != nullptr;
}

void closePage() {
    inGamePages.page[0] = 0;
    game.flags.menuActive = false;
}

// The next level of a game in progress (after "levelcomplete" or the
// stage-complete screen).
void continueToNextLevel() {
    closePage();
    startLevel(session.currentLevel);
    requestScreen(&gameScreen);
}

void returnToMenus() {
    closePage();
    if (menuPagesExist()) {
        requestScreen(&menuScreen);
    } else {
        startPlayersGame();
    }
}

// A page's main item: resume, continue to the next level, or play again.
void leavePage() {
    if (std::strcmp(inGamePages.page, "levelcomplete") == 0) {
        closePage();
        advanceLevel();
    } else if (std::strcmp(inGamePages.page, "defeat") == 0) {
        // Another try at the same level costs a life, as after the first loss.
        closePage();
        removeProfileLife(activeProfile());
        startLevel(session.currentLevel);
    } else if (std::strcmp(inGamePages.page, "hiscore") == 0) {
        returnToMenus();
    } else {
        closePage();
    }
}

}  // namespace

void openInGamePage(const char* name) {
    std::snprintf(inGamePages.page, sizeof inGamePages.page, "%s", name != nullptr ? name : "");
}

const char* inGamePageName() {
    return inGamePages.page;
}

void inGamePageKey(int32_t virtualKey) {
    if (virtualKey == kVkEnter || virtualKey == kVkEscape) {
        leavePage();
    }
}

void inGamePageClick() {
    leavePage();
}

void startPlayersGame() {
    const Profile& p = activeProfile();
    session.gameMode = p.lastMode <= 1 ? p.lastMode : 0;
    closePage();
    startLevel(progressLevel(p));
    requestScreen(&gameScreen);
}

void installGameplayHooks() {
    GameplayHooks& g = hooks.gameplay;
    g.update = gameplayUpdate;
    g.keyDown = onBoardKey;
    g.leftDown = onBoardClick;
    g.leftUp = onBoardButtonUp;
    g.leftDoubleClick = onBoardDoubleClick;
    g.rightDown = onBoardRightClick;
    g.middleDown = onBoardMiddleClick;
    g.mouseMove = boardPointerMove;
    g.pauseMenuOpen = gameplayMenuOpen;
    hooks.load.loadLevelPacks = loadLevelPacks;
    gameplayServices.openMenuPage = openInGamePage;
    gameplayServices.continueToNextLevel = continueToNextLevel;
    gameplayServices.returnToMenus = returnToMenus;
    if (!menuPagesExist()) {
        hooks.menu.keyDown = inGamePageKey;
        hooks.menu.leftDown = inGamePageClick;
        hooks.intro.openFirstMenuPage = startPlayersGame;
    }
}

}  // namespace corsavel
