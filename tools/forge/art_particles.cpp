// The particle atlas "exploanim.tga": 8 x 8 cells of 64 x 64 texels holding
// glows, sparks, smoke, debris, rings, fire, stars and small treasures.
#include <algorithm>
#include <cmath>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kCell = 64;

const uint32_t kTints[8] = {0xFFFFFF, 0xFFE0A0, 0xFFC840, 0xFF8030,
                            0x80C0FF, 0x90FF90, 0xFF90D0, 0xC090FF};

void softGlow(Image& c, int i) {
    const float power = 1.2f + (i % 4) * 0.6f;
    glow(c, 32, 32, 31, rgb(kTints[i]), power, true);
    glow(c, 32, 32, 10, Colour{1, 1, 1, 0.8f}, 2.0f, true);
}

void spark(Image& c, int i) {
    const int points = (i % 3 == 0) ? 4 : (i % 3 == 1 ? 6 : 2);
    const float rot = (i >= 4) ? kPi / 4 : 0.0f;
    const float sharp = 30.0f + i * 8.0f;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float px = x + 0.5f - 32, py = y + 0.5f - 32;
            const float r = std::hypot(px, py) / 32.0f;
            if (r >= 1)
                continue;
            const float a = std::atan2(py, px) - rot;
            const float spoke = std::pow(std::fabs(std::cos(a * points * 0.5f)), sharp);
            const float k = clamp01(spoke * std::pow(1 - r, 1.2f) + std::exp(-r * r * 60.0f) +
                                    0.15f * std::pow(1 - r, 4.0f));
            addPixel(c, x, y, rgb(kTints[(i + 1) % 8]), k);
        }
}

void smoke(Image& c, int i) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float px = x + 0.5f - 32, py = y + 0.5f - 32;
            const float n = fractalNoise(x * 0.08f, y * 0.08f, 4, 100 + i);
            const float r = std::hypot(px, py) / 30.0f + (n - 0.5f) * 0.6f;
            if (r >= 1)
                continue;
            const float a = std::pow(1 - r, 1.4f) * (0.55f + 0.45f * n);
            const float shade = 0.55f + 0.4f * n - 0.1f * (py / 32.0f);
            const float g = i < 4 ? shade : shade * 0.8f;
            blendPixel(c, x, y, Colour{g, g * (i < 4 ? 1.0f : 0.92f), g * (i < 4 ? 1.0f : 0.8f), a},
                       1.0f);
        }
}

void debris(Image& c, int i) {
    static const uint32_t kColours[8] = {0xF0C030, 0xE0A020, 0x8A7A68, 0x6A5A48,
                                         0x3A84C8, 0x8A3AAA, 0xA87040, 0xD0D8E0};
    ArtRandom rnd(200 + i);
    std::vector<Vec2> pts;
    const int n = 5 + i % 3;
    for (int k = 0; k < n; ++k) {
        const float a = k * 2 * kPi / n + rnd.range(-0.3f, 0.3f);
        const float r = rnd.range(14, 27);
        pts.push_back({32 + r * std::cos(a), 32 + r * std::sin(a) * (i >= 6 ? 0.45f : 1.0f)});
    }
    const Colour base = rgb(kColours[i]);
    fillPolygon(c, pts, scaled(base, 0.5f));
    std::vector<Vec2> inner;
    for (Vec2 p : pts)
        inner.push_back({32 + (p.x - 32) * 0.85f, 32 + (p.y - 32) * 0.85f});
    fillPolygon(c, inner, base);
    std::vector<Vec2> lit = {inner[0], inner[1], {32, 32}};
    fillPolygon(c, lit, scaled(base, 1.35f));
}

void ringCell(Image& c, int i) {
    const float r = 18.0f + (i % 4) * 3.5f;
    const float width = 2.0f + (i % 4) * 2.0f;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float d = std::hypot(x + 0.5f - 32, y + 0.5f - 32);
            const float k = std::exp(-std::pow((d - r) / width, 2.0f));
            const float inner = i >= 4 ? 0.25f * std::pow(clamp01(1 - d / r), 2.0f) : 0.0f;
            if (d < 32)
                addPixel(c, x, y, rgb(kTints[i]), clamp01(k + inner));
        }
}

void fire(Image& c, int i) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float px = x + 0.5f - 32, py = y + 0.5f - 32;
            const float n = fractalNoise(x * 0.1f, y * 0.1f - i * 0.7f, 4, 300 + i);
            const float r = std::hypot(px, py * (1.0f + 0.1f * i)) / 30.0f + (n - 0.5f) * 0.5f;
            if (r >= 1)
                continue;
            const float t = clamp01(1 - r);
            const Colour col = t > 0.6f ? mix(rgb(0xFFB030), rgb(0xFFF8D0), (t - 0.6f) / 0.4f)
                                        : mix(rgb(0x801000), rgb(0xFFB030), t / 0.6f);
            addPixel(c, x, y, col, std::pow(t, 0.8f));
        }
}

void starCell(Image& c, int i) {
    std::vector<Vec2> pts;
    const int points = i < 6 ? 5 : 8;
    for (int k = 0; k < points * 2; ++k) {
        const float a = -kPi / 2 + k * kPi / points;
        const float r = (k % 2 == 0) ? 28.0f : (i < 6 ? 12.0f : 9.0f);
        pts.push_back({32 + r * std::cos(a), 33 + r * std::sin(a)});
    }
    glow(c, 32, 32, 31, rgb(kTints[(i + 2) % 8], 0.5f), 2, true);
    fillPolygon(c, pts, scaled(rgb(kTints[(i + 2) % 8]), 0.75f));
    std::vector<Vec2> inner;
    for (Vec2 p : pts)
        inner.push_back({32 + (p.x - 32) * 0.65f, 33 + (p.y - 33) * 0.65f});
    fillPolygon(c, inner, mix(rgb(kTints[(i + 2) % 8]), Colour{1, 1, 1, 1}, 0.5f));
}

void treasure(Image& c, int i) {
    switch (i) {
        case 0:  // coin
            fillCircle(c, 32, 32, 24, rgb(0x9A6A10));
            fillCircle(c, 32, 32, 21, rgb(0xF0C030));
            strokeCircle(c, 32, 32, 15, 2, rgb(0xFFE890));
            fillCircle(c, 26, 25, 5, rgb(0xFFF4C0, 0.8f));
            break;
        case 1:  // gem
            fillPolygon(c, {{20, 20}, {44, 20}, {54, 30}, {32, 56}, {10, 30}}, rgb(0x1A8A40));
            fillPolygon(c, {{22, 22}, {42, 22}, {50, 30}, {32, 52}, {14, 30}}, rgb(0x40E080));
            fillPolygon(c, {{22, 22}, {32, 22}, {28, 30}, {14, 30}}, rgb(0xC0FFD0));
            break;
        case 2:  // heart
        case 3: {
            std::vector<Vec2> pts;
            for (int k = 0; k < 48; ++k) {
                const float t = k * 2 * kPi / 48;
                const float x = 16 * std::pow(std::sin(t), 3.0f);
                const float y =
                    13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
                pts.push_back({32 + x * 1.5f, 32 - y * 1.5f});
            }
            fillPolygon(c, pts, rgb(i == 2 ? 0xE02838 : 0xFF70B0));
            fillCircle(c, 24, 22, 4, Colour{1, 1, 1, 0.6f});
            break;
        }
        case 4:  // leaf
        case 5: {
            std::vector<Vec2> pts;
            for (int k = 0; k <= 20; ++k) {
                const float t = k / 20.0f;
                pts.push_back({8 + t * 48, 32 - std::sin(t * kPi) * 13});
            }
            for (int k = 20; k >= 0; --k) {
                const float t = k / 20.0f;
                pts.push_back({8 + t * 48, 32 + std::sin(t * kPi) * 13});
            }
            fillPolygon(c, pts, rgb(i == 4 ? 0x4A9A30 : 0xC87830));
            strokeSegment(c, {10, 32}, {54, 32}, 1.5f, rgb(i == 4 ? 0x2A5A18 : 0x6A3A10));
            break;
        }
        case 6:  // pearl
            fillCircle(c, 32, 32, 20, rgb(0xC8B8A8));
            fillCircle(c, 31, 31, 18, rgb(0xF4ECE0));
            fillCircle(c, 25, 25, 6, Colour{1, 1, 1, 0.9f});
            break;
        default:  // bright dot
            glow(c, 32, 32, 20, Colour{1, 1, 1, 1}, 1.0f, true);
            break;
    }
}

// Fades the outermost texels so that filtering never picks up a neighbour.
void fadeBorder(Image& c) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int edge = std::min({x, y, kCell - 1 - x, kCell - 1 - y});
            if (edge >= 3)
                continue;
            Rgba& p = c.at(x, y);
            p.a = static_cast<uint8_t>(p.a * edge / 3);
        }
}

// Additive particles add the texel's colour and ignore its alpha, so every
// cell stores its colour already multiplied by its alpha: black where it is
// transparent. Alpha-blended particles only get slightly darker rims.
void premultiply(Image& c) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            Rgba& p = c.at(x, y);
            p.r = static_cast<uint8_t>(p.r * p.a / 255);
            p.g = static_cast<uint8_t>(p.g * p.a / 255);
            p.b = static_cast<uint8_t>(p.b * p.a / 255);
        }
}

}  // namespace

void forgeParticles(ForgeOutput& out) {
    Image atlas(8 * kCell, 8 * kCell);
    using Painter = void (*)(Image&, int);
    const Painter painters[8] = {softGlow, spark, smoke,    debris,
                                 ringCell, fire,  starCell, treasure};
    for (int group = 0; group < 8; ++group)
        for (int i = 0; i < 8; ++i) {
            Image c(kCell, kCell);
            painters[group](c, i);
            fadeBorder(c);
            premultiply(c);
            atlas.paste(c, i * kCell, group * kCell);
        }
    addTga(out, "exploanim.tga", atlas);
}

}  // namespace corsavel::forge
