#pragma once

#include <array>
#include <string>
#include <vector>

#include "forge/forge.h"
#include "game/figure_kinds.h"
#include "game/progress.h"

// The 100 level files of the pack and "end.lvl": a difficulty curve over 12
// stages (more figures, layers, chains, bonus figures, shaped boards and a
// tighter clock as the stages go by).
namespace corsavel::forge {

using corsavel::kLevelCount;
constexpr int kBoardRows = 11;
constexpr int kBoardColumns = 12;
using corsavel::kFigureKindCount;
using corsavel::kStageCount;
using corsavel::kStageSizes;

// Stage (0..11) of a 0-based level index.
int stageOfLevel(int level);

// One explicitly placed dancer.
struct DancerDesign {
    float turn = 0, x = 0, y = 0, scale = 1;
    int hat = 0, model = 0, startMs = 0;
    std::vector<int> dances;  // without the closing -1
};

// Everything a level file says, before it is written out.
struct LevelDesign {
    int figureCount = 8;
    std::vector<int> figureKinds;  // FigureKind id of each slot; empty: defaults
    float timeSeconds = 0;         // 0: derived from the board by the game
    int autoDancers = 0;           // >= 1: automatic dancers
    int standType = 0;
    int danceSet = 0;
    std::vector<DancerDesign> dancers;         // used when autoDancers is 0
    std::array<std::string, kBoardRows> grid;  // 12 cell characters per row
};

// Work the game counts at the level's start: chained cells plus layers.
int levelWork(const LevelDesign& design);
// Time limit in seconds the game derives from the design for level index n.
double levelTimeLimitSeconds(const LevelDesign& design, int level);

// Seconds a greedy player with a human-like pace needs to clear the level in a
// model of the board rules without bonus blasts; -1 when it gets stuck.
double playtestSeconds(const LevelDesign& design, uint32_t seed);
// The model's seconds scaled to real play: the model knows no bonus blasts
// and takes longer than the game's rules, by a factor measured with the bot.
double estimatedPlaySeconds(const LevelDesign& design, uint32_t seed);

LevelDesign designLevel(int level);
LevelDesign designEndLevel();
// The file text, keys in the order the game's substring readers need.
std::string levelFileText(const LevelDesign& design);
// "pack1_01.lvl" .. "pack1_100.lvl".
std::string levelFileName(int level);

// Adds "levels/pack1_%.2i.lvl" for the 100 levels and "levels/end.lvl".
void forgeLevels(ForgeOutput& out);

}  // namespace corsavel::forge
