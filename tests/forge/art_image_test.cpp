// The forge's image encoders: header fields, round trips through the game's
// own decoders, and the alpha-JPEG split rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "forge/contact_sheet.h"
#include "forge/image.h"
#include "forge/raster.h"

#if __has_include("gfx/tga.h") && __has_include("gfx/jpeg.h")
// The game's decoders are compiled in here so that the files the forge writes
// are checked by the very code that reads them.
#include "../../src/gfx/jpeg.cpp"
#include "../../src/gfx/tga.cpp"
#define ART_HAS_GAME_DECODERS 1
#endif

namespace corsavel::forge {
namespace {

Image testPattern(int w, int h) {
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Runs of equal pixels and single pixels mixed, with varying alpha.
            const uint8_t v = static_cast<uint8_t>((x / 5) * 40 + y * 3);
            image.at(x, y) = {v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(x * 7),
                              static_cast<uint8_t>(x < w / 2 ? 255 : (y * 17) & 0xFF)};
        }
    return image;
}

int le16(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

size_t firstEndMarker(const std::vector<uint8_t>& b) {
    for (size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xD9)
            return i;
    return b.size();
}

TEST(TgaEncoder, HeaderDescribesTrueColourImage) {
    const Image image = testPattern(37, 11);
    const std::vector<uint8_t> raw = encodeTga(image, true, false);
    ASSERT_GE(raw.size(), 18u);
    EXPECT_EQ(raw[1], 0);  // no colour map
    EXPECT_EQ(raw[2], 2);  // uncompressed true colour
    EXPECT_EQ(le16(raw, 12), 37);
    EXPECT_EQ(le16(raw, 14), 11);
    EXPECT_EQ(raw[16], 32);
    EXPECT_EQ(raw[17] & 0x0F, 8);  // eight alpha bits
    EXPECT_EQ(raw.size(), 18u + 37u * 11u * 4u);

    const std::vector<uint8_t> rle = encodeTga(image, false, true);
    EXPECT_EQ(rle[2], 10);
    EXPECT_EQ(rle[16], 24);
    EXPECT_EQ(rle[17] & 0x0F, 0);
}

TEST(TgaEncoder, RawAndRunLengthDecodeToTheSamePixels) {
    const Image image = testPattern(300, 7);  // rows longer than one 128-pixel packet
    for (bool rle : {false, true}) {
        const Image back = decodeForgedImage("x.tga", encodeTga(image, true, rle));
        ASSERT_EQ(back.width(), image.width());
        ASSERT_EQ(back.height(), image.height());
        EXPECT_TRUE(back.pixels() == image.pixels()) << "rle=" << rle;
    }
    const Image opaqueBack = decodeForgedImage("x.tga", encodeTga(image, false, true));
    ASSERT_EQ(opaqueBack.width(), 300);
    EXPECT_EQ(opaqueBack.at(299, 6).a, 255);
    EXPECT_EQ(opaqueBack.at(299, 6).r, image.at(299, 6).r);
}

TEST(JpegEncoder, WritesOneCompleteStream) {
    const Image image = testPattern(64, 48);
    const std::vector<uint8_t> jpeg = encodeJpeg(image, 90);
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(firstEndMarker(jpeg), jpeg.size() - 2);
    const Image back = decodeForgedImage("x.jpg", jpeg);
    ASSERT_EQ(back.width(), 64);
    ASSERT_EQ(back.height(), 48);
    EXPECT_NEAR(back.at(10, 10).g, image.at(10, 10).g, 24);
}

TEST(AlphaJpegEncoder, PlaneFollowsTheFirstEndMarker) {
    const Image image = testPattern(40, 30);
    const std::vector<uint8_t> file = encodeAlphaJpeg(image);
    const size_t m = firstEndMarker(file);
    ASSERT_LT(m, file.size());
    ASSERT_EQ(file.size() - (m + 2), 40u * 30u);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(file[m + 2 + static_cast<size_t>(y) * 40 + x], image.at(x, y).a);
    const Image back = decodeForgedImage("_a_x.jpg", file);
    EXPECT_EQ(back.at(39, 29).a, image.at(39, 29).a);
}

#ifdef ART_HAS_GAME_DECODERS
TEST(GameDecoders, ReadTheForgedTgaAndAlphaJpeg) {
    const Image image = testPattern(130, 9);
    for (bool rle : {false, true}) {
        const std::vector<uint8_t> tga = encodeTga(image, true, rle);
        corsavel::DecodedImage out;
        ASSERT_TRUE(corsavel::decodeTga(tga.data(), tga.size(), &out));
        ASSERT_EQ(out.width, 130);
        ASSERT_EQ(out.height, 9);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 130; ++x) {
                const Rgba p = image.at(x, y);
                const uint8_t* q = &out.rgba[(static_cast<size_t>(y) * 130 + x) * 4];
                ASSERT_EQ(q[0], p.r);
                ASSERT_EQ(q[1], p.g);
                ASSERT_EQ(q[2], p.b);
                ASSERT_EQ(q[3], p.a);
            }
    }
    const std::vector<uint8_t> aj = encodeAlphaJpeg(image);
    size_t jpegSize = 0;
    corsavel::splitAlphaJpeg(aj.data(), aj.size(), &jpegSize);
    EXPECT_EQ(aj.size() - jpegSize, 130u * 9u);
    corsavel::DecodedImage out;
    ASSERT_TRUE(corsavel::decodeAlphaJpeg(aj.data(), aj.size(), &out));
    ASSERT_EQ(out.width, 130);
    EXPECT_EQ(out.rgba[(static_cast<size_t>(8) * 130 + 129) * 4 + 3], image.at(129, 8).a);
}
#endif

TEST(Raster, EdgesAreAntiAliasedAndShapesStayInside) {
    Image image(32, 32);
    fillCircle(image, 16, 16, 10, Colour{1, 0, 0, 1});
    EXPECT_EQ(image.at(16, 16).a, 255);
    EXPECT_EQ(image.at(0, 0).a, 0);
    int partial = 0;
    for (const Rgba& p : image.pixels())
        if (p.a > 0 && p.a < 255)
            ++partial;
    EXPECT_GT(partial, 20);                               // a soft rim, not a hard stair-step edge
    fillCircle(image, -50, -50, 10, Colour{1, 1, 1, 1});  // off the picture: nothing happens
    EXPECT_EQ(image.at(0, 0).a, 0);
}

TEST(Raster, BlurKeepsColourOfTransparentSurroundings) {
    Image image(16, 16);
    fillRoundBox(image, 4, 4, 12, 12, 0, Colour{0, 1, 0, 1});
    blur(image, 2);
    const Rgba edge = image.at(3, 8);
    EXPECT_GT(edge.a, 0);
    EXPECT_GT(edge.g, 200);  // no black fringe from premultiplication errors
    EXPECT_LT(edge.r, 10);
}

TEST(ImageResize, ShrinkAveragesWithAlphaWeight) {
    Image image(4, 4);
    image.at(0, 0) = {255, 255, 255, 255};
    const Image small = image.resized(1, 1);
    EXPECT_EQ(small.at(0, 0).r, 255);
    EXPECT_NEAR(small.at(0, 0).a, 16, 1);
}

}  // namespace
}  // namespace corsavel::forge
