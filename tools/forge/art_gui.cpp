// Menu art: the GUI atlas "menutex.tga" (panel corners, edges, ornaments,
// slider parts, check boxes, the custom pointer), the panel fill, the button,
// the tip balloon and the soft glow textures.
#include <algorithm>
#include <cmath>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kCell = 64;

const Colour kGoldDark = rgb(0x6A4410);
const Colour kGold = rgb(0xD8A838);
const Colour kGoldLight = rgb(0xFFE89A);

// A gilded bar from a to b: dark edge, bright crest, drawn on the atlas.
void goldBar(Image& image, Vec2 a, Vec2 b, float width) {
    strokeSegment(image, a, b, width, kGoldDark);
    strokeSegment(image, a, b, width - 2.0f, kGold);
    const float nx = b.y - a.y, ny = a.x - b.x;
    const float len = std::max(1e-3f, std::hypot(nx, ny));
    const float o = width * 0.18f;
    strokeSegment(image, {a.x + nx / len * o, a.y + ny / len * o},
                  {b.x + nx / len * o, b.y + ny / len * o}, width * 0.25f, kGoldLight);
}

void boss(Image& image, float cx, float cy, float r, const Colour& gem) {
    fillCircle(image, cx + 1, cy + 1.5f, r + 1, Colour{0, 0, 0, 0.4f});
    fillCircle(image, cx, cy, r, kGoldDark);
    fillCircle(image, cx, cy, r - 1.5f, kGold);
    fillCircle(image, cx, cy, r * 0.55f, scaled(gem, 0.6f));
    fillCircle(image, cx - r * 0.1f, cy - r * 0.1f, r * 0.42f, gem);
    fillCircle(image, cx - r * 0.25f, cy - r * 0.25f, r * 0.15f, Colour{1, 1, 1, 0.85f});
}

// A cell rectangle in texels.
struct CellRect {
    float x, y, w, h;
    float cx() const { return x + w * 0.5f; }
    float cy() const { return y + h * 0.5f; }
};

// Panel corners: the edge bars meet in a jewelled boss at the cell centre.
void corner(Image& atlas, CellRect r, int dx, int dy) {
    goldBar(atlas, {r.cx(), r.cy()}, {dx > 0 ? r.x + r.w : r.x, r.cy()}, 9);
    goldBar(atlas, {r.cx(), r.cy()}, {r.cx(), dy > 0 ? r.y + r.h : r.y}, 9);
    // Curled scroll on the outer side.
    const float ox = r.cx() - dx * 14, oy = r.cy() - dy * 14;
    strokeCircle(atlas, ox, oy, 8, 4, kGoldDark);
    strokeCircle(atlas, ox, oy, 8, 2.2f, kGold);
    boss(atlas, r.cx(), r.cy(), 11, rgb(0xD02838));
}

void ornament(Image& atlas, CellRect r, bool horizontal) {
    const float cx = r.cx(), cy = r.cy();
    if (horizontal) {
        goldBar(atlas, {r.x, cy}, {r.x + r.w, cy}, 9);
        for (int side : {-1, 1}) {
            std::vector<Vec2> leaf;
            for (int i = 0; i <= 16; ++i) {
                const float t = i / 16.0f;
                leaf.push_back({cx + side * (12 + t * 40), cy - std::sin(t * kPi) * 14});
            }
            for (int i = 16; i >= 0; --i) {
                const float t = i / 16.0f;
                leaf.push_back({cx + side * (12 + t * 40), cy + std::sin(t * kPi) * 14});
            }
            fillPolygon(atlas, leaf, kGoldDark);
            std::vector<Vec2> inner;
            for (const Vec2& p : leaf)
                inner.push_back({cx + (p.x - cx) * 0.94f, cy + (p.y - cy) * 0.7f});
            fillPolygon(atlas, inner, kGold);
        }
    } else {
        goldBar(atlas, {cx, r.y}, {cx, r.y + r.h}, 9);
        for (int side : {-1, 1}) {
            std::vector<Vec2> leaf;
            for (int i = 0; i <= 16; ++i) {
                const float t = i / 16.0f;
                leaf.push_back({cx - std::sin(t * kPi) * 14, cy + side * (12 + t * 40)});
            }
            for (int i = 16; i >= 0; --i) {
                const float t = i / 16.0f;
                leaf.push_back({cx + std::sin(t * kPi) * 14, cy + side * (12 + t * 40)});
            }
            fillPolygon(atlas, leaf, kGoldDark);
            std::vector<Vec2> inner;
            for (const Vec2& p : leaf)
                inner.push_back({cx + (p.x - cx) * 0.7f, cy + (p.y - cy) * 0.94f});
            fillPolygon(atlas, inner, kGold);
        }
    }
    boss(atlas, cx, cy, 15, rgb(0x2870D8));
}

// A slider groove: a dark inset channel with a gilded lip, across the cell.
void groove(Image& atlas, CellRect r) {
    const float cy = r.cy();
    fillRoundBox(atlas, r.x, cy - 9, r.x + r.w, cy + 9, 0, kGoldDark);
    fillRoundBox(atlas, r.x, cy - 7.5f, r.x + r.w, cy + 7.5f, 0, kGold);
    fillRoundBox(atlas, r.x, cy - 5, r.x + r.w, cy + 5, 0, rgb(0x201008));
    fillRoundBox(atlas, r.x, cy + 2, r.x + r.w, cy + 5, 0, rgb(0x503018, 0.8f));
}

void arrowButton(Image& atlas, CellRect r, bool plus) {
    boss(atlas, r.cx(), r.cy(), 22, rgb(0x702010));
    const float s = plus ? 1.0f : -1.0f;
    const float cx = r.cx() + s * 2, cy = r.cy();
    fillPolygon(atlas, {{cx - s * 8, cy - 12}, {cx + s * 10, cy}, {cx - s * 8, cy + 12}},
                kGoldDark);
    fillPolygon(atlas, {{cx - s * 6, cy - 9}, {cx + s * 7, cy}, {cx - s * 6, cy + 9}}, kGoldLight);
}

void checkBox(Image& atlas, CellRect r, bool checked) {
    const float cx = r.cx(), cy = r.cy();
    fillRoundBox(atlas, cx - 19, cy - 19, cx + 21, cy + 21, 6, Colour{0, 0, 0, 0.4f});
    fillRoundBox(atlas, cx - 20, cy - 20, cx + 20, cy + 20, 6, kGoldDark);
    fillRoundBox(atlas, cx - 18, cy - 18, cx + 18, cy + 18, 5, kGold);
    fillRoundBox(atlas, cx - 14, cy - 14, cx + 14, cy + 14, 3, rgb(0x2A1408));
    if (checked) {
        const std::vector<Vec2> tick = {{cx - 13, cy - 1},  {cx - 6, cy - 7},   {cx - 1, cy + 1},
                                        {cx + 16, cy - 20}, {cx + 21, cy - 14}, {cx - 1, cy + 13}};
        std::vector<Vec2> shadow;
        for (Vec2 p : tick)
            shadow.push_back({p.x + 1.5f, p.y + 2});
        fillPolygon(atlas, shadow, Colour{0, 0, 0, 0.5f});
        fillPolygon(atlas, tick, rgb(0x40D040));
        fillPolygon(atlas,
                    {{cx - 11, cy - 1}, {cx - 6, cy - 5}, {cx - 1, cy + 3}, {cx - 1, cy + 7}},
                    rgb(0xB0FFA0, 0.7f));
    }
}

void knob(Image& atlas, CellRect r) {
    const float cx = r.cx(), cy = r.cy();
    fillEllipse(atlas, cx + 1.5f, cy + 2, 13, 17, Colour{0, 0, 0, 0.45f});
    fillEllipse(atlas, cx, cy, 13, 17, kGoldDark);
    fillEllipse(atlas, cx, cy, 11, 15, kGold);
    fillEllipse(atlas, cx - 2, cy - 4, 6, 8, kGoldLight);
    fillEllipse(atlas, cx, cy + 2, 5, 6, rgb(0xD02838));
}

// The custom pointer: an arrow whose tip sits two texels in from the cell's
// top-left corner, and its pulsing glow layer.
std::vector<Vec2> pointerShape(CellRect r) {
    const float x = r.x + 3, y = r.y + 2;
    return {{x, y},           {x + 30, y + 26}, {x + 17, y + 28}, {x + 25, y + 44},
            {x + 18, y + 47}, {x + 10, y + 31}, {x, y + 40}};
}

void pointer(Image& atlas, CellRect r) {
    std::vector<Vec2> shape = pointerShape(r);
    std::vector<Vec2> shadow;
    for (Vec2 p : shape)
        shadow.push_back({p.x + 2, p.y + 2.5f});
    fillPolygon(atlas, shadow, Colour{0, 0, 0, 0.45f});
    fillPolygon(atlas, shape, kGoldDark);
    std::vector<Vec2> inner;
    const float ix = r.x + 6, iy = r.y + 8;
    inner = {{ix, iy},           {ix + 21, iy + 18}, {ix + 10, iy + 20}, {ix + 18, iy + 36},
             {ix + 15, iy + 37}, {ix + 6, iy + 21},  {ix, iy + 28}};
    fillPolygon(atlas, inner, kGold);
    fillPolygon(atlas, {{ix, iy}, {ix + 10, iy + 9}, {ix + 3, iy + 18}, {ix, iy + 24}}, kGoldLight);
}

void pointerGlow(Image& atlas, CellRect r) {
    Image layer(kCell, kCell);
    std::vector<Vec2> shape = pointerShape({0, 0, kCell, kCell});
    fillPolygon(layer, shape, rgb(0xFFD870));
    blur(layer, 3);
    for (Rgba& p : layer.pixels())
        p.a = static_cast<uint8_t>(std::min(255, p.a * 2));
    atlas.paste(layer, static_cast<int>(r.x), static_cast<int>(r.y));
}

// Paints one atlas cell on its own canvas, so nothing spills into its
// neighbours (bilinear filtering would show it at the cell's edge).
template <typename Painter>
void paintCell(Image& atlas, int column, int row, int w, int h, Painter painter) {
    Image canvas(w * kCell, h * kCell);
    painter(canvas, CellRect{0, 0, static_cast<float>(w * kCell), static_cast<float>(h * kCell)});
    atlas.paste(canvas, column * kCell, row * kCell);
}

Image atlas() {
    Image image(4 * kCell, 8 * kCell);
    auto horizontalStrip = [](Image& c, CellRect r) {
        goldBar(c, {r.x - 8, r.cy()}, {r.x + r.w + 8, r.cy()}, 9);
    };
    auto verticalStrip = [](Image& c, CellRect r) {
        goldBar(c, {r.cx(), r.y - 8}, {r.cx(), r.y + r.h + 8}, 9);
    };
    paintCell(image, 0, 0, 1, 1, [](Image& c, CellRect r) { corner(c, r, 1, 1); });        // 0
    paintCell(image, 1, 0, 1, 1, [](Image& c, CellRect r) { corner(c, r, -1, 1); });       // 1
    paintCell(image, 0, 1, 1, 1, [](Image& c, CellRect r) { corner(c, r, 1, -1); });       // 2
    paintCell(image, 1, 1, 1, 1, [](Image& c, CellRect r) { corner(c, r, -1, -1); });      // 3
    paintCell(image, 0, 2, 1, 1, horizontalStrip);                                         // 4
    paintCell(image, 1, 2, 1, 1, horizontalStrip);                                         // 5
    paintCell(image, 2, 0, 1, 1, verticalStrip);                                           // 6
    paintCell(image, 3, 0, 1, 1, verticalStrip);                                           // 7
    paintCell(image, 2, 1, 1, 1, verticalStrip);                                           // 8
    paintCell(image, 3, 1, 1, 1, verticalStrip);                                           // 9
    paintCell(image, 0, 3, 2, 1, [](Image& c, CellRect r) { ornament(c, r, true); });      // 10
    paintCell(image, 0, 4, 2, 1, [](Image& c, CellRect r) { ornament(c, r, true); });      // 11
    paintCell(image, 2, 3, 1, 2, [](Image& c, CellRect r) { ornament(c, r, false); });     // 12
    paintCell(image, 3, 3, 1, 2, [](Image& c, CellRect r) { ornament(c, r, false); });     // 13
    paintCell(image, 0, 7, 1, 1, [](Image& c, CellRect r) { arrowButton(c, r, false); });  // 14
    paintCell(image, 1, 7, 1, 1, [](Image& c, CellRect r) { arrowButton(c, r, true); });   // 15
    paintCell(image, 0, 5, 1, 1, groove);                    // 16 slider track
    paintCell(image, 0, 6, 1, 1, groove);                    // 17 slider track
    paintCell(image, 2, 5, 1, 1, [](Image& c, CellRect r) {  // 18 track end cap
        groove(c, {r.x, r.y, r.w * 0.5f, r.h});
        boss(c, r.cx(), r.cy(), 12, rgb(0x2870D8));
    });
    paintCell(image, 3, 5, 1, 1, knob);                                                 // 19
    paintCell(image, 1, 6, 1, 1, [](Image& c, CellRect r) { checkBox(c, r, true); });   // 20
    paintCell(image, 1, 5, 1, 1, [](Image& c, CellRect r) { checkBox(c, r, false); });  // 21
    paintCell(image, 3, 7, 1, 1, pointer);                                              // 22
    paintCell(image, 2, 7, 1, 1, pointerGlow);                                          // 23
    return image;
}

// Light marbled stone: tinted dark by the menus, mirrored so it need not tile.
Image panelFill() {
    Image image(128, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 128; ++x) {
            const float n = fractalNoise(x * 0.03f, y * 0.03f, 5, 71);
            const float vein =
                std::pow(std::fabs(std::sin((x * 0.02f + y * 0.035f + n * 4) * kPi)), 6.0f);
            const float v = 0.82f + 0.18f * n - 0.25f * vein;
            image.at(x, y) = toRgba({v, v, v * 0.97f, 1});
        }
    return image;
}

Image windowFill() {
    Image image(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float n = fractalNoise(x * 0.02f, y * 0.02f, 4, 72);
            const float r = std::hypot(x - 128.0f, y - 128.0f) / 181.0f;
            Colour c = mix(rgb(0x5A3418), rgb(0x1A0C04), r);
            image.at(x, y) = toRgba(scaled(c, 0.8f + 0.4f * n));
        }
    return image;
}

// A soft white streak on black for bolts and additive borders: beams map u
// across and v along, so the glow runs the texture's full height and fades
// only near its ends.
Image flare() {
    Image image(128, 128, Rgba{0, 0, 0, 255});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float u = (x + 0.5f) / 128.0f - 0.5f, v = (y + 0.5f) / 128.0f - 0.5f;
            const float ends = 1.0f - smoothstep(0.3f, 0.5f, std::fabs(v));
            const float body = std::exp(-u * u * 28.0f) * (0.55f + 0.45f * ends);
            const float core = std::exp(-u * u * 220.0f) * (0.4f + 0.6f * ends);
            image.at(x, y) = toRgba({body * 0.7f + core, body * 0.8f + core, body + core, 1});
        }
    return image;
}

// The text highlight: a warm horizontal glow bar, black at its ends.
Image highlight() {
    Image image(256, 64, Rgba{0, 0, 0, 255});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) {
            const float u = (x + 0.5f - 128) / 128.0f, v = (y + 0.5f - 32) / 32.0f;
            const float k = (1 - smoothstep(0.6f, 1.0f, std::fabs(u))) * std::exp(-v * v * 3.0f);
            image.at(x, y) = toRgba({k * 1.0f, k * 0.7f, k * 0.3f, 1});
        }
    return image;
}

// The menu button: a pill whose halves are its end caps and whose centre
// column stretches.
Image button() {
    Image image(128, 64);
    const Vec2 c{64, 32};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            const Vec2 p{x + 0.5f, y + 0.5f};
            const float d = sdRoundBox(p, c, 62, 26, 26);
            const float cov = coverage(d);
            if (cov <= 0)
                continue;
            const float e = -d;
            const float rim = 1 - smoothstep(2.5f, 4.5f, e);
            const float v = (y - 6.0f) / 52.0f;
            Colour body = mix(rgb(0xA83820), rgb(0x501008), v);
            body = added(body, Colour{1, 0.8f, 0.6f, 1},
                         0.25f * std::exp(-std::pow((v - 0.15f) * 6, 2.0f)));
            Colour col = mix(body, mix(kGoldLight, kGoldDark, v), rim);
            col = scaled(col, 0.6f + 0.4f * smoothstep(0, 1.5f, e));
            blendPixel(image, x, y, col, cov);
        }
    return image;
}

// The tip balloon: parchment with a gilded rim, corners 32 texels round so it
// can be stretched or cut into nine slices; the tail is drawn by the game.
Image balloon() {
    Image image(128, 128);
    const Vec2 c{64, 64};
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const Vec2 p{x + 0.5f, y + 0.5f};
            const float d = sdRoundBox(p, c, 62, 62, 28);
            const float cov = coverage(d);
            if (cov <= 0)
                continue;
            const float e = -d;
            const float n = fractalNoise(x * 0.05f, y * 0.05f, 3, 81);
            Colour body = scaled(rgb(0xF6E6BC), 0.9f + 0.15f * n);
            const float rim = 1 - smoothstep(2.5f, 4.5f, e);
            Colour col = mix(body, kGold, rim);
            col = scaled(col, 0.55f + 0.45f * smoothstep(0, 1.2f, e));
            col.a = 0.96f;
            blendPixel(image, x, y, col, cov);
        }
    return image;
}

}  // namespace

void forgeGui(ForgeOutput& out) {
    addTga(out, "menutex.tga", atlas());
    addTga(out, "button.tga", button());
    addTga(out, "baloon.tga", balloon());
    addJpeg(out, "white.jpg", panelFill());
    addJpeg(out, "winfill.jpg", windowFill());
    addJpeg(out, "flare.jpg", flare());
    addJpeg(out, "podsvet.jpg", highlight());
}

}  // namespace corsavel::forge
