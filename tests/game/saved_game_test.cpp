#include "game/saved_game.h"

#include <cmath>
#include <vector>

#include "rules_fixture.h"

namespace corsavel {
namespace {

class SavedGameTest : public RulesTest {
protected:
    std::vector<uint8_t> save() {
        std::vector<uint8_t> bytes(kSavedGameSize + 16);
        const int32_t n = writeSavedGame(bytes.data(), static_cast<int32_t>(bytes.size()));
        EXPECT_EQ(n, kSavedGameSize);
        bytes.resize(static_cast<size_t>(n));
        return bytes;
    }
    // Offsets of a few fields inside the file.
    static constexpr int32_t kBoardOffset = 9000 + 1320 + 800;
    static int32_t cellOffset(int r, int c) { return kBoardOffset + (r * kColumns + c) * 128; }
};

TEST_F(SavedGameTest, RoundTripRestoresTheLevel) {
    cell(3, 4).layers = 2;
    cell(3, 4).chained = 1;
    cell(3, 4).figure.bonus = kStarBomb;
    game.hand.heldFigure.kind = 5;
    game.scores.scoreTarget = 777;
    game.scores.scoreShown = 700;
    game.clock.elapsedMs = 1234.5f;
    game.clock.timeLimitMs = 60000.0f;
    game.clock.workLeft = 3;
    game.clock.workTotal = 9;
    game.flags.replayAfterLoss = true;
    startFlyer(2, 10.0f, 20.0f, 1);
    session.gameMode = 1;
    app.animationClockMs = 4321.0f;
    const std::vector<uint8_t> bytes = save();
    const Board saved = game.board;

    game = GameState{};
    game.flags.levelLoaded = true;
    session.gameMode = 0;
    app.animationClockMs = 0.0f;
    ASSERT_TRUE(readSavedGame(bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_EQ(std::memcmp(&saved.cells[3][4].figure.kind, &game.board.cells[3][4].figure.kind, 4),
              0);
    EXPECT_EQ(cell(3, 4).chained, 1);
    EXPECT_EQ(cell(3, 4).figure.bonus, kStarBomb);
    EXPECT_EQ(cell(7, 7).figure.kind, saved.cells[7][7].figure.kind);
    EXPECT_EQ(game.hand.heldFigure.kind, 5);
    EXPECT_EQ(game.scores.scoreTarget, 777);
    EXPECT_FLOAT_EQ(game.clock.elapsedMs, 1234.5f);
    EXPECT_EQ(game.clock.workLeft, 3);
    EXPECT_TRUE(game.flags.replayAfterLoss);
    EXPECT_EQ(game.flyers.flyers[0].slot, 3);
    EXPECT_EQ(game.flyers.nextFlyer, 1);
    EXPECT_EQ(session.gameMode, 1);
    EXPECT_FLOAT_EQ(app.animationClockMs, 4321.0f);
    // Writing the restored state gives the same bytes.
    EXPECT_EQ(save(), bytes);
}

TEST_F(SavedGameTest, WrongSizeIsRefused) {
    std::vector<uint8_t> bytes = save();
    EXPECT_FALSE(readSavedGame(bytes.data(), kSavedGameSize - 1));
    bytes.push_back(0);
    EXPECT_FALSE(readSavedGame(bytes.data(), kSavedGameSize + 1));
    EXPECT_FALSE(readSavedGame(nullptr, kSavedGameSize));
    uint8_t small[16];
    EXPECT_EQ(writeSavedGame(small, sizeof small), 0);
}

TEST_F(SavedGameTest, BadValuesAreRefusedAndLeaveTheLevel) {
    const std::vector<uint8_t> good = save();
    const int before = cell(0, 0).figure.kind;
    struct Patch {
        int32_t offset;
        int32_t value;
    };
    const Patch patches[] = {
        {cellOffset(0, 0), 3},                   // layers
        {cellOffset(0, 0), -2},                  // layers
        {cellOffset(0, 1) + 4, 2},               // chained
        {cellOffset(0, 2) + 8 + 8, 8},           // slot beyond the figure count
        {cellOffset(0, 2) + 8 + 16, 6},          // bonus
        {cellOffset(0, 3) + 52, 4},              // removal
        {9000, 9},                               // blast type
        {9000 + 4, 11},                          // blast row (with a type)
        {kBoardOffset + 16896 + 800 + 24, 150},  // next flyer index
        {kBoardOffset + 16896 + 800 + 32, 51},   // group list length
    };
    for (const Patch& p : patches) {
        std::vector<uint8_t> bad = good;
        std::memcpy(bad.data() + p.offset, &p.value, 4);
        if (p.offset == 9000 + 4) {
            const int32_t type = kBomb;
            std::memcpy(bad.data() + 9000, &type, 4);
        }
        EXPECT_FALSE(readSavedGame(bad.data(), kSavedGameSize)) << p.offset;
        EXPECT_EQ(cell(0, 0).figure.kind, before);
    }
}

TEST_F(SavedGameTest, NonFiniteFloatsAndBadFlagsAreRefused) {
    const std::vector<uint8_t> good = save();
    std::vector<uint8_t> bad = good;
    const float nan = std::nanf("");
    std::memcpy(bad.data() + cellOffset(2, 2) + 92, &nan, 4);
    EXPECT_FALSE(readSavedGame(bad.data(), kSavedGameSize));
    bad = good;
    bad[kSavedGameSize - 40 - 13] = 2;  // the first one-byte flag
    EXPECT_FALSE(readSavedGame(bad.data(), kSavedGameSize));
    bad = good;
    bad[kSavedGameSize - 40 - 1] = 5;  // the game mode
    EXPECT_FALSE(readSavedGame(bad.data(), kSavedGameSize));
    EXPECT_TRUE(readSavedGame(good.data(), kSavedGameSize));
}

TEST_F(SavedGameTest, TipTextIndexMustExist) {
    game.tips.tipText = 100000;
    const std::vector<uint8_t> bytes = save();
    game.tips.tipText = -1;
    EXPECT_FALSE(readSavedGame(bytes.data(), kSavedGameSize));
}

TEST_F(SavedGameTest, SavingNeedsAMoveAndARunningLevel) {
    EXPECT_FALSE(canSaveGame());
    game.match.moveMade = true;
    EXPECT_TRUE(canSaveGame());
    game.clock.timedOut = true;
    EXPECT_FALSE(canSaveGame());
    game.clock.timedOut = false;
    game.flags.levelWon = true;
    EXPECT_FALSE(canSaveGame());
}

}  // namespace
}  // namespace corsavel
