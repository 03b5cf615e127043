#pragma once

#include <cstdint>

namespace corsavel {

// Inside the menus: the draw hooks of the pages reached from the menu
// screen, registered by loadMenus; and the page key rules, run between the
// name entry and the generic keys (returns the key to process, 0 to drop).
void registerMenuPageHooks();
int32_t pageKeyRule(int32_t key);

// The draw hooks (also callable from tests).
void drawMainPage();
void drawProfilesPage();
void drawNameEntryPage();
void drawOptionsPage();
void drawHiscorePage();
void drawCreditsPage();
void drawMessageBoxPage();

}  // namespace corsavel
