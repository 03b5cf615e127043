// The gold box: a wooden treasure chest framed in gold, with a lock plate, a
// velvet lining and a heap of coins and gems inside, and its lid as a second
// mesh whose pivot is the hinge. One texture atlas carries every surface.
#include "forge/models.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;

// Box proportions (scene units).
constexpr float kW = kGoldBoxHalfWidth;
constexpr float kD = kGoldBoxHalfDepth;
constexpr float kZ0 = kGoldBoxBottom;
constexpr float kZ1 = kGoldBoxRim;
constexpr float kWall = 4.0f;
constexpr float kHeapEdge = kZ1 - 5.0f;  // the coins meet the inner walls here
constexpr float kHeapRise = 10.0f;
constexpr float kLidLength = 2.0f * kD;
constexpr float kLip = 4.0f;
constexpr float kArch = 13.0f;
constexpr float kShell = 3.0f;
constexpr float kTrim = 2.0f;  // how far trims and brackets stand out
constexpr float kTrimHeight = 5.0f;
constexpr float kBandRise = 1.5f;
constexpr float kBandHalf = 4.5f;
constexpr float kBandX = 27.0f;
constexpr int kArchSteps = 16;

// Atlas layout in pixels of a 256 x 512 picture.
constexpr int kAtlasWidth = 256;
constexpr int kAtlasHeight = 512;
struct Region {
    float x0, y0, x1, y1;
};
constexpr Region kPlanks{0, 0, 192, 160};
constexpr Region kVelvet{0, 160, 192, 320};
constexpr Region kCoins{0, 320, 192, 416};
constexpr Region kGold{192, 0, 224, 256};  // a band: across in x, along in y
constexpr Region kHasp{224, 0, 256, 64};
constexpr Region kGems[3] = {{224, 64, 256, 96}, {224, 96, 256, 128}, {224, 128, 256, 160}};
constexpr Region kCoinFace{224, 160, 256, 192};
constexpr Region kDarkWood{224, 192, 256, 256};
constexpr Region kLock{192, 256, 256, 320};
// The plank picture spans this many units; gold bands repeat their rivets
// along kGoldLength units.
constexpr float kPlankUnitsWide = 96.0f;
constexpr float kPlankUnitsHigh = 80.0f;
constexpr float kGoldLength = 100.0f;

// A point (s, t) of a region, 0..1 each, kept one texel inside it so that
// filtering never reaches the neighbour. The file stores v upside down (the
// loader turns every v into 1 - v).
Uv atlas(const Region& r, float s, float t) {
    const float x = r.x0 + 1.0f + std::clamp(s, 0.0f, 1.0f) * (r.x1 - r.x0 - 2.0f);
    const float y = r.y0 + 1.0f + std::clamp(t, 0.0f, 1.0f) * (r.y1 - r.y0 - 2.0f);
    return {x / kAtlasWidth, 1.0f - y / kAtlasHeight};
}

// Wood at a fixed density: `across` and `down` in units on the plank picture.
Uv plank(float across, float down) {
    return atlas(kPlanks, across / kPlankUnitsWide, down / kPlankUnitsHigh);
}

Vec3 unit(Vec3 v) {
    const float len = length(v);
    return len > 0.0f ? v * (1.0f / len) : v;
}

// Collects positions, faces and corner (u, v)s. Faces are wound so that
// (b - a) x (c - a) points out of the solid: clockwise seen from outside in
// the game's left-handed frame, which is what its culling keeps and what its
// normal rule and light direction expect.
class MeshBuilder {
public:
    MeshBuilder() { mesh_.smooth = true; }

    int vertex(Vec3 p) {
        mesh_.positions.push_back(p);
        return static_cast<int>(mesh_.positions.size()) - 1;
    }

    void triangle(int a, int b, int c, Uv ua, Uv ub, Uv uc, Vec3 outward) {
        const std::vector<Vec3>& p = mesh_.positions;
        if (dot(cross(p[b] - p[a], p[c] - p[a]), outward) < 0.0f) {
            std::swap(b, c);
            std::swap(ub, uc);
        }
        mesh_.faces.insert(mesh_.faces.end(), {a, b, c});
        mesh_.cornerUvs.insert(mesh_.cornerUvs.end(), {ua, ub, uc});
    }

    // Two triangles over four shared vertices given in order around the quad.
    void quad(const int (&i)[4], const Uv (&uv)[4], Vec3 outward) {
        triangle(i[0], i[1], i[2], uv[0], uv[1], uv[2], outward);
        triangle(i[0], i[2], i[3], uv[0], uv[2], uv[3], outward);
    }

    // A flat quad with corners of its own (a hard edge all round).
    void flatQuad(const Vec3 (&p)[4], const Uv (&uv)[4], Vec3 outward) {
        const int i[4] = {vertex(p[0]), vertex(p[1]), vertex(p[2]), vertex(p[3])};
        quad(i, uv, outward);
    }

    MeshFile take() { return std::move(mesh_); }

private:
    MeshFile mesh_;
};

float axis(Vec3 v, int k) {
    return k == 0 ? v.x : (k == 1 ? v.y : v.z);
}

void setAxis(Vec3& v, int k, float value) {
    (k == 0 ? v.x : (k == 1 ? v.y : v.z)) = value;
}

// A gold block: every face mapped on the band strip, its longer side along
// the strip's rivets; thin faces take the strip's dark edge. `front`, when
// given, is mapped whole on the +y face (lock plate, hasp).
void goldBlock(MeshBuilder& b, Vec3 lo, Vec3 hi, const Region* front = nullptr) {
    for (int k = 0; k < 3; ++k) {
        for (int sign : {-1, 1}) {
            const int i = (k + 1) % 3;
            const int j = (k + 2) % 3;
            Vec3 p[4];
            const float ci[4] = {axis(lo, i), axis(hi, i), axis(hi, i), axis(lo, i)};
            const float cj[4] = {axis(lo, j), axis(lo, j), axis(hi, j), axis(hi, j)};
            for (int c = 0; c < 4; ++c) {
                setAxis(p[c], k, sign > 0 ? axis(hi, k) : axis(lo, k));
                setAxis(p[c], i, ci[c]);
                setAxis(p[c], j, cj[c]);
            }
            Vec3 outward;
            setAxis(outward, k, static_cast<float>(sign));
            Uv uv[4];
            const float ei = axis(hi, i) - axis(lo, i);
            const float ej = axis(hi, j) - axis(lo, j);
            for (int c = 0; c < 4; ++c) {
                if (front != nullptr && k == 1 && sign > 0) {
                    uv[c] = atlas(*front, (p[c].x - lo.x) / (hi.x - lo.x),
                                  (hi.z - p[c].z) / (hi.z - lo.z));
                    continue;
                }
                const bool alongI = ei >= ej;
                const float across =
                    alongI ? (cj[c] - axis(lo, j)) / ej : (ci[c] - axis(lo, i)) / ei;
                const float along = alongI ? ci[c] - axis(lo, i) : cj[c] - axis(lo, j);
                const float width = alongI ? ej : ei;
                uv[c] = atlas(kGold, width < 3.0f ? across * 0.12f : across, along / kGoldLength);
            }
            b.flatQuad(p, uv, outward);
        }
    }
}

// --- The body ---------------------------------------------------------------

// Outer walls and bottom in wood, the rim, and the lining inside.
void addBodyShell(MeshBuilder& b) {
    const float w = kW, d = kD;
    // Front and back: planks run across the width.
    for (float y : {d, -d}) {
        const float row = y > 0 ? 2.0f : 42.0f;
        b.flatQuad({{-w, y, kZ1}, {w, y, kZ1}, {w, y, kZ0}, {-w, y, kZ0}},
                   {plank(2, row), plank(2 + 2 * w, row), plank(2 + 2 * w, row + kZ1 - kZ0),
                    plank(2, row + kZ1 - kZ0)},
                   {0, y > 0 ? 1.0f : -1.0f, 0});
    }
    for (float x : {-w, w}) {
        const float col = x > 0 ? 40.0f : 2.0f;
        b.flatQuad({{x, -d, kZ1}, {x, d, kZ1}, {x, d, kZ0}, {x, -d, kZ0}},
                   {plank(col, 42), plank(col + 2 * d, 42), plank(col + 2 * d, 42 + kZ1 - kZ0),
                    plank(col, 42 + kZ1 - kZ0)},
                   {x > 0 ? 1.0f : -1.0f, 0, 0});
    }
    b.flatQuad({{-w, -d, kZ0}, {w, -d, kZ0}, {w, d, kZ0}, {-w, d, kZ0}},
               {atlas(kDarkWood, 0, 0), atlas(kDarkWood, 1, 0), atlas(kDarkWood, 1, 1),
                atlas(kDarkWood, 0, 1)},
               {0, 0, -1});
    // The rim: four strips on top of the walls.
    const float in = kWall;
    const Vec3 rims[4][2] = {{{-w, d - in, kZ1}, {w, d, kZ1}},
                             {{-w, -d, kZ1}, {w, -d + in, kZ1}},
                             {{-w, -d + in, kZ1}, {-w + in, d - in, kZ1}},
                             {{w - in, -d + in, kZ1}, {w, d - in, kZ1}}};
    for (const auto& r : rims) {
        const Vec3 lo = r[0], hi = r[1];
        b.flatQuad({{lo.x, lo.y, kZ1}, {hi.x, lo.y, kZ1}, {hi.x, hi.y, kZ1}, {lo.x, hi.y, kZ1}},
                   {plank(lo.x + w + 2, lo.y + d + 2), plank(hi.x + w + 2, lo.y + d + 2),
                    plank(hi.x + w + 2, hi.y + d + 2), plank(lo.x + w + 2, hi.y + d + 2)},
                   {0, 0, 1});
    }
    // The lining, down to below the edge of the heap.
    const float zi = kHeapEdge - 2.0f;
    const float wi = w - in, di = d - in;
    auto lining = [&](Vec3 a, Vec3 c, Vec3 inward) {
        b.flatQuad({{a.x, a.y, kZ1}, {c.x, c.y, kZ1}, {c.x, c.y, zi}, {a.x, a.y, zi}},
                   {atlas(kVelvet, 0.05f, 0.05f), atlas(kVelvet, 0.95f, 0.05f),
                    atlas(kVelvet, 0.95f, 0.2f), atlas(kVelvet, 0.05f, 0.2f)},
                   inward);
    };
    lining({-wi, di, 0}, {wi, di, 0}, {0, -1, 0});
    lining({-wi, -di, 0}, {wi, -di, 0}, {0, 1, 0});
    lining({-wi, -di, 0}, {-wi, di, 0}, {1, 0, 0});
    lining({wi, -di, 0}, {wi, di, 0}, {-1, 0, 0});
}

// Height of the heap of coins over the inside of the box.
float heapHeight(float x, float y) {
    const float wi = kW - kWall, di = kD - kWall;
    const float ex = std::max(0.0f, 1.0f - (x / wi) * (x / wi));
    const float ey = std::max(0.0f, 1.0f - (y / di) * (y / di));
    const float lumps = (valueNoise(x * 0.18f + 5.0f, y * 0.18f + 3.0f, 41) - 0.5f) * 2.4f;
    return kHeapEdge + (kHeapRise + lumps * ex * ey) * std::pow(ex, 0.5f) * std::pow(ey, 0.7f);
}

Vec3 heapNormal(float x, float y) {
    const float e = 0.5f;
    const float dx = (heapHeight(x + e, y) - heapHeight(x - e, y)) / (2 * e);
    const float dy = (heapHeight(x, y + e) - heapHeight(x, y - e)) / (2 * e);
    return unit({-dx, -dy, 1.0f});
}

// The heap: one smooth sheet painted with coins.
void addHeap(MeshBuilder& b) {
    constexpr int kCols = 14, kRows = 8;
    const float wi = kW - kWall, di = kD - kWall;
    int index[kRows + 1][kCols + 1];
    Uv uv[kRows + 1][kCols + 1];
    for (int r = 0; r <= kRows; ++r) {
        for (int c = 0; c <= kCols; ++c) {
            const float s = static_cast<float>(c) / kCols, t = static_cast<float>(r) / kRows;
            const float x = -wi + 2 * wi * s, y = -di + 2 * di * t;
            index[r][c] = b.vertex({x, y, heapHeight(x, y)});
            uv[r][c] = atlas(kCoins, s, t);
        }
    }
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kCols; ++c) {
            b.quad({index[r][c], index[r][c + 1], index[r + 1][c + 1], index[r + 1][c]},
                   {uv[r][c], uv[r][c + 1], uv[r + 1][c + 1], uv[r + 1][c]}, {0, 0, 1});
        }
    }
}

// Two unit vectors across a normal.
void basis(Vec3 n, Vec3& e1, Vec3& e2) {
    e1 = unit(std::fabs(n.x) < 0.9f ? cross(n, {1, 0, 0}) : cross(n, {0, 1, 0}));
    e2 = cross(n, e1);
}

// A loose coin lying on the heap: a thin ten-sided disc.
void addCoin(MeshBuilder& b, Vec3 centre, Vec3 n, float radius) {
    constexpr int kSides = 10;
    Vec3 e1, e2;
    basis(n, e1, e2);
    const Vec3 top = centre + n * 0.45f, bottom = centre - n * 0.45f;
    const int middle = b.vertex(top);
    int rim[kSides];
    Vec3 ring[kSides];
    for (int k = 0; k < kSides; ++k) {
        const float a = 2 * kPi * k / kSides;
        ring[k] = e1 * (std::cos(a) * radius) + e2 * (std::sin(a) * radius);
        rim[k] = b.vertex(top + ring[k]);
    }
    for (int k = 0; k < kSides; ++k) {
        const int m = (k + 1) % kSides;
        const float a0 = 2 * kPi * k / kSides, a1 = 2 * kPi * (k + 1) / kSides;
        b.triangle(middle, rim[k], rim[m], atlas(kCoinFace, 0.5f, 0.5f),
                   atlas(kCoinFace, 0.5f + 0.5f * std::cos(a0), 0.5f + 0.5f * std::sin(a0)),
                   atlas(kCoinFace, 0.5f + 0.5f * std::cos(a1), 0.5f + 0.5f * std::sin(a1)), n);
        const float along0 = radius * a0, along1 = radius * a1;
        b.flatQuad(
            {top + ring[k], top + ring[m], bottom + ring[m], bottom + ring[k]},
            {atlas(kGold, 0.4f, along0 / kGoldLength), atlas(kGold, 0.4f, along1 / kGoldLength),
             atlas(kGold, 0.6f, along1 / kGoldLength), atlas(kGold, 0.6f, along0 / kGoldLength)},
            unit(ring[k] + ring[m]));
    }
}

// A cut gem: a flattened octahedron, every facet flat.
void addGem(MeshBuilder& b, Vec3 centre, float size, float turn, const Region& colour) {
    const Vec3 up = centre + Vec3{0, 0, size * 0.8f};
    const Vec3 down = centre - Vec3{0, 0, size * 0.6f};
    Vec3 side[4];
    for (int k = 0; k < 4; ++k) {
        const float a = turn + kPi * 0.5f * k;
        side[k] = centre + Vec3{std::cos(a) * size, std::sin(a) * size, 0};
    }
    for (int k = 0; k < 4; ++k) {
        const Vec3 a = side[k], c = side[(k + 1) % 4];
        const Vec3 out = unit((a + c) * 0.5f - centre);
        for (const Vec3& tip : {up, down}) {
            const float s = tip.z > centre.z ? 0.25f : 0.75f;
            b.triangle(b.vertex(tip), b.vertex(a), b.vertex(c), atlas(colour, s, 0.1f),
                       atlas(colour, 0.1f, 0.9f), atlas(colour, 0.9f, 0.9f),
                       unit(out + Vec3{0, 0, tip.z > centre.z ? 0.8f : -0.8f}));
        }
    }
}

// Loose coins and three gems on top of the heap, away from the lid.
void addTreasure(MeshBuilder& b) {
    addHeap(b);
    ArtRandom rnd(2024);
    const float spots[7][2] = {{-30, -4}, {-16, 8}, {-4, -9}, {9, 5}, {22, -6}, {33, 4}, {2, 12}};
    for (const auto& s : spots) {
        const float x = s[0] + rnd.range(-2, 2), y = s[1] + rnd.range(-2, 2);
        Vec3 n = heapNormal(x, y);
        n = unit(n + Vec3{rnd.range(-0.45f, 0.45f), rnd.range(-0.45f, 0.45f), 0});
        addCoin(b, {x, y, heapHeight(x, y) + 0.6f}, n, rnd.range(4.0f, 4.8f));
    }
    const float gems[3][2] = {{-23, 3}, {15, -2}, {-6, 2}};
    for (int g = 0; g < 3; ++g) {
        const float x = gems[g][0], y = gems[g][1];
        addGem(b, {x, y, heapHeight(x, y) + 1.2f}, 3.0f, rnd.range(0, kPi), kGems[g]);
    }
}

// Trims round the top and bottom, corner brackets, bands and the lock plate.
void addBodyMetal(MeshBuilder& b) {
    const float w = kW, d = kD, t = kTrim;
    for (float z : {kZ1 - kTrimHeight, kZ0}) {
        const float z2 = z + kTrimHeight;
        goldBlock(b, {-w - t, d, z}, {w + t, d + t, z2});
        goldBlock(b, {-w - t, -d - t, z}, {w + t, -d, z2});
        goldBlock(b, {-w - t, -d, z}, {-w, d, z2});
        goldBlock(b, {w, -d, z}, {w + t, d, z2});
    }
    const float zb = kZ0 + kTrimHeight, zt = kZ1 - kTrimHeight, corner = 5.0f;
    for (float sx : {-1.0f, 1.0f}) {
        for (float sy : {-1.0f, 1.0f}) {
            const float x = sx * w, y = sy * d;
            goldBlock(b, {std::min(x, x - sx * corner), std::min(y, y + sy * t), zb},
                      {std::max(x, x - sx * corner), std::max(y, y + sy * t), zt});
            goldBlock(b, {std::min(x, x + sx * t), std::min(y - sy * corner, y + sy * t), zb},
                      {std::max(x, x + sx * t), std::max(y - sy * corner, y + sy * t), zt});
        }
    }
    for (float x : {-kBandX, kBandX}) {
        goldBlock(b, {x - kBandHalf, d, zb}, {x + kBandHalf, d + kBandRise, zt});
        goldBlock(b, {x - kBandHalf, -d - kBandRise, zb}, {x + kBandHalf, -d, zt});
    }
    goldBlock(b, {-w - kBandRise, -kBandHalf, zb}, {-w, kBandHalf, zt});
    goldBlock(b, {w, -kBandHalf, zb}, {w + kBandRise, kBandHalf, zt});
    goldBlock(b, {-9, d, -14}, {9, d + 2.5f, zt + 1.0f}, &kLock);
}

// --- The lid ----------------------------------------------------------------

// A point of the lid's cross-section (y forward from the hinge, z up) with
// its outward direction and its distance along the section.
struct SectionPoint {
    float y, z;
    float ny, nz;
    float arc;
};

// The section: a short upright lip at the back, a half ellipse over the top
// and the lip at the front. `inset` shrinks it for the lining.
std::vector<SectionPoint> lidSection(float inset) {
    const float a = kLidLength / 2 - inset, h = kArch - inset, y0 = inset;
    std::vector<SectionPoint> s;
    s.push_back({y0, 0, -1, 0, 0});
    for (int k = 0; k <= kArchSteps; ++k) {
        const float phi = kPi * k / kArchSteps;
        const float y = kLidLength / 2 - a * std::cos(phi);
        const float z = kLip + h * std::sin(phi);
        const float ny = -std::cos(phi) / a, nz = std::sin(phi) / std::max(h, 1.0f);
        const float len = std::sqrt(ny * ny + nz * nz);
        s.push_back({y, z, ny / len, nz / len, 0});
    }
    s.push_back({kLidLength - y0, 0, 1, 0, 0});
    for (size_t i = 1; i < s.size(); ++i) {
        s[i].arc = s[i - 1].arc + std::hypot(s[i].y - s[i - 1].y, s[i].z - s[i - 1].z);
    }
    return s;
}

enum class Skin { Planks, Velvet, Gold };

// A smooth strip along the section between x0 and x1, pushed out by `lift`
// along the section's outward direction; `inward` turns it for the lining.
void sectionStrip(MeshBuilder& b, const std::vector<SectionPoint>& s, float x0, float x1,
                  float lift, bool inward, Skin skin) {
    std::vector<int> left, right;
    std::vector<Uv> uvLeft, uvRight;
    const float total = s.back().arc;
    for (const SectionPoint& p : s) {
        const float y = p.y + p.ny * lift, z = p.z + p.nz * lift;
        left.push_back(b.vertex({x0, y, z}));
        right.push_back(b.vertex({x1, y, z}));
        if (skin == Skin::Planks) {
            uvLeft.push_back(plank(x0 + kW + 2, p.arc + 2));
            uvRight.push_back(plank(x1 + kW + 2, p.arc + 2));
        } else if (skin == Skin::Gold) {
            uvLeft.push_back(atlas(kGold, 0, p.arc / kGoldLength));
            uvRight.push_back(atlas(kGold, 1, p.arc / kGoldLength));
        } else {
            uvLeft.push_back(atlas(kVelvet, 0, p.arc / total));
            uvRight.push_back(atlas(kVelvet, 1, p.arc / total));
        }
    }
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        Vec3 out{0, s[i].ny + s[i + 1].ny, s[i].nz + s[i + 1].nz};
        if (inward) {
            out = out * -1.0f;
        }
        b.quad({left[i], right[i], right[i + 1], left[i + 1]},
               {uvLeft[i], uvRight[i], uvRight[i + 1], uvLeft[i + 1]}, out);
    }
}

// An end of the lid: the section filled as a fan at x, facing `side`.
void sectionCap(MeshBuilder& b, const std::vector<SectionPoint>& s, float x, float side,
                bool velvet) {
    const Vec3 centreP{x, kLidLength / 2, kLip};
    auto uvOf = [&](float y, float z) {
        return velvet ? atlas(kVelvet, y / kLidLength, 1.0f - z / (kLip + kArch))
                      : plank(y + 2, 58 + (kLip + kArch - z));
    };
    const int centre = b.vertex(centreP);
    const Uv centreUv = uvOf(centreP.y, centreP.z);
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const int a = b.vertex({x, s[i].y, s[i].z});
        const int c = b.vertex({x, s[i + 1].y, s[i + 1].z});
        b.triangle(centre, a, c, centreUv, uvOf(s[i].y, s[i].z), uvOf(s[i + 1].y, s[i + 1].z),
                   {side, 0, 0});
    }
    // The bottom edge closes the fan.
    const int a = b.vertex({x, s.back().y, s.back().z});
    const int c = b.vertex({x, s.front().y, s.front().z});
    b.triangle(centre, a, c, centreUv, uvOf(s.back().y, 0), uvOf(s.front().y, 0), {side, 0, 0});
}

void addLidWood(MeshBuilder& b) {
    const std::vector<SectionPoint> outer = lidSection(0);
    const std::vector<SectionPoint> inner = lidSection(kShell);
    const float wi = kW - kShell;
    sectionStrip(b, outer, -kW, kW, 0, false, Skin::Planks);
    sectionStrip(b, inner, -wi, wi, 0, true, Skin::Velvet);
    for (float side : {-1.0f, 1.0f}) {
        sectionCap(b, outer, side * kW, side, false);
        sectionCap(b, inner, side * wi, -side, true);
    }
    // The underside of the shell, between the outer and the inner outline.
    const float l = kLidLength, t = kShell;
    const float strips[4][4] = {
        {-kW, 0, kW, t}, {-kW, l - t, kW, l}, {-kW, t, -wi, l - t}, {wi, t, kW, l - t}};
    for (const auto& r : strips) {
        b.flatQuad({{r[0], r[1], 0}, {r[2], r[1], 0}, {r[2], r[3], 0}, {r[0], r[3], 0}},
                   {atlas(kDarkWood, 0, 0), atlas(kDarkWood, 1, 0), atlas(kDarkWood, 1, 1),
                    atlas(kDarkWood, 0, 1)},
                   {0, 0, -1});
    }
}

// The lid's trim along its bottom edge, the two arched bands and the hasp
// that hangs over the lock plate.
void addLidMetal(MeshBuilder& b) {
    const float l = kLidLength, t = kTrim, w = kW;
    goldBlock(b, {-w - t, l, 0}, {w + t, l + t, kLip});
    goldBlock(b, {-w - t, -t, 0}, {w + t, 0, kLip});
    goldBlock(b, {-w - t, 0, 0}, {-w, l, kLip});
    goldBlock(b, {w, 0, 0}, {w + t, l, kLip});
    const std::vector<SectionPoint> outer = lidSection(0);
    for (float x : {-kBandX, kBandX}) {
        const float x0 = x - kBandHalf, x1 = x + kBandHalf;
        sectionStrip(b, outer, x0, x1, kBandRise, false, Skin::Gold);
        // The band's two sides, from the wood up to its face.
        for (float side : {-1.0f, 1.0f}) {
            const float xs = side < 0 ? x0 : x1;
            for (size_t i = 0; i + 1 < outer.size(); ++i) {
                const SectionPoint& p = outer[i];
                const SectionPoint& q = outer[i + 1];
                const Vec3 corners[4] = {{xs, p.y, p.z},
                                         {xs, q.y, q.z},
                                         {xs, q.y + q.ny * kBandRise, q.z + q.nz * kBandRise},
                                         {xs, p.y + p.ny * kBandRise, p.z + p.nz * kBandRise}};
                b.flatQuad(
                    corners,
                    {atlas(kGold, 0, p.arc / kGoldLength), atlas(kGold, 0, q.arc / kGoldLength),
                     atlas(kGold, 0.1f, q.arc / kGoldLength),
                     atlas(kGold, 0.1f, p.arc / kGoldLength)},
                    {side, 0, 0});
            }
        }
    }
    goldBlock(b, {-5.5f, l + 2.6f, -9}, {5.5f, l + 4.2f, kLip + 0.5f}, &kHasp);
}

// --- The texture ------------------------------------------------------------

void fillRegion(Image& image, const Region& r, const Colour& c) {
    for (int y = static_cast<int>(r.y0); y < static_cast<int>(r.y1); ++y)
        for (int x = static_cast<int>(r.x0); x < static_cast<int>(r.x1); ++x)
            image.at(x, y) = toRgba(c);
}

// Golden-brown planks, 20 texels (10 units) high, with grain, knots, a lit
// upper edge and a dark joint.
void paintPlanks(Image& image, const Region& r, float brightness, uint32_t seed) {
    constexpr int kPlank = 20;
    const Colour dark = rgb(0x5C3214), light = rgb(0xB47A38), joint = rgb(0x2A1408);
    for (int y = static_cast<int>(r.y0); y < static_cast<int>(r.y1); ++y) {
        const int ly = y - static_cast<int>(r.y0);
        const int row = ly / kPlank;
        const float fy = (ly % kPlank + 0.5f) / kPlank;
        const float tone = 0.86f + 0.22f * hashNoise(row, 7, seed);
        for (int x = static_cast<int>(r.x0); x < static_cast<int>(r.x1); ++x) {
            const float g = fractalNoise(x * 0.012f + row * 3.7f, ly * 0.16f, 4, seed + row);
            const float streak = 0.5f + 0.5f * std::sin(g * 26.0f + x * 0.01f);
            const float fine = fractalNoise(x * 0.09f, ly * 0.7f, 2, seed + 99);
            Colour c = mix(dark, light, clamp01(0.25f + 0.55f * g + 0.2f * streak * fine));
            c = scaled(c, tone * brightness);
            // Bevel: the upper edge catches light, the lower one falls into shadow.
            c = scaled(c, 1.0f + 0.18f * (1.0f - smoothstep(0.0f, 0.18f, fy)) -
                              0.35f * smoothstep(0.8f, 0.97f, fy));
            if (ly % kPlank >= kPlank - 2)
                c = mix(c, joint, 0.85f);
            image.at(x, y) = toRgba(c);
        }
    }
    // A few knots, each a dark core in lighter rings.
    ArtRandom rnd(seed);
    for (int k = 0; k < 4; ++k) {
        const float cx = r.x0 + rnd.range(12, r.x1 - r.x0 - 12);
        const float row = std::floor(rnd.range(0, (r.y1 - r.y0) / kPlank));
        const float cy = r.y0 + row * kPlank + kPlank * 0.45f;
        fillEllipse(image, cx, cy, 6.0f, 3.2f, scaled(rgb(0x7A4A20), brightness));
        strokeCircle(image, cx, cy, 3.0f, 1.0f, scaled(rgb(0x4A2810), brightness));
        fillEllipse(image, cx, cy, 2.2f, 1.3f, scaled(rgb(0x3A1E0C), brightness));
    }
}

// Deep red velvet with soft folds, framed by a gold braid with studs.
void paintVelvet(Image& image, const Region& r) {
    const float w = r.x1 - r.x0;
    for (int y = static_cast<int>(r.y0); y < static_cast<int>(r.y1); ++y)
        for (int x = static_cast<int>(r.x0); x < static_cast<int>(r.x1); ++x) {
            const float v = fractalNoise(x * 0.035f, y * 0.05f, 4, 311);
            const float fold = 0.5f + 0.5f * std::sin((x - r.x0) * 0.11f + v * 5.0f);
            Colour c = mix(rgb(0x4E0812), rgb(0xB82438), clamp01(0.2f + 0.5f * v + 0.35f * fold));
            image.at(x, y) = toRgba(c);
        }
    const float inset = 7.0f;
    const Colour braid = rgb(0xD8A840);
    for (float yy : {r.y0 + inset, r.y1 - inset})
        strokeSegment(image, {r.x0 + inset, yy}, {r.x1 - inset, yy}, 2.2f, braid);
    for (float xx : {r.x0 + inset, r.x1 - inset})
        strokeSegment(image, {xx, r.y0 + inset}, {xx, r.y1 - inset}, 2.2f, braid);
    for (float s = 0; s <= 1.0f; s += 1.0f / 12)
        for (float yy : {r.y0 + inset, r.y1 - inset}) {
            const float xx = r.x0 + inset + s * (w - 2 * inset);
            fillCircle(image, xx, yy, 2.6f, rgb(0xF0D070));
            fillCircle(image, xx - 0.7f, yy - 0.7f, 1.0f, rgb(0xFFF4C0));
        }
}

// One gold coin seen from above: dark edge, warm face, raised rim, glint.
void paintCoin(Image& image, float cx, float cy, float rx, float ry, float tone) {
    fillEllipse(image, cx + 1.0f, cy + 1.6f, rx, ry, Colour{0.15f, 0.08f, 0.0f, 0.55f});
    fillEllipse(image, cx, cy, rx, ry, scaled(rgb(0xA87410), tone));
    fillEllipse(image, cx - 0.4f, cy - 0.5f, rx * 0.86f, ry * 0.86f, scaled(rgb(0xF2C440), tone));
    fillEllipse(image, cx, cy, rx * 0.62f, ry * 0.62f, scaled(rgb(0xD8A02A), tone));
    fillEllipse(image, cx - rx * 0.1f, cy - ry * 0.1f, rx * 0.5f, ry * 0.5f,
                scaled(rgb(0xF8D458), tone));
    fillEllipse(image, cx - rx * 0.35f, cy - ry * 0.4f, rx * 0.28f, ry * 0.18f,
                Colour{1.0f, 0.98f, 0.85f, 0.75f});
}

// The heap seen from above: coins piled over each other, a few gems and
// pearls. Drawn on a picture of its own so that nothing spills next door.
void paintCoins(Image& image, const Region& r) {
    const float w = r.x1 - r.x0, h = r.y1 - r.y0;
    Image heap(static_cast<int>(w), static_cast<int>(h), toRgba(rgb(0x6A4208)));
    ArtRandom rnd(808);
    for (int i = 0; i < 260; ++i) {
        const float cx = rnd.range(-4, w + 4), cy = rnd.range(-4, h + 4);
        const float rad = rnd.range(6.5f, 9.5f);
        const float squash = rnd.range(0.65f, 1.0f);
        const float tone = rnd.range(0.8f, 1.1f);
        if (i % 40 == 30) {
            const uint32_t colours[3] = {0xD81838, 0x20B050, 0x2870E8};
            const Colour gem = rgb(colours[(i / 40) % 3]);
            fillCircle(heap, cx + 1, cy + 1.5f, rad * 0.7f, Colour{0.1f, 0.05f, 0.0f, 0.5f});
            fillCircle(heap, cx, cy, rad * 0.7f, scaled(gem, 0.7f));
            fillCircle(heap, cx - 0.8f, cy - 0.8f, rad * 0.5f, gem);
            fillCircle(heap, cx - rad * 0.25f, cy - rad * 0.25f, rad * 0.18f,
                       Colour{1, 1, 1, 0.85f});
        } else if (i % 53 == 17) {
            fillCircle(heap, cx, cy, rad * 0.45f, rgb(0xD8D0C0));
            fillCircle(heap, cx - 1, cy - 1, rad * 0.2f, rgb(0xFFFFFF));
        } else {
            paintCoin(heap, cx, cy, rad, rad * squash, tone);
        }
    }
    image.paste(heap, static_cast<int>(r.x0), static_cast<int>(r.y0));
}

// Polished gold across the band (bright crest, dark edges, a glint line)
// and brushed along it, with a rivet every 32 texels.
void paintGold(Image& image, const Region& r) {
    const float w = r.x1 - r.x0;
    for (int y = static_cast<int>(r.y0); y < static_cast<int>(r.y1); ++y)
        for (int x = static_cast<int>(r.x0); x < static_cast<int>(r.x1); ++x) {
            const float t = (x - r.x0 + 0.5f) / w;
            const float crest = std::pow(std::sin(kPi * t), 0.6f);
            const float brushed = fractalNoise(x * 0.9f, y * 0.04f, 2, 57);
            Colour c = mix(rgb(0x7A5010), rgb(0xE8B848), crest);
            c = scaled(c, 0.92f + 0.16f * brushed);
            c = added(c, rgb(0xFFF0C0), 0.45f * std::exp(-std::pow((t - 0.32f) / 0.07f, 2.0f)));
            image.at(x, y) = toRgba(c);
        }
    for (float y = r.y0 + 16; y < r.y1; y += 32) {
        const float cx = r.x0 + w / 2;
        fillCircle(image, cx + 0.8f, y + 1.0f, 4.2f, Colour{0.2f, 0.1f, 0.0f, 0.6f});
        fillCircle(image, cx, y, 4.0f, rgb(0xB88A28));
        fillCircle(image, cx - 0.6f, y - 0.6f, 3.0f, rgb(0xF0CC58));
        fillCircle(image, cx - 1.3f, y - 1.3f, 1.2f, rgb(0xFFF6D0));
    }
}

// A raised gold plate with a bevel lit from the top left.
void paintPlate(Image& image, const Region& r, float corner) {
    const float cx = (r.x0 + r.x1) / 2, cy = (r.y0 + r.y1) / 2;
    const float hw = (r.x1 - r.x0) / 2, hh = (r.y1 - r.y0) / 2;
    for (int y = static_cast<int>(r.y0); y < static_cast<int>(r.y1); ++y)
        for (int x = static_cast<int>(r.x0); x < static_cast<int>(r.x1); ++x) {
            const Vec2 p{x + 0.5f, y + 0.5f};
            const float d = sdRoundBox(p, {cx, cy}, hw, hh, corner);
            const float edge = 1.0f - smoothstep(-5.0f, 0.0f, d);
            const float lightSide = (cx - p.x) / hw * 0.4f + (cy - p.y) / hh * 0.6f;
            Colour c = mix(rgb(0xC08A28), rgb(0xF0C650), 0.5f + 0.3f * lightSide);
            c = scaled(c, 1.0f + (1.0f - edge) * lightSide * 0.6f);
            c = scaled(c, 0.94f + 0.1f * fractalNoise(x * 0.5f, y * 0.08f, 2, 91));
            image.at(x, y) = toRgba(c);
        }
}

void paintRivet(Image& image, float x, float y, float r) {
    fillCircle(image, x + 0.6f, y + 0.8f, r, Colour{0.2f, 0.1f, 0.0f, 0.6f});
    fillCircle(image, x, y, r, rgb(0xA87820));
    fillCircle(image, x - 0.5f, y - 0.5f, r * 0.7f, rgb(0xF4D060));
    fillCircle(image, x - r * 0.35f, y - r * 0.35f, r * 0.3f, rgb(0xFFF6D0));
}

// The lock plate: engraved border, four rivets and the keyhole.
void paintLock(Image& image, const Region& r) {
    paintPlate(image, r, 6.0f);
    const float cx = (r.x0 + r.x1) / 2;
    const float inset = 9.0f;
    const Colour engraving{0.45f, 0.28f, 0.05f, 0.8f};
    strokeSegment(image, {r.x0 + inset, r.y0 + inset}, {r.x1 - inset, r.y0 + inset}, 1.2f,
                  engraving);
    strokeSegment(image, {r.x0 + inset, r.y1 - inset}, {r.x1 - inset, r.y1 - inset}, 1.2f,
                  engraving);
    strokeSegment(image, {r.x0 + inset, r.y0 + inset}, {r.x0 + inset, r.y1 - inset}, 1.2f,
                  engraving);
    strokeSegment(image, {r.x1 - inset, r.y0 + inset}, {r.x1 - inset, r.y1 - inset}, 1.2f,
                  engraving);
    for (float x : {r.x0 + 5.0f, r.x1 - 5.0f})
        for (float y : {r.y0 + 5.0f, r.y1 - 5.0f})
            paintRivet(image, x, y, 2.6f);
    const float ky = r.y0 + 36.0f;
    fillCircle(image, cx, ky, 9.5f, rgb(0xA07020));
    fillCircle(image, cx - 0.6f, ky - 0.6f, 8.2f, rgb(0xF8D468));
    const Colour hole = rgb(0x140804);
    fillCircle(image, cx, ky - 2.0f, 3.6f, hole);
    fillPolygon(image,
                {{cx - 1.8f, ky}, {cx + 1.8f, ky}, {cx + 3.0f, ky + 7.0f}, {cx - 3.0f, ky + 7.0f}},
                hole);
}

// The hasp: a tongue with a rivet at the top and a staple slot at the bottom.
void paintHasp(Image& image, const Region& r) {
    paintPlate(image, r, 4.0f);
    const float cx = (r.x0 + r.x1) / 2;
    paintRivet(image, cx, r.y0 + 9.0f, 3.2f);
    fillRoundBox(image, cx - 4.5f, r.y1 - 20.0f, cx + 4.5f, r.y1 - 9.0f, 2.5f, rgb(0x2A1606));
    fillRoundBox(image, cx - 2.5f, r.y1 - 18.0f, cx + 2.5f, r.y1 - 11.0f, 1.5f, rgb(0xC89A38));
}

// A gem colour: a facet gradient from a light corner to a deep one.
void paintGem(Image& image, const Region& r, uint32_t colour) {
    const Colour base = rgb(colour);
    for (int y = static_cast<int>(r.y0); y < static_cast<int>(r.y1); ++y)
        for (int x = static_cast<int>(r.x0); x < static_cast<int>(r.x1); ++x) {
            const float t = ((x - r.x0) + (y - r.y0)) / ((r.x1 - r.x0) + (r.y1 - r.y0));
            Colour c = mix(added(base, rgb(0xFFFFFF), 0.45f), scaled(base, 0.45f), t);
            image.at(x, y) = toRgba(c);
        }
    fillCircle(image, r.x0 + 9, r.y0 + 8, 3.0f, Colour{1, 1, 1, 0.9f});
}

// The face of a loose coin: rim, field and an embossed star.
void paintCoinFace(Image& image, const Region& r) {
    fillRegion(image, r, rgb(0xB88A24));
    const float cx = (r.x0 + r.x1) / 2, cy = (r.y0 + r.y1) / 2;
    fillCircle(image, cx, cy, 15.5f, rgb(0xC8921E));
    fillCircle(image, cx - 0.5f, cy - 0.5f, 13.0f, rgb(0xF4C848));
    fillCircle(image, cx, cy, 10.5f, rgb(0xE0AA34));
    std::vector<Vec2> star;
    for (int k = 0; k < 10; ++k) {
        const float a = -kPi / 2 + kPi * k / 5;
        const float rad = k % 2 == 0 ? 7.5f : 3.2f;
        star.push_back({cx + std::cos(a) * rad, cy + std::sin(a) * rad});
    }
    fillPolygon(image, star, rgb(0xFCE080));
    fillCircle(image, cx - 5, cy - 6, 2.0f, Colour{1, 1, 0.9f, 0.7f});
}

Image paintAtlas() {
    Image image(kAtlasWidth, kAtlasHeight, Rgba{58, 34, 16, 255});
    paintPlanks(image, kPlanks, 1.0f, 17);
    paintVelvet(image, kVelvet);
    paintCoins(image, kCoins);
    paintGold(image, kGold);
    paintHasp(image, kHasp);
    paintGem(image, kGems[0], 0xE02040);
    paintGem(image, kGems[1], 0x30C060);
    paintGem(image, kGems[2], 0x3080F0);
    paintCoinFace(image, kCoinFace);
    paintPlanks(image, kDarkWood, 0.55f, 23);
    paintLock(image, kLock);
    for (Rgba& p : image.pixels())
        p.a = 255;
    return image;
}

std::string cgoText() {
    // The game's key reader stops a value at a carriage return.
    return "nummeshes=2\r\n"
           "mesh0=goldbox_body.msh_s\r\n"
           "texture0=goldbox.tga\r\n"
           "mesh1=goldbox_lid.msh_s\r\n"
           "texture1=goldbox.tga\r\n";
}

}  // namespace

MeshFile goldBoxBodyMesh() {
    MeshBuilder b;
    addBodyShell(b);
    addTreasure(b);
    addBodyMetal(b);
    return b.take();
}

MeshFile goldBoxLidMesh() {
    MeshBuilder b;
    addLidWood(b);
    addLidMetal(b);
    MeshFile mesh = b.take();
    // The pivot is the hinge: the body's back top edge.
    mesh.pivotTranslation = {0.0f, -kD, kZ1};
    return mesh;
}

void forgeModels(ForgeOutput& out) {
    out.addText("models/goldbox.cgo", cgoText());
    out.add("models/goldbox_body.msh_s", writeStaticMesh(goldBoxBodyMesh()));
    out.add("models/goldbox_lid.msh_s", writeStaticMesh(goldBoxLidMesh()));
    addTga(out, "models/goldbox.tga", paintAtlas(), Destination::Loose);
}

}  // namespace corsavel::forge
