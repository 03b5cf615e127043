#include <gtest/gtest.h>

#include <vector>

#include "gfx/font.h"
#include "gfx/text_effects.h"
#include "gfx/texture.h"
#include "platform/recording_device.h"
#include "resources/asset_registry.h"

using namespace corsavel;

namespace {

// An uncompressed 32-bit top-left-origin TGA of 16 x 16 transparent pixels.
std::vector<uint8_t> tinyTga() {
    std::vector<uint8_t> bytes(18 + 16 * 16 * 4, 0);
    bytes[2] = 2;
    bytes[12] = 16;
    bytes[14] = 16;
    bytes[16] = 32;
    bytes[17] = 0x28;
    return bytes;
}

std::vector<uint8_t> metrics(int32_t cellsPerRow) {
    std::vector<uint8_t> bytes(kFontMetricsSize, 0);
    bytes[0] = static_cast<uint8_t>(cellsPerRow);
    for (int c = 0; c < 256; ++c) {
        bytes[4 + c] = 32;
        bytes[260 + c] = static_cast<uint8_t>(c % (cellsPerRow * cellsPerRow));
    }
    return bytes;
}

class FontLoading : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        clearAssetRegistry();
        releaseAllTextures();
        resetTextState();
        textEffects = TextEffectsState{};
        tga = tinyTga();
        jpegless = tinyTga();
    }
    void TearDown() override {
        clearAssetRegistry();
        releaseAllTextures();
        resetTextState();
        device.uninstall();
    }

    void registerFont(const char* name, std::vector<uint8_t>& dat) {
        std::string base(name);
        registerAsset((base + ".tga").c_str(), static_cast<int32_t>(tga.size()), tga.data(), false);
        registerAsset((base + ".dat").c_str(), static_cast<int32_t>(dat.size()), dat.data(), false);
    }

    RecordingDevice device;
    std::vector<uint8_t> tga;
    std::vector<uint8_t> jpegless;
};

}  // namespace

TEST_F(FontLoading, LoadsTextureAndMetricsAndResetsTheTextState) {
    // The decoder goes by content: a TGA stands in for the highlight picture.
    registerAsset("podsvet.jpg", static_cast<int32_t>(jpegless.size()), jpegless.data(), false);
    std::vector<uint8_t> dat = metrics(16);
    registerFont("font", dat);
    setTextColour(1, 2, 3, 4);
    textState.textScale = 2.0f;
    textState.penOffset = 7.0f;
    ASSERT_TRUE(addFont(Font{}));
    addFlyingText("A", 0.0f, 0.0f, 10.0f);
    ASSERT_TRUE(loadFont("font"));
    EXPECT_EQ(textState.fontCount, 2);
    EXPECT_EQ(textState.current, 1);
    const Font* font = currentFont();
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->texture, nullptr);
    EXPECT_EQ(font->texture->width, 16);
    EXPECT_EQ(font->cellsPerRow, 16);
    EXPECT_FLOAT_EQ(font->advance['A'], 2.0f);
    EXPECT_NE(textState.highlightTexture, nullptr);
    EXPECT_EQ(textState.textColour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(textState.textScale, 1.0f);
    EXPECT_FLOAT_EQ(textState.penOffset, 0.0f);
    EXPECT_LE(textEffects.letters[0].life, 0.0f);
    // The metrics were released after reading; the texture stays.
    EXPECT_EQ(findAsset("font.dat"), nullptr);
    // Text is drawn with the font's texture bound.
    device.draws.clear();
    drawText(0.0f, 0.0f, 10.0f, "A", false);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].texture, font->texture->texture);
}

TEST_F(FontLoading, MalformedMetricsStopTheGameWithTheLoadingError) {
    registerAsset("podsvet.jpg", static_cast<int32_t>(jpegless.size()), jpegless.data(), false);
    std::vector<uint8_t> dat = metrics(16);
    dat.resize(300);
    registerFont("font", dat);
    EXPECT_EXIT(loadFont("font"), ::testing::ExitedWithCode(1), "Can't load font.dat");
}

TEST_F(FontLoading, FullTableRefusesAnotherFont) {
    for (int i = 0; i < kMaxFonts; ++i) {
        ASSERT_TRUE(addFont(Font{}));
    }
    EXPECT_FALSE(loadFont("font"));
    EXPECT_EQ(textState.fontCount, kMaxFonts);
}
