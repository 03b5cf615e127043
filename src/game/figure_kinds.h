#pragma once

#include <cstdint>
#include <cstdio>

namespace corsavel {

// The 17 treasure figures by FigureKind id: the names level files use in
// "figure%i=" and the sprite sheets are named after ("figures\coins.tga").
constexpr int kFigureKindCount = 17;
constexpr const char* kFigureKindNames[kFigureKindCount] = {
    "coins",   "nugget", "perl",   "perls",  "rings2",  "rings3", "sack",   "scepter", "bracelet",
    "brooch1", "crown",  "dagger", "goblet", "locket1", "pot",    "rings1", "diamond"};

// The name of a kind, "" outside 0..16.
constexpr const char* figureKindName(int kind) {
    return kind >= 0 && kind < kFigureKindCount ? kFigureKindNames[kind] : "";
}

// The sprite sheet of a kind in the game's file vocabulary.
inline void figureSheetPath(int kind, char* out, int capacity) {
    std::snprintf(out, static_cast<size_t>(capacity), "figures\\%s.tga", figureKindName(kind));
}

}  // namespace corsavel
