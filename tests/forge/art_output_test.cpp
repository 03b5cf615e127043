// Every image the game asks for is forged once, under its exact name, at the
// size its consumer expects, and the same bytes come out of every run.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "forge/art.h"
#include "forge/contact_sheet.h"

namespace corsavel::forge {
namespace {

class ArtOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        out_ = new ForgeOutput;
        forgeArt(*out_);
    }
    static void TearDownTestSuite() { delete out_; }
    static const ForgedFile* find(const std::string& name) {
        for (const ForgedFile& f : out_->files())
            if (f.path == name)
                return &f;
        return nullptr;
    }
    static Image image(const std::string& name) {
        const ForgedFile* f = find(name);
        return f ? decodeForgedImage(f->path, f->bytes) : Image();
    }
    static ForgeOutput* out_;
};

ForgeOutput* ArtOutput::out_ = nullptr;

struct Expected {
    const char* name;
    Destination destination;
    int width, height;
};

const Expected kExpected[] = {
    {"field\\field0.tga", Destination::TargaArchive, 64, 64},
    {"field\\field1.tga", Destination::TargaArchive, 64, 64},
    {"field\\field2.tga", Destination::TargaArchive, 64, 64},
    {"field\\field4.tga", Destination::TargaArchive, 64, 64},
    {"field\\field1a.tga", Destination::TargaArchive, 64, 64},
    {"field\\field2a.tga", Destination::TargaArchive, 64, 64},
    {"zep2.tga", Destination::TargaArchive, 128, 128},
    {"bonus1.tga", Destination::TargaArchive, 64, 64},
    {"bonus2.tga", Destination::TargaArchive, 64, 64},
    {"cursor.tga", Destination::TargaArchive, 64, 64},
    {"02.tga", Destination::TargaArchive, 64, 64},
    {"heart.tga", Destination::TargaArchive, 64, 64},
    {"gamebar.tga", Destination::TargaArchive, 128, 512},
    {"fuse.tga", Destination::TargaArchive, 256, 32},
    {"zhelob.tga", Destination::TargaArchive, 512, 32},
    {"barrel.tga", Destination::TargaArchive, 64, 64},
    {"tip.tga", Destination::TargaArchive, 64, 64},
    {"menutex.tga", Destination::TargaArchive, 256, 512},
    {"button.tga", Destination::TargaArchive, 128, 64},
    {"baloon.tga", Destination::TargaArchive, 128, 128},
    {"exploanim.tga", Destination::TargaArchive, 512, 512},
    {"levelmark.tga", Destination::TargaArchive, 32, 32},
    {"flag.tga", Destination::TargaArchive, 32, 32},
    {"white.jpg", Destination::JpegArchive, 128, 256},
    {"winfill.jpg", Destination::JpegArchive, 256, 256},
    {"flare.jpg", Destination::JpegArchive, 128, 128},
    {"podsvet.jpg", Destination::JpegArchive, 256, 64},
    {"menumap.jpg", Destination::JpegArchive, 800, 600},
    {"gamecomplete.jpg", Destination::JpegArchive, 800, 600},
    // The intro reads these before the archives are open.
    {"splash1.jpg", Destination::Loose, 800, 600},
    {"splash2.jpg", Destination::Loose, 800, 600},
    {"loadscreen.jpg", Destination::Loose, 800, 600},
    {"loadbar.jpg", Destination::Loose, 310, 48},
};

TEST_F(ArtOutput, EveryImageHasItsNameDestinationAndSize) {
    for (const Expected& e : kExpected) {
        const ForgedFile* f = find(e.name);
        ASSERT_NE(f, nullptr) << e.name;
        EXPECT_EQ(f->destination, e.destination) << e.name;
        const Image img = decodeForgedImage(f->path, f->bytes);
        EXPECT_EQ(img.width(), e.width) << e.name;
        EXPECT_EQ(img.height(), e.height) << e.name;
    }
    for (int kind = 0; kind < kFigureKindCount; ++kind)
        EXPECT_NE(find(figureSheetName(kind)), nullptr);
}

TEST_F(ArtOutput, NamesAreUniquePerDestination) {
    std::set<std::pair<int, std::string>> seen;
    for (const ForgedFile& f : out_->files())
        EXPECT_TRUE(seen.insert({static_cast<int>(f.destination), f.path}).second) << f.path;
}

TEST_F(ArtOutput, BackgroundsAreAlphaJpegsWithSeeThroughSky) {
    for (int n = 0; n <= 12; ++n) {
        const std::string name = "AnimBacks/_a_back" + std::to_string(n) + ".jpg";
        const ForgedFile* f = find(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->destination, Destination::Loose);
        size_t m = f->bytes.size();
        for (size_t i = 0; i + 1 < f->bytes.size(); ++i)
            if (f->bytes[i] == 0xFF && f->bytes[i + 1] == 0xD9) {
                m = i;
                break;
            }
        ASSERT_EQ(f->bytes.size() - (m + 2), 800u * 600u) << name;
        const Image img = decodeForgedImage(f->path, f->bytes);
        EXPECT_LT(img.at(400, 2).a, 200) << name;    // the top of the sky lets layers through
        EXPECT_EQ(img.at(400, 599).a, 255) << name;  // the ground is solid
    }
    // Each stage has its own colours.
    std::vector<Image> thumbs;
    for (int n = 0; n <= 12; ++n) {
        const ForgedFile* f = find("AnimBacks/_a_back" + std::to_string(n) + ".jpg");
        thumbs.push_back(decodeForgedImage(f->path, f->bytes).resized(8, 6));
    }
    for (int a = 0; a <= 12; ++a)
        for (int b = a + 1; b <= 12; ++b) {
            const Image& ia = thumbs[a];
            const Image& ib = thumbs[b];
            int diff = 0;
            for (size_t i = 0; i < ia.pixels().size(); ++i)
                diff += std::abs(ia.pixels()[i].r - ib.pixels()[i].r) +
                        std::abs(ia.pixels()[i].g - ib.pixels()[i].g) +
                        std::abs(ia.pixels()[i].b - ib.pixels()[i].b);
            EXPECT_GT(diff / static_cast<int>(ia.pixels().size()), 20) << a << " vs " << b;
        }
}

int coverageOf(const Image& img, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (img.at(i, j).a > 64)
                ++n;
    return n;
}

TEST_F(ArtOutput, GuiAtlasHasEveryCellAtItsGridPosition) {
    const Image atlas = image("menutex.tga");
    ASSERT_EQ(atlas.width(), 256);
    // (column, row, width, height) in cells, for cells 0..23.
    const int cells[][4] = {{0, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 1}, {0, 2, 1, 1},
                            {1, 2, 1, 1}, {2, 0, 1, 1}, {3, 0, 1, 1}, {2, 1, 1, 1}, {3, 1, 1, 1},
                            {0, 3, 2, 1}, {0, 4, 2, 1}, {2, 3, 1, 2}, {3, 3, 1, 2}, {0, 7, 1, 1},
                            {1, 7, 1, 1}, {0, 5, 1, 1}, {0, 6, 1, 1}, {2, 5, 1, 1}, {3, 5, 1, 1},
                            {1, 6, 1, 1}, {1, 5, 1, 1}, {3, 7, 1, 1}, {2, 7, 1, 1}};
    for (int c = 0; c < 24; ++c) {
        const auto& r = cells[c];
        EXPECT_GT(coverageOf(atlas, r[0] * 64, r[1] * 64, r[2] * 64, r[3] * 64), 200)
            << "cell " << c;
    }
    // The checked box differs from the unchecked one.
    int changed = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const Rgba a = atlas.at(64 + x, 384 + y), b = atlas.at(64 + x, 320 + y);
            if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60)
                ++changed;
        }
    EXPECT_GT(changed, 150);
    // The pointer's tip is at the top-left corner of its cell.
    EXPECT_GT(atlas.at(3 * 64 + 4, 7 * 64 + 4).a, 128);
    EXPECT_LT(atlas.at(3 * 64 + 60, 7 * 64 + 4).a, 20);
}

TEST_F(ArtOutput, ParticleAtlasFillsEveryCell) {
    const Image atlas = image("exploanim.tga");
    for (int c = 0; c < 64; ++c) {
        int lit = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const Rgba p = atlas.at((c % 8) * 64 + x, (c / 8) * 64 + y);
                if (p.a > 20)
                    ++lit;
                // Cells never bleed into their neighbours under bilinear filtering.
                if (x == 0 || y == 0 || x == 63 || y == 63) {
                    EXPECT_LT(p.a, 40) << "cell " << c;
                }
            }
        EXPECT_GT(lit, 30) << "cell " << c;
    }
}

TEST_F(ArtOutput, TilesTellLayersApartAndPlainTilesAlternate) {
    auto mean = [](const Image& img) {
        long s[3] = {0, 0, 0};
        for (const Rgba& p : img.pixels())
            s[0] += p.r, s[1] += p.g, s[2] += p.b;
        const long n = static_cast<long>(img.pixels().size());
        return std::array<long, 3>{s[0] / n, s[1] / n, s[2] / n};
    };
    const auto t0 = mean(image("field\\field0.tga")), t4 = mean(image("field\\field4.tga"));
    const auto t1 = mean(image("field\\field1.tga")), t2 = mean(image("field\\field2.tga"));
    auto dist = [](std::array<long, 3> a, std::array<long, 3> b) {
        return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    };
    EXPECT_GT(dist(t0, t4), 10);  // visible checkerboard
    EXPECT_LT(dist(t0, t4), 80);  // but the same family
    EXPECT_GT(dist(t0, t1), 80);
    EXPECT_GT(dist(t1, t2), 80);
    EXPECT_GT(dist(t0, t2), 80);
}

TEST_F(ArtOutput, ASecondRunGivesTheSameBytes) {
    ForgeOutput again;
    forgeArt(again);
    ASSERT_EQ(again.files().size(), out_->files().size());
    for (size_t i = 0; i < again.files().size(); ++i) {
        EXPECT_EQ(again.files()[i].path, out_->files()[i].path);
        EXPECT_TRUE(again.files()[i].bytes == out_->files()[i].bytes) << again.files()[i].path;
    }
}

}  // namespace
}  // namespace corsavel::forge
