#pragma once

#include <string>
#include <vector>

#include "forge/forge.h"

// The menu page tree ("menu.txt") and the page captions with the credits
// ("menutext.txt").
namespace corsavel::forge {

struct MenuBlock {
    std::string page;
    std::vector<std::string> items;
};

// Every page that has items, in file order.
const std::vector<MenuBlock>& menuBlocks();
// Caption of every page the menus can show, by page name.
const std::vector<std::pair<std::string, std::string>>& menuCaptions();
const std::vector<std::string>& creditLines();

std::string menuFileText();
std::string menuTextFileText();

// Adds both files to "texts.dat" and as loose files.
void forgeMenus(ForgeOutput& out);

}  // namespace corsavel::forge
