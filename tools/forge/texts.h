#pragma once

#include <string>

#include "forge/forge.h"

// The game's text tables: "strings.txt" (labels, messages, captions, default
// player names) and "tips.txt" (loading tips, game tips, menu button tips).
namespace corsavel::forge {

// Longest key the text table stores (20-byte field with its NUL).
constexpr size_t kMaxTextKeyLength = 19;

std::string stringsText();
std::string tipsText();

// Adds both tables to "texts.dat" and as loose files.
void forgeTexts(ForgeOutput& out);

}  // namespace corsavel::forge
