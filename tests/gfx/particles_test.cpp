#include "gfx/particles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

class ParticlesTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        clearEffects();
        looksRandom.seed(3);
        app.animationClockMs = 0.0f;
    }
    void TearDown() override {
        clearEffects();
        device.uninstall();
    }
    // A definition whose particles live 1 s with no spread at all.
    int32_t add(const char* name, float parfrequency, float effecttime = 0.0f) {
        EffectDef d;
        std::strncpy(d.name, name, kEffectNameSize - 1);
        d.parfrequency = parfrequency;
        d.effecttime = effecttime;
        d.partime = 1000.0f;
        d.radius0 = 10.0f;
        d.radius1 = 10.0f;
        EXPECT_TRUE(addEffectDef(d));
        return effectTable.count - 1;
    }
    RecordingDevice device;
};

// --- bursts and groups -----------------------------------------------------

TEST_F(ParticlesTest, BurstWithFractionalFrequencyEmitsThreeGroups) {
    add("burst", 2.5f);
    startEffect("burst", 0.0f, 0.0f);
    EXPECT_EQ(particlesAlive(), 3);
    EXPECT_EQ(emittersAlive(), 0);
}

TEST_F(ParticlesTest, SymmetricGroupSpawnsCopiesAroundTheOffset) {
    const int32_t i = add("ring", 1.0f);
    effectTable.defs[i].simetria = 4;
    effectTable.defs[i].polar[0] = 10.0f;
    startEffect("ring", 100.0f, 50.0f);
    ASSERT_EQ(particlesAlive(), 4);
    const Vec3 expected[4] = {{110, 50, 0}, {100, 60, 0}, {90, 50, 0}, {100, 40, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(effects.particles[k].position.x, expected[k].x, 1e-3f) << k;
        EXPECT_NEAR(effects.particles[k].position.y, expected[k].y, 1e-3f) << k;
    }
}

TEST_F(ParticlesTest, UnknownNameAndNegativeIndexDoNothing) {
    add("known", 1.0f);
    startEffect("unknown", 0.0f, 0.0f);
    startEffectAt(-1, Vec3{}, Vec3{}, 1.0f, -1);
    spawnParticle(Vec3{}, -1, 1.0f, -1);
    spawnParticle(Vec3{}, 5, 1.0f, -1);
    EXPECT_EQ(particlesAlive(), 0);
}

// --- rings -------------------------------------------------------------------

TEST_F(ParticlesTest, ParticleRingOverwritesItsOldest) {
    const int32_t i = add("dot", 1.0f);
    for (int k = 0; k < kMaxParticles + 1; ++k) {
        spawnParticle(Vec3{static_cast<float>(k), 0.0f, 0.0f}, i, 1.0f, -1);
    }
    EXPECT_EQ(particlesAlive(), kMaxParticles);
    EXPECT_FLOAT_EQ(effects.particles[0].position.x, static_cast<float>(kMaxParticles));
    EXPECT_EQ(effects.particleCursor, 1);
}

// Slots start zeroed: effect 0 with a nonzero effect time must not make
// every unused slot look like a running emitter.
TEST_F(ParticlesTest, SlotsNeverStartedStayInactive) {
    add("stream", 10.0f, 5000.0f);
    updateEffects(16.0f);
    EXPECT_EQ(emittersAlive(), 0);
    EXPECT_EQ(particlesAlive(), 0);
}

// --- emitters ----------------------------------------------------------------

TEST_F(ParticlesTest, EmitterCoversTheWayToItsTargetOverItsTime) {
    add("mover", 1.0f, 1000.0f);
    startEffect("mover", 0.0f, 0.0f, 100.0f, -50.0f);
    for (int k = 0; k < 50; ++k) {
        updateEffects(10.0f);
    }
    EXPECT_NEAR(effects.emitters[0].position.x, 50.0f, 1e-2f);
    EXPECT_NEAR(effects.emitters[0].position.y, -25.0f, 1e-2f);
    for (int k = 0; k < 50; ++k) {
        updateEffects(10.0f);
    }
    EXPECT_NEAR(effects.emitters[0].position.x, 100.0f, 1e-2f);
    EXPECT_EQ(emittersAlive(), 0);
}

TEST_F(ParticlesTest, EmitterWithoutTargetStaysAndEmitsAtItsRate) {
    add("fountain", 50.0f, 1000.0f);  // a group every 20 ms
    startEffect("fountain", 30.0f, 40.0f);
    for (int k = 0; k < 100; ++k) {
        updateEffects(10.0f);
    }
    EXPECT_FLOAT_EQ(effects.emitters[0].position.x, 30.0f);
    EXPECT_FLOAT_EQ(effects.emitters[0].position.y, 40.0f);
    EXPECT_NEAR(particlesAlive(), 50, 1);
}

// A data file can ask for an absurd rate or count; one step stays bounded.
TEST_F(ParticlesTest, AbsurdCountsFromAFileAreCapped) {
    const int32_t burst = add("huge", 1e30f);
    effectTable.defs[burst].simetria = 1 << 30;
    startEffect("huge", 0.0f, 0.0f);
    EXPECT_EQ(particlesAlive(), kMaxParticles);
    const int32_t stream = add("torrent", 1e30f, 1000.0f);
    effectTable.defs[stream].simetria = 1 << 30;
    startEffect("torrent", 0.0f, 0.0f);
    updateEffects(1e6f);
    EXPECT_LE(particlesAlive(), kMaxParticles);
    const int32_t copies = add("mirror", 1.0f);
    effectTable.defs[copies].simetriapar = 1 << 30;
    startEffect("mirror", 0.0f, 0.0f);
    drawEffects();
    int drawn = 0;
    for (const DrawRecord& r : device.draws) {
        drawn += r.primitiveCount / 2;
    }
    EXPECT_LE(drawn, kMaxParticleQuads);
}

// --- further effects ------------------------------------------------------------

TEST_F(ParticlesTest, EffectListingItselfDoesNotStartItselfAgain) {
    const int32_t i = add("selfish", 1.0f);
    std::strcpy(effectTable.defs[i].externalEffects[0], "selfish");
    startEffect("selfish", 0.0f, 0.0f);
    EXPECT_EQ(particlesAlive(), 1);
}

TEST_F(ParticlesTest, EffectsListingEachOtherAreHeldByTheRateLimit) {
    const int32_t a = add("ping", 1.0f);
    const int32_t b = add("pong", 1.0f);
    std::strcpy(effectTable.defs[a].externalEffects[0], "pong");
    std::strcpy(effectTable.defs[b].externalEffects[0], "ping");
    startEffect("ping", 0.0f, 0.0f);
    EXPECT_EQ(particlesAlive(), 1 + kExternalStartsPerWindow);
}

// The animation clock restarts at 0 with every level: the limit must open
// again instead of waiting for the old time to come back.
TEST_F(ParticlesTest, RateLimitRecoversWhenTheClockRestarts) {
    const int32_t a = add("main", 1.0f);
    add("extra", 1.0f);
    std::strcpy(effectTable.defs[a].externalEffects[0], "extra");
    app.animationClockMs = 50000.0f;
    for (int k = 0; k < 20; ++k) {
        startEffect("main", 0.0f, 0.0f);
    }
    const int32_t before = particlesAlive();
    EXPECT_EQ(before, 20 + kExternalStartsPerWindow);
    app.animationClockMs = 0.0f;
    startEffect("main", 0.0f, 0.0f);
    EXPECT_EQ(particlesAlive(), before + 2);
}

// --- looks -------------------------------------------------------------------------

TEST_F(ParticlesTest, HalfwayThroughItsLifeAParticleIsHalfTransparent) {
    const int32_t i = add("fade", 1.0f);
    effectTable.defs[i].color1[0] = 1.0f;
    effectTable.defs[i].color1[1] = 1.0f;
    effectTable.defs[i].color1[2] = 1.0f;
    startEffect("fade", 0.0f, 0.0f);
    updateEffects(500.0f);
    drawEffects();
    ASSERT_EQ(device.draws.size(), 1u);
    const uint32_t alpha = device.draws[0].colour(0) >> 24;
    EXPECT_NEAR(static_cast<int>(alpha), 127, 1);
}

TEST_F(ParticlesTest, StopAllEndsEverythingAndNothingIsDrawn) {
    add("stream", 100.0f, 5000.0f);
    startEffect("stream", 0.0f, 0.0f);
    updateEffects(100.0f);
    ASSERT_GT(particlesAlive(), 0);
    stopAllEffects();
    EXPECT_EQ(particlesAlive(), 0);
    EXPECT_EQ(emittersAlive(), 0);
    updateEffects(100.0f);
    EXPECT_EQ(particlesAlive(), 0);
    device.draws.clear();
    drawEffects();
    EXPECT_TRUE(device.draws.empty());
}

// A full ring is a handful of draws, one per run of a blend type, and the
// frame leaves the 2D states as it found them.
TEST_F(ParticlesTest, AFullRingDrawsInRunsOfOneBlendType) {
    const int32_t add0 = add("glow", 1.0f);
    const int32_t alpha = add("smoke", 1.0f);
    effectTable.defs[alpha].blendtype = 1;
    for (int k = 0; k < kMaxParticles; ++k) {
        spawnParticle(Vec3{}, k < 600 ? add0 : alpha, 1.0f, 3);
    }
    device.draws.clear();
    drawEffects();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].primitiveCount, 1200);
    EXPECT_EQ(device.draws[0].state(RenderState::DestBlend), kBlendOne);
    EXPECT_EQ(device.draws[1].state(RenderState::DestBlend), kBlendInvSrcAlpha);
    EXPECT_EQ(renderStateValue(RenderState::DestBlend), kBlendInvSrcAlpha);
    EXPECT_EQ(renderStateValue(RenderState::ZEnable), 0u);
}

// Alpha-blended squares are alpha-tested (a fragment of alpha 0 leaves the
// target as it was) and additive ones are not (they add their colour at any
// alpha); the alpha test's reference and function come back afterwards.
TEST_F(ParticlesTest, AlphaBlendedSquaresAloneAreAlphaTested) {
    const int32_t add0 = add("glow", 1.0f);
    const int32_t alpha = add("smoke", 1.0f);
    effectTable.defs[alpha].blendtype = 1;
    for (int32_t i : {add0, alpha, add0}) {
        spawnParticle(Vec3{}, i, 1.0f, 0);
    }
    setRenderState(RenderState::AlphaRef, 128);
    setRenderState(RenderState::AlphaFunc, kCompareGreater);
    device.draws.clear();
    drawEffects();
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_EQ(device.draws[0].state(RenderState::AlphaTestEnable), 0u);
    EXPECT_EQ(device.draws[0].state(RenderState::DestBlend), kBlendOne);
    const DrawRecord& smoke = device.draws[1];
    EXPECT_EQ(smoke.state(RenderState::DestBlend), kBlendInvSrcAlpha);
    EXPECT_EQ(smoke.state(RenderState::AlphaTestEnable), 1u);
    EXPECT_EQ(smoke.state(RenderState::AlphaRef), 1u);
    EXPECT_EQ(smoke.state(RenderState::AlphaFunc), kCompareGreaterEqual);
    EXPECT_EQ(device.draws[2].state(RenderState::AlphaTestEnable), 0u);
    EXPECT_EQ(renderStateValue(RenderState::AlphaRef), 128u);
    EXPECT_EQ(renderStateValue(RenderState::AlphaFunc), kCompareGreater);
    EXPECT_EQ(renderStateValue(RenderState::AlphaTestEnable), 1u);
}

// Squares no larger than their 64-texel atlas cell are sampled nearest and
// larger ones bilinear, in ring order; the frame ends bilinear again.
TEST_F(ParticlesTest, SquaresUpToTheirCellSizeAreSampledNearest) {
    TextureEntry atlas;
    atlas.width = 256;
    atlas.height = 256;
    atlas.texture = 7;
    effects.atlas = &atlas;
    effects.atlasColumns = 4;
    effects.atlasRows = 4;
    const int32_t small = add("small", 1.0f);
    const int32_t cell = add("cell", 1.0f);
    const int32_t large = add("large", 1.0f);
    effectTable.defs[cell].radius0 = effectTable.defs[cell].radius1 = 64.0f;
    effectTable.defs[large].radius0 = effectTable.defs[large].radius1 = 65.0f;
    for (int32_t i : {small, cell, large, large, small}) {
        spawnParticle(Vec3{}, i, 1.0f, 0);
    }
    enableFeature(7);
    device.draws.clear();
    drawEffects();
    effects.atlas = nullptr;
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_EQ(device.draws[0].primitiveCount, 4);
    EXPECT_EQ(device.draws[0].stage(StageState::MagFilter), kFilterPoint);
    EXPECT_EQ(device.draws[0].stage(StageState::MinFilter), kFilterPoint);
    EXPECT_EQ(device.draws[1].primitiveCount, 4);
    EXPECT_EQ(device.draws[1].stage(StageState::MagFilter), kFilterLinear);
    EXPECT_EQ(device.draws[2].primitiveCount, 2);
    EXPECT_EQ(device.draws[2].stage(StageState::MinFilter), kFilterPoint);
    EXPECT_EQ(stageStateValue(StageState::MagFilter), kFilterLinear);
    EXPECT_EQ(stageStateValue(StageState::MinFilter), kFilterLinear);
}

TEST_F(ParticlesTest, ParticlesDrawFromTheLooksGeneratorOnly) {
    const int32_t i = add("random", 20.0f);
    effectTable.defs[i].positiondev[0] = 50.0f;
    effectTable.defs[i].partimedev = 100.0f;
    rulesRandom.seed(11);
    RandomGenerator copy = rulesRandom;
    startEffect("random", 0.0f, 0.0f);
    EXPECT_EQ(rulesRandom.next(), copy.next());
    EXPECT_NE(effects.particles[0].position.x, effects.particles[1].position.x);
}

TEST(EffectParsing, KeysAbsentKeepPresetsAndSubstringKeysNeedTheirOrder) {
    EffectDef d;
    parseEffectDef(
        "rot=10\r\nrotdev=2\r\ndrot=30\r\ndrotdev=4\r\ncolor0=(0.5,0.25)\r\n"
        "lissx=(1,2,3,4,5)\r\nspeed=(1,2,3)\r\n",
        "bomb", &d);
    EXPECT_STREQ(d.name, "bomb");
    EXPECT_FLOAT_EQ(d.rot, 10.0f);
    EXPECT_FLOAT_EQ(d.rotdev, 2.0f);
    EXPECT_FLOAT_EQ(d.drot, 30.0f);
    EXPECT_FLOAT_EQ(d.drotdev, 4.0f);
    EXPECT_FLOAT_EQ(d.color0[0], 0.5f);
    EXPECT_FLOAT_EQ(d.color0[1], 0.25f);
    EXPECT_FLOAT_EQ(d.color0[2], 1.0f);  // preset kept
    EXPECT_FLOAT_EQ(d.lissx[2], 3.0f);
    EXPECT_FLOAT_EQ(d.lissy[0], 0.0f);  // a long list does not run into the next field
    EXPECT_FLOAT_EQ(d.speed[2], 3.0f);
    EXPECT_FLOAT_EQ(d.speeddev[0], 0.0f);
}

}  // namespace
}  // namespace corsavel
