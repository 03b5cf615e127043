// Drawing the game screen changes nothing but the device and the frame's
// vertices: in every situation of play, two frames drawn after one update
// leave the game, the looks, the text effects, the balloon, the bolts, the
// request and sound queues and both random generators exactly as they were,
// and come out the same. So a frame drawn or not plays the same game.

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "hud_fixture.h"

namespace corsavel {
namespace {

// The raw bytes of every state a frame could touch, by name.
struct Snapshot {
    std::vector<std::string> names;
    std::vector<std::vector<uint8_t>> parts;

    template <typename T>
    void add(const char* name, const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        std::vector<uint8_t> bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        names.push_back(name);
        parts.push_back(std::move(bytes));
    }
};

Snapshot takeSnapshot() {
    Snapshot s;
    s.add("game", game);
    s.add("session", session);
    s.add("app", app);
    s.add("boardDraw", boardDraw);
    s.add("hudDraw", hudDraw);
    s.add("textEffects", textEffects);
    s.add("balloon", balloon);
    s.add("boltState", boltState);
    s.add("demo", demo);
    s.add("gameRequests", gameRequests);
    s.add("audio.queue", audio.queue);
    s.add("rulesRandom", rulesRandom);
    s.add("looksRandom", looksRandom);
    return s;
}

class DrawKeepsStateTest : public HudTest {
protected:
    void SetUp() override {
        HudTest::SetUp();
        boardDraw = BoardDrawState{};
        looksRandom.seed(99);
        addText("relaxtip", "Take your time.", 15);
        addText("keytoresume", "Press a key", 11);
        addText("instructions", "How to play", 11);
        addText("treasuretip", "Hold one treasure.", 18);
        addText("congratulations", "Well done", 9);
    }

    // What the game screen's update does, frame by frame.
    static void update(int frames) {
        for (int i = 0; i < frames; ++i) {
            textEffectsTick(16.0f);
            gameplayUpdateStep(16.0f);
        }
    }

    // Two frames drawn into the recording device: neither changes any state
    // and both submit the same vertices.
    void expectDrawingChangesNothing(const char* situation) {
        const Snapshot before = takeSnapshot();
        device.reset();
        gameplayDraw();
        const std::vector<DrawRecord> first = device.draws;
        device.reset();
        gameplayDraw();
        const Snapshot after = takeSnapshot();
        for (size_t i = 0; i < before.parts.size(); ++i) {
            EXPECT_TRUE(before.parts[i] == after.parts[i])
                << situation << ": drawing changed " << before.names[i];
        }
        EXPECT_GT(first.size(), 10u) << situation << ": hardly anything was drawn";
        ASSERT_EQ(device.draws.size(), first.size()) << situation;
        for (size_t i = 0; i < first.size(); ++i) {
            EXPECT_TRUE(device.draws[i].vertices == first[i].vertices)
                << situation << ": draw " << i << " differs";
            EXPECT_EQ(device.draws[i].texture, first[i].texture) << situation << ": draw " << i;
        }
    }

    int liveFlyers() const {
        int n = 0;
        for (const Flyer& f : game.flyers.flyers) {
            n += f.slot > 0 ? 1 : 0;
        }
        return n;
    }
};

TEST_F(DrawKeepsStateTest, BusyCascadeWithFlyersBlastsAndLightningArcs) {
    // Coins across row 5 with a bomb among them; the hand's coin completes
    // the line at (5, 4). A lightning figure elsewhere crackles.
    for (int c = 1; c <= 3; ++c) {
        put(5, c, 0);
        cell(5, c).layers = 1;
    }
    cell(5, 2).figure.bonus = kBomb;
    cell(8, 8).figure.bonus = kLightning;
    cell(2, 9).figure.bonus = kCrossBomb;
    game.clock.timeLimitMs = 60000.0f;
    game.hand.cursor = game.hand.cursorCopy = cellCentre(4, 5);
    onBoardClickAt(cellCentre(4, 5).x, cellCentre(4, 5).y);
    ASSERT_TRUE(game.match.playerMove);
    update(2);
    expectDrawingChangesNothing("the swap");
    // The bomb's blast holds the clearing back; then the flyers set off.
    for (int i = 0; i < 300 && liveFlyers() == 0; ++i) {
        update(1);
    }
    update(5);
    ASSERT_GT(liveFlyers(), 0);
    ASSERT_GT(boltState.count, 0);
    expectDrawingChangesNothing("the cascade");
    update(30);
    expectDrawingChangesNothing("later in the cascade");
}

TEST_F(DrawKeepsStateTest, LightningBeams) {
    cell(5, 5).figure.bonus = kLightning;
    cell(5, 5).removal = 1;
    queueBonusBlasts(0);
    update(3);
    ASSERT_GT(game.blasts.beamCount, 1);
    expectDrawingChangesNothing("lightning beams");
}

TEST_F(DrawKeepsStateTest, CelebrationAndItsTimeBonus) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 20000.0f;
    for (auto& row : game.board.cells) {
        for (Cell& c : row) {
            c.layers = 0;
        }
    }
    addFloatingScore(0.0f, 0.0f, 120);
    update(1);
    ASSERT_TRUE(game.flags.levelWon);
    ASSERT_TRUE(game.scores.timeBonusPhase);
    update(120);
    expectDrawingChangesNothing("the time bonus counting");
    update(160);
    expectDrawingChangesNothing("the whoop and the figures springing out");
    update(130);
    ASSERT_TRUE(game.scores.bonusFinished);
    expectDrawingChangesNothing("the figures raining");
}

TEST_F(DrawKeepsStateTest, FuseInItsLastSecondsAndThePause) {
    game.clock.timeLimitMs = 60000.0f;
    game.clock.elapsedMs = 50000.0f;
    update(2);
    expectDrawingChangesNothing("the fuse darkening the scene");
    game.flags.paused = true;
    update(400);
    expectDrawingChangesNothing("the pause");
}

TEST_F(DrawKeepsStateTest, InstructionsOverlay) {
    game.flags.instructionsShown = true;
    prepareDemonstration();
    update(100);
    expectDrawingChangesNothing("the demonstration with its click popup");
    game.flags.instructionsOnly = true;
    update(150);
    expectDrawingChangesNothing("the overlay from the main menu");
}

TEST_F(DrawKeepsStateTest, BlockingTip) {
    session.currentLevel = 6;
    profile.tipRelaxShown = 0;
    offerTip(-250.0f, 100.0f, "relaxtip", 0.0f, true);
    ASSERT_TRUE(tipBlocks());
    update(10);
    ASSERT_TRUE(balloon.visible);
    expectDrawingChangesNothing("a blocking tip");
}

TEST_F(DrawKeepsStateTest, StageAndGameComplete) {
    game.flags.stageComplete = true;
    game.flags.stageMs = 7000.0f;
    update(5);
    expectDrawingChangesNothing("the stage screen");
    game.flags.stageComplete = false;
    game.flags.gameComplete = true;
    loadGameCompletePicture();
    update(20);
    expectDrawingChangesNothing("the game complete");
}

}  // namespace
}  // namespace corsavel
