// The 17 turning treasures: each a handful of shaded parts placed in 3D around
// a vertical axis, rendered at 32 turning angles into an 8 x 4 sprite sheet.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "forge/art.h"
#include "forge/raster.h"

namespace corsavel::forge {
namespace {

constexpr float kPi = 3.14159265f;

enum class Shape { Ellipse, RoundBox, Polygon, Capsule, Ring };
enum class Material { Metal, Gem, Pearl, Cloth, Enamel };

// One piece of a treasure. Positions are in object units (the cell spans -1..1,
// y up); (x, z) turn with the object. A flat part is a plate facing +z that
// turns with the object; a round part is a solid of revolution seen from the side.
struct Part {
    Shape shape = Shape::Ellipse;
    float x = 0, y = 0, z = 0;
    float rx = 0.5f, ry = 0.5f;  // radii or half sizes
    float corner = 0.0f;         // box corner, ring half thickness, capsule radius
    std::vector<Vec2> polygon;   // local points for Shape::Polygon
    Vec2 a, b;                   // local ends for Shape::Capsule
    bool flat = false;
    float yaw = 0.0f;  // extra facing angle of a flat part
    Material material = Material::Metal;
    Colour colour;
    float bulge = 0.2f;  // depth of the rounded edge, object units
};

struct View {
    float turn = 0.0f;       // yaw of the object, radians
    float elevation = 0.0f;  // camera looking down, radians
};

float partSdf(const Part& part, Vec2 q) {
    switch (part.shape) {
        case Shape::Ellipse:
            return sdEllipse(q, {0, 0}, part.rx, part.ry);
        case Shape::RoundBox:
            return sdRoundBox(q, {0, 0}, part.rx, part.ry, part.corner);
        case Shape::Polygon:
            return sdPolygon(q, part.polygon);
        case Shape::Capsule:
            return sdSegment(q, part.a, part.b, part.corner);
        case Shape::Ring:
            return std::fabs(sdEllipse(q, {0, 0}, part.rx, part.ry)) - part.corner;
    }
    return 1e9f;
}

float partExtent(const Part& part) {
    switch (part.shape) {
        case Shape::Polygon: {
            float e = 0;
            for (const Vec2& p : part.polygon)
                e = std::max(e, std::hypot(p.x, p.y));
            return e;
        }
        case Shape::Capsule:
            return std::max(std::hypot(part.a.x, part.a.y), std::hypot(part.b.x, part.b.y)) +
                   part.corner;
        default:
            return std::max(part.rx, part.ry) + part.corner;
    }
}

struct Vec3 {
    float x, y, z;
};

Vec3 normalise(Vec3 v) {
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0 ? Vec3{v.x / l, v.y / l, v.z / l} : Vec3{0, 0, 1};
}

float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

const Vec3 kLight = normalise({-0.45f, 0.65f, 0.62f});
const Vec3 kHalf = normalise({kLight.x, kLight.y, kLight.z + 1.0f});

// Lights one surface point; u is a coordinate around the turning axis that
// moves with the object, so patterns on round parts visibly turn.
Colour shade(const Part& part, Vec3 n, float u, float v, float edgeK) {
    const float diff = std::max(0.0f, dot(n, kLight));
    const float nh = std::max(0.0f, dot(n, kHalf));
    const Colour white{1, 1, 1, 1};
    Colour c = part.colour;
    switch (part.material) {
        case Material::Metal: {
            const float ry = 2 * n.z * n.y;  // reflected ray's height: sky above, ground below
            const float env = smoothstep(-0.2f, 0.8f, ry);
            c = scaled(part.colour, 0.22f + 0.55f * diff + 0.5f * env);
            c = added(c, white, std::pow(nh, 28.0f) * 0.9f + std::pow(nh, 6.0f) * 0.12f);
            break;
        }
        case Material::Gem: {
            const float angle = std::atan2(n.y, n.x) + u * 2.0f;
            const int sector = static_cast<int>(std::floor(angle / (kPi / 4) + 16.0f));
            const float facet = 0.55f + 0.45f * hashNoise(sector, 7, 99);
            c = scaled(part.colour, 0.3f + 0.75f * diff * facet + 0.35f * (1.0f - edgeK));
            c = added(c, white, std::pow(nh, 40.0f) * 1.2f + 0.25f * facet * facet * edgeK);
            break;
        }
        case Material::Pearl: {
            const float iris = 0.5f + 0.5f * std::sin(u * 3.0f + n.y * 2.0f);
            c = scaled(part.colour, 0.42f + 0.62f * diff);
            c = added(c, Colour{0.25f, 0.05f, 0.15f, 1}, iris * 0.25f);
            c = added(c, Colour{0.0f, 0.12f, 0.1f, 1}, (1.0f - iris) * 0.2f);
            c = added(c, white, std::pow(nh, 14.0f) * 0.7f);
            break;
        }
        case Material::Cloth: {
            const float weave = fractalNoise(u * 6.0f, v * 9.0f, 3, 5);
            c = scaled(part.colour, (0.35f + 0.75f * diff) * (0.75f + 0.5f * weave));
            break;
        }
        case Material::Enamel: {
            c = scaled(part.colour, 0.3f + 0.8f * diff);
            c = added(c, white, std::pow(nh, 30.0f) * 0.55f);
            break;
        }
    }
    c.a = part.colour.a;
    return c;
}

struct Placed {
    const Part* part;
    float sx, sy;  // screen centre, object units
    float depth;
    float facing;  // turning angle of a flat part
};

// Renders the parts at the given view into a cell of kFigureCell pixels.
Image renderParts(const std::vector<Part>& parts, const View& view) {
    const int n = kFigureCell;
    const float scale = n / 2.0f;  // pixels per object unit
    Image image(n, n);
    const float c = std::cos(view.turn), s = std::sin(view.turn);
    const float ce = std::cos(view.elevation), se = std::sin(view.elevation);
    std::vector<Placed> placed;
    for (const Part& part : parts) {
        const float sx = part.x * c + part.z * s;
        // A flat plate shows its decorated front on both sides, so its layers
        // keep their order when the back turns towards the viewer.
        const float d = part.flat ? -part.x * s + part.z * std::fabs(std::cos(view.turn + part.yaw))
                                  : -part.x * s + part.z * c;
        placed.push_back(
            {&part, sx, part.y * ce - d * se, d * ce + part.y * se, view.turn + part.yaw});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.depth < b.depth; });
    const float h = 0.5f / scale;
    for (const Placed& pl : placed) {
        const Part& part = *pl.part;
        float squash = 1.0f;
        bool back = false;
        float facing = pl.facing;
        if (part.flat) {
            const float f = std::cos(facing);
            squash = std::max(std::fabs(f), 0.07f);
            back = f < 0.0f;
            if (back)
                facing += kPi;
        }
        const float cf = std::cos(facing), sf = std::sin(facing);
        const float extent = partExtent(part) + 0.05f;
        const int x0 = std::max(0, static_cast<int>((pl.sx - extent + 1.0f) * scale) - 1);
        const int x1 = std::min(n - 1, static_cast<int>((pl.sx + extent + 1.0f) * scale) + 1);
        const int y0 = std::max(0, static_cast<int>((1.0f - pl.sy - extent) * scale) - 1);
        const int y1 = std::min(n - 1, static_cast<int>((1.0f - pl.sy + extent) * scale) + 1);
        for (int py = y0; py <= y1; ++py) {
            for (int px = x0; px <= x1; ++px) {
                const float ox = (px + 0.5f) / scale - 1.0f - pl.sx;
                const float oy = 1.0f - (py + 0.5f) / scale - pl.sy;
                float qx = ox / squash;
                if (back)
                    qx = -qx;
                const Vec2 q{qx, oy};
                const float d0 = partSdf(part, q);
                if (d0 > 2.0f / scale / squash)
                    continue;
                const float dxl = partSdf(part, {qx + h, oy}) - d0;
                const float dyl = partSdf(part, {qx, oy + h}) - d0;
                // Screen-space gradient gives the anti-aliasing width under squash.
                const float gxs = dxl / (h * squash), gys = dyl / h;
                const float gs = std::max(1e-4f, std::hypot(gxs, gys));
                const float dPx = d0 / gs * scale;
                const float cov = coverage(dPx);
                if (cov <= 0.0f)
                    continue;
                const float gl = std::max(1e-6f, std::hypot(dxl, dyl));
                Vec3 nl{dxl / gl, dyl / gl, 0};
                const float t = clamp01(-d0 / part.bulge);
                const float k = (1.0f - t) * (1.0f - t * 0.3f);
                nl = normalise({nl.x * k, nl.y * k, std::sqrt(std::max(0.0f, 1.0f - k * k))});
                if (back)
                    nl.x = -nl.x;
                Vec3 nv = nl;
                float u = 0.0f;
                if (part.flat) {
                    nv = normalise({nl.x * cf + nl.z * sf, nl.y, -nl.x * sf + nl.z * cf});
                    u = qx * 0.5f;
                } else {
                    const float w = std::max(0.05f, partExtent(part));
                    u = std::asin(std::clamp(ox / w, -1.0f, 1.0f)) + view.turn;
                }
                Colour col = shade(part, nv, u, oy, k);
                // A dark rim keeps every treasure readable on any tile.
                col = scaled(col, 0.5f + 0.5f * smoothstep(0.0f, 1.8f, -dPx));
                blendPixel(image, px, py, col, cov);
            }
        }
    }
    return image;
}

// Adds a soft dark halo behind the treasure so it separates from the tiles.
Image withHalo(const Image& figure) {
    Image halo = figure;
    for (Rgba& p : halo.pixels())
        p = {10, 6, 2, static_cast<uint8_t>(p.a * 0.55f)};
    blur(halo, 1, 2);
    Image out(figure.width(), figure.height());
    out.blit(halo, 1, 2);
    out.blit(figure, 0, 0);
    return out;
}

Part ellipse(float x, float y, float z, float rx, float ry, Material m, uint32_t hex,
             float bulge = 0.2f) {
    Part p;
    p.shape = Shape::Ellipse;
    p.x = x, p.y = y, p.z = z, p.rx = rx, p.ry = ry;
    p.material = m;
    p.colour = rgb(hex);
    p.bulge = bulge;
    return p;
}

Part box(float x, float y, float z, float hw, float hh, float corner, Material m, uint32_t hex,
         float bulge = 0.1f) {
    Part p = ellipse(x, y, z, hw, hh, m, hex, bulge);
    p.shape = Shape::RoundBox;
    p.corner = corner;
    return p;
}

Part ring(float x, float y, float z, float rx, float ry, float half, Material m, uint32_t hex) {
    Part p = ellipse(x, y, z, rx, ry, m, hex, half);
    p.shape = Shape::Ring;
    p.corner = half;
    return p;
}

Part capsule(float x, float y, float z, Vec2 a, Vec2 b, float r, Material m, uint32_t hex) {
    Part p = ellipse(x, y, z, 0, 0, m, hex, r);
    p.shape = Shape::Capsule;
    p.a = a, p.b = b, p.corner = r;
    return p;
}

Part polygon(float x, float y, float z, std::vector<Vec2> points, Material m, uint32_t hex,
             float bulge = 0.2f) {
    Part p = ellipse(x, y, z, 0, 0, m, hex, bulge);
    p.shape = Shape::Polygon;
    p.polygon = std::move(points);
    return p;
}

Part flat(Part p, float yaw = 0.0f) {
    p.flat = true;
    p.yaw = yaw;
    return p;
}

std::vector<Vec2> starPoints(int points, float outer, float inner, float rot) {
    std::vector<Vec2> v;
    for (int i = 0; i < points * 2; ++i) {
        const float a = rot + i * kPi / points;
        const float r = (i % 2 == 0) ? outer : inner;
        v.push_back({r * std::sin(a), r * std::cos(a)});
    }
    return v;
}

std::vector<Vec2> heartPoints(float size) {
    std::vector<Vec2> v;
    for (int i = 0; i < 48; ++i) {
        const float t = i * 2 * kPi / 48;
        const float x = 16 * std::pow(std::sin(t), 3.0f);
        const float y =
            13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        v.push_back({x / 17.0f * size, (y + 2.0f) / 17.0f * size});
    }
    return v;
}

// Rings of round beads or gems on a horizontal circle around the axis.
void addOrbit(std::vector<Part>& parts, int count, float radius, float y, float size, Material m,
              uint32_t hex, float phase = 0.0f) {
    for (int i = 0; i < count; ++i) {
        const float a = phase + i * 2 * kPi / count;
        parts.push_back(
            ellipse(radius * std::sin(a), y, radius * std::cos(a), size, size, m, hex, size));
    }
}

using Builder = std::function<std::vector<Part>(float turn, View& view)>;

std::vector<Part> coins(float, View&) {
    std::vector<Part> p;
    const float offs[4] = {0.04f, -0.05f, 0.03f, -0.02f};
    for (int i = 0; i < 4; ++i) {
        const float y = -0.66f + i * 0.13f;
        const float a = i * 1.7f;
        p.push_back(box(offs[i] * std::sin(a), y - 0.05f, offs[i] * std::cos(a) - 0.3f + i * 0.01f,
                        0.58f, 0.08f, 0.07f, Material::Metal, 0xB88A1C, 0.06f));
        p.push_back(ellipse(offs[i] * std::sin(a), y + 0.02f,
                            offs[i] * std::cos(a) - 0.295f + i * 0.01f, 0.58f, 0.15f,
                            Material::Metal, 0xF2C230, 0.08f));
    }
    p.push_back(flat(ellipse(0, 0.22f, 0, 0.5f, 0.5f, Material::Metal, 0xF4C838, 0.1f)));
    p.push_back(flat(ring(0, 0.22f, 0.01f, 0.37f, 0.37f, 0.035f, Material::Metal, 0xFFE070)));
    Part star = flat(
        polygon(0, 0.22f, 0.02f, starPoints(5, 0.24f, 0.1f, 0), Material::Metal, 0xE0A020, 0.06f));
    p.push_back(star);
    return p;
}

std::vector<Part> nugget(float turn, View&) {
    std::vector<Part> p;
    std::vector<Vec2> blob;
    for (int i = 0; i < 40; ++i) {
        const float a = i * 2 * kPi / 40;
        const float r = 0.62f + 0.08f * std::sin(3 * a + 1.0f + turn) +
                        0.06f * std::sin(5 * a - 2 * turn) + 0.04f * std::sin(7 * a + 3 * turn);
        blob.push_back({r * std::cos(a) * 1.08f, r * std::sin(a) * 0.86f});
    }
    p.push_back(polygon(0, -0.05f, 0, blob, Material::Metal, 0xE07A28, 0.45f));
    addOrbit(p, 3, 0.42f, -0.05f, 0.16f, Material::Metal, 0xF09A40, 0.7f);
    return p;
}

std::vector<Part> perl(float, View&) {
    std::vector<Part> p;
    p.push_back(polygon(0, -0.58f, -0.2f,
                        {{-0.5f, 0.05f},
                         {-0.35f, -0.15f},
                         {0.35f, -0.15f},
                         {0.5f, 0.05f},
                         {0.2f, -0.02f},
                         {0, 0.02f},
                         {-0.2f, -0.02f}},
                        Material::Metal, 0xD8B040, 0.08f));
    p.push_back(ellipse(0, -0.02f, 0, 0.56f, 0.56f, Material::Pearl, 0xF4ECDC, 0.56f));
    return p;
}

std::vector<Part> perls(float, View& view) {
    view.elevation = 0.55f;
    std::vector<Part> p;
    for (int i = 0; i < 12; ++i) {
        const float a = i * 2 * kPi / 12;
        const float r = 0.6f;
        p.push_back(ellipse(r * std::sin(a), 0.22f, r * std::cos(a), 0.15f, 0.15f, Material::Pearl,
                            0xF4A8C8, 0.15f));
    }
    p.push_back(ellipse(0, -0.36f, 0.62f, 0.21f, 0.21f, Material::Pearl, 0xF8B8D4, 0.21f));
    p.push_back(ellipse(0, -0.11f, 0.62f, 0.07f, 0.07f, Material::Metal, 0xE0B040, 0.07f));
    return p;
}

std::vector<Part> rings2(float, View&) {
    std::vector<Part> p;
    p.push_back(
        flat(ring(-0.25f, 0.08f, 0.05f, 0.46f, 0.46f, 0.09f, Material::Metal, 0xC8CCD8), 0.0f));
    p.push_back(
        flat(ring(0.25f, -0.12f, -0.05f, 0.46f, 0.46f, 0.09f, Material::Metal, 0xB8C0D0), 0.9f));
    return p;
}

std::vector<Part> rings3(float, View&) {
    std::vector<Part> p;
    const float pos[3][2] = {{-0.38f, -0.3f}, {0.38f, -0.3f}, {0.0f, 0.22f}};
    for (int i = 0; i < 3; ++i) {
        const float yaw = (i - 1) * 0.75f;
        p.push_back(flat(
            ring(pos[i][0], pos[i][1], 0.02f * i, 0.27f, 0.27f, 0.07f, Material::Metal, 0x28B060),
            yaw));
        p.push_back(ellipse(pos[i][0], pos[i][1] + 0.36f, 0.02f * i + 0.03f, 0.11f, 0.11f,
                            Material::Gem, 0x60F090, 0.11f));
    }
    return p;
}

std::vector<Part> sack(float, View&) {
    std::vector<Part> p;
    p.push_back(polygon(0, 0, 0,
                        {{-0.62f, -0.45f},
                         {-0.5f, -0.7f},
                         {0.5f, -0.7f},
                         {0.64f, -0.42f},
                         {0.6f, -0.05f},
                         {0.32f, 0.3f},
                         {0.2f, 0.42f},
                         {0.42f, 0.7f},
                         {0.12f, 0.6f},
                         {0, 0.74f},
                         {-0.14f, 0.6f},
                         {-0.44f, 0.7f},
                         {-0.22f, 0.42f},
                         {-0.34f, 0.3f},
                         {-0.6f, -0.02f}},
                        Material::Cloth, 0x9A6434, 0.4f));
    p.push_back(
        capsule(0, 0.38f, 0.12f, {-0.24f, 0}, {0.24f, 0.02f}, 0.07f, Material::Metal, 0xD0A040));
    p.push_back(flat(ellipse(0, -0.22f, 0.45f, 0.26f, 0.26f, Material::Metal, 0xF0C030, 0.06f)));
    p.push_back(flat(polygon(0, -0.22f, 0.47f, starPoints(4, 0.17f, 0.06f, 0), Material::Metal,
                             0xC08818, 0.04f)));
    return p;
}

std::vector<Part> scepter(float, View&) {
    std::vector<Part> p;
    p.push_back(capsule(0, 0, 0, {0, -0.86f}, {0, 0.3f}, 0.1f, Material::Enamel, 0x7A30B8));
    for (float y : {-0.6f, -0.25f, 0.12f})
        p.push_back(box(0, y, 0.01f, 0.14f, 0.04f, 0.03f, Material::Metal, 0xE0B040, 0.04f));
    p.push_back(polygon(0, 0.34f, 0.02f,
                        {{-0.25f, 0.1f}, {0.25f, 0.1f}, {0.08f, -0.1f}, {-0.08f, -0.1f}},
                        Material::Metal, 0xE0B040, 0.08f));
    p.push_back(ellipse(0, 0.56f, 0.03f, 0.3f, 0.3f, Material::Gem, 0xA040F0, 0.25f));
    p.push_back(flat(box(0, 0.87f, 0.03f, 0.035f, 0.1f, 0.02f, Material::Metal, 0xF0C040, 0.03f)));
    p.push_back(flat(box(0, 0.88f, 0.04f, 0.09f, 0.03f, 0.02f, Material::Metal, 0xF0C040, 0.03f)));
    return p;
}

std::vector<Part> bracelet(float, View& view) {
    view.elevation = 0.5f;
    std::vector<Part> p;
    const float r = 0.62f;
    for (int i = 0; i < 16; ++i) {
        const float a = i * 2 * kPi / 16;
        p.push_back(box(r * std::sin(a), 0, r * std::cos(a), 0.16f, 0.2f, 0.08f, Material::Metal,
                        0x2C64D8, 0.12f));
    }
    for (int i = 0; i < 6; ++i) {
        const float a = 0.3f + i * 2 * kPi / 6;
        p.push_back(ellipse((r + 0.05f) * std::sin(a), 0, (r + 0.05f) * std::cos(a), 0.1f, 0.1f,
                            Material::Gem, 0x90D0FF, 0.1f));
    }
    return p;
}

std::vector<Part> brooch(float, View&) {
    std::vector<Part> p;
    p.push_back(flat(
        polygon(0, 0, 0, starPoints(8, 0.72f, 0.58f, 0.2f), Material::Metal, 0xD8A838, 0.12f)));
    p.push_back(flat(ellipse(0, 0, 0.02f, 0.42f, 0.5f, Material::Gem, 0xD81C2C, 0.35f)));
    for (int i = 0; i < 8; ++i) {
        const float a = 0.2f + i * kPi / 4;
        p.push_back(flat(ellipse(0.6f * std::sin(a), 0.6f * std::cos(a), 0.015f, 0.06f, 0.06f,
                                 Material::Metal, 0xFFE890, 0.06f)));
    }
    return p;
}

std::vector<Part> crown(float turn, View&) {
    std::vector<Part> p;
    const int spikes = 7;
    const float r = 0.62f;
    std::vector<Vec2> outline;
    outline.push_back({-r, -0.62f});
    outline.push_back({r, -0.62f});
    for (int i = 0; i <= 48; ++i) {
        const float x = r - i * 2 * r / 48;
        float top = -0.1f;
        for (int k = 0; k < spikes; ++k) {
            const float a = turn + k * 2 * kPi / spikes;
            if (std::cos(a) < -0.1f)
                continue;
            const float sx = r * std::sin(a);
            const float w = 0.2f * std::max(0.6f, std::cos(a));
            top = std::max(top, 0.52f - 0.62f * std::fabs(x - sx) / w * 0.6f);
        }
        outline.push_back({x, top});
    }
    p.push_back(polygon(0, 0, 0, outline, Material::Metal, 0x26B4BE, 0.18f));
    p.push_back(box(0, -0.48f, 0.02f, r + 0.03f, 0.13f, 0.05f, Material::Metal, 0x2AC8D0, 0.08f));
    // Pearls crown the spikes that face the viewer; the others are hidden behind.
    for (int k = 0; k < spikes; ++k) {
        const float phi = k * 2 * kPi / spikes;
        if (std::cos(turn + phi) < -0.1f)
            continue;
        p.push_back(ellipse(r * std::sin(phi), 0.56f, r * std::cos(phi), 0.075f, 0.075f,
                            Material::Pearl, 0xF8F4E8, 0.075f));
    }
    addOrbit(p, 5, r * 1.02f, -0.48f, 0.08f, Material::Gem, 0xF04060, 0.4f);
    return p;
}

std::vector<Part> dagger(float, View&) {
    std::vector<Part> p;
    p.push_back(flat(polygon(
        0, 0, 0, {{0, 0.9f}, {0.15f, 0.62f}, {0.14f, -0.02f}, {-0.14f, -0.02f}, {-0.15f, 0.62f}},
        Material::Metal, 0x7C8898, 0.12f)));
    p.push_back(flat(box(0, -0.08f, 0.02f, 0.46f, 0.08f, 0.06f, Material::Metal, 0xC89830, 0.06f)));
    p.push_back(flat(ellipse(0, -0.08f, 0.04f, 0.08f, 0.08f, Material::Gem, 0xE02040, 0.08f)));
    p.push_back(capsule(0, -0.38f, 0, {0, -0.22f}, {0, 0.2f}, 0.1f, Material::Cloth, 0x5A2418));
    p.push_back(ellipse(0, -0.72f, 0, 0.15f, 0.15f, Material::Metal, 0xC89830, 0.12f));
    return p;
}

std::vector<Part> goblet(float, View&) {
    std::vector<Part> p;
    p.push_back(ellipse(0, -0.72f, -0.1f, 0.42f, 0.11f, Material::Metal, 0x98B028, 0.1f));
    p.push_back(capsule(0, -0.4f, 0, {0, -0.3f}, {0, 0.15f}, 0.07f, Material::Metal, 0x98B028));
    p.push_back(ellipse(0, -0.35f, 0.02f, 0.13f, 0.09f, Material::Metal, 0xB8D040, 0.09f));
    std::vector<Vec2> bowl;
    for (int i = 0; i <= 20; ++i) {
        const float a = kPi * i / 20;
        bowl.push_back({0.55f * std::cos(a), -0.5f * std::sin(a) + 0.2f});
    }
    std::reverse(bowl.begin(), bowl.end());
    bowl.push_back({0.6f, 0.45f});
    bowl.push_back({-0.6f, 0.45f});
    p.push_back(polygon(0, 0.05f, 0.05f, bowl, Material::Metal, 0xA8C830, 0.28f));
    p.push_back(ellipse(0, 0.5f, 0.03f, 0.6f, 0.09f, Material::Metal, 0x6C8818, 0.06f));
    addOrbit(p, 5, 0.5f, 0.22f, 0.08f, Material::Gem, 0xF08020, 0.3f);
    return p;
}

std::vector<Part> locket(float, View&) {
    std::vector<Part> p;
    p.push_back(flat(ring(0, 0.66f, -0.01f, 0.14f, 0.14f, 0.04f, Material::Metal, 0xE0B040)));
    p.push_back(flat(polygon(0, -0.12f, 0, heartPoints(0.86f), Material::Metal, 0xE0B040, 0.1f)));
    p.push_back(
        flat(polygon(0, -0.1f, 0.02f, heartPoints(0.7f), Material::Enamel, 0xD0288C, 0.3f)));
    p.push_back(flat(ellipse(0, 0.0f, 0.04f, 0.09f, 0.09f, Material::Gem, 0xFFF0FA, 0.09f)));
    return p;
}

std::vector<Part> pot(float, View&) {
    std::vector<Part> p;
    p.push_back(
        flat(ring(-0.56f, -0.05f, 0, 0.14f, 0.2f, 0.05f, Material::Metal, 0xD8A838), kPi / 2));
    p.push_back(
        flat(ring(0.56f, -0.05f, 0, 0.14f, 0.2f, 0.05f, Material::Metal, 0xD8A838), kPi / 2));
    p.push_back(ellipse(0, -0.22f, 0.0f, 0.56f, 0.5f, Material::Enamel, 0x2A40A0, 0.5f));
    p.push_back(box(0, 0.35f, 0.01f, 0.26f, 0.14f, 0.06f, Material::Enamel, 0x2A40A0, 0.2f));
    p.push_back(ellipse(0, 0.5f, 0.02f, 0.36f, 0.08f, Material::Metal, 0xD8A838, 0.06f));
    addOrbit(p, 8, 0.52f, -0.18f, 0.065f, Material::Metal, 0xF0C850, 0.0f);
    return p;
}

std::vector<Part> rings1(float, View&) {
    std::vector<Part> p;
    p.push_back(flat(ring(0, -0.18f, 0, 0.48f, 0.48f, 0.1f, Material::Metal, 0xB8A4E8)));
    p.push_back(polygon(0, 0.33f, 0.01f,
                        {{-0.2f, -0.06f}, {0.2f, -0.06f}, {0.1f, 0.08f}, {-0.1f, 0.08f}},
                        Material::Metal, 0xD0C0F0, 0.05f));
    p.push_back(ellipse(0, 0.5f, 0.02f, 0.26f, 0.22f, Material::Gem, 0xB070FF, 0.22f));
    return p;
}

std::vector<Part> diamond(float turn, View&) {
    std::vector<Part> p;
    p.push_back(polygon(
        0, 0, 0, {{-0.32f, 0.45f}, {0.32f, 0.45f}, {0.76f, 0.12f}, {0, -0.78f}, {-0.76f, 0.12f}},
        Material::Gem, 0xA8E4FF, 0.5f));
    // Facet edges turning with the stone.
    for (int k = 0; k < 8; ++k) {
        const float a = turn + k * 2 * kPi / 8;
        if (std::cos(a) < 0.1f)
            continue;
        const float sx = std::sin(a);
        p.push_back(capsule(0, 0, 0.1f + 0.01f * k, {sx * 0.32f, 0.43f}, {sx * 0.74f, 0.12f},
                            0.012f, Material::Gem, 0xE8FAFF));
        p.push_back(capsule(0, 0, 0.1f + 0.01f * k, {sx * 0.74f, 0.12f}, {0, -0.74f}, 0.012f,
                            Material::Gem, 0xE0F6FF));
    }
    p.push_back(
        capsule(0, 0, 0.2f, {-0.74f, 0.12f}, {0.74f, 0.12f}, 0.014f, Material::Gem, 0xF0FCFF));
    return p;
}

const Builder kBuilders[kFigureKindCount] = {coins,  nugget,  perl,     perls,  rings2, rings3,
                                         sack,   scepter, bracelet, brooch, crown,  dagger,
                                         goblet, locket,  pot,      rings1, diamond};

}  // namespace

std::string figureSheetName(int kind) {
    return std::string("figures\\") + figureKindName(kind) + ".tga";
}

Image renderFigureFrame(int kind, int frame) {
    if (kind < 0 || kind >= kFigureKindCount)
        return Image(kFigureCell, kFigureCell);
    // A gentle tilt keeps frame 0 from showing flat plates edge-on.
    const float turn = frame * 2 * kPi / kFigureFrames + 0.35f;
    View view;
    view.turn = turn;
    std::vector<Part> parts = kBuilders[kind](turn, view);
    return withHalo(renderParts(parts, view));
}

void forgeFigures(ForgeOutput& out) {
    for (int kind = 0; kind < kFigureKindCount; ++kind) {
        Image sheet(kFigureCell * 8, kFigureCell * 4);
        for (int f = 0; f < kFigureFrames; ++f)
            sheet.paste(renderFigureFrame(kind, f), (f % 8) * kFigureCell, (f / 8) * kFigureCell);
        addTga(out, figureSheetName(kind), sheet);
    }
}

}  // namespace corsavel::forge
