// The map's level previews: any level text (as the map copies it, cut at
// 16383 bytes and terminated) gives a preview of holes and 0..2 layers, and
// where the game reads the same text as a level its board has exactly the
// preview's layers: the map shows the board that is played.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "platform/random.h"
#include "ui/map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    if (size > 16383) {
        return 0;
    }
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    static auto preview = std::make_unique<LevelPreview>();
    const bool valid = readLevelPreview(text.data(), preview.get());
    if (valid != preview->valid || valid != (std::strstr(text.data(), "level=") != nullptr)) {
        std::abort();
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const int8_t layers = preview->layers[r][c];
            if (layers < -1 || layers > 2 || (!valid && layers != -1)) {
                std::abort();
            }
        }
    }
    seedRandom(1);
    game = GameState{};
    if (parseLevelText(text.data(), 0) != valid) {
        std::abort();
    }
    if (!valid) {
        return 0;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (game.board.cells[r][c].layers != preview->layers[r][c]) {
                std::abort();
            }
        }
    }
    return 0;
}
