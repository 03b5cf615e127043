#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace corsavel {

// Board geometry and predicates.
Vec2 cellCentre(int column, int row);
void cellAt(float x, float y, int& column, int& row);
bool isValidCell(int row, int column);
bool hasFigure(int row, int column);
bool isFreeFigure(int row, int column);
bool isAtRest(const Figure& figure);
void clearFigure(int row, int column);
void spawnFigure(int row, int column);
bool canFallStraight();
bool isSettled();
bool landingBlocked(int row, int column);
int tileImage(int row, int column);

// Level files.
bool parseLevelText(const char* text, int levelIndex);
bool loadLevelFile(const char* name);
void loadLevelPacks();
void startLevel(int levelIndex);
void initialFill();
void countWorkAndTime(int levelIndex);
int32_t figureKindByName(const char* name);

// Moves and matches.
void onBoardClick();
void onBoardClickAt(float x, float y);
bool lineThrough(int row, int column);
void findAllLines();
bool markMatches();
void findMoves();
void noMovesTick();
void fixBoard();
void cascadeTick();
void clearingStep();
void gravityStep();
void motionStep();
void clearMarks();

// Bonuses, blasts, flyers, gold box, shake.
void queueBonusBlasts(int delayed);
void blastTick();
void strikeCell(int row, int column, const BlastEvent& event);
void startShake();
void shakeTick();
void startFlyer(int slot, float x, float y, int type);
void flyerTick();
void goldBoxTick();
bool cursorInBoxArea(Vec2 p);
// The HUD's "MENU" button, where a click opens the in-game menu.
constexpr Rect kMenuButtonArea{-385.0f, -18.0f, -300.0f, -38.0f};
bool inMenuButtonArea(Vec2 p);

// Scores, clock, lives.
void addFloatingScore(float x, float y, int32_t value);
void bankCellScores();
void awardMegaBoom();
void comboMessage(int chainStep);
void scoreTick();
void clockTick();
void grantLife();
int32_t timeBonusTotal();
void startTimeBonus();
void timeBonusTick();
void finishTimeBonus();
void loseLevel();

// Tips and hint.
void resetTipTimer();
void offerTip(float x, float y, const char* key, float delayMs, bool waitsForClick);
void tipTick();
void tipBubbleTick();
void closeTip();
// The tip's text (null when its key has none); whether (x, y) is on the close
// button of the blocking tip's balloon, which is kTipBalloonWidth wide at most.
constexpr float kTipBalloonWidth = 300.0f;
const char* currentTipText();
bool tipButtonHit(float x, float y);
// Where a click closes the blocking tip: its button's centre, or the tip's
// target when it has no text (and so no button).
Vec2 tipButtonCentre();

// Level flow and input. The gameplay's update is the rules' step with the
// looks' ticks around it (game/looks.h): it is all that changes the game, so
// a frame drawn or not plays the same game.
void gameplayUpdate();
void gameplayUpdateStep(float stepMs);
bool levelFlowClick();
void onBoardKey(int32_t virtualKey);
void onBoardButtonUp();
void onBoardPointerMove(float x, float y);
void onBoardDoubleClick();
void onBoardRightClick();
void onBoardMiddleClick();
void checkLevelComplete();
void recordCompletion();
void celebrationTick();
void advanceLevel();
void stageTick();
void hudTick();
bool gameplayMenuOpen();

// Rule checks that the frame step shares.
bool tipBlocks();
bool inPlay();

}  // namespace corsavel
