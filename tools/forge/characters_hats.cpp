// The eleven hats: rigid meshes shaped on the skull (head frame: origin at
// the head bone, z up, the face towards -y, the skull's centre at
// (0, -0.1, 1.0)) and stored in the hat's own frame, so that the game's hat
// placement on the head bone puts each exactly where it was shaped.

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "forge/art.h"
#include "forge/characters.h"
#include "forge/raster.h"
#include "gfx/character.h"

namespace corsavel::forge {

namespace {

constexpr float kTau = 6.28318530718f;
using V3 = corsavel::Vec3;

// Cells of the hats' 256 x 256 atlas, 4 x 4 of 64 pixels.
enum Swatch {
    kBlackFelt,
    kRedFelt,
    kGold,
    kBlueCloth,
    kLeather,
    kWigWhite,
    kStraw,
    kWood,
    kSteel,
    kFeather,
    kGoldTrim,
    kStripes,
    kRibbon,
    kGem,
    kGreen,
    kGrey,
};

Uv swatchUv(int swatch, float s, float t) {
    const float x0 = static_cast<float>(swatch % 4) * 64.0f + 4.0f;
    const float y0 = static_cast<float>(swatch / 4) * 64.0f + 4.0f;
    const float x = x0 + 56.0f * std::clamp(s - std::floor(s), 0.0f, 1.0f);
    const float y = y0 + 56.0f * std::clamp(t, 0.0f, 1.0f);
    return {x / 256.0f, 1.0f - y / 256.0f};
}

class HatBuilder {
public:
    HatBuilder() { mesh_.smooth = true; }

    int vertex(V3 p) {
        mesh_.positions.push_back(p);
        return static_cast<int>(mesh_.positions.size()) - 1;
    }
    void triangle(int a, int b, int c, Uv ua, Uv ub, Uv uc, V3 outward) {
        const std::vector<V3>& p = mesh_.positions;
        if (dot(cross(p[b] - p[a], p[c] - p[a]), outward) < 0.0f) {
            std::swap(b, c);
            std::swap(ub, uc);
        }
        mesh_.faces.insert(mesh_.faces.end(), {a, b, c});
        mesh_.cornerUvs.insert(mesh_.cornerUvs.end(), {ua, ub, uc});
    }
    const V3& position(int i) const { return mesh_.positions[i]; }
    MeshFile take() { return std::move(mesh_); }

private:
    MeshFile mesh_;
};

// A profile point of a surface of revolution: radius, height, and how far
// along the profile it is (v of the texture); the centre is (cx, cy).
struct ProfilePoint {
    float r;
    float z;
};

// Revolves a profile round the vertical through (cx, cy); `lift` bends the
// surface by angle (brims turned up), `outward` tells which side faces out
// (+1 away from the axis or up, -1 the other way).
template <typename Lift>
void revolve(HatBuilder& b, const std::vector<ProfilePoint>& profile, float cx, float cy,
             int swatch, int segments, Lift lift, float outward = 1.0f) {
    const int n = static_cast<int>(profile.size());
    std::vector<int> ids;
    for (int i = 0; i < n; ++i) {
        for (int s = 0; s < segments; ++s) {
            const float a = kTau * s / segments;
            const float r = profile[i].r;
            const float z = profile[i].z + lift(a, r);
            ids.push_back(b.vertex({cx + r * std::cos(a), cy + r * std::sin(a), z}));
        }
    }
    for (int i = 0; i + 1 < n; ++i) {
        for (int s = 0; s < segments; ++s) {
            const int s1 = (s + 1) % segments;
            const int a = ids[i * segments + s], c = ids[i * segments + s1];
            const int d = ids[(i + 1) * segments + s], e = ids[(i + 1) * segments + s1];
            const float u0 = static_cast<float>(s) / segments;
            const float u1 = static_cast<float>(s + 1) / segments;
            const float v0 = static_cast<float>(i) / (n - 1), v1 = static_cast<float>(i + 1) / (n - 1);
            const V3 mid = (b.position(a) + b.position(e)) * 0.5f;
            // Outward: away from the axis, tilted by the profile's slope.
            const V3 along = b.position(d) - b.position(a);
            const V3 round = b.position(c) - b.position(a);
            V3 n1 = cross(round, along);
            const V3 radial{mid.x - cx, mid.y - cy, 0.0f};
            if (dot(n1, radial) < 0.0f || (std::fabs(dot(n1, radial)) < 1e-6f && n1.z < 0.0f)) {
                n1 = n1 * -1.0f;
            }
            const V3 out = n1 * outward;
            b.triangle(a, c, e, swatchUv(swatch, u0, v0), swatchUv(swatch, u1, v0),
                       swatchUv(swatch, u1, v1), out);
            b.triangle(a, e, d, swatchUv(swatch, u0, v0), swatchUv(swatch, u1, v1),
                       swatchUv(swatch, u0, v1), out);
        }
    }
}

void revolve(HatBuilder& b, const std::vector<ProfilePoint>& profile, int swatch,
             int segments = 20, float outward = 1.0f) {
    revolve(b, profile, 0.0f, -0.1f, swatch, segments, [](float, float) { return 0.0f; }, outward);
}

// A flat disc closing a revolved surface at height z.
void disc(HatBuilder& b, float cx, float cy, float z, float r, int swatch, int segments, bool up) {
    const int centre = b.vertex({cx, cy, z});
    std::vector<int> ring;
    for (int s = 0; s < segments; ++s) {
        const float a = kTau * s / segments;
        ring.push_back(b.vertex({cx + r * std::cos(a), cy + r * std::sin(a), z}));
    }
    for (int s = 0; s < segments; ++s) {
        b.triangle(centre, ring[s], ring[(s + 1) % segments], swatchUv(swatch, 0.5f, 0.5f),
                   swatchUv(swatch, 0.0f, 1.0f), swatchUv(swatch, 1.0f, 1.0f),
                   {0.0f, 0.0f, up ? 1.0f : -1.0f});
    }
}

// A box between two corners (for blades, visors and fletching).
void box(HatBuilder& b, V3 centre, V3 half, int swatch) {
    const V3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int k = 0; k < 3; ++k) {
        for (int sign = -1; sign <= 1; sign += 2) {
            const V3 n = axes[k] * static_cast<float>(sign);
            const V3 u = axes[(k + 1) % 3];
            const V3 v = axes[(k + 2) % 3];
            const float hn = k == 0 ? half.x : (k == 1 ? half.y : half.z);
            const float hu = (k + 1) % 3 == 0 ? half.x : ((k + 1) % 3 == 1 ? half.y : half.z);
            const float hv = (k + 2) % 3 == 0 ? half.x : ((k + 2) % 3 == 1 ? half.y : half.z);
            const V3 c = centre + n * hn;
            const int i0 = b.vertex(c - u * hu - v * hv), i1 = b.vertex(c + u * hu - v * hv);
            const int i2 = b.vertex(c + u * hu + v * hv), i3 = b.vertex(c - u * hu + v * hv);
            b.triangle(i0, i1, i2, swatchUv(swatch, 0, 0), swatchUv(swatch, 1, 0),
                       swatchUv(swatch, 1, 1), n);
            b.triangle(i0, i2, i3, swatchUv(swatch, 0, 0), swatchUv(swatch, 1, 1),
                       swatchUv(swatch, 0, 1), n);
        }
    }
}

// A tube along an arbitrary axis (arrow shaft, axe handle), with a cone
// end when r1 is 0.
void rod(HatBuilder& b, V3 a, V3 c, float r0, float r1, int swatch, int sides = 8) {
    V3 d = c - a;
    const float len = length(d);
    d = d * (1.0f / len);
    const V3 helper = std::fabs(d.z) < 0.9f ? V3{0, 0, 1} : V3{1, 0, 0};
    V3 e1 = cross(helper, d);
    e1 = e1 * (1.0f / length(e1));
    const V3 e2 = cross(d, e1);
    std::vector<int> ring0, ring1;
    for (int s = 0; s < sides; ++s) {
        const float ang = kTau * s / sides;
        const V3 off = e1 * std::cos(ang) + e2 * std::sin(ang);
        ring0.push_back(b.vertex(a + off * r0));
        ring1.push_back(b.vertex(c + off * std::max(r1, 0.001f)));
    }
    for (int s = 0; s < sides; ++s) {
        const int s1 = (s + 1) % sides;
        const V3 out = (b.position(ring0[s]) + b.position(ring0[s1])) * 0.5f - a;
        b.triangle(ring0[s], ring0[s1], ring1[s1], swatchUv(swatch, 0, 0), swatchUv(swatch, 1, 0),
                   swatchUv(swatch, 1, 1), out);
        b.triangle(ring0[s], ring1[s1], ring1[s], swatchUv(swatch, 0, 0), swatchUv(swatch, 1, 1),
                   swatchUv(swatch, 0, 1), out);
    }
    const int ca = b.vertex(a), cc = b.vertex(c);
    for (int s = 0; s < sides; ++s) {
        const int s1 = (s + 1) % sides;
        b.triangle(ca, ring0[s], ring0[s1], swatchUv(swatch, 0.5f, 0.5f), swatchUv(swatch, 0, 1),
                   swatchUv(swatch, 1, 1), d * -1.0f);
        b.triangle(cc, ring1[s], ring1[s1], swatchUv(swatch, 0.5f, 0.5f), swatchUv(swatch, 0, 1),
                   swatchUv(swatch, 1, 1), d);
    }
}

auto flat = [](float, float) { return 0.0f; };

MeshFile tricorne() {
    HatBuilder b;
    revolve(b, {{0.82f, 1.45f}, {0.8f, 1.9f}, {0.62f, 2.25f}, {0.3f, 2.42f}, {0.0f, 2.45f}},
            kBlackFelt);
    // The brim turned up into three corners, one over the face.
    auto corners = [](float a, float r) {
        const float c = 0.5f + 0.5f * std::cos(3.0f * (a - 1.5f * 3.14159265f));
        return (r - 0.8f) * (1.4f - 1.1f * c * c);
    };
    revolve(b, {{0.8f, 1.5f}, {1.35f, 1.5f}}, 0.0f, -0.1f, kBlackFelt, 30, corners);
    revolve(b, {{1.35f, 1.5f}, {1.42f, 1.52f}}, 0.0f, -0.1f, kGoldTrim, 30, corners);
    return b.take();
}

MeshFile beret() {
    HatBuilder b;
    auto tilt = [](float a, float r) { return 0.18f * r * std::cos(a); };
    revolve(b, {{0.84f, 1.45f}, {1.05f, 1.7f}, {1.0f, 1.95f}, {0.6f, 2.12f}, {0.0f, 2.18f}}, 0.0f,
            -0.1f, kRedFelt, 24, tilt);
    rod(b, {0.0f, -0.1f, 2.15f}, {0.0f, -0.1f, 2.38f}, 0.06f, 0.04f, kRedFelt, 6);
    return b.take();
}

MeshFile topHat() {
    HatBuilder b;
    revolve(b, {{0.74f, 1.55f}, {0.7f, 2.2f}, {0.76f, 3.0f}}, kBlackFelt);
    disc(b, 0.0f, -0.1f, 3.0f, 0.76f, kBlackFelt, 20, true);
    revolve(b, {{0.745f, 1.62f}, {0.73f, 1.95f}}, kRibbon, 20, 1.0f);
    auto curl = [](float a, float r) { return r > 1.0f ? 0.25f * std::pow(std::cos(a), 2.0f) : 0.0f; };
    revolve(b, {{0.72f, 1.55f}, {1.05f, 1.55f}, {1.25f, 1.6f}}, 0.0f, -0.1f, kBlackFelt, 28, curl);
    return b.take();
}

MeshFile cap() {
    HatBuilder b;
    revolve(b, {{0.86f, 1.35f}, {0.88f, 1.65f}, {0.72f, 1.98f}, {0.35f, 2.16f}, {0.0f, 2.2f}},
            kBlueCloth);
    rod(b, {0.0f, -0.1f, 2.18f}, {0.0f, -0.1f, 2.26f}, 0.09f, 0.07f, kGrey, 6);
    // The visor over the face.
    HatBuilder& v = b;
    std::vector<int> ids;
    for (int i = 0; i <= 8; ++i) {
        const float a = 3.14159265f * (1.15f + 0.7f * i / 8.0f);
        ids.push_back(v.vertex({0.86f * std::cos(a), -0.1f + 0.86f * std::sin(a), 1.4f}));
        ids.push_back(v.vertex({1.45f * std::cos(a), -0.1f + 1.5f * std::sin(a), 1.3f}));
    }
    for (int i = 0; i < 8; ++i) {
        const int a = ids[i * 2], c = ids[i * 2 + 1], d = ids[i * 2 + 2], e = ids[i * 2 + 3];
        v.triangle(a, c, e, swatchUv(kGrey, 0, 0), swatchUv(kGrey, 0, 1), swatchUv(kGrey, 1, 1),
                   {0, 0, 1});
        v.triangle(a, e, d, swatchUv(kGrey, 0, 0), swatchUv(kGrey, 1, 1), swatchUv(kGrey, 1, 0),
                   {0, 0, 1});
    }
    return b.take();
}

MeshFile crown(float radius, float base, float height, float points) {
    HatBuilder b;
    auto teeth = [height](float a, float r) {
        (void)r;
        const float t = 0.5f + 0.5f * std::cos(5.0f * (a - 1.5f * 3.14159265f));
        return height * 0.45f * t * t * t;
    };
    auto lifted = [&](float a, float r) { return r > 0.0f ? teeth(a, r) * points : 0.0f; };
    // The band, its top edge rising into five points.
    const int segments = 40;
    const float top = base + height * 0.6f;
    std::vector<int> ids;
    for (int i = 0; i < 2; ++i) {
        for (int s = 0; s < segments; ++s) {
            const float a = kTau * s / segments;
            const float z = i == 0 ? base : top + lifted(a, radius);
            ids.push_back(b.vertex({radius * std::cos(a), -0.1f + radius * std::sin(a), z}));
        }
    }
    for (int s = 0; s < segments; ++s) {
        const int s1 = (s + 1) % segments;
        const V3 out = b.position(ids[s]) - V3{0.0f, -0.1f, base};
        const float u0 = static_cast<float>(s) / segments * 4.0f;
        const float u1 = static_cast<float>(s + 1) / segments * 4.0f;
        b.triangle(ids[s], ids[s1], ids[segments + s1], swatchUv(kGold, u0, 1), swatchUv(kGold, u1, 1),
                   swatchUv(kGold, u1, 0), out);
        b.triangle(ids[s], ids[segments + s1], ids[segments + s], swatchUv(kGold, u0, 1),
                   swatchUv(kGold, u1, 0), swatchUv(kGold, u0, 0), out);
    }
    revolve(b, {{radius * 1.04f, base}, {radius * 1.04f, base + height * 0.15f}}, 0.0f, -0.1f,
            kGoldTrim, segments, flat);
    // A gem on the band under every point, and a ball on every point.
    for (int k = 0; k < 5; ++k) {
        const float a = 1.5f * 3.14159265f + kTau * k / 5.0f;
        const V3 dir{std::cos(a), std::sin(a), 0.0f};
        const V3 gem = V3{0.0f, -0.1f, base + height * 0.32f} + dir * (radius * 1.03f);
        box(b, gem, {0.09f, 0.09f, 0.09f}, k % 2 ? kGem : kRibbon);
        const V3 ball = V3{0.0f, -0.1f, top + height * 0.45f * points} + dir * radius;
        box(b, ball, {0.06f, 0.06f, 0.06f}, kGoldTrim);
    }
    revolve(b, {{radius * 0.98f, base + 0.05f}, {radius * 0.6f, base + height * 0.5f}, {0.0f, base + height * 0.55f}},
            kRedFelt, 20);
    return b.take();
}

MeshFile cowboyHat() {
    HatBuilder b;
    auto dent = [](float a, float r) {
        (void)a;
        return r < 0.4f ? -0.18f * (1.0f - r / 0.4f) : 0.0f;
    };
    revolve(b, {{0.76f, 1.5f}, {0.74f, 2.1f}, {0.6f, 2.45f}, {0.35f, 2.5f}, {0.0f, 2.42f}}, 0.0f,
            -0.1f, kLeather, 24, dent);
    revolve(b, {{0.765f, 1.58f}, {0.75f, 1.75f}}, kRibbon, 24);
    auto curl = [](float a, float r) {
        const float side = std::cos(a);
        return r > 0.9f ? (r - 0.9f) * 0.75f * side * side - 0.12f * (r - 0.9f) : 0.0f;
    };
    revolve(b, {{0.74f, 1.5f}, {1.3f, 1.5f}, {1.75f, 1.55f}}, 0.0f, -0.1f, kLeather, 32, curl);
    return b.take();
}

MeshFile wig() {
    HatBuilder b;
    revolve(b, {{0.96f, 1.05f}, {0.98f, 1.5f}, {0.82f, 1.92f}, {0.45f, 2.12f}, {0.0f, 2.16f}},
            kWigWhite, 24);
    // Rolls of curls over the ears and a queue down the back.
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 3; ++k) {
            const float z = 0.75f + 0.32f * k;
            rod(b, {side * 0.95f, -0.55f, z}, {side * 0.95f, 0.55f, z}, 0.17f, 0.17f, kWigWhite, 10);
        }
    }
    rod(b, {0.0f, 0.75f, 1.2f}, {0.0f, 0.95f, 0.2f}, 0.18f, 0.1f, kWigWhite, 8);
    box(b, {0.0f, 0.86f, 0.95f}, {0.22f, 0.05f, 0.12f}, kRibbon);
    return b.take();
}

MeshFile sombrero() {
    HatBuilder b;
    revolve(b, {{0.78f, 1.5f}, {0.6f, 2.4f}, {0.42f, 2.85f}, {0.0f, 2.95f}}, kStraw, 24);
    revolve(b, {{0.77f, 1.56f}, {0.72f, 1.8f}}, kStripes, 24);
    revolve(b, {{0.78f, 1.5f}, {1.6f, 1.52f}, {2.3f, 1.7f}, {2.55f, 2.0f}}, kStraw, 36);
    revolve(b, {{2.55f, 2.0f}, {2.6f, 2.06f}}, kStripes, 36);
    return b.take();
}

MeshFile arrow() {
    HatBuilder b;
    // Through the skull from side to side.
    rod(b, {-2.1f, -0.2f, 1.15f}, {1.8f, -0.2f, 1.15f}, 0.05f, 0.05f, kWood, 6);
    rod(b, {1.75f, -0.2f, 1.15f}, {2.25f, -0.2f, 1.15f}, 0.14f, 0.0f, kSteel, 6);
    for (int k = 0; k < 3; ++k) {
        const float a = kTau * k / 3.0f;
        const V3 off{0.0f, std::cos(a) * 0.13f, std::sin(a) * 0.13f};
        box(b, V3{-1.85f, -0.2f, 1.15f} + off, {0.28f, 0.015f + 0.1f * std::fabs(std::cos(a)) * 0.0f + 0.02f, 0.02f + 0.1f * std::fabs(std::sin(a))}, kFeather);
    }
    return b.take();
}

MeshFile axe() {
    HatBuilder b;
    // Its blade sunk in the crown, the handle standing up and back.
    const V3 bite{0.0f, -0.1f, 1.85f};
    rod(b, bite + V3{0.0f, 0.1f, 0.25f}, bite + V3{0.0f, 1.3f, 2.1f}, 0.09f, 0.08f, kWood, 8);
    box(b, bite + V3{0.0f, -0.05f, 0.15f}, {0.05f, 0.55f, 0.32f}, kSteel);
    box(b, bite + V3{0.0f, -0.05f, 0.5f}, {0.09f, 0.3f, 0.1f}, kGrey);
    return b.take();
}

// Shaped in the head frame; stored in the hat's frame by undoing the
// placement the game applies: g = (p * scale + offset) * R.
MeshFile toHatFrame(MeshFile mesh, int hat) {
    static const V3 kOffsets[kHatCount] = {
        {0.0f, -0.15f, 1.9f}, {0.0f, -0.4f, 1.9f},   {0.0f, -0.75f, 2.2f}, {0.0f, -1.35f, 1.6f},
        {0.0f, -0.4f, 1.75f}, {0.0f, -0.45f, 1.85f}, {0.0f, -0.7f, 1.85f}, {0.0f, 0.25f, 1.0f},
        {0.0f, -0.75f, 1.85f}, {0.0f, 0.0f, 1.75f},  {0.75f, 1.65f, 2.75f},
    };
    static const float kScales[kHatCount] = {1.0f, 1.1f, 1.1f, 1.0f, 1.0f, 1.0f,
                                             1.2f, 0.9f, 1.0f, 1.0f, 1.0f};
    const Matrix4 r = rotationX(-15.0f) * rotationZ(180.0f) * rotationY(90.0f);
    for (V3& g : mesh.positions) {
        V3 q{g.x * r.m[0][0] + g.y * r.m[0][1] + g.z * r.m[0][2],
             g.x * r.m[1][0] + g.y * r.m[1][1] + g.z * r.m[1][2],
             g.x * r.m[2][0] + g.y * r.m[2][1] + g.z * r.m[2][2]};
        g = (q - kOffsets[hat]) * (1.0f / kScales[hat]);
    }
    return mesh;
}

Image hatTexture() {
    static const uint32_t kColours[16] = {0x1E1E24, 0xB0202A, 0xE8B830, 0x2850A0,
                                          0x7A4A22, 0xF2F0EA, 0xE0C070, 0x8A5A2C,
                                          0xB8C0C8, 0xD83030, 0xFFD860, 0xFFFFFF,
                                          0x801020, 0x3070E0, 0x2E9040, 0x707078};
    Image image(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int swatch = (y / 64) * 4 + x / 64;
            const float n = fractalNoise(x * 0.08f, y * 0.08f, 3, 17 + swatch);
            Colour c = rgb(kColours[swatch]);
            switch (swatch) {
                case kStraw:
                    c = scaled(c, 0.8f + 0.25f * (((x / 3) + (y / 3)) % 2 ? n : 1.0f - n));
                    break;
                case kStripes: {
                    static const uint32_t kBands[4] = {0xD02828, 0x28A040, 0xF0D020, 0x2060D0};
                    c = rgb(kBands[(y / 6) % 4]);
                    break;
                }
                case kGold:
                case kGoldTrim:
                    c = scaled(c, 0.75f + 0.4f * n + 0.15f * std::sin(y * 0.5f));
                    break;
                case kWigWhite:
                    c = scaled(c, 0.85f + 0.15f * std::sin((x + n * 20.0f) * 0.6f));
                    break;
                case kWood:
                    c = scaled(c, 0.8f + 0.3f * std::sin(x * 0.3f + n * 6.0f));
                    break;
                default:
                    c = scaled(c, 0.85f + 0.25f * n);
                    break;
            }
            Rgba p = toRgba(c);
            p.a = 255;
            image.at(x, y) = p;
        }
    }
    return image;
}

}  // namespace

MeshFile hatMesh(int hat) {
    switch (std::clamp(hat, 0, kHatCount - 1)) {
        case 0:
            return toHatFrame(tricorne(), 0);
        case 1:
            return toHatFrame(beret(), 1);
        case 2:
            return toHatFrame(topHat(), 2);
        case 3:
            return toHatFrame(cap(), 3);
        case 4:
            return toHatFrame(crown(0.9f, 1.5f, 1.0f, 1.0f), 4);
        case 5:
            return toHatFrame(crown(0.5f, 1.9f, 0.6f, 1.0f), 5);
        case 6:
            return toHatFrame(cowboyHat(), 6);
        case 7:
            return toHatFrame(wig(), 7);
        case 8:
            return toHatFrame(sombrero(), 8);
        case 9:
            return toHatFrame(arrow(), 9);
        default:
            return toHatFrame(axe(), 10);
    }
}

void forgeHats(ForgeOutput& out) {
    addTga(out, "models/hats.tga", hatTexture(), Destination::Loose);
    for (int hat = 0; hat < kHatCount; ++hat) {
        std::string base = kHatFiles[hat];
        base = base.substr(0, base.size() - 4);
        const std::string mesh = base + ".msh_s";
        out.add("models/" + mesh, writeStaticMesh(hatMesh(hat)));
        // The game's key reader stops a value at a carriage return.
        out.addText("models/" + std::string(kHatFiles[hat]),
                    "nummeshes=1\r\nmesh0=" + mesh + "\r\ntexture0=hats.tga\r\n");
    }
}

}  // namespace corsavel::forge
