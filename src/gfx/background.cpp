#include "gfx/background.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/primitives.h"
#include "platform/random.h"
#include "platform/render_device.h"
#include "platform/window.h"
#include "resources/asset_registry.h"

namespace corsavel {

BackgroundState background;

namespace {

constexpr float kRadiansToDegrees = 57.29578f;
constexpr float kTintRate = 0.0015f;
constexpr float kSprayLifeMs = 2000.0f;
constexpr float kSprayAreaMs = 300000.0f;
constexpr float kLeafPhaseStepMs = 400.0f;
constexpr int kPictureWidth = 800;
constexpr int kPictureHeight = 600;
constexpr float kLayerDepth = 20.0f;
constexpr float kPictureDepth = 10.0f;

bool isSpace(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

void copyName(char (&out)[kSceneNameSize], const char* from, size_t length) {
    const size_t n = length < kSceneNameSize - 1 ? length : kSceneNameSize - 1;
    std::memcpy(out, from, n);
    out[n] = '\0';
}

int32_t clampNumber(int32_t n) {
    return (n < 0 || n >= kBackgroundCount) ? 0 : n;
}

void pictureName(int32_t n, char (&out)[64]) {
    std::snprintf(out, sizeof out, "AnimBacks/_a_back%i.jpg", static_cast<int>(n));
}

float readFloat32(const uint8_t* p) {
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

int32_t readInt32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

// The last manifest entry of that name wins.
int32_t findEntry(const char* name) {
    const SceneManifest& m = background.manifest;
    for (int32_t i = m.count - 1; i >= 0; --i) {
        if (std::strncmp(m.entries[i].name, name, kSceneNameSize) == 0) {
            return i;
        }
    }
    return -1;
}

TextureEntry* layerTexture(const BackgroundLayer& layer) {
    if (layer.entry < 0 || layer.entry >= background.manifest.count) {
        return nullptr;
    }
    return background.manifest.entries[layer.entry].texture;
}

// A fresh copy of a background's layers, each with its own clock.
void takeScene(int32_t n, SceneLayers* out, bool randomClocks) {
    *out = background.scenes[n];
    if (!randomClocks) {
        return;
    }
    for (int32_t i = 0; i < out->count; ++i) {
        out->layers[i].clockMs = looksRandom.randomUnit(500.0f);
    }
}

void emitSpray(const BackgroundLayer& layer) {
    const LayerRecord& r = layer.record;
    const float w = std::fabs(r.rect[2] - r.rect[0]);
    const float h = std::fabs(r.rect[3] - r.rect[1]);
    SprayParticle& p = background.spray[background.sprayNext];
    background.sprayNext = (background.sprayNext + 1) % kSprayParticles;
    p.x = (r.rect[0] + r.rect[2]) * 0.5f + looksRandom.randomSigned(w * 0.5f);
    p.y = (r.rect[1] + r.rect[3]) * 0.5f + looksRandom.randomSigned(h * 0.5f);
    p.lifeMs = kSprayLifeMs;
    p.texture = layerTexture(layer);
}

// Leaves sway on their clocks; spray layers emit one particle per
// 300000 / area ms (a layer of no area never emits), none during a fade.
void advanceLayers(SceneLayers& scene, float stepMs, bool fading) {
    for (int32_t i = 0; i < scene.count; ++i) {
        BackgroundLayer& layer = scene.layers[i];
        if (layer.kind == LayerKind::Leaves) {
            layer.clockMs += stepMs;
        } else if (layer.kind == LayerKind::Spray) {
            layer.clockMs += stepMs;
            const LayerRecord& r = layer.record;
            const float area = std::fabs((r.rect[2] - r.rect[0]) * (r.rect[3] - r.rect[1]));
            if (area > 0.0f && layer.clockMs > kSprayAreaMs / area) {
                layer.clockMs = 0.0f;
                if (!fading) {
                    emitSpray(layer);
                }
            }
        }
    }
}

void releasePicture(TextureEntry*& picture) {
    if (picture != nullptr) {
        releaseTexture(picture);
        picture = nullptr;
    }
}

// --- drawing -------------------------------------------------------------

struct LeafQuad {
    float x, y, px, py, angleDegrees, w, h;
    Colour colour;
    TextureEntry* texture;
    bool mirrored;
};

struct DrawScratch {
    LeafQuad leaves[kMaxLeafQuads];
    int32_t leafCount = 0;
    float leafPhase = 0.0f;
    // Scene y below which the layers behind the picture are hidden by its
    // opaque rows (the bottom of the scene when nothing is hidden).
    float hiddenBelow = -300.0f;
};
DrawScratch scratch;

UvRect layerUv(float ou, float ov, float su, float sv, bool mirrored) {
    if (mirrored) {
        return UvRect{ou + su, ov, ou, ov + sv};
    }
    return UvRect{ou, ov, ou + su, ov + sv};
}

// Sky and water are opaque and drawn first: at full opacity they need no
// blending, which spares the software rasteriser a read of every pixel.
void drawOpaqueLayerQuad(const LayerRecord& r, TextureEntry* texture, const UvRect& uv,
                         Colour colour);

void drawLayerQuad(const LayerRecord& r, TextureEntry* texture, const UvRect& uv, Colour colour) {
    const float w = std::fabs(r.rect[2] - r.rect[0]);
    const float h = std::fabs(r.rect[3] - r.rect[1]);
    const float cx = (r.rect[0] + r.rect[2]) * 0.5f;
    const float cy = (r.rect[1] + r.rect[3]) * 0.5f;
    const float top = cy + h * 0.5f;
    const float bottom = cy - h * 0.5f;
    // An upright layer reaching into the rows the picture covers is cut at
    // their edge (its texture coordinates with it); one wholly in them is
    // not drawn.
    if (r.angle == 0.0f && bottom < scratch.hiddenBelow) {
        if (top <= scratch.hiddenBelow) {
            return;
        }
        const float kept = (top - scratch.hiddenBelow) / h;
        UvRect cut = uv;
        cut.vMax = uv.vMin + (uv.vMax - uv.vMin) * kept;
        bindTexture(texture);
        drawSpriteRect(cx - w * 0.5f, top, cx + w * 0.5f, scratch.hiddenBelow, cut, colour,
                       kLayerDepth);
        return;
    }
    bindTexture(texture);
    drawSpriteRotated(cx, cy, cx, cy, r.angle * kRadiansToDegrees, w, h, uv, colour, kLayerDepth);
}

void drawOpaqueLayerQuad(const LayerRecord& r, TextureEntry* texture, const UvRect& uv,
                         Colour colour) {
    float tr, tg, tb, ta;
    getTint(&tr, &tg, &tb, &ta);
    const bool opaque = (colour >> 24) == 255 && ta >= 1.0f;
    if (opaque) {
        setRenderState(RenderState::AlphaBlendEnable, 0);
    }
    drawLayerQuad(r, texture, uv, colour);
    if (opaque) {
        setRenderState(RenderState::AlphaBlendEnable, 1);
    }
}

void queueLeaves(const BackgroundLayer& layer, TextureEntry* texture, float w, float h) {
    const LayerRecord& r = layer.record;
    const float p = scratch.leafPhase + layer.clockMs;
    scratch.leafPhase += kLeafPhaseStepMs;
    if (scratch.leafCount >= kMaxLeafQuads) {
        return;
    }
    const char* name = background.manifest.entries[layer.entry].name;
    float a1 = 0.6f, f1 = 0.0022f, a2 = 0.24f, f2 = 0.0038f;
    if (std::strstr(name, "leaves1")) {
        a1 = 0.5f, f1 = 0.003f, a2 = 0.2f, f2 = 0.0043f;
    } else if (std::strstr(name, "leaves2")) {
        a1 = 0.18f, f1 = 0.004f, a2 = 0.11f, f2 = 0.0024f;
    }
    const float flow = std::sqrt(r.flow[0] * r.flow[0] + r.flow[1] * r.flow[1]);
    // Darker with the flow's length, every 256 units over; a length beyond
    // the float range (a damaged record) counts as none.
    const float wrapped = std::isfinite(flow) ? std::fmod(flow, 256.0f) : 0.0f;
    const int g = 255 - static_cast<int>(wrapped);
    const float m = r.mirrored ? -1.0f : 1.0f;
    const float cx = (r.rect[0] + r.rect[2]) * 0.5f;
    const float cy = (r.rect[1] + r.rect[3]) * 0.5f;
    LeafQuad& q = scratch.leaves[scratch.leafCount++];
    q.x = cx;
    q.y = cy;
    q.px = cx - w * 0.5f * m;
    q.py = cy;
    q.angleDegrees = (r.angle + a1 * std::sin(p * f1) + a2 * std::sin(p * f2)) * kRadiansToDegrees;
    q.w = w;
    q.h = h;
    q.colour = makeColour(255, g, g, g);
    q.texture = texture;
    q.mirrored = r.mirrored != 0;
}

// Pass A: layers behind the picture (sky, water, waterfall, still layers
// marked behind); leaves are queued and spray needs no drawing. Returns
// which layers pass B still has to draw.
void drawBehindLayers(const SceneLayers& scene, bool handled[], Colour behindColour) {
    const float t = app.animationClockMs;
    for (int32_t i = 0; i < scene.count; ++i) {
        const BackgroundLayer& layer = scene.layers[i];
        handled[i] = true;
        TextureEntry* texture = layerTexture(layer);
        const LayerRecord& r = layer.record;
        const float w = std::fabs(r.rect[2] - r.rect[0]);
        const float h = std::fabs(r.rect[3] - r.rect[1]);
        // A layer with no entry, no texture or no size has nothing to show.
        if (texture == nullptr || texture->width <= 0 || texture->height <= 0 || w <= 0.0f ||
            h <= 0.0f) {
            continue;
        }
        const float tw = static_cast<float>(texture->width);
        const float th = static_cast<float>(texture->height);
        switch (layer.kind) {
            case LayerKind::Sky:
                drawOpaqueLayerQuad(r, texture,
                                    layerUv(-3e-6f * t, 0.0f, w / h * th / tw, 1.0f, r.mirrored),
                                    behindColour);
                break;
            case LayerKind::Waterfall:
                drawLayerQuad(r, texture,
                              layerUv(-r.flow[0] * t * 0.00001f, -r.flow[1] * t * 0.00001f, w / tw,
                                      h / th, r.mirrored),
                              behindColour);
                break;
            case LayerKind::Water:
                drawOpaqueLayerQuad(r, texture,
                                    layerUv(-r.flow[0] * t * 0.000002f, -r.flow[1] * t * 0.000002f,
                                            w / tw, h / th, r.mirrored),
                                    behindColour);
                break;
            case LayerKind::Spray:
                break;
            case LayerKind::Leaves:
                queueLeaves(layer, texture, w, h);
                break;
            case LayerKind::Still:
                if (r.behind != 0) {
                    drawLayerQuad(r, texture, layerUv(0.0f, 0.0f, 1.0f, 1.0f, r.mirrored),
                                  behindColour);
                } else {
                    handled[i] = false;
                }
                break;
        }
    }
}

void drawFrontLayers(const SceneLayers& scene, const bool handled[]) {
    for (int32_t i = 0; i < scene.count; ++i) {
        if (handled[i]) {
            continue;
        }
        const BackgroundLayer& layer = scene.layers[i];
        TextureEntry* texture = layerTexture(layer);
        const LayerRecord& r = layer.record;
        if (texture == nullptr || r.rect[2] == r.rect[0] || r.rect[3] == r.rect[1]) {
            continue;
        }
        drawLayerQuad(r, texture, layerUv(0.0f, 0.0f, 1.0f, 1.0f, r.mirrored), 0xFFFFFFFFu);
    }
}

void drawSpray() {
    setBlendMode(1);
    for (const SprayParticle& p : background.spray) {
        if (p.lifeMs <= 0.0f || p.texture == nullptr) {
            continue;
        }
        const float q = p.lifeMs / kSprayLifeMs * kPi;
        const float rise = 20.0f * std::sin(q);
        const float s = (kSprayLifeMs - p.lifeMs) * 0.011f + 15.0f;
        const int grey = static_cast<int>(std::sin(q) * 255.0f);
        bindTexture(p.texture);
        drawSprite(p.x, p.y + 0.02f * rise * rise, s, s, UvRect{},
                   makeColour(255, grey, grey, grey), kLayerDepth);
    }
    setBlendMode(0);
}

void drawLeaves() {
    for (int32_t i = 0; i < scratch.leafCount; ++i) {
        const LeafQuad& q = scratch.leaves[i];
        bindTexture(q.texture);
        const UvRect uv = q.mirrored ? UvRect{1.0f, 0.0f, 0.0f, 1.0f} : UvRect{};
        drawSpriteRotated(q.x, q.y, q.px, q.py, q.angleDegrees, q.w, q.h, uv, q.colour,
                          kLayerDepth);
    }
}

bool texelForTexel(const TextureEntry* picture, bool still) {
    const SceneViewport viewport = sceneViewport();
    return still && viewport.width == kPictureWidth && viewport.height == kPictureHeight &&
           picture->width > 0 && picture->height > 0;
}

// Scene y of the top of the picture's opaque rows when it is drawn texel for
// texel and opaque (its colour and the tint at full alpha), else the
// bottom of the scene.
float opaqueEdge(const TextureEntry* picture, Colour colour, bool still) {
    float tr, tg, tb, ta;
    getTint(&tr, &tg, &tb, &ta);
    if (picture == nullptr || !texelForTexel(picture, still) || (colour >> 24) != 255 ||
        ta < 1.0f || picture->opaqueFromRow < 0 || picture->opaqueFromRow >= kPictureHeight) {
        return -300.0f;
    }
    return 300.0f - static_cast<float>(picture->opaqueFromRow);
}

// The picture fills the scene texel for texel. Standing still it is drawn
// with its texel centres on the pixel centres and nearest sampling: the same
// pixels as bilinear filtering, at a fraction of the software rasteriser's
// cost; its opaque rows at the bottom need no blending. Zoomed by a
// cross-fade or scaled to a larger window it is filtered bilinearly.
void drawPicture(TextureEntry* picture, Colour colour, bool still) {
    bindTexture(picture);
    if (!texelForTexel(picture, still)) {
        drawScreenImage(0.0f, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f,
                        static_cast<float>(kPictureWidth) / 1024.0f,
                        static_cast<float>(kPictureHeight) / 1024.0f, colour);
        return;
    }
    const uint32_t mag = stageStateValue(StageState::MagFilter);
    const uint32_t min = stageStateValue(StageState::MinFilter);
    setStageState(StageState::MagFilter, kFilterPoint);
    setStageState(StageState::MinFilter, kFilterPoint);
    const float uMax = static_cast<float>(kPictureWidth) / static_cast<float>(picture->width);
    const float vMax = static_cast<float>(kPictureHeight) / static_cast<float>(picture->height);
    const float edge = opaqueEdge(picture, colour, still);
    if (edge > -300.0f) {
        const float vEdge =
            static_cast<float>(picture->opaqueFromRow) / static_cast<float>(picture->height);
        if (picture->opaqueFromRow > 0) {
            drawSpriteRect(-400.0f, 300.0f, 400.0f, edge, UvRect{0.0f, 0.0f, uMax, vEdge}, colour,
                           kPictureDepth);
        }
        setRenderState(RenderState::AlphaBlendEnable, 0);
        drawSpriteRect(-400.0f, edge, 400.0f, -300.0f, UvRect{0.0f, vEdge, uMax, vMax}, colour,
                       kPictureDepth);
        setRenderState(RenderState::AlphaBlendEnable, 1);
    } else {
        drawSpriteRect(-400.0f, 300.0f, 400.0f, -300.0f, UvRect{0.0f, 0.0f, uMax, vMax}, colour,
                       kPictureDepth);
    }
    setStageState(StageState::MagFilter, mag);
    setStageState(StageState::MinFilter, min);
}

// One background: layers behind, the picture, layers in front, spray and
// leaves. behindColour fades the layers behind in with the picture.
void drawScene(const SceneLayers& scene, TextureEntry* picture, Colour pictureColour,
               Colour behindColour, bool withSpray, bool still) {
    scratch.leafCount = 0;
    scratch.leafPhase = 0.0f;
    bool handled[kMaxBackgroundLayers];
    scratch.hiddenBelow = opaqueEdge(picture, pictureColour, still);
    drawBehindLayers(scene, handled, behindColour);
    scratch.hiddenBelow = -300.0f;
    if (picture != nullptr) {
        drawPicture(picture, pictureColour, still);
    }
    drawFrontLayers(scene, handled);
    if (withSpray) {
        drawSpray();
    }
    drawLeaves();
}

// The states every background drawing starts from: blended, alpha-tested,
// no depth, wrapping texture coordinates for the scrolling layers.
struct SavedStates {
    uint32_t addressU, addressV, zEnable, alphaTest, blend, cull;
};

SavedStates beginBackground() {
    SavedStates s{stageStateValue(StageState::AddressU),
                  stageStateValue(StageState::AddressV),
                  renderStateValue(RenderState::ZEnable),
                  renderStateValue(RenderState::AlphaTestEnable),
                  renderStateValue(RenderState::AlphaBlendEnable),
                  renderStateValue(RenderState::CullMode)};
    setStageState(StageState::AddressU, kAddressWrap);
    setStageState(StageState::AddressV, kAddressWrap);
    setRenderState(RenderState::ZEnable, 0);
    setRenderState(RenderState::AlphaTestEnable, 1);
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setRenderState(RenderState::CullMode, kCullNone);
    setBlendMode(0);
    setTint(background.tint[0], background.tint[1], background.tint[2], background.tint[3]);
    return s;
}

void endBackground(const SavedStates& s) {
    setTint(1.0f, 1.0f, 1.0f, 1.0f);
    setWorld(nullptr);
    setBlendMode(0);
    setStageState(StageState::AddressU, s.addressU);
    setStageState(StageState::AddressV, s.addressV);
    setRenderState(RenderState::ZEnable, s.zEnable);
    setRenderState(RenderState::AlphaTestEnable, s.alphaTest);
    setRenderState(RenderState::AlphaBlendEnable, s.blend);
    setRenderState(RenderState::CullMode, s.cull);
}

Colour withAlpha(float a) {
    const float c = a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
    return makeColour(static_cast<int>(255.0f * c), 255, 255, 255);
}

}  // namespace

LayerKind layerKindOf(const char* name) {
    if (std::strstr(name, "sky")) {
        return LayerKind::Sky;
    }
    if (std::strstr(name, "waterfall")) {
        return LayerKind::Waterfall;
    }
    if (std::strstr(name, "water")) {
        return LayerKind::Water;
    }
    if (std::strstr(name, "spray")) {
        return LayerKind::Spray;
    }
    if (std::strstr(name, "leaves")) {
        return LayerKind::Leaves;
    }
    return LayerKind::Still;
}

bool parseSceneManifest(const char* text, size_t size, ManifestItem* items, int32_t capacity,
                        int32_t* count, char (*groups)[kSceneNameSize], int32_t* groupCount) {
    *count = 0;
    *groupCount = 0;
    bool complete = true;
    size_t p = 0;
    auto find = [&](size_t from, const char* what) -> size_t {
        const size_t n = std::strlen(what);
        for (size_t i = from; i + n <= size; ++i) {
            if (std::memcmp(text + i, what, n) == 0) {
                return i;
            }
        }
        return size;
    };
    while (p < size) {
        const size_t open = find(p, "[");
        if (open >= size) {
            break;
        }
        if (open + 1 < size && text[open + 1] == '/') {
            p = open + 2;  // a stray closing tag
            continue;
        }
        const size_t close = find(open + 1, "/]");
        if (close >= size) {
            break;
        }
        int32_t group = *groupCount;
        if (group < kMaxSceneGroups) {
            copyName(groups[group], text + open + 1, close - open - 1);
            *groupCount += 1;
        } else {
            complete = false;
            group = kMaxSceneGroups - 1;
        }
        p = close + 2;
        // Entries up to the closing tag "[/".
        while (p < size) {
            while (p < size && isSpace(text[p])) {
                ++p;
            }
            if (p >= size) {
                break;
            }
            if (text[p] == '[' && p + 1 < size && text[p + 1] == '/') {
                const size_t end = find(p, "]");
                p = end < size ? end + 1 : size;
                break;
            }
            const size_t equals = find(p, "=");
            if (equals >= size) {
                p = size;
                break;
            }
            const size_t keyStart = p;
            p = equals + 1;
            while (p < size && text[p] == ' ') {
                ++p;
            }
            const size_t fileStart = p;
            while (p < size && !isSpace(text[p]) && text[p] != ',') {
                ++p;
            }
            if (*count >= capacity) {
                complete = false;
                continue;
            }
            ManifestItem& item = items[(*count)++];
            copyName(item.name, text + keyStart, equals - keyStart);
            const size_t fileLength =
                p - fileStart < sizeof item.file - 1 ? p - fileStart : sizeof item.file - 1;
            std::memcpy(item.file, text + fileStart, fileLength);
            item.file[fileLength] = '\0';
            item.group = group;
            if (p < size && text[p] == ',') {
                ++p;
            }
        }
    }
    return complete;
}

bool parseSceneFile(const uint8_t* bytes, size_t size, LayerRecord* records, int32_t capacity,
                    int32_t* count) {
    *count = 0;
    if (bytes == nullptr || size < static_cast<size_t>(kSceneHeaderSize)) {
        return false;
    }
    const int32_t stated = readInt32(bytes + 64);
    const size_t present = (size - kSceneHeaderSize) / kLayerRecordSize;
    int32_t n = stated < 0 ? 0 : stated;
    if (static_cast<size_t>(n) > present) {
        n = static_cast<int32_t>(present);
    }
    if (n > capacity) {
        n = capacity;
    }
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t* r = bytes + kSceneHeaderSize + static_cast<size_t>(i) * kLayerRecordSize;
        LayerRecord& out = records[i];
        copyName(out.name, reinterpret_cast<const char*>(r),
                 strnlen(reinterpret_cast<const char*>(r), kSceneNameSize));
        for (int k = 0; k < 4; ++k) {
            out.rect[k] = readFloat32(r + 32 + 4 * k);
        }
        out.angle = readFloat32(r + 48);
        out.flow[0] = readFloat32(r + 52);
        out.flow[1] = readFloat32(r + 56);
        out.mirrored = r[60];
        out.behind = readInt32(r + 61);
        // Values that are not numbers would spread through the drawing.
        for (float* v : {&out.rect[0], &out.rect[1], &out.rect[2], &out.rect[3], &out.angle,
                         &out.flow[0], &out.flow[1]}) {
            if (!std::isfinite(*v)) {
                *v = 0.0f;
            }
        }
    }
    *count = n;
    return true;
}

void preloadBackgrounds() {
    int32_t size = 0;
    const uint8_t* text = loadFile("gameobjs.txt", &size, true);
    static ManifestItem items[kMaxSceneEntries];
    int32_t count = 0;
    SceneManifest& m = background.manifest;
    m = SceneManifest{};
    parseSceneManifest(reinterpret_cast<const char*>(text), static_cast<size_t>(size), items,
                       kMaxSceneEntries, &count, m.groups, &m.groupCount);
    for (int32_t i = 0; i < count; ++i) {
        SceneObjectEntry& e = m.entries[m.count++];
        std::memcpy(e.name, items[i].name, kSceneNameSize);
        e.group = items[i].group;
        if (std::strstr(items[i].file, ".tga") || std::strstr(items[i].file, ".jpg")) {
            e.texture = loadTexture(items[i].file);
        } else if (std::strstr(items[i].file, ".cgo")) {
            e.object = loadSceneObject(items[i].file);
        }
    }
    static LayerRecord records[kMaxBackgroundLayers];
    for (int32_t n = 0; n < kBackgroundCount; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "AnimBacks/level%i.lev", static_cast<int>(n));
        int32_t bytes = 0;
        const uint8_t* data = loadFile(name, &bytes, true);
        int32_t layers = 0;
        parseSceneFile(data, static_cast<size_t>(bytes), records, kMaxBackgroundLayers, &layers);
        SceneLayers& scene = background.scenes[n];
        scene.count = layers;
        for (int32_t i = 0; i < layers; ++i) {
            BackgroundLayer& layer = scene.layers[i];
            layer = BackgroundLayer{};
            layer.record = records[i];
            layer.entry = findEntry(records[i].name);
            layer.kind =
                layer.entry >= 0 ? layerKindOf(m.entries[layer.entry].name) : LayerKind::Still;
        }
    }
    background.loaded = true;
}

void releaseBackgrounds() {
    if (background.nextPicture != background.currentPicture) {
        releasePicture(background.nextPicture);
    }
    background.nextPicture = nullptr;
    releasePicture(background.currentPicture);
    background.current = -1;
    background.next = -1;
    background.fadeMs = 0.0f;
    background.loaded = false;
}

void loadBackground(int32_t n) {
    n = clampNumber(n);
    // An immediate switch ends a running fade; its next picture goes unless
    // it is the one kept.
    background.fadeMs = 0.0f;
    char name[64];
    pictureName(n, name);
    if (background.nextPicture != nullptr && background.nextPicture != background.currentPicture) {
        releasePicture(background.nextPicture);
    }
    background.nextPicture = nullptr;
    background.next = -1;
    if (background.currentPicture == nullptr ||
        std::strcmp(background.currentPicture->name, name) != 0) {
        releasePicture(background.currentPicture);
        background.currentPicture = loadAlphaJpegSized(name, kPictureWidth, kPictureHeight);
        if (background.loaded) {
            takeScene(n, &background.currentLayers, true);
        }
    }
    background.current = n;
}

void queueBackground(int32_t n) {
    n = clampNumber(n);
    background.fadeMs = kCrossFadeMs;
    char name[64];
    pictureName(n, name);
    if (background.nextPicture == nullptr || std::strcmp(background.nextPicture->name, name) != 0) {
        if (background.nextPicture != background.currentPicture) {
            releasePicture(background.nextPicture);
        }
        // The background on screen fades into itself: share its picture
        // rather than load a second copy that the end of the fade would
        // leave behind.
        if (background.currentPicture != nullptr &&
            std::strcmp(background.currentPicture->name, name) == 0) {
            background.nextPicture = background.currentPicture;
        } else {
            background.nextPicture = loadAlphaJpegSized(name, kPictureWidth, kPictureHeight);
        }
    }
    background.next = n;
    if (background.loaded) {
        takeScene(n, &background.nextLayers, true);
    }
}

void tintPreset(int32_t preset, float out[4]) {
    static const float kPresets[4][4] = {{0.67f, 0.67f, 1.0f, 1.0f},
                                         {1.0f, 0.67f, 0.67f, 1.0f},
                                         {1.0f, 1.0f, 1.0f, 1.0f},
                                         {1.0f, 1.0f, 1.0f, 0.0f}};
    const float* p = kPresets[(preset >= 0 && preset <= 2) ? preset : 3];
    for (int i = 0; i < 4; ++i) {
        out[i] = p[i];
    }
}

void setTintNow(const float rgba[4]) {
    for (int i = 0; i < 4; ++i) {
        background.tint[i] = rgba[i];
        background.tintTarget[i] = rgba[i];
    }
}

void setTintTarget(const float rgba[4]) {
    for (int i = 0; i < 4; ++i) {
        background.tintTarget[i] = rgba[i];
    }
}

void updateBackground(float stepMs) {
    // On a long frame the easing arrives instead of overshooting its target.
    float k = stepMs * kTintRate;
    k = k < 0.0f ? 0.0f : (k > 1.0f ? 1.0f : k);
    for (int i = 0; i < 4; ++i) {
        background.tint[i] = background.tint[i] * (1.0f - k) + background.tintTarget[i] * k;
    }
    const bool fading = background.fadeMs > 0.0f;
    advanceLayers(background.currentLayers, stepMs, fading);
    if (fading) {
        advanceLayers(background.nextLayers, stepMs, true);
    }
    for (SprayParticle& p : background.spray) {
        if (p.lifeMs > 0.0f) {
            p.lifeMs -= stepMs;
        }
    }
    if (!fading) {
        return;
    }
    background.fadeMs -= stepMs;
    if (background.fadeMs > 0.0f) {
        return;
    }
    // The fade is over: the next background becomes the current one. The
    // old picture goes only when the new one is a different texture.
    background.fadeMs = 0.0f;
    if (background.currentPicture != background.nextPicture) {
        releasePicture(background.currentPicture);
    }
    background.currentPicture = background.nextPicture;
    background.nextPicture = nullptr;
    background.current = background.next;
    background.next = -1;
    background.currentLayers = background.nextLayers;
}

void drawBackground() {
    if (background.current < 0) {
        return;
    }
    const SavedStates saved = beginBackground();
    drawScene(background.currentLayers, background.currentPicture, 0xFFFFFFFFu, 0xFFFFFFFFu, true,
              true);
    endBackground(saved);
}

void drawBackgroundWithFade() {
    if (background.current < 0) {
        return;
    }
    const float t = background.fadeMs;
    const float s = t > 0.0f ? 1.0f - t / kCrossFadeMs : 0.0f;
    const float a = (t > 0.0f && t < kCrossFadeMs * 0.5f) ? 1.0f - t / (kCrossFadeMs * 0.5f) : 0.0f;
    const SavedStates saved = beginBackground();
    // The current scene swings and zooms away as the fade runs.
    const float zoom = 1.5f * s * s + 1.0f;
    Matrix4 world;
    world.m[0][0] = zoom;
    world.m[1][1] = zoom;
    world.m[3][0] = std::cos(4.712389f * s) * 30.0f * s * s;
    world.m[3][1] = std::sin(kPi * s) * 30.0f * s * s;
    setWorld(&world);
    drawScene(background.currentLayers, background.currentPicture, 0xFFFFFFFFu, 0xFFFFFFFFu, true,
              t <= 0.0f);
    setWorld(nullptr);
    // The second half: the next scene fades in over it, its layers behind
    // the picture later than the picture itself.
    if (t > 0.0f && t <= kCrossFadeMs * 0.5f && background.next >= 0) {
        setTint(background.tint[0], background.tint[1], background.tint[2], background.tint[3] * a);
        drawScene(background.nextLayers, background.nextPicture, 0xFFFFFFFFu, withAlpha(a * a * a),
                  false, true);
    }
    endBackground(saved);
}

}  // namespace corsavel
