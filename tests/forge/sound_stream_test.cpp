#include <gtest/gtest.h>

#include "audio/audio.h"
#include "audio/audio_capture.h"
#include "audio/openal_output.h"
#include "forge/sound_forge.h"

namespace corsavel {
namespace {

using test::playFor;
using test::rmsOf;

// The forged module streamed through the OpenAL output's loopback device.
class MusicStream : public ::testing::Test {
protected:
    void SetUp() override {
        out.setCaptureMode(true);
        setAudioOutput(&out);
        resetAudio();
        audio.musicVolume = 100;
        audio.effectsVolume = 100;
        ASSERT_TRUE(initAudio());
        const std::vector<uint8_t> bytes = forge::forgeMusicModule();
        audio.music.module = out.loadMusic(bytes.data(), static_cast<int32_t>(bytes.size()));
        ASSERT_NE(audio.music.module, 0u);
    }
    void TearDown() override {
        shutdownAudio();
        setAudioOutput(nullptr);
    }
    OpenAlOutput out;
};

// The longest run of exact silence in the left channel, in frames.
size_t longestSilence(const std::vector<int16_t>& s) {
    size_t best = 0;
    size_t run = 0;
    for (size_t i = 0; i < s.size(); i += 2) {
        run = s[i] == 0 ? run + 1 : 0;
        best = run > best ? run : best;
    }
    return best;
}

TEST_F(MusicStream, AFrameHitchOfAQuarterSecondDoesNotStarveTheMusic) {
    switchMusic(4);
    playFor(out, 500);
    // No update for 250 ms: the queued buffers carry the music.
    const std::vector<int16_t> hitch = playFor(out, 250, false);
    EXPECT_GT(rmsOf(hitch), 0.01);
    EXPECT_LT(longestSilence(hitch), 441u);
    const std::vector<int16_t> after = playFor(out, 500);
    EXPECT_LT(longestSilence(after), 441u);
    EXPECT_TRUE(out.musicPlaying());
}

TEST_F(MusicStream, MusicVolumeZeroSilencesTheMusicButNotTheEffects) {
    forge::Wave w = forge::tone(0.5f, 500.0f, 500.0f, 0);
    const std::vector<uint8_t> ogg = forge::encodeOgg(w, forge::kSynthRate, 1);
    ASSERT_TRUE(
        addSample("menu.ogg", out.loadSample(ogg.data(), static_cast<int32_t>(ogg.size()))));
    switchMusic(0);
    EXPECT_GT(rmsOf(playFor(out, 300)), 0.01);
    audio.musicVolume = 0;
    applyVolumes();
    playFor(out, 32);
    EXPECT_EQ(rmsOf(playFor(out, 300)), 0.0);
    playSound("menu.ogg");
    EXPECT_GT(rmsOf(playFor(out, 200)), 0.05);
}

TEST_F(MusicStream, ARequestFadesTheTuneOutThenStartsTheNewOne) {
    switchMusic(4);
    playFor(out, 300);
    const double before = rmsOf(playFor(out, 200));
    requestMusic(5);
    playFor(out, 592);
    const double nearEnd = rmsOf(playFor(out, 192));
    EXPECT_LT(nearEnd, before * 0.35);
    playFor(out, 48);
    EXPECT_EQ(audio.music.volume, 100);
    EXPECT_GT(rmsOf(playFor(out, 400)), before * 0.4);
}

}  // namespace
}  // namespace corsavel
