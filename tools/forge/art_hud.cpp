// Gameplay HUD art: the life heart, the side panel, the time fuse lying in its
// trough, the powder barrel at its end and the tip icon.
#include <algorithm>
#include <cmath>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;

std::vector<Vec2> heartOutline(float cx, float cy, float size) {
    std::vector<Vec2> v;
    for (int i = 0; i < 64; ++i) {
        const float t = i * 2 * kPi / 64;
        const float x = 16 * std::pow(std::sin(t), 3.0f);
        const float y =
            13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        v.push_back({cx + x / 17.0f * size, cy - (y + 1.5f) / 17.0f * size});
    }
    return v;
}

Image heart() {
    Image image(64, 64);
    fillPolygon(image, heartOutline(33, 34, 29), Colour{0, 0, 0, 0.45f});
    fillPolygon(image, heartOutline(32, 32, 29), rgb(0x6A0810));
    fillPolygon(image, heartOutline(32, 32, 26), rgb(0xE02030));
    // Rounded body: a light from the top left.
    Image shade(64, 64);
    fillPolygon(shade, heartOutline(32, 32, 26), Colour{1, 1, 1, 1});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            Rgba& p = image.at(x, y);
            const float a = shade.at(x, y).a / 255.0f;
            if (a <= 0)
                continue;
            const float k = 1.15f - 0.5f * std::hypot(x - 22.0f, y - 20.0f) / 40.0f;
            Colour c = scaled(toColour(p), k);
            c.a = p.a / 255.0f;
            p = toRgba(c);
        }
    fillEllipse(image, 21, 20, 7, 4.5f, Colour{1, 0.85f, 0.85f, 0.7f});
    fillCircle(image, 19, 19, 2.2f, Colour{1, 1, 1, 0.9f});
    return image;
}

// Wood grain with a plank colour, for the panel, the trough and the barrel.
Colour wood(float x, float y, uint32_t seed, const Colour& base) {
    const float n = fractalNoise(x * 0.02f, y * 0.25f, 4, seed);
    const float rings = 0.5f + 0.5f * std::sin(x * 0.05f + n * 9.0f);
    return scaled(base, 0.7f + 0.25f * rings + 0.15f * n);
}

Image gamebar() {
    const int w = 128, h = 512;
    Image image(w, h);
    const Vec2 centre{w * 0.5f, h * 0.5f};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Vec2 p{x + 0.5f, y + 0.5f};
            const float d = sdRoundBox(p, centre, w * 0.5f - 2, h * 0.5f - 2, 18);
            const float cov = coverage(d);
            if (cov <= 0)
                continue;
            const float e = -d;
            Colour c = wood(y, x, 31, rgb(0x6A4020));
            // Gilded frame, then a dark inset where the texts sit.
            const float frame = smoothstep(0, 2, e) * (1 - smoothstep(7, 9, e));
            const float tilt = 1.0f - std::fabs(e - 5.0f) / 4.0f;
            c = mix(c, scaled(rgb(0xE0B040), 0.7f + 0.5f * std::max(0.0f, tilt)), frame);
            const float inset = sdRoundBox(p, centre, w * 0.5f - 16, h * 0.5f - 40, 10);
            if (inset < 0)
                c = mix(c, rgb(0x1A1008), 0.55f * smoothstep(0, 3, -inset));
            if (std::fabs(inset) < 1.2f)
                c = mix(c, rgb(0xC89838), 0.7f);
            c.a = 0.94f;
            blendPixel(image, x, y, c, cov);
        }
    // Ornaments top and bottom.
    for (float cy : {20.0f, h - 20.0f}) {
        fillCircle(image, w * 0.5f, cy, 11, rgb(0x5A3A10));
        fillCircle(image, w * 0.5f, cy, 9, rgb(0xE8B840));
        fillCircle(image, w * 0.5f - 2.5f, cy - 2.5f, 4, rgb(0xFFF0A0, 0.8f));
        for (float dx : {-30.0f, 30.0f}) {
            fillCircle(image, w * 0.5f + dx, cy, 4.5f, rgb(0x5A3A10));
            fillCircle(image, w * 0.5f + dx, cy, 3.3f, rgb(0xD02030));
        }
    }
    return image;
}

// A twisted fuse cord, tileable along its length.
Image fuse() {
    const int w = 256, h = 32;
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float v = (y + 0.5f - h * 0.5f) / 7.0f;
            if (std::fabs(v) > 1.15f)
                continue;
            const float cov = clamp01((1.15f - std::fabs(v)) * 7.0f);
            const float twist = 0.5f + 0.5f * std::sin((x * 2 * kPi / 16.0f) + v * 2.2f);
            const float round = std::sqrt(std::max(0.0f, 1.0f - v * v));
            Colour c = mix(rgb(0x5A3A18), rgb(0xD8B070), twist * round);
            c = scaled(c, 0.6f + 0.5f * round - 0.2f * v);
            blendPixel(image, x, y, c, cov);
        }
    return image;
}

// The trough the fuse lies in: a carved wooden channel, tileable along x.
Image trough() {
    const int w = 512, h = 32;
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float v = (y + 0.5f) / h;  // 0 top .. 1 bottom
            Colour c = wood(x, y, 41, rgb(0x7A4C24));
            if (v < 0.15f || v > 0.85f)
                c = scaled(c, v < 0.15f ? 1.25f : 0.6f);
            else {
                // The groove is darker at its back wall and lit at its lower lip.
                const float g = (v - 0.15f) / 0.7f;
                c = scaled(c, 0.35f + 0.5f * g * g);
            }
            const float edge = std::min(v, 1 - v) * h;
            c.a = clamp01(edge * 0.8f);
            image.at(x, y) = toRgba(c);
        }
    for (int x = 32; x < w; x += 64) {
        fillCircle(image, x, 3.5f, 2.2f, rgb(0x3A2A18));
        fillCircle(image, x - 0.5f, 3, 1.3f, rgb(0xC8B090));
    }
    return image;
}

Image barrel() {
    const int s = 64;
    Image image(s, s);
    fillEllipse(image, 33, 58, 24, 5, Colour{0, 0, 0, 0.4f});
    for (int y = 6; y < 60; ++y)
        for (int x = 0; x < s; ++x) {
            const float v = (y - 6) / 53.0f;
            const float bulge = 20.0f + 5.0f * std::sin(v * kPi);
            const float u = (x + 0.5f - 32) / bulge;
            if (std::fabs(u) > 1.05f)
                continue;
            const float cov = clamp01((1.0f - std::fabs(u)) * bulge + 0.5f);
            const float round = std::sqrt(std::max(0.0f, 1.0f - u * u));
            Colour c = wood(u * 40, v * 200, 51, rgb(0x8A5428));
            // Staves: dark seams every few degrees across the curve.
            const float stave = std::fabs(std::sin(std::asin(std::clamp(u, -1.0f, 1.0f)) * 4.0f));
            c = scaled(c, 0.45f + 0.65f * round * (0.75f + 0.25f * stave) - 0.25f * u);
            for (float hoop : {0.16f, 0.84f}) {
                if (std::fabs(v - hoop) < 0.05f)
                    c = scaled(rgb(0x707880), 0.5f + 0.8f * round - 0.3f * u);
            }
            blendPixel(image, x, y, c, cov);
        }
    fillEllipse(image, 32, 8, 20, 4.5f, rgb(0x4A2C14));
    fillEllipse(image, 32, 8, 17, 3.5f, rgb(0x2A1808));
    // A powder mark: a yellow flash on a black disc.
    fillCircle(image, 32, 34, 8, rgb(0x181008));
    const float star[10][2] = {{32, 27}, {34, 32}, {39, 33}, {35, 36}, {36, 41},
                               {32, 38}, {28, 41}, {29, 36}, {25, 33}, {30, 32}};
    std::vector<Vec2> pts;
    for (auto& p : star)
        pts.push_back({p[0], p[1] + 0.5f});
    fillPolygon(image, pts, rgb(0xFFD040));
    return image;
}

// The tip icon: a rolled parchment with a red seal.
Image tipIcon() {
    Image image(64, 64);
    glow(image, 32, 32, 31, rgb(0xFFF0B0, 0.5f), 2.0f, true);
    fillRoundBox(image, 14, 10, 52, 56, 4, rgb(0x5A4020));
    for (int y = 11; y < 55; ++y)
        for (int x = 15; x < 51; ++x) {
            const float n = fractalNoise(x * 0.2f, y * 0.2f, 3, 61);
            blendPixel(image, x, y, scaled(rgb(0xF0DCA8), 0.85f + 0.2f * n), 1.0f);
        }
    for (float y : {10.0f, 56.0f}) {
        fillRoundBox(image, 10, y - 4, 56, y + 4, 4, rgb(0xC8A870));
        fillRoundBox(image, 11, y - 3, 55, y - 0.5f, 2, rgb(0xF0DCB0, 0.8f));
    }
    for (int i = 0; i < 4; ++i)
        strokeSegment(image, {20, 20.0f + i * 7}, {i == 3 ? 36.0f : 46.0f, 20.0f + i * 7}, 1.6f,
                      rgb(0x6A5030, 0.8f));
    fillCircle(image, 44, 46, 7, rgb(0x801018));
    fillCircle(image, 44, 46, 5, rgb(0xD02838));
    fillCircle(image, 42.5f, 44.5f, 2, rgb(0xFF9090, 0.7f));
    return image;
}

}  // namespace

void forgeHud(ForgeOutput& out) {
    addTga(out, "heart.tga", heart());
    addTga(out, "gamebar.tga", gamebar());
    addTga(out, "fuse.tga", fuse());
    addTga(out, "zhelob.tga", trough());
    addTga(out, "barrel.tga", barrel());
    addTga(out, "tip.tga", tipIcon());
}

}  // namespace corsavel::forge
