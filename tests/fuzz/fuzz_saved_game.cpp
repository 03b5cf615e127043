// The saved-game reader on arbitrary bytes over a freshly started level: a
// refused file leaves the level untouched; an accepted one only holds values
// the rules can work with.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "game/saved_game.h"
#include "platform/random.h"

namespace {

const char kLevel[] =
    "figures=6\ntime=120\nlevel=\n"
    "000000000000\n011111111110\n012222222210\n012000000210\n012011110210\n"
    "012011110210\n012000000210\n012222222210\n011111111110\n000000000000\n"
    "000000000000\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    seedRandom(7);
    game = GameState{};
    parseLevelText(kLevel, 0);
    initialFill();
    countWorkAndTime(0);
    static GameState before;
    before = game;
    std::vector<uint8_t> bytes(data, data + size);
    const bool accepted = readSavedGame(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (!accepted) {
        if (std::memcmp(&before.board, &game.board, sizeof(Board)) != 0)
            std::abort();
        return 0;
    }
    if (size != static_cast<size_t>(kSavedGameSize))
        std::abort();
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            if (cell.layers < -1 || cell.layers > 2)
                std::abort();
            if (cell.figure.kind < -1 || cell.figure.kind >= game.level.figureCount)
                std::abort();
            if (cell.figure.bonus < 0 || cell.figure.bonus > 5)
                std::abort();
            if (!std::isfinite(cell.figure.offset.x) || !std::isfinite(cell.figure.offset.y))
                std::abort();
        }
    }
    // A few frames of play on the restored state must stay in bounds.
    for (int i = 0; i < 30; ++i) {
        gameplayUpdateStep(16.0f);
    }
    return 0;
}
