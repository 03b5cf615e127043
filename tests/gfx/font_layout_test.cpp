#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/font.h"

using namespace corsavel;

namespace {

// Cells of 32 pixels: a width of 16 is an advance of 1 (half a quad), 32 is 2.
Font makeFont() {
    Font font;
    font.cellsPerRow = 16;
    font.cellUV = 1.0f / 16.0f;
    for (int c = 0; c < 256; ++c) {
        font.advance[c] = 1.0f;
        font.cell[c] = static_cast<uint8_t>(c);
    }
    font.advance['W'] = 2.0f;
    font.advance['i'] = 0.5f;
    font.advance[' '] = 0.5f;
    return font;
}

std::vector<GlyphPlacement> layout(const Font& font, const char* text, float size, bool centred) {
    std::vector<GlyphPlacement> out(64);
    int32_t n = layoutText(font, text, size, centred, out.data(), 64);
    out.resize(n);
    return out;
}

std::string wrap(const Font& font, float maxWidth, const char* text, float size,
                 float* height = nullptr, int32_t capacity = 256) {
    std::vector<char> out(capacity, 'x');
    float h = wrapTextInto(font, maxWidth, text, size, out.data(), capacity);
    if (height != nullptr) {
        *height = h;
    }
    return std::string(out.data());
}

}  // namespace

TEST(FontLeftLayout, FirstGlyphIsCentredOnThePen) {
    Font font = makeFont();
    auto g = layout(font, "AWA", 10.0f, false);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_FLOAT_EQ(g[0].x, 0.0f);
    EXPECT_FLOAT_EQ(g[1].x, 5.0f + 10.0f);   // half of A plus half of W
    EXPECT_FLOAT_EQ(g[2].x, 15.0f + 15.0f);  // half of W plus half of A
    for (const auto& p : g) {
        EXPECT_FLOAT_EQ(p.y, 0.0f);
    }
}

TEST(FontLeftLayout, EveryLineStartsAtThePen) {
    Font font = makeFont();
    for (const char* text : {"Ai\nWA", "Ai\r\nWA", "Ai\rWA"}) {
        auto g = layout(font, text, 10.0f, false);
        ASSERT_EQ(g.size(), 4u) << text;
        EXPECT_EQ(g[2].character, 'W');
        EXPECT_FLOAT_EQ(g[2].x, 0.0f) << text;
        EXPECT_FLOAT_EQ(g[2].y, -18.0f) << text;
        EXPECT_FLOAT_EQ(g[3].x, 15.0f) << text;
    }
}

TEST(FontLeftLayout, TrailingBreaksStayInsideTheText) {
    Font font = makeFont();
    EXPECT_EQ(layout(font, "A\r", 10.0f, false).size(), 1u);
    EXPECT_EQ(layout(font, "A\r\n", 10.0f, false).size(), 1u);
    EXPECT_EQ(layout(font, "", 10.0f, false).size(), 0u);
    EXPECT_EQ(layout(font, nullptr, 10.0f, false).size(), 0u);
}

TEST(FontCentredLayout, SingleLineIsCentredOnThePen) {
    Font font = makeFont();
    // w = 40; o starts at -20 + 5; first glyph there, then steps of half advances.
    auto g = layout(font, "AWA", 10.0f, true);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_FLOAT_EQ(g[0].x, -15.0f);
    EXPECT_FLOAT_EQ(g[1].x, 0.0f);
    EXPECT_FLOAT_EQ(g[2].x, 15.0f);
}

TEST(FontCentredLayout, LaterLinesStartHalfTheirFirstAdvanceFurtherRight) {
    Font font = makeFont();
    auto single = layout(font, "WA", 10.0f, true);
    auto twoLines = layout(font, "A\nWA", 10.0f, true);
    ASSERT_EQ(single.size(), 2u);
    ASSERT_EQ(twoLines.size(), 3u);
    EXPECT_FLOAT_EQ(twoLines[1].x - single[0].x, 10.0f);  // half of W's advance x size
    EXPECT_FLOAT_EQ(twoLines[2].x - single[1].x, 10.0f);
    EXPECT_FLOAT_EQ(twoLines[1].y, -18.0f);
    auto crlf = layout(font, "A\r\nWA", 10.0f, true);
    ASSERT_EQ(crlf.size(), 3u);
    EXPECT_FLOAT_EQ(crlf[1].x, twoLines[1].x);
}

TEST(FontLayout, StoresOnlyWhatFitsButCountsEveryGlyph) {
    Font font = makeFont();
    GlyphPlacement out[2];
    EXPECT_EQ(layoutText(font, "ABCDE", 1.0f, false, out, 2), 5);
    EXPECT_EQ(out[1].character, 'B');
}

TEST(FontMeasure, SumsAdvancesIncludingBreaks) {
    Font font = makeFont();
    EXPECT_FLOAT_EQ(measureText(font, "AW i", 10.0f), 10.0f + 20.0f + 5.0f + 5.0f);
    EXPECT_FLOAT_EQ(measureText(font, "A\nA", 2.0f), 6.0f);
    EXPECT_FLOAT_EQ(measureText(font, "", 2.0f), 0.0f);
}

TEST(FontWrap, BreaksAtTheLastSpaceBeforeTheWidth) {
    Font font = makeFont();
    float height = 0.0f;
    // Each letter 10 wide, spaces 5: "AAA AAA" is 65 wide, "AA AA" 45.
    EXPECT_EQ(wrap(font, 70.0f, "AAA AAA AA", 10.0f, &height), "AAA AAA\nAA");
    EXPECT_FLOAT_EQ(height, 36.0f);
    EXPECT_EQ(wrap(font, 45.0f, "AA AA AA AA", 10.0f, &height), "AA AA\nAA AA");
    EXPECT_EQ(wrap(font, 30.0f, "AA AA AA AA", 10.0f, &height), "AA\nAA\nAA\nAA");
    EXPECT_FLOAT_EQ(height, 72.0f);
}

TEST(FontWrap, ShortTextIsCopiedUnchanged) {
    Font font = makeFont();
    float height = 0.0f;
    EXPECT_EQ(wrap(font, 1000.0f, "AB CD", 10.0f, &height), "AB CD");
    EXPECT_FLOAT_EQ(height, 18.0f);
}

TEST(FontWrap, ExistingBreaksStartNewLines) {
    Font font = makeFont();
    float height = 0.0f;
    EXPECT_EQ(wrap(font, 45.0f, "AAA\r\nAAA AA", 10.0f, &height), "AAA\r\nAAA\nAA");
    EXPECT_FLOAT_EQ(height, 54.0f);
    EXPECT_EQ(wrap(font, 45.0f, "AAAA\nAAAA", 10.0f, &height), "AAAA\nAAAA");
    EXPECT_FLOAT_EQ(height, 36.0f);
}

TEST(FontWrap, StretchWithoutSpaceBreaksWhereItOverflows) {
    Font font = makeFont();
    float height = 0.0f;
    EXPECT_EQ(wrap(font, 35.0f, "AAAAAAAAAA", 10.0f, &height), "AAA\nAAA\nAAA\nA");
    EXPECT_FLOAT_EQ(height, 72.0f);
    EXPECT_EQ(wrap(font, 35.0f, "AA AAAAAAA", 10.0f), "AA\nAAA\nAAA\nA");
    // A glyph wider than the width gets a line of its own instead of looping.
    EXPECT_EQ(wrap(font, 5.0f, "WWW", 10.0f, &height), "W\nW\nW");
}

TEST(FontWrap, NeverWritesPastTheBuffer) {
    Font font = makeFont();
    std::string longText(300, 'A');
    std::vector<char> out(17, '#');
    out.push_back('!');  // guard byte just beyond the given capacity
    wrapTextInto(font, 25.0f, longText.c_str(), 10.0f, out.data(), 17);
    EXPECT_EQ(out[17], '!');
    EXPECT_LT(std::strlen(out.data()), 17u);
    EXPECT_EQ(std::string(out.data()).substr(0, 6), "AA\nAA\n");
}

TEST(FontWrap, WrapsItsOwnBufferAgain) {
    resetTextState();
    ASSERT_TRUE(addFont(makeFont()));
    wrapText(1000.0f, "AAAA AAAA", 10.0f);
    EXPECT_STREQ(wrappedText(), "AAAA AAAA");
    wrapText(45.0f, wrappedText(), 10.0f);
    EXPECT_STREQ(wrappedText(), "AAAA\nAAAA");
    resetTextState();
}

TEST(FontCells, CellUVFollowsTheGrid) {
    Font font = makeFont();
    float uv[4];
    glyphCellUV(font, 0x41, uv);  // cell 65: column 1, row 4
    EXPECT_FLOAT_EQ(uv[0], 1.0f / 16.0f);
    EXPECT_FLOAT_EQ(uv[1], 4.0f / 16.0f);
    EXPECT_FLOAT_EQ(uv[2], 2.0f / 16.0f);
    EXPECT_FLOAT_EQ(uv[3], 5.0f / 16.0f);
}

TEST(FontTable, SelectFallsBackToTheLastFontAndRefusesWhenFull) {
    resetTextState();
    EXPECT_EQ(currentFont(), nullptr);
    EXPECT_FLOAT_EQ(textWidth("AAA", 1.0f), 0.0f);
    ASSERT_TRUE(addFont(makeFont()));
    selectFont(1);
    EXPECT_EQ(textState.current, 0);
    for (int i = 1; i < kMaxFonts; ++i) {
        ASSERT_TRUE(addFont(makeFont()));
    }
    EXPECT_FALSE(addFont(makeFont()));
    EXPECT_EQ(textState.fontCount, kMaxFonts);
    resetTextState();
    Font broken = makeFont();
    broken.cellsPerRow = 0;
    EXPECT_FALSE(addFont(broken));
    broken.cellsPerRow = 4;  // cells up to 255 do not fit a 4 x 4 grid
    EXPECT_FALSE(addFont(broken));
    EXPECT_EQ(textState.fontCount, 0);
    for (int i = 0; i < kMaxFonts; ++i) {
        ASSERT_TRUE(addFont(makeFont()));
    }
    selectFont(3);
    EXPECT_EQ(textState.current, 3);
    selectFont(100);
    EXPECT_EQ(textState.current, kMaxFonts - 1);
    resetTextState();
}
