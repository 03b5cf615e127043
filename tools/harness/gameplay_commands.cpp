// Gameplay in scripts: start a level (from the Data folder or a file of the
// script's own), point at cells and at the hint, set up the profile, and
// read the level's state in dumps and expectations.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/app_state.h"
#include "app/screen.h"
#include "game/progress.h"
#include "game/rules.h"
#include "harness.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "resources/asset_registry.h"
#include "ui/menu.h"

namespace corsavel::harness {

namespace {

constexpr int kMaxLevelFileBytes = 1 << 20;

bool parseInt(const std::string& s, int low, int high, int* out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || end == nullptr || *end != '\0' || v < low || v > high) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

void pointAt(Vec2 p) {
    overridePointer(p.x, p.y);
    sendMessage({MessageKind::MouseMove, 0});
}

// The one-time load runs first when the script has not waited for it.
void ensureLoaded() {
    if (app.loadAllCount == 0) {
        loadAll();
        app.loadAllPending = false;
    }
}

void startOnGameScreen(int level, int mode) {
    ensureLoaded();
    session.gameMode = static_cast<uint8_t>(mode);
    setLastMode(activeProfile(), mode);
    game.flags.replayAfterLoss = false;
    // No page stays open from before.
    menu.currentPage = nullptr;
    menu.entering = false;
    menu.leaving = false;
    startLevel(level);
    requestScreen(&gameScreen);
    applyScreenSwitch();
}

// level N MODE: level N (0..99) in mode 0 (adventure) or 1 (puzzle).
bool levelCommand(const HarnessArgs& args, std::string* error) {
    int level = 0;
    int mode = 0;
    if (args.size() != 2 || !parseInt(args[0], 0, kLevelCount - 1, &level) ||
        !parseInt(args[1], 0, 1, &mode)) {
        *error = "usage: level N MODE (N 0..99, MODE 0 or 1)";
        return false;
    }
    startOnGameScreen(level, mode);
    return true;
}

}  // namespace

// Reads FILE (beside the script, in the source tree or in the output folder)
// and registers it in the loader's memory as the pack file of level NUMBER
// (1..100), in place of the one loaded.
bool standInLevelFile(const std::string& file, int number, std::string* error) {
    std::string path = file;
    if (path[0] != '/') {
        const char* source = std::getenv("CORSAVEL_SOURCE_DIR");
        const std::string inSource = source != nullptr ? std::string(source) + "/" + path : "";
        path = !inSource.empty() && std::ifstream(inSource) ? inSource : outputPath(path);
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        *error = "cannot read '" + path + "'";
        return false;
    }
    if (text.empty() || text.size() > kMaxLevelFileBytes) {
        *error = "'" + path + "' is missing, empty or too large";
        return false;
    }
    char name[48];
    std::snprintf(name, sizeof name, "levels\\pack1_%.2i.lvl", number);
    char stored[48];
    std::snprintf(stored, sizeof stored, "%s", name);
    foldAssetName(stored);  // release matches the stored, folded name
    releaseAssetByName(stored);
    auto* bytes = static_cast<uint8_t*>(std::malloc(text.size()));
    std::memcpy(bytes, text.data(), text.size());
    if (!registerAsset(name, static_cast<int32_t>(text.size()), bytes, true)) {
        std::free(bytes);
        *error = "the asset registry is full";
        return false;
    }
    return true;
}

namespace {

// levelfile FILE N MODE: plays FILE as level N; the file stands in for that
// level's pack file in the loader's memory.
bool levelFileCommand(const HarnessArgs& args, std::string* error) {
    int level = 0;
    int mode = 0;
    if (args.size() != 3 || !parseInt(args[1], 0, kLevelCount - 1, &level) ||
        !parseInt(args[2], 0, 1, &mode)) {
        *error = "usage: levelfile FILE N MODE";
        return false;
    }
    ensureLoaded();
    if (!standInLevelFile(args[0], level + 1, error)) {
        return false;
    }
    startOnGameScreen(level, mode);
    return true;
}

// movecell ROW COLUMN: the pointer to a cell's centre.
bool moveCellCommand(const HarnessArgs& args, std::string* error) {
    int row = 0;
    int column = 0;
    if (args.size() != 2 || !parseInt(args[0], 0, kRows - 1, &row) ||
        !parseInt(args[1], 0, kColumns - 1, &column)) {
        *error = "usage: movecell ROW COLUMN";
        return false;
    }
    pointAt(cellCentre(column, row));
    return true;
}

// movehint: the pointer to the cell the hint shows.
bool moveHintCommand(const HarnessArgs& args, std::string* error) {
    if (!args.empty() || game.match.moveCount <= 0) {
        *error = args.empty() ? "the hand has no move" : "movehint takes no arguments";
        return false;
    }
    pointAt(game.match.hintPosition);
    return true;
}

// moverefused: the pointer to the first free figure (rows, then columns)
// where the hand's figure would make no line, so a click there is refused.
bool moveRefusedCommand(const HarnessArgs& args, std::string* error) {
    if (!args.empty()) {
        *error = "moverefused takes no arguments";
        return false;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isFreeFigure(r, c)) {
                continue;
            }
            Cell& cell = game.board.cells[r][c];
            const Figure kept = cell.figure;
            cell.figure.kind = game.hand.heldFigure.kind;
            const bool line = lineThrough(r, c);
            cell.figure = kept;
            if (!line) {
                pointAt(cellCentre(c, r));
                return true;
            }
        }
    }
    *error = "every free figure would make a line";
    return false;
}

// hand SLOT: the figure in the hand (test levels that need a known move).
bool handCommand(const HarnessArgs& args, std::string* error) {
    int slot = 0;
    if (args.size() != 1 || !parseInt(args[0], 0, game.level.figureCount - 1, &slot)) {
        *error = "usage: hand SLOT (0 .. figure count - 1)";
        return false;
    }
    game.hand.heldFigure.kind = slot;
    return true;
}

// lives N: the active profile's lives in the current mode.
bool livesCommand(const HarnessArgs& args, std::string* error) {
    int lives = 0;
    if (args.size() != 1 || !parseInt(args[0], 0, 1000, &lives)) {
        *error = "usage: lives N";
        return false;
    }
    // The profile table is read by the load: the profile changed is the one played.
    ensureLoaded();
    activeProfile().lives[session.gameMode != 0 ? 1 : 0] = lives;
    return true;
}

// notips: the profile has seen the instructions and every tip.
bool noTipsCommand(const HarnessArgs& args, std::string* error) {
    if (!args.empty()) {
        *error = "notips takes no arguments";
        return false;
    }
    ensureLoaded();
    Profile& p = activeProfile();
    p.helpShown = 1;
    p.tipPowerupShown = 1;
    p.tipRelaxShown = 1;
    p.tipSquareShown = 1;
    p.tipChainShown = 1;
    return true;
}

// expectcell ROW COLUMN FIELD OP VALUE with FIELD layers, chained, slot,
// bonus or removal.
bool expectCellCommand(const HarnessArgs& args, std::string* error) {
    int row = 0;
    int column = 0;
    if (args.size() != 5 || !parseInt(args[0], 0, kRows - 1, &row) ||
        !parseInt(args[1], 0, kColumns - 1, &column)) {
        *error = "usage: expectcell ROW COLUMN FIELD OP VALUE";
        return false;
    }
    const Cell& cell = game.board.cells[row][column];
    const std::string& field = args[2];
    int actual = 0;
    if (field == "layers") {
        actual = cell.layers;
    } else if (field == "chained") {
        actual = cell.chained;
    } else if (field == "slot") {
        actual = cell.figure.kind;
    } else if (field == "bonus") {
        actual = cell.figure.bonus;
    } else if (field == "removal") {
        actual = cell.removal;
    } else {
        *error = "unknown cell field '" + field + "'";
        return false;
    }
    int want = 0;
    if (!parseInt(args[4], -1000000, 1000000, &want)) {
        *error = "the value must be a whole number";
        return false;
    }
    bool ok = false;
    if (!compareNumbers(actual, args[3], want, &ok)) {
        *error = "unknown operator '" + args[3] + "'";
        return false;
    }
    if (!ok) {
        *error = "cell " + args[0] + "," + args[1] + " " + field + " is " + std::to_string(actual) +
                 ", expected " + args[3] + " " + args[4];
    }
    return ok;
}

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

int countCells(bool (*test)(const Cell&)) {
    int n = 0;
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            n += test(cell) ? 1 : 0;
        }
    }
    return n;
}

// The board as 11 rows of [layers, chained, slot, bonus] per cell.
HarnessValue boardField() {
    std::string out = "[";
    for (int r = 0; r < kRows; ++r) {
        out += r == 0 ? "\n    [" : ",\n    [";
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = game.board.cells[r][c];
            char text[48];
            std::snprintf(text, sizeof text, "%s[%d,%d,%d,%d]", c == 0 ? "" : ",", cell.layers,
                          cell.chained, cell.figure.kind, cell.figure.bonus);
            out += text;
        }
        out += "]";
    }
    return HarnessValue::json(out + "\n  ]");
}

int activeFlyers() {
    int n = 0;
    for (const Flyer& f : game.flyers.flyers) {
        n += f.slot > 0 ? 1 : 0;
    }
    return n;
}

int activeBlasts() {
    int n = 0;
    for (const BlastEvent& e : game.blasts.events) {
        n += e.type != 0 ? 1 : 0;
    }
    return n;
}

int modeIndex() {
    return session.gameMode != 0 ? 1 : 0;
}

[[maybe_unused]] const bool registered =
    registerHarnessCommand("level", levelCommand) &&
    registerHarnessCommand("levelfile", levelFileCommand) &&
    registerHarnessCommand("movecell", moveCellCommand) &&
    registerHarnessCommand("movehint", moveHintCommand) &&
    registerHarnessCommand("moverefused", moveRefusedCommand) &&
    registerHarnessCommand("hand", handCommand) && registerHarnessCommand("lives", livesCommand) &&
    registerHarnessCommand("notips", noTipsCommand) &&
    registerHarnessCommand("expectcell", expectCellCommand) &&
    registerDumpField("menuActive", [] { return num(game.flags.menuActive); }) &&
    registerDumpField("gameMode", [] { return num(session.gameMode); }) &&
    registerDumpField("currentLevel", [] { return num(session.currentLevel); }) &&
    registerDumpField("figureCount", [] { return num(game.level.figureCount); }) &&
    registerDumpField("scoreShown", [] { return num(game.scores.scoreShown); }) &&
    registerDumpField("scoreTarget", [] { return num(game.scores.scoreTarget); }) &&
    registerDumpField("bankedScore", [] { return num(game.scores.bankedScore); }) &&
    registerDumpField("totalScore",
                      [] { return num(game.scores.bankedScore + game.scores.scoreShown); }) &&
    registerDumpField("lives", [] { return num(activeProfile().lives[modeIndex()]); }) &&
    registerDumpField("elapsedMs", [] { return num(game.clock.elapsedMs); }) &&
    registerDumpField("timeLimitMs", [] { return num(game.clock.timeLimitMs); }) &&
    registerDumpField("workLeft", [] { return num(game.clock.workLeft); }) &&
    registerDumpField("workTotal", [] { return num(game.clock.workTotal); }) &&
    registerDumpField("chainStep", [] { return num(game.match.chainStep); }) &&
    registerDumpField("cascadeActive", [] { return num(game.match.cascadeActive); }) &&
    registerDumpField("moveMade", [] { return num(game.match.moveMade); }) &&
    registerDumpField("handSlot", [] { return num(game.hand.heldFigure.kind); }) &&
    registerDumpField("rejecting", [] { return num(game.hand.rejecting); }) &&
    registerDumpField("moveCount", [] { return num(game.match.moveCount); }) &&
    registerDumpField("hintX", [] { return num(game.match.hintPosition.x); }) &&
    registerDumpField("hintY", [] { return num(game.match.hintPosition.y); }) &&
    registerDumpField("hintVisible", [] { return num(game.tips.hintVisible); }) &&
    registerDumpField("noMovesActive", [] { return num(game.noMoves.noMovesActive); }) &&
    registerDumpField("settled", [] { return num(isSettled()); }) &&
    registerDumpField("paused", [] { return num(game.flags.paused); }) &&
    registerDumpField("instructionsShown", [] { return num(game.flags.instructionsShown); }) &&
    registerDumpField("tipShowing", [] { return num(game.tips.tipShowing); }) &&
    registerDumpField("tipWaitsForClick", [] { return num(game.tips.tipWaitsForClick); }) &&
    registerDumpField("tipKey", [] { return HarnessValue::string(game.tips.tipKey); }) &&
    registerDumpField("boardDone", [] { return num(game.flags.boardDone); }) &&
    registerDumpField("levelWon", [] { return num(game.flags.levelWon); }) &&
    registerDumpField("levelEndMs", [] { return num(game.flags.levelEndMs); }) &&
    registerDumpField("levelCompletePage", [] { return num(game.flags.levelCompletePage); }) &&
    registerDumpField("timedOut", [] { return num(game.clock.timedOut); }) &&
    registerDumpField("replayAfterLoss", [] { return num(game.flags.replayAfterLoss); }) &&
    registerDumpField("stageComplete", [] { return num(game.flags.stageComplete); }) &&
    registerDumpField("gameComplete", [] { return num(game.flags.gameComplete); }) &&
    registerDumpField("timeBonusPhase", [] { return num(game.scores.timeBonusPhase); }) &&
    registerDumpField("bonusShown", [] { return num(game.scores.bonusShown); }) &&
    registerDumpField("bonusTarget", [] { return num(game.scores.bonusTarget); }) &&
    registerDumpField("megaBoomCount", [] { return num(game.blasts.megaBoomCount); }) &&
    registerDumpField("blastCount", [] { return num(activeBlasts()); }) &&
    registerDumpField("beamCount", [] { return num(game.blasts.beamCount); }) &&
    registerDumpField("flyerCount", [] { return num(activeFlyers()); }) &&
    registerDumpField("boxOpen", [] { return num(game.box.boxOpen); }) &&
    registerDumpField("lidAngle", [] { return num(game.box.lidAngle); }) &&
    registerDumpField("boxHeight", [] { return num(game.box.boxHeight); }) &&
    registerDumpField("shaking", [] { return num(game.shake.shaking); }) &&
    registerDumpField("boardAlpha", [] { return num(game.hud.boardAlpha); }) &&
    registerDumpField("handAlpha", [] { return num(game.hud.handAlpha); }) &&
    registerDumpField("hudSlide", [] { return num(game.hud.hudSlide); }) &&
    registerDumpField("bonusFigures",
                      [] {
                          return num(countCells([](const Cell& c) {
                              return c.figure.kind >= 0 && c.figure.bonus != 0;
                          }));
                      }) &&
    registerDumpField(
        "chainedCells",
        [] { return num(countCells([](const Cell& c) { return c.chained != 0; })); }) &&
    registerDumpField("layeredCells",
                      [] { return num(countCells([](const Cell& c) { return c.layers > 0; })); }) &&
    registerDumpField("board", boardField);

}  // namespace

}  // namespace corsavel::harness
