#include "ui/map.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/rules.h"
#include "gfx/texture.h"
#include "resources/asset_registry.h"

namespace corsavel {

MapState mapState;

namespace {

constexpr int64_t kPathHeaderBytes = 8;
constexpr int64_t kPathExtraBytes = kPathFileExtraFloats * 4;
// Points beyond this are no map path (and would overflow the interpolation).
constexpr float kMaxPathCoordinate = 1.0e6f;
constexpr int64_t kPathFileMaxBytes = kPathHeaderBytes + kMaxPathPoints * 8 + kPathExtraBytes;

// The bytes of one path file, read whole (one more byte than allowed shows
// a file that is too long).
uint8_t pathFileBytes[kPathFileMaxBytes + 1];

int32_t readInt32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

float readFloat32(const uint8_t* p) {
    const auto bits = static_cast<uint32_t>(readInt32(p));
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t levelsBeforeZone(int zone) {
    return stageStart(zone);
}

}  // namespace

bool decodeMapPath(const uint8_t* data, int64_t size, MapPath* out) {
    out->count = 0;
    out->length = 0.0f;
    if (data == nullptr || size < kPathHeaderBytes) {
        return false;
    }
    const int32_t count = readInt32(data);
    const float length = readFloat32(data + 4);
    if (count < 2 || count > kMaxPathPoints) {
        return false;
    }
    const int64_t pointBytes = static_cast<int64_t>(count) * 8;
    if (size < kPathHeaderBytes + pointBytes ||
        size > kPathHeaderBytes + pointBytes + kPathExtraBytes) {
        return false;
    }
    // The stored length must be the polyline's: marks are spread over it.
    const float polyline = static_cast<float>(count - 1) * kPathPointSpacing;
    if (!std::isfinite(length) || std::fabs(length - polyline) > kPathPointSpacing) {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        const float x = readFloat32(data + kPathHeaderBytes + i * 8);
        const float y = readFloat32(data + kPathHeaderBytes + i * 8 + 4);
        if (!(std::fabs(x) <= kMaxPathCoordinate) || !(std::fabs(y) <= kMaxPathCoordinate)) {
            return false;
        }
        out->points[i] = Vec2{x, y + kPathLift};
    }
    out->count = count;
    out->length = length;
    return true;
}

Vec2 pathPoint(const MapPath& path, float d) {
    if (path.count < 2 || d > path.length) {
        return Vec2{-1000.0f, 0.0f};
    }
    if (!(d >= 0.0f)) {
        return Vec2{1000.0f, 0.0f};
    }
    const int32_t i = static_cast<int32_t>(std::floor(d / kPathPointSpacing));
    if (i > path.count - 2) {
        return path.points[path.count - 1];
    }
    const float f = d / kPathPointSpacing - static_cast<float>(i);
    const Vec2 a = path.points[i];
    const Vec2 b = path.points[i + 1];
    return Vec2{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
}

Vec2 pathPoint(float d) {
    return pathPoint(mapState.path, d);
}

// Each zone's marks share its stretch of path evenly, leaving 32 units of
// room around the flag at its start.
void placeFlagsAndMarks(MapState& map) {
    const float step = map.path.length / static_cast<float>(kLevelMarkCount);
    for (int i = 0; i < kZoneFlagCount; ++i) {
        float d = static_cast<float>(levelsBeforeZone(i)) * step;
        if (i == kZoneFlagCount - 1) {
            d -= 0.1f;
        }
        map.zoneFlagPoints[i] = pathPoint(map.path, d);
    }
    for (int z = 0; z < kStageCount; ++z) {
        const int32_t n = kStageSizes[z];
        const float start = static_cast<float>(levelsBeforeZone(z)) * step;
        const float spacing = (static_cast<float>(n) * step - 32.0f) / static_cast<float>(n);
        for (int32_t k = 0; k < n; ++k) {
            const float d = 19.2f + start + (static_cast<float>(k) + 0.5f) * spacing;
            map.levelMarkPoints[levelsBeforeZone(z) + k] = pathPoint(map.path, d - 2.0f);
        }
    }
}

// Only the grid, with the level file's cell characters: "." a hole, "0" to
// "2" that many layers, a pre-placed (chained) figure two layers, any other
// cell character a plain tile. A blank line or the text's end leaves the
// remaining cells plain.
bool readLevelPreview(const char* text, LevelPreview* out) {
    std::memset(out->layers, -1, sizeof out->layers);
    out->valid = false;
    const char* grid = text != nullptr ? std::strstr(text, "level=") : nullptr;
    if (grid == nullptr) {
        return false;
    }
    std::memset(out->layers, 0, sizeof out->layers);
    out->valid = true;
    const auto* p = reinterpret_cast<const uint8_t*>(grid + 6);
    auto accepted = [](uint8_t c) { return (c >= '0' && c <= 'z') || c == '.' || c >= 0xC0; };
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            while (*p != 0 && !accepted(*p)) {
                if (p[0] == '\r' && p[1] == '\n' && p[2] == '\r' && p[3] == '\n') {
                    return true;
                }
                ++p;
            }
            if (*p == 0) {
                return true;
            }
            const uint8_t ch = *p++;
            int8_t layers = 0;
            if (ch == '.') {
                layers = -1;
            } else if (ch >= '0' && ch <= '2') {
                layers = static_cast<int8_t>(ch - '0');
            } else if ((ch >= 'A' && ch <= 'O') || (ch >= 'Q' && ch <= '_') ||
                       (ch >= 'a' && ch <= 'o') || (ch >= 'q' && ch <= 'z') ||
                       (ch >= 0xC0 && ch <= 0xCE) || (ch >= 0xD0 && ch <= 0xDE)) {
                layers = 2;
            }
            out->layers[r][c] = layers;
        }
    }
    return true;
}

namespace {

// "trajectory1.spl" comes from the disk, beside the other data files.
void loadMapPath() {
    mapState.path.count = 0;
    mapState.path.length = 0.0f;
    FILE* file = std::fopen("trajectory1.spl", "rb");
    if (file == nullptr) {
        return;
    }
    const size_t read = std::fread(pathFileBytes, 1, sizeof pathFileBytes, file);
    std::fclose(file);
    decodeMapPath(pathFileBytes, static_cast<int64_t>(read), &mapState.path);
}

// The level texts are in the loader's memory after the level packs' step; a
// text is copied so the grid reader finds its end.
void loadPreviews() {
    static char text[16384];
    char name[48];
    for (int i = 0; i < kLevelMarkCount; ++i) {
        std::snprintf(name, sizeof name, "levels\\pack1_%.2i.lvl", i + 1);
        int32_t size = 0;
        const uint8_t* data = findAsset(name) != nullptr ? loadFile(name, &size, false) : nullptr;
        if (data == nullptr || size <= 0) {
            readLevelPreview(nullptr, &mapState.previews[i]);
            continue;
        }
        const int32_t n = size < static_cast<int32_t>(sizeof text) - 1 ? size : sizeof text - 1;
        std::memcpy(text, data, static_cast<size_t>(n));
        text[n] = 0;
        readLevelPreview(text, &mapState.previews[i]);
    }
}

}  // namespace

void loadMap() {
    mapState.mapImage = loadImageSized("menumap.jpg", 800, 600);
    mapState.levelMarkImage = loadTexture("levelmark.tga");
    mapState.flagImage = loadTexture("flag.tga");
    constexpr const char* kTiles[3] = {"field\\field0.tga", "field\\field1.tga",
                                       "field\\field2.tga"};
    for (int i = 0; i < 3; ++i) {
        mapState.tileImages[i] = loadTexture(kTiles[i]);
    }
    loadMapPath();
    placeFlagsAndMarks(mapState);
    loadPreviews();
}

int32_t levelMarkAt(Vec2 point) {
    const float half = kLevelMarkHitSize / 2.0f;
    for (int32_t i = 0; i < kLevelMarkCount; ++i) {
        const Vec2 m = mapState.levelMarkPoints[i];
        if (std::fabs(point.x - m.x) <= half && std::fabs(point.y - m.y) <= half) {
            return i;
        }
    }
    return -1;
}

namespace {

int32_t clampLevel(int32_t n) {
    return n < 0 ? 0 : (n > kLevelCount - 1 ? kLevelCount - 1 : n);
}

}  // namespace

MapView makeMapView(const Profile& profile, int mode, int32_t selected, float timerMs) {
    const int m = mode == 1 ? 1 : 0;
    MapView view;
    view.mode = m;
    view.best = clampLevel(stageStart(profile.unlockedStage[m]) + profile.unlockedIndex[m]);
    view.current = clampLevel(stageStart(profile.currentStage[m]) + profile.currentIndex[m]);
    view.selected = clampLevel(selected);
    view.openZone = view.best == kLevelCount - 1 ? kStageCount : stageOfLevel(view.best);
    view.score = profile.score[m];
    view.timerMs = timerMs;
    return view;
}

int32_t zoneFlagAlpha(const MapView& view, int flag) {
    return flag <= view.openZone ? 255 : 90;
}

// The selected mark pulses between red and green; the others are red with a
// yellow glint that runs along the path every few seconds; marks past the
// furthest level are faint.
Colour levelMarkColour(const MapView& view, int level) {
    if (level > view.best) {
        return makeColour(55, 255, 255, 255);
    }
    const float t = view.timerMs;
    if (level == view.selected) {
        const float c = (std::sin(t * 0.01f) + 1.0f) * 0.5f;
        return makeColour(255, 255 - static_cast<int>(c * 200.0f), static_cast<int>(c * 255.0f), 0);
    }
    const float wave = std::sin(t * 0.001f);
    const float shimmer = wave > 0.7f ? (wave - 0.7f) / 0.3f : 0.0f;
    const float f =
        (std::sin(-0.3f * static_cast<float>(level) + t * 0.005f) + 1.0f) * shimmer * 0.5f;
    return makeColour(255, 255, static_cast<int>(f * 185.0f + 55.0f), 55);
}

float levelMarkSize(const MapView& view, int level) {
    if (level == view.selected && level != view.current) {
        return std::sin(view.timerMs * 0.03f) * 2.5f + 11.0f;
    }
    return 11.0f;
}

}  // namespace corsavel
