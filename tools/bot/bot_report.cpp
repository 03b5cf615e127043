#include <algorithm>
#include <cstdio>

#include "bot/bot.h"
#include "platform/frame_state.h"

namespace corsavel::bot {

namespace {

void append(std::string& out, const char* format, auto... values) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    out += buffer;
}

int wins(const std::vector<LevelResult>& runs) {
    int n = 0;
    for (const LevelResult& r : runs) {
        n += r.won() ? 1 : 0;
    }
    return n;
}

// Share of the limit the slowest run used; lost runs count as over the limit.
double worstShare(const std::vector<LevelResult>& runs) {
    double worst = 0.0;
    for (const LevelResult& r : runs) {
        const double share = r.limitMs > 0.0f ? r.elapsedMs / r.limitMs : 0.0;
        worst = std::max(worst, r.won() ? share : std::max(share, 1.0));
    }
    return worst;
}

}  // namespace

std::string moveTraceLine(int moves, const MoveChoice& move) {
    std::string out;
    append(out, "%8.1f s  move %3d  row %2d column %2d  value %5d  work left %d%s\n",
           game.clock.elapsedMs / 1000.0f, moves, move.row, move.column, move.value,
           game.clock.workLeft, game.hand.rejecting ? "  refused" : "");
    return out;
}

std::string finalStateLines() {
    std::string out;
    append(out, "final score %d  work left %d  clock %.1f s  played %.1f s\n",
           static_cast<int>(game.scores.scoreTarget), game.clock.workLeft,
           game.clock.elapsedMs / 1000.0f, app.animationClockMs / 1000.0f);
    for (int r = 0; r < kRows; ++r) {
        append(out, "final row %2d:", r);
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            append(out, " %d,%d,%d,%d", cell.layers, cell.chained, cell.figure.kind,
                   cell.figure.bonus);
        }
        out += "\n";
    }
    return out;
}

std::string tableHeader(int seeds) {
    std::string out = "level              stage figs work limit_s |";
    for (int i = 0; i < seeds; ++i) {
        append(out, " seed%-3d", i + 1);
    }
    out += "| wins used% moves  score left wall_s\n";
    return out;
}

// Per seed the play time in seconds; "x" marks a lost run, "?" one given up.
std::string tableRow(const LevelSource& level, const std::vector<LevelResult>& runs) {
    std::string out;
    if (runs.empty()) {
        return out;
    }
    const LevelResult& first = runs.front();
    append(out, "%-18.18s %5d %4d %4d %7.1f |", level.name.c_str(), first.stage + 1, first.figures,
           first.workTotal, first.limitMs / 1000.0f);
    double moves = 0;
    double score = 0;
    int left = 0;
    double wall = 0;
    for (const LevelResult& r : runs) {
        const char mark = r.won() ? ' ' : (r.outcome == Outcome::Lost ? 'x' : '?');
        append(out, " %6.1f%c", r.elapsedMs / 1000.0f, mark);
        moves += r.moves;
        score += r.score;
        left = std::max(left, r.workLeft);
        wall += r.wallSeconds;
    }
    const double n = static_cast<double>(runs.size());
    append(out, "| %d/%d %5.0f %5.0f %6.0f %4d %6.2f\n", wins(runs), static_cast<int>(runs.size()),
           worstShare(runs) * 100.0, moves / n, score / n, left, wall / n);
    return out;
}

std::string summaryLines(const std::vector<LevelSource>& levels,
                         const std::vector<std::vector<LevelResult>>& all, int requiredWins) {
    std::string out;
    int runs = 0;
    int won = 0;
    int levelsOk = 0;
    double wall = 0;
    std::vector<std::pair<double, int>> tight;
    for (size_t i = 0; i < all.size(); ++i) {
        const int w = wins(all[i]);
        runs += static_cast<int>(all[i].size());
        won += w;
        levelsOk += w >= requiredWins ? 1 : 0;
        for (const LevelResult& r : all[i]) {
            wall += r.wallSeconds;
        }
        if (!all[i].empty()) {
            tight.push_back({worstShare(all[i]), static_cast<int>(i)});
        }
    }
    append(out, "levels %d, runs won %d of %d, levels won at least %d times: %d of %d\n",
           static_cast<int>(all.size()), won, runs, requiredWins, levelsOk,
           static_cast<int>(all.size()));
    std::sort(tight.begin(), tight.end(), std::greater<>());
    out += "tightest:";
    for (size_t i = 0; i < tight.size() && i < 5; ++i) {
        const LevelResult& r = all[tight[i].second].front();
        append(out, " %s %.0f%% of %.0f s;", levels[tight[i].second].name.c_str(),
               tight[i].first * 100.0, r.limitMs / 1000.0f);
    }
    append(out, "\nbot time %.1f s, %.3f s a run\n", wall, runs > 0 ? wall / runs : 0.0);
    return out;
}

}  // namespace corsavel::bot
