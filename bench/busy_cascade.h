#pragma once

// The busy cascade both frame benchmarks measure: on a started level every
// third free figure gets a bonus, then the bot's best move sets the cascade
// off, which fires bonus after bonus.

#include "bot/bot.h"
#include "game/rules.h"

namespace corsavel {

inline void setOffBusyCascade() {
    int n = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (isFreeFigure(r, c) && ++n % 3 == 0) {
                game.board.cells[r][c].figure.bonus = 1 + (n / 3) % 5;
            }
        }
    }
    const bot::MoveChoice move = bot::chooseMove(bot::viewBoard(), -1, -1);
    const Vec2 at = cellCentre(move.column, move.row);
    onBoardClickAt(at.x, at.y);
    onBoardButtonUp();
}

}  // namespace corsavel
