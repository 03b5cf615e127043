#pragma once

#include <cstdint>

namespace corsavel {

// Stands in for the menu pages until they exist: the pages the gameplay
// opens over the board ("gameplay", "levelcomplete", "hiscore", "defeat")
// are kept as a name, and Enter, Escape or a click on one does what the
// page's main item does, so a level can be played from start to end; where
// the menus would open after the intro or a finished game, the player's
// level starts instead. The whole stand-in is this file and its .cpp.
struct InGamePages {
    char page[32] = {};
};

extern InGamePages inGamePages;

void openInGamePage(const char* name);
// The open page's name, "" when none.
const char* inGamePageName();
void inGamePageKey(int32_t virtualKey);
void inGamePageClick();
// Where the menus would open: after the intro and after a finished game.
void openFirstPage();
void returnToMenus();

}  // namespace corsavel
