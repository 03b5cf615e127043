// The desktop icons: every hicolor size as a valid PNG of that size, a
// rounded tile (clear corners, opaque middle) showing the chest, and the
// scalable SVG.
#include "forge/icon_forge.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "forge/art.h"
#include "forge/contact_sheet.h"

namespace corsavel::forge {
namespace {

uint32_t bigEndian(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

class Icons : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        out_ = new ForgeOutput;
        forgeScreens(*out_);
        forgeIcons(*out_);
        for (const ForgedFile& f : out_->files()) {
            if (f.path == "splash1.jpg") {
                splash_ = new Image(decodeForgedImage(f.path, f.bytes));
            }
        }
    }
    static void TearDownTestSuite() {
        delete out_;
        delete splash_;
    }
    static const ForgedFile* find(const std::string& path) {
        for (const ForgedFile& f : out_->files()) {
            if (f.path == path) {
                return &f;
            }
        }
        return nullptr;
    }
    static ForgeOutput* out_;
    static Image* splash_;
};

ForgeOutput* Icons::out_ = nullptr;
Image* Icons::splash_ = nullptr;

TEST_F(Icons, EveryHicolorSizeIsALoosePngOfThatSize) {
    for (int size : kIconSizes) {
        const ForgedFile* f = find(iconPath(size));
        ASSERT_NE(f, nullptr) << size;
        EXPECT_EQ(f->destination, Destination::Loose);
        ASSERT_GT(f->bytes.size(), 33u);
        const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        EXPECT_TRUE(std::equal(signature, signature + 8, f->bytes.begin())) << size;
        EXPECT_EQ(std::string(f->bytes.begin() + 12, f->bytes.begin() + 16), "IHDR");
        EXPECT_EQ(bigEndian(f->bytes, 16), static_cast<uint32_t>(size));
        EXPECT_EQ(bigEndian(f->bytes, 20), static_cast<uint32_t>(size));
        EXPECT_EQ(f->bytes[24], 8) << "8 bits per channel";
        EXPECT_EQ(f->bytes[25], 6) << "RGBA";
    }
    EXPECT_EQ(iconPath(48), "icons/hicolor/48x48/apps/corsavel.png");
}

TEST_F(Icons, TheTileHasClearCornersAndShowsTheGoldenChest) {
    ASSERT_NE(splash_, nullptr);
    for (int size : {16, 48, 256}) {
        Image icon = renderIcon(*splash_, size);
        ASSERT_EQ(icon.width(), size);
        ASSERT_EQ(icon.height(), size);
        EXPECT_EQ(icon.at(0, 0).a, 0) << size;
        EXPECT_EQ(icon.at(size - 1, size - 1).a, 0) << size;
        EXPECT_EQ(icon.at(size / 2, size / 2).a, 255) << size;
        EXPECT_EQ(icon.at(size / 2, 0).a, 255) << size;
    }
    // The chest's gold: many warm, bright pixels in the upper middle, and
    // enough detail that it is a picture, not a flat tile.
    Image icon = renderIcon(*splash_, 256);
    int gold = 0;
    std::set<uint32_t> colours;
    for (int y = 40; y < 160; ++y) {
        for (int x = 40; x < 216; ++x) {
            const Rgba p = icon.at(x, y);
            gold += p.r > 200 && p.g > 150 && p.b < 120;
            colours.insert(uint32_t{p.r} << 16 | uint32_t{p.g} << 8 | p.b);
        }
    }
    EXPECT_GT(gold, 600);
    EXPECT_GT(colours.size(), 500u);
}

TEST_F(Icons, ScalableIconIsASquareSvg) {
    const ForgedFile* f = find(scalableIconPath());
    ASSERT_NE(f, nullptr);
    const std::string svg(f->bytes.begin(), f->bytes.end());
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    // Every element opened is closed or self-closing.
    size_t opens = 0;
    size_t closes = 0;
    for (size_t at = svg.find('<'); at != std::string::npos; at = svg.find('<', at + 1)) {
        const size_t end = svg.find('>', at);
        ASSERT_NE(end, std::string::npos);
        if (svg[at + 1] == '?' || svg[end - 1] == '/') {
            continue;
        }
        (svg[at + 1] == '/' ? closes : opens) += 1;
    }
    EXPECT_EQ(opens, closes);
}

}  // namespace
}  // namespace corsavel::forge
