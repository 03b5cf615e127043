#include <gtest/gtest.h>

#include "audio/audio.h"
#include "audio/openal_output.h"
#include "audio_capture.h"
#include "ogg_fixture.h"

namespace corsavel {
namespace {

using test::playFor;
using test::rmsOf;
using test::toneHz;

// The real OpenAL Soft output on a loopback device: what it mixes is read
// back and measured.
class OpenAlOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        out.setCaptureMode(true);
        setAudioOutput(&out);
        resetAudio();
        audio.effectsVolume = 100;
        audio.musicVolume = 100;
        ASSERT_TRUE(initAudio());
    }
    void TearDown() override {
        shutdownAudio();
        setAudioOutput(nullptr);
    }
    void addTone(const char* name, float hz, float seconds, int rate) {
        const std::vector<uint8_t> ogg = test::sineOgg(hz, seconds, rate);
        const uint32_t handle = out.loadSample(ogg.data(), static_cast<int32_t>(ogg.size()));
        ASSERT_NE(handle, 0u);
        ASSERT_TRUE(addSample(name, handle));
    }
    OpenAlOutput out;
};

TEST_F(OpenAlOutputTest, ComboOfChainThreeSoundsHigherThanChainOne) {
    addTone("combo.ogg", 441.0f, 1.0f, 44100);
    playSoundEx("combo.ogg", Vec3{}, 0, 42600 + 1500 * 1);
    const double chainOne = toneHz(playFor(out, 160));
    playFor(out, 1000);
    playSoundEx("combo.ogg", Vec3{}, 0, 42600 + 1500 * 3);
    const double chainThree = toneHz(playFor(out, 160));
    EXPECT_NEAR(chainOne, 441.0 * 44100.0 / 44100.0, 441.0 * 0.03);
    EXPECT_NEAR(chainThree / chainOne, 47100.0 / 44100.0, 0.02);
    EXPECT_NEAR(out.lastPitch(audio.bank.entries[0].sample), 47100.0f / 44100.0f, 1e-4f);
}

TEST_F(OpenAlOutputTest, VoiceLineAt22050PlaysAtItsOwnPitch) {
    addTone("ohno.ogg", 300.0f, 0.5f, 22050);
    playSoundEx("ohno.ogg", Vec3{}, 0, 22050);
    EXPECT_NEAR(toneHz(playFor(out, 160)), 300.0, 9.0);
    playFor(out, 600);
    // Played at the default 44100 Hz the same sample would be an octave up.
    playSound("ohno.ogg");
    EXPECT_NEAR(toneHz(playFor(out, 160)), 600.0, 18.0);
}

TEST_F(OpenAlOutputTest, EffectsVolumeScalesEverySampleSource) {
    addTone("menu.ogg", 500.0f, 0.5f, 44100);
    playSound("menu.ogg");
    const double full = rmsOf(playFor(out, 100));
    playFor(out, 600);
    audio.effectsVolume = 50;
    applyVolumes();
    playSound("menu.ogg");
    const double half = rmsOf(playFor(out, 100));
    playFor(out, 600);
    audio.effectsVolume = 0;
    applyVolumes();
    playSound("menu.ogg");
    const double none = rmsOf(playFor(out, 100));
    EXPECT_GT(full, 0.05);
    EXPECT_NEAR(half / full, 0.5, 0.05);
    EXPECT_EQ(none, 0.0);
}

TEST_F(OpenAlOutputTest, WindowPauseAndGameplayPauseSilenceEverything) {
    addTone("zep.ogg", 400.0f, 3.0f, 44100);
    playSound("zep.ogg");
    EXPECT_GT(rmsOf(playFor(out, 100)), 0.05);
    // OpenAL fades a paused source out over one mix to avoid a click; after
    // that nothing is heard.
    pauseAudio();
    playFor(out, 16, false);
    EXPECT_EQ(rmsOf(playFor(out, 200, false)), 0.0);
    resumeAudio();
    EXPECT_GT(rmsOf(playFor(out, 100)), 0.05);
    // The gameplay pause holds the output for as long as it is asked for
    // each frame; a sound asked for meanwhile does not start later.
    for (int i = 0; i < 10; ++i) {
        holdAudioThisFrame();
        updateAudio(16.0f);
        std::vector<int16_t> frame(706 * 2);
        out.renderCapture(frame.data(), 706);
        if (i > 0) {
            EXPECT_EQ(rmsOf(frame), 0.0);
        }
    }
    EXPECT_GT(rmsOf(playFor(out, 100)), 0.05);
    EXPECT_EQ(out.playingSources(), 1);
}

TEST_F(OpenAlOutputTest, RefusedSampleQueuesButPlaysNothingAndTheSlotFrees) {
    const uint8_t junk[100] = {1, 2, 3};
    const uint32_t handle = out.loadSample(junk, sizeof junk);
    EXPECT_EQ(handle, 0u);
    ASSERT_TRUE(addSample("boxhit.ogg", handle));
    playSound("boxhit.ogg");
    EXPECT_EQ(rmsOf(playFor(out, 50)), 0.0);
    EXPECT_EQ(audio.queue.slots[0].state, 0);
}

TEST_F(OpenAlOutputTest, MoreVoicesThanSourcesReuseTheOldestAndItsHandleGoesStale) {
    addTone("bomb1.ogg", 200.0f, 2.0f, 44100);
    const uint32_t sample = audio.bank.entries[0].sample;
    const uint32_t first = out.playSample(sample, 44100, -1, -101, false);
    for (int i = 0; i < kEffectSources - 1; ++i) {
        out.playSample(sample, 44100, -1, -101, false);
    }
    EXPECT_TRUE(out.isChannelActive(first));
    EXPECT_EQ(out.playingSources(), kEffectSources);
    const uint32_t extra = out.playSample(sample, 44100, -1, -101, false);
    EXPECT_NE(extra, first);
    EXPECT_FALSE(out.isChannelActive(first));
    EXPECT_TRUE(out.isChannelActive(extra));
}

TEST_F(OpenAlOutputTest, SoundsEndAndFreeTheirSlots) {
    addTone("menu2.ogg", 800.0f, 0.1f, 44100);
    playSound("menu2.ogg");
    playFor(out, 32);
    EXPECT_EQ(audio.queue.slots[0].state, 1);
    EXPECT_EQ(audio.soundsStarted, 1u);
    playFor(out, 300);
    EXPECT_EQ(audio.queue.slots[0].state, 0);
    EXPECT_EQ(out.playingSources(), 0);
}

}  // namespace
}  // namespace corsavel
