#include <cstring>

#include "hud_fixture.h"
#include "platform/virtual_keys.h"

namespace corsavel {
namespace {

bool anyLine(const DemoBoard& b) {
    for (int r = 0; r < kDemoSize; ++r) {
        for (int c = 0; c < kDemoSize; ++c) {
            bool line[kDemoSize][kDemoSize] = {};
            if (demoLineThrough(b, r, c, line)) {
                return true;
            }
        }
    }
    return false;
}

int popupsSaying(const char* text) {
    int n = 0;
    for (const Popup& p : textEffects.popups) {
        n += p.life > 0.0f && std::strcmp(p.text, text) == 0 ? 1 : 0;
    }
    return n;
}

class InstructionsTest : public HudTest {
protected:
    // Ticks until both boards are done (or the limit), returning the time.
    float runUntilBothDone(float limitMs = 20000.0f) {
        float t = 0.0f;
        while (t < limitMs && !(demo.boards[0].phase == DemoPhase::Done &&
                                demo.boards[1].phase == DemoPhase::Done)) {
            demonstrationTick(10.0f);
            t += 10.0f;
        }
        return t;
    }
};

// The script teaches what it should: the boards start without lines, the
// hand's move makes exactly one line of three, and the right board's line
// lies on layered tiles.
TEST_F(InstructionsTest, ScriptedMovesEachMakeOneLineOfThree) {
    prepareDemonstration();
    for (int i = 0; i < kDemoBoardCount; ++i) {
        DemoBoard b = demo.boards[i];
        EXPECT_FALSE(anyLine(b)) << i;
        const DemoScript& s = demoScript(i);
        b.cells[s.row][s.column].kind = s.held;
        bool line[kDemoSize][kDemoSize] = {};
        ASSERT_TRUE(demoLineThrough(b, s.row, s.column, line)) << i;
        int cells = 0;
        int layered = 0;
        for (int r = 0; r < kDemoSize; ++r) {
            for (int c = 0; c < kDemoSize; ++c) {
                cells += line[r][c] ? 1 : 0;
                layered += line[r][c] && b.cells[r][c].layers > 0 ? 1 : 0;
            }
        }
        EXPECT_EQ(cells, 3) << i;
        EXPECT_EQ(layered, i == 1 ? 3 : 0) << i;
    }
}

TEST_F(InstructionsTest, BoardsPlayTheirMoveClearRefillAndLoop) {
    prepareDemonstration();
    const DemoState start = demo;
    const float done = runUntilBothDone();
    ASSERT_LT(done, 20000.0f);
    EXPECT_EQ(popupsSaying("click"), 2);
    for (int i = 0; i < kDemoBoardCount; ++i) {
        const DemoBoard& b = demo.boards[i];
        EXPECT_FALSE(anyLine(b)) << i;
        for (int r = 0; r < kDemoSize; ++r) {
            for (int c = 0; c < kDemoSize; ++c) {
                EXPECT_GE(b.cells[r][c].kind, 0) << i << " " << r << "," << c;
                EXPECT_FLOAT_EQ(b.cells[r][c].offset.y, 0.0f);
                EXPECT_EQ(b.cells[r][c].layers, 0) << "layer taken by the line";
            }
        }
        // The hand went home holding the figure it swapped out.
        const DemoScript& s = demoScript(i);
        EXPECT_EQ(b.held, s.figures[s.row][s.column]);
        EXPECT_FLOAT_EQ(b.hand.x, demoHandRest(i).x);
    }
    int pieces = 0;
    for (const DemoPiece& p : demo.boards[1].pieces) {
        pieces += p.layers > 0 ? 1 : 0;
    }
    EXPECT_EQ(pieces, 3);

    // 500 ms later the boards fade out, the script starts over, and they
    // fade back in.
    for (int i = 0; i < 49; ++i) {
        demonstrationTick(10.0f);
    }
    EXPECT_FLOAT_EQ(demo.alpha, 255.0f);
    float lowest = 255.0f;
    for (int i = 0; i < 60 && demo.loops == 0; ++i) {
        demonstrationTick(10.0f);
        lowest = std::fmin(lowest, demo.alpha);
    }
    EXPECT_EQ(demo.loops, 1);
    EXPECT_FLOAT_EQ(demo.alpha, 0.0f);
    EXPECT_LT(lowest, 20.0f);
    for (int i = 0; i < kDemoBoardCount; ++i) {
        for (int r = 0; r < kDemoSize; ++r) {
            for (int c = 0; c < kDemoSize; ++c) {
                EXPECT_EQ(demo.boards[i].cells[r][c].kind, start.boards[i].cells[r][c].kind);
                EXPECT_EQ(demo.boards[i].cells[r][c].layers, start.boards[i].cells[r][c].layers);
            }
        }
        EXPECT_EQ(demo.boards[i].held, start.boards[i].held);
    }
    for (int i = 0; i < 40; ++i) {
        demonstrationTick(10.0f);
    }
    EXPECT_FLOAT_EQ(demo.alpha, 255.0f);
    EXPECT_NEAR(runUntilBothDone() + 400.0f, done, 20.0f) << "the second round takes as long";
}

TEST_F(InstructionsTest, OkButtonOrAKeyClosesAndFromTheMainMenuReturnsToIt) {
    game.flags.instructionsShown = true;
    onBoardClickAt(200.0f, -170.0f);
    EXPECT_TRUE(game.flags.instructionsShown);
    onBoardClickAt(90.0f, -140.0f);
    EXPECT_FALSE(game.flags.instructionsShown);
    EXPECT_EQ(countRequests(takeRequests(), GameRequestKind::ReturnToMenus), 0);

    game.flags.instructionsShown = true;
    game.flags.instructionsOnly = true;
    onBoardKey('A');
    EXPECT_FALSE(game.flags.instructionsShown);
    EXPECT_FALSE(game.flags.instructionsOnly);
    EXPECT_EQ(countRequests(takeRequests(), GameRequestKind::ReturnToMenus), 1);
}

TEST_F(InstructionsTest, TheFrameStepDrivesTheDemonstration) {
    game.flags.instructionsShown = true;
    prepareDemonstration();
    gameplayUpdateStep(500.0f);
    EXPECT_EQ(demo.boards[0].phase, DemoPhase::Approach);
    EXPECT_EQ(demo.boards[1].phase, DemoPhase::Waiting);
}

TEST_F(InstructionsTest, OverlayDrawsPanelTextBoardsHandsAndButton) {
    addText("instructions", "How to play", 11);
    addText("treasuretip", "Hold one treasure.", 18);
    game.flags.instructionsShown = true;
    prepareDemonstration();
    gameplayDraw();
    EXPECT_TRUE(drawsWith("gamebar.tga").size() == 1u) << "the panel of the level beneath";
    EXPECT_EQ(drawsWith("white.jpg").size(), 1u);
    EXPECT_EQ(glyphsIn(-200.0f, 235.0f, 260.0f, 205.0f).size(), 11u) << "title";
    EXPECT_EQ(glyphsIn(-200.0f, 190.0f, 30.0f, 170.0f).size(), 18u) << "left column";
    int tiles = 0;
    for (const char* t : {"field\\field0.tga", "field\\field1.tga", "field\\field4.tga"}) {
        tiles += static_cast<int>(drawsWith(t).size());
    }
    EXPECT_EQ(tiles, 2 * kDemoSize * kDemoSize);
    EXPECT_EQ(drawsWith("cursor.tga").size(), 2u);
    EXPECT_EQ(drawsWith("button.tga").size(), 3u);
    EXPECT_EQ(glyphsIn(-35.0f, -138.0f, 95.0f, -202.0f).size(), 2u) << "OK";

    game.flags.instructionsOnly = true;
    device.reset();
    gameplayDraw();
    EXPECT_TRUE(drawsWith("gamebar.tga").empty()) << "no level from the main menu";
}

}  // namespace
}  // namespace corsavel
