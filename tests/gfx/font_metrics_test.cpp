#include <gtest/gtest.h>

#include <vector>

#include "gfx/font.h"

using namespace corsavel;

namespace {

std::vector<uint8_t> metricsFile(int32_t cellsPerRow) {
    std::vector<uint8_t> bytes(kFontMetricsSize, 0);
    uint32_t v = static_cast<uint32_t>(cellsPerRow);
    for (int k = 0; k < 4; ++k) {
        bytes[k] = static_cast<uint8_t>(v >> (8 * k));
    }
    for (int c = 0; c < 256; ++c) {
        bytes[4 + c] = static_cast<uint8_t>(c % 64);
        bytes[260 + c] = static_cast<uint8_t>(c % (cellsPerRow * cellsPerRow));
    }
    return bytes;
}

}  // namespace

TEST(FontMetrics, ReadsAdvancesAndCells) {
    auto bytes = metricsFile(16);
    bytes[4 + 'A'] = 24;
    bytes[260 + 'A'] = 200;
    Font font;
    ASSERT_TRUE(parseFontMetrics(bytes.data(), static_cast<int32_t>(bytes.size()), &font));
    EXPECT_EQ(font.cellsPerRow, 16);
    EXPECT_FLOAT_EQ(font.cellUV, 1.0f / 16.0f);
    EXPECT_FLOAT_EQ(font.advance['A'], 2.0f * 24.0f / 32.0f);
    EXPECT_EQ(font.cell['A'], 200);
    EXPECT_FLOAT_EQ(font.advance[1], 2.0f / 32.0f);
}

TEST(FontMetrics, AdvanceScalesWithTheCellSize) {
    auto bytes = metricsFile(8);
    bytes[4 + 'A'] = 64;  // one whole 64-pixel cell
    Font font;
    ASSERT_TRUE(parseFontMetrics(bytes.data(), kFontMetricsSize, &font));
    EXPECT_FLOAT_EQ(font.advance['A'], 2.0f);
}

TEST(FontMetrics, MalformedFilesFailAndLeaveTheFontAlone) {
    Font font;
    font.advance['A'] = 7.0f;
    auto good = metricsFile(16);
    EXPECT_FALSE(parseFontMetrics(nullptr, kFontMetricsSize, &font));
    EXPECT_FALSE(parseFontMetrics(good.data(), kFontMetricsSize - 1, &font));
    EXPECT_FALSE(parseFontMetrics(good.data(), 0, &font));
    auto longer = good;
    longer.push_back(0);
    EXPECT_FALSE(parseFontMetrics(longer.data(), static_cast<int32_t>(longer.size()), &font));
    for (int32_t bad : {0, -1, kMaxCellsPerRow + 1, 0x7FFFFFFF}) {
        auto bytes = metricsFile(16);
        uint32_t v = static_cast<uint32_t>(bad);
        for (int k = 0; k < 4; ++k) {
            bytes[k] = static_cast<uint8_t>(v >> (8 * k));
        }
        EXPECT_FALSE(parseFontMetrics(bytes.data(), kFontMetricsSize, &font)) << bad;
    }
    // Cell 16 lies outside a 4 x 4 grid.
    auto outside = metricsFile(4);
    outside[260 + 'Z'] = 16;
    EXPECT_FALSE(parseFontMetrics(outside.data(), kFontMetricsSize, &font));
    EXPECT_FLOAT_EQ(font.advance['A'], 7.0f);
    EXPECT_TRUE(parseFontMetrics(metricsFile(4).data(), kFontMetricsSize, &font));
}
