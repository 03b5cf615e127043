#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

namespace corsavel {
namespace {

// Files decoded ahead on a worker hand over the same samples as a decode of
// the bytes at hand; bytes that differ from the file read ahead (changed
// since, or a damaged file) get their own decode, refused as before.
class OggPrefetch : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corsavel-oggahead-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        dropPrefetchedOgg();
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
    }
    std::string write(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir_ + "/" + name;
        FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }
    std::string dir_;
};

TEST_F(OggPrefetch, HandsOverTheSameSamplesAsADecodeNow) {
    const std::vector<uint8_t> low = test::sineOgg(220.0f, 0.3f, 22050);
    const std::vector<uint8_t> high = test::sineOgg(880.0f, 0.2f, 44100);
    DecodedSample lowNow;
    DecodedSample highNow;
    ASSERT_TRUE(decodeOgg(low.data(), low.size(), lowNow));
    ASSERT_TRUE(decodeOgg(high.data(), high.size(), highNow));
    prefetchOggFiles({write("low.ogg", low), write("high.ogg", high)});
    // Asked for out of order: each still gets its own samples.
    DecodedSample highAhead;
    DecodedSample lowAhead;
    ASSERT_TRUE(decodeOgg(high.data(), high.size(), highAhead));
    ASSERT_TRUE(decodeOgg(low.data(), low.size(), lowAhead));
    EXPECT_EQ(highAhead.pcm, highNow.pcm);
    EXPECT_EQ(highAhead.rate, 44100);
    EXPECT_EQ(lowAhead.pcm, lowNow.pcm);
    EXPECT_EQ(lowAhead.rate, 22050);
}

TEST_F(OggPrefetch, OtherBytesAreDecodedAsTheyAre) {
    const std::vector<uint8_t> ogg = test::sineOgg(440.0f, 0.3f, 22050);
    prefetchOggFiles({write("a.ogg", ogg), dir_ + "/missing.ogg"});
    std::vector<uint8_t> damaged = ogg;
    damaged.resize(200);  // the headers only
    DecodedSample d;
    EXPECT_FALSE(decodeOgg(damaged.data(), damaged.size(), d));
    EXPECT_TRUE(d.pcm.empty());
    const std::vector<uint8_t> other = test::sineOgg(660.0f, 0.1f, 44100);
    EXPECT_TRUE(decodeOgg(other.data(), other.size(), d));
    EXPECT_EQ(d.rate, 44100);
    EXPECT_TRUE(decodeOgg(ogg.data(), ogg.size(), d));
    EXPECT_EQ(d.rate, 22050);
}

}  // namespace
}  // namespace corsavel
