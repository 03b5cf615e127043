#include <gtest/gtest.h>

#include <cstring>

#include "forge/font_forge.h"

using namespace corsavel::forge;

namespace {

const ForgedFont& forgedFont() {
    static ForgedFont font;
    static const bool ok = renderFont(kFontFacePath, font);
    EXPECT_TRUE(ok) << "font face missing: " << kFontFacePath;
    return font;
}

TEST(FontMetrics, LayoutIsCellsPerRowWidthsThenCells) {
    const auto bytes = encodeFontMetrics(forgedFont());
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kFontMetricsBytes));
    int32_t cells = 0;
    std::memcpy(&cells, bytes.data(), 4);
    EXPECT_EQ(cells, kFontCellsPerRow);
    EXPECT_EQ(bytes[4 + 'A'], forgedFont().width['A']);
    EXPECT_EQ(bytes[260 + 'A'], forgedFont().cell['A']);
}

TEST(FontMetrics, EveryPrintableCharacterHasAWidthInsideItsCell) {
    const ForgedFont& font = forgedFont();
    const int cellWidth512 = 512 / kFontCellsPerRow;
    for (int c = 0; c < 256; ++c) {
        EXPECT_LT(font.cell[c], kFontCellsPerRow * kFontCellsPerRow);
        EXPECT_LE(font.width[c], cellWidth512) << c;
        const bool printable =
            (c >= 32 && c < 127) || c >= 160 || (c >= 0x80 && windows1252ToUnicode(c) != 0);
        if (printable) {
            EXPECT_GT(font.width[c], 0) << "character " << c;
        }
    }
    EXPECT_EQ(font.width['\r'], 0);
    // A proportional face: wide letters wider than narrow ones.
    EXPECT_GT(font.width['W'], font.width['i'] * 2);
}

TEST(FontTexture, GlyphCellsHoldInkAndControlCellsStayEmpty) {
    const ForgedFont& font = forgedFont();
    ASSERT_EQ(font.texture.width(), kFontTextureSize);
    auto inkIn = [&](int code) {
        int ink = 0;
        const int x0 = (code % kFontCellsPerRow) * kFontCellPixels;
        const int y0 = (code / kFontCellsPerRow) * kFontCellPixels;
        for (int y = 0; y < kFontCellPixels; ++y) {
            for (int x = 0; x < kFontCellPixels; ++x) {
                ink += font.texture.at(x0 + x, y0 + y).a > 128 ? 1 : 0;
            }
        }
        return ink;
    };
    EXPECT_GT(inkIn('A'), 100);
    EXPECT_GT(inkIn(0xC4), inkIn('A'));  // the umlaut adds ink
    EXPECT_EQ(inkIn(' '), 0);
    EXPECT_EQ(inkIn(10), 0);
}

TEST(FontWindows1252, UpperHalfMapsToUnicode) {
    EXPECT_EQ(windows1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(windows1252ToUnicode(0x81), 0u);
    EXPECT_EQ(windows1252ToUnicode(0xE9), 0xE9u);
    EXPECT_EQ(windows1252ToUnicode('A'), static_cast<uint32_t>('A'));
}

}  // namespace
