#include "game/looks.h"

#include <cmath>

#include "game/dancers.h"
#include "game/game_requests.h"
#include "game/hud_layout.h"
#include "game/hud_textures.h"
#include "game/instructions.h"
#include "game/rules.h"
#include "gfx/balloon.h"
#include "gfx/bolts.h"
#include "gfx/draw_helpers.h"
#include "gfx/particles.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "resources/text_table.h"

namespace corsavel {

BoardDrawState boardDraw;

namespace {

constexpr float kFigureFrameMs = 30.0f;
constexpr float kHoverHoldMs = 100.0f;
constexpr int kArcsPerFigure = 8;
constexpr float kSparkleEveryMs = 80.0f;

// The board with its HUD is on screen (not the stage, game-complete or
// instructions screen).
bool playingFrameShown() {
    const LevelFlags& fl = game.flags;
    return !fl.stageComplete && !fl.gameComplete && !fl.instructionsShown;
}

bool hoverAllowed() {
    const LevelFlags& f = game.flags;
    return !f.menuActive && !game.tips.tipShowing && !f.levelWon && !f.boardDone &&
           !game.scores.timeBonusPhase && !game.clock.timedOut;
}

// Bonus figures glow with particle effects just below their middle.
void emitAt(int32_t effect, Vec2 p) {
    if (effect >= 0) {
        spawnParticle(Vec3{p.x + 2.0f, p.y - 17.0f, 0.0f}, effect, 1.0f, -1);
    }
}

// Layers and chains still on the board: the shimmer's period grows with it.
int32_t workOnBoard() {
    int32_t n = 0;
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            if (cell.layers > 0) {
                n += cell.layers;
            }
            if (cell.layers >= 0 && cell.chained != 0) {
                ++n;
            }
        }
    }
    return n;
}

// Tiles with layers count their shimmer down and start it again, slower the
// more work is left; after the win the timer belongs to the tile animation.
void shimmerTick(float stepMs) {
    if (game.flags.levelWon && game.flags.levelEndMs >= 10.0f) {
        return;
    }
    // The restart is worked out once, when the first timer runs out.
    float restartMs = -1.0f;
    for (auto& row : game.board.cells) {
        for (Cell& cell : row) {
            if (cell.layers != 1 && cell.layers != 2) {
                continue;
            }
            cell.shimmerMs -= stepMs;
            if (cell.shimmerMs < 0.0f) {
                if (restartMs < 0.0f) {
                    restartMs = std::sqrt(static_cast<float>(workOnBoard())) * 3000.0f;
                }
                cell.shimmerMs = restartMs;
            }
        }
    }
}

// Eight short electric arcs around a lightning figure: their ends are
// re-chosen every 2000 ms or so, their jitter is new every frame.
void lightningArcs(int row, int column, Vec2 p) {
    BoardDrawState::Arcs& arcs = boardDraw.arcs[row][column];
    const float now = app.animationClockMs;
    if (!arcs.chosen || now >= arcs.nextChangeMs || arcs.nextChangeMs - now > 4000.0f) {
        for (int i = 0; i < kArcsPerFigure; ++i) {
            const float angle =
                (static_cast<float>(i) * 45.0f + looksRandom.randomSigned(20.0f)) * kPi / 180.0f;
            const float radius = 22.0f + looksRandom.randomUnit(8.0f);
            arcs.ends[i] = Vec2{std::cos(angle) * radius, std::sin(angle) * radius};
        }
        arcs.nextChangeMs = now + 2000.0f + looksRandom.randomSigned(1500.0f);
        arcs.chosen = true;
    }
    const int a = static_cast<int>(clampAlpha(game.hud.boardAlpha) * 0.9f);
    const Colour outer = makeColour(a, 110, 140, 255);
    const Colour core = makeColour(a, 235, 245, 255);
    for (int i = 0; i < kArcsPerFigure; ++i) {
        const Vec2& e = arcs.ends[i];
        const Vec3 from{p.x + e.x * 0.25f, p.y + e.y * 0.25f, 0.0f};
        const Vec3 to{p.x + e.x, p.y + e.y, 0.0f};
        addBolt(from, to, 4.0f, 3.0f, 1.0f, 3.0f, outer, core);
    }
}

// The figures turn, lightning figures crackle and the other bonuses glow.
void figuresTick(float stepMs) {
    int hoverRow = -1;
    int hoverColumn = -1;
    hoveredCell(hoverRow, hoverColumn);
    const bool overlays = bonusOverlaysShown();
    const int32_t flare = findEffect("flare");
    const int32_t flare2 = findEffect("flare2");
    const int32_t flare3 = findEffect("flare3");
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = game.board.cells[r][c];
            if (cell.layers < 0 || cell.figure.kind < 0 || cell.removal == 2) {
                continue;
            }
            animateFigure(cell.figure, r == hoverRow && c == hoverColumn, stepMs);
            if (!overlays || cell.figure.bonus == kBonusNone) {
                continue;
            }
            const Vec2 p = cellCentre(c, r) + cell.tileOffset + cell.figure.offset;
            switch (cell.figure.bonus) {
                case kLightning:
                    lightningArcs(r, c, p);
                    break;
                case kCrossBomb:
                    emitAt(flare3, p);
                    break;
                case kStarBomb:
                    emitAt(flare, p);
                    break;
                case kDiagonalBomb:
                    emitAt(flare2, p);
                    break;
                default:
                    break;
            }
        }
    }
    Figure& held = game.hand.heldFigure;
    if (game.hand.cursorMode == 0 && held.kind >= 0) {
        animateFigure(held, false, stepMs);
    }
}

// Figures on their way to the box trail sparks until the level is won.
void flyerTrails() {
    if (game.flags.levelWon) {
        return;
    }
    const int32_t tail = findEffect("tail2");
    for (const Flyer& f : game.flyers.flyers) {
        if (f.slot > 0 && f.type == 1) {
            const Vec2 p = f.position + f.spin;
            spawnParticle(Vec3{p.x, p.y, 0.0f}, tail, 1.0f, -1);
        }
    }
}

// The "MENU" label swings while the pointer is on it, whenever the panel shows.
void menuButtonTick(float stepMs) {
    if (game.hud.hudSlide <= kHudHiddenSlide) {
        return;
    }
    hudDraw.menuButtonSize = menuButtonStep(hudDraw.menuButtonSize, hudDraw.menuButtonDirection,
                                            stepMs, menuButtonHovered());
}

// The burning fuse darkens the scene in the last 20 s and smokes at its
// burning point while it is in full view.
void fuseTick() {
    const ClockState& c = game.clock;
    const LevelFlags& fl = game.flags;
    if (session.gameMode != 0 || c.timedOut || !fl.levelLoaded) {
        return;
    }
    const float left = c.timeLimitMs - c.elapsedMs;
    if (!fl.levelWon && left < 20000.0f) {
        const float d = timeDarkening(left);
        requestTint(GameRequestKind::SetTintTarget, d, d, d, 1.0f);
    }
    const float f = fuseFraction(c, game.scores);
    const float alpha = fl.levelWon ? 255.0f : clampAlpha(game.hud.boardAlpha);
    if (alpha >= 255.0f && (f < 1.0f || !fl.levelWon)) {
        const Vec3 burning{kFuseLeft + (kFuseRight - kFuseLeft) * f, kFuseY, 0.0f};
        spawnParticle(burning, findEffect("smoke"), 1.0f, -1);
        spawnParticle(burning, findEffect("flare1"), 1.0f, -1);
    }
}

// The time-bonus texts run on for 2 s after the count has ended.
void timeBonusTextsTick(float stepMs) {
    const ScoreState& s = game.scores;
    if (!s.timeBonusPhase || session.gameMode != 0 || !s.bonusFinished) {
        hudDraw.bonusAfterEndMs = 0.0f;
        return;
    }
    hudDraw.bonusAfterEndMs += stepMs;
}

// Once its delay has run out, the tip asks for the balloon beside its target.
void requestTipBalloon() {
    const TipState& t = game.tips;
    if (!t.tipShowing || t.tipDelayMs > 0.0f) {
        return;
    }
    const char* text = currentTipText();
    if (text == nullptr) {
        return;
    }
    const char* label = findText("continue");
    requestBalloon(text, t.tipPosition, kTipBalloonWidth, t.tipWaitsForClick,
                   label != nullptr ? label : "continue", hudTextures.tipIcon);
}

// Sparkles over the closing picture every 80 ms, somewhere on the screen.
void gameCompleteTick(float stepMs) {
    hudDraw.sparkleMs += stepMs;
    if (hudDraw.sparkleMs < kSparkleEveryMs) {
        return;
    }
    hudDraw.sparkleMs = 0.0f;
    const float x = looksRandom.randomSigned(400.0f);
    const float y = looksRandom.randomSigned(300.0f);
    spawnParticle(Vec3{x, y, 0.0f}, findEffect("blik1"), 1.0f, -1);
}

}  // namespace

void animateFigure(Figure& figure, bool hovered, float stepMs) {
    figure.hoverMs -= stepMs;
    figure.animMs += stepMs;
    if (hovered || figure.hoverMs > 0.0f || figure.frame > 0) {
        figure.frame = static_cast<int32_t>(figure.animMs / kFigureFrameMs) % 32;
        if (hovered) {
            figure.hoverMs = kHoverHoldMs;
        }
    } else {
        figure.animMs = 0.0f;
        figure.frame = 0;
    }
}

bool bonusOverlaysShown() {
    const LevelFlags& f = game.flags;
    return !f.paused && !f.levelWon && !game.clock.timedOut && !f.menuActive &&
           !game.scores.timeBonusPhase;
}

bool hoveredCell(int& row, int& column) {
    row = -1;
    column = -1;
    if (!hoverAllowed()) {
        return false;
    }
    int c = 0;
    int r = 0;
    cellAt(game.hand.cursorCopy.x, game.hand.cursorCopy.y, c, r);
    if (!hasFigure(r, c) || game.board.cells[r][c].chained != 0) {
        return false;
    }
    row = r;
    column = c;
    return true;
}

void ageScorePieces(float stepMs) {
    if (!playingFrameShown()) {
        return;
    }
    for (FloatingScore& f : game.scores.floating) {
        if (f.size <= 0.0f || f.alpha <= 0.0f) {
            continue;
        }
        f.position = f.position + f.velocity * stepMs;
        f.size += f.sizeRate * stepMs;
        f.alpha += f.alphaRate * stepMs;
    }
    for (TileBreak& b : game.scores.breaks) {
        if (b.ageMs < 0.0f) {
            continue;
        }
        b.ageMs += stepMs;
        if (b.ageMs > kTileBreakLifeMs) {
            b.ageMs = -1.0f;
        }
    }
}

void looksTick(float stepMs) {
    const LevelFlags& fl = game.flags;
    clearBolts();
    if (!fl.instructionsShown) {
        // The next opening of the overlay starts its script afresh.
        demo.running = false;
    }
    if (fl.stageComplete) {
        // The stage screen shows nothing of the board.
    } else if (fl.gameComplete) {
        gameCompleteTick(stepMs);
    } else if (fl.instructionsShown) {
        if (!fl.instructionsOnly) {
            menuButtonTick(stepMs);
        }
    } else {
        menuButtonTick(stepMs);
        shimmerTick(stepMs);
        figuresTick(stepMs);
        flyerTrails();
        fuseTick();
        timeBonusTextsTick(stepMs);
        requestTipBalloon();
    }
    if (!fl.stageComplete && !(fl.instructionsShown && fl.instructionsOnly)) {
        dancersTick(stepMs);
    }
    balloonTick(stepMs);
}

}  // namespace corsavel
