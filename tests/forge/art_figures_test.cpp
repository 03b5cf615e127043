// The treasure sprite sheets: layout, turning frames, and that no two
// treasures can be confused by colour or by outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "forge/art.h"
#include "forge/contact_sheet.h"

namespace corsavel::forge {
namespace {

struct FigureStats {
    float r = 0, g = 0, b = 0;  // mean colour over covered pixels
    float lightness = 0;
    float cr = 0, cg = 0;  // mean chromaticity r / (r + g + b), g / (r + g + b)
    std::vector<bool> silhouette;
    int covered = 0;
};

FigureStats statsOf(const Image& frame) {
    FigureStats s;
    double r = 0, g = 0, b = 0, w = 0;
    for (const Rgba& p : frame.pixels()) {
        const bool on = p.a > 160;
        s.silhouette.push_back(on);
        if (!on)
            continue;
        ++s.covered;
        r += p.r, g += p.g, b += p.b, w += 1;
        const float sum = std::max(1, p.r + p.g + p.b);
        s.cr += p.r / sum;
        s.cg += p.g / sum;
    }
    if (w > 0)
        s.r = r / w, s.g = g / w, s.b = b / w;
    s.lightness = 0.3f * s.r + 0.59f * s.g + 0.11f * s.b;
    return s;
}

float silhouetteDifference(const FigureStats& a, const FigureStats& b) {
    int differ = 0, either = 0;
    for (size_t i = 0; i < a.silhouette.size(); ++i) {
        if (a.silhouette[i] || b.silhouette[i])
            ++either;
        if (a.silhouette[i] != b.silhouette[i])
            ++differ;
    }
    return either > 0 ? static_cast<float>(differ) / either : 0.0f;
}

class FigureSheets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        out_ = new ForgeOutput;
        forgeFigures(*out_);
    }
    static void TearDownTestSuite() { delete out_; }
    static const ForgedFile* find(const std::string& name) {
        for (const ForgedFile& f : out_->files())
            if (f.path == name)
                return &f;
        return nullptr;
    }
    static ForgeOutput* out_;
};

ForgeOutput* FigureSheets::out_ = nullptr;

TEST_F(FigureSheets, EveryKindHasAnEightByFourSheetInTheTargaArchive) {
    ASSERT_EQ(out_->files().size(), static_cast<size_t>(kFigureKindCount));
    for (int kind = 0; kind < kFigureKindCount; ++kind) {
        const ForgedFile* file = find(figureSheetName(kind));
        ASSERT_NE(file, nullptr) << figureSheetName(kind);
        EXPECT_EQ(file->destination, Destination::TargaArchive);
        const Image sheet = decodeForgedImage(file->path, file->bytes);
        EXPECT_EQ(sheet.width(), 8 * kFigureCell);
        EXPECT_EQ(sheet.height(), 4 * kFigureCell);
        // Every cell of the grid holds a drawn frame.
        for (int f = 0; f < kFigureFrames; ++f) {
            const Image cell =
                sheet.crop((f % 8) * kFigureCell, (f / 8) * kFigureCell, kFigureCell, kFigureCell);
            EXPECT_GT(statsOf(cell).covered, 40) << figureKindName(kind) << " frame " << f;
        }
    }
    EXPECT_EQ(figureSheetName(0), "figures\\coins.tga");
    EXPECT_EQ(figureSheetName(16), "figures\\diamond.tga");
}

TEST_F(FigureSheets, FramesTurnAndFrameZeroIsCentred) {
    for (int kind = 0; kind < kFigureKindCount; ++kind) {
        const Image still = renderFigureFrame(kind, 0);
        const Image quarter = renderFigureFrame(kind, 8);
        EXPECT_FALSE(still.pixels() == quarter.pixels()) << figureKindName(kind);
        // Frame 0 stays clear of the cell's border so neighbours never touch.
        for (int i = 0; i < kFigureCell; ++i) {
            EXPECT_LT(still.at(i, 0).a, 40) << figureKindName(kind);
            EXPECT_LT(still.at(0, i).a, 40) << figureKindName(kind);
        }
        // The turn closes: the last frame leads back into the first.
        const FigureStats a = statsOf(still), b = statsOf(renderFigureFrame(kind, 31));
        EXPECT_LT(silhouetteDifference(a, b), 0.35f) << figureKindName(kind);
    }
}

TEST_F(FigureSheets, NoTwoTreasuresShareColourAndOutline) {
    std::vector<FigureStats> stats;
    for (int kind = 0; kind < kFigureKindCount; ++kind)
        stats.push_back(statsOf(renderFigureFrame(kind, 0)));
    for (int i = 0; i < kFigureKindCount; ++i)
        for (int j = i + 1; j < kFigureKindCount; ++j) {
            // Chromaticity ignores the shading, so it compares the treasures' hues;
            // lightness is the cue left to a colour-blind eye.
            const float chroma = std::hypot(stats[i].cr - stats[j].cr, stats[i].cg - stats[j].cg);
            const float outline = silhouetteDifference(stats[i], stats[j]);
            const float light = std::fabs(stats[i].lightness - stats[j].lightness);
            EXPECT_TRUE(chroma > 0.04f || light > 25.0f)
                << figureKindName(i) << " vs " << figureKindName(j) << ": chroma " << chroma
                << ", lightness " << light;
            EXPECT_GT(outline, 0.2f) << figureKindName(i) << " vs " << figureKindName(j);
        }
}

}  // namespace
}  // namespace corsavel::forge
