// The 13 background pictures "_a_back%i.jpg": painted landscapes, one scene and
// colour per stage (0 for the menus). The sky and water are partly transparent
// so that scrolling layers behind the picture show through.
#include <algorithm>
#include <cmath>
#include <string>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kW = 800, kH = 600;

struct Ridge {
    Colour colour;
    float base;       // mean height, pixels from the top
    float amplitude;  // pixels
    float frequency;  // noise cycles per pixel
    float sharpness;  // 0 rolling hills .. 1 jagged peaks
    uint32_t seed;
};

struct Scene {
    Colour skyTop, skyHorizon;
    float horizon = 330;  // sky ends here (pixels from the top)
    bool sun = true;
    float sunX = 560, sunY = 170, sunRadius = 38;
    Colour sunColour = rgb(0xFFF0C0);
    bool stars = false;
    int ridgeCount = 0;
    Ridge ridges[4];
    bool water = false;
    float waterTop = 400;
    Colour waterColour = rgb(0x206080);
    Colour ground = rgb(0x4A3A28);  // nearest ground, below everything
    float groundTop = 520;
    Colour fog = rgb(0xFFFFFF, 0.0f);
    enum class Props {
        None,
        Palms,
        Pines,
        Columns,
        Crystals,
        Dunes,
        Lava,
        Reeds,
        Waterfall,
        Trees,
        Treasure
    } props = Props::None;
    Colour leaves[3] = {rgb(0xC04010), rgb(0xE08020), rgb(0xA02818)};
    uint32_t seed = 1;
};

float ridgeHeight(const Ridge& r, float x) {
    const float n = fractalNoise(x * r.frequency, 0.5f, 5, r.seed);
    const float peaks =
        1.0f - std::fabs(2.0f * fractalNoise(x * r.frequency * 0.7f, 3.5f, 4, r.seed + 7) - 1.0f);
    const float h = n * (1.0f - r.sharpness) + peaks * r.sharpness;
    return r.base - (h - 0.5f) * 2.0f * r.amplitude;
}

void paintPalm(Image& image, float x, float groundY, float height, float lean, const Colour& c) {
    Vec2 prev{x, groundY};
    for (int i = 1; i <= 12; ++i) {
        const float t = i / 12.0f;
        const Vec2 p{x + lean * height * t * t, groundY - height * t};
        strokeSegment(image, prev, p, 9.0f - 4.0f * t, c);
        prev = p;
    }
    for (int f = 0; f < 7; ++f) {
        const float a = -kPi * 0.95f + f * kPi * 0.95f / 6.0f + 0.1f * std::sin(f * 3.0f);
        Vec2 q = prev;
        for (int i = 1; i <= 10; ++i) {
            const float t = i / 10.0f;
            const float len = height * 0.42f;
            const Vec2 p{prev.x + std::cos(a) * len * t,
                         prev.y + std::sin(a) * len * t * 0.6f + len * 0.45f * t * t};
            strokeSegment(image, q, p, 7.0f * (1.0f - t) + 1.5f, c);
            q = p;
        }
    }
}

void paintPine(Image& image, float x, float groundY, float height, const Colour& c) {
    strokeSegment(image, {x, groundY}, {x, groundY - height * 0.3f}, height * 0.06f, c);
    for (int i = 0; i < 4; ++i) {
        const float y0 = groundY - height * (0.2f + i * 0.2f);
        const float w = height * (0.32f - i * 0.06f);
        fillPolygon(image, {{x - w, y0}, {x + w, y0}, {x, y0 - height * 0.35f}}, c);
    }
}

void paintColumn(Image& image, float x, float groundY, float height, float width, const Colour& c,
                 bool broken) {
    const float top = groundY - height;
    for (int y = static_cast<int>(top); y < static_cast<int>(groundY); ++y)
        for (int px = static_cast<int>(x - width); px < static_cast<int>(x + width); ++px) {
            const float u = (px + 0.5f - x) / width;
            const float flute = 0.85f + 0.15f * std::cos(u * kPi * 5.0f);
            const float round = std::sqrt(std::max(0.0f, 1.0f - u * u));
            blendPixel(image, px, y, scaled(c, (0.45f + 0.7f * round - 0.25f * u) * flute), 1.0f);
        }
    fillRoundBox(image, x - width * 1.4f, top - 14, x + width * 1.4f, top + 2, 3, scaled(c, 1.1f));
    fillRoundBox(image, x - width * 1.5f, groundY - 10, x + width * 1.5f, groundY + 4, 3,
                 scaled(c, 0.85f));
    if (broken)
        fillPolygon(image,
                    {{x - width * 1.4f, top - 14},
                     {x + width * 0.2f, top - 30},
                     {x + width * 1.4f, top - 16}},
                    scaled(c, 1.05f));
}

void paintCrystal(Image& image, float x, float groundY, float height, const Colour& c) {
    const float w = height * 0.22f;
    fillPolygon(image,
                {{x - w, groundY},
                 {x - w * 0.8f, groundY - height * 0.75f},
                 {x, groundY - height},
                 {x + w * 0.8f, groundY - height * 0.75f},
                 {x + w, groundY}},
                scaled(c, 0.7f));
    fillPolygon(image,
                {{x - w * 0.8f, groundY - height * 0.75f},
                 {x, groundY - height},
                 {x, groundY},
                 {x - w, groundY}},
                scaled(c, 1.2f));
    glow(image, x, groundY - height * 0.5f, height * 0.9f, scaled(c, 0.35f), 2.0f, true);
}

void paintTree(Image& image, float x, float groundY, float height, const Colour& trunk,
               const Colour& leaves, uint32_t seed) {
    strokeSegment(image, {x, groundY}, {x + 4, groundY - height * 0.55f}, height * 0.08f, trunk);
    ArtRandom rnd(seed);
    for (int i = 0; i < 9; ++i) {
        const float cx = x + rnd.range(-0.3f, 0.3f) * height;
        const float cy = groundY - height * rnd.range(0.55f, 0.95f);
        const float r = height * rnd.range(0.14f, 0.24f);
        fillCircle(image, cx, cy, r, scaled(leaves, rnd.range(0.75f, 1.15f)));
    }
}

void paintProps(Image& image, const Scene& s) {
    ArtRandom rnd(s.seed * 31 + 5);
    switch (s.props) {
        case Scene::Props::Palms:
            paintPalm(image, 70, s.groundTop + 40, 300, 0.25f, rgb(0x1A1408));
            paintPalm(image, 140, s.groundTop + 60, 230, -0.2f, rgb(0x20180A));
            paintPalm(image, 760, s.groundTop + 50, 260, -0.3f, rgb(0x1A1408));
            break;
        case Scene::Props::Pines:
            for (int i = 0; i < 14; ++i)
                paintPine(image, rnd.range(0, kW), s.groundTop + rnd.range(0, 60),
                          rnd.range(90, 220), scaled(rgb(0x1A3A38), rnd.range(0.8f, 1.2f)));
            break;
        case Scene::Props::Columns:
            for (int i = 0; i < 5; ++i)
                paintColumn(image, 60 + i * 180, s.groundTop + 40, 250 + (i % 2) * 40, 22,
                            mix(s.ground, rgb(0xF0E0C8), 0.6f), i % 2 == 1);
            break;
        case Scene::Props::Crystals:
            for (int i = 0; i < 10; ++i)
                paintCrystal(image, rnd.range(0, kW), s.groundTop + rnd.range(20, 80),
                             rnd.range(60, 180), rgb(i % 2 ? 0xC060FF : 0x60C0FF));
            break;
        case Scene::Props::Dunes:
            for (int i = 0; i < 3; ++i)
                paintPalm(image, 80 + i * 330, s.groundTop + 30, 120, 0.15f, rgb(0x3A2A10));
            break;
        case Scene::Props::Lava:
            for (int i = 0; i < 6; ++i) {
                const float x = rnd.range(0, kW);
                glow(image, x, s.groundTop + rnd.range(20, 70), rnd.range(40, 90),
                     rgb(0xFF5010, 0.7f), 1.6f, true);
            }
            break;
        case Scene::Props::Reeds:
            for (int i = 0; i < 60; ++i) {
                const float x = rnd.range(0, kW), y = s.groundTop + rnd.range(20, 80);
                const float h = rnd.range(50, 130), lean = rnd.range(-20, 20);
                strokeSegment(image, {x, y}, {x + lean, y - h}, 3.0f, rgb(0x2A3A18));
                fillEllipse(image, x + lean, y - h, 3.5f, 10, rgb(0x4A3018));
            }
            break;
        case Scene::Props::Trees:
            for (int i = 0; i < 9; ++i)
                paintTree(image, rnd.range(0, kW), s.groundTop + rnd.range(10, 70),
                          rnd.range(140, 260), rgb(0x2A1A10), s.leaves[i % 3], s.seed * 13 + i);
            break;
        case Scene::Props::Treasure:
            for (int i = 0; i < 4; ++i)
                paintColumn(image, 40 + i * 240, s.groundTop + 50, 380, 26, rgb(0xC89848), false);
            for (int i = 0; i < 120; ++i) {
                const float x = rnd.range(0, kW), y = s.groundTop + 30 + rnd.range(0, 50);
                fillEllipse(image, x, y, 9, 4, rgb(0x8A5A10));
                fillEllipse(image, x, y - 1, 8, 3, rgb(0xF0C030));
            }
            break;
        case Scene::Props::Waterfall:
        case Scene::Props::None:
            break;
    }
}

Image paintScene(const Scene& s) {
    Image image(kW, kH);
    std::vector<float> heights[4];
    for (int r = 0; r < s.ridgeCount; ++r) {
        heights[r].resize(kW);
        for (int x = 0; x < kW; ++x)
            heights[r][x] = ridgeHeight(s.ridges[r], static_cast<float>(x));
    }
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const float t = clamp01(static_cast<float>(y) / s.horizon);
            Colour c = mix(s.skyTop, s.skyHorizon, t * t);
            // The sky fades out towards the top so scrolling clouds can show.
            float alpha = 0.3f + 0.7f * smoothstep(0.0f, 0.8f, t);
            if (s.sun) {
                const float d = std::hypot(x - s.sunX, y - s.sunY);
                c = added(c, s.sunColour, 0.6f * std::exp(-d / (s.sunRadius * 3.0f)));
                if (d < s.sunRadius) {
                    c = mix(c, s.sunColour, coverage(d - s.sunRadius));
                    alpha = 1.0f;
                }
            }
            if (s.stars && hashNoise(x, y, s.seed) > 0.9985f) {
                c = added(c, Colour{1, 1, 1, 1}, 0.8f);
                alpha = 1.0f;
            }
            if (s.water && y >= s.waterTop) {
                const float depth = (y - s.waterTop) / (kH - s.waterTop);
                const float ripple = fractalNoise(x * 0.01f, y * 0.12f, 3, s.seed + 50);
                c = mix(mix(s.skyHorizon, s.waterColour, 0.5f + 0.5f * depth), s.sunColour,
                        0.12f * ripple * (1.0f - depth));
                if (s.sun) {
                    const float path = std::exp(-std::fabs(x - s.sunX) / 40.0f) * ripple;
                    c = added(c, s.sunColour, 0.35f * path * (1.0f - depth));
                }
                // Bright wave crests thinning out towards the horizon.
                const float crest =
                    valueNoise(x * 0.02f, (y - s.waterTop) * 0.35f / (0.2f + depth), s.seed + 60);
                c = added(c, Colour{1, 1, 1, 1}, 0.22f * std::pow(crest, 6.0f));
                c = scaled(c, 0.85f + 0.15f * (1.0f - depth));
                alpha = 0.72f + 0.2f * depth;
            }
            for (int r = 0; r < s.ridgeCount; ++r) {
                const float top = heights[r][x];
                if (y + 0.5f < top - 0.5f)
                    continue;
                if (s.water && y >= s.waterTop)
                    continue;
                const float cov = clamp01(y + 1.0f - top);
                const float tex = fractalNoise(x * 0.03f, y * 0.03f, 3, s.ridges[r].seed + 9);
                Colour rc = scaled(s.ridges[r].colour, 0.85f + 0.3f * tex);
                rc = scaled(rc, 1.0f - 0.25f * clamp01((y - top) / 200.0f));
                c = mix(c, rc, cov);
                alpha = alpha + (1.0f - alpha) * cov;
            }
            if (y >= s.groundTop) {
                const float tex = fractalNoise(x * 0.02f, y * 0.05f, 3, s.seed + 70);
                const float cov =
                    clamp01(y + 1.0f - s.groundTop - 12.0f * std::sin(x * 0.013f + s.seed));
                c = mix(c, scaled(s.ground, 0.8f + 0.35f * tex), cov);
                alpha = alpha + (1.0f - alpha) * cov;
            }
            c = mix(c, s.fog, s.fog.a * clamp01(1.0f - std::fabs(y - s.horizon) / 160.0f));
            c.a = alpha;
            image.at(x, y) = toRgba(c);
        }
    }
    if (s.props == Scene::Props::Waterfall) {
        // A falling-water channel down the cliff, left transparent for the
        // waterfall layer and rimmed with spray.
        for (int y = 120; y < 470; ++y)
            for (int x = 90; x < 170; ++x) {
                const float u = std::fabs(x - 130.0f) / 40.0f;
                Rgba& p = image.at(x, y);
                const float k = 1.0f - smoothstep(0.8f, 1.0f, u);
                const float streak = valueNoise(x * 0.4f, y * 0.01f, 77);
                Colour c = mix(toColour(p), rgb(0xE0F4FF), (0.35f + 0.4f * streak) * k);
                c.a = 1.0f - 0.6f * k;
                p = toRgba(c);
            }
        glow(image, 130, 470, 90, rgb(0xFFFFFF, 0.5f), 1.5f, true);
    }
    paintProps(image, s);
    return image;
}

Scene scene(int n) {
    Scene s;
    s.seed = 100 + n;
    auto ridge = [&](int i, uint32_t hex, float base, float amp, float freq, float sharp) {
        s.ridges[i] = {rgb(hex), base, amp, freq, sharp, s.seed * 10 + i};
        s.ridgeCount = std::max(s.ridgeCount, i + 1);
    };
    switch (n) {
        case 0:  // the menus: a treasure bay at dusk
            s.skyTop = rgb(0x2A1A48), s.skyHorizon = rgb(0xF89850), s.sunColour = rgb(0xFFD890);
            s.sunX = 420, s.sunY = 360, s.sunRadius = 46, s.horizon = 380;
            ridge(0, 0x5A3050, 350, 60, 0.004f, 0.5f);
            s.water = true, s.waterTop = 380, s.waterColour = rgb(0x301A40);
            s.ground = rgb(0x2A1810), s.groundTop = 540, s.props = Scene::Props::Palms;
            break;
        case 1:  // a bright beach
            s.skyTop = rgb(0x3A88D8), s.skyHorizon = rgb(0xC8ECFF), s.sunY = 110;
            ridge(0, 0x5A9A8A, 320, 40, 0.003f, 0.3f);
            s.water = true, s.waterTop = 340, s.waterColour = rgb(0x10A0B0);
            s.ground = rgb(0xE8D098), s.groundTop = 500, s.props = Scene::Props::Palms;
            break;
        case 2:  // jungle
            s.skyTop = rgb(0x60A878), s.skyHorizon = rgb(0xD8F0B0), s.sun = false;
            ridge(0, 0x3A7A40, 260, 70, 0.006f, 0.2f);
            ridge(1, 0x24562C, 340, 60, 0.01f, 0.1f);
            ridge(2, 0x163A1C, 430, 50, 0.015f, 0.1f);
            s.ground = rgb(0x1A2A10), s.groundTop = 530, s.props = Scene::Props::Trees;
            s.fog = rgb(0xE0FFE0, 0.3f);
            s.leaves[0] = rgb(0x2A7A20), s.leaves[1] = rgb(0x3A9A30), s.leaves[2] = rgb(0x1A5A18);
            break;
        case 3:  // desert dunes
            s.skyTop = rgb(0xE08838), s.skyHorizon = rgb(0xFFE0A0), s.sunY = 140,
            s.sunColour = rgb(0xFFFFE0);
            ridge(0, 0xD89850, 330, 50, 0.003f, 0.0f);
            ridge(1, 0xC07838, 420, 50, 0.004f, 0.0f);
            s.ground = rgb(0xE8B060), s.groundTop = 520, s.props = Scene::Props::Dunes;
            break;
        case 4:  // volcano
            s.skyTop = rgb(0x200808), s.skyHorizon = rgb(0xB03010), s.sunColour = rgb(0xFF6020),
            s.sunX = 300, s.sunY = 190, s.sunRadius = 20;
            ridge(0, 0x401818, 280, 140, 0.002f, 1.0f);
            ridge(1, 0x2A1010, 430, 40, 0.008f, 0.6f);
            s.ground = rgb(0x1A0A08), s.groundTop = 520, s.props = Scene::Props::Lava;
            break;
        case 5:  // snowy peaks
            s.skyTop = rgb(0x5878C0), s.skyHorizon = rgb(0xE0ECFF), s.sunColour = rgb(0xFFFFFF),
            s.sunY = 120;
            ridge(0, 0xE8F0FF, 260, 130, 0.004f, 0.9f);
            ridge(1, 0x9AB0D0, 380, 70, 0.006f, 0.7f);
            s.ground = rgb(0xF0F4FF), s.groundTop = 520, s.props = Scene::Props::Pines;
            break;
        case 6:  // moonlit sea
            s.skyTop = rgb(0x050A20), s.skyHorizon = rgb(0x203868), s.sunColour = rgb(0xE8F0FF),
            s.sunX = 600, s.sunY = 130, s.sunRadius = 30, s.stars = true;
            ridge(0, 0x101830, 330, 40, 0.004f, 0.5f);
            s.water = true, s.waterTop = 350, s.waterColour = rgb(0x081830);
            s.ground = rgb(0x141A28), s.groundTop = 540, s.props = Scene::Props::Palms;
            break;
        case 7:  // crystal cave
            s.skyTop = rgb(0x100818), s.skyHorizon = rgb(0x402060), s.sun = false;
            ridge(0, 0x2A1840, 120, 80, 0.01f, 0.8f);
            ridge(1, 0x301C48, 420, 60, 0.008f, 0.6f);
            s.ground = rgb(0x1A1028), s.groundTop = 520, s.props = Scene::Props::Crystals;
            break;
        case 8:  // temple ruins at sunset
            s.skyTop = rgb(0x6A2068), s.skyHorizon = rgb(0xFFA0A0), s.sunColour = rgb(0xFFE0C0),
            s.sunY = 260;
            ridge(0, 0x804060, 340, 50, 0.003f, 0.4f);
            s.ground = rgb(0x7A5050), s.groundTop = 500, s.props = Scene::Props::Columns;
            break;
        case 9:  // misty swamp
            s.skyTop = rgb(0x506850), s.skyHorizon = rgb(0xB8C8A0), s.sun = false;
            ridge(0, 0x405840, 300, 40, 0.006f, 0.2f);
            s.water = true, s.waterTop = 420, s.waterColour = rgb(0x284030);
            s.ground = rgb(0x303A20), s.groundTop = 550, s.props = Scene::Props::Reeds;
            s.fog = rgb(0xE0F0D8, 0.45f);
            break;
        case 10:  // cliffs and waterfall
            s.skyTop = rgb(0x3890B0), s.skyHorizon = rgb(0xD0F0F0), s.sunY = 90;
            ridge(0, 0x4A7068, 200, 60, 0.004f, 0.6f);
            ridge(1, 0x305048, 320, 40, 0.006f, 0.5f);
            s.water = true, s.waterTop = 470, s.waterColour = rgb(0x187070);
            s.ground = rgb(0x2A4030), s.groundTop = 550, s.props = Scene::Props::Waterfall;
            break;
        case 11:  // autumn forest
            s.skyTop = rgb(0x8090B0), s.skyHorizon = rgb(0xF8D8A8), s.sunColour = rgb(0xFFE8B0),
            s.sunY = 200;
            ridge(0, 0x906048, 320, 50, 0.005f, 0.3f);
            s.ground = rgb(0x5A3018), s.groundTop = 520, s.props = Scene::Props::Trees;
            break;
        default:  // the treasure hall
            s.skyTop = rgb(0x301808), s.skyHorizon = rgb(0xC08030), s.sunColour = rgb(0xFFE090),
            s.sunX = 400, s.sunY = 200, s.sunRadius = 60;
            ridge(0, 0x6A4018, 360, 30, 0.004f, 0.2f);
            s.ground = rgb(0x8A6020), s.groundTop = 500, s.props = Scene::Props::Treasure;
            break;
    }
    return s;
}

}  // namespace

BackgroundLook backgroundLook(int n) {
    const Scene s = scene(n);
    BackgroundLook look;
    look.skyTop = s.skyTop;
    look.skyHorizon = s.skyHorizon;
    look.horizon = s.horizon;
    look.water = s.water;
    look.waterTop = s.waterTop;
    look.waterColour = s.waterColour;
    look.waterfall = s.props == Scene::Props::Waterfall;
    look.palms = s.props == Scene::Props::Palms;
    look.trees = s.props == Scene::Props::Trees;
    for (int i = 0; i < 3; ++i)
        look.leaves[i] = s.leaves[i];
    look.dark = n == 6 || n == 7 || n == 4;
    return look;
}

Image renderBackground(int n) {
    return paintScene(scene(n));
}

void forgeBackgrounds(ForgeOutput& out) {
    for (int n = 0; n <= 12; ++n)
        addAlphaJpeg(out, "AnimBacks/_a_back" + std::to_string(n) + ".jpg", renderBackground(n),
                     Destination::Loose);
}

}  // namespace corsavel::forge
