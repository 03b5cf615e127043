// The dancers' sequencing with the forged dances: each dance of a sequence
// cross-fades into the next shortly before it ends, the sequence starts over
// at its end, bad numbers from a level file fall back, and a frame of ten
// dancers ticked and drawn allocates nothing and changes no game state.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "game/dancers.h"
#include "game/game_state.h"
#include "gfx/animation.h"
#include "gfx/character.h"
#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

class DancersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dir = std::getenv("CORSAVEL_BINARY_DIR");
        const std::string data = std::string(dir != nullptr ? dir : ".") + "/Data";
        char previous[4096];
        if (access((data + "/models/skelet.chr").c_str(), R_OK) != 0 ||
            getcwd(previous, sizeof previous) == nullptr || chdir(data.c_str()) != 0) {
            return;
        }
        device().install();
        loadDancers();
        EXPECT_EQ(chdir(previous), 0);
    }
    static void TearDownTestSuite() {
        freeDancers();
        freeSceneObjectLibrary();
        freeMeshLibrary();
        releaseAllTextures();
        device().uninstall();
    }
    static RecordingDevice& device() {
        static RecordingDevice d;
        return d;
    }
    void SetUp() override {
        if (!characterSetLoaded()) {
            GTEST_SKIP() << "no forged Data folder";
        }
        game = GameState{};
    }
    void TearDown() override { game = GameState{}; }

    static Dancer dancerWith(std::initializer_list<int> dances) {
        Dancer d;
        std::fill(std::begin(d.sequence), std::end(d.sequence), 0);
        int i = 0;
        for (int n : dances) {
            d.sequence[i++] = n;
        }
        d.sequence[i] = -1;
        return d;
    }
    // Ticks until the dancer starts blending, at most `limit` frames.
    static int ticksUntilBlend(Dancer& d, float step, int limit = 2000) {
        int frames = 0;
        while (!d.clock.blending && frames < limit) {
            tickDancer(d, step);
            ++frames;
        }
        return frames;
    }
};

TEST_F(DancersTest, EveryDanceAndHatIsLoadedForEverySlotAndKind) {
    for (int dance = 0; dance < kDanceCount; ++dance) {
        ASSERT_NE(danceAnimation(dance), nullptr) << dance;
        EXPECT_GT(danceAnimation(dance)->durationMs, 600.0f);
    }
    for (int hat = 0; hat < kHatCount; ++hat) {
        EXPECT_NE(hatObject(hat), nullptr) << hat;
    }
    for (int slot = 0; slot < kCharacterSlots; ++slot) {
        for (int kind = 0; kind < kCharacterKinds; ++kind) {
            const Character* c = characterFor(slot, kind);
            ASSERT_NE(c, nullptr);
            EXPECT_GE(c->headBone, 0);
            EXPECT_TRUE(animationFits(danceAnimation(0), *c->mesh));
        }
    }
    EXPECT_EQ(danceAnimation(16), nullptr);
    EXPECT_EQ(characterFor(10, 0), nullptr);
}

TEST_F(DancersTest, DancesFollowTheSequenceAndStartOverAtItsEnd) {
    Dancer d = dancerWith({3, 5});
    tickDancer(d, 16.0f);
    EXPECT_EQ(d.clock.current, danceAnimation(3));
    ticksUntilBlend(d, 16.0f);
    ASSERT_TRUE(d.clock.blending);
    // The fade starts once the time passes the duration minus 300 ms.
    EXPECT_GT(d.clock.timeMs + 16.0f, danceAnimation(3)->durationMs - kDanceBlendMs);
    EXPECT_EQ(d.sequenceIndex, 1);
    EXPECT_EQ(d.dance, 5);
    EXPECT_EQ(d.clock.next, danceAnimation(5));
    EXPECT_FLOAT_EQ(d.clock.blendDurationMs, kDanceBlendMs);
    while (d.clock.blending) {
        tickDancer(d, 16.0f);
    }
    EXPECT_EQ(d.clock.current, danceAnimation(5));
    // At the -1 the sequence returns to its first dance.
    ticksUntilBlend(d, 16.0f);
    EXPECT_EQ(d.sequenceIndex, 0);
    EXPECT_EQ(d.dance, 3);
}

TEST_F(DancersTest, NumbersThatAreNoDanceEndTheSequence) {
    Dancer d = dancerWith({2, 99, 4});
    ticksUntilBlend(d, 16.0f);
    EXPECT_EQ(d.sequenceIndex, 0);
    EXPECT_EQ(d.dance, 2);
    // A sequence with no dance at all plays dance 0.
    Dancer none = dancerWith({});
    none.sequence[0] = 77;
    tickDancer(none, 16.0f);
    EXPECT_EQ(none.clock.current, danceAnimation(0));
    EXPECT_EQ(danceAt(none, 64), -1);
    EXPECT_EQ(danceAt(none, -1), -1);
}

TEST_F(DancersTest, OpeningJumpSplitsFadeQuickly) {
    Dancer d = dancerWith({14, 14, 2});
    ticksUntilBlend(d, 10.0f);
    EXPECT_FLOAT_EQ(d.clock.blendDurationMs, kJumpSplitBlendMs);
    EXPECT_GT(d.clock.timeMs + 10.0f, danceAnimation(14)->durationMs - kJumpSplitBlendMs);
}

TEST_F(DancersTest, FirstDanceStartsAtTheStartOffset) {
    Dancer d = dancerWith({1});
    d.startOffsetMs = 250.0f;
    tickDancer(d, 0.0f);
    EXPECT_FLOAT_EQ(d.clock.timeMs, 250.0f);
    Dancer late = dancerWith({1});
    late.startOffsetMs = danceAnimation(1)->durationMs * 3.0f + 40.0f;
    tickDancer(late, 0.0f);
    EXPECT_NEAR(late.clock.timeMs, 40.0f, 0.01f);
}

TEST_F(DancersTest, ModelNumbersOutsideTheKindsUseTheWholeSkeleton) {
    Dancer d;
    d.model = 7;
    EXPECT_EQ(dancerKind(d), 0);
    d.model = -2;
    EXPECT_EQ(dancerKind(d), 0);
    d.model = 3;
    EXPECT_EQ(dancerKind(d), 3);
}

TEST_F(DancersTest, TenDancersTickAndDrawWithoutAllocatingOrChangingTheGame) {
    game.level.dancerCount = kMaxDancers;
    for (int i = 0; i < kMaxDancers; ++i) {
        Dancer& d = game.level.dancers[i];
        d = dancerWith({i, (i + 5) % 16, 13});
        d.x = -320.0f + 64.0f * i;
        d.hat = i % 2 ? i : 40 + i;  // every other hat number is out of range
        d.model = i % 4;
    }
    game.level.dancerCameraDepth = -700.0f;
    for (int f = 0; f < 5; ++f) {
        dancersTick(16.0f);
    }
    device().reset();
    startCountingAllocations();
    for (int f = 0; f < 20; ++f) {
        dancersTick(16.0f);
    }
    const int tickAllocations = stopCountingAllocations();
    EXPECT_EQ(tickAllocations, 0);

    const uint32_t lighting = renderStateValue(RenderState::Lighting);
    const uint32_t depth = renderStateValue(RenderState::ZEnable);
    std::vector<uint8_t> before(sizeof game);
    std::memcpy(before.data(), &game, sizeof game);
    drawDancers();
    EXPECT_EQ(std::memcmp(before.data(), &game, sizeof game), 0);
    // One draw per skeleton, one more per mesh of each hat in range.
    int skeletons = 0;
    for (const DrawRecord& r : device().draws) {
        skeletons += r.buffers != 0 &&
                     r.formatFlags == (kFormatPosition | kFormatNormal | kFormatTex1) &&
                     r.state(RenderState::Lighting) != 0;
    }
    EXPECT_GE(skeletons, kMaxDancers + kMaxDancers / 2);
    // The closed skeletons drop their back faces; the hats keep both sides
    // (a brim seen from below).
    int culled = 0;
    int hats = 0;
    for (const DrawRecord& r : device().draws) {
        if (r.buffers == 0) {
            continue;
        }
        bool skeleton = false;
        for (int i = 0; i < kMaxDancers; ++i) {
            const Character* c = characterFor(i, dancerKind(game.level.dancers[i]));
            skeleton = skeleton || (c != nullptr && c->buffers.buffers == r.buffers);
        }
        if (skeleton) {
            EXPECT_EQ(r.state(RenderState::CullMode), kCullCounterClockwise);
            ++culled;
        } else {
            EXPECT_EQ(r.state(RenderState::CullMode), kCullNone);
            ++hats;
        }
    }
    EXPECT_EQ(culled, kMaxDancers);
    EXPECT_GT(hats, 0);
    // The 2D drawing after the dancers finds its states as they were.
    EXPECT_EQ(renderStateValue(RenderState::Lighting), lighting);
    EXPECT_EQ(renderStateValue(RenderState::ZEnable), depth);
}

}  // namespace
}  // namespace corsavel
