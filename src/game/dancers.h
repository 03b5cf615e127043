#pragma once

#include "game/game_state.h"

namespace corsavel {

// The level's dancers: each plays the dances of its sequence one after the
// other, cross-fading into the next shortly before the current one ends.

// Milliseconds of cross-fade (and of lead before a dance's end); a sequence
// that opens with two jump-splits uses the short one.
constexpr float kDanceBlendMs = 300.0f;
constexpr float kJumpSplitBlendMs = 50.0f;
constexpr int kJumpSplitDance = 14;

// Loads the characters, dances and hats from the "models" folder (load-all).
void loadDancers();
void freeDancers();

// The dance number at a sequence position, or -1 when the position is
// outside the sequence or holds no dance number 0..15 (the -1 at its end).
int danceAt(const Dancer& dancer, int index);

// One frame of every dancer's sequencing and clock (the looks' tick; no
// random numbers). A dancer without its dances loaded stands still.
void dancersTick(float stepMs);
void tickDancer(Dancer& dancer, float stepMs);

// Draws the dancers with their own camera and light, and puts the game's
// view, projection and states back afterwards.
void drawDancers();

// The character a dancer is drawn with (its slot and model number bounded).
int dancerKind(const Dancer& dancer);

}  // namespace corsavel
