#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "forge/levels.h"

using namespace corsavel::forge;

namespace {

// The game's reader: the first occurrence of the key anywhere, up to the CR.
std::string readValue(const std::string& text, const std::string& key, bool* found = nullptr) {
    const size_t at = text.find(key);
    if (found != nullptr) {
        *found = at != std::string::npos;
    }
    if (at == std::string::npos) {
        return "";
    }
    const size_t start = at + key.size();
    return text.substr(start, text.find('\r', start) - start);
}

int readInt(const std::string& text, const std::string& key) {
    return static_cast<int>(std::atof(readValue(text, key).c_str()));
}

bool acceptedCell(unsigned char c) {
    return (c >= '0' && c <= 'z') || c == '.' || c >= 0xC0;
}

// Chained-figure codes and their slot; -1 for tiles and holes.
int chainedSlot(unsigned char c, int* bonus) {
    struct Range {
        unsigned char first, last;
        int bonus;
    };
    const Range ranges[] = {{'A', 'O', 0}, {'Q', '_', 1},   {'a', 'o', 2},
                            {'q', 'z', 3}, {0xC0, 0xCE, 4}, {0xD0, 0xDE, 5}};
    for (const Range& r : ranges) {
        if (c >= r.first && c <= r.last) {
            *bonus = r.bonus;
            return c - r.first;
        }
    }
    *bonus = 0;
    return -1;
}

// The 132 cells as the game's grid reader consumes them.
std::string readGrid(const std::string& text) {
    const size_t at = text.find("level=");
    std::string cells;
    if (at == std::string::npos) {
        return cells;
    }
    size_t p = at + 6;
    while (cells.size() < 132 && p < text.size()) {
        if (text.compare(p, 4, "\r\n\r\n") == 0) {
            break;
        }
        const auto c = static_cast<unsigned char>(text[p++]);
        if (acceptedCell(c)) {
            cells += static_cast<char>(c);
        }
    }
    return cells;
}

std::string levelText(int level) {
    return levelFileText(designLevel(level));
}

TEST(LevelFiles, NamesFollowThePackPattern) {
    EXPECT_EQ(levelFileName(0), "pack1_01.lvl");
    EXPECT_EQ(levelFileName(9), "pack1_10.lvl");
    EXPECT_EQ(levelFileName(99), "pack1_100.lvl");
}

TEST(LevelFiles, EveryKeyReadsBackAsDesigned) {
    for (int level = 0; level <= kLevelCount; ++level) {
        const LevelDesign design = level < kLevelCount ? designLevel(level) : designEndLevel();
        const std::string text = levelFileText(design);
        SCOPED_TRACE(level);
        EXPECT_EQ(readInt(text, "figures="), design.figureCount);
        EXPECT_GE(design.figureCount, 1);
        EXPECT_LE(design.figureCount, 17);
        for (size_t i = 0; i < design.figureKinds.size(); ++i) {
            EXPECT_EQ(readValue(text, "figure" + std::to_string(i) + "="),
                      corsavel::figureKindName(design.figureKinds[i]));
        }
        // Substring readers: these keys must find their own lines first.
        EXPECT_FLOAT_EQ(static_cast<float>(std::atof(readValue(text, "time=").c_str())),
                        design.timeSeconds);
        EXPECT_LT(text.find("time="), text.find("dtime="));
        EXPECT_LT(text.find("skeletons="), text.find("autoskeletons="));
        const int autoDancers = readInt(text, "autoskeletons=");
        EXPECT_EQ(autoDancers, design.autoDancers);
        if (autoDancers < 1) {
            const int count = readInt(text, "skeletons=");
            EXPECT_EQ(count, static_cast<int>(design.dancers.size()));
            EXPECT_LE(count, 10);
            for (int i = 0; i < count; ++i) {
                const std::string sk = "sk" + std::to_string(i);
                bool found = false;
                readValue(text, sk + "dtime=", &found);
                EXPECT_TRUE(found);
                EXPECT_GE(readInt(text, sk + "hat="), 0);
                EXPECT_LE(readInt(text, sk + "hat="), 10);
                EXPECT_LE(readInt(text, sk + "type="), 3);
                const std::string anim = readValue(text, sk + "anim=");
                EXPECT_EQ(anim.front(), '{');
                EXPECT_NE(anim.find("-1}"), std::string::npos);
            }
        } else {
            EXPECT_LE(autoDancers, 10);
            EXPECT_LE(readInt(text, "standtype="), 6);
            EXPECT_LE(readInt(text, "dance="), 8);
        }
    }
}

TEST(LevelFiles, GridIsElevenRowsOfTwelveKnownCells) {
    for (int level = 0; level <= kLevelCount; ++level) {
        const std::string text =
            levelFileText(level < kLevelCount ? designLevel(level) : designEndLevel());
        SCOPED_TRACE(level);
        const size_t at = text.find("level=\r\n");
        ASSERT_NE(at, std::string::npos);
        size_t p = at + 8;
        for (int row = 0; row < kBoardRows; ++row) {
            const size_t end = text.find("\r\n", p);
            ASSERT_NE(end, std::string::npos);
            const std::string line = text.substr(p, end - p);
            ASSERT_EQ(line.size(), 12u) << "row " << row;
            for (const char c : line) {
                EXPECT_TRUE(acceptedCell(static_cast<unsigned char>(c))) << "row " << row;
            }
            p = end + 2;
        }
        EXPECT_EQ(p, text.size());
        EXPECT_EQ(readGrid(text).size(), 132u);
    }
}

TEST(LevelFiles, PlayableLevelsOnlyChainFiguresInPlay) {
    for (int level = 0; level < kLevelCount; ++level) {
        const LevelDesign design = designLevel(level);
        const std::string cells = readGrid(levelFileText(design));
        SCOPED_TRACE(level);
        int layered = 0;
        for (int i = 0; i < 132; ++i) {
            const auto c = static_cast<unsigned char>(cells[i]);
            int bonus = 0;
            const int slot = chainedSlot(c, &bonus);
            if (slot >= 0) {
                EXPECT_LT(slot, design.figureCount);
                // Neighbouring chains could form a line that nobody made.
                const int r = i / 12;
                const int col = i % 12;
                if (col < 11) {
                    int b2 = 0;
                    EXPECT_LT(chainedSlot(static_cast<unsigned char>(cells[i + 1]), &b2), 0);
                }
                if (r < 10) {
                    int b2 = 0;
                    EXPECT_LT(chainedSlot(static_cast<unsigned char>(cells[i + 12]), &b2), 0);
                }
            } else {
                EXPECT_TRUE(c == '.' || c == '0' || c == '1' || c == '2') << "cell " << i;
            }
            layered += (c == '1' || c == '2' || slot >= 0) ? 1 : 0;
        }
        EXPECT_GT(layered, 10) << "a level needs work to do";
        EXPECT_GT(levelWork(design), 0);
    }
}

TEST(LevelFiles, EveryGridCharacterIsUsedSomewhere) {
    std::set<unsigned char> used;
    for (int level = 0; level <= kLevelCount; ++level) {
        for (const char c :
             readGrid(levelFileText(level < kLevelCount ? designLevel(level) : designEndLevel()))) {
            used.insert(static_cast<unsigned char>(c));
        }
    }
    for (int c = '0'; c <= 'z'; ++c) {
        EXPECT_TRUE(used.count(static_cast<unsigned char>(c)))
            << "character " << static_cast<char>(c);
    }
    for (int c = 0xC0; c <= 0xFF; ++c) {
        EXPECT_TRUE(used.count(static_cast<unsigned char>(c))) << "byte " << c;
    }
    EXPECT_TRUE(used.count('.'));
}

// Averages of a quantity over each stage.
template <typename F>
std::vector<double> perStage(F value) {
    std::vector<double> sums(kStageCount, 0.0);
    for (int level = 0; level < kLevelCount; ++level) {
        sums[stageOfLevel(level)] += value(level);
    }
    for (int s = 0; s < kStageCount; ++s) {
        sums[s] /= kStageSizes[s];
    }
    return sums;
}

TEST(LevelCurve, StagesGrowHarder) {
    const auto figures = perStage([](int n) { return designLevel(n).figureCount; });
    const auto work = perStage([](int n) { return levelWork(designLevel(n)); });
    // Slack of the clock over the estimated play time on unseen seeds.
    const auto slack = perStage([](int n) {
        const LevelDesign d = designLevel(n);
        double played = 0;
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            played += std::max(1.0, estimatedPlaySeconds(d, 77000u + seed)) / 3.0;
        }
        return levelTimeLimitSeconds(d, n) / played;
    });
    EXPECT_LE(figures.front(), 6.0);
    EXPECT_GE(figures.back(), 9.0);
    for (int s = 1; s < kStageCount; ++s) {
        EXPECT_GE(figures[s], figures[s - 1]) << s;
        EXPECT_GT(slack[s], 2.0) << s;
    }
    EXPECT_GT(work.back(), work.front() * 3);
    EXPECT_LT(slack.back(), slack.front() * 0.8) << "the clock does not tighten";
}

TEST(LevelCurve, TimeLimitFollowsTheGamesFormula) {
    LevelDesign design;
    design.timeSeconds = 60.0f;
    EXPECT_NEAR(levelTimeLimitSeconds(design, 3), 582.08, 0.05);
    design.timeSeconds = 0.0f;
    design.grid.fill("000000000000");
    design.grid[0] = "111111111100";
    design.grid[1] = "22222AAAA000";
    EXPECT_EQ(levelWork(design), 10 + 10 + 12);
    EXPECT_DOUBLE_EQ(levelTimeLimitSeconds(design, 50), 32 * 7.0);
}

TEST(LevelCurve, LaterStagesUseShapesDoubleLayersAndBonuses) {
    bool holes = false;
    bool doubles = false;
    std::set<int> bonuses;
    for (int level = 0; level < kLevelCount; ++level) {
        for (const char c : readGrid(levelText(level))) {
            holes |= c == '.';
            doubles |= c == '2';
            int bonus = 0;
            if (chainedSlot(static_cast<unsigned char>(c), &bonus) >= 0) {
                bonuses.insert(bonus);
            }
        }
    }
    EXPECT_TRUE(holes);
    EXPECT_TRUE(doubles);
    EXPECT_EQ(bonuses.size(), 6u);
    // The first level is a gentle introduction: whole board but the barrel's
    // corner, single layers.
    const std::string first = readGrid(levelText(0));
    EXPECT_EQ(first.find('2'), std::string::npos);
    EXPECT_EQ(first.find('.'), first.size() - 1);
}

}  // namespace
