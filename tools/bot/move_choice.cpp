#include <cstdlib>

#include "bot/bot.h"
#include "game/rules.h"

namespace corsavel::bot {

namespace {

// Directions as the game walks them: down-right, down-left, down, right.
constexpr int kForward[4][2] = {{1, 1}, {1, -1}, {1, 0}, {0, 1}};
constexpr int kBombCells[12][2] = {{0, 1},  {0, 2},  {0, -1}, {0, -2}, {-1, -1}, {-1, 0},
                                   {-1, 1}, {1, -1}, {1, 0},  {1, 1},  {-2, 0},  {2, 0}};
constexpr int kStraight[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
constexpr int kDiagonal[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr int kWorkUnit = 100;

bool inside(int r, int c) {
    return r >= 0 && r < kRows && c >= 0 && c < kColumns;
}

// The board after the hand's figure went into one cell, with the marks of
// what the move's first round hits and removes.
struct Trial {
    int8_t slot[kRows][kColumns];
    int8_t bonus[kRows][kColumns];
    bool hit[kRows][kColumns] = {};
    bool removed[kRows][kColumns] = {};
    int fireRow[kRows * kColumns];
    int fireColumn[kRows * kColumns];
    int fireCount = 0;
};

bool holds(const BoardView& v, const Trial& t, int r, int c, int slot) {
    return inside(r, c) && v.cells[r][c].layers >= 0 && t.slot[r][c] == slot;
}

int lineWeight(int length) {
    return length == 3 ? 1 : (length == 4 ? 8 : 64);
}

int32_t bonusForValue(int value) {
    if (value >= 2 && value <= 7) {
        return kCrossBomb;
    }
    if (value == 8) {
        return kBomb;
    }
    return value == 64 ? kLightning : kStarBomb;
}

bool hasWork(const CellView& cell) {
    return cell.chained || cell.layers > 0;
}

// A bonus figure taken by the move or struck by a blast fires in turn.
void queueFire(Trial& t, int r, int c) {
    t.fireRow[t.fireCount] = r;
    t.fireColumn[t.fireCount] = c;
    t.fireCount += 1;
}

// A blast reaching a cell: like the game, only figures not yet marked.
void strike(const BoardView& v, Trial& t, int r, int c) {
    if (!inside(r, c) || v.cells[r][c].layers < 0 || t.slot[r][c] < 0 || t.removed[r][c]) {
        return;
    }
    t.hit[r][c] = true;
    t.removed[r][c] = true;
    if (t.bonus[r][c] != 0) {
        queueFire(t, r, c);
    }
}

void strikeRays(const BoardView& v, Trial& t, int r, int c, const int (*rays)[2]) {
    for (int d = 1; d < kColumns; ++d) {
        for (int k = 0; k < 4; ++k) {
            strike(v, t, r + rays[k][0] * d, c + rays[k][1] * d);
        }
    }
}

void blast(const BoardView& v, Trial& t, int r, int c) {
    const int32_t kind = t.bonus[r][c];
    t.bonus[r][c] = 0;
    if (kind == kBomb) {
        for (const auto& o : kBombCells) {
            strike(v, t, r + o[0], c + o[1]);
        }
    } else if (kind == kLightning) {
        for (int rr = 0; rr < kRows; ++rr) {
            for (int cc = 0; cc < kColumns; ++cc) {
                if (t.slot[rr][cc] == t.slot[r][c]) {
                    strike(v, t, rr, cc);
                }
            }
        }
    } else {
        if (kind == kCrossBomb || kind == kStarBomb) {
            strikeRays(v, t, r, c, kStraight);
        }
        if (kind == kDiagonalBomb || kind == kStarBomb) {
            strikeRays(v, t, r, c, kDiagonal);
        }
    }
}

// Work a fresh bonus of `kind` at (r, c) would reach on today's board, not
// counting what the move itself already takes.
int reach(const BoardView& v, const Trial& t, int r, int c, int32_t kind) {
    int work = 0;
    auto count = [&](int rr, int cc) {
        if (inside(rr, cc) && !t.hit[rr][cc] && hasWork(v.cells[rr][cc])) {
            work += 1;
        }
    };
    if (kind == kBomb) {
        for (const auto& o : kBombCells) {
            count(r + o[0], c + o[1]);
        }
    } else if (kind == kLightning) {
        for (int rr = 0; rr < kRows; ++rr) {
            for (int cc = 0; cc < kColumns; ++cc) {
                if (t.slot[rr][cc] == t.slot[r][c]) {
                    count(rr, cc);
                }
            }
        }
    } else {
        for (int d = 1; d < kColumns; ++d) {
            for (int k = 0; k < 4; ++k) {
                if (kind != kDiagonalBomb) {
                    count(r + kStraight[k][0] * d, c + kStraight[k][1] * d);
                }
                if (kind != kCrossBomb) {
                    count(r + kDiagonal[k][0] * d, c + kDiagonal[k][1] * d);
                }
            }
        }
    }
    return work;
}

// 0..20: how close the cell lies above a tile or chain with work left; moves
// there make the figures above the work fall and mix.
int closeness(const BoardView& v, int r, int c) {
    int best = 0;
    for (int rr = r; rr < kRows; ++rr) {
        for (int cc = 0; cc < kColumns; ++cc) {
            if (hasWork(v.cells[rr][cc])) {
                const int near = 20 - 2 * (rr - r) - 3 * std::abs(cc - c);
                best = near > best ? near : best;
            }
        }
    }
    return best;
}

}  // namespace

BoardView viewBoard() {
    BoardView v;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            CellView& out = v.cells[r][c];
            out.layers = static_cast<int8_t>(cell.layers);
            out.chained = cell.chained != 0;
            out.slot = static_cast<int8_t>(cell.layers < 0 ? -1 : cell.figure.kind);
            out.bonus = static_cast<int8_t>(out.slot < 0 ? 0 : cell.figure.bonus);
            out.atRest = isAtRest(cell.figure);
        }
    }
    v.heldSlot = game.hand.heldFigure.kind;
    v.heldBonus = game.hand.heldFigure.bonus;
    v.figureCount = game.level.figureCount;
    return v;
}

int moveValue(const BoardView& v, int row, int column) {
    if (!inside(row, column)) {
        return -1;
    }
    const CellView& target = v.cells[row][column];
    if (target.layers < 0 || target.slot < 0 || target.chained || !target.atRest ||
        v.heldSlot < 0) {
        return -1;
    }
    Trial t;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            t.slot[r][c] = v.cells[r][c].slot;
            t.bonus[r][c] = v.cells[r][c].bonus;
        }
    }
    t.slot[row][column] = static_cast<int8_t>(v.heldSlot);
    t.bonus[row][column] = static_cast<int8_t>(v.heldBonus);

    // Lines through the placed cell; the board held none before the move.
    int value = 0;
    int lines = 0;
    for (const auto& step : kForward) {
        int r = row;
        int c = column;
        while (holds(v, t, r - step[0], c - step[1], v.heldSlot)) {
            r -= step[0];
            c -= step[1];
        }
        int n = 0;
        while (holds(v, t, r + step[0] * n, c + step[1] * n, v.heldSlot)) {
            ++n;
        }
        if (n < 3) {
            continue;
        }
        lines += 1;
        value += lineWeight(n);
        for (int k = 0; k < n; ++k) {
            t.hit[r + step[0] * k][c + step[1] * k] = true;
            t.removed[r + step[0] * k][c + step[1] * k] = true;
        }
    }
    if (lines == 0) {
        return -1;
    }
    // A long or crossing line keeps the placed figure as a new bonus figure;
    // a bonus it already carried fires and it keeps the new one.
    const int32_t created = value > 1 ? bonusForValue(value) : 0;
    if (created != 0 && v.heldBonus == 0) {
        t.bonus[row][column] = static_cast<int8_t>(created);
        t.removed[row][column] = false;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (t.removed[r][c] && t.bonus[r][c] != 0) {
                queueFire(t, r, c);
            }
        }
    }
    for (int i = 0; i < t.fireCount; ++i) {
        blast(v, t, t.fireRow[i], t.fireColumn[i]);
    }
    int work = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            work += t.hit[r][c] && hasWork(v.cells[r][c]) ? 1 : 0;
        }
    }
    int worth = 0;
    if (created != 0 && (v.heldBonus != 0 || !t.removed[row][column])) {
        // Half of what the new bonus could take later, plus a little for having it.
        worth = 20 + reach(v, t, row, column, created) * kWorkUnit / 2;
    }
    return work * kWorkUnit + worth;
}

MoveChoice chooseMove(const BoardView& v, int hintRow, int hintColumn) {
    MoveChoice best;
    int bestNear = -1;
    bool bestHinted = false;
    for (int r = kRows - 1; r >= 0; --r) {
        for (int c = 0; c < kColumns; ++c) {
            const int value = moveValue(v, r, c);
            if (value < 0) {
                continue;
            }
            const int near = closeness(v, r, c);
            const bool hinted = r == hintRow && c == hintColumn;
            const bool better = value > best.value ||
                                (value == best.value &&
                                 (near > bestNear || (near == bestNear && hinted && !bestHinted)));
            if (better) {
                best = MoveChoice{r, c, value};
                bestNear = near;
                bestHinted = hinted;
            }
        }
    }
    return best;
}

}  // namespace corsavel::bot
