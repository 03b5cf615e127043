#include <cmath>

#include "audio/audio.h"
#include "game/rules.h"
#include "gfx/particles.h"
#include "platform/frame_state.h"
#include "platform/random.h"

namespace corsavel {

namespace {

constexpr int kBombCells[12][2] = {{0, 1},  {0, 2},  {0, -1}, {0, -2}, {-1, -1}, {-1, 0},
                                   {-1, 1}, {1, -1}, {1, 0},  {1, 1},  {-2, 0},  {2, 0}};
// Arms: down, up, right, left, down-right, up-right, down-left, up-left.
constexpr int kArmSteps[8][2] = {{1, 0}, {-1, 0}, {0, 1},  {0, -1},
                                 {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
constexpr int kCrossOrder[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
constexpr int kDiagonalOrder[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

float durationOf(int32_t type) {
    switch (type) {
        case kBomb:
            return 250.0f;
        case kLightning:
            return 500.0f;
        default:
            return 350.0f;
    }
}

void bombBursts(Vec2 p) {
    for (int v = 24; v <= 31; ++v) {
        startEffect("bomb1_0", p.x, p.y, kNoTarget, kNoTarget, 1.0f, v);
    }
}

void strikeLines(const BlastEvent& e, const int (*order)[2]) {
    for (int d = 1; d <= 11; ++d) {
        for (int k = 0; k < 4; ++k) {
            strikeCell(e.row + order[k][0] * d, e.column + order[k][1] * d, e);
        }
    }
}

void buildBeams(const BlastEvent& e) {
    BlastState& b = game.blasts;
    b.beamCount = 0;
    b.beams[b.beamCount++] = BeamPoint{e.position.x, e.position.y, 0xFFFFFFFFu, 500.0f};
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (b.beamCount >= kBeamCount) {
                break;
            }
            if (game.board.cells[r][c].removal != 3 || game.board.cells[r][c].figure.kind < 0) {
                continue;
            }
            // A colour of its own for every struck figure, drawn red, green, blue.
            const Vec2 p = cellCentre(c, r);
            const int red = 40 + looksRandom.randomInt(215);
            const int green = 40 + looksRandom.randomInt(215);
            const int blue = 40 + looksRandom.randomInt(215);
            b.beams[b.beamCount++] = BeamPoint{p.x, p.y, makeColour(255, red, green, blue), 500.0f};
        }
    }
    if (b.beamCount == 1) {
        b.beamCount = 0;
    }
}

void startBlast(BlastEvent& e) {
    e.started = true;
    MatchState& m = game.match;
    m.cascadeDelayMs = m.cascadeDelayMs > e.durationMs ? m.cascadeDelayMs : e.durationMs;
    if (e.type != kLightning) {
        startShake();
    }
    const Vec2 p = e.position;
    switch (e.type) {
        case kBomb:
            bombBursts(p);
            startEffect("bomb1_1", p.x, p.y);
            playSound("bomb1.ogg");
            for (const auto& o : kBombCells) {
                strikeCell(e.row + o[0], e.column + o[1], e);
            }
            break;
        case kLightning: {
            playSound("lightning.ogg");
            // Every other figure of its slot: a lightning figure that kept a
            // second bonus must not strike (and so destroy) itself.
            const int32_t slot = game.board.cells[e.row][e.column].figure.kind;
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < kColumns; ++c) {
                    const bool own = r == e.row && c == e.column;
                    if (slot >= 0 && !own && hasFigure(r, c) &&
                        game.board.cells[r][c].figure.kind == slot) {
                        strikeCell(r, c, e);
                    }
                }
            }
            buildBeams(e);
            break;
        }
        default:
            bombBursts(p);
            startEffect("prototip", p.x, p.y);
            playSound(e.type == kCrossBomb ? "bomb2.ogg"
                                           : (e.type == kDiagonalBomb ? "bomb3.ogg" : "bomb4.ogg"));
            if (e.type == kCrossBomb || e.type == kStarBomb) {
                for (int a = 0; a < 4; ++a) {
                    e.arms[a] = true;
                }
                strikeLines(e, kCrossOrder);
            }
            if (e.type == kDiagonalBomb || e.type == kStarBomb) {
                for (int a = 4; a < 8; ++a) {
                    e.arms[a] = true;
                }
                strikeLines(e, kDiagonalOrder);
            }
            break;
    }
    queueBonusBlasts(1);
}

// Figures above the blast jump a little during its first 200 ms.
void jolt(const BlastEvent& e) {
    const float j = std::cos(e.elapsedMs / 200.0f * 80.0f * kPi / 180.0f) * app.frameStepMs * 0.2f;
    for (int c = e.column - 2; c <= e.column + 2; ++c) {
        if (c < 0 || c >= kColumns) {
            continue;
        }
        for (int r = e.row - 1; r >= 0; --r) {
            if (game.board.cells[r][c].layers == -1) {
                break;
            }
            Cell& cell = game.board.cells[r][c];
            if (cell.figure.kind >= 0 && cell.chained == 0) {
                cell.figure.offset.y += j;
            }
        }
    }
}

// The travelling arms mark every valid cell they pass, whatever it holds or
// was marked with before; holes are skipped and the arm goes on. The bomb's
// own cell is left to its event, so a figure that earned a second bonus
// keeps it.
void advanceArms(const BlastEvent& e) {
    const int k = static_cast<int>(e.elapsedMs / 30.0f);
    if (k <= 0) {
        return;
    }
    for (int a = 0; a < 8; ++a) {
        if (!e.arms[a]) {
            continue;
        }
        const int r = e.row + kArmSteps[a][0] * k;
        const int c = e.column + kArmSteps[a][1] * k;
        if (!isValidCell(r, c)) {
            continue;
        }
        game.board.cells[r][c].removal = 2;
        const Vec2 p = cellCentre(c, r);
        startEffect("krestbomb", p.x + 1.0f, p.y - 18.0f);
    }
}

}  // namespace

void queueBonusBlasts(int delayed) {
    BlastState& b = game.blasts;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            Figure& f = cell.figure;
            if (cell.removal != 1 || f.bonus <= 0 || f.kind < 0) {
                continue;
            }
            BlastEvent& e = b.events[b.nextEvent];
            b.nextEvent = (b.nextEvent + 1) % kBlastEventCount;
            e = BlastEvent{};
            e.type = f.bonus > kStarBomb ? kBomb : f.bonus;
            e.row = r;
            e.column = c;
            e.position = cellCentre(c, r);
            e.startAtMs = app.animationClockMs + 150.0f * static_cast<float>(delayed);
            e.durationMs = durationOf(e.type);
            if (f.pendingBonus <= 0) {
                cell.removal = 10;
                f.bonus = 0;
            } else {
                cell.removal = 0;
                f.bonus = f.pendingBonus;
            }
            f.pendingBonus = 0;
            if (delayed == 1) {
                b.megaBoomCount += 1;
            }
        }
    }
}

void strikeCell(int row, int column, const BlastEvent& event) {
    if (!hasFigure(row, column)) {
        return;
    }
    Cell& cell = game.board.cells[row][column];
    if (cell.removal != 0) {
        return;
    }
    if (cell.figure.bonus != 0) {
        cell.removal = 1;
    } else if (event.type == kBomb) {
        cell.removal = 2;
    } else if (event.type == kLightning) {
        cell.removal = 3;
        const Vec2 p = cellCentre(column, row);
        startEffect("lightning", p.x, p.y);
    }
    cell.hit = true;
}

void blastTick() {
    BlastState& b = game.blasts;
    const float dt = app.frameStepMs;
    for (BlastEvent& e : b.events) {
        if (e.type == 0) {
            continue;
        }
        if (!e.started) {
            if (e.startAtMs <= app.animationClockMs) {
                startBlast(e);
            }
            continue;
        }
        e.elapsedMs += dt;
        if (e.type != kLightning) {
            if (e.elapsedMs < 200.0f) {
                jolt(e);
            }
            advanceArms(e);
        } else {
            for (int k = 1; k < b.beamCount; ++k) {
                b.beams[k].timeMs -= dt;
            }
        }
        if (e.elapsedMs > e.durationMs) {
            if (e.type == kBomb) {
                startEffect("bomb1_2", e.position.x, e.position.y);
            } else if (e.type == kLightning) {
                b.beamCount = 0;
            }
            e.type = 0;
        }
    }
}

void startShake() {
    game.shake.shaking = true;
    game.shake.shakeMs = 0.0f;
}

void shakeTick() {
    ShakeState& s = game.shake;
    if (!s.shaking) {
        return;
    }
    s.shakeMs += app.frameStepMs;
    if (s.shakeMs > 150.0f) {
        s.shaking = false;
        s.shakeMs = 0.0f;
        s.boardOffset = Vec2{};
        s.third = 0.0f;
    } else {
        const float a = std::sin(s.shakeMs * 0.06f);
        s.boardOffset = Vec2{4.0f * a, 4.0f * a};
        s.third = 2.0f * a;
    }
    s.boardTransform = Matrix4::identity();
    s.boardTransform.m[3][0] = s.boardOffset.x;
    s.boardTransform.m[3][1] = s.boardOffset.y;
}

bool cursorInBoxArea(Vec2 p) {
    return p.x >= -380.0f && p.x <= -252.0f && p.y >= -290.0f && p.y <= -210.0f;
}

bool inMenuButtonArea(Vec2 p) {
    const Rect& r = kMenuButtonArea;
    return p.x >= r.left && p.x <= r.right && p.y <= r.top && p.y >= r.bottom;
}

void startFlyer(int slot, float x, float y, int type) {
    FlyerState& fs = game.flyers;
    Flyer& f = fs.flyers[fs.nextFlyer];
    fs.nextFlyer = (fs.nextFlyer + 1) % kFlyerCount;
    f = Flyer{};
    f.position = Vec2{x, y};
    f.slot = slot + 1;
    f.type = type;
    f.fade = 1.0f;
    if (type != 1) {
        // Decorations of the celebration: type 2 rises and falls back, 3 drops.
        f.velocity =
            type == 2
                ? Vec2{looksRandom.randomSigned(0.15f), 0.45f + looksRandom.randomUnit(0.3f)}
                : Vec2{looksRandom.randomSigned(0.05f), -0.15f - looksRandom.randomUnit(0.2f)};
        f.frame = looksRandom.randomInt(32);
        return;
    }
    f.angle = fs.nextSpinAngle;
    fs.nextSpinAngle -= 10.0f;
    if (fs.nextSpinAngle <= -60.0f) {
        fs.nextSpinAngle = 0.0f;
    }
    f.radiusRate = 0.25f;
    f.angleRate = 0.25f * 0.6f;
    const float u = (90.0f - f.angle) / f.angleRate;
    f.velocity = Vec2{(-350.0f - (x - u * 0.25f * 2.0f)) / (u * 2.0f),
                      (270.0f - (u * 0.25f + y)) / (u * 1.8f)};
    GoldBox& box = game.box;
    box.boxOpen = true;
    box.boxOpenMs = 1700.0f;
    if (box.lidAngle >= 90.0f) {
        playSound("boxopen.ogg");
    }
}

void flyerTick() {
    const float dt = app.frameStepMs;
    for (Flyer& f : game.flyers.flyers) {
        if (f.slot == 0) {
            continue;
        }
        f.frameMs += dt;
        while (f.frameMs >= 30.0f) {
            f.frameMs -= 30.0f;
            f.frame = (f.frame + 1) % 32;
        }
        if (f.type != 1) {
            f.position = f.position + f.velocity * dt;
            if (f.type == 2) {
                f.velocity.y -= 0.0008f * dt;
            }
            f.fade -= dt * 0.0005f;
            if (f.position.y < -340.0f || f.position.y > 360.0f || f.fade <= 0.0f) {
                f.slot = 0;
            }
            continue;
        }
        if (f.angleRate != 0.0f || f.radiusRate != 0.0f) {
            const float rad = f.angle * kPi / 180.0f;
            f.spin = Vec2{f.radius * std::cos(rad), f.radius * std::sin(rad)};
            f.position = f.position + f.velocity * dt;
            f.radius += dt * f.radiusRate;
            f.angle += dt * f.angleRate;
            f.fade -= dt * 0.004f;
            if (f.angle > 200.0f) {
                f.position = f.position + f.spin;
                f.velocity = Vec2{};
                f.spin = Vec2{};
                f.radius = 0.0f;
                f.radiusRate = 0.0f;
                f.angleRate = 0.0f;
            }
            continue;
        }
        const float k = dt / 700.0f > 1.0f ? 1.0f : dt / 700.0f;
        f.position = f.position + (Vec2{-330.0f, -800.0f} - f.position) * k;
        f.fade -= dt * 0.004f;
        if (f.position.y < -240.0f) {
            playSound("boxfall.ogg");
            f.slot = 0;
            game.box.offset.y = -7.0f;
        }
    }
}

void goldBoxTick() {
    GoldBox& box = game.box;
    const float dt = app.frameStepMs;
    const bool won = game.flags.levelWon;
    if (!won && game.clock.workTotal > 0) {
        box.boxTarget = static_cast<float>(game.clock.workLeft) /
                        static_cast<float>(game.clock.workTotal) * -100.0f;
    }
    box.boxHeight -= (box.boxHeight - box.boxTarget) * dt * (won ? 0.0004f : 0.005f);
    if (box.boxHeight > -4.0f) {
        box.boxHeight = -4.0f;
    }
    if (!box.boxOpen) {
        if (box.lidSlamming) {
            box.lidAngle += box.lidAngle < 0.0f
                                ? dt * 0.1f
                                : std::sin(box.lidAngle * kPi / 180.0f) * 7.0f + dt * 0.1f;
        } else {
            box.lidReboundMs -= dt;
            box.lidAngle += box.lidReboundMs > 0.0f ? -dt * 0.04f : dt * 0.1f;
        }
        if (box.lidAngle > 90.0f) {
            if (box.lidSlamming) {
                playSound("boxhit.ogg");
                box.lidReboundMs = 100.0f;
                box.lidSlamming = false;
            }
            box.lidAngle = 90.0f;
        }
    } else {
        box.lidAngle -= dt * 0.2f;
        if (box.lidAngle <= -10.0f) {
            box.lidAngle = -10.0f;
            box.lidSlamming = true;
        }
        if (!won || game.flags.levelEndMs < 2000.0f) {
            spawnParticle(Vec3{-325.0f, box.boxHeight / 2.0f - 220.0f, 0.0f}, findEffect("goldbox"),
                          1.0f, -1);
        }
        box.boxOpenMs -= dt;
        if (box.boxOpenMs < 0.0f) {
            box.boxOpen = false;
            if (!cursorInBoxArea(game.hand.cursor)) {
                playSound("boxclose.ogg");
            }
        }
    }
    if (box.offset.y < 0.0f) {
        box.offset.y += dt * 0.05f;
        box.offset.y = box.offset.y > 0.0f ? 0.0f : box.offset.y;
    }
    if (cursorInBoxArea(game.hand.cursor) && !box.boxOpen && !won) {
        box.boxOpen = true;
        box.boxOpenMs = 800.0f;
        if (box.lidAngle >= 90.0f) {
            playSound("boxopen.ogg");
        }
    }
}

}  // namespace corsavel
