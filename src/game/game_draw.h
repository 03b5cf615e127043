#pragma once

// The game screen's drawing, step by step. `gameplayDraw` calls the steps in
// the frame's order; each step reads the state the update left and changes
// nothing but the device's states and the frame's vertices, so a frame drawn
// or not makes no difference to the game. These files use the render device
// and gfx/; the rule files never include this header.

#include "game/game_state.h"

namespace corsavel {

// The gameplay state as drawing sees it: read-only.
inline const GameState& shown = game;

// The whole game screen for one frame (view, projection, 2D mode, then the
// steps below in order, text effects last).
void gameplayDraw();

// The game screen's view: the 800x600 scene seen from 150 units back, in
// the 2D mode, culling off (also for tests that draw single steps).
void setGameView();

// Board side: textures, board with tiles, shimmer, figures, chains, bonus
// overlays, swap, hover press; beams and bolts; flyers; hand and cursor.
// Loading happens once, at start-up (or in a test's set-up), never while drawing.
void loadBoardTextures();
void drawBoard();
void drawBeams();
void drawFlyers();
void drawHand();

// The gold box model with its lid.
void loadGoldBox();
void drawGoldBox();

// HUD side: panel, score, level, lives, "MENU"; fuse and barrel; time bonus
// texts; hint; tip balloon; pause, stage, celebration and game-complete texts;
// instructions overlay; floating scores and tile-break pieces.
void loadHudTextures();
void drawHud();
void drawPauseText();
void drawTimeFuse();
void drawTimeBonusTexts();
void drawHint();
// The hint's two halves, drawn by the board under its shake: the line's glow
// over the tiles, the marker over the figures.
void drawHintLine();
void drawHintMarker();
void drawTipBalloon();
void drawCelebrationOverlay();
void drawStageComplete();
void drawGameComplete();
void drawInstructionsOverlay();
void drawFloatingScores();
void drawTileBreaks();

}  // namespace corsavel
