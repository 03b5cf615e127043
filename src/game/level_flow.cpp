#include <cmath>

#include "audio/audio.h"
#include "game/game_requests.h"
#include "game/instructions.h"
#include "game/looks.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/particles.h"
#include "gfx/text_effects.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "platform/random.h"
#include "platform/virtual_keys.h"

namespace corsavel {

namespace {

// The clock passes a moment of a timeline in this frame.
bool crossed(float before, float after, float mark) {
    return before <= mark && after > mark;
}

// True when a periodic event of `period` ms falls between the two clocks.
bool ticked(float before, float after, float period) {
    return std::floor(before / period) != std::floor(after / period);
}

void openPage(const char* page) {
    game.flags.menuActive = true;
    requestPage(page);
}

void fade(float& v, float delta) {
    v += delta;
    v = v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v);
}

bool inHudPanel(Vec2 p) {
    return p.x >= -400.0f && p.x <= -285.0f && p.y >= -100.0f && p.y <= 300.0f;
}

void gameplayFrame() {
    LevelFlags& fl = game.flags;
    if (fl.gameComplete) {
        return;
    }
    if (fl.stageComplete) {
        stageTick();
        return;
    }
    if (fl.instructionsShown) {
        demonstrationTick(app.frameStepMs);
        updateAudio(app.frameStepMs);
        return;
    }
    const bool tipWaits = game.tips.tipShowing && game.tips.tipWaitsForClick;
    if (!fl.menuActive && !tipWaits && !fl.paused) {
        tipTick();
        cascadeTick();
    }
    scoreTick();
    timeBonusTick();
    clockTick();
    const bool blockedBeforeWin = fl.menuActive && !fl.levelWon;
    if (!fl.paused && !blockedBeforeWin) {
        goldBoxTick();
        if (!tipWaits) {
            flyerTick();
        }
    }
    shakeTick();
    if (!fl.paused && !fl.menuActive) {
        noMovesTick();
    }
    if (fl.levelWon) {
        celebrationTick();
    }
    if (fl.paused) {
        fl.pauseMs += app.frameStepMs;
        // The pause is silent: effects and music hold until play resumes.
        holdAudioThisFrame();
    }
    hudTick();
    updateAudio(app.frameStepMs);
    tipBubbleTick();
}

void winTiles() {
    game.flags.endStyle = looksRandom.randomInt(2);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isValidCell(r, c)) {
                continue;
            }
            Cell& cell = game.board.cells[r][c];
            cell.shimmerMs = 150.0f + looksRandom.randomSigned(150.0f);
            if (game.flags.endStyle == 0) {
                cell.tileVelocity =
                    Vec2{looksRandom.randomSigned(4.0f), 3.0f + looksRandom.randomSigned(2.5f)};
            }
        }
    }
}

void moveTiles(float t, float dt) {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isValidCell(r, c)) {
                continue;
            }
            Cell& cell = game.board.cells[r][c];
            if (t >= 1000.0f && t < 2000.0f) {
                const float radius = (2000.0f - t) / 400.0f;
                const float a = (t - 10.0f * r - 10.0f * c) * kPi / 180.0f;
                cell.tileOffset = Vec2{radius * std::cos(a), radius * std::sin(a)};
            } else if (t >= 2000.0f && t < 5000.0f) {
                if (game.flags.endStyle == 0) {
                    cell.tileOffset = cell.tileOffset + cell.tileVelocity * (dt * 0.02f);
                    cell.tileVelocity.y -= 0.0004f * dt;
                } else {
                    const Vec2 p = cellCentre(c, r) + cell.tileOffset - Vec2{90.0f, 0.0f};
                    const float len = length(p);
                    const Vec2 dir = len > 0.0f ? p * (1.0f / len) : Vec2{1.0f, 0.0f};
                    const float a = 6.0f * kPi / 180.0f;
                    const Vec2 turned{dir.x * std::cos(a) - dir.y * std::sin(a),
                                      dir.x * std::sin(a) + dir.y * std::cos(a)};
                    cell.tileOffset = cell.tileOffset + turned * (0.1f * dt);
                }
                cell.shimmerMs += dt;
                if (cell.shimmerMs >= 300.0f) {
                    cell.shimmerMs = 0.0f;
                    const Vec2 p = cellCentre(c, r) + cell.tileOffset;
                    startEffect("levelover0", p.x, p.y);
                }
            }
        }
    }
}

void openBox(float ms) {
    GoldBox& box = game.box;
    if (box.lidAngle >= 90.0f) {
        playSound("boxopen.ogg");
    }
    box.boxOpen = true;
    box.boxOpenMs = ms;
}

}  // namespace

bool gameplayMenuOpen() {
    return game.flags.menuActive;
}

bool tipBlocks() {
    return game.tips.tipShowing && game.tips.tipWaitsForClick;
}

bool inPlay() {
    const LevelFlags& fl = game.flags;
    return fl.levelLoaded && !fl.gameComplete && !fl.levelWon && !fl.menuActive &&
           !fl.stageComplete && !fl.instructionsShown && !game.tips.tipShowing &&
           !game.clock.timedOut;
}

void gameplayUpdate() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    game.hand.cursor = Vec2{x, y};
    game.hand.cursorCopy = game.hand.cursor;
    ageScorePieces(app.frameStepMs);
    updateEffects(app.frameStepMs);
    gameplayFrame();
    looksTick(app.frameStepMs);
}

void gameplayUpdateStep(float stepMs) {
    app.frameStepMs = stepMs;
    app.animationClockMs += stepMs;
    game.hand.cursorCopy = game.hand.cursor;
    ageScorePieces(stepMs);
    updateEffects(stepMs);
    gameplayFrame();
    looksTick(stepMs);
}

bool levelFlowClick() {
    LevelFlags& fl = game.flags;
    HandState& h = game.hand;
    if (fl.gameComplete) {
        requestPlain(GameRequestKind::ReturnToMenus);
        return false;
    }
    if (fl.stageComplete) {
        h.cursorMode = 0;
        requestPlain(GameRequestKind::NextLevel);
        return false;
    }
    if (fl.paused) {
        h.cursorMode = 0;
        fl.paused = false;
        fl.pauseMs = 0.0f;
        return false;
    }
    if (!fl.levelWon) {
        if (fl.boardDone) {
            return false;
        }
        if (!game.clock.timedOut) {
            return true;
        }
        h.cursorMode = 0;
        if (game.clock.elapsedMs >= game.clock.timeLimitMs + 4000.0f && !fl.menuActive) {
            loseLevel();
        }
        return false;
    }
    if (fl.levelEndMs > 300.0f) {
        h.cursorMode = 0;
        advanceLevel();
    }
    return false;
}

void onBoardKey(int32_t virtualKey) {
    if (!levelFlowClick()) {
        return;
    }
    LevelFlags& fl = game.flags;
    if (fl.instructionsShown) {
        closeInstructions();
    } else if (game.tips.tipShowing) {
        closeTip();
    } else if (virtualKey == vk::kSpace) {
        if (!fl.menuActive && !game.scores.timeBonusPhase) {
            fl.paused = true;
        }
    } else if (virtualKey == vk::kEscape) {
        openPage("gameplay");
    }
}

void onBoardButtonUp() {
    game.hand.buttonHeld = false;
}

void onBoardPointerMove(float x, float y) {
    game.hand.cursor = Vec2{x, y};
    if (!inPlay() || game.flags.paused) {
        return;
    }
    int column = 0;
    int row = 0;
    cellAt(x, y, column, row);
    if (!isValidCell(row, column) && !cursorInBoxArea(game.hand.cursor) &&
        !inHudPanel(game.hand.cursor)) {
        game.flags.paused = true;
        game.flags.pauseMs = 0.0f;
    }
}

// Double clicks act as a second press; right and middle buttons have no board action.
void onBoardDoubleClick() {
    onBoardClick();
}
void onBoardRightClick() {}
void onBoardMiddleClick() {}

void checkLevelComplete() {
    LevelFlags& fl = game.flags;
    if (fl.levelWon || game.scores.timeBonusPhase || game.clock.timedOut || !fl.levelLoaded) {
        return;
    }
    for (const auto& row : game.board.cells) {
        for (const Cell& cell : row) {
            if (cell.layers > 0) {
                return;
            }
        }
    }
    if (game.box.boxOpen) {
        fl.boardDone = true;
        return;
    }
    fl.boardDone = false;
    if (session.gameMode == 1) {
        recordCompletion();
    } else {
        startTimeBonus();
        fl.levelWon = true;
        clearFlyingLetters();
    }
    addFlyingText("LEVEL COMPLETE!", 90.0f, session.gameMode == 0 ? 40.0f : 0.0f, 30.0f);
    constexpr int32_t kWinMusic[4] = {7, 1, 8, 2};
    requestMusic(kWinMusic[session.currentLevel % 4]);
    Profile& p = activeProfile();
    if (session.currentLevel == 2 && p.quickLearnerVoice == 0 && game.clock.elapsedMs < 30000.0f) {
        p.quickLearnerVoice = 1;
        playSoundEx("youlearnquickly.ogg", Vec3{}, 0, 22050);
    }
    winTiles();
}

void recordCompletion() {
    playSound("Level_Complete.ogg");
    GameRequest result;
    result.kind = GameRequestKind::RecordLevelResult;
    result.number = game.scores.scoreShown;
    result.value[0] = game.clock.elapsedMs;
    postRequest(result);
    requestPlain(GameRequestKind::SaveTables);
    game.flags.levelWon = true;
}

void celebrationTick() {
    LevelFlags& fl = game.flags;
    GoldBox& box = game.box;
    const float dt = app.frameStepMs;
    const float before = fl.levelEndMs;
    fl.levelEndMs += dt;
    const float t = fl.levelEndMs;
    moveTiles(t, dt);
    if (t >= 3000.0f && t < 4000.0f) {
        box.scale += 0.00008f * dt;
        box.offset = box.offset + Vec3{0.32f * dt, 0.01f * dt, 0.0f};
    }
    if (crossed(before, t, 4000.0f)) {
        box.scale = 1.08f;
        box.offset = Vec3{320.0f, 10.0f, 0.0f};
        openBox(2000.0f);
        box.boxTarget = -120.0f;
    }
    if (t >= 4100.0f && t < 5900.0f) {
        if (ticked(before, t, 100.0f)) {
            playSoundEx(
                "orgasm.ogg", Vec3{}, 0,
                static_cast<int32_t>(std::lround((t - 3000.0f) / 2000.0f * 10000.0f + 40000.0f)));
        }
        if (ticked(before, t, 30.0f)) {
            // A figure springs out of the box: slot, then x, then y.
            const int slot = looksRandom.randomInt(game.level.figureCount);
            const float x = looksRandom.randomSigned(30.0f);
            const float y = looksRandom.randomSigned(30.0f) - 240.0f;
            startFlyer(slot, x, y, 2);
            startEffect("orgasm", 0.0f, -240.0f);
            box.offset.y -= 1.0f;
        }
    }
    if (t >= 5400.0f && game.level.dancerCameraDepth < -300.0f) {
        game.level.dancerCameraDepth += 0.2f * dt;
        if (game.level.dancerCameraDepth > -300.0f) {
            game.level.dancerCameraDepth = -300.0f;
        }
    }
    if (t >= 6000.0f) {
        box.scale -= 0.00008f * dt;
        box.scale = box.scale < 1.0f ? 1.0f : box.scale;
        box.offset.x -= 0.34f * dt;
        box.offset.x = box.offset.x < 0.0f ? 0.0f : box.offset.x;
        box.offset.y -= 0.012f * dt;
        box.offset.y = box.offset.y < 0.0f ? 0.0f : box.offset.y;
        box.offset.z = 40.0f;
        if (ticked(before, t, 80.0f)) {
            // Figures rain from the top, a burst and a sparkle somewhere; each
            // drawn slot first, then x, then y.
            const int slot = looksRandom.randomInt(kMaxSlots);
            const float rainX = looksRandom.randomSigned(400.0f);
            startFlyer(slot, rainX, 330.0f, 3);
            const float burstX = looksRandom.randomSigned(400.0f);
            const float burstY = looksRandom.randomSigned(300.0f);
            startEffect("levelover2", burstX, burstY);
            const float sparkleX = looksRandom.randomSigned(400.0f);
            const float sparkleY = looksRandom.randomSigned(300.0f);
            spawnParticle(Vec3{sparkleX, sparkleY, 0.0f}, findEffect("blik1"), 1.0f, -1);
        }
    }
}

void advanceLevel() {
    LevelFlags& fl = game.flags;
    ScoreState& s = game.scores;
    if (!fl.levelCompletePage) {
        if (session.gameMode == 0 && s.timeBonusPhase && !s.bonusFinished) {
            finishTimeBonus();
            s.bonusPhaseMs = 1400.0f + s.bonusDurationMs;
        }
        fl.levelCompletePage = true;
        openPage("levelcomplete");
        return;
    }
    if (fl.advancing) {
        return;
    }
    fl.advancing = true;
    fl.menuActive = false;
    Profile& p = activeProfile();
    advanceProgress(p);
    session.currentLevel += 1;
    requestTint(GameRequestKind::SetTintTarget, 1.0f, 1.0f, 1.0f, 1.0f);
    stopAllEffects();
    s.bankedScore += s.scoreShown;
    setProfileScore(p, s.bankedScore);
    // The advanced profile reaches the disk now, not only at exit.
    requestPlain(GameRequestKind::SaveTables);
    if (startsLaterStage(session.currentLevel)) {
        // The next stage's background (2..12) fades in behind the stage screen.
        fl.stageComplete = true;
        fl.stageMs = -1.0f;
        requestNumber(GameRequestKind::QueueBackground, stageOfLevel(session.currentLevel) + 1);
        return;
    }
    if (session.currentLevel >= kLevelCount) {
        fl.stageComplete = false;
        loadLevelFile("end.lvl");
        requestPlain(GameRequestKind::ShowGameComplete);
        fl.gameComplete = true;
        fl.levelWon = false;
        session.currentLevel = 0;
        setProgressLevel(p, 0);
        requestMusic(0);
        return;
    }
    requestPlain(GameRequestKind::NextLevel);
}

void stageTick() {
    LevelFlags& fl = game.flags;
    const float before = fl.stageMs;
    fl.stageMs += app.frameStepMs;
    if (before <= 0.0f && fl.stageMs > 0.0f) {
        addFlyingText("STAGE COMPLETE!", 0.0f, 0.0f, 30.0f);
        switchMusic(0);
    }
    updateAudio(app.frameStepMs);
}

void hudTick() {
    const float dt = app.frameStepMs;
    HudState& h = game.hud;
    const LevelFlags& fl = game.flags;
    const ClockState& c = game.clock;
    bool normal = true;
    if (fl.boardDone) {
        fade(h.handAlpha, -0.3f * dt);
        normal = false;
    }
    if (fl.levelWon && fl.levelEndMs > 400.0f) {
        fade(h.boardAlpha, -0.07f * dt);
        normal = false;
    }
    if ((fl.menuActive && !fl.levelWon) || fl.paused ||
        (session.gameMode == 0 && c.elapsedMs > c.timeLimitMs + 3300.0f)) {
        fade(h.boardAlpha, -0.3f * dt);
        fade(h.flyerAlpha, -0.3f * dt);
        fade(h.handAlpha, -0.3f * dt);
        normal = false;
    }
    if (game.tips.tipShowing && game.tips.tipWaitsForClick) {
        fade(h.flyerAlpha, -0.3f * dt);
        fade(h.handAlpha, -0.3f * dt);
        normal = false;
    }
    if (inHudPanel(game.hand.cursor) || game.scores.timeBonusPhase) {
        fade(h.handAlpha, -0.9f * dt);
        normal = false;
    }
    if (normal && !fl.levelWon) {
        fade(h.boardAlpha, 0.3f * dt);
        fade(h.flyerAlpha, 0.3f * dt);
        fade(h.handAlpha, 0.3f * dt);
    }
    const float bonusEnd = session.gameMode == 0 ? game.scores.bonusDurationMs + 1400.0f : 0.0f;
    const bool hide = (fl.levelWon && fl.levelEndMs > 1000.0f && fl.levelEndMs > bonusEnd) ||
                      fl.paused || c.timedOut;
    if (hide) {
        h.hudSlide -= 0.1f * dt;
        h.hudSlide = h.hudSlide < -120.0f ? -120.0f : h.hudSlide;
    } else {
        h.hudSlide += 0.15f * dt;
        h.hudSlide = h.hudSlide > 0.0f ? 0.0f : h.hudSlide;
    }
    if (!fl.levelWon) {
        game.box.offset.x = 1.3f * h.hudSlide;
    }
}

}  // namespace corsavel
