#pragma once

#include <cstdint>

#include "game/progress.h"
#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

// The island map: the menu screen's backdrop kind 1. A path read from
// "trajectory1.spl" winds across the island; 13 zone flags mark the stage
// borders along it and 100 level marks sit between them.

constexpr int kZoneFlagCount = kStageCount + 1;
constexpr int kLevelMarkCount = kLevelCount;
// Stored points lie this far apart along the path.
constexpr float kPathPointSpacing = 20.0f;
// Every loaded point is moved up by this much.
constexpr float kPathLift = 30.0f;
// A path longer than this many points is refused (the file is 8 bytes per point).
constexpr int kMaxPathPoints = 4096;
// Spare floats at the end of the file that the map does not use.
constexpr int kPathFileExtraFloats = 10;
// A level mark answers the pointer in a square this wide around its centre.
constexpr float kLevelMarkHitSize = 16.0f;

// Where the selected level's miniature and the map's texts stand.
constexpr Vec2 kPreviewPosition{297.0f, 215.0f};
constexpr float kPreviewScale = 0.2f;

struct MapPath {
    Vec2 points[kMaxPathPoints] = {};
    int32_t count = 0;
    float length = 0.0f;
};

// A level's tile layout as the preview shows it: layers per cell, -1 for a hole.
struct LevelPreview {
    int8_t layers[11][12] = {};
    bool valid = false;
};

struct MapState {
    MapPath path;
    Vec2 zoneFlagPoints[kZoneFlagCount] = {};
    Vec2 levelMarkPoints[kLevelMarkCount] = {};
    // Read once at load, so drawing the preview never touches the live board.
    LevelPreview previews[kLevelMarkCount];
    // The level the map shows as selected (the level pages keep it on the
    // focused mark).
    int32_t selectedLevel = 0;
    const TextureEntry* mapImage = nullptr;
    const TextureEntry* levelMarkImage = nullptr;
    const TextureEntry* flagImage = nullptr;
    const TextureEntry* tileImages[3] = {};
};

extern MapState mapState;

// Decodes "trajectory1.spl" bytes: int32 count, float length, count points
// (x, y), up to 10 spare floats, little-endian. The lift is applied. A file
// too short for its count, longer than its count and spare floats allow,
// with fewer than 2 or more than kMaxPathPoints points, a length that is not
// about (count - 1) x 20, or any non-finite number (or one beyond a million)
// leaves `out` empty and returns false.
bool decodeMapPath(const uint8_t* data, int64_t size, MapPath* out);

// The point at distance d along the path: off the left edge past the end,
// off the right edge before the start (and for an empty path or a NaN).
Vec2 pathPoint(const MapPath& path, float d);
Vec2 pathPoint(float d);

// Zone flags at the stage borders; level marks spaced within their zone.
void placeFlagsAndMarks(MapState& map);

// Reads a level file's grid into a preview (layers only); false and an all-hole
// preview when the text has no "level=".
bool readLevelPreview(const char* text, LevelPreview* out);

// The one-time load's step: the three pictures, the path, the flags and
// marks, and the previews of the level files already in memory.
void loadMap();

// The mark whose 16x16 square holds the point, -1 when none.
int32_t levelMarkAt(Vec2 point);

// What the map shows for a profile in a mode, and the looks that follow
// from it (pure arithmetic, drawn by drawMap).
struct MapView {
    int32_t best = 0;      // furthest level reached (unlocked)
    int32_t current = 0;   // the level the profile is on
    int32_t selected = 0;  // the level selected on the map
    int32_t openZone = 0;  // flags up to this one stand out
    int32_t mode = 0;
    int32_t score = 0;
    float timerMs = 0.0f;
};

MapView makeMapView(const Profile& profile, int mode, int32_t selected, float timerMs);
int32_t zoneFlagAlpha(const MapView& view, int flag);
Colour levelMarkColour(const MapView& view, int level);
float levelMarkSize(const MapView& view, int level);

// The whole map for one frame: picture, flags, marks, preview and texts of
// the current profile in the session's mode, with mapState.selectedLevel.
void drawMap(float menuTimerMs);
// The miniature of one level's tiles.
void drawLevelPreview(int32_t level, Vec2 position, float scale);

}  // namespace corsavel
