#include "gfx/bolts.h"

#include <cmath>

#include "gfx/texture.h"
#include "platform/primitives.h"
#include "platform/random.h"
#include "platform/render_device.h"

namespace corsavel {

BoltState boltState;

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kOvershoot = 0.05f;

Vec3 normalised(Vec3 v) {
    float len = length(v);
    return len > 0.0f ? v * (1.0f / len) : Vec3{};
}

}  // namespace

void loadBoltTexture() {
    boltState.texture = loadTexture("flare.jpg");
}

void clearBolts() {
    boltState.count = 0;
}

Bolt* addBolt(Vec3 from, Vec3 to, float segmentLength, float segmentWidth, float coreWidth,
              float jitter, uint32_t segmentColour, uint32_t coreColour) {
    if (boltState.count >= kMaxBoltsPerFrame) {
        return nullptr;
    }
    Bolt& bolt = boltState.bolts[boltState.count++];
    Vec3 d = to - from;
    float len = length(d);
    d = normalised(d);
    Vec3 side = normalised(cross(d, Vec3{0.0f, 0.0f, 1.0f}));
    if (length(side) == 0.0f) {
        // A bolt along the z axis: any sideways direction will do.
        side = {1.0f, 0.0f, 0.0f};
    }
    int n = kMaxBoltPoints;
    if (segmentLength > 0.0f && len / segmentLength < static_cast<float>(kMaxBoltPoints)) {
        n = static_cast<int>(len / segmentLength) + 1;
    }
    if (n > 98) {
        n = kMaxBoltPoints;
        segmentLength = len / static_cast<float>(kMaxBoltPoints);
    }
    // Shorter than one segment: just the two end points.
    if (n < 2) {
        n = 2;
    }
    bolt.points[0] = from;
    for (int i = 1; i <= n - 2; ++i) {
        Vec3 base = from + d * (segmentLength * static_cast<float>(i));
        float a = looksRandom.randomSigned(180.0f) * kDegreesToRadians;
        float s = std::sin(a);
        float c = std::cos(a);
        Vec3 offset = side * (s + c) + Vec3{0.0f, 0.0f, 1.0f} * (c - s);
        offset = normalised(offset) * looksRandom.randomSigned(jitter);
        bolt.points[i] = base + offset;
    }
    bolt.points[n - 1] = to;
    bolt.n = n;
    bolt.segmentColour = segmentColour;
    bolt.coreColour = coreColour;
    bolt.segmentWidth = segmentWidth;
    bolt.coreWidth = coreWidth;
    return &bolt;
}

void drawBolts() {
    if (boltState.count == 0) {
        return;
    }
    setRenderState(RenderState::Lighting, 0);
    setWorld(nullptr);
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    setRenderState(RenderState::DestBlend, kBlendOne);
    setRenderState(RenderState::ZWriteEnable, 0);
    bindTexture(boltState.texture != nullptr ? boltState.texture : findTexture("flare.jpg"));
    for (int b = 0; b < boltState.count; ++b) {
        const Bolt& bolt = boltState.bolts[b];
        Vec3 e = normalised(bolt.points[bolt.n - 1] - bolt.points[0]) * kOvershoot;
        for (int i = 0; i + 1 < bolt.n; ++i) {
            drawBeam(bolt.points[i], bolt.points[i + 1] + e, bolt.segmentWidth, bolt.segmentColour);
        }
        drawBeam(bolt.points[0], bolt.points[bolt.n - 1], bolt.coreWidth, bolt.coreColour);
    }
}

}  // namespace corsavel
