#pragma once

#include "game/game_state.h"

namespace corsavel {

// What only looks on the game screen, advanced by the gameplay's update (so
// the bot, which never draws, runs it too): the figures' sprite frames, the
// tiles' shimmer, the lightning arcs and this frame's bolts, the floating
// scores and tile-break pieces, the "MENU" pulse, the time bonus's after
// count, the sparkles, the tip balloon, the particle effects of the bonuses,
// flyers and fuse, and the fuse's darkening of the scene. Drawing only reads
// it. Random looks come from the looks' generator.

// The end points of the electric arcs around every lightning figure,
// re-chosen now and then.
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

// Bonus figures show their glows, arcs and effects only in play: not paused,
// won, timed out, in a menu or in the time-bonus count.
bool bonusOverlaysShown();

// The cell under the drawing cursor whose figure may be taken (not chained)
// while nothing else has the player's attention; false (and -1) otherwise.
bool hoveredCell(int& row, int& column);

// Before the rules' step: floating scores rise and fade and tile-break
// pieces fly off, so the ones the rules add are first shown as added.
void ageScorePieces(float stepMs);

// After the rules' step: everything else that only looks, as the next frame
// will show it.
void looksTick(float stepMs);

}  // namespace corsavel
