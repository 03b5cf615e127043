#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "game/game_state.h"

// The level-playing bot: plays a level through the game's own rules, frame by
// frame with a fixed step, acting only by pointer moves and clicks on the
// board as a player does. What it sees is what the screen shows: the tiles,
// chains, figures and bonuses, the hand, whether anything still moves, and
// the hint once the game offers it.
namespace corsavel::bot {

struct BotOptions {
    float stepMs = 16.0f;
    // Pause between the board coming to rest and the next click.
    float thinkMs = 1500.0f;
    // Time a player takes to read and click away a tip or the instructions.
    float reactMs = 600.0f;
    int mode = 0;  // 0 adventure, 1 puzzle
    // Game time after which the bot gives a level up (the puzzle mode has no
    // clock to end it); 0 means the level's limit plus a grace in adventure
    // mode and ten times the limit in puzzle mode.
    float giveUpMs = 0.0f;
    // When set, one line per move (moveTraceLine) and, at the level's end,
    // the final state (finalStateLines).
    std::FILE* trace = nullptr;
};

// A level file read from disk and checked.
struct LevelSource {
    std::string path;
    std::string name;    // file name without folders
    int levelIndex = 0;  // 0-based; from "pack1_NN.lvl", else 0
    std::string text;
};

// Reads and checks a level file. On failure returns false and a one-line
// reason ("missing file", "not a level file: ...").
bool readLevelFile(const std::string& path, LevelSource& out, std::string& error);
// The 0-based level index of a pack file name ("pack1_07.lvl" gives 6), or -1.
int packLevelIndex(const std::string& fileName);
// The folder "Data" beside the running executable.
std::string defaultDataFolder();

enum class Outcome { Won, Lost, GaveUp };

struct LevelResult {
    Outcome outcome = Outcome::GaveUp;
    int levelIndex = 0;
    int stage = 0;
    int figures = 0;
    int moves = 0;
    int refused = 0;      // clicks the rules refused (a sound bot makes none)
    float elapsedMs = 0;  // play time on the level's clock at the end
    float limitMs = 0;
    int32_t score = 0;      // points of this level, time bonus included
    int32_t timeBonus = 0;  // the time bonus alone (adventure mode)
    int workLeft = 0;
    int workTotal = 0;
    double wallSeconds = 0;  // real time the run took
    bool won() const { return outcome == Outcome::Won; }
};

// Plays one level with the game's generator seeded with `seed`.
LevelResult playLevel(const LevelSource& level, uint32_t seed, const BotOptions& options);

struct MoveChoice {
    int row = -1;
    int column = -1;
    int value = -1;
};

// The bot's eyes and hand without the frame: called once a frame, it looks at
// the game as it is and says where to click, if anywhere: the instructions'
// "OK", a blocking tip's button, a paused board, or the chosen move once the
// board has rested for the think time.
class BotHand {
public:
    explicit BotHand(const BotOptions& options) : options_(options) {}
    void reset() { waitMs_ = 0.0f; }
    // True with the click position (and, for a move, the move) when it acts.
    bool act(float stepMs, Vec2* at, MoveChoice* move);

private:
    BotOptions options_;
    float waitMs_ = 0.0f;
};

// Nothing on the board moves, no cascade or blast is pending and the hand is
// ready: the moment a player looks for the next move.
bool boardAtRest();

// The same play a frame at a time: begin sets the game up (silent audio, a
// fresh profile, the seeded generator) and starts the level; each step may
// click and then runs one frame of the rules; false once the level is over.
class BotPlayer {
public:
    explicit BotPlayer(const BotOptions& options);
    void begin(const LevelSource& level, uint32_t seed);
    bool step();
    LevelResult result() const;

private:
    void click(Vec2 at, const MoveChoice& move);
    bool finish(Outcome outcome);

    BotOptions options_;
    BotHand hand_;
    LevelResult result_;
    float giveUpMs_ = 0.0f;
    double framesLeft_ = 0.0;
    bool over_ = true;
};

// What the screen shows of one cell.
struct CellView {
    int8_t layers = -1;  // -1 hole
    bool chained = false;
    int8_t slot = -1;  // -1 empty
    int8_t bonus = 0;
    bool atRest = true;
};

struct BoardView {
    CellView cells[kRows][kColumns];
    int heldSlot = -1;
    int heldBonus = 0;
    int figureCount = 8;
};

// The board as the screen shows it now.
BoardView viewBoard();

// Value of putting the hand's figure at (row, column): -1 when no line forms
// (the game would refuse it). Work the move takes away at once (layers and
// chains under the line and under the blasts of the bonuses it fires) counts
// 100 a unit; a bonus it creates adds its worth.
int moveValue(const BoardView& view, int row, int column);

// The best move on the board; among equals the hinted cell, then the one
// nearest above work still to do. row = -1 when there is no move.
MoveChoice chooseMove(const BoardView& view, int hintRow, int hintColumn);

// A move just clicked, as the trace shows it: the level's clock, the number
// of moves accepted so far, the cell, its value, the work left and whether
// the rules refused it. The harness's botplay writes the same lines, so runs
// with and without drawing compare line by line.
std::string moveTraceLine(int moves, const MoveChoice& move);
// The game as a level ended: "final score N" with the work left, the
// level's clock and the time played since it started, then one line of
// cells (layers, chained, slot, bonus) per board row.
std::string finalStateLines();

// Per-level table lines and the summary, as corsavel-bot prints them.
std::string tableHeader(int seeds);
std::string tableRow(const LevelSource& level, const std::vector<LevelResult>& runs);
std::string summaryLines(const std::vector<LevelSource>& levels,
                         const std::vector<std::vector<LevelResult>>& all, int requiredWins);

}  // namespace corsavel::bot
