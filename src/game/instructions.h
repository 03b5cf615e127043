#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace corsavel {

// The instructions overlay: its close button and the two demonstration
// boards, each a 4 x 4 board where a demonstration hand makes one scripted
// move: it goes to a cell, clicks, swaps its figure in, the line clears
// (taking a tile layer where there is one) and scripted figures refill the
// gaps. The two boards start a little apart; 500 ms after both have
// finished the boards fade out, the script starts again and they fade in.

// The "OK" button, centred at (30, -170), 130 x 64.
constexpr Rect kInstructionsButton{-35.0f, -138.0f, 95.0f, -202.0f};
bool instructionsButtonHit(float x, float y);
// Closes the overlay; when it was opened from the main menu, back to the menus.
void closeInstructions();

constexpr int kDemoSize = 4;
constexpr int kDemoBoardCount = 2;
constexpr int kDemoRefill = 4;
constexpr int kDemoPieces = 8;
constexpr float kDemoFadeMs = 400.0f;
constexpr float kDemoRestartMs = 500.0f;

// What one board shows and does: tile layers, figure kinds (FigureKind ids,
// row 0 at the top), the hand's figure, the cell it clicks, the figures that
// drop into each column afterwards (the lowest first, -1 ends the list) and
// when the board starts after the script begins.
struct DemoScript {
    int8_t layers[kDemoSize][kDemoSize];
    int8_t figures[kDemoSize][kDemoSize];
    int8_t held;
    int8_t row;
    int8_t column;
    int8_t refill[kDemoSize][kDemoRefill];
    float startMs;
};
const DemoScript& demoScript(int board);

enum class DemoPhase : int8_t { Waiting, Approach, Press, Swap, Clear, Fall, Leave, Done };

struct DemoCell {
    int8_t layers = 0;
    int8_t kind = -1;
    bool clearing = false;
    Vec2 offset;  // drawn offset from the cell centre (falls back to 0)
    float fallSpeed = 0.0f;
};

// A tile layer breaking off: it flies away from its cell and fades.
struct DemoPiece {
    Vec2 start;
    Vec2 direction;
    int8_t layers = 0;
    float ageMs = -1.0f;
};

struct DemoBoard {
    DemoCell cells[kDemoSize][kDemoSize];
    int8_t held = -1;
    Vec2 hand;        // scene position of the demonstration hand
    Vec2 heldOffset;  // the hand's figure relative to the hand
    DemoPhase phase = DemoPhase::Waiting;
    float phaseMs = 0.0f;
    DemoPiece pieces[kDemoPieces];
    int32_t nextPiece = 0;
};

struct DemoState {
    DemoBoard boards[kDemoBoardCount];
    float alpha = 255.0f;     // the boards' fade
    float finishedMs = 0.0f;  // time since both boards finished
    bool fadingOut = false;
    int32_t loops = 0;  // restarts so far
    bool running = false;
};
extern DemoState demo;

// Phase lengths of a board's move.
constexpr float kDemoApproachMs = 1200.0f;
constexpr float kDemoPressMs = 400.0f;
constexpr float kDemoSwapMs = 350.0f;
constexpr float kDemoClearMs = 450.0f;
constexpr float kDemoLeaveMs = 900.0f;
constexpr float kDemoPieceLifeMs = 700.0f;

// Scene position of a demonstration cell, and where a board's hand rests.
Vec2 demoCellCentre(int board, int column, int row);
Vec2 demoHandRest(int board);

// Starts the script from the beginning (boards fully shown).
void prepareDemonstration();
// Advances the script; restarts it 500 ms after both boards are done,
// fading out and in.
void demonstrationTick(float stepMs);

// Cells of the line of three or more through (row, column) on a
// demonstration board, marked in `out`; false when there is none.
bool demoLineThrough(const DemoBoard& board, int row, int column, bool out[kDemoSize][kDemoSize]);

}  // namespace corsavel
