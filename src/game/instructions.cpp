#include "game/instructions.h"

#include <cmath>

#include "game/game_requests.h"
#include "game/rules.h"
#include "gfx/text_effects.h"

namespace corsavel {

DemoState demo;

namespace {

constexpr Vec2 kBoardOffsets[kDemoBoardCount] = {{30.0f, -200.0f}, {280.0f, -200.0f}};
constexpr Vec2 kHandRests[kDemoBoardCount] = {{35.0f, -105.0f}, {284.0f, -142.0f}};
constexpr float kPitch = 50.0f;
constexpr float kFallAcceleration = 0.002f;  // units per ms, per ms
constexpr float kPopupSize = 10.0f;
constexpr float kPopupMs = 2000.0f;
constexpr float kSwapSwing = 24.0f;

// Left: a line of three across, made by swapping coins into the row.
// Right: a line down a column of layered tiles, each losing its layer.
constexpr DemoScript kScripts[kDemoBoardCount] = {
    {{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
     {{10, 12, 6, 2}, {1, 0, 0, 9}, {12, 6, 2, 10}, {2, 10, 12, 6}},
     0,
     1,
     3,
     {{-1, -1, -1, -1}, {14, -1, -1, -1}, {3, -1, -1, -1}, {11, -1, -1, -1}},
     400.0f},
    {{{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 0}, {0, 0, 1, 0}},
     {{4, 16, 7, 13}, {8, 3, 5, 4}, {13, 7, 5, 16}, {16, 4, 8, 3}},
     5,
     3,
     2,
     {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {10, 15, 12, -1}, {-1, -1, -1, -1}},
     1900.0f},
};

constexpr int kDirections[4][2] = {{1, 1}, {1, -1}, {1, 0}, {0, 1}};

bool onBoard(int row, int column) {
    return row >= 0 && row < kDemoSize && column >= 0 && column < kDemoSize;
}

float smooth(float t) {
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

void resetBoard(int index) {
    DemoBoard& b = demo.boards[index];
    const DemoScript& s = kScripts[index];
    b = DemoBoard{};
    for (int r = 0; r < kDemoSize; ++r) {
        for (int c = 0; c < kDemoSize; ++c) {
            b.cells[r][c].layers = s.layers[r][c];
            b.cells[r][c].kind = s.figures[r][c];
        }
    }
    b.held = s.held;
    b.hand = kHandRests[index];
}

void enter(DemoBoard& b, DemoPhase phase) {
    b.phase = phase;
    b.phaseMs = 0.0f;
}

void breakLayer(DemoBoard& b, int index, int row, int column) {
    DemoPiece& p = b.pieces[b.nextPiece];
    b.nextPiece = (b.nextPiece + 1) % kDemoPieces;
    p.start = demoCellCentre(index, column, row);
    p.layers = b.cells[row][column].layers;
    // Alternate sides so neighbouring pieces part.
    const float side = (row + column) % 2 == 0 ? -1.0f : 1.0f;
    p.direction = Vec2{0.55f * side, 0.83f};
    p.ageMs = 0.0f;
}

// The swap of a real move: the hand's figure goes into the cell and the
// cell's figure into the hand; during the swap the two swing apart and
// back together.
void startSwap(DemoBoard& b, int index) {
    const DemoScript& s = kScripts[index];
    DemoCell& cell = b.cells[s.row][s.column];
    const int8_t picked = cell.kind;
    cell.kind = b.held;
    b.held = picked;
}

Vec2 swapSwing(float phaseMs) {
    const float s = std::sin(kPi * (phaseMs < kDemoSwapMs ? phaseMs : kDemoSwapMs) / kDemoSwapMs);
    return Vec2{0.8f, 0.6f} * (kSwapSwing * s);
}

void markLine(DemoBoard& b, int index) {
    const DemoScript& s = kScripts[index];
    bool line[kDemoSize][kDemoSize] = {};
    demoLineThrough(b, s.row, s.column, line);
    for (int r = 0; r < kDemoSize; ++r) {
        for (int c = 0; c < kDemoSize; ++c) {
            b.cells[r][c].clearing = line[r][c];
        }
    }
}

// Removes the line (one layer off each tile under it) and lets each column
// settle: the figures left fall to the bottom, the scripted ones drop in
// above them from outside the board.
void clearAndRefill(DemoBoard& b, int index) {
    const DemoScript& s = kScripts[index];
    for (int c = 0; c < kDemoSize; ++c) {
        DemoCell column[kDemoSize];
        int8_t fromRow[kDemoSize];
        int n = 0;
        for (int r = kDemoSize - 1; r >= 0; --r) {
            DemoCell& cell = b.cells[r][c];
            if (cell.clearing) {
                if (cell.layers > 0) {
                    breakLayer(b, index, r, c);
                    --cell.layers;
                }
                cell.kind = -1;
                cell.clearing = false;
                continue;
            }
            if (cell.kind >= 0) {
                column[n] = cell;
                fromRow[n] = static_cast<int8_t>(r);
                ++n;
            }
        }
        int above = -1;
        for (int k = 0; k < kDemoRefill && n < kDemoSize && s.refill[c][k] >= 0; ++k) {
            column[n] = DemoCell{};
            column[n].kind = s.refill[c][k];
            fromRow[n] = static_cast<int8_t>(above--);
            ++n;
        }
        for (int k = 0; k < kDemoSize; ++k) {
            const int row = kDemoSize - 1 - k;
            DemoCell& cell = b.cells[row][c];
            cell.kind = k < n ? column[k].kind : -1;
            cell.offset = Vec2{0.0f, k < n ? static_cast<float>(row - fromRow[k]) * kPitch : 0.0f};
            cell.fallSpeed = 0.0f;
        }
    }
}

bool fallStep(DemoBoard& b, float stepMs) {
    bool moving = false;
    for (auto& row : b.cells) {
        for (DemoCell& cell : row) {
            if (cell.offset.y <= 0.0f) {
                continue;
            }
            cell.fallSpeed += kFallAcceleration * stepMs;
            cell.offset.y -= cell.fallSpeed * stepMs;
            if (cell.offset.y <= 0.0f) {
                cell.offset.y = 0.0f;
                cell.fallSpeed = 0.0f;
            } else {
                moving = true;
            }
        }
    }
    return moving;
}

void boardTick(int index, float stepMs) {
    DemoBoard& b = demo.boards[index];
    const DemoScript& s = kScripts[index];
    for (DemoPiece& p : b.pieces) {
        if (p.ageMs >= 0.0f) {
            p.ageMs += stepMs;
            p.ageMs = p.ageMs > kDemoPieceLifeMs ? -1.0f : p.ageMs;
        }
    }
    b.phaseMs += stepMs;
    const Vec2 target = demoCellCentre(index, s.column, s.row);
    switch (b.phase) {
        case DemoPhase::Waiting:
            if (b.phaseMs >= s.startMs) {
                enter(b, DemoPhase::Approach);
            }
            break;
        case DemoPhase::Approach: {
            const Vec2 rest = kHandRests[index];
            b.hand = rest + (target - rest) * smooth(b.phaseMs / kDemoApproachMs);
            if (b.phaseMs >= kDemoApproachMs) {
                b.hand = target;
                addPopup("click", target.x, target.y + 30.0f, kPopupSize, kPopupMs);
                enter(b, DemoPhase::Press);
            }
            break;
        }
        case DemoPhase::Press:
            if (b.phaseMs >= kDemoPressMs) {
                startSwap(b, index);
                enter(b, DemoPhase::Swap);
            }
            break;
        case DemoPhase::Swap: {
            const Vec2 swing = swapSwing(b.phaseMs);
            b.cells[s.row][s.column].offset = swing;
            b.heldOffset = Vec2{} - swing;
            if (b.phaseMs >= kDemoSwapMs) {
                b.cells[s.row][s.column].offset = Vec2{};
                b.heldOffset = Vec2{};
                markLine(b, index);
                enter(b, DemoPhase::Clear);
            }
            break;
        }
        case DemoPhase::Clear:
            if (b.phaseMs >= kDemoClearMs) {
                clearAndRefill(b, index);
                enter(b, DemoPhase::Fall);
            }
            break;
        case DemoPhase::Fall:
            if (!fallStep(b, stepMs)) {
                enter(b, DemoPhase::Leave);
            }
            break;
        case DemoPhase::Leave: {
            const Vec2 rest = kHandRests[index];
            b.hand = target + (rest - target) * smooth(b.phaseMs / kDemoLeaveMs);
            if (b.phaseMs >= kDemoLeaveMs) {
                b.hand = rest;
                enter(b, DemoPhase::Done);
            }
            break;
        }
        case DemoPhase::Done:
            break;
    }
}

}  // namespace

bool instructionsButtonHit(float x, float y) {
    const Rect& r = kInstructionsButton;
    return x >= r.left && x <= r.right && y <= r.top && y >= r.bottom;
}

void closeInstructions() {
    LevelFlags& fl = game.flags;
    fl.instructionsShown = false;
    demo.running = false;
    if (fl.instructionsOnly) {
        fl.instructionsOnly = false;
        requestPlain(GameRequestKind::ReturnToMenus);
    }
}

const DemoScript& demoScript(int board) {
    return kScripts[board < 0 ? 0 : (board >= kDemoBoardCount ? kDemoBoardCount - 1 : board)];
}

Vec2 demoCellCentre(int board, int column, int row) {
    return cellCentre(column, row) + kBoardOffsets[board];
}

Vec2 demoHandRest(int board) {
    return kHandRests[board];
}

void prepareDemonstration() {
    for (int i = 0; i < kDemoBoardCount; ++i) {
        resetBoard(i);
    }
    demo.alpha = 255.0f;
    demo.finishedMs = 0.0f;
    demo.fadingOut = false;
    demo.loops = 0;
    demo.running = true;
}

void demonstrationTick(float stepMs) {
    if (!demo.running) {
        prepareDemonstration();
    }
    const float fade = 255.0f / kDemoFadeMs * stepMs;
    if (demo.fadingOut) {
        demo.alpha -= fade;
        if (demo.alpha <= 0.0f) {
            // Out of sight: the script starts over and the boards fade back in.
            for (int i = 0; i < kDemoBoardCount; ++i) {
                resetBoard(i);
            }
            demo.alpha = 0.0f;
            demo.fadingOut = false;
            demo.finishedMs = 0.0f;
            ++demo.loops;
        }
        return;
    }
    demo.alpha = demo.alpha + fade > 255.0f ? 255.0f : demo.alpha + fade;
    bool allDone = true;
    for (int i = 0; i < kDemoBoardCount; ++i) {
        boardTick(i, stepMs);
        allDone = allDone && demo.boards[i].phase == DemoPhase::Done;
    }
    if (allDone) {
        demo.finishedMs += stepMs;
        demo.fadingOut = demo.finishedMs >= kDemoRestartMs;
    }
}

bool demoLineThrough(const DemoBoard& board, int row, int column, bool out[kDemoSize][kDemoSize]) {
    if (!onBoard(row, column) || board.cells[row][column].kind < 0) {
        return false;
    }
    const int8_t kind = board.cells[row][column].kind;
    bool found = false;
    for (const auto& d : kDirections) {
        int first = 0;
        while (onBoard(row - (first + 1) * d[0], column - (first + 1) * d[1]) &&
               board.cells[row - (first + 1) * d[0]][column - (first + 1) * d[1]].kind == kind) {
            ++first;
        }
        int last = 0;
        while (onBoard(row + (last + 1) * d[0], column + (last + 1) * d[1]) &&
               board.cells[row + (last + 1) * d[0]][column + (last + 1) * d[1]].kind == kind) {
            ++last;
        }
        if (first + last + 1 < 3) {
            continue;
        }
        found = true;
        for (int k = -first; k <= last; ++k) {
            out[row + k * d[0]][column + k * d[1]] = true;
        }
    }
    return found;
}

}  // namespace corsavel
