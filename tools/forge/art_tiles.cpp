// Board art: the tile slabs (a checkerboard pair of plain tiles, one- and
// two-layer tiles), their shimmer overlays, the chain, the bonus overlays,
// the hand's cursor ring and the hint marker.
#include <algorithm>
#include <cmath>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;

struct SlabStyle {
    Colour face;
    Colour rim;
    float bevel = 5.0f;   // pixels
    float grain = 0.15f;  // strength of the stone noise
    uint32_t seed = 1;
    float alpha = 0.92f;
    bool glass = false;  // glossy layer plate with an inner frame
    int frames = 0;      // inner frames (two-layer tiles show two)
};

// Lights a bevelled rounded square: a raised rim catches the light from the
// top left, the face carries grain or a glassy sheen.
Image drawSlab(int size, float inset, const SlabStyle& st) {
    Image image(size, size);
    const float half = size * 0.5f - inset;
    const Vec2 centre{size * 0.5f, size * 0.5f};
    const float corner = size * 0.12f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Vec2 p{x + 0.5f, y + 0.5f};
            const float d = sdRoundBox(p, centre, half, half, corner);
            const float cov = coverage(d);
            if (cov <= 0)
                continue;
            const float e = -d;
            const float dx = sdRoundBox({p.x + 0.5f, p.y}, centre, half, half, corner) - d;
            const float dy = sdRoundBox({p.x, p.y + 0.5f}, centre, half, half, corner) - d;
            const float gl = std::max(1e-5f, std::hypot(dx, dy));
            // Outward gradient in image space (y down); light comes from the top left.
            const float tilt = 1.0f - smoothstep(0.0f, st.bevel, e);
            const float light = -(dx / gl) * -0.6f + -(dy / gl) * -0.8f;
            float k = 1.0f + tilt * light * 0.55f;
            const float grain = fractalNoise(x * 0.18f, y * 0.18f, 4, st.seed);
            Colour c = mix(st.rim, st.face, smoothstep(0.0f, st.bevel * 1.4f, e));
            c = scaled(c, k * (1.0f - st.grain * 0.5f + st.grain * grain));
            // Soft top-left to bottom-right falloff across the face.
            c = scaled(c, 1.08f - 0.16f * (x + y) / (2.0f * size));
            for (int f = 0; f < st.frames; ++f) {
                const float r = half - st.bevel - 3.0f - f * 5.0f;
                const float fd = std::fabs(sdRoundBox(p, centre, r, r, corner * 0.6f));
                const float line = clamp01(1.2f - fd);
                c = mix(c, scaled(st.rim, 1.25f), line * 0.8f);
            }
            if (st.glass) {
                // A diagonal sheen and a bright upper-left glint.
                const float band = (x - y) / static_cast<float>(size);
                const float sheen = std::exp(-std::pow((band + 0.25f) * 6.0f, 2.0f));
                c = added(c, Colour{1, 1, 1, 1}, sheen * 0.18f * smoothstep(0, st.bevel, e));
            }
            c.a = st.alpha;
            blendPixel(image, x, y, c, cov);
        }
    }
    return image;
}

Image plainTile(bool alternate) {
    SlabStyle st;
    st.face = alternate ? rgb(0x746350) : rgb(0x5A4A3A);
    st.rim = alternate ? rgb(0x94826A) : rgb(0x7A6850);
    st.seed = alternate ? 11 : 12;
    st.grain = 0.22f;
    st.bevel = 4.0f;
    return drawSlab(64, 1.0f, st);
}

Image layerTile(int layers) {
    SlabStyle st;
    st.glass = true;
    if (layers == 1) {
        st.face = rgb(0x3A84C8);
        st.rim = rgb(0x8CC8F0);
        st.frames = 1;
        st.seed = 21;
    } else {
        st.face = rgb(0x6A2A8A);
        st.rim = rgb(0xD08AE8);
        st.frames = 2;
        st.seed = 22;
        st.bevel = 6.0f;
    }
    st.grain = 0.08f;
    st.alpha = 0.96f;
    Image tile = drawSlab(64, 1.0f, st);
    // Corner rivets tell a two-layer tile apart even without colour.
    if (layers == 2) {
        for (float cx : {12.5f, 51.5f})
            for (float cy : {12.5f, 51.5f}) {
                fillCircle(tile, cx, cy, 3.2f, rgb(0x3A1050));
                fillCircle(tile, cx - 0.6f, cy - 0.6f, 2.2f, rgb(0xF0C8FF));
            }
    } else {
        fillCircle(tile, 32, 32, 4.0f, rgb(0x2A5A90, 0.6f));
    }
    return tile;
}

// The glint that sweeps over tiles still holding layers.
Image shimmer(int layers) {
    Image image(64, 64);
    const Colour tint = layers == 1 ? rgb(0xD8F4FF) : rgb(0xFFD8FF);
    const Vec2 centre{32, 32};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float d = sdRoundBox({x + 0.5f, y + 0.5f}, centre, 31, 31, 7.7f);
            if (d > 0.5f)
                continue;
            const float band = (x - y) / 64.0f;
            const float sweep = std::exp(-std::pow(band * 4.0f, 2.0f));
            const float rim = std::exp(-std::pow((d + 2.0f) / 2.0f, 2.0f));
            const float a = clamp01(sweep * 0.55f + rim * 0.6f) * coverage(d);
            Colour c = tint;
            c.a = a;
            blendPixel(image, x, y, c, 1.0f);
        }
    for (int i = 0; i < 2; ++i) {
        const float cx = 20.0f + i * 22.0f, cy = 44.0f - i * 22.0f;
        glow(image, cx, cy, 9.0f, Colour{1, 1, 1, 1}, 2.0f, true);
        strokeSegment(image, {cx - 8, cy}, {cx + 8, cy}, 1.2f, Colour{1, 1, 1, 0.9f});
        strokeSegment(image, {cx, cy - 8}, {cx, cy + 8}, 1.2f, Colour{1, 1, 1, 0.9f});
    }
    return image;
}

// One chain link: a face-on oval ring or an edge-on bar, shaded steel.
void drawLink(Image& image, Vec2 c, float angle, bool faceOn, float scale) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float len = 11.0f * scale, wid = 6.5f * scale, thick = 2.6f * scale;
    const int r = static_cast<int>(len + thick + 3);
    for (int y = static_cast<int>(c.y) - r; y <= static_cast<int>(c.y) + r; ++y)
        for (int x = static_cast<int>(c.x) - r; x <= static_cast<int>(c.x) + r; ++x) {
            const float px = x + 0.5f - c.x, py = y + 0.5f - c.y;
            const float u = px * ca + py * sa, v = -px * sa + py * ca;
            float d;
            if (faceOn)
                d = std::fabs(sdRoundBox({u, v}, {0, 0}, len, wid, wid)) - thick;
            else
                d = sdRoundBox({u, v}, {0, 0}, len + thick, thick * 1.1f, thick * 1.1f);
            const float cov = coverage(d);
            if (cov <= 0)
                continue;
            const float across = clamp01(-d / (thick * 1.6f));
            const float shine = std::sin(across * kPi * 0.5f);
            Colour col = mix(rgb(0x3A4048), rgb(0xD8E0E8), shine * (0.7f + 0.3f * (v < 0)));
            col = scaled(col, 0.55f + 0.45f * smoothstep(0.0f, 1.5f, -d));
            blendPixel(image, x, y, col, cov);
        }
}

Image chain() {
    const int size = 128;
    Image image(size, size);
    for (int diag = 0; diag < 2; ++diag) {
        const float angle = diag == 0 ? kPi / 4 : -kPi / 4;
        const float ca = std::cos(angle), sa = std::sin(angle);
        for (int i = -3; i <= 3; ++i) {
            const float t = i * 17.0f;
            drawLink(image, {64 + ca * t, 64 + sa * t}, angle, (i + diag) % 2 == 0, 1.0f);
        }
    }
    // A padlock where the chains cross.
    fillRoundBox(image, 50, 60, 78, 84, 4, rgb(0x5A4018));
    strokeCircle(image, 64, 58, 8.5f, 4.0f, rgb(0xA8B0B8));
    fillRoundBox(image, 51, 61, 77, 83, 3.5f, rgb(0xC89430));
    fillRoundBox(image, 53, 63, 75, 70, 3, rgb(0xF0CC60, 0.8f));
    fillCircle(image, 64, 72, 3.0f, rgb(0x302010));
    fillPolygon(image, {{62.5f, 73}, {65.5f, 73}, {66, 79}, {62, 79}}, rgb(0x302010));
    Image halo = image;
    for (Rgba& p : halo.pixels())
        p = {0, 0, 0, static_cast<uint8_t>(p.a * 0.5f)};
    blur(halo, 2);
    Image out(size, size);
    out.blit(halo, 2, 3);
    out.blit(image, 0, 0);
    return out;
}

// Bonus overlays: rays of light over a figure, a cross for the cross bomb
// and an eight-point star for the star bomb.
Image rays(int count, const Colour& colour, float rotation) {
    Image image(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float px = x + 0.5f - 32, py = y + 0.5f - 32;
            const float r = std::hypot(px, py) / 32.0f;
            if (r >= 1.0f)
                continue;
            const float a = std::atan2(py, px) - rotation;
            const float spoke = std::pow(std::fabs(std::cos(a * count * 0.5f)), 24.0f);
            const float fall = std::pow(1.0f - r, 1.5f);
            const float core = std::exp(-r * r * 30.0f);
            const float k = clamp01(spoke * fall * 1.4f + core + 0.25f * fall * fall);
            addPixel(image, x, y, mix(colour, Colour{1, 1, 1, 1}, core), k);
        }
    return image;
}

Image cursorRing() {
    Image image(64, 64);
    glow(image, 32, 32, 31, rgb(0xFFD060, 0.35f), 1.5f, true);
    strokeCircle(image, 32, 32, 24, 3.0f, rgb(0xFFE9A0, 0.95f));
    strokeCircle(image, 32, 32, 27.5f, 1.2f, rgb(0xFFB030, 0.7f));
    for (int i = 0; i < 4; ++i) {
        const float a = kPi / 4 + i * kPi / 2;
        const Vec2 o{32 + std::cos(a) * 24, 32 + std::sin(a) * 24};
        glow(image, o.x, o.y, 6, Colour{1, 1, 0.9f, 1}, 2, true);
    }
    return image;
}

// The hint marker: a golden arrow pointing down at the suggested cell.
Image hintArrow() {
    Image image(64, 64);
    glow(image, 32, 36, 30, rgb(0xFFE070, 0.5f), 2.0f, true);
    const std::vector<Vec2> arrow = {{22, 6},  {42, 6},  {42, 30}, {54, 30},
                                     {32, 58}, {10, 30}, {22, 30}};
    std::vector<Vec2> shadow;
    for (Vec2 p : arrow)
        shadow.push_back({p.x + 2, p.y + 2});
    fillPolygon(image, shadow, Colour{0, 0, 0, 0.45f});
    fillPolygon(image, arrow, rgb(0x8A5A10));
    std::vector<Vec2> inner = {{25, 9}, {39, 9}, {39, 33}, {47, 33}, {32, 53}, {17, 33}, {25, 33}};
    fillPolygon(image, inner, rgb(0xF8C838));
    fillPolygon(image, {{25, 9}, {32, 9}, {32, 53}, {17, 33}, {25, 33}}, rgb(0xFFE890, 0.6f));
    return image;
}

}  // namespace

void forgeTiles(ForgeOutput& out) {
    addTga(out, "field\\field0.tga", plainTile(false));
    addTga(out, "field\\field4.tga", plainTile(true));
    addTga(out, "field\\field1.tga", layerTile(1));
    addTga(out, "field\\field2.tga", layerTile(2));
    addTga(out, "field\\field1a.tga", shimmer(1));
    addTga(out, "field\\field2a.tga", shimmer(2));
    addTga(out, "zep2.tga", chain());
    addTga(out, "bonus1.tga", rays(4, rgb(0xFF7030), 0.0f));
    addTga(out, "bonus2.tga", rays(8, rgb(0xFFD040), kPi / 8));
    addTga(out, "cursor.tga", cursorRing());
    addTga(out, "02.tga", hintArrow());
}

}  // namespace corsavel::forge
