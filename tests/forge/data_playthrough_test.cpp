// Plays every level with the forge's model of the board rules and a greedy,
// human-paced player on seeds the level design did not see, to catch levels
// that cannot be finished in their time.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "forge/levels.h"

using namespace corsavel::forge;

namespace {

TEST(LevelPlaythrough, EveryLevelIsWonInTimeForFourOfFiveSeeds) {
    std::string table = "level stage figures work limit_s   times (s) for seeds 1..5\n";
    for (int level = 0; level < kLevelCount; ++level) {
        const LevelDesign design = designLevel(level);
        const double limit = levelTimeLimitSeconds(design, level);
        int wins = 0;
        char line[256];
        int used =
            std::snprintf(line, sizeof line, "%5d %5d %7d %4d %7.0f  ", level + 1,
                          stageOfLevel(level) + 1, design.figureCount, levelWork(design), limit);
        for (uint32_t seed = 1; seed <= 5; ++seed) {
            const double seconds = playtestSeconds(design, seed);
            wins += seconds >= 0 && seconds <= limit ? 1 : 0;
            used += std::snprintf(line + used, sizeof line - used,
                                  seconds < 0 ? "    --" : " %5.0f", seconds);
        }
        table += line;
        table += "\n";
        EXPECT_GE(wins, 4) << "level " << level + 1;
    }
    std::printf("%s", table.c_str());
}

}  // namespace
