#include "app/stand_in_pages.h"

#include <cstdio>
#include <cstring>

#include "app/request_routes.h"
#include "app/screen.h"
#include "game/progress.h"
#include "game/rules.h"
#include "platform/virtual_keys.h"

namespace corsavel {

InGamePages inGamePages;

namespace {

void closePage() {
    inGamePages.page[0] = 0;
    game.flags.menuActive = false;
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

// The active profile's current level of its last mode, on the game screen:
// its saved game when it has one (as "yes" on the menus' question would),
// else the level afresh with three lives, as entering a mode does.
void startPlayersGame() {
    Profile& p = activeProfile();
    const int mode = profileMode(p);
    session.gameMode = static_cast<uint8_t>(mode);
    closePage();
    if (p.savedGame[mode] != 0 && loadSavedGame()) {
        return;
    }
    setProfileLives(p, 3);
    session.currentLevel = progressLevel(p);
    startCurrentLevel();
}

}  // namespace

void openInGamePage(const char* name) {
    std::snprintf(inGamePages.page, sizeof inGamePages.page, "%s", name != nullptr ? name : "");
}

const char* inGamePageName() {
    return inGamePages.page;
}

void inGamePageKey(int32_t virtualKey) {
    if (virtualKey == vk::kEnter || virtualKey == vk::kEscape) {
        leavePage();
    }
}

void inGamePageClick() {
    leavePage();
}

void openFirstPage() {
    startPlayersGame();
}

void returnToMenus() {
    closePage();
    startPlayersGame();
}

}  // namespace corsavel
