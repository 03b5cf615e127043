// playsession: a player's whole session at the real controls. Whatever is
// on screen, it answers as a player would, only by pointer moves, clicks and
// keys through the window messages: the intro's click, a new player's name,
// "Adventure" on the main page, a double click on the level the map chose,
// the bot on the board, the statistics' OK, the stage screen, the defeat
// page, the hiscores after a game over and back to a new game. Every minute
// of game time it can write the process's resident memory to a CSV file.
//
//   playsession MINUTES [PLAN [CSV]]
//
// PLAN is a string of W and L, one letter per level played, repeated: on W
// the bot plays to win, on L it reads the tips but makes no move, so the
// clock runs out (default W). The defeat page is answered with "restart
// level" and "skip level" in turn. The command fails when a page stays up
// or a level stays unfinished far longer than a player would let it, or a
// page shows that the session cannot answer.
//
//   step MS
//
// The clock step of the frames run from now on (as --step gives it at the
// start), so a short session can be played in fewer frames.
//
//   standin FILE N
//
// FILE (a level file; relative to the source folder or the launch folder)
// stands in for level N (1..100) of the pack from now on, without starting
// it, so a short session meets a quick win or loss where the map leads.
// Needs the one-time load done (until loadAllCount == 1).
//
// Fields: sessionWon, sessionLost, sessionStageEnds, sessionGameOvers,
// sessionDefeats, sessionLevels (levels started), sessionMinutes (game time
// played), sessionTrail (the screens and events in order, comma-separated,
// the last 2000 characters) and residentKb (the process's resident memory).

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/app_state.h"
#include "app/screen.h"
#include "bot/bot.h"
#include "game/game_state.h"
#include "game/progress.h"
#include "game/rules.h"
#include "harness.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "platform/virtual_keys.h"
#include "resources/asset_registry.h"
#include "ui/menu.h"

namespace corsavel::harness {

namespace {

// A player reads a page (and waits for its slide) before clicking.
constexpr float kReactMs = 700.0f;
// A won level's celebration and the stage screen are watched a while.
constexpr float kWatchCelebrationMs = 6500.0f;
constexpr float kWatchStageMs = 3000.0f;
// A page (or the board after its clock ran out) that stays this long means
// the session is stuck; play itself may take the level's limit on top.
constexpr float kStuckMs = 120000.0f;
constexpr size_t kTrailChars = 2000;
constexpr const char* kPlayerName = "SOAK";

struct Counts {
    int won = 0;
    int lost = 0;
    int stageEnds = 0;
    int gameOvers = 0;
    int defeats = 0;
    int levels = 0;
};

// What the previous frame showed, to see events as they begin.
struct Seen {
    std::string where;
    bool levelWon = false;
    bool timedOut = false;
    bool stageComplete = false;
    bool onGame = false;
    float elapsedMs = 0.0f;
};

struct Session {
    Counts counts;
    std::string trail;
    double gameMs = 0.0;
};

Session totals;

long residentKb() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) {
        return -1;
    }
    long size = 0;
    long resident = -1;
    if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) {
        resident = -1;
    }
    std::fclose(f);
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void addTrail(const std::string& token) {
    if (!totals.trail.empty()) {
        totals.trail += ',';
    }
    totals.trail += token;
    if (totals.trail.size() > kTrailChars) {
        totals.trail.erase(0, totals.trail.size() - kTrailChars);
    }
}

bool onGameScreen() {
    return currentScreen() == &gameScreen;
}

// The page a player sees: on the menu screen the current page, on the game
// screen the page over the board (none while playing).
const char* pageShown() {
    if (currentScreen() == &menuScreen || (onGameScreen() && game.flags.menuActive)) {
        return menu.currentPage != nullptr ? menu.currentPage->name : "";
    }
    return "";
}

std::string whereNow() {
    const char* page = pageShown();
    if (onGameScreen() && page[0] == '\0') {
        return "level" + std::to_string(session.currentLevel + 1);
    }
    return page[0] != '\0' ? std::string(page) : std::string(screenName(currentScreen()));
}

void clickAt(float x, float y) {
    overridePointer(x, y);
    sendMessage({MessageKind::MouseMove, 0});
    sendMessage({MessageKind::LeftDown, 0});
    sendMessage({MessageKind::LeftUp, 0});
}

// Clicks the button of the page's item of that name; false when the page
// drew none.
bool clickItem(const char* name) {
    const MenuPage* page = menu.currentPage;
    if (page == nullptr) {
        return false;
    }
    for (int i = 0; i < page->itemCount && i < menu.buttonCount; ++i) {
        if (std::strcmp(page->items[i]->name, name) == 0) {
            const MenuButton& b = menu.buttons[i];
            clickAt((b.left + b.right) / 2.0f, (b.top + b.bottom) / 2.0f);
            return true;
        }
    }
    return false;
}

// A double click on the map's mark of the level the map chose.
bool doubleClickChosenMark() {
    const int level = session.currentLevel;
    if (level < 0 || level >= menu.widgetCount ||
        menu.widgets[level].kind != WidgetKind::LevelMark) {
        return false;
    }
    const MenuWidget& w = menu.widgets[level];
    overridePointer((w.left + w.right) / 2.0f, (w.top + w.bottom) / 2.0f);
    sendMessage({MessageKind::MouseMove, 0});
    for (MessageKind kind : {MessageKind::LeftDown, MessageKind::LeftUp,
                             MessageKind::LeftDoubleClick, MessageKind::LeftUp}) {
        sendMessage({kind, 0});
    }
    return true;
}

void pressKey(int32_t key) {
    sendMessage({MessageKind::KeyDown, key});
}

class Player {
public:
    Player(std::string plan, float thinkMs) : plan_(std::move(plan)), thinkMs_(thinkMs) {
        newHand();
    }

    // One look at the screen, and at most one action; false with a reason
    // when the page is one the session cannot answer.
    bool act(std::string* error) {
        if (!typing_.empty()) {
            pressKey(static_cast<unsigned char>(typing_[0]));
            typing_.erase(0, 1);
            if (typing_.empty()) {
                typeEnter_ = true;
            }
            return true;
        }
        if (typeEnter_) {
            typeEnter_ = false;
            pressKey(vk::kEnter);
            return true;
        }
        if (onGameScreen() && !game.flags.menuActive) {
            return playBoard();
        }
        // Pages and the intro: a page is read once it has come to rest.
        readMs_ += static_cast<float>(frameStep());
        if (currentScreen() != &introScreen && slideRunning()) {
            readMs_ = 0.0f;
        }
        if (readMs_ < kReactMs) {
            return true;
        }
        readMs_ = 0.0f;
        if (currentScreen() == &introScreen) {
            clickAt(0.0f, 0.0f);
            return true;
        }
        return answerPage(error);
    }

    // A new level began: the next letter of the plan says how to play it.
    void levelStarted() {
        ++attempt_;
        newHand();
    }

    char letter() const { return plan_[(attempt_ + plan_.size() - 1) % plan_.size()]; }

private:
    void newHand() {
        bot::BotOptions options;
        options.stepMs = static_cast<float>(frameStep());
        // A losing level: the tips are read, but the bot thinks too long to move.
        options.thinkMs = letter() == 'L' ? 1.0e9f : thinkMs_;
        options.mode = session.gameMode;
        hand_ = bot::BotHand(options);
        readMs_ = 0.0f;
    }

    bool playBoard() {
        const LevelFlags& fl = game.flags;
        const float step = static_cast<float>(frameStep());
        if (fl.stageComplete || fl.gameComplete) {
            watchMs_ += step;
            if (watchMs_ >= kWatchStageMs) {
                watchMs_ = 0.0f;
                clickAt(0.0f, 0.0f);
            }
            return true;
        }
        watchMs_ = 0.0f;
        if (fl.levelWon) {
            const bool counted = session.gameMode == 1 || game.scores.bonusFinished;
            if (counted && fl.levelEndMs >= kWatchCelebrationMs) {
                clickAt(0.0f, 0.0f);
            }
            return true;
        }
        if (game.clock.timedOut) {
            // The game takes the click once the fuse's end has been shown.
            if (game.clock.elapsedMs >= game.clock.timeLimitMs + 4000.0f + kReactMs) {
                clickAt(0.0f, 0.0f);
            }
            return true;
        }
        Vec2 at;
        bot::MoveChoice move;
        if (hand_.act(step, &at, &move)) {
            clickAt(at.x, at.y);
        }
        return true;
    }

    bool answerPage(std::string* error) {
        const std::string page = pageShown();
        bool done = false;
        if (page == "newprofile") {
            typing_ = kPlayerName;
            done = true;
        } else if (page == "main") {
            done = clickItem("adventure");
        } else if (page == "loadgamequest") {
            done = clickItem("yes");
        } else if (page == "adventure" || page == "puzzle") {
            done = doubleClickChosenMark() || clickItem("start");
        } else if (page == "levelcomplete" || page == "replaywin") {
            // The first click finishes the count, the next goes on.
            done = clickItem("oknextlevel");
        } else if (page == "defeat") {
            // Counted as the page opened: the first restarts, the next skips.
            done = clickItem(totals.counts.defeats % 2 == 1 ? "restart level" : "skip level");
        } else if (page == "messageboxyn") {
            // Only a skip is ever asked here; other questions are declined.
            const MenuPage* over = menu.currentPage->parent;
            done =
                clickItem(over != nullptr && std::strcmp(over->name, "defeat") == 0 ? "yes" : "no");
        } else if (page == "messageboxok") {
            done = clickItem("ok");
        } else if (page == "gameplaytip") {
            done = clickItem("okcontinuegame");
        } else if (page == "hiscore") {
            done = clickItem("back");
        } else if (page == "gameplay") {
            done = clickItem("resume game");
        } else if (page == "gameover" || page == "replayloss") {
            done = clickItem("restart level");
        }
        if (!done) {
            *error = "no answer to the page '" + page + "' on the " + screenName(currentScreen()) +
                     " screen";
        }
        return done;
    }

    std::string plan_;
    float thinkMs_;
    bot::BotHand hand_{bot::BotOptions{}};
    int attempt_ = 0;
    float readMs_ = 0.0f;
    float watchMs_ = 0.0f;
    std::string typing_;
    bool typeEnter_ = false;
};

// Counts what began in the last frame and notes it in the trail.
void noteEvents(const Seen& before, Seen* now, Player* player) {
    now->where = whereNow();
    now->onGame = onGameScreen();
    now->levelWon = now->onGame && game.flags.levelWon;
    now->timedOut = now->onGame && game.clock.timedOut;
    now->stageComplete = now->onGame && game.flags.stageComplete;
    now->elapsedMs = game.clock.elapsedMs;
    // A level starts on the game screen, or its clock starts again.
    const bool started =
        now->onGame && !game.flags.stageComplete && !game.flags.gameComplete &&
        (!before.onGame || before.stageComplete || now->elapsedMs < before.elapsedMs);
    if (started) {
        ++totals.counts.levels;
        player->levelStarted();
        addTrail(whereNow() + player->letter());
    } else if (now->where != before.where && !now->onGame) {
        addTrail(now->where);
    } else if (now->where != before.where && pageShown()[0] != '\0') {
        addTrail(now->where);
    }
    if (now->levelWon && !before.levelWon) {
        ++totals.counts.won;
        addTrail("won");
    }
    if (now->timedOut && !before.timedOut) {
        ++totals.counts.lost;
        addTrail("lost");
    }
    if (now->stageComplete && !before.stageComplete) {
        ++totals.counts.stageEnds;
        addTrail("stageend");
    }
    if (now->where != before.where && now->where == "defeat") {
        ++totals.counts.defeats;
    }
    if (now->where != before.where && now->where == "hiscore" && now->onGame) {
        ++totals.counts.gameOvers;
        addTrail("gameover");
    }
}

bool parseMinutes(const std::string& s, double* out) {
    char* end = nullptr;
    *out = std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0' && *out > 0.0 && *out <= 24.0 * 60.0;
}

bool validPlan(const std::string& plan) {
    return !plan.empty() && plan.find_first_not_of("WL") == std::string::npos;
}

bool writeSample(std::FILE* csv, int minute, double wallSeconds) {
    const Counts& c = totals.counts;
    std::fprintf(csv, "%d,%.1f,%.1f,%.2f,%d,%d,%d,%d,%d,%d\n", minute, totals.gameMs / 1000.0,
                 wallSeconds, static_cast<double>(residentKb()) / 1024.0, c.levels, c.won, c.lost,
                 c.stageEnds, c.gameOvers, session.currentLevel + 1);
    return std::fflush(csv) == 0;
}

bool playSessionCommand(const HarnessArgs& args, std::string* error) {
    double minutes = 0.0;
    const std::string plan = args.size() >= 2 ? args[1] : "W";
    if (args.empty() || args.size() > 3 || !parseMinutes(args[0], &minutes) || !validPlan(plan)) {
        *error = "usage: playsession MINUTES [PLAN [CSV]] (PLAN of W and L)";
        return false;
    }
    std::FILE* csv = nullptr;
    if (args.size() == 3) {
        csv = std::fopen(outputPath(args[2]).c_str(), "w");
        if (csv == nullptr) {
            *error = "cannot write '" + outputPath(args[2]) + "'";
            return false;
        }
        std::fputs("minute,game_s,wall_s,rss_mb,levels,won,lost,stage_ends,game_overs,level\n",
                   csv);
    }
    const auto wallStart = std::chrono::steady_clock::now();
    auto wallSeconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    };
    Player player(plan, 1500.0f);
    Seen seen;
    noteEvents(Seen{}, &seen, &player);
    const double endMs = totals.gameMs + minutes * 60000.0;
    int minute = 0;
    bool ok = csv == nullptr || writeSample(csv, minute, 0.0);
    double sameSinceMs = 0.0;
    while (ok && totals.gameMs < endMs && app.quitRequested == 0) {
        if (!player.act(error)) {
            ok = false;
            break;
        }
        runFrames(1);
        totals.gameMs += frameStep();
        Seen now;
        noteEvents(seen, &now, &player);
        const bool playing = now.onGame && pageShown()[0] == '\0' && !now.timedOut &&
                             !now.levelWon && !now.stageComplete;
        sameSinceMs = now.where == seen.where && !playing ? sameSinceMs + frameStep() : 0.0;
        const bool overLimit = playing && game.clock.elapsedMs > game.clock.timeLimitMs + kStuckMs;
        if (sameSinceMs > kStuckMs || overLimit) {
            *error = "stuck at '" + now.where + "' after " +
                     std::to_string(static_cast<long>(totals.gameMs / 1000.0)) + " s of play";
            ok = false;
        }
        seen = now;
        if (ok && csv != nullptr && totals.gameMs >= (minute + 1) * 60000.0) {
            ++minute;
            ok = writeSample(csv, minute, wallSeconds());
            if (!ok) {
                *error = "cannot write '" + outputPath(args[2]) + "'";
            }
        }
    }
    if (ok && totals.gameMs < endMs) {
        // Closed window or SIGTERM: a soak cut short is no pass.
        *error = "the game quit after " + std::to_string(totals.gameMs / 60000.0) + " min";
        ok = false;
    }
    if (csv != nullptr) {
        std::fclose(csv);
    }
    const Counts& c = totals.counts;
    std::printf(
        "playsession: %.1f min of game time in %.0f s: %d levels, %d won, %d lost, %d stage ends, "
        "%d defeat pages, %d game overs, resident %.1f MB\n",
        totals.gameMs / 60000.0, wallSeconds(), c.levels, c.won, c.lost, c.stageEnds, c.defeats,
        c.gameOvers, static_cast<double>(residentKb()) / 1024.0);
    std::fflush(stdout);
    return ok;
}

bool stepCommand(const HarnessArgs& args, std::string* error) {
    char* end = nullptr;
    const long ms = args.size() == 1 ? std::strtol(args[0].c_str(), &end, 10) : 0;
    if (args.size() != 1 || *end != '\0' || ms < 1 || ms > 1000) {
        *error = "usage: step MS (1..1000)";
        return false;
    }
    setFrameStep(static_cast<uint32_t>(ms));
    return true;
}

bool standInCommand(const HarnessArgs& args, std::string* error) {
    char* end = nullptr;
    const long level = args.size() == 2 ? std::strtol(args[1].c_str(), &end, 10) : 0;
    if (args.size() != 2 || *end != '\0' || level < 1 || level > kLevelCount) {
        *error = "usage: standin FILE N (level 1..100)";
        return false;
    }
    if (app.loadAllCount == 0) {
        *error = "the one-time load has not run yet";
        return false;
    }
    return standInLevelFile(args[0], static_cast<int>(level), error);
}

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

[[maybe_unused]] const bool registered =
    registerHarnessCommand("playsession", playSessionCommand) &&
    registerHarnessCommand("standin", standInCommand) &&
    registerHarnessCommand("step", stepCommand) &&
    registerDumpField("residentKb", [] { return num(static_cast<double>(residentKb())); }) &&
    registerDumpField("sessionWon", [] { return num(totals.counts.won); }) &&
    registerDumpField("sessionLost", [] { return num(totals.counts.lost); }) &&
    registerDumpField("sessionStageEnds", [] { return num(totals.counts.stageEnds); }) &&
    registerDumpField("sessionGameOvers", [] { return num(totals.counts.gameOvers); }) &&
    registerDumpField("sessionDefeats", [] { return num(totals.counts.defeats); }) &&
    registerDumpField("sessionLevels", [] { return num(totals.counts.levels); }) &&
    registerDumpField("sessionMinutes", [] { return num(totals.gameMs / 60000.0); }) &&
    registerDumpField("sessionTrail", [] { return HarnessValue::string(totals.trail); });

}  // namespace

}  // namespace corsavel::harness
