#include "forge/map_path.h"

#include <cmath>
#include <cstring>

namespace corsavel::forge {

namespace {

constexpr float kPi = 3.14159265358979f;

// The path as a dense polyline: five long rows from the bottom of the island
// to the top, starting bottom right and ending top left, joined by half-turns at alternating ends,
// with a gentle wave so it reads as a trail rather than a ruler line. The top corners stay free for
// the map's texts and the level preview.
std::vector<PathPoint> densePath() {
    constexpr int kRows = 5;
    constexpr float kRowY[kRows] = {-250.0f, -165.0f, -80.0f, 5.0f, 90.0f};
    constexpr float kLeft = -320.0f;
    constexpr float kRight = 320.0f;
    constexpr int kRowSamples = 400;
    constexpr int kTurnSamples = 120;
    std::vector<PathPoint> points;
    for (int row = 0; row < kRows; ++row) {
        const bool rightward = row % 2 == 1;
        for (int s = 0; s <= kRowSamples; ++s) {
            const float t = static_cast<float>(s) / kRowSamples;
            const float x =
                rightward ? kLeft + (kRight - kLeft) * t : kRight - (kRight - kLeft) * t;
            const float wave = 10.0f * std::sin(t * 3.0f * kPi + static_cast<float>(row));
            points.push_back({x, kRowY[row] + wave * std::sin(t * kPi)});
        }
        if (row == kRows - 1) {
            break;
        }
        // Half-turn around the row's end towards the next row up.
        const float radius = (kRowY[row + 1] - kRowY[row]) / 2.0f;
        const float cy = kRowY[row] + radius;
        const float cx = rightward ? kRight : kLeft;
        for (int s = 1; s < kTurnSamples; ++s) {
            const float a = -kPi / 2.0f + kPi * static_cast<float>(s) / kTurnSamples;
            const float dx = std::cos(a) * radius * 0.9f;
            points.push_back({rightward ? cx + dx : cx - dx, cy + std::sin(a) * radius});
        }
    }
    return points;
}

// Resamples a polyline at equal arc-length steps.
std::vector<PathPoint> resample(const std::vector<PathPoint>& dense, float step) {
    std::vector<PathPoint> out;
    out.push_back(dense.front());
    float carried = 0.0f;
    for (size_t i = 1; i < dense.size(); ++i) {
        const PathPoint a = dense[i - 1];
        const PathPoint b = dense[i];
        const float segment = std::hypot(b.x - a.x, b.y - a.y);
        float along = step - carried;
        while (along <= segment) {
            const float f = along / segment;
            out.push_back({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f});
            along += step;
        }
        carried = segment - (along - step);
    }
    return out;
}

void appendFloat(std::vector<uint8_t>& bytes, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(bits >> shift));
    }
}

}  // namespace

const std::vector<PathPoint>& mapPathPoints() {
    static const std::vector<PathPoint> points = resample(densePath(), kPathStep);
    return points;
}

float mapPathLength() {
    return static_cast<float>(mapPathPoints().size() - 1) * kPathStep;
}

PathPoint mapPathPoint(float d) {
    const auto& points = mapPathPoints();
    if (d > mapPathLength()) {
        return {-1000.0f, 0.0f};
    }
    if (d < 0.0f) {
        return {1000.0f, 0.0f};
    }
    const int count = static_cast<int>(points.size());
    const int i = static_cast<int>(std::floor(d / kPathStep));
    if (i > count - 2) {
        return {points.back().x, points.back().y + kPathLift};
    }
    const float f = d / kPathStep - static_cast<float>(i);
    const PathPoint a = points[i];
    const PathPoint b = points[i + 1];
    return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f + kPathLift};
}

static int levelsBeforeZone(int zone) {
    int sum = 0;
    for (int z = 0; z < zone && z < kMapZones; ++z) {
        sum += kLevelsInZone[z];
    }
    return sum;
}

PathPoint zoneFlagPoint(int flag) {
    const float step = mapPathLength() / kMapLevels;
    float d = static_cast<float>(levelsBeforeZone(flag)) * step;
    if (flag == kMapZones) {
        d -= 0.1f;
    }
    return mapPathPoint(d);
}

PathPoint levelMarkPoint(int level) {
    const float step = mapPathLength() / kMapLevels;
    int zone = 0;
    while (zone < kMapZones - 1 && level >= levelsBeforeZone(zone + 1)) {
        ++zone;
    }
    const int n = kLevelsInZone[zone];
    const int k = level - levelsBeforeZone(zone);
    const float start = static_cast<float>(levelsBeforeZone(zone)) * step;
    const float spacing = (static_cast<float>(n) * step - 32.0f) / static_cast<float>(n);
    const float d = 19.2f + start + (static_cast<float>(k) + 0.5f) * spacing;
    return mapPathPoint(d - 2.0f);
}

std::vector<uint8_t> encodeMapPath(const std::vector<PathPoint>& points, float length) {
    std::vector<uint8_t> bytes;
    const auto count = static_cast<uint32_t>(points.size());
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(count >> shift));
    }
    appendFloat(bytes, length);
    for (const PathPoint& p : points) {
        appendFloat(bytes, p.x);
        appendFloat(bytes, p.y);
    }
    for (int i = 0; i < 10; ++i) {
        appendFloat(bytes, 0.0f);
    }
    return bytes;
}

void forgeMapPath(ForgeOutput& out) {
    out.add("trajectory1.spl", encodeMapPath(mapPathPoints(), mapPathLength()));
}

}  // namespace corsavel::forge
