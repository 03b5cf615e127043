#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;
class SceneObject;

// The animated backgrounds: a painted picture (0 behind the menus, 1..12 one
// per stage) with scene layers behind and in front of it (scrolling sky and
// water, a falling waterfall, spray, swaying leaves, still objects). The
// layers take their images from the manifest "gameobjs.txt"; each background
// places them with its scene file "AnimBacks/level%i.lev".
constexpr int kBackgroundCount = 13;
constexpr int kMaxSceneEntries = 512;
constexpr int kMaxSceneGroups = 32;
constexpr int kSceneNameSize = 32;
constexpr int kMaxBackgroundLayers = 128;
constexpr int kSprayParticles = 256;
constexpr int kMaxLeafQuads = 128;
constexpr float kCrossFadeMs = 6000.0f;
constexpr int kSceneHeaderSize = 68;
constexpr int kLayerRecordSize = 65;

struct SceneObjectEntry {
    char name[kSceneNameSize] = {};
    SceneObject* object = nullptr;
    TextureEntry* texture = nullptr;
    int32_t group = 0;
};

// The manifest: entries and the names of the groups they were read in.
struct SceneManifest {
    SceneObjectEntry entries[kMaxSceneEntries];
    int32_t count = 0;
    char groups[kMaxSceneGroups][kSceneNameSize] = {};
    int32_t groupCount = 0;
};

// A manifest entry as written: its key, its file name and its group.
struct ManifestItem {
    char name[kSceneNameSize] = {};
    char file[128] = {};
    int32_t group = 0;
};

// How a layer moves, found from its entry's name.
enum class LayerKind : uint8_t { Still, Sky, Waterfall, Water, Spray, Leaves };

// One record of a scene file, as stored.
struct LayerRecord {
    char name[kSceneNameSize] = {};
    float rect[4] = {};  // x0, y0, x1, y1 in scene units (origin at the centre, y up)
    float angle = 0.0f;  // radians
    float flow[2] = {};
    uint8_t mirrored = 0;
    int32_t behind = 0;
};

struct BackgroundLayer {
    LayerRecord record;
    int32_t entry = -1;  // manifest entry, -1 when no entry has its name
    LayerKind kind = LayerKind::Still;
    float clockMs = 0.0f;
};

struct SceneLayers {
    BackgroundLayer layers[kMaxBackgroundLayers];
    int32_t count = 0;
};

struct SprayParticle {
    float x = 0.0f;
    float y = 0.0f;
    float lifeMs = 0.0f;
    TextureEntry* texture = nullptr;
};

struct BackgroundState {
    SceneManifest manifest;
    SceneLayers scenes[kBackgroundCount];  // as read at the one-time load
    bool loaded = false;
    int32_t current = -1;
    TextureEntry* currentPicture = nullptr;
    SceneLayers currentLayers;
    int32_t next = -1;
    TextureEntry* nextPicture = nullptr;
    SceneLayers nextLayers;
    float fadeMs = 0.0f;  // cross-fade time left, 0 when none runs
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float tintTarget[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    SprayParticle spray[kSprayParticles];
    int32_t sprayNext = 0;
};

extern BackgroundState background;

// Reads the manifest's groups and entries from its text (bounded by size);
// false when it holds more than the tables take (the rest is dropped).
bool parseSceneManifest(const char* text, size_t size, ManifestItem* items, int32_t capacity,
                        int32_t* count, char (*groups)[kSceneNameSize], int32_t* groupCount);
// Reads a scene file's layer records. The count is bounded by the bytes that
// are there and by the table; false when the header itself is missing.
bool parseSceneFile(const uint8_t* bytes, size_t size, LayerRecord* records, int32_t capacity,
                    int32_t* count);
LayerKind layerKindOf(const char* entryName);

// The one-time load: the manifest with its textures and objects, then the
// 13 scene files (all required).
void preloadBackgrounds();
void releaseBackgrounds();
// Shows background n at once (n outside 0..12 is 0).
void loadBackground(int32_t n);
// Cross-fades to background n over 6 s.
void queueBackground(int32_t n);
// Tint presets: 0 bluish, 1 reddish, 2 white, any other transparent.
void tintPreset(int32_t preset, float out[4]);
void setTintNow(const float rgba[4]);
void setTintTarget(const float rgba[4]);

// One step of stepMs: the tint eases toward its target, leaves sway, spray
// rises and the cross-fade runs (swapping pictures at its end).
void updateBackground(float stepMs);
// The still version (menus): the current background with the tint.
void drawBackground();
// The game screen's version: the current background zooming away while the
// next one fades in during a cross-fade.
void drawBackgroundWithFade();

}  // namespace corsavel
