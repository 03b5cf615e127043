#pragma once

#include <cstdint>

#include "game/figure_kinds.h"
#include "game/game_state.h"

namespace corsavel {


// What the board drawing keeps between frames: the end points of the
// electric arcs around every lightning figure, re-chosen now and then.
struct BoardDrawState {
    struct Arcs {
        Vec2 ends[8];
        float nextChangeMs = 0.0f;
        bool chosen = false;
    };
    Arcs arcs[kRows][kColumns];
};
extern BoardDrawState boardDraw;

// One frame of a figure's sprite clock: a hovered figure spins; one that was
// hovered spins on until its frame wraps to 0.
void animateFigure(Figure& figure, bool hovered, float stepMs);

// The cell under the drawing cursor whose figure may be taken (not chained)
// while nothing else has the player's attention; false (and -1) otherwise.
bool hoveredCell(int& row, int& column);

}  // namespace corsavel
