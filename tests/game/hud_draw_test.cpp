#include "allocation_counter.h"
#include "hud_fixture.h"
#include "platform/null_device.h"

namespace corsavel {
namespace {

TEST(HudLooks, LivesShowAsHeartsUpToThreeThenACountAndLastLifeAtNone) {
    const LivesLook none = livesLook(0, false, 0.0f);
    EXPECT_EQ(none.hearts, 0);
    EXPECT_TRUE(none.lastLife);
    const LivesLook three = livesLook(3, false, 0.0f);
    ASSERT_EQ(three.hearts, 3);
    EXPECT_FLOAT_EQ(three.heartLeft[0], -371.0f);
    EXPECT_FLOAT_EQ(three.heartLeft[2], -319.0f);
    EXPECT_FALSE(three.showCount || three.lastLife);
    const LivesLook five = livesLook(5, false, 0.0f);
    ASSERT_EQ(five.hearts, 1);
    EXPECT_FLOAT_EQ(five.heartLeft[0], -361.0f);
    EXPECT_TRUE(five.showCount);
    // The bounce after an extra life, then still again after 2400 ms.
    EXPECT_NEAR(livesLook(3, true, 100.0f).bounce, 2.0f, 1e-4f);
    EXPECT_NEAR(livesLook(3, true, 300.0f).bounce, -2.0f, 1e-4f);
    EXPECT_FLOAT_EQ(livesLook(3, true, 2500.0f).bounce, 0.0f);
}

TEST(HudLooks, HintMarkerShowsSixSecondsThenFadesOut) {
    EXPECT_FLOAT_EQ(hintMarkerAlpha(0.0f), 255.0f);
    EXPECT_FLOAT_EQ(hintMarkerAlpha(6000.0f), 255.0f);
    EXPECT_FLOAT_EQ(hintMarkerAlpha(7000.0f), 155.0f);
    EXPECT_FLOAT_EQ(hintMarkerAlpha(8550.0f), 0.0f);
    EXPECT_FLOAT_EQ(hintMarkerAlpha(29000.0f), 0.0f);
    EXPECT_NEAR(hintLineAlpha(0, 0.0f), 205.0f, 1e-3f);
    EXPECT_NEAR(hintLineAlpha(3, 0.0f), 205.0f, 1e-3f);  // three cells later: half a turn
    EXPECT_NEAR(hintLineAlpha(0, kPi / 2.0f / 0.008f), 255.0f, 1e-2f);
}

TEST(HudLooks, TimeBonusTextsRiseHoldPulseAndFade) {
    const float d = 1500.0f;  // the count ends at 2900 ms
    EXPECT_FLOAT_EQ(timeBonusLook(1000.0f, d).alpha, 0.0f);
    EXPECT_FLOAT_EQ(timeBonusLook(1900.0f, d).alpha, 127.5f);
    EXPECT_FLOAT_EQ(timeBonusLook(1900.0f, d).sizeBonus, 2.55f);
    EXPECT_FLOAT_EQ(timeBonusLook(2600.0f, d).alpha, 255.0f);
    EXPECT_FLOAT_EQ(timeBonusLook(2600.0f, d).sizeBonus, 5.0f);
    for (float t = 2900.0f; t < 3900.0f; t += 37.0f) {
        const TimeBonusLook pulse = timeBonusLook(t, d);
        EXPECT_FLOAT_EQ(pulse.alpha, 255.0f);
        EXPECT_GE(pulse.sizeBonus, 2.9f);
        EXPECT_LE(pulse.sizeBonus, 5.1f);
    }
    EXPECT_NEAR(timeBonusLook(4400.0f, d).alpha, 127.5f, 1e-3f);
    EXPECT_FLOAT_EQ(timeBonusLook(4900.0f, d).alpha, 0.0f);
    // A short count ends while the texts still rise: they pulse at full alpha.
    EXPECT_FLOAT_EQ(timeBonusLook(1700.0f, 200.0f).alpha, 255.0f);
}

TEST(HudLooks, ResumeTextsWaitAboutFourAndAHalfSeconds) {
    EXPECT_FLOAT_EQ(resumeWave(0.0f, 0.0003f), 0.0f);
    EXPECT_FLOAT_EQ(resumeWave(4400.0f, 0.0003f), 0.0f);
    EXPECT_GT(resumeWave(4700.0f, 0.0003f), 0.0f);
    EXPECT_NEAR(resumeWave((kPi / 2.0f + 0.9424779f) / 0.0003f, 0.0003f), 1.0f, 1e-4f);
}

TEST(HudLooks, FuseBurnsWithTheClockAndRunsOutWithTheCount) {
    ClockState c;
    c.timeLimitMs = 60000.0f;
    c.elapsedMs = 15000.0f;
    ScoreState s;
    EXPECT_FLOAT_EQ(fuseFraction(c, s), 0.25f);
    c.elapsedMs = 90000.0f;
    EXPECT_FLOAT_EQ(fuseFraction(c, s), 1.0f);
    c.elapsedMs = 30000.0f;
    s.timeBonusPhase = true;
    s.bonusLeftMs = 30000.0f;
    s.bonusDurationMs = 1500.0f;
    s.bonusPhaseMs = 1400.0f;
    EXPECT_FLOAT_EQ(fuseFraction(c, s), 0.5f);
    s.bonusPhaseMs = 2150.0f;
    const float middle = fuseFraction(c, s);
    EXPECT_GT(middle, 0.5f);
    EXPECT_LT(middle, 1.0f);
    s.bonusPhaseMs = 2900.0f;
    EXPECT_NEAR(fuseFraction(c, s), 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(timeDarkening(20000.0f), 1.0f);
    EXPECT_FLOAT_EQ(timeDarkening(10000.0f), 0.75f);
    EXPECT_FLOAT_EQ(timeDarkening(-5000.0f), 0.5f);
}

TEST(HudLooks, MenuButtonSwingsBetweenTwelveAndFourteenWhileHovered) {
    float direction = 1.0f;
    float size = 13.0f;
    float lo = 13.0f;
    float hi = 13.0f;
    for (int i = 0; i < 200; ++i) {
        size = menuButtonStep(size, direction, 16.0f, true);
        lo = std::fmin(lo, size);
        hi = std::fmax(hi, size);
    }
    EXPECT_FLOAT_EQ(lo, 12.0f);
    EXPECT_FLOAT_EQ(hi, 14.0f);
    EXPECT_FLOAT_EQ(menuButtonStep(size, direction, 16.0f, false), 13.0f);
}

class HudDrawTest : public HudTest {};

TEST_F(HudDrawTest, PanelDrawsHeartsPerLifeAndSlidesAway) {
    const int lives[3] = {0, 3, 5};
    const size_t hearts[3] = {0, 3, 1};
    for (int i = 0; i < 3; ++i) {
        profile.lives[0] = lives[i];
        device.reset();
        drawHud();
        EXPECT_EQ(drawsWith("heart.tga").size(), hearts[i]) << lives[i];
    }
    // "x5" beside the single heart.
    EXPECT_EQ(glyphsIn(-340.0f, 50.0f, -300.0f, 38.0f).size(), 2u);

    game.hud.hudSlide = -60.0f;
    device.reset();
    drawHud();
    ASSERT_EQ(drawsWith("gamebar.tga").size(), 1u);
    EXPECT_FLOAT_EQ(centreOf(*drawsWith("gamebar.tga")[0]).x, -340.0f - 60.0f);
    game.hud.hudSlide = -120.0f;
    device.reset();
    drawHud();
    EXPECT_TRUE(device.draws.empty());
}

TEST_F(HudDrawTest, HeartsBounceAfterAnExtraLife) {
    game.scores.lifeGained = true;
    game.scores.lifeGainedMs = 100.0f;
    drawHud();
    ASSERT_EQ(drawsWith("heart.tga").size(), 3u);
    EXPECT_NEAR(extent(*drawsWith("heart.tga")[0], false), 28.0f, 1e-3f);
}

TEST_F(HudDrawTest, PuzzleModeShowsTheModeInsteadOfLives) {
    session.gameMode = 1;
    drawHud();
    EXPECT_TRUE(drawsWith("heart.tga").empty());
    EXPECT_FALSE(glyphsIn(-380.0f, 60.0f, -300.0f, 50.0f).empty());
    device.reset();
    drawTimeFuse();
    EXPECT_TRUE(device.draws.empty());
}

TEST_F(HudDrawTest, HintFollowsItsBlinkAndTheBoardFade) {
    GroupRecord& g = game.match.hintGroup;
    g.length = 3;
    for (int i = 0; i < 3; ++i) {
        g.rows[i] = 4;
        g.columns[i] = static_cast<int8_t>(2 + i);
    }
    game.match.hintPosition = cellCentre(3, 4);
    drawHint();
    EXPECT_TRUE(device.draws.empty()) << "hidden until the tip timer runs out";

    game.tips.hintVisible = true;
    game.tips.hintBlinkMs = 1000.0f;
    drawHint();
    EXPECT_EQ(drawsWith("flare.jpg").size(), 6u);  // a crossed glow per cell
    ASSERT_EQ(drawsWith("02.tga").size(), 1u);
    const DrawRecord& marker = *drawsWith("02.tga")[0];
    EXPECT_EQ(alphaOf(marker), 255);
    EXPECT_NEAR(extent(marker, false), 51.6f, 1e-3f);
    const float bob = centreOf(marker).y - cellCentre(3, 4).y;
    EXPECT_GE(bob, 34.0f);
    EXPECT_LE(bob, 46.0f);

    game.tips.hintBlinkMs = 7000.0f;
    game.hud.boardAlpha = 127.5f;
    device.reset();
    drawHint();
    EXPECT_EQ(alphaOf(*drawsWith("02.tga")[0]), 77);

    game.flags.boardDone = true;
    device.reset();
    drawHint();
    EXPECT_TRUE(device.draws.empty()) << "not while the board waits for the box";
}

TEST_F(HudDrawTest, TimeBonusTextsGrowWithTheirTimelineAndRunOnAfterTheCount) {
    game.clock.elapsedMs = 30000.0f;
    startTimeBonus();  // a count of 1500 ms, from 1400 to 2900
    drawTimeBonusTexts();
    EXPECT_TRUE(device.draws.empty());
    game.scores.bonusPhaseMs = 2600.0f;
    game.scores.bonusShown = 120;
    drawTimeBonusTexts();
    // Label size 16 + b, value size 20 + b; glyph quads are 1.8 x size high.
    const auto label = glyphsIn(100.0f, -100.0f, 400.0f, -140.0f);
    const auto value = glyphsIn(100.0f, -150.0f, 400.0f, -200.0f);
    ASSERT_EQ(label.size(), 11u);
    ASSERT_EQ(value.size(), 3u);
    EXPECT_NEAR(extent(*label[0], true), 1.8f * 21.0f, 1e-3f);
    EXPECT_NEAR(extent(*value[0], true), 1.8f * 25.0f, 1e-3f);
    EXPECT_NEAR(centreOf(*value[0]).y, -100.0f - 25.0f - 40.0f, 1e-3f);

    game.scores.bonusPhaseMs = 2900.0f;
    finishTimeBonus();
    int framesShown = 0;
    for (int i = 0; i < 300; ++i) {
        device.reset();
        looksTick(10.0f);
        drawTimeBonusTexts();
        framesShown += device.draws.empty() ? 0 : 1;
    }
    EXPECT_NEAR(framesShown, 200, 2) << "2 s after the count at 10 ms a frame";
}

TEST_F(HudDrawTest, FuseBurnsFromTheLeftAndDarkensTheLastTwentySeconds) {
    game.clock.elapsedMs = 50000.0f;
    // The darkening is asked for once per update, however often it is drawn.
    looksTick(10.0f);
    drawTimeFuse();
    device.reset();
    drawTimeFuse();
    const std::vector<GameRequest> asked = takeRequests();
    ASSERT_EQ(countRequests(asked, GameRequestKind::SetTintTarget), 1);
    EXPECT_FLOAT_EQ(asked.back().value[0], 0.75f);
    EXPECT_EQ(drawsWith("barrel.tga").size(), 1u);
    ASSERT_EQ(drawsWith("fuse.tga").size(), 2u);
    // Burnt ash up to the burning point, the cord beyond it.
    const float burn = drawsWith("fuse.tga")[1]->position(2).x;
    EXPECT_NEAR(burn, -238.0f + 572.0f * 50.0f / 60.0f, 0.01f);
    // Gone with the board in a pause, in full view after a win.
    game.hud.boardAlpha = 0.0f;
    device.reset();
    drawTimeFuse();
    EXPECT_TRUE(device.draws.empty());
    game.flags.levelWon = true;
    drawTimeFuse();
    EXPECT_EQ(alphaOf(*drawsWith("barrel.tga")[0]), 255);
    game.clock.timedOut = true;
    device.reset();
    drawTimeFuse();
    EXPECT_TRUE(device.draws.empty());
}

TEST_F(HudDrawTest, FloatingScoresRiseAndFadeTileBreaksFlyOff) {
    addFloatingScore(10.0f, 20.0f, 300);
    drawFloatingScores();
    EXPECT_EQ(glyphsIn(-30.0f, 30.0f, 50.0f, 10.0f).size(), 4u);  // "+300"
    const FloatingScore& f = game.scores.floating[0];
    ageScorePieces(10.0f);
    EXPECT_FLOAT_EQ(f.position.y, 20.2f);
    EXPECT_FLOAT_EQ(f.alpha, 255.0f - 0.9f);
    for (int i = 0; i < 300; ++i) {
        ageScorePieces(10.0f);
    }
    device.reset();
    drawFloatingScores();
    EXPECT_TRUE(device.draws.empty());

    cell(2, 2).layers = 2;
    game.scores.breaks[0] = TileBreak{cellCentre(2, 2), 2, Vec2{-0.6f, 0.8f}, 0.0f};
    drawTileBreaks();
    ASSERT_EQ(drawsWith("field\\field2.tga").size(), 1u);
    EXPECT_EQ(alphaOf(*drawsWith("field\\field2.tga")[0]), 255);
    for (int i = 0; i < 58; ++i) {
        ageScorePieces(10.0f);
    }
    device.reset();
    drawTileBreaks();
    ASSERT_EQ(drawsWith("field\\field2.tga").size(), 1u);
    // Age 580: 380 ms into its 500 ms fade.
    EXPECT_EQ(alphaOf(*drawsWith("field\\field2.tga")[0]), 61);
    for (int i = 0; i < 15; ++i) {
        ageScorePieces(10.0f);
    }
    EXPECT_LT(game.scores.breaks[0].ageMs, 0.0f);
}

// The fades of the board, the flyers and the hand (per ms: 0.3 down and up,
// 0.9 for the hand over the panel, 0.07 for the board after the win).
TEST_F(HudDrawTest, FadesFollowPausesTipsThePanelAndTheWin) {
    HudState& h = game.hud;
    game.flags.paused = true;
    hudTick();
    EXPECT_FLOAT_EQ(h.boardAlpha, 252.0f);
    EXPECT_FLOAT_EQ(h.flyerAlpha, 252.0f);
    EXPECT_FLOAT_EQ(h.handAlpha, 252.0f);
    game.flags.paused = false;
    game.tips.tipShowing = game.tips.tipWaitsForClick = true;
    hudTick();
    EXPECT_FLOAT_EQ(h.boardAlpha, 252.0f);
    EXPECT_FLOAT_EQ(h.flyerAlpha, 249.0f);
    closeTip();
    game.hand.cursor = Vec2{-350.0f, 100.0f};
    hudTick();
    EXPECT_FLOAT_EQ(h.handAlpha, 249.0f - 9.0f);
    EXPECT_FLOAT_EQ(h.flyerAlpha, 249.0f);
    game.hand.cursor = Vec2{0.0f, 0.0f};
    hudTick();
    EXPECT_FLOAT_EQ(h.boardAlpha, 255.0f);
    EXPECT_FLOAT_EQ(h.flyerAlpha, 252.0f);
    game.flags.levelWon = true;
    game.flags.levelEndMs = 500.0f;
    hudTick();
    EXPECT_FLOAT_EQ(h.boardAlpha, 254.3f);
    EXPECT_FLOAT_EQ(h.flyerAlpha, 252.0f) << "nothing else comes back after the win";
}

TEST_F(HudDrawTest, PauseTextThenTheResumeLineFadingIn) {
    game.flags.paused = true;
    game.flags.pauseMs = 1000.0f;
    drawPauseText();
    EXPECT_EQ(glyphsIn(-100.0f, 20.0f, 100.0f, -20.0f).size(), 5u);
    EXPECT_TRUE(glyphsIn(-400.0f, -260.0f, 400.0f, -300.0f).empty());
    game.flags.pauseMs = 8000.0f;
    device.reset();
    drawPauseText();
    EXPECT_TRUE(glyphsIn(-100.0f, 20.0f, 100.0f, -20.0f).empty()) << "gone after 7 s";
    EXPECT_FALSE(glyphsIn(-400.0f, -260.0f, 400.0f, -300.0f).empty());
}

TEST_F(HudDrawTest, MenuLabelTurnsYellowAndSwingsOnlyWhileItCanBeUsed) {
    game.hand.cursorCopy = Vec2{-340.0f, -28.0f};
    for (int i = 0; i < 20; ++i) {
        looksTick(10.0f);
    }
    EXPECT_GT(hudDraw.menuButtonSize, 13.5f);
    device.reset();
    drawHud();
    const auto menu = glyphsIn(-400.0f, -15.0f, -280.0f, -45.0f);
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_EQ(menu[0]->colour(0) & 0xFFFFFFu, 0xFFF03Cu);
    game.clock.elapsedMs = game.clock.timeLimitMs;
    looksTick(10.0f);
    EXPECT_FLOAT_EQ(hudDraw.menuButtonSize, 13.0f) << "no time left";
}

class TipBalloonTest : public HudTest {
protected:
    void showTip(bool blocking) {
        TipState& t = game.tips;
        t.tipShowing = true;
        t.tipWaitsForClick = blocking;
        t.tipText = textIndex("chainbtip");
        t.tipPosition = cellCentre(3, 4);
        t.tipDelayMs = -250.0f;
    }
};

TEST_F(TipBalloonTest, BalloonStandsTowardTheCentreAtAWobblingDistance) {
    BalloonLayout l;
    layoutBalloon("Short", Vec2{-100.0f, 0.0f}, 300.0f, false, 0.0f, l);
    EXPECT_TRUE(l.toRight);
    EXPECT_FLOAT_EQ(l.body.left, -100.0f + 1.3f * 64.0f);
    EXPECT_FLOAT_EQ(l.body.right - l.body.left, 5.0f * 11.0f + 64.0f);
    EXPECT_FLOAT_EQ(l.body.top - l.body.bottom, 64.0f);
    layoutBalloon("Short", Vec2{100.0f, 0.0f}, 300.0f, false, kPi / 2.0f / 0.01f, l);
    EXPECT_FALSE(l.toRight);
    EXPECT_NEAR(l.body.right, 100.0f - 1.4f * 64.0f, 1e-3f);
    // A long text wraps to the request minus 32 and the body stops at 300.
    char text[200];
    for (int i = 0; i < 199; ++i) {
        text[i] = i % 6 == 5 ? ' ' : 'a';
    }
    text[199] = 0;
    layoutBalloon(text, Vec2{-100.0f, 0.0f}, 300.0f, true, 0.0f, l);
    EXPECT_FLOAT_EQ(l.body.right - l.body.left, 300.0f);
    EXPECT_LE(l.textWidth, 268.0f);
    EXPECT_NEAR(l.body.top - l.body.bottom, l.textHeight + 32.0f + 44.8f, 1e-3f);
    EXPECT_FLOAT_EQ(l.button.right - l.button.left, 140.0f);
    EXPECT_FLOAT_EQ(l.button.top - l.button.bottom, 40.0f);
    EXPECT_GT(l.button.bottom, l.body.bottom);
    EXPECT_LT(l.button.top, l.body.top - l.textHeight);
}

TEST_F(TipBalloonTest, TipWaitsForItsDelayThenGrowsIn) {
    showTip(true);
    game.tips.tipDelayMs = 100.0f;
    looksTick(125.0f);
    drawTipBalloon();
    EXPECT_TRUE(device.draws.empty());
    game.tips.tipDelayMs = 0.0f;
    looksTick(125.0f);  // age 0
    looksTick(125.0f);  // age 125: half grown
    device.reset();
    drawTipBalloon();
    const BalloonLayout& l = balloon.layout;
    float lo = 1e9f;
    float hi = -1e9f;
    for (const DrawRecord* d : drawsWith("baloon.tga")) {
        for (int i = 0; i < d->vertexCount; ++i) {
            lo = std::fmin(lo, d->position(i).x);
            hi = std::fmax(hi, d->position(i).x);
        }
    }
    EXPECT_NEAR(hi - game.tips.tipPosition.x, (l.body.right - game.tips.tipPosition.x) * 0.5f,
                0.01f);
    EXPECT_GT(lo, game.tips.tipPosition.x);
    EXPECT_EQ(drawsWith("tip.tga").size(), 1u);
    EXPECT_EQ(drawsWith("button.tga").size(), 3u) << "caps and middle of the continue button";
}

TEST_F(TipBalloonTest, BlockingTipClosesOnlyOnItsButtonAfterTheDelay) {
    showTip(true);
    game.tips.tipDelayMs = -100.0f;
    looksTick(10.0f);
    const Rect b = balloon.layout.button;
    const float bx = (b.left + b.right) * 0.5f;
    const float by = (b.top + b.bottom) * 0.5f;
    onBoardClickAt(bx, by);
    EXPECT_TRUE(game.tips.tipShowing) << "too early";
    game.tips.tipDelayMs = -250.0f;
    onBoardClickAt(balloon.layout.body.left + 20.0f, balloon.layout.body.top - 20.0f);
    onBoardClickAt(bx, b.top + 3.0f);
    EXPECT_TRUE(game.tips.tipShowing) << "outside the button";
    EXPECT_FALSE(tipButtonHit(b.left - 1.0f, by));
    EXPECT_TRUE(tipButtonHit(b.left + 1.0f, by));
    clearQueue();
    onBoardClickAt(bx, by);
    EXPECT_FALSE(game.tips.tipShowing);
    EXPECT_EQ(timesPlayed("menu.ogg"), 1);
}

TEST_F(TipBalloonTest, ButtonHitNeedsNoDrawnBalloonAndAbsentTextsDoNotTrapThePlayer) {
    showTip(true);
    BalloonLayout l;
    layoutBalloon(currentTipText(), game.tips.tipPosition, kTipBalloonWidth, true, 0.0f, l);
    EXPECT_TRUE(tipButtonHit((l.button.left + l.button.right) * 0.5f, l.button.bottom + 2.0f));
    EXPECT_FALSE(tipButtonHit(l.body.left + 5.0f, l.body.top - 5.0f));
    game.tips.tipText = -1;
    std::snprintf(game.tips.tipKey, sizeof game.tips.tipKey, "missingkey");
    EXPECT_TRUE(tipButtonHit(0.0f, 0.0f));
    showTip(false);
    EXPECT_FALSE(tipButtonHit((l.button.left + l.button.right) * 0.5f, l.button.bottom + 2.0f));
}

// No heap allocation in any frame of the game screen, whatever it shows.

TEST_F(TipBalloonTest, NoFrameOfTheGameScreenAllocates) {
    game.tips.hintVisible = true;
    game.match.hintGroup.length = 3;
    showTip(true);
    for (int i = 0; i < 20; ++i) {
        addFloatingScore(0.0f, 0.0f, i);
    }
    game.scores.breaks[3] = TileBreak{cellCentre(1, 1), 1, Vec2{0.6f, 0.8f}, 10.0f};
    game.clock.elapsedMs = 50000.0f;
    startTimeBonus();
    game.scores.bonusPhaseMs = 2000.0f;
    addPopup("click", 0.0f, 0.0f, 10.0f, 2000.0f);
    addText("instructions", "How to play", 11);
    addText("treasuretip", "You hold one treasure in your hand. Click a figure to swap.", 59);

    NullDevice null;
    setRenderBackend(&null);
    applyDefaultStates();
    int allocations = 0;
    for (int state = 0; state < 6; ++state) {
        game.flags.paused = state == 1;
        game.flags.instructionsShown = state == 2 || state == 3;
        game.flags.instructionsOnly = state == 3;
        game.flags.stageComplete = state == 4;
        game.flags.stageMs = 8000.0f;
        game.flags.gameComplete = state == 5;
        looksTick(16.0f);
        gameplayDraw();
        demonstrationTick(16.0f);
        startCountingAllocations();
        for (int i = 0; i < 5; ++i) {
            textEffectsTick(16.0f);
            ageScorePieces(16.0f);
            demonstrationTick(16.0f);
            looksTick(16.0f);
            gameplayDraw();
        }
        allocations += stopCountingAllocations();
    }
    const int primitives = null.primitives;
    setRenderBackend(nullptr);
    device.install();
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(primitives, 1000);
}

}  // namespace
}  // namespace corsavel
