#pragma once

#include <cstdint>

namespace corsavel {

// The menu pages the gameplay opens over the board ("gameplay",
// "levelcomplete", "hiscore", "defeat"). Until the menu pages are drawn, the
// open page is kept as state and its leaving keys and clicks do what the
// page's main item does, so a level can be played from start to end.
struct InGamePages {
    char page[32] = {};
};

extern InGamePages inGamePages;

// Opens a page by name over the game (the gameplay sets `menuActive` itself).
void openInGamePage(const char* name);
// The open page's name, "" when none.
const char* inGamePageName();
// Input while a page is open: Enter, Escape or a click leave it.
void inGamePageKey(int32_t virtualKey);
void inGamePageClick();

// Wires the gameplay into the game screen and answers its requests (menu
// pages, the next level, the way back to the menus).
void installGameplayHooks();

// Starts the active profile's current level of its last mode on the game
// screen: where play resumes while no menu pages exist.
void startPlayersGame();

}  // namespace corsavel
