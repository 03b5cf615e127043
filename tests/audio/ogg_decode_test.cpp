#include <gtest/gtest.h>

#include "audio/ogg_decode.h"
#include "ogg_fixture.h"

namespace corsavel {
namespace {

TEST(OggDecodeTest, DecodesRateChannelsAndLength) {
    const std::vector<uint8_t> ogg = test::sineOgg(440.0f, 0.5f, 22050);
    DecodedSample d;
    ASSERT_TRUE(decodeOgg(ogg.data(), ogg.size(), d));
    EXPECT_EQ(d.rate, 22050);
    EXPECT_EQ(d.channels, 1);
    EXPECT_NEAR(d.frames(), 11025, 64);
}

TEST(OggDecodeTest, RefusesGarbageEmptyAndTruncatedFiles) {
    const std::vector<uint8_t> ogg = test::sineOgg(440.0f, 0.5f, 44100);
    DecodedSample d;
    EXPECT_FALSE(decodeOgg(nullptr, 0, d));
    const uint8_t junk[64] = {'O', 'g', 'g', 'S'};
    EXPECT_FALSE(decodeOgg(junk, sizeof junk, d));
    // Only the headers: no audio at all.
    EXPECT_FALSE(decodeOgg(ogg.data(), 200, d));
    EXPECT_TRUE(d.pcm.empty());
}

TEST(OggDecodeTest, CorruptedBodyNeverReadsOutOfBoundsAndIsRefusedOrShort) {
    std::vector<uint8_t> ogg = test::sineOgg(440.0f, 0.5f, 44100);
    for (size_t i = ogg.size() / 2; i < ogg.size(); i += 7) {
        ogg[i] ^= 0x5A;
    }
    DecodedSample d;
    if (decodeOgg(ogg.data(), ogg.size(), d)) {
        EXPECT_LE(d.frames(), 22050 + 64);
    } else {
        EXPECT_TRUE(d.pcm.empty());
    }
}

TEST(OggDecodeTest, SamplesLongerThanTheCapAreRefused) {
    const std::vector<uint8_t> ogg =
        test::sineOgg(440.0f, static_cast<float>(kMaxSampleSeconds) + 1.0f, 8000, 0.2f);
    DecodedSample d;
    EXPECT_FALSE(decodeOgg(ogg.data(), ogg.size(), d));
    const std::vector<uint8_t> shorter =
        test::sineOgg(440.0f, static_cast<float>(kMaxSampleSeconds) - 1.0f, 8000, 0.2f);
    EXPECT_TRUE(decodeOgg(shorter.data(), shorter.size(), d));
}

}  // namespace
}  // namespace corsavel
