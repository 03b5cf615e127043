#include "game/rules.h"
#include "platform/random.h"

namespace corsavel {

GameState game;
SessionState session;

Vec2 cellCentre(int column, int row) {
    return Vec2{static_cast<float>(column * 50 - 195), static_cast<float>(248 - row * 50)};
}

void cellAt(float x, float y, int& column, int& row) {
    column = (static_cast<int>(x) + 220) / 50;
    row = (273 - static_cast<int>(y)) / 50;
}

bool isValidCell(int row, int column) {
    return row >= 0 && row < kRows && column >= 0 && column < kColumns &&
           game.board.cells[row][column].layers != -1;
}

bool hasFigure(int row, int column) {
    return isValidCell(row, column) && game.board.cells[row][column].figure.kind >= 0;
}

bool isFreeFigure(int row, int column) {
    return hasFigure(row, column) && game.board.cells[row][column].chained == 0;
}

bool isAtRest(const Figure& f) {
    return f.offset.x == 0.0f && f.offset.y == 0.0f;
}

void clearFigure(int row, int column) {
    Figure& f = game.board.cells[row][column].figure;
    f.kind = -1;
    f.bonus = 0;
    f.followsHand = false;
    f.offset = Vec2{};
}

static bool validEmpty(int row, int column) {
    return isValidCell(row, column) && game.board.cells[row][column].figure.kind < 0;
}

void spawnFigure(int row, int column) {
    Figure& f = game.board.cells[row][column].figure;
    f.kind = randomInt(game.level.figureCount);
    f.offset = cellCentre(column, row - 1) - cellCentre(column, row);
    f.bonus = 0;
    f.pendingBonus = 0;
    f.followsHand = false;
    f.sliding = false;
    f.fallSpeed = 0.0f;
    if (row >= kRows - 1) {
        return;
    }
    f.fallSpeed = game.board.cells[row + 1][column].figure.fallSpeed;
    if (column < kColumns - 1) {
        const Figure& br = game.board.cells[row + 1][column + 1].figure;
        if (br.sliding && br.fallSpeed > f.fallSpeed) {
            f.fallSpeed = br.fallSpeed;
        }
    }
    if (column > 0) {
        const Figure& bl = game.board.cells[row + 1][column - 1].figure;
        if (bl.sliding && bl.fallSpeed > f.fallSpeed) {
            f.fallSpeed = bl.fallSpeed;
        }
    }
}

bool canFallStraight() {
    for (int r = 0; r < kRows - 1; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (isFreeFigure(r, c) && validEmpty(r + 1, c)) {
                return true;
            }
        }
    }
    return false;
}

bool isSettled() {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (hasFigure(r, c) && !isAtRest(game.board.cells[r][c].figure)) {
                return false;
            }
        }
    }
    for (int r = 0; r < kRows - 1; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isFreeFigure(r, c)) {
                continue;
            }
            if (validEmpty(r + 1, c) || (c > 0 && validEmpty(r + 1, c - 1)) ||
                (c <= 10 && validEmpty(r + 1, c + 1))) {
                return false;
            }
        }
    }
    return true;
}

bool landingBlocked(int row, int column) {
    for (int r = row; r <= kRows - 2; ++r) {
        if (validEmpty(r + 1, column) || (column <= 10 && validEmpty(r + 1, column + 1)) ||
            (column > 0 && validEmpty(r + 1, column - 1))) {
            return true;
        }
    }
    return false;
}

int tileImage(int row, int column) {
    const int layers = game.board.cells[row][column].layers;
    if (layers == 0 && ((row + column) & 1) != 0) {
        return 3;
    }
    return layers;
}

}  // namespace corsavel
