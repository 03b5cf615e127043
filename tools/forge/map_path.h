#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "forge/forge.h"

// The winding path across the island map ("trajectory1.spl") and where the
// game places its 100 level marks and 13 zone flags along it.
namespace corsavel::forge {

struct PathPoint {
    float x = 0;
    float y = 0;
};

// Spacing of the stored points along the path, in scene units.
constexpr float kPathStep = 20.0f;
// The game moves every loaded point up by this much before using it.
constexpr float kPathLift = 30.0f;
constexpr int kMapZones = 12;
constexpr int kMapLevels = 100;
constexpr std::array<int, kMapZones> kLevelsInZone = {4, 5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 11};

// The points as stored in the file: scene coordinates (origin at the centre,
// y up), kPathStep apart along the path, before the game's lift.
const std::vector<PathPoint>& mapPathPoints();
// Total length stored in the file: (count - 1) x kPathStep.
float mapPathLength();

// Point at distance d along the lifted path, as the map screen computes it.
PathPoint mapPathPoint(float d);
// Where the map screen draws level mark i (0..99) and zone flag i (0..12),
// in scene coordinates (lift applied).
PathPoint levelMarkPoint(int level);
PathPoint zoneFlagPoint(int flag);

// Scene coordinates to pixels of the 800x600 map picture (origin top-left).
inline PathPoint sceneToMapPixel(PathPoint p) {
    return {p.x + 400.0f, 300.0f - p.y};
}

// The file bytes: int32 count, float length, count x (x, y), 10 spare floats.
std::vector<uint8_t> encodeMapPath(const std::vector<PathPoint>& points, float length);

// Adds "trajectory1.spl" as a loose file (the map reads it from disk).
void forgeMapPath(ForgeOutput& out);

}  // namespace corsavel::forge
