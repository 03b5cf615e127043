#include "gfx/particles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/primitives.h"
#include "platform/random.h"
#include "platform/render_device.h"
#include "platform/window.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {

EffectTable effectTable;
EffectsState effects;

namespace {

constexpr float kDegrees = 0.017453292f;
// Wobble terms turn 0.18 degrees per ms per unit of frequency.
constexpr float kWobbleDegreesPerMs = 0.18f;

float spread(float d) {
    return looksRandom.randomSigned(d);
}

float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

Vec2 rotated(Vec2 v, float degrees) {
    const float c = std::cos(degrees * kDegrees);
    const float s = std::sin(degrees * kDegrees);
    return Vec2{v.x * c - v.y * s, v.x * s + v.y * c};
}

// The orbit's offset: (radius, 0) turned by its angle.
Vec2 orbitOffset(const float polar[4]) {
    return rotated(Vec2{polar[0], 0.0f}, polar[2]);
}

float wobbleX(const float l[3], float age) {
    return std::cos((l[1] * age * kWobbleDegreesPerMs + l[2]) * kDegrees) * l[0];
}

float wobbleY(const float l[3], float age) {
    return std::sin((l[1] * age * kWobbleDegreesPerMs + l[2]) * kDegrees) * l[0];
}

int32_t boundedCount(float value, int32_t cap) {
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= static_cast<float>(cap) ? cap : static_cast<int32_t>(value);
}

// Groups of a burst: the loop runs while the counter is below the value, so
// 2.5 makes three.
int32_t burstGroups(float parfrequency) {
    if (!(parfrequency > 0.0f)) {
        return 0;
    }
    if (parfrequency >= static_cast<float>(kMaxGroupsPerEmission)) {
        return kMaxGroupsPerEmission;
    }
    return static_cast<int32_t>(std::ceil(parfrequency));
}

int32_t symmetry(int32_t n) {
    return n <= 0 ? 0 : std::min(n, kMaxSymmetry);
}

bool validEffect(int32_t index) {
    return index >= 0 && index < effectTable.count;
}

void emitGroup(Vec3 position, Vec2 offset, int32_t index, float scale, int32_t cell) {
    const EffectDef& d = effectTable.defs[index];
    if (cell < 0) {
        cell = d.numparticle;
    }
    const int32_t copies = symmetry(d.simetria);
    if (copies == 0) {
        spawnParticle(Vec3{position.x + offset.x, position.y + offset.y, position.z}, index, scale,
                      cell);
        return;
    }
    const float step = 360.0f / static_cast<float>(d.simetria);
    for (int32_t i = 0; i < copies; ++i) {
        spawnParticle(Vec3{position.x + offset.x, position.y + offset.y, position.z}, index, scale,
                      cell);
        offset = rotated(offset, step);
    }
}

// Further effects started together with a definition pass a shared limit, so
// effects that list each other cannot start one another without end. A clock
// that went backwards (a new level restarts it) opens a new window too.
bool externalStartAllowed() {
    const float now = app.animationClockMs;
    const float since = now - effects.externalWindowStartMs;
    if (since > kExternalStartWindowMs || since < 0.0f) {
        effects.externalStarts = 0;
    }
    effects.externalWindowStartMs = now;
    const bool allowed = effects.externalStarts < kExternalStartsPerWindow;
    if (effects.externalStarts < kExternalStartsPerWindow) {
        effects.externalStarts += 1;
    }
    return allowed;
}

void updateEmitter(Emitter& e, float dt) {
    const EffectDef& d = effectTable.defs[e.effect];
    Vec2 offset{wobbleX(d.lissx, e.age), wobbleY(d.lissy, e.age)};
    const Vec2 orbit = orbitOffset(e.polar);
    offset.x += orbit.x;
    offset.y += orbit.y;
    e.timer -= dt;
    if (e.timer < 0.0f && e.interval > 0.0f) {
        e.timer += e.interval;
        const int32_t groups =
            e.interval > dt ? 1 : boundedCount(dt / e.interval, kMaxGroupsPerEmission);
        for (int32_t g = 0; g < groups; ++g) {
            emitGroup(e.position, offset, e.effect, e.scale, e.cell);
        }
        // A long frame owes no more than one more interval afterwards.
        if (e.timer < 0.0f) {
            e.timer = std::fmod(e.timer, e.interval) + e.interval;
        }
    }
    e.position.x += e.velocity.x * dt;
    e.position.y += e.velocity.y * dt;
    e.position.z += e.velocity.z * dt;
    e.polar[0] += dt * e.polar[1] / 1000.0f;
    e.polar[2] += dt * e.polar[3] / 1000.0f;
    e.age += dt;
    if (!(e.age < d.effecttime)) {
        e.active = false;
    }
}

void updateParticle(Particle& p, float dt) {
    p.position.x += p.velocity.x * dt / 1000.0f;
    p.position.y += p.velocity.y * dt / 1000.0f;
    p.position.z += p.velocity.z * dt / 1000.0f;
    p.velocity.y -= dt * p.gravity / 1000.0f;
    p.rotation += dt * p.rotationSpeed / 1000.0f;
    p.polar[0] += dt * p.polar[1] / 1000.0f;
    p.polar[2] += dt * p.polar[3] / 1000.0f;
    p.age += dt;
}

bool particleAlive(const Particle& p) {
    return p.age < p.lifetime;
}

uint32_t argb(const float c[4]) {
    auto ch = [](float v) { return static_cast<uint32_t>(clamp01(v) * 255.0f); };
    return ch(c[3]) << 24 | ch(c[0]) << 16 | ch(c[1]) << 8 | ch(c[2]);
}

// The frame's vertices: six per quad, drawn in runs of one blend type and,
// while the effects are drawn, one texture filter.
struct QuadBatch {
    ColouredVertex vertices[kMaxParticleQuads * 6];
    int32_t quads = 0;
    int32_t blend = -1;
    int32_t queued = 0;
    bool chooseFilter = false;
    uint32_t filter = kFilterLinear;
    // Squares up to this size (scene units) cover no more pixels than their
    // atlas cell has texels.
    float nearestUpTo = 0.0f;
};
QuadBatch batch;

// Additive squares (type 0) add their colour whatever their alpha, so every
// fragment counts. Alpha-blended squares (type 1) leave the target as it was
// where their alpha is zero: the alpha test drops those fragments, which
// spares the software rasteriser the blending of the soft cells' empty
// corners.
void applyParticleBlend(int32_t blendtype) {
    if (blendtype == 0) {
        setRenderState(RenderState::AlphaTestEnable, 0);
        setBlendMode(1);
    } else if (blendtype == 1) {
        setRenderState(RenderState::AlphaTestEnable, 1);
        setBlendMode(0);
    }
}

void flushBatch() {
    if (batch.quads > 0) {
        drawPrimitive(batch.vertices, batch.quads * 2, kFormatColoured,
                      PrimitiveType::TriangleList);
    }
    batch.quads = 0;
}

UvRect cellUv(int32_t cell) {
    const int32_t columns = std::max(effects.atlasColumns, 1);
    const int32_t rows = std::max(effects.atlasRows, 1);
    const int32_t cells = columns * rows;
    // A cell number beyond the atlas wraps around it instead of sampling
    // outside; negative numbers count as 0.
    const int32_t c = cell < 0 ? 0 : cell % cells;
    const float cw = 1.0f / static_cast<float>(columns);
    const float chh = 1.0f / static_cast<float>(rows);
    const float u = static_cast<float>(c % columns) * cw;
    const float v = static_cast<float>(c / columns) * chh;
    return UvRect{u, v, u + cw, v + chh};
}

// The largest square, in scene units, that covers no more window pixels
// than an atlas cell has texels (the scene is scaled up in a larger window).
float nearestSizeLimit() {
    if (effects.atlas == nullptr || effects.atlas->width <= 0) {
        return 0.0f;
    }
    const float cellTexels = static_cast<float>(effects.atlas->width) /
                             static_cast<float>(std::max(effects.atlasColumns, 1));
    const SceneViewport viewport = sceneViewport();
    const float pixelsPerUnit = static_cast<float>(std::max(viewport.width, 1)) / 800.0f;
    return cellTexels / pixelsPerUnit;
}

void queueQuad(Vec3 centre, float rotation, float size, uint32_t colour, int32_t cell,
               int32_t blendtype) {
    if (batch.queued >= kMaxParticleQuads) {
        effects.droppedQuads += 1;
        return;
    }
    batch.queued += 1;
    if (blendtype != batch.blend && (blendtype == 0 || blendtype == 1)) {
        flushBatch();
        batch.blend = blendtype;
        applyParticleBlend(blendtype);
    }
    // Squares no larger on screen than their atlas cell are sampled nearest:
    // the soft cells look the same as with bilinear filtering, which costs
    // the software rasteriser far more per pixel. Larger squares would show
    // their texels and stay bilinear.
    if (batch.chooseFilter) {
        const uint32_t filter = std::fabs(size) <= batch.nearestUpTo ? kFilterPoint : kFilterLinear;
        if (filter != batch.filter) {
            flushBatch();
            batch.filter = filter;
            setStageState(StageState::MagFilter, filter);
            setStageState(StageState::MinFilter, filter);
        }
    }
    const Vec3 right = cameraRight();
    const Vec3 up = cameraUp();
    const float h = size * 0.5f;
    const float c = std::cos(rotation * kDegrees) * h;
    const float s = std::sin(rotation * kDegrees) * h;
    // The square's half axes, turned by the rotation in the camera's plane.
    const Vec3 a{right.x * c + up.x * s, right.y * c + up.y * s, right.z * c + up.z * s};
    const Vec3 b{up.x * c - right.x * s, up.y * c - right.y * s, up.z * c - right.z * s};
    const UvRect uv = cellUv(cell);
    auto corner = [&](float ka, float kb, float u, float v) {
        return ColouredVertex{centre.x + a.x * ka + b.x * kb,
                              centre.y + a.y * ka + b.y * kb,
                              centre.z + a.z * ka + b.z * kb,
                              colour,
                              u,
                              v};
    };
    const ColouredVertex tl = corner(-1, 1, uv.uMin, uv.vMin);
    const ColouredVertex tr = corner(1, 1, uv.uMax, uv.vMin);
    const ColouredVertex br = corner(1, -1, uv.uMax, uv.vMax);
    const ColouredVertex bl = corner(-1, -1, uv.uMin, uv.vMax);
    ColouredVertex* v = &batch.vertices[batch.quads * 6];
    v[0] = tl;
    v[1] = tr;
    v[2] = br;
    v[3] = tl;
    v[4] = br;
    v[5] = bl;
    batch.quads += 1;
}

void queueParticle(const Particle& p) {
    const EffectDef& d = effectTable.defs[p.effect];
    const float t = p.lifetime > 0.0f ? p.age / p.lifetime : 0.0f;
    const float u = 1.0f - t;
    float colour[4];
    for (int i = 0; i < 4; ++i) {
        colour[i] = p.colour0[i] * u + p.colour1[i] * t;
    }
    Vec2 offset = orbitOffset(p.polar);
    offset.x += wobbleX(d.lissparx, p.age);
    offset.y += wobbleY(d.lisspary, p.age);
    const float size = u * p.size0 + t * p.size1;
    const uint32_t c = argb(colour);
    const int32_t copies = std::max(1, symmetry(d.simetriapar));
    const float step = d.simetriapar > 0 ? 360.0f / static_cast<float>(d.simetriapar) : 0.0f;
    for (int32_t i = 0; i < copies; ++i) {
        queueQuad(Vec3{p.position.x + offset.x, p.position.y + offset.y, p.position.z}, p.rotation,
                  size, c, p.cell, d.blendtype);
        offset = rotated(offset, step);
    }
}

void resetRings() {
    for (Emitter& e : effects.emitters) {
        e = Emitter{};
    }
    for (Particle& p : effects.particles) {
        p = Particle{};
    }
    effects.emitterCursor = 0;
    effects.particleCursor = 0;
    effects.externalStarts = 0;
    effects.externalWindowStartMs = 0.0f;
    batch.quads = 0;
    batch.queued = 0;
}

void readList(const char* text, const char* key, float* values, int capacity) {
    float read[4];
    const int n = readFloatList(text, read, capacity, key);
    if (n > 0) {
        // A short list keeps the preset values of its missing entries.
        for (int i = 0; i < n; ++i) {
            values[i] = read[i];
        }
    }
}

}  // namespace

void parseEffectDef(const char* text, const char* name, EffectDef* out) {
    EffectDef& d = *out;
    d = EffectDef{};
    std::strncpy(d.name, name, kEffectNameSize - 1);
    d.sleep = readFloat(text, "sleep=");
    for (int i = 0; i < kExternalEffects; ++i) {
        const std::string key = "externeffect" + std::to_string(i + 1) + "=";
        readValue(d.externalEffects[i], text, key.c_str());
    }
    d.parfrequency = readFloat(text, "parfrequency=");
    readList(text, "color0=", d.color0, 4);
    readList(text, "color0dev=", d.color0dev, 4);
    readList(text, "color1=", d.color1, 4);
    readList(text, "color1dev=", d.color1dev, 4);
    d.radius0 = readFloat(text, "radius0=");
    d.radius0dev = readFloat(text, "radius0dev=");
    d.radius1 = readFloat(text, "radius1=");
    d.radius1dev = readFloat(text, "radius1dev=");
    d.partime = readFloat(text, "partime=");
    d.partimedev = readFloat(text, "partimedev=");
    // Missing or malformed vectors read as no spread and no speed.
    readVector3(d.positiondev, text, "positiondev=");
    readVector3(d.speed, text, "speed=");
    readVector3(d.speeddev, text, "speeddev=");
    d.gravity = readFloat(text, "gravity=");
    d.gravitydev = readFloat(text, "gravitydev=");
    d.blendtype = readInt(text, "blendtype=");
    d.numparticle = readInt(text, "numparticle=");
    d.rot = readFloat(text, "rot=");
    d.rotdev = readFloat(text, "rotdev=");
    d.drot = readFloat(text, "drot=");
    d.drotdev = readFloat(text, "drotdev=");
    d.effecttime = readFloat(text, "effecttime=");
    readList(text, "polarpar=", d.polarpar, 4);
    readList(text, "polarpardev=", d.polarpardev, 4);
    readList(text, "lissparx=", d.lissparx, 3);
    readList(text, "lisspary=", d.lisspary, 3);
    readList(text, "polar=", d.polar, 4);
    readList(text, "polardev=", d.polardev, 4);
    readList(text, "lissx=", d.lissx, 3);
    readList(text, "lissy=", d.lissy, 3);
    d.simetria = readInt(text, "simetria=");
    d.simetriapar = readInt(text, "simetriapar=");
}

bool addEffectDef(const EffectDef& def) {
    if (effectTable.count >= kMaxEffectDefs) {
        return false;
    }
    effectTable.defs[effectTable.count++] = def;
    return true;
}

void clearEffects() {
    effectTable.count = 0;
    resetRings();
}

void loadEffects() {
    clearEffects();
    effects.atlas = loadTexture("exploanim.tga");
    if (effects.atlas != nullptr) {
        effects.atlasColumns = std::max(1, effects.atlas->width / kParticleCellSize);
        effects.atlasRows = std::max(1, effects.atlas->height / kParticleCellSize);
    }
    // Listed in name order so that every run finds the same first match.
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("effects", ec)) {
        const std::string file = entry.path().filename().string();
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".par") == 0) {
            names.push_back(file);
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& file : names) {
        if (effectTable.count >= kMaxEffectDefs) {
            break;
        }
        int32_t size = 0;
        const std::string path = "effects/" + file;
        const uint8_t* bytes = loadFile(path.c_str(), &size, true);
        const std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
        const std::string name = file.substr(0, file.find('.'));
        parseEffectDef(text.c_str(), name.c_str(), &effectTable.defs[effectTable.count]);
        effectTable.count += 1;
    }
    resetRings();
}

int32_t findEffect(const char* name) {
    if (!name) {
        return -1;
    }
    for (int32_t i = 0; i < effectTable.count; ++i) {
        if (std::strncmp(effectTable.defs[i].name, name, kEffectNameSize) == 0) {
            return i;
        }
    }
    return -1;
}

void startEffect(const char* name, float x, float y, float tx, float ty, float scale,
                 int32_t cell) {
    const int32_t index = findEffect(name);
    startEffectAt(index, Vec3{x, y, 0.0f}, Vec3{tx, ty, 0.0f}, scale, cell);
}

void startEffectAt(int32_t index, Vec3 position, Vec3 target, float scale, int32_t cell) {
    if (!validEffect(index)) {
        return;
    }
    if (target.x == kNoTarget && target.y == kNoTarget) {
        target = position;
    }
    const EffectDef& d = effectTable.defs[index];
    for (const char* other : d.externalEffects) {
        if (other[0] == '\0' || std::strncmp(other, d.name, kEffectNameSize) == 0) {
            continue;
        }
        if (externalStartAllowed()) {
            startEffect(other, position.x, position.y, target.x, target.y, scale, cell);
        }
    }
    if (d.effecttime == 0.0f) {
        const Vec2 offset = orbitOffset(d.polar);
        const int32_t groups = burstGroups(d.parfrequency);
        for (int32_t g = 0; g < groups; ++g) {
            emitGroup(position, offset, index, scale, cell);
        }
        return;
    }
    Emitter& e = effects.emitters[effects.emitterCursor];
    effects.emitterCursor = (effects.emitterCursor + 1) % kMaxEmitters;
    e = Emitter{};
    e.active = d.effecttime > 0.0f;
    e.effect = index;
    e.cell = cell < 0 ? d.numparticle : cell;
    e.scale = scale;
    e.position = position;
    e.interval = d.parfrequency > 0.0f ? 1000.0f / d.parfrequency : 0.0f;
    e.timer = e.interval;
    for (int i = 0; i < 4; ++i) {
        e.polar[i] = d.polar[i] + spread(d.polardev[i]);
    }
    e.polar[0] = std::max(e.polar[0], 0.0f);
    if (d.effecttime > 0.0f) {
        e.velocity =
            Vec3{(target.x - position.x) / d.effecttime, (target.y - position.y) / d.effecttime,
                 (target.z - position.z) / d.effecttime};
    }
}

void spawnParticle(Vec3 position, int32_t index, float scale, int32_t cell) {
    if (!validEffect(index)) {
        return;
    }
    const EffectDef& d = effectTable.defs[index];
    Particle& p = effects.particles[effects.particleCursor];
    effects.particleCursor = (effects.particleCursor + 1) % kMaxParticles;
    for (int i = 0; i < 4; ++i) {
        p.colour0[i] = clamp01(d.color0[i] + spread(d.color0dev[i]));
    }
    for (int i = 0; i < 4; ++i) {
        p.colour1[i] = clamp01(d.color1[i] + spread(d.color1dev[i]));
    }
    p.age = 0.0f;
    p.lifetime = std::max(0.0f, d.partime + spread(d.partimedev));
    p.position.z = position.z + spread(d.positiondev[2]);
    p.position.y = position.y + spread(d.positiondev[1]);
    p.position.x = position.x + spread(d.positiondev[0]);
    p.velocity.z = d.speed[2] + spread(d.speeddev[2]);
    p.velocity.y = d.speed[1] + spread(d.speeddev[1]);
    p.velocity.x = d.speed[0] + spread(d.speeddev[0]);
    p.rotation = d.rot + spread(d.rotdev);
    p.rotationSpeed = d.drot + spread(d.drotdev);
    p.size0 = std::max(0.0f, d.radius0 + spread(d.radius0dev));
    p.size1 = std::max(0.0f, d.radius1 + spread(d.radius1dev));
    for (int i = 0; i < 4; ++i) {
        p.polar[i] = d.polarpar[i] + spread(d.polarpardev[i]);
    }
    p.polar[0] = std::max(p.polar[0], 0.0f);
    p.velocity = Vec3{p.velocity.x * scale, p.velocity.y * scale, p.velocity.z * scale};
    p.size0 *= scale;
    p.size1 *= scale;
    p.polar[0] *= scale;
    p.cell = cell < 0 ? d.numparticle : cell;
    p.effect = index;
    p.gravity = d.gravity + spread(d.gravitydev);
}

void stopAllEffects() {
    for (Emitter& e : effects.emitters) {
        if (e.active) {
            e.age = effectTable.defs[e.effect].effecttime;
            e.active = false;
        }
    }
    for (Particle& p : effects.particles) {
        p.age = std::max(p.age, p.lifetime);
    }
}

void updateEffects(float stepMs) {
    for (Emitter& e : effects.emitters) {
        if (e.active && validEffect(e.effect)) {
            updateEmitter(e, stepMs);
        }
    }
    for (Particle& p : effects.particles) {
        if (particleAlive(p)) {
            updateParticle(p, stepMs);
        }
    }
}

void drawEffects() {
    batch.quads = 0;
    batch.queued = 0;
    batch.blend = -1;
    bool any = false;
    for (const Particle& p : effects.particles) {
        if (particleAlive(p) && validEffect(p.effect)) {
            any = true;
            break;
        }
    }
    if (!any) {
        return;
    }
    setWorld(nullptr);
    disableFeature(0);
    const uint32_t alphaRef = renderStateValue(RenderState::AlphaRef);
    const uint32_t alphaFunc = renderStateValue(RenderState::AlphaFunc);
    setRenderState(RenderState::AlphaRef, 1);
    setRenderState(RenderState::AlphaFunc, kCompareGreaterEqual);
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setRenderState(RenderState::AlphaTestEnable, 0);
    enableFeature(7);
    setRenderState(RenderState::ZWriteEnable, 0);
    setRenderState(RenderState::ZEnable, 1);
    bindTexture(effects.atlas);
    setBlendMode(1);
    batch.chooseFilter = true;
    batch.filter = kFilterLinear;
    batch.nearestUpTo = nearestSizeLimit();
    for (const Particle& p : effects.particles) {
        if (particleAlive(p) && validEffect(p.effect)) {
            queueParticle(p);
        }
    }
    flushBatch();
    batch.chooseFilter = false;
    enableFeature(7);
    setBlendMode(0);
    setRenderState(RenderState::AlphaTestEnable, 1);
    setRenderState(RenderState::AlphaRef, alphaRef);
    setRenderState(RenderState::AlphaFunc, alphaFunc);
    setRenderState(RenderState::ZEnable, 0);
    setRenderState(RenderState::ZWriteEnable, 1);
}

void drawParticleSprite(float x, float y, float rotation, float size, uint32_t colour,
                        int32_t cell) {
    batch.quads = 0;
    batch.queued = 0;
    batch.blend = 0;
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setBlendMode(1);
    bindTexture(effects.atlas);
    queueQuad(Vec3{x, y, 0.0f}, rotation, size, colour, cell, 0);
    flushBatch();
    setBlendMode(0);
}

int32_t emittersAlive() {
    int32_t n = 0;
    for (const Emitter& e : effects.emitters) {
        n += e.active ? 1 : 0;
    }
    return n;
}

int32_t particlesAlive() {
    int32_t n = 0;
    for (const Particle& p : effects.particles) {
        n += particleAlive(p) ? 1 : 0;
    }
    return n;
}

}  // namespace corsavel
