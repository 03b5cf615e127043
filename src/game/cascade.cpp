#include <cmath>

#include "audio/audio.h"
#include "game/game_requests.h"
#include "game/instructions.h"
#include "game/rules.h"
#include "gfx/particles.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "platform/random.h"

namespace corsavel {

namespace {

constexpr int kForward[4][2] = {{1, 1}, {1, -1}, {1, 0}, {0, 1}};

// Where each listed group starts, so the power-up pass can walk lines longer
// than the seven positions a record holds.
struct GroupStart {
    int8_t row = 0;
    int8_t column = 0;
};
GroupStart groupStarts[kMaxGroups];

bool slotAt(int row, int column, int slot) {
    return isValidCell(row, column) && game.board.cells[row][column].figure.kind == slot;
}

bool inAnyGroup(const Cell& cell) {
    return cell.groupId[0] || cell.groupId[1] || cell.groupId[2] || cell.groupId[3];
}

// Finds the lines through one cell in the directions not yet marked.
void lineTest(int row, int column) {
    const int slot = game.board.cells[row][column].figure.kind;
    if (slot < 0) {
        return;
    }
    MatchState& m = game.match;
    for (int d = 0; d < 4; ++d) {
        if (game.board.cells[row][column].groupId[d] != 0) {
            continue;
        }
        const int dr = kForward[d][0];
        const int dc = kForward[d][1];
        int sr = row;
        int sc = column;
        while (slotAt(sr - dr, sc - dc, slot)) {
            sr -= dr;
            sc -= dc;
        }
        int n = 0;
        while (slotAt(sr + dr * n, sc + dc * n, slot)) {
            ++n;
        }
        if (n < 3) {
            continue;
        }
        m.groupCounter += 1;
        for (int k = 0; k < n; ++k) {
            Cell& cell = game.board.cells[sr + dr * k][sc + dc * k];
            cell.groupId[d] = m.groupCounter;
            cell.runLength[d] = n;
        }
        if (m.groupListLength >= kMaxGroups) {
            continue;
        }
        GroupRecord& g = m.groupList[m.groupListLength];
        g = GroupRecord{};
        g.direction = static_cast<int8_t>(d);
        g.length = static_cast<int8_t>(n > 127 ? 127 : n);
        for (int k = 1; k <= n && k <= kGroupPositions; ++k) {
            g.rows[k - 1] = static_cast<int8_t>(sr + dr * (n - k));
            g.columns[k - 1] = static_cast<int8_t>(sc + dc * (n - k));
        }
        groupStarts[m.groupListLength] = {static_cast<int8_t>(sr), static_cast<int8_t>(sc)};
        m.groupListLength += 1;
    }
}

bool crossesOther(const Cell& cell, int direction) {
    for (int d = 0; d < 4; ++d) {
        if (d != direction && cell.groupId[d] != 0) {
            return true;
        }
    }
    return false;
}

// Long lines of the player's move: only a crossing cell or the placed cell
// keeps the long length that turns it into a bonus.
void powerUpPass() {
    MatchState& m = game.match;
    for (int i = 0; i < m.groupListLength; ++i) {
        const GroupRecord& g = m.groupList[i];
        const int d = g.direction;
        const int n = game.board.cells[groupStarts[i].row][groupStarts[i].column].runLength[d];
        if (n < 4) {
            continue;
        }
        bool anyCross = false;
        bool placedInGroup = false;
        for (int k = 0; k < n; ++k) {
            const int r = groupStarts[i].row + kForward[d][0] * k;
            const int c = groupStarts[i].column + kForward[d][1] * k;
            Cell& cell = game.board.cells[r][c];
            if (crossesOther(cell, d)) {
                anyCross = true;
            } else {
                cell.runLength[d] = 3;
            }
            placedInGroup |= (r == m.placedRow && c == m.placedColumn);
        }
        if (!anyCross && placedInGroup) {
            game.board.cells[m.placedRow][m.placedColumn].runLength[d] = n;
        }
    }
}

int32_t bonusForValue(int v) {
    if (v >= 2 && v <= 7) {
        return kCrossBomb;
    }
    if (v == 8) {
        return kBomb;
    }
    if (v == 64) {
        return kLightning;
    }
    return kStarBomb;
}

void giveBonus(int row, int column, int32_t bonus) {
    Cell& cell = game.board.cells[row][column];
    const Vec2 p = cellCentre(column, row);
    playSound("addbonus.ogg");
    startEffect("addbonus", p.x, p.y);
    if (cell.figure.bonus == 0) {
        cell.figure.bonus = bonus;
    } else {
        cell.removal = 1;
        cell.figure.pendingBonus = bonus;
    }
}

void addTileBreak(int row, int column, int layers) {
    ScoreState& s = game.scores;
    TileBreak& b = s.breaks[s.nextBreak];
    s.nextBreak = (s.nextBreak + 1) % kTileBreakCount;
    b.start = cellCentre(column, row);
    b.layers = layers;
    Vec2 dir{-1.0f - looksRandom.randomSigned(1.0f), 1.0f + looksRandom.randomSigned(1.0f)};
    const float len = length(dir);
    b.direction = len > 0.0f ? dir * (1.0f / len) : Vec2{0.0f, 1.0f};
    b.ageMs = 0.0f;
}

Vec2 scaledTo(Vec2 v, float len) {
    const float l = length(v);
    return l > 0.0f ? v * (len / l) : Vec2{0.0f, len};
}

void swapAnimation() {
    HandState& h = game.hand;
    Figure& held = h.heldFigure;
    const float step = app.frameStepMs;
    if (isAtRest(held) && !h.rejecting && h.swapAngle == 0.0f) {
        return;
    }
    if (h.swapAngle <= 180.0f) {
        h.swapAngle += step * 0.8f;
        const float s = std::sin(h.swapAngle * kPi / 180.0f);
        if (h.rejecting) {
            held.offset = h.swapSwing * -s;
        } else {
            h.swapFrontLayer = h.swapAngle > 90.0f ? 100.0f : 0.0f;
            held.offset = Vec2{} - h.swapVector - h.swapSwing * s;
        }
    } else if (h.rejecting) {
        h.swapAngle = 0.0f;
        held.offset = Vec2{};
        h.rejecting = false;
    } else {
        h.swapAngle = 360.0f;
        h.swapVector = h.swapVector - h.swapVector * (0.012f * step);
        held.offset = Vec2{} - h.swapVector;
        if (length(h.swapVector) < 4.0f) {
            h.swapAngle = 0.0f;
            held.offset = Vec2{};
        }
    }
    for (auto& row : game.board.cells) {
        for (Cell& cell : row) {
            if (cell.figure.kind >= 0 && cell.figure.followsHand) {
                cell.figure.offset = Vec2{} - held.offset;
                if (isAtRest(cell.figure)) {
                    cell.figure.followsHand = false;
                }
            }
        }
    }
}

}  // namespace

void clearMarks() {
    for (auto& row : game.board.cells) {
        for (Cell& cell : row) {
            for (int d = 0; d < 4; ++d) {
                cell.groupId[d] = 0;
                cell.runLength[d] = 0;
            }
        }
    }
    game.match.groupListLength = 0;
}

bool lineThrough(int row, int column) {
    if (!isValidCell(row, column)) {
        return false;
    }
    const int32_t saved = game.match.groupCounter;
    game.match.groupCounter = 0;
    lineTest(row, column);
    game.match.groupCounter = saved;
    const bool found = inAnyGroup(game.board.cells[row][column]);
    clearMarks();
    return found;
}

void findAllLines() {
    clearMarks();
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (isValidCell(r, c)) {
                lineTest(r, c);
            }
        }
    }
}

bool markMatches() {
    MatchState& m = game.match;
    if (m.playerMove) {
        powerUpPass();
    }
    bool removed = false;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isValidCell(r, c)) {
                continue;
            }
            Cell& cell = game.board.cells[r][c];
            int v = 0;
            for (int d = 0; d < 4; ++d) {
                if (cell.groupId[d] == 0) {
                    continue;
                }
                v += cell.runLength[d] == 3 ? 1 : (cell.runLength[d] == 4 ? 8 : 64);
            }
            if (v > 0) {
                cell.hit = true;
            }
            cell.removal = 0;
            const bool placed = r == m.placedRow && c == m.placedColumn;
            if (v > 1 && (!m.playerMove || !placed)) {
                v = 1;
            }
            if (v > 1) {
                const Vec2 p = cellCentre(c, r);
                offerTip(p.x, p.y, "powerup", 0.0f, true);
            }
            if (v == 1) {
                cell.removal = 1;
            } else if (v > 1) {
                giveBonus(r, c, bonusForValue(v));
            }
            removed |= cell.removal == 1;
        }
    }
    if (removed) {
        m.playerMove = false;
    }
    clearMarks();
    return removed;
}

void onBoardClick() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    onBoardClickAt(x, y);
}

void onBoardClickAt(float x, float y) {
    HandState& h = game.hand;
    h.cursor = Vec2{x, y};
    h.buttonHeld = true;
    if (game.flags.menuActive) {
        return;
    }
    if (!levelFlowClick()) {
        return;
    }
    if (game.flags.boardDone) {
        return;
    }
    if (game.flags.instructionsShown) {
        if (instructionsButtonHit(x, y)) {
            closeInstructions();
        }
        return;
    }
    if (game.tips.tipShowing && game.tips.tipWaitsForClick) {
        if (game.tips.tipDelayMs <= -250.0f && tipButtonHit(x, y)) {
            closeTip();
            playSound("menu.ogg");
        }
        return;
    }
    if (inMenuButtonArea(Vec2{x, y})) {
        if (game.clock.elapsedMs < game.clock.timeLimitMs) {
            game.flags.menuActive = true;
            requestPage("gameplay");
        }
        return;
    }
    if (cursorInBoxArea(h.cursor) || x < -220.0f || !isAtRest(h.heldFigure) || h.rejecting ||
        game.scores.timeBonusPhase) {
        return;
    }
    int column = 0;
    int row = 0;
    cellAt(x, y, column, row);
    if (!isFreeFigure(row, column) || !isAtRest(game.board.cells[row][column].figure) ||
        h.cursorMode != 0) {
        return;
    }
    Cell& cell = game.board.cells[row][column];
    const Figure picked = cell.figure;
    cell.figure = h.heldFigure;
    const Vec2 centre = cellCentre(column, row);
    if (!lineThrough(row, column)) {
        cell.figure = picked;
        h.swapVector = centre - h.cursor;
        if (length(h.swapVector) < 1.0f) {
            h.swapVector = Vec2{0.0f, 1.0f};
        }
        h.swapSwing = scaledTo(h.swapVector, 25.0f);
        cell.figure.followsHand = true;
        h.rejecting = true;
        h.swapAngle = 0.0f;
        playSound("unmove.ogg");
        return;
    }
    MatchState& m = game.match;
    m.playerMove = true;
    m.placedRow = row;
    m.placedColumn = column;
    h.heldFigure = picked;
    h.swapVector = h.cursor - centre;
    if (length(h.swapVector) < 1.0f) {
        h.swapVector = Vec2{0.0f, 1.0f};
    }
    cell.figure.offset = h.swapVector;
    h.heldFigure.offset = Vec2{} - h.swapVector;
    h.swapSwing = scaledTo(h.swapVector, 20.0f);
    h.swapAngle = 0.0f;
    cell.figure.followsHand = true;
    m.moveMade = true;
    if (game.tips.tipShowing && !game.tips.tipWaitsForClick) {
        closeTip();
    }
    resetTipTimer();
}

void findMoves() {
    MatchState& m = game.match;
    const int slot = game.hand.heldFigure.kind;
    int n = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isFreeFigure(r, c)) {
                continue;
            }
            Figure& f = game.board.cells[r][c].figure;
            const int32_t kept = f.kind;
            f.kind = slot;
            n += lineThrough(r, c) ? 1 : 0;
            f.kind = kept;
        }
    }
    m.moveCount = n;
    if (n == 0) {
        game.noMoves.noMovesMs = 1000.0f;
        game.noMoves.noMovesActive = true;
        return;
    }
    int pick = randomInt(n);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isFreeFigure(r, c)) {
                continue;
            }
            Figure& f = game.board.cells[r][c].figure;
            const int32_t kept = f.kind;
            f.kind = slot;
            if (!lineThrough(r, c)) {
                f.kind = kept;
                continue;
            }
            if (pick-- > 0) {
                f.kind = kept;
                continue;
            }
            m.hintPosition = cellCentre(c, r);
            const int32_t savedCounter = m.groupCounter;
            clearMarks();
            lineTest(r, c);
            for (int i = 0; i < m.groupListLength; ++i) {
                const GroupRecord& g = m.groupList[i];
                for (int k = 0; k < 5 && k < g.length && k < kGroupPositions; ++k) {
                    if (g.rows[k] == r && g.columns[k] == c) {
                        m.hintGroup = g;
                        break;
                    }
                }
            }
            m.groupCounter = savedCounter;
            clearMarks();
            f.kind = kept;
            return;
        }
    }
}

void fixBoard() {
    findMoves();
    if (!game.noMoves.noMovesActive) {
        return;
    }
    const int n = game.level.figureCount;
    for (int r = kRows - 1; r >= 0; --r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isFreeFigure(r, c)) {
                continue;
            }
            Figure& f = game.board.cells[r][c].figure;
            const int32_t oldBonus = f.bonus;
            for (int t = 0; t < n - 1; ++t) {
                f.kind = (f.kind + 1) % n;
                f.bonus = kBomb;
                game.noMoves.noMovesActive = false;
                findMoves();
                if (!game.noMoves.noMovesActive) {
                    return;
                }
            }
            f.kind = (f.kind + 1) % n;
            f.bonus = oldBonus;
        }
    }
}

void noMovesTick() {
    NoMoveState& nm = game.noMoves;
    if (!nm.noMovesActive) {
        return;
    }
    Figure& held = game.hand.heldFigure;
    if (nm.noMovesMs < 0.0f) {
        held.kind = nm.noMovesSlot >= 0 ? nm.noMovesSlot : held.kind;
        nm.noMovesSlot = -1;
        nm.noMovesAngle = 180.0f;
        nm.noMovesScale = 0.0f;
        nm.noMovesAlpha = 255.0f;
        nm.noMovesActive = false;
        return;
    }
    if (nm.noMovesSlot == -1) {
        const int32_t remembered = held.kind;
        const int n = game.level.figureCount;
        playSound("mystery.ogg");
        int32_t found = -1;
        for (int i = 1; i <= n; ++i) {
            held.kind = (remembered + i) % n;
            nm.noMovesActive = false;
            findMoves();
            if (!nm.noMovesActive) {
                found = held.kind;
                break;
            }
        }
        held.kind = remembered;
        if (found >= 0) {
            nm.noMovesSlot = found;
            nm.noMovesActive = true;
        } else {
            fixBoard();
            nm.noMovesAngle = 180.0f;
            nm.noMovesScale = 0.0f;
            nm.noMovesAlpha = 255.0f;
            held.kind = remembered;
            nm.noMovesSlot = -1;
            nm.noMovesActive = false;
            return;
        }
    }
    const float step = app.frameStepMs;
    nm.noMovesAngle -= step * 180.0f / 1000.0f;
    nm.noMovesScale += step * 0.2f;
    nm.noMovesAlpha -= step * 255.0f / 1000.0f;
    if (nm.noMovesAlpha < 5.0f) {
        nm.noMovesAlpha = 5.0f;
    }
    nm.noMovesMs -= step;
}

void clearingStep() {
    MatchState& m = game.match;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            const Vec2 p = cellCentre(c, r);
            if (cell.removal > 0) {
                // Points are per figure: a swept cell that held none scores nothing.
                if (cell.figure.kind >= 0) {
                    if (cell.removal == 1) {
                        startFlyer(cell.figure.kind, p.x, p.y, 1);
                    }
                    cell.pendingScore += m.chainStep;
                }
                clearFigure(r, c);
                cell.removal = 0;
            }
            if (!cell.hit) {
                continue;
            }
            cell.hit = false;
            if (cell.chained) {
                cell.chained = 0;
                startEffect("zep1", p.x, p.y);
                playSound("zep.ogg");
                cell.pendingScore += m.chainStep * 300;
                game.clock.workLeft -= 1;
            } else if (cell.layers > 0) {
                playSound("square.ogg");
                cell.pendingScore += m.chainStep * 100;
                game.clock.workLeft -= 1;
                addTileBreak(r, c, cell.layers);
                cell.layers -= 1;
            }
        }
    }
    bankCellScores();
}

void gravityStep() {
    Board& b = game.board;
    for (int r = kRows - 2; r >= 0; --r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isFreeFigure(r, c) || !isAtRest(b.cells[r][c].figure)) {
                continue;
            }
            if (!isValidCell(r + 1, c) || b.cells[r + 1][c].figure.kind >= 0) {
                continue;
            }
            Figure& lower = b.cells[r + 1][c].figure;
            lower = b.cells[r][c].figure;
            lower.offset = Vec2{0.0f, 50.0f};
            lower.sliding = false;
            b.cells[r][c].figure.kind = -1;
        }
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (isValidCell(r, c) && b.cells[r][c].figure.kind < 0 &&
                (r == 0 || b.cells[r - 1][c].layers == -1)) {
                spawnFigure(r, c);
            }
        }
    }
    if (!canFallStraight()) {
        bool moved = false;
        for (int r = kRows - 1; r >= 1 && !moved; --r) {
            for (int c = 0; c < kColumns && !moved; ++c) {
                if (!isValidCell(r, c) || b.cells[r][c].figure.kind >= 0) {
                    continue;
                }
                int from = -1;
                float dx = 0.0f;
                if (c < kColumns - 1 && isFreeFigure(r - 1, c + 1) &&
                    isAtRest(b.cells[r - 1][c + 1].figure)) {
                    from = c + 1;
                    dx = 50.0f;
                } else if (c > 0 && isFreeFigure(r - 1, c - 1) &&
                           isAtRest(b.cells[r - 1][c - 1].figure)) {
                    from = c - 1;
                    dx = -50.0f;
                }
                if (from < 0) {
                    continue;
                }
                Figure& f = b.cells[r][c].figure;
                f = b.cells[r - 1][from].figure;
                f.offset = Vec2{dx, 50.0f};
                f.sliding = true;
                b.cells[r - 1][from].figure.kind = -1;
                moved = true;
            }
        }
    }
    for (auto& row : b.cells) {
        for (Cell& cell : row) {
            if (cell.figure.kind >= 0 && isAtRest(cell.figure)) {
                cell.figure.fallSpeed = 0.0f;
                cell.figure.sliding = false;
            }
        }
    }
}

void motionStep() {
    const float dt = app.frameStepMs;
    for (int r = kRows - 1; r >= 0; --r) {
        for (int c = 0; c < kColumns; ++c) {
            Figure& f = game.board.cells[r][c].figure;
            if (f.kind < 0 || f.followsHand) {
                continue;
            }
            if (!isAtRest(f)) {
                const float d = length(f.offset);
                float step = f.fallSpeed * f.fallSpeed * dt * 0.01f;
                step = step > 10.0f ? 10.0f : step;
                if (f.sliding) {
                    step *= 1.5f;
                }
                if (d <= step) {
                    f.offset = Vec2{};
                    if (!landingBlocked(r, c)) {
                        playSound("figurefall.ogg");
                    }
                } else {
                    f.offset = f.offset - f.offset * (step / d);
                }
            }
            f.fallSpeed += dt * 0.012f;
        }
    }
    swapAnimation();
}

void cascadeTick() {
    MatchState& m = game.match;
    if (m.cascadeDelayMs < 0.0f && isSettled()) {
        for (auto& row : game.board.cells) {
            for (Cell& cell : row) {
                cell.figure.pendingBonus = 0;
                cell.removal = 0;
                cell.hit = false;
                cell.pendingScore = 0;
            }
        }
        findAllLines();
        if (markMatches()) {
            m.chainStep += 1;
            playSoundEx("combo.ogg", Vec3{}, 0, 42600 + 1500 * m.chainStep);
            queueBonusBlasts(0);
            m.cascadeActive = true;
            m.cascadeDelayMs = 30.0f;
            resetTipTimer();
        }
    }
    blastTick();
    gravityStep();
    motionStep();
    m.cascadeDelayMs -= app.frameStepMs;
    if (m.cascadeDelayMs < 0.0f && isSettled()) {
        clearingStep();
        awardMegaBoom();
    }
    if (m.cascadeActive && m.cascadeDelayMs < 0.0f && isSettled()) {
        const int32_t before = m.groupCounter;
        findAllLines();
        const bool anyLine = m.groupCounter > before;
        clearMarks();
        if (!anyLine) {
            comboMessage(m.chainStep);
            m.chainStep = 0;
            m.groupCounter = 0;
            game.blasts.megaBoomCount = 0;
            m.cascadeActive = false;
            resetTipTimer();
            findMoves();
        }
    }
    checkLevelComplete();
}

}  // namespace corsavel
