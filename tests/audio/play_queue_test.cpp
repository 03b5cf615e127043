#include <gtest/gtest.h>

#include "audio/audio.h"

namespace corsavel {
namespace {

class PlayQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        setAudioOutput(nullptr);
        resetAudio();
        addSample("combo.ogg", 11);
        addSample("unmove.ogg", 12);
    }
};

int countRequested(uint32_t sample) {
    int n = 0;
    for (const PlaySlot& s : audio.queue.slots) {
        n += (s.state == -1 && s.sample == sample) ? 1 : 0;
    }
    return n;
}

TEST_F(PlayQueueTest, CooldownKeepsOneRequestPerFrame) {
    playSound("combo.ogg");
    playSound("combo.ogg");
    EXPECT_EQ(countRequested(11), 1);
    updateAudio(4.0f);
    playSound("combo.ogg");
    EXPECT_EQ(audio.queue.cursor, 1);
    updateAudio(1.0f);
    playSound("combo.ogg");
    EXPECT_EQ(audio.queue.cursor, 2);
    EXPECT_EQ(audio.queue.slots[1].frequency, kDefaultFrequency);
}

TEST_F(PlayQueueTest, UnknownNameQueuesNothingAndNamesAreCaseSensitive) {
    playSound("missing.ogg");
    playSound("COMBO.ogg");
    EXPECT_EQ(audio.queue.cursor, 0);
    EXPECT_EQ(findSample("unmove.ogg"), 1);
    EXPECT_EQ(findSample("Unmove.ogg"), -1);
}

TEST_F(PlayQueueTest, RingOverwritesOldestButSkipsLoopingSlots) {
    audio.queue.slots[0].loop = 1;
    for (int i = 0; i < 256; ++i) {
        playSoundEx("unmove.ogg", Vec3{}, 0, 1000 + i);
        audio.bank.entries[1].cooldown = 0.0f;
    }
    // The first request skipped the looping slot 0, so the 256th wrapped onto slot 1.
    EXPECT_EQ(audio.queue.slots[0].loop, 1);
    EXPECT_EQ(audio.queue.slots[1].frequency, 1255);
    EXPECT_EQ(audio.queue.slots[255].frequency, 1254);
}

TEST_F(PlayQueueTest, AllSlotsLoopingDropsTheRequest) {
    for (PlaySlot& s : audio.queue.slots) {
        s.loop = 1;
    }
    playSound("combo.ogg");
    EXPECT_EQ(countRequested(11), 0);
}

TEST_F(PlayQueueTest, BankRefusesWhenFullOrNameTooLong) {
    resetAudio();
    EXPECT_FALSE(addSample("a_name_that_is_far_too_long_for_it.ogg", 1));
    for (int i = 0; i < kMaxSamples; ++i) {
        EXPECT_TRUE(addSample("x.ogg", static_cast<uint32_t>(i)));
    }
    EXPECT_FALSE(addSample("y.ogg", 999));
}

TEST_F(PlayQueueTest, UpdateStartsRequestedSlotsAndFreesEndedOnes) {
    // An output whose channels end at once, handing out channel numbers.
    struct Output : SilentAudioOutput {
        int started = 0;
        uint32_t playSample(uint32_t, int32_t, int32_t volume, int32_t pan, bool) override {
            EXPECT_EQ(volume, -1);
            EXPECT_EQ(pan, -101);
            return static_cast<uint32_t>(++started);
        }
    } dev;
    setAudioOutput(&dev);
    playSound("combo.ogg");
    updateAudio(16.0f);
    EXPECT_EQ(audio.queue.slots[0].state, 1);
    EXPECT_EQ(audio.queue.slots[0].channel, 1u);
    updateAudio(16.0f);
    EXPECT_EQ(audio.queue.slots[0].state, 0);
    setAudioOutput(nullptr);
}

TEST(MusicTest, NumbersOutsideOneToEightSelectPositionZero) {
    EXPECT_EQ(musicPosition(9), 0);
    EXPECT_EQ(musicPosition(-1), 0);
    EXPECT_EQ(musicPosition(0), 0);
    EXPECT_EQ(musicPosition(8), 8);
}

TEST(MusicTest, RequestFadesOutOverEightHundredMs) {
    setAudioOutput(nullptr);
    resetAudio();
    requestMusic(4);
    EXPECT_EQ(audio.music.target, 4);
    EXPECT_FLOAT_EQ(audio.music.fadeMs, 800.0f);
    updateAudio(400.0f);
    EXPECT_EQ(audio.music.volume, 50);
    updateAudio(399.0f);
    EXPECT_EQ(audio.music.volume, 0);
    updateAudio(1.0f);
    EXPECT_EQ(audio.music.volume, 100);
    EXPECT_FLOAT_EQ(audio.music.fadeMs, 0.0f);
}

TEST(MusicTest, SwitchToCurrentTargetDoesNothingEvenDuringFade) {
    setAudioOutput(nullptr);
    resetAudio();
    requestMusic(3);
    updateAudio(100.0f);
    switchMusic(3);
    EXPECT_FLOAT_EQ(audio.music.fadeMs, 700.0f);
    switchMusic(2);
    EXPECT_EQ(audio.music.target, 2);
    EXPECT_FLOAT_EQ(audio.music.fadeMs, 0.0f);
    requestMusic(5);
    updateAudio(100.0f);
    requestMusic(6);
    EXPECT_FLOAT_EQ(audio.music.fadeMs, 800.0f);
}

}  // namespace
}  // namespace corsavel
