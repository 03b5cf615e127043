#include <gtest/gtest.h>

#include "gfx/jpeg.h"
#include "gfx/tga.h"
#include "image_test_util.h"

namespace corsavel {
namespace {

uint32_t pattern(int x, int y) {
    return (static_cast<uint32_t>(x * 40) << 24) | (static_cast<uint32_t>(y * 60) << 16) |
           (0x33u << 8) | static_cast<uint32_t>(100 + x + y);
}

uint32_t pixelAt(const DecodedImage& img, int x, int y) {
    const uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + x) * 4];
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

TEST(TgaDecoding, AllKindsGiveTopRowFirstRgba) {
    for (int bits : {24, 32}) {
        for (bool top : {false, true}) {
            for (bool rle : {false, true}) {
                SCOPED_TRACE(testing::Message() << bits << " top " << top << " rle " << rle);
                auto file = test::makeTga(4, 3, bits, top, rle, pattern);
                DecodedImage img;
                ASSERT_TRUE(decodeTga(file.data(), file.size(), &img));
                EXPECT_EQ(img.width, 4);
                EXPECT_EQ(img.height, 3);
                for (int y = 0; y < 3; ++y) {
                    for (int x = 0; x < 4; ++x) {
                        uint32_t want = pattern(x, y);
                        if (bits == 24) {
                            want |= 0xFF;
                        }
                        EXPECT_EQ(pixelAt(img, x, y), want) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(TgaDecoding, RunPacketsRepeatOnePixel) {
    std::vector<uint8_t> file(18, 0);
    file[2] = 10;
    file[12] = 5;
    file[14] = 1;
    file[16] = 32;
    file[17] = 0x28;
    // A run of 5 of (B, G, R, A) = (1, 2, 3, 4).
    for (uint8_t b : {0x84, 1, 2, 3, 4}) {
        file.push_back(b);
    }
    DecodedImage img;
    ASSERT_TRUE(decodeTga(file.data(), file.size(), &img));
    EXPECT_EQ(pixelAt(img, 4, 0), 0x03020104u);
}

TEST(TgaDecoding, TruncatedAndUnsupportedFilesFail) {
    auto file = test::makeTga(8, 8, 32, false, false, pattern);
    DecodedImage img;
    for (size_t cut : {size_t{0}, size_t{10}, size_t{18}, file.size() - 1}) {
        EXPECT_FALSE(decodeTga(file.data(), cut, &img)) << cut;
    }
    auto rle = test::makeTga(8, 8, 24, true, true, pattern);
    EXPECT_FALSE(decodeTga(rle.data(), rle.size() - 2, &img));
    auto paletted = file;
    paletted[2] = 1;
    EXPECT_FALSE(decodeTga(paletted.data(), paletted.size(), &img));
    auto sixteen = file;
    sixteen[16] = 16;
    EXPECT_FALSE(decodeTga(sixteen.data(), sixteen.size(), &img));
    auto huge = file;
    huge[12] = 0xFF;
    huge[13] = 0xFF;
    EXPECT_FALSE(decodeTga(huge.data(), huge.size(), &img));
}

TEST(JpegDecoding, DecodesColourAndRejectsTruncation) {
    auto file = test::makeJpeg(16, 8, 200, 40, 10);
    DecodedImage img;
    ASSERT_TRUE(decodeJpeg(file.data(), file.size(), &img));
    EXPECT_EQ(img.width, 16);
    EXPECT_EQ(img.height, 8);
    uint32_t p = pixelAt(img, 5, 5);
    EXPECT_NEAR(static_cast<int>(p >> 24), 200, 4);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 40, 4);
    EXPECT_EQ(p & 0xFF, 255u);
    EXPECT_FALSE(decodeJpeg(file.data(), file.size() / 2, &img));
    EXPECT_FALSE(decodeJpeg(file.data(), 3, &img));
    std::vector<uint8_t> junk(100, 0xAB);
    EXPECT_FALSE(decodeJpeg(junk.data(), junk.size(), &img));
}

TEST(AlphaJpeg, SplitsAtFirstEndMarker) {
    const uint8_t bytes[] = {0xFF, 0xD8, 0x01, 0xFF, 0xD9, 7, 0xFF, 0xD9};
    size_t jpegSize = 0;
    splitAlphaJpeg(bytes, sizeof bytes, &jpegSize);
    EXPECT_EQ(jpegSize, 5u);
    const uint8_t none[] = {0xFF, 0xD8, 0x01, 0xD9};
    splitAlphaJpeg(none, sizeof none, &jpegSize);
    EXPECT_EQ(jpegSize, sizeof none);
}

TEST(AlphaJpeg, PlaneFillsAlphaAndShortOrLongPlanesAreBounded) {
    auto file = test::makeJpeg(4, 2, 10, 20, 30);
    auto exact = file;
    for (int i = 0; i < 8; ++i) {
        exact.push_back(static_cast<uint8_t>(i * 30));
    }
    DecodedImage img;
    ASSERT_TRUE(decodeAlphaJpeg(exact.data(), exact.size(), &img));
    EXPECT_EQ(img.rgba[3], 0);
    EXPECT_EQ(img.rgba[(1 * 4 + 3) * 4 + 3], 210);

    auto shorter = file;
    shorter.push_back(5);
    ASSERT_TRUE(decodeAlphaJpeg(shorter.data(), shorter.size(), &img));
    EXPECT_EQ(img.rgba[3], 5);
    EXPECT_EQ(img.rgba[7], 255);

    auto longer = exact;
    longer.insert(longer.end(), 100, 9);
    ASSERT_TRUE(decodeAlphaJpeg(longer.data(), longer.size(), &img));
    EXPECT_EQ(img.rgba.size(), 32u);
    EXPECT_EQ(img.rgba[31], 210);
}

TEST(AlphaJpeg, PlaneOfNarrowerWidthLandsRowByRow) {
    DecodedImage img;
    img.width = 4;
    img.height = 2;
    img.rgba.assign(32, 255);
    const uint8_t plane[] = {1, 2, 3, 4};
    applyAlphaPlane(plane, sizeof plane, 2, &img);
    EXPECT_EQ(img.rgba[3], 1);
    EXPECT_EQ(img.rgba[7], 2);
    EXPECT_EQ(img.rgba[11], 255);
    EXPECT_EQ(img.rgba[16 + 3], 3);
    EXPECT_EQ(img.rgba[16 + 7], 4);
}

}  // namespace
}  // namespace corsavel
