// The island map: the path file's reader, distances along the path, where
// flags and marks stand, how marks look for a profile's progress, the level
// miniature, and what drawing the map submits (recording device).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "gfx/texture.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "ui/map.h"

namespace corsavel {
namespace {

void putInt(std::vector<uint8_t>& bytes, int32_t v) {
    const auto bits = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(bits >> shift));
    }
}

void putFloat(std::vector<uint8_t>& bytes, float v) {
    int32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    putInt(bytes, bits);
}

// A straight path along y = 0 from x = 0, points 20 apart, with its length
// and the 10 spare floats.
std::vector<uint8_t> straightPath(int32_t count, float length, int extras = 10) {
    std::vector<uint8_t> bytes;
    putInt(bytes, count);
    putFloat(bytes, length);
    for (int32_t i = 0; i < count; ++i) {
        putFloat(bytes, static_cast<float>(i) * 20.0f);
        putFloat(bytes, 0.0f);
    }
    for (int i = 0; i < extras; ++i) {
        putFloat(bytes, 0.0f);
    }
    return bytes;
}

std::vector<uint8_t> straightPath(int32_t count) {
    return straightPath(count, static_cast<float>(count - 1) * 20.0f);
}

bool decode(const std::vector<uint8_t>& bytes, MapPath* path) {
    return decodeMapPath(bytes.data(), static_cast<int64_t>(bytes.size()), path);
}

// --- The path file --------------------------------------------------------

TEST(MapPathFile, ReadsPointsAndLiftsThemBy30) {
    auto path = std::make_unique<MapPath>();
    std::vector<uint8_t> bytes;
    putInt(bytes, 3);
    putFloat(bytes, 40.0f);
    putFloat(bytes, -5.0f);
    putFloat(bytes, 7.0f);
    putFloat(bytes, 15.0f);
    putFloat(bytes, 7.0f);
    putFloat(bytes, 35.0f);
    putFloat(bytes, 7.0f);
    for (int i = 0; i < 10; ++i) {
        putFloat(bytes, 0.0f);
    }
    ASSERT_TRUE(decode(bytes, path.get()));
    EXPECT_EQ(path->count, 3);
    EXPECT_FLOAT_EQ(path->length, 40.0f);
    EXPECT_FLOAT_EQ(path->points[0].x, -5.0f);
    EXPECT_FLOAT_EQ(path->points[0].y, 37.0f);
    EXPECT_FLOAT_EQ(path->points[2].x, 35.0f);
}

TEST(MapPathFile, WithoutTheSpareFloatsStillReads) {
    auto path = std::make_unique<MapPath>();
    EXPECT_TRUE(decode(straightPath(5, 80.0f, 0), path.get()));
    EXPECT_EQ(path->count, 5);
}

TEST(MapPathFile, BadFilesGiveAnEmptyPath) {
    auto path = std::make_unique<MapPath>();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({});                       // empty file
    bad.push_back({1, 0, 0});                // shorter than the header
    bad.push_back(straightPath(1, 0.0f));    // a single point is no path
    bad.push_back(straightPath(0, 0.0f));    // no points
    bad.push_back(straightPath(-3, 0.0f));   // negative count
    bad.push_back(straightPath(5, 300.0f));  // length far from 4 x 20
    bad.push_back(straightPath(5, nan));     // non-finite length
    bad.push_back(straightPath(5, inf));
    bad.push_back(straightPath(5, 80.0f, 11));  // longer than count allows
    auto shortOne = straightPath(6);
    shortOne.resize(8 + 5 * 8);  // count says 6, the file holds 5
    bad.push_back(shortOne);
    auto bigCount = straightPath(5);
    const int32_t huge = kMaxPathPoints + 1;
    std::memcpy(bigCount.data(), &huge, 4);
    bad.push_back(bigCount);
    const int32_t maxInt = 0x7fffffff;
    std::memcpy(bigCount.data(), &maxInt, 4);
    bad.push_back(bigCount);
    auto nanPoint = straightPath(5);
    std::memcpy(nanPoint.data() + 8 + 2 * 8 + 4, &nan, 4);
    bad.push_back(nanPoint);
    auto infPoint = straightPath(5);
    std::memcpy(infPoint.data() + 8 + 3 * 8, &inf, 4);
    bad.push_back(infPoint);
    auto farPoint = straightPath(5);
    const float far = 3.0e38f;
    std::memcpy(farPoint.data() + 8 + 1 * 8, &far, 4);
    bad.push_back(farPoint);
    for (size_t i = 0; i < bad.size(); ++i) {
        path->count = 99;
        EXPECT_FALSE(decode(bad[i], path.get())) << "file " << i;
        EXPECT_EQ(path->count, 0) << "file " << i;
        EXPECT_EQ(path->length, 0.0f) << "file " << i;
    }
    EXPECT_FALSE(decodeMapPath(nullptr, 100, path.get()));
}

// --- Distances along the path ---------------------------------------------

TEST(MapPathPoint, InterpolatesBetweenStoredPoints) {
    auto path = std::make_unique<MapPath>();
    ASSERT_TRUE(decode(straightPath(11), path.get()));
    const Vec2 p = pathPoint(*path, 35.0f);
    EXPECT_FLOAT_EQ(p.x, 35.0f);
    EXPECT_FLOAT_EQ(p.y, 30.0f);
    EXPECT_FLOAT_EQ(pathPoint(*path, 0.0f).x, 0.0f);
    EXPECT_FLOAT_EQ(pathPoint(*path, 200.0f).x, 200.0f) << "the end is the last point";
}

TEST(MapPathPoint, OutsideThePathLiesOffTheScreen) {
    auto path = std::make_unique<MapPath>();
    ASSERT_TRUE(decode(straightPath(11), path.get()));
    EXPECT_FLOAT_EQ(pathPoint(*path, 200.5f).x, -1000.0f);
    EXPECT_FLOAT_EQ(pathPoint(*path, -0.5f).x, 1000.0f);
    EXPECT_FLOAT_EQ(pathPoint(*path, std::numeric_limits<float>::quiet_NaN()).x, 1000.0f);
    MapPath empty;
    EXPECT_FLOAT_EQ(pathPoint(empty, 0.0f).x, -1000.0f) << "an empty path has no point to give";
}

TEST(MapPathPoint, AStoredLengthBeyondThePointsStaysOnTheLastPoint) {
    auto path = std::make_unique<MapPath>();
    ASSERT_TRUE(decode(straightPath(11, 210.0f), path.get()));
    const Vec2 p = pathPoint(*path, 209.0f);
    EXPECT_FLOAT_EQ(p.x, 200.0f);
}

// --- Flags and marks ------------------------------------------------------

TEST(MapPlacement, FlagsAtStageBordersAndMarksSpacedInTheirZone) {
    auto map = std::make_unique<MapState>();
    ASSERT_TRUE(decode(straightPath(501), &map->path));  // length 10000, step 100
    placeFlagsAndMarks(*map);
    // Along a straight path x is the distance.
    EXPECT_FLOAT_EQ(map->zoneFlagPoints[0].x, 0.0f);
    EXPECT_FLOAT_EQ(map->zoneFlagPoints[1].x, 400.0f);
    EXPECT_FLOAT_EQ(map->zoneFlagPoints[2].x, 900.0f);
    EXPECT_NEAR(map->zoneFlagPoints[12].x, 9999.9f, 1e-2f) << "just inside the path's end";
    EXPECT_FLOAT_EQ(map->zoneFlagPoints[12].y, 30.0f);
    // Zone 0: 4 levels, spacing (400 - 32) / 4 = 92.
    EXPECT_NEAR(map->levelMarkPoints[0].x, 19.2f + 0.5f * 92.0f - 2.0f, 1e-3f);
    EXPECT_NEAR(map->levelMarkPoints[3].x, 19.2f + 3.5f * 92.0f - 2.0f, 1e-3f);
    // Zone 1 starts at 400 with 5 levels: spacing (500 - 32) / 5 = 93.6.
    EXPECT_NEAR(map->levelMarkPoints[4].x, 400.0f + 19.2f + 0.5f * 93.6f - 2.0f, 1e-2f);
    // The last zone: 11 levels from 8900, spacing (1100 - 32) / 11.
    EXPECT_NEAR(map->levelMarkPoints[99].x, 8900.0f + 19.2f + 10.5f * (1068.0f / 11.0f) - 2.0f,
                1e-2f);
    for (int i = 1; i < kLevelMarkCount; ++i) {
        EXPECT_GT(map->levelMarkPoints[i].x, map->levelMarkPoints[i - 1].x) << "mark " << i;
    }
}

TEST(MapPlacement, TheForgedPathKeepsEveryMarkAndFlagOnTheIsland) {
    const char* dir = std::getenv("CORSAVEL_BINARY_DIR");
    std::ifstream stream(std::string(dir != nullptr ? dir : ".") + "/Data/trajectory1.spl",
                         std::ios::binary);
    if (!stream) {
        GTEST_SKIP() << "no forged Data folder";
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                     std::istreambuf_iterator<char>()};
    auto map = std::make_unique<MapState>();
    ASSERT_TRUE(decode(bytes, &map->path));
    placeFlagsAndMarks(*map);
    auto onScreen = [](Vec2 p) { return std::fabs(p.x) < 390.0f && std::fabs(p.y) < 290.0f; };
    for (int i = 0; i < kZoneFlagCount; ++i) {
        EXPECT_TRUE(onScreen(map->zoneFlagPoints[i])) << "flag " << i;
    }
    for (int i = 0; i < kLevelMarkCount; ++i) {
        EXPECT_TRUE(onScreen(map->levelMarkPoints[i])) << "mark " << i;
        if (i > 0) {
            const Vec2 a = map->levelMarkPoints[i - 1];
            const Vec2 b = map->levelMarkPoints[i];
            // Neighbours never overlap, so the pointer always finds one mark.
            EXPECT_GT(std::hypot(b.x - a.x, b.y - a.y), kLevelMarkHitSize) << "mark " << i;
        }
    }
}

TEST(MapPlacement, TheMarkUnderThePointer) {
    mapState = MapState{};
    ASSERT_TRUE(decode(straightPath(21), &mapState.path));
    for (int i = 0; i < kLevelMarkCount; ++i) {
        mapState.levelMarkPoints[i] = Vec2{-300.0f + 6.0f * i, (i % 2) * 40.0f};
    }
    EXPECT_EQ(levelMarkAt({-300.0f, 0.0f}), 0);
    EXPECT_EQ(levelMarkAt({-300.0f + 6.0f * 7 + 7.9f, 40.0f - 7.9f}), 7);
    EXPECT_EQ(levelMarkAt({-300.0f + 6.0f * 99, 40.0f}), 99);
    EXPECT_EQ(levelMarkAt({-300.0f, 20.0f}), -1);
    mapState = MapState{};
}

// --- How marks look -------------------------------------------------------

Profile profileAt(int mode, int32_t unlockedStage, int32_t unlockedIndex, int32_t currentStage,
                  int32_t currentIndex) {
    Profile p{};
    p.unlockedStage[mode] = unlockedStage;
    p.unlockedIndex[mode] = unlockedIndex;
    p.currentStage[mode] = currentStage;
    p.currentIndex[mode] = currentIndex;
    p.score[mode] = 1234;
    return p;
}

TEST(MapLooks, ProgressOfTheShownModeDecidesBestCurrentAndOpenZone) {
    Profile p = profileAt(1, 5, 2, 4, 1);  // puzzle: unlocked 30+2, current 22+1
    MapView v = makeMapView(p, 1, 30, 0.0f);
    EXPECT_EQ(v.best, 32);
    EXPECT_EQ(v.current, 23);
    EXPECT_EQ(v.openZone, 5);
    EXPECT_EQ(v.score, 1234);
    MapView adventure = makeMapView(p, 0, 30, 0.0f);
    EXPECT_EQ(adventure.best, 0) << "the other mode's progress is its own";
    EXPECT_EQ(adventure.openZone, 0);
    EXPECT_EQ(zoneFlagAlpha(v, 5), 255);
    EXPECT_EQ(zoneFlagAlpha(v, 6), 90);
}

TEST(MapLooks, EveryFlagOpensWhenTheLastLevelIsReached) {
    Profile p = profileAt(0, 11, 10, 11, 10);
    MapView v = makeMapView(p, 0, 99, 0.0f);
    EXPECT_EQ(v.best, 99);
    EXPECT_EQ(v.openZone, 12);
    EXPECT_EQ(zoneFlagAlpha(v, 12), 255);
}

TEST(MapLooks, OutOfRangeProgressAndSelectionAreHeldToTheLevels) {
    Profile p = profileAt(0, 40, 7, -3, 0);
    MapView v = makeMapView(p, 0, 250, 0.0f);
    EXPECT_EQ(v.best, 99);
    EXPECT_EQ(v.current, 0);
    EXPECT_EQ(v.selected, 99);
}

int red(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
int green(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
int alpha(Colour c) {
    return static_cast<int>(c >> 24);
}

TEST(MapLooks, LockedMarksAreFaintEvenWhenSelected) {
    MapView v;
    v.best = 4;
    v.selected = 6;
    EXPECT_EQ(levelMarkColour(v, 5), makeColour(55, 255, 255, 255));
    EXPECT_EQ(levelMarkColour(v, 6), makeColour(55, 255, 255, 255));
    EXPECT_EQ(alpha(levelMarkColour(v, 4)), 255);
}

TEST(MapLooks, TheSelectedMarkPulsesBetweenRedAndGreen) {
    MapView v;
    v.best = 10;
    v.selected = 3;
    const float kPi = 3.14159265f;
    v.timerMs = -kPi / 2.0f / 0.01f;  // sin = -1: red
    EXPECT_EQ(red(levelMarkColour(v, 3)), 255);
    EXPECT_EQ(green(levelMarkColour(v, 3)), 0);
    v.timerMs = kPi / 2.0f / 0.01f;  // sin = 1: green
    EXPECT_EQ(red(levelMarkColour(v, 3)), 55);
    EXPECT_EQ(green(levelMarkColour(v, 3)), 255);
}

TEST(MapLooks, OtherMarksGlintYellowOnlyAtTheTopOfTheSlowWave) {
    MapView v;
    v.best = 99;
    v.selected = 50;
    v.timerMs = 0.0f;  // slow wave 0: no glint
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(levelMarkColour(v, i), makeColour(255, 255, 55, 55)) << i;
    }
    const float kPi = 3.14159265f;
    v.timerMs = kPi / 2.0f / 0.001f;  // slow wave 1: full glint somewhere along the path
    int brightest = 0;
    for (int i = 0; i < kLevelMarkCount; ++i) {
        if (i == v.selected) {
            continue;
        }
        const Colour c = levelMarkColour(v, i);
        EXPECT_EQ(red(c), 255);
        brightest = std::max(brightest, green(c));
    }
    EXPECT_GE(brightest, 230);
}

TEST(MapLooks, OnlyASelectedMarkOtherThanTheCurrentLevelBreathes) {
    MapView v;
    v.best = 20;
    v.current = 7;
    v.selected = 7;
    v.timerMs = 52.36f;  // sin(0.03 t) = 1
    EXPECT_FLOAT_EQ(levelMarkSize(v, 7), 11.0f);
    v.selected = 8;
    EXPECT_NEAR(levelMarkSize(v, 8), 13.5f, 1e-3f);
    EXPECT_FLOAT_EQ(levelMarkSize(v, 9), 11.0f);
}

// --- The level miniature --------------------------------------------------

TEST(LevelPreviewGrid, ReadsLayersHolesAndChainedFiguresAsTwoLayers) {
    LevelPreview preview;
    const char* text =
        "figures=6\r\ntime=60\r\nlevel=\r\n"
        "..0120AQaqz3\r\n"
        "{P5\xC0\xD3\xDF"
        "012012\r\n";
    ASSERT_TRUE(readLevelPreview(text, &preview));
    const int8_t row0[12] = {-1, -1, 0, 1, 2, 0, 2, 2, 2, 2, 2, 0};
    const int8_t row1[12] = {0, 0, 2, 2, 0, 0, 1, 2, 0, 1, 2, 0};
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(preview.layers[0][c], row0[c]) << "column " << c;
        EXPECT_EQ(preview.layers[1][c], row1[c]) << "column " << c;
    }
    EXPECT_EQ(preview.layers[2][0], 0) << "the grid's end leaves plain tiles";
    EXPECT_EQ(preview.layers[10][11], 0);
}

TEST(LevelPreviewGrid, ABlankLineEndsTheGrid) {
    LevelPreview preview;
    ASSERT_TRUE(readLevelPreview("level=\r\n............\r\n\r\n............", &preview));
    EXPECT_EQ(preview.layers[0][5], -1);
    EXPECT_EQ(preview.layers[1][5], 0);
}

TEST(LevelPreviewGrid, NoGridIsNoPreview) {
    LevelPreview preview;
    EXPECT_FALSE(readLevelPreview("figures=8\r\n", &preview));
    EXPECT_FALSE(preview.valid);
    EXPECT_FALSE(readLevelPreview(nullptr, &preview));
}

// --- Drawing --------------------------------------------------------------

class MapDraw : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        releaseAllTextures();
        mapState = MapState{};
        mapState.mapImage = createTexture("menumap.jpg", 1024, 1024, kTextureFormatA8R8G8B8, false);
        mapState.levelMarkImage =
            createTexture("levelmark.tga", 32, 32, kTextureFormatA8R8G8B8, false);
        mapState.flagImage = createTexture("flag.tga", 32, 32, kTextureFormatA8R8G8B8, false);
        const char* tiles[3] = {"field\\field0.tga", "field\\field1.tga", "field\\field2.tga"};
        for (int i = 0; i < 3; ++i) {
            mapState.tileImages[i] = createTexture(tiles[i], 64, 64, kTextureFormatA8R8G8B8, false);
        }
        ASSERT_TRUE(decode(straightPath(31), &mapState.path));
        placeFlagsAndMarks(mapState);
        game = GameState{};
        device.reset();
    }
    void TearDown() override {
        mapState = MapState{};
        releaseAllTextures();
        device.uninstall();
    }
    int drawsWith(const TextureEntry* texture) const {
        int n = 0;
        for (const DrawRecord& d : device.draws) {
            n += d.texture == texture->texture ? 1 : 0;
        }
        return n;
    }
    RecordingDevice device;
};

TEST_F(MapDraw, PictureFlagsAndEveryMark) {
    drawMap(0.0f);
    EXPECT_EQ(drawsWith(mapState.mapImage), 1);
    EXPECT_EQ(drawsWith(mapState.flagImage), kZoneFlagCount);
    EXPECT_EQ(drawsWith(mapState.levelMarkImage), kLevelMarkCount);
}

TEST_F(MapDraw, ThePreviewDrawsTheSelectedLevelsTilesAndLeavesTheBoardAlone) {
    LevelPreview& preview = mapState.previews[12];
    readLevelPreview(
        "level=\r\n"
        "..0011222...\r\n\r\n",
        &preview);
    std::memset(preview.layers + 2, -1, sizeof preview.layers - 2 * sizeof preview.layers[0]);
    // Row 1 stays plain: 12 tiles of layer 0.
    game.board.cells[4][4].layers = 2;
    game.board.cells[4][4].chained = 1;
    const Board before = game.board;
    drawLevelPreview(12, kPreviewPosition, kPreviewScale);
    EXPECT_EQ(drawsWith(mapState.tileImages[0]), 2 + 12);
    EXPECT_EQ(drawsWith(mapState.tileImages[1]), 2);
    EXPECT_EQ(drawsWith(mapState.tileImages[2]), 3);
    EXPECT_EQ(std::memcmp(&before, &game.board, sizeof before), 0);
    // The first layer-0 tile of row 0 (column 2) sits at the scaled cell centre.
    const DrawRecord& first = device.draws.front();
    const Vec2 centre = cellCentre(2, 0);
    float x = 0.0f;
    float y = 0.0f;
    for (int i = 0; i < 4; ++i) {
        x += first.position(i).x / 4.0f;
        y += first.position(i).y / 4.0f;
    }
    EXPECT_NEAR(x, centre.x * 0.2f + 297.0f + 10.0f, 1e-3f);
    EXPECT_NEAR(y, centre.y * 0.2f + 215.0f, 1e-3f);
}

TEST_F(MapDraw, NoPreviewForALevelWithoutOne) {
    drawLevelPreview(40, kPreviewPosition, kPreviewScale);
    drawLevelPreview(-1, kPreviewPosition, kPreviewScale);
    drawLevelPreview(100, kPreviewPosition, kPreviewScale);
    EXPECT_TRUE(device.draws.empty());
}

}  // namespace
}  // namespace corsavel
