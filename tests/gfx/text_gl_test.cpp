#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/text_effects.h"
#include "gfx/texture.h"
#include "gl_window_test.h"
#include "platform/primitives.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

using namespace corsavel;

namespace {

// Uncompressed 32-bit TGA, top-left origin, from ARGB pixels.
std::vector<uint8_t> encodeTga(int w, int h, const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = static_cast<uint8_t>(w);
    bytes[13] = static_cast<uint8_t>(w >> 8);
    bytes[14] = static_cast<uint8_t>(h);
    bytes[15] = static_cast<uint8_t>(h >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (uint32_t p : argb) {
        bytes.push_back(static_cast<uint8_t>(p));
        bytes.push_back(static_cast<uint8_t>(p >> 8));
        bytes.push_back(static_cast<uint8_t>(p >> 16));
        bytes.push_back(static_cast<uint8_t>(p >> 24));
    }
    return bytes;
}

class TextGl : public GlWindowTest {
protected:
    void SetUp() override {
        enterGl();
        if (IsSkipped()) {
            return;
        }
        clearAssetRegistry();
        releaseAllTextures();
        resetTextState();
        textEffects = TextEffectsState{};
        highlight = encodeTga(4, 4, std::vector<uint32_t>(16, 0xFFFFFFFFu));
        registerAsset("podsvet.jpg", static_cast<int32_t>(highlight.size()), highlight.data(),
                      false);
    }
    void TearDown() override {
        clearAssetRegistry();
        resetTextState();
    }

    void beginFrame() {
        clearTarget(0xFF000000u);
        clearDepth(1.0f);
        beginScene();
        begin2D();
    }
    void endFrame(const char* png) { finishFrame(png); }
    // Pixels brighter than the black background inside a screen rectangle.
    int litPixels(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                Rgb c = at(x, y);
                n += (c.r + c.g + c.b) > 96 ? 1 : 0;
            }
        }
        return n;
    }

    // Loads the forge's font the game's own way (archives first, then loose
    // files, from Data); false when no forged Data folder is there.
    bool loadGameFont() {
        std::string dataPath = std::getenv("CORSAVEL_DATA_DIR") != nullptr
                                   ? std::getenv("CORSAVEL_DATA_DIR")
                                   : buildPath("Data");
        const char* dataDir = dataPath.c_str();
        char before[4096];
        if (access(dataDir, R_OK) != 0 || getcwd(before, sizeof before) == nullptr ||
            chdir(dataDir) != 0) {
            return false;
        }
        clearAssetRegistry();
        loadArchive("targa.dat");
        loadArchive("jpeg.dat");
        bool haveFont = findAsset("font.tga") != nullptr || access("font.tga", R_OK) == 0;
        if (findAsset("podsvet.jpg") == nullptr && access("podsvet.jpg", R_OK) != 0) {
            registerAsset("podsvet.jpg", static_cast<int32_t>(highlight.size()), highlight.data(),
                          false);
        }
        bool loaded = haveFont && loadFont("font");
        return chdir(before) == 0 && loaded;
    }

    std::vector<uint8_t> highlight;
};

}  // namespace

// Two cells of a 2 x 2 grid carry colour: 'A' is the white top-right cell, 'B'
// the red bottom-left one. Each glyph fills its 40 x 36 quad.
TEST_F(TextGl, GlyphsShowTheirCellsWhereTheLayoutPutsThem) {
    std::vector<uint32_t> texels(32 * 32, 0x00000000u);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (y < 16 && x >= 16) {
                texels[y * 32 + x] = 0xFFFFFFFFu;
            } else if (y >= 16 && x < 16) {
                texels[y * 32 + x] = 0xFFFF0000u;
            }
        }
    }
    std::vector<uint8_t> tga = encodeTga(32, 32, texels);
    std::vector<uint8_t> dat(kFontMetricsSize, 0);
    dat[0] = 2;
    dat[4 + 'A'] = 255;  // 2 x 255 / 256: nearly a whole quad
    dat[4 + 'B'] = 255;
    dat[260 + 'A'] = 1;
    dat[260 + 'B'] = 2;
    registerAsset("glyphs.tga", static_cast<int32_t>(tga.size()), tga.data(), false);
    registerAsset("glyphs.dat", static_cast<int32_t>(dat.size()), dat.data(), false);
    ASSERT_TRUE(loadFont("glyphs"));

    beginFrame();
    drawText(0.0f, 0.0f, 20.0f, "AB", false);
    setTextColour(0, 255, 0, 255);
    drawTextCentred(0.0f, 150.0f, 20.0f, "A");
    endFrame("text_gl_cells.png");

    Rgb a = at(400, 300);
    EXPECT_GT(a.r, 240);
    EXPECT_GT(a.g, 240);
    Rgb b = at(440, 300);
    EXPECT_GT(b.r, 240);
    EXPECT_LT(b.g, 16);
    // Outside the quads and in the transparent gap between lines.
    Rgb above = at(400, 250);
    EXPECT_LT(above.r + above.g + above.b, 16);
    // The centred single glyph sits 10 units left of x (half of one size).
    Rgb green = at(390, 150);
    EXPECT_GT(green.g, 240);
    EXPECT_LT(green.r, 16);
}

// The forge's font, when a built Data folder is named: readable text lands
// where the layout says, in the rows of its lines and nowhere else.
TEST_F(TextGl, GameFontDrawsReadableLines) {
    if (!loadGameFont()) {
        GTEST_SKIP() << "no forged Data folder with the font";
    }

    beginFrame();
    drawText(-360.0f, 250.0f, 16.0f, "Click to continue... 0123456789", false);
    drawText(0.0f, 150.0f, 24.0f, "LEVEL COMPLETE!", true);
    float height = wrapText(300.0f, "The quick brown fox jumps over the lazy dog, twice.", 14.0f);
    setTextColour(255, 230, 100, 255);
    drawText(-150.0f, 50.0f, 14.0f, wrappedText(), false);
    setTextColour(255, 255, 255, 255);
    drawTextHighlighted(0.0f, -150.0f, 18.0f, 0x60FFFFFFu, "Highlighted", true);
    endFrame("text_gl_font.png");

    EXPECT_GT(height, 14.0f * 1.8f * 1.5f);
    // The first line occupies screen rows around 50, left of the centre.
    EXPECT_GT(litPixels(30, 35, 400, 65), 500);
    EXPECT_GT(litPixels(250, 130, 550, 170), 500);
    // Nothing between the first two lines.
    EXPECT_EQ(litPixels(0, 80, 800, 120), 0);
}

// Flying letters mid-wobble, a popup at full size and the banner in its
// pulsing middle, each where its rules put it.
TEST_F(TextGl, EffectsDrawAtTheirPhases) {
    if (!loadGameFont()) {
        GTEST_SKIP() << "no forged Data folder with the font";
    }
    addFlyingText("STAGE COMPLETE!", 0.0f, 100.0f, 30.0f);
    addPopup("EXCELLENT", -200.0f, -100.0f, 25.0f, 4000.0f);
    // Letters at 3500 (wobbling), the popup at 750 (full size), the banner
    // shown later and at 750 (its slow middle).
    textEffectsTick(1850.0f);
    showBanner("Banner line");
    textEffectsTick(650.0f);
    beginFrame();
    drawFlyingText();
    drawPopups();
    drawBanner();
    endFrame("text_gl_effects.png");
    // Letters around screen row 200, the popup around row 400, the banner at 570.
    EXPECT_GT(litPixels(150, 180, 650, 220), 800);
    EXPECT_GT(litPixels(50, 380, 350, 420), 500);
    EXPECT_GT(litPixels(300, 555, 500, 585), 300);
    EXPECT_EQ(litPixels(0, 250, 800, 350), 0);
}
