#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "forge/map_path.h"

using namespace corsavel::forge;

namespace {

float floatAt(const std::vector<uint8_t>& bytes, size_t offset) {
    float value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(MapPathFile, HeaderPointsAndSpareFloats) {
    const auto& points = mapPathPoints();
    const auto bytes = encodeMapPath(points, mapPathLength());
    int32_t count = 0;
    std::memcpy(&count, bytes.data(), 4);
    ASSERT_EQ(count, static_cast<int32_t>(points.size()));
    EXPECT_EQ(bytes.size(), 8 + points.size() * 8 + 40);
    EXPECT_FLOAT_EQ(floatAt(bytes, 4), mapPathLength());
    EXPECT_FLOAT_EQ(floatAt(bytes, 8), points[0].x);
    EXPECT_FLOAT_EQ(floatAt(bytes, 12), points[0].y);
}

TEST(MapPathGeometry, PointsAreTwentyUnitsApartAndOnTheMap) {
    const auto& points = mapPathPoints();
    ASSERT_GT(points.size(), 100u);
    for (size_t i = 1; i < points.size(); ++i) {
        const float gap = std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
        // Chords on the turns are a little shorter than the arc.
        EXPECT_GT(gap, 18.0f) << i;
        EXPECT_LE(gap, 20.01f) << i;
    }
    for (const PathPoint& p : points) {
        EXPECT_LT(std::fabs(p.x), 385.0f);
        EXPECT_GT(p.y + kPathLift, -285.0f);
        EXPECT_LT(p.y + kPathLift, 200.0f);
    }
}

TEST(MapPathGeometry, LevelMarksAreDistinctAndInPathOrder) {
    for (int i = 1; i < kMapLevels; ++i) {
        const PathPoint a = levelMarkPoint(i - 1);
        const PathPoint b = levelMarkPoint(i);
        // A mark is 22 units across: neighbours must not overlap.
        EXPECT_GT(std::hypot(a.x - b.x, a.y - b.y), 23.0f) << i;
    }
    for (int i = 0; i <= kMapZones; ++i) {
        const PathPoint flag = zoneFlagPoint(i);
        EXPECT_LT(std::fabs(flag.x), 400.0f) << "flag " << i << " is off the map";
    }
}

TEST(MapPathGeometry, DistancesOffThePathGoOffScreen) {
    EXPECT_FLOAT_EQ(mapPathPoint(mapPathLength() + 1).x, -1000.0f);
    EXPECT_FLOAT_EQ(mapPathPoint(-1).x, 1000.0f);
    EXPECT_FLOAT_EQ(mapPathPoint(0).y, mapPathPoints()[0].y + kPathLift);
}

}  // namespace
