#include "forge/levels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace corsavel::forge {

namespace {

constexpr std::array<int, kStageCount> kStageFigures = {5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10};

enum Bonus { kNoBonus, kBomb, kLightning, kCrossBomb, kDiagonalBomb, kStarBomb };

// A small deterministic generator so that every run designs the same levels.
struct DesignRandom {
    uint32_t state;
    explicit DesignRandom(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float unit() { return static_cast<float>(next() & 0xFFFF) / 65536.0f; }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

using Mask = std::array<std::array<bool, kBoardColumns>, kBoardRows>;

float centreDistance(int r, int c) {
    return std::hypot(r - 5.0f, (c - 5.5f) * 0.92f);
}

// Board outlines; index 0 is the full board.
bool inShape(int shape, int r, int c) {
    const int cr = std::abs(2 * r - 10);  // 0 at the middle row
    const int cc = std::abs(2 * c - 11);  // 1 at the two middle columns
    switch (shape) {
        case 1:  // corners cut
            return cr + cc <= 26 - 4;
        case 2:  // diamond
            return cr * 0.5f + cc * 0.45f <= 8.6f;
        case 3:  // square hole in the middle
            return !(r >= 4 && r <= 6 && c >= 4 && c <= 7);
        case 4:  // two islands
            return c != 5 && c != 6;
        case 5:  // hourglass
            return cc <= 11 - std::max(0, 6 - cr) * 1;
        case 6:  // frame with a wide hole
            return !(r >= 3 && r <= 7 && c >= 3 && c <= 8);
        case 7:  // plus
            return !((r < 3 || r > 7) && (c < 3 || c > 8));
        case 8:  // notched border
            return !((r == 0 || r == 10 || c == 0 || c == 11) && (r + c) % 2 == 1);
        case 9:  // arch
            return !(r >= 6 && c >= 4 && c <= 7);
        case 10:  // pillars
            return !((c == 3 || c == 8) && r >= 2 && r <= 8);
        case 11:  // heart
        {
            if (r <= 2) {
                return !(r == 0 && (c == 0 || c == 5 || c == 6 || c == 11)) &&
                       !(r <= 1 && (c == 5 || c == 6) && r == 0);
            }
            return cc <= 11 - 2 * (r - 3) + 2;
        }
        default:
            return true;
    }
}

// How strongly a layer pattern wants a cell covered; higher first.
float patternScore(int pattern, int r, int c) {
    switch (pattern) {
        case 0:  // centre outwards
            return -centreDistance(r, c);
        case 1:  // ring
            return -std::fabs(centreDistance(r, c) - 3.5f);
        case 2:  // rows from the bottom
            return static_cast<float>(r) + (r % 2) * 4.0f;
        case 3:  // columns
            return (c % 3 != 1) ? 5.0f - std::fabs(c - 5.5f) * 0.2f : -5.0f;
        case 4:  // checker
            return ((r + c) % 2) * 10.0f - centreDistance(r, c) * 0.3f;
        case 5:  // diagonal cross
            return -std::min(std::fabs(r - c * 10.0f / 11.0f),
                             std::fabs(r - (11 - c) * 10.0f / 11.0f));
        case 6:  // border inwards
            return centreDistance(r, c);
        default:  // lower half first
            return static_cast<float>(r) * 2.0f - std::fabs(c - 5.5f) * 0.5f;
    }
}

// Cells of the board in order of a score with a little noise, best first.
std::vector<std::pair<int, int>> rankCells(const Mask& valid, int pattern, DesignRandom& random) {
    std::vector<std::pair<float, int>> scored;
    for (int r = 0; r < kBoardRows; ++r) {
        for (int c = 0; c < kBoardColumns; ++c) {
            if (valid[r][c]) {
                scored.push_back(
                    {patternScore(pattern, r, c) + random.unit() * 0.8f, r * kBoardColumns + c});
            }
        }
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::pair<int, int>> cells;
    for (const auto& s : scored) {
        cells.push_back({s.second / kBoardColumns, s.second % kBoardColumns});
    }
    return cells;
}

char chainedCell(int slot, Bonus bonus) {
    switch (bonus) {
        case kBomb:
            return static_cast<char>('Q' + slot);
        case kLightning:
            return static_cast<char>('a' + slot);
        case kCrossBomb:
            return static_cast<char>('q' + std::min(slot, 9));
        case kDiagonalBomb:
            return static_cast<char>(0xC0 + slot);
        case kStarBomb:
            return static_cast<char>(0xD0 + slot);
        case kNoBonus:
            break;
    }
    return static_cast<char>('A' + slot);
}

// Bonus kinds a stage may pre-place, in order of introduction.
Bonus pickBonus(int stage, DesignRandom& random) {
    if (stage < 3 || random.unit() < 0.45f) {
        return kNoBonus;
    }
    const int available = std::min(5, 1 + (stage - 3) / 2 + (stage >= 4 ? 1 : 0));
    return static_cast<Bonus>(1 + random.below(available));
}

bool nearChain(const std::array<std::string, kBoardRows>& grid, int r, int c) {
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            const int rr = r + dr;
            const int cc = c + dc;
            if (rr < 0 || rr >= kBoardRows || cc < 0 || cc >= kBoardColumns) {
                continue;
            }
            const auto ch = static_cast<unsigned char>(grid[rr][cc]);
            if (ch != '.' && ch != '0' && ch != '1' && ch != '2') {
                return true;
            }
        }
    }
    return false;
}

std::string formatNumber(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

void addLine(std::string& text, const std::string& key, const std::string& value) {
    text += key;
    text += value;
    text += "\r\n";
}

// Each stage's troupe has a look of its own: the hats its dancers wear, the
// skeleton kinds among them and the dances they take turns at (numbers as
// the game's dance list: 13 and 14 applaud, 15 is the jump-split).
struct StageTroupe {
    std::vector<int> hats;
    std::vector<int> kinds;
    std::vector<int> dances;
};

const StageTroupe& stageTroupe(int stage) {
    static const std::array<StageTroupe, 12> kTroupes = {{
        {{3, 1}, {0}, {0, 1, 13}},                    // caps and berets, easy steps
        {{0, 3}, {0, 1, 3}, {4, 5, 0}},               // pirates: tricornes, patches, a peg leg
        {{6}, {0, 3}, {3, 2, 8}},                     // cowboys
        {{8}, {0, 1}, {10, 12, 1}},                   // sombreros
        {{2, 1}, {0, 2}, {9, 6, 2}},                  // top hats and the robot
        {{7, 2}, {0, 1}, {7, 3, 13}},                 // powdered wigs
        {{9, 10}, {1, 2, 3}, {11, 8, 4}},             // battle-scarred: arrows and axes
        {{0, 6, 8}, {0, 1, 2, 3}, {5, 10, 3, 14}},
        {{2, 7, 3}, {0, 2}, {9, 12, 7, 6}},
        {{6, 8, 9}, {0, 1, 3}, {11, 4, 10, 15}},
        {{5, 7, 2}, {0, 1, 2, 3}, {2, 7, 9, 12, 14}},
        {{4, 5}, {0, 1, 2, 3}, {6, 11, 8, 15, 14}},   // crowns for the last stage
    }};
    return kTroupes[std::clamp(stage, 0, 11)];
}

// The first dancer stands in the gap between the HUD panel and the board,
// where the player sees it dance; the others line up behind the board and
// come into view as its tiles fly off after a win.
std::vector<DancerDesign> explicitDancers(int level, int count) {
    const StageTroupe& troupe = stageTroupe(stageOfLevel(std::min(level, kLevelCount - 1)));
    std::vector<DancerDesign> dancers;
    for (int i = 0; i < count; ++i) {
        DancerDesign d;
        if (i == 0) {
            d.x = -252.0f;
            d.turn = 15.0f;
        } else {
            const float t = count == 2 ? 0.5f
                                       : static_cast<float>(i - 1) / static_cast<float>(count - 2);
            d.x = -200.0f + t * 560.0f;
            d.turn = (t - 0.5f) * -50.0f;
        }
        d.y = (i % 2) * 60.0f - 30.0f;
        d.scale = i == 0 ? 1.0f : 0.9f + 0.1f * static_cast<float>((i + level) % 3);
        d.hat = troupe.hats[static_cast<size_t>(level + i) % troupe.hats.size()];
        d.model = troupe.kinds[static_cast<size_t>(level + i) % troupe.kinds.size()];
        d.startMs = 120 * i;
        const size_t n = troupe.dances.size();
        for (size_t k = 0; k < n; ++k) {
            d.dances.push_back(troupe.dances[(static_cast<size_t>(level + i) + k) % n]);
        }
        dancers.push_back(d);
    }
    return dancers;
}

// A model of the board rules for play-testing: swaps with the hand, lines in
// four directions, layers and chains, gravity, slides and refill, cascades.
// Bonus blasts are left out, which only makes the model slower than real play.
constexpr int kRows = 11;
constexpr int kColumns = 12;
// Seconds the model charges: a human-like look at the board before each move,
// the swap, and every cascade round.
constexpr double kThinkSeconds = 2.5;
constexpr double kSwapSeconds = 0.6;
constexpr double kCascadeRoundSeconds = 0.9;
constexpr double kHandChangeSeconds = 1.5;

struct Cell {
    int layers = 0;  // -1 hole
    bool chained = false;
    int slot = -1;
};

class BoardModel {
public:
    BoardModel(const LevelDesign& design, uint32_t seed)
        : figures_(design.figureCount), random_(seed * 7919u + 17u) {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const auto ch = static_cast<unsigned char>(design.grid[r][c]);
                Cell& cell = cells_[r][c];
                if (ch == '.') {
                    cell.layers = -1;
                } else if (ch == '1' || ch == '2') {
                    cell.layers = ch - '0';
                } else if (ch != '0') {
                    cell.layers = 2;
                    cell.chained = true;
                    cell.slot = chainedSlot(ch) % figures_;
                }
            }
        }
        settle();
        for (int round = 0; round < 100 && removeLines(false) > 0; ++round) {
            settle();
        }
        held_ = randomBelow(figures_);
    }

    int work() const {
        int w = 0;
        for (const auto& row : cells_) {
            for (const Cell& cell : row) {
                w += (cell.layers > 0 ? cell.layers : 0) + (cell.chained ? 1 : 0);
            }
        }
        return w;
    }

    // One move of the greedy player; returns the seconds it took, or a
    // negative value when the model is stuck.
    double playMove() {
        for (int attempt = 0; attempt <= figures_; ++attempt) {
            int bestScore = -1;
            int bestRow = -1;
            int bestColumn = -1;
            int ties = 0;
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < kColumns; ++c) {
                    const Cell& cell = cells_[r][c];
                    if (cell.layers < 0 || cell.chained || cell.slot < 0) {
                        continue;
                    }
                    const int gain = moveScore(r, c);
                    if (gain < 0) {
                        continue;
                    }
                    // Work cleared first; then, like a player who looks at
                    // the tiles still to clear, moves close above them.
                    const int score = gain * 100 + closeness(r, c);
                    if (score > bestScore) {
                        bestScore = score;
                        bestRow = r;
                        bestColumn = c;
                        ties = 1;
                    } else if (score == bestScore && randomBelow(++ties) == 0) {
                        bestRow = r;
                        bestColumn = c;
                    }
                }
            }
            if (bestRow >= 0) {
                const int picked = cells_[bestRow][bestColumn].slot;
                cells_[bestRow][bestColumn].slot = held_;
                held_ = picked;
                double seconds = kThinkSeconds + kSwapSeconds;
                while (removeLines(true) > 0) {
                    settle();
                    seconds += kCascadeRoundSeconds;
                }
                return seconds + (attempt > 0 ? kHandChangeSeconds : 0.0);
            }
            held_ = (held_ + 1) % figures_;
        }
        // No slot has a move: the game's board fix reshuffles the free figures.
        for (auto& row : cells_) {
            for (Cell& cell : row) {
                if (cell.layers >= 0 && !cell.chained) {
                    cell.slot = randomBelow(figures_);
                }
            }
        }
        ++reshuffles_;
        return reshuffles_ > 50 ? -1.0 : kHandChangeSeconds;
    }

private:
    static int chainedSlot(unsigned char ch) {
        if (ch >= 'A' && ch <= 'O')
            return ch - 'A';
        if (ch >= 'Q' && ch <= '_')
            return ch - 'Q';
        if (ch >= 'a' && ch <= 'o')
            return ch - 'a';
        if (ch >= 'q' && ch <= 'z')
            return ch - 'q';
        if (ch >= 0xC0 && ch <= 0xCE)
            return ch - 0xC0;
        if (ch >= 0xD0 && ch <= 0xDE)
            return ch - 0xD0;
        return 0;
    }

    int randomBelow(int n) {
        random_ = random_ * 1103515245u + 12345u;
        return static_cast<int>((random_ >> 16) % static_cast<uint32_t>(n));
    }

    bool holds(int r, int c, int slot) const {
        return r >= 0 && r < kRows && c >= 0 && c < kColumns && cells_[r][c].layers >= 0 &&
               cells_[r][c].slot == slot;
    }

    // 0..20, higher the nearer (r, c) lies above a cell with work left.
    int closeness(int r, int c) const {
        int best = 0;
        for (int rr = r; rr < kRows; ++rr) {
            for (int cc = 0; cc < kColumns; ++cc) {
                const Cell& cell = cells_[rr][cc];
                if (cell.layers > 0 || cell.chained) {
                    best = std::max(best, 20 - 2 * (rr - r) - 3 * std::abs(cc - c));
                }
            }
        }
        return best;
    }

    // Work the held figure would clear at (r, c) directly; -1 when no line.
    int moveScore(int r, int c) {
        const int saved = cells_[r][c].slot;
        cells_[r][c].slot = held_;
        int score = -1;
        static constexpr int kSteps[4][2] = {{1, 1}, {1, -1}, {1, 0}, {0, 1}};
        for (const auto& step : kSteps) {
            int br = r;
            int bc = c;
            while (holds(br - step[0], bc - step[1], held_)) {
                br -= step[0];
                bc -= step[1];
            }
            int n = 0;
            int gain = 0;
            for (int rr = br, cc = bc; holds(rr, cc, held_); rr += step[0], cc += step[1]) {
                ++n;
                gain += (cells_[rr][cc].layers > 0 || cells_[rr][cc].chained) ? 1 : 0;
            }
            if (n >= 3) {
                score = std::max(score, 0) + gain;
            }
        }
        cells_[r][c].slot = saved;
        return score;
    }

    // Removes every line; in play each hit cell loses its chain or a layer.
    int removeLines(bool inPlay) {
        std::array<std::array<bool, kColumns>, kRows> hit{};
        static constexpr int kSteps[4][2] = {{1, 1}, {1, -1}, {1, 0}, {0, 1}};
        int found = 0;
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                const int slot = cells_[r][c].slot;
                if (cells_[r][c].layers < 0 || slot < 0) {
                    continue;
                }
                for (const auto& step : kSteps) {
                    if (holds(r - step[0], c - step[1], slot)) {
                        continue;  // not the start of the run
                    }
                    int n = 0;
                    while (holds(r + n * step[0], c + n * step[1], slot)) {
                        ++n;
                    }
                    if (n >= 3) {
                        for (int k = 0; k < n; ++k) {
                            hit[r + k * step[0]][c + k * step[1]] = true;
                        }
                    }
                }
            }
        }
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                Cell& cell = cells_[r][c];
                if (!hit[r][c]) {
                    continue;
                }
                if (!inPlay) {
                    if (!cell.chained) {
                        cell.slot = -1;
                        ++found;
                    }
                    continue;
                }
                ++found;
                if (cell.chained) {
                    cell.chained = false;
                } else if (cell.layers > 0) {
                    --cell.layers;
                }
                cell.slot = -1;
            }
        }
        return found;
    }

    bool valid(int r, int c) const {
        return r >= 0 && r < kRows && c >= 0 && c < kColumns && cells_[r][c].layers >= 0;
    }
    bool freeFigure(int r, int c) const {
        return valid(r, c) && !cells_[r][c].chained && cells_[r][c].slot >= 0;
    }

    // Straight falls and refill until nothing moves, then one slide, again.
    void settle() {
        for (int guard = 0; guard < 2000; ++guard) {
            bool moved = true;
            while (moved) {
                moved = false;
                for (int r = kRows - 1; r >= 1; --r) {
                    for (int c = 0; c < kColumns; ++c) {
                        if (!valid(r, c) || cells_[r][c].slot >= 0) {
                            continue;
                        }
                        if (freeFigure(r - 1, c)) {
                            cells_[r][c].slot = cells_[r - 1][c].slot;
                            cells_[r - 1][c].slot = -1;
                            moved = true;
                        } else if (!valid(r - 1, c)) {
                            cells_[r][c].slot = randomBelow(figures_);
                            moved = true;
                        }
                    }
                }
                for (int c = 0; c < kColumns; ++c) {
                    if (valid(0, c) && cells_[0][c].slot < 0) {
                        cells_[0][c].slot = randomBelow(figures_);
                        moved = true;
                    }
                }
            }
            if (!slideOne()) {
                return;
            }
        }
    }

    bool slideOne() {
        for (int r = kRows - 1; r >= 1; --r) {
            for (int c = 0; c < kColumns; ++c) {
                if (!valid(r, c) || cells_[r][c].slot >= 0) {
                    continue;
                }
                for (const int dc : {1, -1}) {
                    if (freeFigure(r - 1, c + dc)) {
                        cells_[r][c].slot = cells_[r - 1][c + dc].slot;
                        cells_[r - 1][c + dc].slot = -1;
                        return true;
                    }
                }
            }
        }
        return false;
    }

    std::array<std::array<Cell, kColumns>, kRows> cells_{};
    int figures_;
    uint32_t random_;
    int held_ = 0;
    int reshuffles_ = 0;
};

// Seconds the model player needs, or a negative value when it got stuck.
double playModel(const LevelDesign& design, uint32_t seed, double limitSeconds) {
    BoardModel board(design, seed);
    double seconds = 0;
    for (int moves = 0; moves < 2000 && board.work() > 0; ++moves) {
        const double step = board.playMove();
        if (step < 0) {
            return -1;
        }
        seconds += step;
        if (seconds > limitSeconds * 3) {
            break;
        }
    }
    return board.work() == 0 ? seconds : -1;
}

// How many times longer the model takes than real play (the bot at its
// default pace, median of five seeds), measured over the pack by slots in play.
double modelOverRealPlay(int figures) {
    constexpr double kBySlots[6] = {1.75, 2.4, 2.65, 2.75, 2.9, 3.2};  // 5 .. 10 slots
    return kBySlots[std::clamp(figures, 5, 10) - 5];
}

}  // namespace

double playtestSeconds(const LevelDesign& design, uint32_t seed) {
    return playModel(design, seed, 1e9);
}

double estimatedPlaySeconds(const LevelDesign& design, uint32_t seed) {
    const double seconds = playtestSeconds(design, seed);
    return seconds < 0 ? seconds : seconds / modelOverRealPlay(design.figureCount);
}

int stageOfLevel(int level) {
    int first = 0;
    for (int s = 0; s < kStageCount; ++s) {
        first += kStageSizes[s];
        if (level < first) {
            return s;
        }
    }
    return kStageCount - 1;
}

std::string levelFileName(int level) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "pack1_%.2i.lvl", level + 1);
    return buffer;
}

int levelWork(const LevelDesign& design) {
    int work = 0;
    for (const std::string& row : design.grid) {
        for (const char ch : row) {
            const auto b = static_cast<unsigned char>(ch);
            if (b == '1') {
                work += 1;
            } else if (b == '2') {
                work += 2;
            } else if ((b >= 'A' && b <= 'O') || (b >= 'Q' && b <= '_') || (b >= 'a' && b <= 'o') ||
                       (b >= 'q' && b <= 'z') || (b >= 0xC0 && b <= 0xCE) ||
                       (b >= 0xD0 && b <= 0xDE)) {
                work += 3;  // two layers and the chain
            }
        }
    }
    return work;
}

double levelTimeLimitSeconds(const LevelDesign& design, int level) {
    if (design.timeSeconds == 0.0f) {
        return levelWork(design) * 7.0;
    }
    const double d = (100.0 - level) / 100.0;
    double limit = design.timeSeconds * (4.0 * d * d * d + 1.2);
    return level < 5 ? limit * 2.0 : limit;
}

static LevelDesign composeLevel(int level) {
    DesignRandom random(static_cast<uint32_t>(level) + 1);
    const int stage = stageOfLevel(level);
    int firstOfStage = 0;
    for (int s = 0; s < stage; ++s) {
        firstOfStage += kStageSizes[s];
    }
    const int inStage = level - firstOfStage;
    const float progress = static_cast<float>(inStage) / static_cast<float>(kStageSizes[stage]);

    LevelDesign design;
    design.figureCount = kStageFigures[stage];
    // Each stage brings its own set of treasures.
    if (level != 0) {
        const int start = (stage * 5 + inStage) % kFigureKindCount;
        for (int i = 0; i < design.figureCount; ++i) {
            design.figureKinds.push_back((start + i * 3) % kFigureKindCount);
        }
    }

    // Outline: the first levels use the whole board, shapes come in later.
    Mask valid{};
    const int shape = stage < 1 ? 0 : (level * 5 + stage) % 12;
    for (int r = 0; r < kBoardRows; ++r) {
        for (int c = 0; c < kBoardColumns; ++c) {
            valid[r][c] = inShape(shape, r, c);
        }
    }
    // The powder barrel at the end of the time fuse stands on the bottom
    // right corner, so that cell is never part of a board.
    valid[kBoardRows - 1][kBoardColumns - 1] = false;
    for (int r = 0; r < kBoardRows; ++r) {
        design.grid[r].assign(kBoardColumns, '0');
        for (int c = 0; c < kBoardColumns; ++c) {
            if (!valid[r][c]) {
                design.grid[r][c] = '.';
            }
        }
    }

    // Layers: coverage and the share of double layers rise with the stage.
    const float coverage =
        std::min(1.0f, 0.3f + 0.06f * static_cast<float>(stage) + 0.08f * progress);
    const float doubleShare = stage < 2
                                  ? (stage == 1 ? 0.1f * progress : 0.0f)
                                  : std::min(0.75f, 0.12f + 0.06f * static_cast<float>(stage));
    const auto ranked = rankCells(valid, (level * 3 + stage) % 8, random);
    const int covered = static_cast<int>(static_cast<float>(ranked.size()) * coverage);
    const int doubled = static_cast<int>(static_cast<float>(covered) * doubleShare);
    for (int i = 0; i < covered; ++i) {
        design.grid[ranked[i].first][ranked[i].second] = i < doubled ? '2' : '1';
    }

    // Chained figures from the second stage on, spread out so that no two touch.
    int chains = stage == 0 ? (inStage == 3 ? 2 : 0) : std::min(16, 2 + stage + inStage / 3);
    const auto chainCells = rankCells(valid, (level + 5) % 8, random);
    int slot = level % design.figureCount;
    for (size_t i = 0; i < chainCells.size() && chains > 0; ++i) {
        const auto [r, c] = chainCells[(i * 7 + static_cast<size_t>(level)) % chainCells.size()];
        if (r == 0 || nearChain(design.grid, r, c)) {
            continue;
        }
        Bonus bonus = pickBonus(stage, random);
        if (bonus == kCrossBomb && slot > 9) {
            bonus = kBomb;
        }
        design.grid[r][c] = chainedCell(slot, bonus);
        slot = (slot + 1) % design.figureCount;
        --chains;
    }

    // The clock. The rules model plays at a human-like pace but knows no bonus
    // blasts, so it takes longer than real play, the more so with more slots
    // in play; its median of seven play-tests divided by that overestimate is
    // the time real play needs. The margin over it shrinks from 5.5 times on
    // the first level to 2.8 times on the last: the fuse tightens as the pack
    // goes on. corsavel-bot checks every level against the real rules.
    std::array<double, 7> runs{};
    for (size_t i = 0; i < runs.size(); ++i) {
        const double seconds =
            playtestSeconds(design, 1000u + static_cast<uint32_t>(level) * 10u + i);
        runs[i] = seconds < 0 ? 3000.0 : seconds;
    }
    std::sort(runs.begin(), runs.end());
    const double margin = 5.5 - 2.7 * level / 99.0;
    const double wanted = std::max(60.0, runs[3] / modelOverRealPlay(design.figureCount) * margin);
    if ((level == 1 || level == 6) && levelWork(design) * 7.0 >= wanted) {
        design.timeSeconds = 0.0f;  // the game's own rule: 7 s per unit of work
    } else {
        const double d = (100.0 - level) / 100.0;
        const double factor = (4.0 * d * d * d + 1.2) * (level < 5 ? 2.0 : 1.0);
        design.timeSeconds = static_cast<float>(std::ceil(wanted / factor * 10.0) / 10.0);
    }

    // Dancers: the stage's own troupe mostly, an automatic formation now
    // and then.
    const int troupe = std::clamp(1 + stage * 9 / 11 + inStage % 2, 1, 10);
    if (level % 4 != 3) {
        design.dancers = explicitDancers(level, std::max(2, std::min(troupe, 8)));
    } else {
        design.autoDancers = troupe;
        design.standType = level % 7;
        design.danceSet = (level * 5) % 9;
    }
    return design;
}

// Designing plays each level several times: every level is composed once.
LevelDesign designLevel(int level) {
    static std::array<std::optional<LevelDesign>, kLevelCount> designs;
    if (level < 0 || level >= kLevelCount) {
        return composeLevel(std::clamp(level, 0, kLevelCount - 1));
    }
    if (!designs[level]) {
        designs[level] = composeLevel(level);
    }
    return *designs[level];
}

LevelDesign designEndLevel() {
    LevelDesign design;
    design.figureCount = kFigureKindCount;
    for (int i = 0; i < kFigureKindCount; ++i) {
        design.figureKinds.push_back(i);
    }
    design.timeSeconds = 0.0f;
    // The closing celebration: the whole troupe in a row across the picture.
    design.dancers = explicitDancers(100, 10);
    for (size_t i = 0; i < design.dancers.size(); ++i) {
        design.dancers[i].x = -342.0f + 76.0f * static_cast<float>(i);
        design.dancers[i].y = 0.0f;
        design.dancers[i].scale = 0.9f;
        design.dancers[i].turn = i % 2 ? 15.0f : -15.0f;
        design.dancers[i].hat = static_cast<int>(i) % 11;
        design.dancers[i].model = static_cast<int>(i) % 4;
        // The closing dance: applause, a dance of their own, the jump-split.
        design.dancers[i].dances = {13, static_cast<int>(i) % 13, 15, 14};
    }
    // A treasure-strewn board that shows every cell code: chained figures of
    // every slot with every bonus, and the tile codes that read as plain tiles.
    std::string cells = ".012";
    for (int slot = 0; slot < 15; ++slot) {
        cells += chainedCell(slot, kDiagonalBomb);
        cells += chainedCell(slot, kStarBomb);
    }
    for (int slot = 10; slot < 15; ++slot) {
        for (const Bonus bonus : {kNoBonus, kBomb, kLightning}) {
            cells += chainedCell(slot, bonus);
        }
    }
    for (int slot = 0; slot <= 9; ++slot) {
        cells += chainedCell(slot, kCrossBomb);
    }
    for (char ch = '3'; ch <= '@'; ++ch) {
        cells += ch;
    }
    cells += "P`p";
    cells += static_cast<char>(0xCF);
    for (int b = 0xDF; b <= 0xFF; ++b) {
        cells += static_cast<char>(b);
    }
    // The rest of the board: the treasures of the slots the pack plays with.
    for (int slot = 0; slot <= 9 && cells.size() < kBoardRows * kBoardColumns; ++slot) {
        for (const Bonus bonus : {kNoBonus, kBomb, kLightning}) {
            cells += chainedCell(slot, bonus);
        }
    }
    cells.resize(kBoardRows * kBoardColumns, '0');
    for (int r = 0; r < kBoardRows; ++r) {
        design.grid[r] = cells.substr(static_cast<size_t>(r * kBoardColumns), kBoardColumns);
    }
    return design;
}

std::string levelFileText(const LevelDesign& design) {
    std::string text;
    addLine(text, "figures=", std::to_string(design.figureCount));
    for (size_t i = 0; i < design.figureKinds.size(); ++i) {
        addLine(text, "figure" + std::to_string(i) + "=", figureKindName(design.figureKinds[i]));
    }
    // "time=" also matches inside "sk%idtime=", so it must come first.
    addLine(text, "time=", formatNumber(design.timeSeconds));
    // Likewise "skeletons=" matches inside "autoskeletons=".
    addLine(text, "skeletons=",
            std::to_string(design.autoDancers > 0 ? 0 : static_cast<int>(design.dancers.size())));
    if (design.autoDancers > 0) {
        addLine(text, "autoskeletons=", std::to_string(design.autoDancers));
        addLine(text, "standtype=", std::to_string(design.standType));
        addLine(text, "dance=", std::to_string(design.danceSet));
    } else {
        for (size_t i = 0; i < design.dancers.size(); ++i) {
            const DancerDesign& d = design.dancers[i];
            const std::string sk = "sk" + std::to_string(i);
            addLine(text, sk + "rotz=", formatNumber(d.turn));
            addLine(text, sk + "x=", formatNumber(d.x));
            addLine(text, sk + "y=", formatNumber(d.y));
            addLine(text, sk + "scale=", formatNumber(d.scale));
            addLine(text, sk + "hat=", std::to_string(d.hat));
            addLine(text, sk + "type=", std::to_string(d.model));
            std::string list = "{";
            for (const int dance : d.dances) {
                list += std::to_string(dance) + ",";
            }
            list += "-1}";
            addLine(text, sk + "anim=", list);
            addLine(text, sk + "dtime=", std::to_string(d.startMs));
        }
    }
    text += "level=\r\n";
    for (const std::string& row : design.grid) {
        text += row;
        text += "\r\n";
    }
    return text;
}

void forgeLevels(ForgeOutput& out) {
    for (int level = 0; level < kLevelCount; ++level) {
        out.addText("levels/" + levelFileName(level), levelFileText(designLevel(level)));
    }
    out.addText("levels/end.lvl", levelFileText(designEndLevel()));
}

}  // namespace corsavel::forge
