// Level-file parsing, the initial fill and the work count on arbitrary text.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "platform/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    // The level text is read as a C string: an exact-size copy plus its end.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    seedRandom(1);
    game = GameState{};
    if (!parseLevelText(text.data(), 0)) {
        return 0;
    }
    const LevelSetup& lv = game.level;
    if (lv.figureCount < 1 || lv.figureCount > kMaxSlots)
        std::abort();
    if (lv.dancerCount < 0 || lv.dancerCount > kMaxDancers)
        std::abort();
    initialFill();
    countWorkAndTime(0);
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            if (cell.layers < -1 || cell.layers > 2)
                std::abort();
            if (cell.figure.kind < -1 || cell.figure.kind >= lv.figureCount)
                std::abort();
            if (cell.layers == -1 && cell.figure.kind != -1)
                std::abort();
        }
    }
    if (game.clock.workLeft < 0 || !(game.clock.timeLimitMs >= 0.0f))
        std::abort();
    return 0;
}
