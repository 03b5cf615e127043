// The skeleton characters: one bone tree, four kinds of skinned mesh built
// from tubes and ellipsoids, and their bone-coloured texture atlases.

#include <algorithm>
#include <cmath>
#include <cstdio>
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

struct BoneDef {
    const char* name;
    int parent;
    corsavel::Vec3 offset;
};

// Pelvis at the origin, z up, the skeleton facing -y, its right side at +x.
const BoneDef kBones[kSkeletonBoneCount] = {
    {"Bip01", -1, {0.0f, 0.0f, 0.0f}},
    {"Bip01 Spine", kRootBone, {0.0f, 0.0f, 0.5f}},
    {"Bip01 Spine1", kSpineBone, {0.0f, 0.0f, 1.7f}},
    {"Bip01 Neck", kChestBone, {0.0f, 0.0f, 1.5f}},
    {"Bip01 Head", kNeckBone, {0.0f, 0.0f, 0.6f}},
    {"Bip01 L UpperArm", kChestBone, {-1.35f, 0.0f, 1.3f}},
    {"Bip01 L Forearm", kLeftUpperArm, {0.0f, 0.0f, -2.3f}},
    {"Bip01 L Hand", kLeftForearm, {0.0f, 0.0f, -2.1f}},
    {"Bip01 R UpperArm", kChestBone, {1.35f, 0.0f, 1.3f}},
    {"Bip01 R Forearm", kRightUpperArm, {0.0f, 0.0f, -2.3f}},
    {"Bip01 R Hand", kRightForearm, {0.0f, 0.0f, -2.1f}},
    {"Bip01 L Thigh", kRootBone, {-0.65f, 0.0f, -0.3f}},
    {"Bip01 L Calf", kLeftThigh, {0.0f, 0.0f, -3.0f}},
    {"Bip01 L Foot", kLeftCalf, {0.0f, 0.0f, -2.9f}},
    {"Bip01 R Thigh", kRootBone, {0.65f, 0.0f, -0.3f}},
    {"Bip01 R Calf", kRightThigh, {0.0f, 0.0f, -3.0f}},
    {"Bip01 R Foot", kRightCalf, {0.0f, 0.0f, -2.9f}},
};

// Texture regions of the atlas (pixels of a 256 x 256 picture).
struct Region {
    float x0, y0, x1, y1;
};
constexpr Region kBoneRegion = {4, 4, 124, 124};
constexpr Region kSkullRegion = {128, 0, 256, 128};
constexpr Region kJointRegion = {4, 132, 124, 252};
constexpr Region kWoodRegion = {132, 132, 252, 252};
constexpr float kAtlasSize = 256.0f;

corsavel::Vec3 restPosition(int bone) {
    corsavel::Vec3 p = kBones[bone].offset;
    for (int b = kBones[bone].parent; b >= 0; b = kBones[b].parent) {
        p = p + kBones[b].offset;
    }
    return p;
}

// (s, t) across a region, t down the picture; the file stores v = 1 - t.
Uv regionUv(const Region& r, float s, float t) {
    return {(r.x0 + (r.x1 - r.x0) * s) / kAtlasSize,
            1.0f - (r.y0 + (r.y1 - r.y0) * t) / kAtlasSize};
}

struct Weight {
    int bone;
    float weight;
};

class SkinBuilder {
public:
    SkinBuilder() {
        for (int b = 0; b < kSkeletonBoneCount; ++b) {
            SkinBone bone;
            const int parent = kBones[b].parent;
            bone.offset = kBones[b].offset;
            std::snprintf(bone.name, sizeof bone.name, "%s", kBones[b].name);
            file_.bones.push_back(bone);
            if (parent >= 0) {
                SkinBone& p = file_.bones[parent];
                p.children[p.childCount++] = b;
            }
        }
    }

    int vertex(corsavel::Vec3 p, std::initializer_list<Weight> weights) {
        int k = 0;
        for (const Weight& w : weights) {
            SkinInfluence in;
            in.weight = w.weight;
            in.bone = w.bone;
            in.offset = p - restPosition(w.bone);
            file_.influences.push_back(in);
            ++k;
        }
        for (; k < kSkinInfluences; ++k) {
            file_.influences.push_back(SkinInfluence{});
        }
        positions_.push_back(p);
        return static_cast<int>(positions_.size()) - 1;
    }

    // Wound so that (b - a) x (c - a) points out of the solid, as the
    // game's normal rule and light expect.
    void triangle(int a, int b, int c, Uv ua, Uv ub, Uv uc, corsavel::Vec3 outward) {
        const corsavel::Vec3 n = cross(positions_[b] - positions_[a], positions_[c] - positions_[a]);
        if (dot(n, outward) < 0.0f) {
            std::swap(b, c);
            std::swap(ub, uc);
        }
        file_.triangles.insert(file_.triangles.end(), {a, b, c});
        file_.cornerUvs.insert(file_.cornerUvs.end(), {ua, ub, uc});
    }

    const corsavel::Vec3& position(int i) const { return positions_[i]; }
    SkinMeshFile take() { return std::move(file_); }

private:
    SkinMeshFile file_;
    std::vector<corsavel::Vec3> positions_;
};

// Weights along a piece: one bone, or a blend from `from` to `to` as the
// position runs from 0 to 1.
struct Skin {
    int from;
    int to = -1;
    Weight at(float f) const {
        return {from, to < 0 ? 1.0f : 1.0f - std::clamp(f, 0.0f, 1.0f)};
    }
};

void addWeighted(SkinBuilder& b, std::vector<int>& out, corsavel::Vec3 p, const Skin& skin,
                 float f) {
    if (skin.to < 0) {
        out.push_back(b.vertex(p, {{skin.from, 1.0f}}));
        return;
    }
    const float w = std::clamp(f, 0.0f, 1.0f);
    if (w <= 0.0f) {
        out.push_back(b.vertex(p, {{skin.from, 1.0f}}));
    } else if (w >= 1.0f) {
        out.push_back(b.vertex(p, {{skin.to, 1.0f}}));
    } else {
        out.push_back(b.vertex(p, {{skin.from, 1.0f - w}, {skin.to, w}}));
    }
}

// Two axes across a direction.
void basis(corsavel::Vec3 d, corsavel::Vec3& e1, corsavel::Vec3& e2) {
    const corsavel::Vec3 helper = std::fabs(d.z) < 0.9f ? corsavel::Vec3{0, 0, 1} : corsavel::Vec3{1, 0, 0};
    e1 = cross(helper, d);
    e1 = e1 * (1.0f / length(e1));
    e2 = cross(d, e1);
}

// A closed tube from a to b with radii r0 and r1, capped; its u runs round
// it (the seam shares vertices with two u values), its v along it.
void tube(SkinBuilder& b, corsavel::Vec3 a, corsavel::Vec3 c, float r0, float r1, const Skin& skin,
          float blendFrom, float blendTo, const Region& region, int sides = 6, int rings = 2, bool caps = true) {
    corsavel::Vec3 d = c - a;
    const float len = length(d);
    d = d * (1.0f / len);
    corsavel::Vec3 e1, e2;
    basis(d, e1, e2);
    std::vector<int> ids;
    auto blendAt = [&](float f) {
        return blendTo > blendFrom ? (f - blendFrom) / (blendTo - blendFrom) : blendFrom;
    };
    for (int r = 0; r <= rings; ++r) {
        const float f = static_cast<float>(r) / rings;
        // A waist in the middle gives the bone its knobbly ends.
        const float waist = 1.0f - 0.25f * std::sin(f * kTau * 0.5f);
        const float radius = (r0 + (r1 - r0) * f) * waist;
        const corsavel::Vec3 centre = a + d * (len * f);
        const float blend = blendAt(f);
        for (int s = 0; s < sides; ++s) {
            const float ang = kTau * s / sides;
            const corsavel::Vec3 p = centre + e1 * (std::cos(ang) * radius) + e2 * (std::sin(ang) * radius);
            addWeighted(b, ids, p, skin, blend);
        }
    }
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < sides; ++s) {
            const int s1 = (s + 1) % sides;
            const int i00 = ids[r * sides + s], i01 = ids[r * sides + s1];
            const int i10 = ids[(r + 1) * sides + s], i11 = ids[(r + 1) * sides + s1];
            const float u0 = static_cast<float>(s) / sides, u1 = static_cast<float>(s + 1) / sides;
            const float v0 = static_cast<float>(r) / rings, v1 = static_cast<float>(r + 1) / rings;
            const corsavel::Vec3 mid = (b.position(i00) + b.position(i11)) * 0.5f;
            const corsavel::Vec3 axisPoint = a + d * dot(mid - a, d);
            const corsavel::Vec3 out = mid - axisPoint;
            b.triangle(i00, i01, i11, regionUv(region, u0, v0), regionUv(region, u1, v0),
                       regionUv(region, u1, v1), out);
            b.triangle(i00, i11, i10, regionUv(region, u0, v0), regionUv(region, u1, v1),
                       regionUv(region, u0, v1), out);
        }
    }
    // Caps: a fan round a centre vertex at each end (limb bones end inside
    // their joints' knobs and need none).
    for (int end = 0; caps && end < 2; ++end) {
        const int ring = end == 0 ? 0 : rings;
        const corsavel::Vec3 centre = end == 0 ? a : c;
        std::vector<int> cap;
        addWeighted(b, cap, centre, skin, blendAt(end == 0 ? 0.0f : 1.0f));
        const corsavel::Vec3 out = end == 0 ? d * -1.0f : d;
        for (int s = 0; s < sides; ++s) {
            const int s1 = (s + 1) % sides;
            b.triangle(cap[0], ids[ring * sides + s], ids[ring * sides + s1], regionUv(region, 0.5f, 0.5f),
                       regionUv(region, 0.2f, 0.9f), regionUv(region, 0.8f, 0.9f), out);
        }
    }
}

// An ellipsoid round a centre; u round the vertical axis (0.75 faces the
// front, -y), v from the top pole down.
void ellipsoid(SkinBuilder& b, corsavel::Vec3 centre, corsavel::Vec3 radii, const Skin& skin,
               const Region& region, int rings = 6, int sides = 10) {
    std::vector<int> ids;
    std::vector<float> heights;
    addWeighted(b, ids, centre + corsavel::Vec3{0, 0, radii.z}, skin, 0.0f);
    for (int r = 1; r < rings; ++r) {
        const float phi = 0.5f * kTau * r / rings;
        for (int s = 0; s < sides; ++s) {
            const float th = kTau * s / sides;
            const corsavel::Vec3 p = centre + corsavel::Vec3{radii.x * std::cos(th) * std::sin(phi),
                                                             radii.y * std::sin(th) * std::sin(phi),
                                                             radii.z * std::cos(phi)};
            addWeighted(b, ids, p, skin, static_cast<float>(r) / rings);
        }
    }
    addWeighted(b, ids, centre - corsavel::Vec3{0, 0, radii.z}, skin, 1.0f);
    const int bottom = ids.back();
    auto ringId = [&](int r, int s) { return ids[1 + (r - 1) * sides + (s % sides)]; };
    auto uvAt = [&](int r, int s) {
        return regionUv(region, static_cast<float>(s) / sides, static_cast<float>(r) / rings);
    };
    for (int s = 0; s < sides; ++s) {
        const corsavel::Vec3 topOut = b.position(ringId(1, s)) - centre;
        b.triangle(ids[0], ringId(1, s), ringId(1, s + 1), regionUv(region, (s + 0.5f) / sides, 0.0f),
                   uvAt(1, s), uvAt(1, s + 1), topOut);
        for (int r = 1; r + 1 < rings; ++r) {
            const int i00 = ringId(r, s), i01 = ringId(r, s + 1);
            const int i10 = ringId(r + 1, s), i11 = ringId(r + 1, s + 1);
            const corsavel::Vec3 out = (b.position(i00) + b.position(i11)) * 0.5f - centre;
            b.triangle(i00, i01, i11, uvAt(r, s), uvAt(r, s + 1), uvAt(r + 1, s + 1), out);
            b.triangle(i00, i11, i10, uvAt(r, s), uvAt(r + 1, s + 1), uvAt(r + 1, s), out);
        }
        const corsavel::Vec3 bottomOut = b.position(ringId(rings - 1, s)) - centre;
        b.triangle(bottom, ringId(rings - 1, s + 1), ringId(rings - 1, s),
                   regionUv(region, (s + 0.5f) / sides, 1.0f), uvAt(rings - 1, s + 1),
                   uvAt(rings - 1, s), bottomOut);
    }
}

// A rib: a thin tube bent round the spine on an ellipse, open at the back;
// its rings are shared along the bend.
void rib(SkinBuilder& b, float z, float rx, float ry, const Skin& skin, float blend) {
    constexpr int kSegments = 8;
    constexpr int kSides = 3;
    constexpr float kRadius = 0.09f;
    const corsavel::Vec3 centre{0.0f, -0.15f, z};
    std::vector<corsavel::Vec3> path;
    for (int i = 0; i <= kSegments; ++i) {
        const float a = kTau * (0.08f + 0.84f * i / kSegments) + kTau * 0.25f;
        path.push_back(centre + corsavel::Vec3{rx * std::cos(a), ry * std::sin(a),
                                               -0.15f * std::sin(a * 0.5f)});
    }
    std::vector<int> ids;
    for (int i = 0; i <= kSegments; ++i) {
        const corsavel::Vec3 along =
            path[std::min(i + 1, kSegments)] - path[std::max(i - 1, 0)];
        corsavel::Vec3 e1, e2;
        basis(along * (1.0f / length(along)), e1, e2);
        for (int k = 0; k < kSides; ++k) {
            const float ang = kTau * k / kSides;
            addWeighted(b, ids, path[i] + (e1 * std::cos(ang) + e2 * std::sin(ang)) * kRadius,
                        skin, blend);
        }
    }
    for (int i = 0; i < kSegments; ++i) {
        for (int k = 0; k < kSides; ++k) {
            const int k1 = (k + 1) % kSides;
            const int a = ids[i * kSides + k], c = ids[i * kSides + k1];
            const int d = ids[(i + 1) * kSides + k], e = ids[(i + 1) * kSides + k1];
            const corsavel::Vec3 out = (b.position(a) + b.position(e)) * 0.5f -
                                       (path[i] + path[i + 1]) * 0.5f;
            const float u0 = static_cast<float>(k) / kSides, u1 = static_cast<float>(k + 1) / kSides;
            const float v0 = static_cast<float>(i) / kSegments;
            const float v1 = static_cast<float>(i + 1) / kSegments;
            b.triangle(a, c, e, regionUv(kBoneRegion, u0, v0), regionUv(kBoneRegion, u1, v0),
                       regionUv(kBoneRegion, u1, v1), out);
            b.triangle(a, e, d, regionUv(kBoneRegion, u0, v0), regionUv(kBoneRegion, u1, v1),
                       regionUv(kBoneRegion, u0, v1), out);
        }
    }
}

void addSpineAndRibs(SkinBuilder& b, bool brokenRibs) {
    tube(b, {0, 0.1f, 0.2f}, {0, 0.1f, 3.8f}, 0.22f, 0.18f, {kSpineBone, kChestBone}, 0.35f, 0.6f,
         kJointRegion, 6, 5);
    const float heights[] = {1.8f, 2.15f, 2.5f, 2.85f, 3.2f};
    const float widths[] = {0.9f, 1.05f, 1.1f, 1.05f, 0.85f};
    for (int i = 0; i < 5; ++i) {
        if (brokenRibs && (i == 1 || i == 3)) {
            continue;
        }
        rib(b, heights[i], widths[i], 0.75f, {kSpineBone, kChestBone}, 0.3f + 0.2f * i);
    }
    // Breastbone and collarbones.
    ellipsoid(b, {0, -0.85f, 2.75f}, {0.18f, 0.1f, 0.6f}, {kChestBone}, kBoneRegion, 4, 6);
    tube(b, {-1.35f, -0.1f, 3.55f}, {1.35f, -0.1f, 3.55f}, 0.13f, 0.13f, {kChestBone}, 0, 0,
         kBoneRegion, 6, 4);
    // Pelvis.
    ellipsoid(b, {0, 0, -0.05f}, {1.0f, 0.6f, 0.5f}, {kRootBone}, kBoneRegion, 4, 10);
}

void addHead(SkinBuilder& b) {
    tube(b, {0, 0.05f, 3.7f}, {0, 0.05f, 4.5f}, 0.2f, 0.2f, {kNeckBone, kHeadBone}, 0.5f, 1.0f,
         kJointRegion, 6, 3);
    ellipsoid(b, {0, -0.1f, 5.3f}, {0.78f, 0.88f, 0.95f}, {kHeadBone}, kSkullRegion, 6, 10);
    ellipsoid(b, {0, -0.42f, 4.62f}, {0.52f, 0.5f, 0.28f}, {kHeadBone}, kBoneRegion, 3, 8);
}

void addArm(SkinBuilder& b, bool left) {
    const int upper = left ? kLeftUpperArm : kRightUpperArm;
    const int fore = left ? kLeftForearm : kRightForearm;
    const int hand = left ? kLeftHand : kRightHand;
    const corsavel::Vec3 shoulder = restPosition(upper);
    const corsavel::Vec3 elbow = restPosition(fore);
    const corsavel::Vec3 wrist = restPosition(hand);
    ellipsoid(b, shoulder, {0.28f, 0.28f, 0.28f}, {upper}, kJointRegion, 3, 6);
    tube(b, shoulder, elbow, 0.17f, 0.14f, {upper}, 0, 0, kBoneRegion, 6, 2, false);
    ellipsoid(b, elbow, {0.2f, 0.2f, 0.2f}, {upper, fore}, kJointRegion, 3, 6);
    tube(b, elbow, wrist, 0.13f, 0.11f, {fore}, 0, 0, kBoneRegion, 6, 2, false);
    ellipsoid(b, wrist + corsavel::Vec3{0, -0.05f, -0.45f}, {0.13f, 0.3f, 0.48f}, {hand},
              kJointRegion, 4, 6);
}

void addLeg(SkinBuilder& b, bool left, bool peg) {
    const int thigh = left ? kLeftThigh : kRightThigh;
    const int calf = left ? kLeftCalf : kRightCalf;
    const int foot = left ? kLeftFoot : kRightFoot;
    const corsavel::Vec3 hip = restPosition(thigh);
    const corsavel::Vec3 knee = restPosition(calf);
    const corsavel::Vec3 ankle = restPosition(foot);
    ellipsoid(b, hip, {0.32f, 0.32f, 0.32f}, {thigh}, kJointRegion, 3, 6);
    tube(b, hip, knee, 0.23f, 0.18f, {thigh}, 0, 0, kBoneRegion, 6, 2, false);
    ellipsoid(b, knee, {0.26f, 0.26f, 0.26f}, {thigh, calf}, kJointRegion, 3, 6);
    if (peg) {
        // A wooden leg strapped on below the knee.
        tube(b, knee, ankle + corsavel::Vec3{0, 0, -0.5f}, 0.26f, 0.1f, {calf}, 0, 0, kWoodRegion, 8, 3);
        return;
    }
    tube(b, knee, ankle, 0.16f, 0.13f, {calf}, 0, 0, kBoneRegion, 6, 2, false);
    ellipsoid(b, ankle + corsavel::Vec3{0, -0.45f, -0.25f}, {0.3f, 0.75f, 0.25f}, {foot},
              kJointRegion, 3, 6);
}

// The atlas of a kind: bone, skull face, joints and the wooden region,
// tinted per kind.
Image skeletonTexture(int kind) {
    static const uint32_t kBoneTones[4] = {0xF2EAD2, 0xE4D9A8, 0xDCDCD4, 0xEDE0C0};
    const Colour bone = rgb(kBoneTones[kind & 3]);
    Image image(256, 256, toRgba(bone));
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float n = fractalNoise(x * 0.05f, y * 0.05f, 3, 91 + kind);
            const float streak = 0.5f + 0.5f * std::sin(x * 0.21f + n * 4.0f);
            Colour c = scaled(bone, 0.86f + 0.12f * n - 0.04f * streak);
            if (y >= 128 && x < 128) {
                c = scaled(c, 0.9f);  // joints a shade darker
            }
            image.at(x, y) = toRgba(c);
        }
    }
    // Wood: grain along the picture.
    for (int y = 128; y < 256; ++y) {
        for (int x = 128; x < 256; ++x) {
            const float g = fractalNoise(x * 0.02f, y * 0.3f, 3, 7);
            const float ring = 0.5f + 0.5f * std::sin(x * 0.4f + g * 9.0f);
            image.at(x, y) = toRgba(mix(rgb(0x6B4221), rgb(0xA8713C), 0.3f + 0.5f * ring * g));
        }
    }
    // Skull face round u = 0.75 (the front): sockets, nose, teeth.
    const float fx = 128.0f + 128.0f * 0.75f;
    const Colour dark = rgb(0x1A120C);
    fillEllipse(image, fx - 10.5f, 60.0f, 8.5f, 9.5f, dark);
    if (kind == 1) {
        // The patched one: a black eye patch and its band.
        fillEllipse(image, fx + 10.5f, 60.0f, 11.0f, 11.5f, rgb(0x151515));
        for (int x = 128; x < 256; ++x) {
            for (int y = 48; y < 53; ++y) {
                image.at(x, y) = toRgba(rgb(0x202020));
            }
        }
    } else {
        fillEllipse(image, fx + 10.5f, 60.0f, 8.5f, 9.5f, dark);
    }
    fillPolygon(image, {{fx - 3.5f, 82.0f}, {fx + 3.5f, 82.0f}, {fx, 72.0f}}, dark);
    for (int t = -4; t <= 4; ++t) {
        fillRoundBox(image, fx + t * 4.0f - 1.6f, 92.0f, fx + t * 4.0f + 1.6f, 101.0f, 1.0f,
                     rgb(0xFFFBEA));
        strokeSegment(image, {fx + t * 4.0f + 2.0f, 92.0f}, {fx + t * 4.0f + 2.0f, 101.0f}, 0.8f,
                      rgb(0x3A2A1A));
    }
    strokeSegment(image, {fx - 18.0f, 96.5f}, {fx + 18.0f, 96.5f}, 0.9f, rgb(0x3A2A1A));
    if (kind == 2) {
        // A crack over the brow.
        strokeSegment(image, {fx - 22.0f, 30.0f}, {fx - 12.0f, 40.0f}, 1.2f, dark);
        strokeSegment(image, {fx - 12.0f, 40.0f}, {fx - 15.0f, 47.0f}, 1.2f, dark);
    }
    for (Rgba& p : image.pixels()) {
        p.a = 255;
    }
    return image;
}

const char* const kMeshFiles[kCharacterKinds] = {"skelet.skn", "skelet_inv.skn",
                                                 "skelet_inv_ruka.skn", "skelet_inv_noga.skn"};
const char* const kTextureFiles[kCharacterKinds] = {"skelet.tga", "skelet_inv.tga",
                                                    "skelet_inv_ruka.tga", "skelet_inv_noga.tga"};

}  // namespace

SkinMeshFile skeletonMesh(int kind) {
    SkinBuilder b;
    addHead(b);
    addSpineAndRibs(b, kind == 1);
    addArm(b, true);
    if (kind == 2) {
        // One arm lost: only the shoulder's stump is left.
        ellipsoid(b, restPosition(kRightUpperArm), {0.3f, 0.3f, 0.3f}, {kRightUpperArm},
                  kJointRegion, 3, 6);
    } else {
        addArm(b, false);
    }
    addLeg(b, true, false);
    addLeg(b, false, kind == 3);
    return b.take();
}

void forgeCharacters(ForgeOutput& out) {
    for (int kind = 0; kind < kCharacterKinds; ++kind) {
        CharacterFile chr;
        std::snprintf(chr.mesh, sizeof chr.mesh, "%s", kMeshFiles[kind]);
        std::snprintf(chr.texture, sizeof chr.texture, "%s", kTextureFiles[kind]);
        out.add(std::string("models/") + kCharacterKindFiles[kind], writeCharacterFile(chr));
        out.add(std::string("models/") + kMeshFiles[kind], writeSkinMeshFile(skeletonMesh(kind)));
        addTga(out, std::string("models/") + kTextureFiles[kind], skeletonTexture(kind),
               Destination::Loose);
    }
    forgeDances(out);
    forgeHats(out);
}

}  // namespace corsavel::forge
