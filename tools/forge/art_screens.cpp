// Full-screen pictures and map art: the two splash pictures, the loading
// screen and its bar, the island map with its trail, the level mark and zone
// flag, and the game-complete picture.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <string>

#include "forge/art.h"
#include "forge/map_path.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kW = 800, kH = 600;
const char* const kTitleFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

// Coverage mask of a line of text, centred on cx with its baseline at y.
Image textMask(const std::string& text, int pixelSize, int width, int height, float cx,
               float baseline) {
    Image mask(width, height);
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return mask;
    if (FT_New_Face(library, kTitleFont, 0, &face) != 0) {
        FT_Done_FreeType(library);
        return mask;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int advance = 0;
    for (unsigned char ch : text)
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0)
            advance += face->glyph->advance.x >> 6;
    int pen = static_cast<int>(cx) - advance / 2;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot g = face->glyph;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const int x = pen + g->bitmap_left + static_cast<int>(col);
                const int y = static_cast<int>(baseline) - g->bitmap_top + static_cast<int>(row);
                if (!mask.contains(x, y))
                    continue;
                const uint8_t v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                mask.at(x, y) = {255, 255, 255, std::max(mask.at(x, y).a, v)};
            }
        pen += g->advance.x >> 6;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return mask;
}

// Gilded lettering: a soft shadow, a dark outline and a gold gradient face.
void drawTitle(Image& image, const std::string& text, int pixelSize, float cx, float baseline,
               const Colour& top, const Colour& bottom) {
    Image mask = textMask(text, pixelSize, image.width(), image.height(), cx, baseline);
    Image outline = mask;
    blur(outline, std::max(1, pixelSize / 28), 2);
    Image shadow = mask;
    blur(shadow, std::max(2, pixelSize / 12), 3);
    const float y0 = baseline - pixelSize * 0.75f, y1 = baseline;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const float s = shadow.get(x - pixelSize / 20, y - pixelSize / 16).a / 255.0f;
            if (s > 0)
                blendPixel(image, x, y, Colour{0, 0, 0, 0.7f}, s);
            const float o = clamp01(outline.at(x, y).a / 255.0f * 3.0f);
            if (o > 0)
                blendPixel(image, x, y, rgb(0x3A1A04), o);
            const float m = mask.at(x, y).a / 255.0f;
            if (m <= 0)
                continue;
            const float t = clamp01((y - y0) / (y1 - y0));
            Colour c = mix(top, bottom, t);
            // A bright band across the upper third of the letters.
            c = added(c, Colour{1, 1, 1, 1}, 0.35f * std::exp(-std::pow((t - 0.3f) * 6, 2.0f)));
            blendPixel(image, x, y, c, m);
        }
}

void drawChest(Image& image, float cx, float baseY, float w) {
    const float h = w * 0.55f;
    const float x0 = cx - w / 2, x1 = cx + w / 2, y0 = baseY - h;
    glow(image, cx, y0, w * 0.9f, rgb(0xFFD060, 0.8f), 1.6f, true);
    fillRoundBox(image, x0 + 6, y0 + 8, x1 + 6, baseY + 8, 8, Colour{0, 0, 0, 0.45f});
    for (int y = static_cast<int>(y0); y < static_cast<int>(baseY); ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const float n = fractalNoise(x * 0.02f, y * 0.2f, 3, 500);
            const float u = (x - x0) / w;
            Colour c = scaled(rgb(0x7A4420), 0.7f + 0.35f * n - 0.25f * u);
            blendPixel(image, x, y, c, 1.0f);
        }
    for (float bx : {x0 + w * 0.12f, x1 - w * 0.12f})
        fillRoundBox(image, bx - w * 0.04f, y0, bx + w * 0.04f, baseY, 2, rgb(0xD0A040));
    fillRoundBox(image, x0 - 4, y0 - 6, x1 + 4, y0 + 10, 4, rgb(0xC89030));
    fillRoundBox(image, cx - w * 0.07f, y0 + 4, cx + w * 0.07f, y0 + h * 0.45f, 4, rgb(0xE8C050));
    fillCircle(image, cx, y0 + h * 0.3f, w * 0.025f, rgb(0x201008));
    // The open lid leans back, and gold heaps out of the chest.
    fillPolygon(image,
                {{x0 - 4, y0 - 6},
                 {x1 + 4, y0 - 6},
                 {x1 - w * 0.05f, y0 - h * 0.9f},
                 {x0 + w * 0.05f, y0 - h * 0.9f}},
                rgb(0x5A3018));
    fillPolygon(image,
                {{x0 + w * 0.02f, y0 - 10},
                 {x1 - w * 0.02f, y0 - 10},
                 {x1 - w * 0.08f, y0 - h * 0.82f},
                 {x0 + w * 0.08f, y0 - h * 0.82f}},
                rgb(0x2A1408));
    ArtRandom rnd(77);
    for (int i = 0; i < 90; ++i) {
        const float t = rnd.unit();
        const float x = x0 + 8 + t * (w - 16);
        const float heap = std::sin(t * kPi) * h * 0.35f;
        const float y = y0 - rnd.unit() * heap;
        fillEllipse(image, x, y, w * 0.045f, w * 0.02f, rgb(0x8A5A10));
        fillEllipse(image, x, y - 1.5f, w * 0.04f, w * 0.016f, rgb(0xF8CC40));
    }
    for (int i = 0; i < 6; ++i) {
        const float x = x0 + 20 + rnd.unit() * (w - 40), y = y0 - rnd.unit() * h * 0.25f;
        const uint32_t gem[3] = {0xE02040, 0x30C060, 0x3080F0};
        fillCircle(image, x, y, w * 0.025f, rgb(gem[i % 3]));
        fillCircle(image, x - 2, y - 2, w * 0.009f, Colour{1, 1, 1, 0.8f});
    }
}

void lightRays(Image& image, float cx, float cy, int count, const Colour& c) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const float a = std::atan2(y - cy, x - cx);
            const float r = std::hypot(x - cx, y - cy);
            const float ray = std::pow(std::fabs(std::cos(a * count * 0.5f)), 8.0f);
            addPixel(image, x, y, c, ray * std::exp(-r / 420.0f) * 0.35f);
        }
}

Image opaque(const Image& picture) {
    Image out(picture.width(), picture.height(), Rgba{0, 0, 0, 255});
    out.blit(picture, 0, 0);
    for (Rgba& p : out.pixels())
        p.a = 255;
    return out;
}

Image splashTitle() {
    Image image = opaque(renderBackground(0));
    lightRays(image, 400, 330, 18, rgb(0xFFD890));
    drawChest(image, 400, 520, 260);
    drawTitle(image, "Corsavel", 120, 400, 230, rgb(0xFFF0A0), rgb(0xC07810));
    return image;
}

Image splashMaker() {
    Image image(kW, kH, Rgba{0, 0, 0, 255});
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float r = std::hypot(x - 400.0f, y - 300.0f) / 500.0f;
            image.at(x, y) = toRgba(mix(rgb(0x2A1A3A), rgb(0x05040A), r));
        }
    glow(image, 400, 270, 140, rgb(0xFFD070, 0.6f), 2, true);
    // The maker's seal: a gold ring with a star.
    strokeCircle(image, 400, 260, 80, 10, rgb(0xC89030));
    strokeCircle(image, 400, 260, 80, 5, rgb(0xFFE080));
    std::vector<Vec2> star;
    for (int i = 0; i < 10; ++i) {
        const float a = -kPi / 2 + i * kPi / 5;
        const float r = i % 2 == 0 ? 60.0f : 24.0f;
        star.push_back({400 + r * std::cos(a), 262 + r * std::sin(a)});
    }
    fillPolygon(image, star, rgb(0xF0C040));
    drawTitle(image, "Quellmor Games", 56, 400, 420, rgb(0xFFF0C0), rgb(0xC08020));
    drawTitle(image, "presents", 30, 400, 470, rgb(0xE8E0D0), rgb(0xA09080));
    return image;
}

Image loadingScreen() {
    Image image = opaque(renderBackground(12));
    lightRays(image, 400, 200, 14, rgb(0xFFD890));
    drawChest(image, 400, 470, 300);
    drawTitle(image, "Corsavel", 96, 400, 150, rgb(0xFFF0A0), rgb(0xC07810));
    // The slot the loading bar grows in: 310 x 48 pixels from (236, 534).
    fillRoundBox(image, 226, 524, 556, 592, 12, rgb(0x3A2008));
    fillRoundBox(image, 229, 527, 553, 589, 10, rgb(0xD8A838));
    fillRoundBox(image, 234, 532, 548, 584, 6, rgb(0x140A04));
    return image;
}

Image loadingBar() {
    Image image(310, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 310; ++x) {
            const float v = (y + 0.5f) / 48.0f;
            Colour c = mix(rgb(0xFFE890), rgb(0xA06008), v);
            c = added(c, Colour{1, 1, 1, 1}, 0.4f * std::exp(-std::pow((v - 0.25f) * 7, 2.0f)));
            const float stripe = 0.5f + 0.5f * std::sin((x + y) * 0.25f);
            c = scaled(c, 0.9f + 0.1f * stripe);
            c.a = 1;
            image.at(x, y) = toRgba(c);
        }
    return image;
}

// The island map: land around the trail, beaches, hills, the sea and a
// compass, in the colours of an old painted chart.
Image islandMap() {
    Image image(kW, kH);
    // Distance to the trail on a coarse grid, interpolated per pixel.
    constexpr int kStep = 4;
    const int gw = kW / kStep + 2, gh = kH / kStep + 2;
    std::vector<float> grid(static_cast<size_t>(gw) * gh, 1e9f);
    std::vector<PathPoint> trail;
    for (float d = 0; d <= mapPathLength(); d += 10.0f)
        trail.push_back(sceneToMapPixel(mapPathPoint(d)));
    for (int gy = 0; gy < gh; ++gy)
        for (int gx = 0; gx < gw; ++gx) {
            float best = 1e9f;
            for (const PathPoint& p : trail)
                best = std::min(best, std::hypot(gx * kStep - p.x, gy * kStep - p.y));
            grid[static_cast<size_t>(gy) * gw + gx] = best;
        }
    auto distance = [&](int x, int y) {
        const float fx = static_cast<float>(x) / kStep, fy = static_cast<float>(y) / kStep;
        const int ix = std::min(static_cast<int>(fx), gw - 2),
                  iy = std::min(static_cast<int>(fy), gh - 2);
        const float tx = fx - ix, ty = fy - iy;
        auto g = [&](int i, int j) { return grid[static_cast<size_t>(j) * gw + i]; };
        return (g(ix, iy) * (1 - tx) + g(ix + 1, iy) * tx) * (1 - ty) +
               (g(ix, iy + 1) * (1 - tx) + g(ix + 1, iy + 1) * tx) * ty;
    };
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float n = fractalNoise(x * 0.01f, y * 0.01f, 5, 900);
            const float coast = 62.0f + 40.0f * (n - 0.5f) * 2.0f;
            const float d = distance(x, y);
            const float inland = coast - d;  // > 0 on land
            Colour c;
            if (inland < 0) {
                const float depth = clamp01(-inland / 120.0f);
                c = mix(rgb(0x48B8C0), rgb(0x12507A), depth);
                const float wave = valueNoise(x * 0.05f, y * 0.15f, 901);
                c = added(c, Colour{1, 1, 1, 1}, 0.12f * std::pow(wave, 5.0f));
                // Surf lines parallel to the coast.
                c = added(c, Colour{1, 1, 1, 1},
                          0.25f * std::exp(-std::pow((-inland - 8.0f) / 3.0f, 2.0f)));
            } else {
                const float tex = fractalNoise(x * 0.04f, y * 0.04f, 4, 902);
                if (inland < 10) {
                    c = scaled(rgb(0xE8D098), 0.9f + 0.2f * tex);
                } else {
                    const float height = clamp01((inland - 10) / 60.0f) * (0.6f + 0.8f * n);
                    c = mix(rgb(0x6AA040), rgb(0x2A6A28), clamp01(height));
                    if (height > 0.85f)
                        c = mix(c, rgb(0x8A7A60), clamp01((height - 0.85f) * 4));
                    c = scaled(c, 0.85f + 0.3f * tex);
                }
                c = scaled(c, 1.0f - 0.3f * clamp01(1.0f - inland / 3.0f));
            }
            // An aged chart: warm tint and darker borders.
            const float edge = std::min({x, y, kW - 1 - x, kH - 1 - y}) / 60.0f;
            c = mix(c, rgb(0xC8A870), 0.15f);
            c = scaled(c, 0.65f + 0.35f * smoothstep(0.0f, 1.0f, edge));
            c.a = 1;
            image.at(x, y) = toRgba(c);
        }
    // Trees dotted over the land, away from the trail.
    ArtRandom rnd(903);
    for (int i = 0; i < 420; ++i) {
        const int x = static_cast<int>(rnd.range(10, kW - 10));
        const int y = static_cast<int>(rnd.range(10, kH - 10));
        const float d = distance(x, y);
        if (d < 22 || d > 50)
            continue;
        fillCircle(image, x + 2, y + 2, 5, Colour{0, 0, 0, 0.3f});
        fillCircle(image, x, y, 5, rgb(0x1E5A20));
        fillCircle(image, x - 1.5f, y - 1.5f, 2.5f, rgb(0x4A9A40));
    }
    // The trail: a dashed red line with a pale border.
    for (size_t i = 1; i < trail.size(); ++i)
        strokeSegment(image, {trail[i - 1].x, trail[i - 1].y}, {trail[i].x, trail[i].y}, 7,
                      rgb(0xF0E0B0, 0.8f));
    for (size_t i = 1; i < trail.size(); ++i)
        if ((i / 2) % 2 == 0)
            strokeSegment(image, {trail[i - 1].x, trail[i - 1].y}, {trail[i].x, trail[i].y}, 3.5f,
                          rgb(0xA02818));
    // Compass rose in the lower right sea.
    const float cx = 740, cy = 545;
    strokeCircle(image, cx, cy, 30, 2, rgb(0x3A2A10, 0.8f));
    for (int k = 0; k < 8; ++k) {
        const float a = k * kPi / 4;
        const float r = k % 2 == 0 ? 34.0f : 20.0f;
        const Vec2 tip{cx + std::cos(a) * r, cy + std::sin(a) * r};
        const Vec2 l{cx + std::cos(a + 0.5f) * 6, cy + std::sin(a + 0.5f) * 6};
        const Vec2 rr{cx + std::cos(a - 0.5f) * 6, cy + std::sin(a - 0.5f) * 6};
        fillPolygon(image, {tip, l, {cx, cy}}, rgb(k % 2 ? 0xE8D8B0 : 0xF0E8D0));
        fillPolygon(image, {tip, {cx, cy}, rr}, rgb(k % 2 ? 0x6A4A20 : 0xA02818));
    }
    return image;
}

Image levelMark() {
    Image image(32, 32);
    fillCircle(image, 17, 17, 13, Colour{0, 0, 0, 0.5f});
    fillCircle(image, 16, 16, 13, rgb(0x606060));
    fillCircle(image, 16, 16, 11, rgb(0xF0F0F0));
    fillCircle(image, 16, 16, 7, rgb(0xC8C8C8));
    fillCircle(image, 13, 13, 4, Colour{1, 1, 1, 0.9f});
    return image;
}

Image zoneFlag() {
    Image image(32, 32);
    strokeSegment(image, {8, 3}, {8, 30}, 2.5f, rgb(0x4A2A10));
    fillCircle(image, 8, 3, 2.2f, rgb(0xE8C040));
    fillPolygon(image, {{9, 4}, {29, 8}, {24, 12}, {29, 17}, {9, 17}}, rgb(0x801010));
    fillPolygon(image, {{9, 5}, {27, 8.5f}, {22.5f, 12}, {27, 16}, {9, 16}}, rgb(0xE02828));
    fillPolygon(image, {{9, 5}, {27, 8.5f}, {24, 10.5f}, {9, 10}}, rgb(0xFF7060, 0.6f));
    fillEllipse(image, 9, 30, 5, 1.6f, Colour{0, 0, 0, 0.4f});
    return image;
}

Image gameComplete() {
    Image image = opaque(renderBackground(12));
    lightRays(image, 400, 260, 24, rgb(0xFFE0A0));
    glow(image, 400, 300, 380, rgb(0xFFD060, 0.5f), 1.5f, true);
    drawChest(image, 400, 560, 360);
    return image;
}

}  // namespace

void forgeScreens(ForgeOutput& out) {
    // The intro pictures are read before the archives are open: loose files.
    addJpeg(out, "splash1.jpg", splashTitle(), 90, Destination::Loose);
    addJpeg(out, "splash2.jpg", splashMaker(), 90, Destination::Loose);
    addJpeg(out, "loadscreen.jpg", loadingScreen(), 90, Destination::Loose);
    addJpeg(out, "loadbar.jpg", loadingBar(), 92, Destination::Loose);
    addJpeg(out, "menumap.jpg", islandMap(), 90);
    addJpeg(out, "gamecomplete.jpg", gameComplete(), 90);
    addTga(out, "levelmark.tga", levelMark());
    addTga(out, "flag.tga", zoneFlag());
}

}  // namespace corsavel::forge
