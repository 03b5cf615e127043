// The living layers of the 13 backgrounds: a sky per picture in its own
// colours with drifting clouds, water in the picture's water colour, the
// waterfall and its spray, palm fronds, vines and autumn branches swaying
// in the corners, and a few still props. "gameobjs.txt" names the images,
// "AnimBacks/level%i.lev" places them (scene units: origin at the centre,
// y up; the picture's pixel (X, Y) is (X - 400, 300 - Y)).
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "forge/art.h"
#include "forge/effects.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;

// Noise that repeats every `period` texels along x (and along y when
// periodY > 0), so scrolled layers show no seam.
float tiledNoise(float x, float y, float period, float periodY, float scale, int octaves,
                 uint32_t seed) {
    auto along = [&](float yy) {
        const float t = x / period;
        return fractalNoise(x * scale, yy * scale, octaves, seed) * (1 - t) +
               fractalNoise((x - period) * scale, yy * scale, octaves, seed) * t;
    };
    if (periodY <= 0) {
        return along(y);
    }
    const float s = y / periodY;
    return along(y) * (1 - s) + along(y - periodY) * s;
}

Image paintSky(int n, const BackgroundLook& look) {
    constexpr int w = 512, h = 256;
    Image image(w, h);
    Colour cloud = mix(Colour{1, 1, 1, 1}, look.skyHorizon, 0.35f);
    if (look.dark) {
        cloud = scaled(mix(cloud, look.skyTop, 0.5f), 0.6f);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float t = static_cast<float>(y) / (h - 1);
            Colour c = mix(look.skyTop, look.skyHorizon, t * t);
            const float nz = tiledNoise(static_cast<float>(x), static_cast<float>(y) * 1.6f, w, 0,
                                        0.014f, 6, 900 + n);
            // Clouds with crisp edges: bright tops, shaded bellies, thinning
            // towards the horizon.
            const float density = smoothstep(0.5f, 0.56f, nz) * (1.0f - 0.5f * t);
            const float shade = 0.8f + 0.2f * (1.0f - t);
            c = mix(c, scaled(cloud, shade), density * 0.9f);
            c.a = 1;
            image.at(x, y) = toRgba(c);
        }
    return image;
}

Image paintWater(int n, const BackgroundLook& look) {
    constexpr int w = 256, h = 128;
    Image image(w, h);
    const Colour base = mix(look.skyHorizon, look.waterColour, 0.6f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float ripple = tiledNoise(static_cast<float>(x), static_cast<float>(y) * 4.0f, w,
                                            h * 4.0f, 0.03f, 3, 700 + n);
            Colour c = scaled(base, 0.8f + 0.35f * ripple);
            c = added(c, Colour{1, 1, 1, 1}, 0.35f * std::pow(smoothstep(0.6f, 0.85f, ripple), 2.0f));
            c.a = 1;
            image.at(x, y) = toRgba(c);
        }
    return image;
}

Image paintWaterfall() {
    constexpr int w = 64, h = 256;
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float streak =
                tiledNoise(static_cast<float>(y), static_cast<float>(x) * 8.0f, h, 0, 0.02f, 3, 77);
            const float edge = 1.0f - std::pow(std::fabs(x - 31.5f) / 32.0f, 4.0f);
            Colour c = mix(rgb(0x80B8D0), rgb(0xF4FCFF), smoothstep(0.35f, 0.75f, streak));
            c.a = clamp01(0.75f + 0.25f * streak) * edge;
            image.at(x, y) = toRgba(c);
        }
    return image;
}

Image paintSpray() {
    Image image(64, 64);
    glow(image, 32, 32, 31, Colour{1, 1, 1, 1}, 1.6f, false);
    return image;
}

// A frond or branch growing from the left edge's middle to the right, with
// leaves along it; the pivot of the swaying is its left end.
Image paintBranch(int style, const Colour leaves[3]) {
    constexpr int w = 256, h = 128;
    Image image(w, h);
    ArtRandom rnd(400 + style);
    const Colour stem = style == 0 ? rgb(0x4A5A20) : (style == 1 ? rgb(0x2A4A18) : rgb(0x5A3418));
    auto along = [&](float t) {
        return Vec2{4 + t * 240, 40 + (style == 0 ? 50 : 30) * t * t};
    };
    Vec2 prev = along(0);
    for (int i = 1; i <= 24; ++i) {
        const Vec2 p = along(i / 24.0f);
        strokeSegment(image, prev, p, 5.0f - 3.0f * i / 24.0f, stem);
        prev = p;
    }
    if (style == 0) {
        // Palm leaflets: long narrow blades hanging from both sides.
        for (int i = 2; i < 40; ++i) {
            const float t = i / 40.0f;
            const Vec2 base = along(t);
            for (int side = -1; side <= 1; side += 2) {
                const float len = 46.0f * std::sin(t * kPi) + 10.0f;
                const float a = kPi / 2 + side * 0.5f + 0.4f * t;
                const Vec2 tip{base.x + std::cos(a) * len * 0.5f, base.y + std::sin(a) * len};
                strokeSegment(image, base, tip, 3.5f, mix(leaves[i % 3], stem, 0.2f * side + 0.2f));
            }
        }
    } else {
        // Broad leaves in clusters along the branch.
        for (int i = 0; i < 26; ++i) {
            const float t = 0.12f + 0.88f * i / 26.0f;
            const Vec2 base = along(t);
            const float a = rnd.range(-kPi, kPi);
            const float len = rnd.range(14, 24) * (style == 2 ? 0.9f : 1.1f);
            const Vec2 c{base.x + std::cos(a) * len * 0.6f, base.y + std::sin(a) * len * 0.6f};
            std::vector<Vec2> pts;
            for (int k = 0; k < 16; ++k) {
                const float u = k * 2 * kPi / 16;
                const float rx = len * 0.6f, ry = len * 0.3f;
                const float lx = std::cos(u) * rx, ly = std::sin(u) * ry;
                pts.push_back({c.x + lx * std::cos(a) - ly * std::sin(a),
                               c.y + lx * std::sin(a) + ly * std::cos(a)});
            }
            const Colour leaf = leaves[i % 3];
            fillPolygon(image, pts, scaled(leaf, rnd.range(0.8f, 1.15f)));
            strokeSegment(image, base, c, 1.2f, scaled(leaf, 0.6f));
        }
    }
    return image;
}

Image paintBoat() {
    Image image(128, 64);
    fillPolygon(image, {{8, 44}, {120, 44}, {104, 58}, {22, 58}}, rgb(0x3A2418));
    strokeSegment(image, {60, 44}, {60, 4}, 3, rgb(0x2A1A10));
    fillPolygon(image, {{63, 6}, {63, 40}, {100, 40}}, rgb(0xF0E8D8));
    fillPolygon(image, {{57, 10}, {57, 40}, {28, 40}}, rgb(0xE0D4C0));
    return image;
}

Image paintBirds() {
    Image image(128, 64);
    const Vec2 at[5] = {{20, 30}, {44, 20}, {70, 34}, {92, 16}, {110, 28}};
    for (const Vec2& b : at) {
        strokeSegment(image, {b.x - 8, b.y - 3}, b, 2.0f, rgb(0x202028));
        strokeSegment(image, b, {b.x + 8, b.y - 3}, 2.0f, rgb(0x202028));
    }
    return image;
}

std::string skyName(int n) {
    return "sky" + std::to_string(n);
}
std::string waterName(int n) {
    return "water" + std::to_string(n);
}

void addCorners(std::vector<SceneLayerSpec>& l, const char* name, float shade) {
    // The shade of leaves comes from the length of their flow vector.
    l.push_back({name, -440, 330, -150, 200, -0.25f, shade, 0, false, false});
    l.push_back({name, 150, 330, 440, 200, 0.25f, shade, 0, true, false});
}

}  // namespace

std::vector<SceneLayerSpec> sceneLayers(int n) {
    const BackgroundLook look = backgroundLook(n);
    std::vector<SceneLayerSpec> l;
    l.push_back({skyName(n), -400, 300, 400, 300 - look.horizon - 20});
    if (look.water) {
        l.push_back({waterName(n), -400, 300 - look.waterTop + 4, 400, -300, 0, 40, 0});
    }
    if (look.waterfall) {
        l.push_back({"waterfall", -310, 180, -230, -170, 0, 0, 60});
        l.push_back({"spray", -320, -150, -220, -190});
    }
    if (n == 1 || n == 3) {
        l.push_back({"birds", 40, 270, 200, 190, 0, 0, 0, false, true});
    }
    if (n == 0 || n == 1) {
        const float y = 300 - look.waterTop;
        l.push_back({"boat", -360, y + 30, -250, y - 25});
    }
    if (look.palms) {
        addCorners(l, "leaves1", look.dark ? 140.0f : 0.0f);
    } else if (n == 11) {
        addCorners(l, "leaves3", 0.0f);
        l.push_back({"leaves3", -430, 250, -200, 150, -0.45f, 30, 0, false, false});
    } else if (look.trees || n == 8 || n == 9 || n == 10) {
        addCorners(l, "leaves2", n == 9 ? 60.0f : 0.0f);
    }
    return l;
}

std::vector<uint8_t> encodeSceneFile(const std::vector<SceneLayerSpec>& layers) {
    std::vector<uint8_t> bytes(68 + 65 * layers.size(), 0);
    const char* title = "scene";
    std::memcpy(bytes.data(), title, std::strlen(title));
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto putFloat = [&](size_t at, float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        put32(at, v);
    };
    put32(64, static_cast<uint32_t>(layers.size()));
    for (size_t i = 0; i < layers.size(); ++i) {
        const SceneLayerSpec& s = layers[i];
        const size_t r = 68 + 65 * i;
        std::memcpy(&bytes[r], s.name.c_str(), std::min<size_t>(s.name.size(), 31));
        putFloat(r + 32, s.x0);
        putFloat(r + 36, s.y0);
        putFloat(r + 40, s.x1);
        putFloat(r + 44, s.y1);
        putFloat(r + 48, s.angle);
        putFloat(r + 52, s.fx);
        putFloat(r + 56, s.fy);
        bytes[r + 60] = s.mirrored ? 1 : 0;
        put32(r + 61, s.behind ? 1 : 0);
    }
    return bytes;
}

void forgeBackgroundScenes(ForgeOutput& out) {
    std::string manifest = "[skies/]\r\n";
    for (int n = 0; n < 13; ++n) {
        addTga(out, "AnimBacks/" + skyName(n) + ".tga", paintSky(n, backgroundLook(n)), Destination::Loose);
        manifest += skyName(n) + "= AnimBacks/" + skyName(n) + ".tga\r\n";
    }
    manifest += "[/skies]\r\n[waters/]\r\n";
    for (int n = 0; n < 13; ++n) {
        const BackgroundLook look = backgroundLook(n);
        if (look.water) {
            addTga(out, "AnimBacks/" + waterName(n) + ".tga", paintWater(n, look), Destination::Loose);
            manifest += waterName(n) + "= AnimBacks/" + waterName(n) + ".tga\r\n";
        }
    }
    addTga(out, "AnimBacks/waterfall.tga", paintWaterfall(), Destination::Loose);
    addTga(out, "AnimBacks/spray.tga", paintSpray(), Destination::Loose);
    manifest += "waterfall= AnimBacks/waterfall.tga\r\nspray= AnimBacks/spray.tga\r\n";
    manifest += "[/waters]\r\n[plants/]\r\n";
    const Colour palm[3] = {rgb(0x3A8A30), rgb(0x4AA040), rgb(0x2A6A20)};
    const BackgroundLook jungle = backgroundLook(2);
    const BackgroundLook autumn = backgroundLook(11);
    addTga(out, "AnimBacks/leaves1.tga", paintBranch(0, palm), Destination::Loose);
    addTga(out, "AnimBacks/leaves2.tga", paintBranch(1, jungle.leaves), Destination::Loose);
    addTga(out, "AnimBacks/leaves3.tga", paintBranch(2, autumn.leaves), Destination::Loose);
    manifest += "leaves1= AnimBacks/leaves1.tga\r\nleaves2= AnimBacks/leaves2.tga\r\n"
                "leaves3= AnimBacks/leaves3.tga\r\n[/plants]\r\n[props/]\r\n";
    addTga(out, "AnimBacks/boat.tga", paintBoat(), Destination::Loose);
    addTga(out, "AnimBacks/birds.tga", paintBirds(), Destination::Loose);
    manifest += "boat= AnimBacks/boat.tga\r\nbirds= AnimBacks/birds.tga\r\n[/props]\r\n";
    out.addText("gameobjs.txt", manifest);
    for (int n = 0; n < 13; ++n) {
        out.add("AnimBacks/level" + std::to_string(n) + ".lev", encodeSceneFile(sceneLayers(n)));
    }
}

}  // namespace corsavel::forge
