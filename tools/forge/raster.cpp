#include "forge/raster.h"

#include <algorithm>
#include <cmath>

namespace corsavel::forge {

Colour rgb(uint32_t hex, float alpha) {
    return {((hex >> 16) & 0xFF) / 255.0f, ((hex >> 8) & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f,
            alpha};
}

Colour mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Colour scaled(const Colour& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

Colour added(const Colour& c, const Colour& d, float k) {
    return {c.r + d.r * k, c.g + d.g * k, c.b + d.b * k, c.a};
}

float clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

Rgba toRgba(const Colour& c) {
    auto q = [](float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); };
    return {q(c.r), q(c.g), q(c.b), q(c.a)};
}

Colour toColour(Rgba p) {
    return {p.r / 255.0f, p.g / 255.0f, p.b / 255.0f, p.a / 255.0f};
}

void blendPixel(Image& image, int x, int y, const Colour& c, float cov) {
    if (!image.contains(x, y))
        return;
    const float sa = clamp01(c.a * cov);
    if (sa <= 0.0f)
        return;
    Colour d = toColour(image.at(x, y));
    const float oa = sa + d.a * (1.0f - sa);
    Colour o;
    o.r = (c.r * sa + d.r * d.a * (1.0f - sa)) / oa;
    o.g = (c.g * sa + d.g * d.a * (1.0f - sa)) / oa;
    o.b = (c.b * sa + d.b * d.a * (1.0f - sa)) / oa;
    o.a = oa;
    image.at(x, y) = toRgba(o);
}

void addPixel(Image& image, int x, int y, const Colour& c, float cov) {
    if (!image.contains(x, y))
        return;
    const float k = clamp01(cov) * c.a;
    if (k <= 0.0f)
        return;
    Colour d = toColour(image.at(x, y));
    // Premultiply, add, then un-premultiply so that glows on transparency keep
    // their colour and gain alpha from their brightness.
    float pr = d.r * d.a + c.r * k, pg = d.g * d.a + c.g * k, pb = d.b * d.a + c.b * k;
    float pa = std::min(1.0f, d.a + k * std::max({c.r, c.g, c.b}));
    if (pa > 0.0f) {
        const float peak = std::max({pr, pg, pb});
        if (peak > pa)
            pa = std::min(1.0f, peak);
        d = {std::min(1.0f, pr / pa), std::min(1.0f, pg / pa), std::min(1.0f, pb / pa), pa};
    }
    image.at(x, y) = toRgba(d);
}

float sdCircle(Vec2 p, Vec2 centre, float radius) {
    return std::hypot(p.x - centre.x, p.y - centre.y) - radius;
}

float sdEllipse(Vec2 p, Vec2 c, float rx, float ry) {
    // Scaled-circle approximation, corrected by the gradient length so edges stay
    // one pixel soft on elongated ellipses.
    const float dx = (p.x - c.x) / rx, dy = (p.y - c.y) / ry;
    const float k0 = std::sqrt(dx * dx + dy * dy);
    if (k0 < 1e-6f)
        return -std::min(rx, ry);
    const float k1 = std::sqrt(dx * dx / (rx * rx) + dy * dy / (ry * ry));
    return k0 * (k0 - 1.0f) / k1;
}

float sdRoundBox(Vec2 p, Vec2 c, float hw, float hh, float corner) {
    const float qx = std::fabs(p.x - c.x) - hw + corner;
    const float qy = std::fabs(p.y - c.y) - hh + corner;
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - corner;
}

float sdSegment(Vec2 p, Vec2 a, Vec2 b, float radius) {
    const float px = p.x - a.x, py = p.y - a.y, bx = b.x - a.x, by = b.y - a.y;
    const float len2 = bx * bx + by * by;
    const float h = len2 > 0 ? clamp01((px * bx + py * by) / len2) : 0.0f;
    return std::hypot(px - bx * h, py - by * h) - radius;
}

float sdPolygon(Vec2 p, const std::vector<Vec2>& v) {
    if (v.size() < 3)
        return 1e9f;
    float d = (p.x - v[0].x) * (p.x - v[0].x) + (p.y - v[0].y) * (p.y - v[0].y);
    float s = 1.0f;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        const float wx = p.x - v[i].x, wy = p.y - v[i].y;
        const float len2 = ex * ex + ey * ey;
        const float h = len2 > 0 ? clamp01((wx * ex + wy * ey) / len2) : 0.0f;
        const float bx = wx - ex * h, by = wy - ey * h;
        d = std::min(d, bx * bx + by * by);
        const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = ex * wy> ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
            s = -s;
    }
    return s * std::sqrt(d);
}

namespace {

template <typename Sdf>
void fillShape(Image& image, float x0, float y0, float x1, float y1, const Colour& c, Sdf sdf) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(image.width() - 1, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(image.height() - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            const float cov = coverage(sdf(Vec2{x + 0.5f, y + 0.5f}));
            if (cov > 0.0f)
                blendPixel(image, x, y, c, cov);
        }
}

}  // namespace

void fillCircle(Image& image, float cx, float cy, float r, const Colour& c) {
    fillShape(image, cx - r, cy - r, cx + r, cy + r, c, [&](Vec2 p) {
        return sdCircle(p, {cx, cy}, r);
    });
}

void fillEllipse(Image& image, float cx, float cy, float rx, float ry, const Colour& c) {
    fillShape(image, cx - rx, cy - ry, cx + rx, cy + ry, c, [&](Vec2 p) {
        return sdEllipse(p, {cx, cy}, rx, ry);
    });
}

void fillRoundBox(Image& image, float x0, float y0, float x1, float y1, float corner,
                  const Colour& c) {
    const Vec2 centre{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f};
    fillShape(image, x0, y0, x1, y1, c, [&](Vec2 p) {
        return sdRoundBox(p, centre, (x1 - x0) * 0.5f, (y1 - y0) * 0.5f, corner);
    });
}

void fillPolygon(Image& image, const std::vector<Vec2>& points, const Colour& c) {
    if (points.empty())
        return;
    float x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const Vec2& p : points) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    fillShape(image, x0, y0, x1, y1, c, [&](Vec2 p) { return sdPolygon(p, points); });
}

void strokeSegment(Image& image, Vec2 a, Vec2 b, float width, const Colour& c) {
    const float r = width * 0.5f;
    fillShape(image, std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
              std::max(a.y, b.y) + r, c, [&](Vec2 p) { return sdSegment(p, a, b, r); });
}

void strokeCircle(Image& image, float cx, float cy, float r, float width, const Colour& c) {
    const float e = r + width;
    fillShape(image, cx - e, cy - e, cx + e, cy + e, c, [&](Vec2 p) {
        return std::fabs(sdCircle(p, {cx, cy}, r)) - width * 0.5f;
    });
}

void glow(Image& image, float cx, float cy, float radius, const Colour& c, float power,
          bool additive) {
    const int x0 = std::max(0, static_cast<int>(cx - radius) - 1);
    const int x1 = std::min(image.width() - 1, static_cast<int>(cx + radius) + 1);
    const int y0 = std::max(0, static_cast<int>(cy - radius) - 1);
    const int y1 = std::min(image.height() - 1, static_cast<int>(cy + radius) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            if (d >= 1.0f)
                continue;
            const float k = std::pow(1.0f - d, power);
            if (additive)
                addPixel(image, x, y, c, k);
            else
                blendPixel(image, x, y, c, k);
        }
}

void verticalGradient(Image& image, int y0, int y1, const Colour& top, const Colour& bottom) {
    for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y) {
        const float t = y1 - y0 > 1 ? static_cast<float>(y - y0) / (y1 - y0 - 1) : 0.0f;
        const Rgba c = toRgba(mix(top, bottom, t));
        for (int x = 0; x < image.width(); ++x)
            image.at(x, y) = c;
    }
}

float hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float valueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    const float c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fractalNoise(float x, float y, int octaves, uint32_t seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x, y, seed + i * 1013u) * amp;
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

namespace {

// One box pass along rows (horizontal) or columns, premultiplied so that
// transparent pixels do not bleed black into the edges.
void boxPass(std::vector<float>& buf, int w, int h, int radius, bool horizontal) {
    std::vector<float> line;
    const int n = horizontal ? w : h, lines = horizontal ? h : w;
    line.resize(static_cast<size_t>(n) * 4);
    for (int l = 0; l < lines; ++l) {
        auto idx = [&](int i) {
            return horizontal ? (static_cast<size_t>(l) * w + i) * 4
                              : (static_cast<size_t>(i) * w + l) * 4;
        };
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += buf[idx(std::clamp(i, 0, n - 1)) + c];
            for (int i = 0; i < n; ++i) {
                line[static_cast<size_t>(i) * 4 + c] = sum / (2 * radius + 1);
                sum += buf[idx(std::min(i + radius + 1, n - 1)) + c];
                sum -= buf[idx(std::max(i - radius, 0)) + c];
            }
        }
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 4; ++c)
                buf[idx(i) + c] = line[static_cast<size_t>(i) * 4 + c];
    }
}

}  // namespace

void blur(Image& image, int radius, int passes) {
    if (radius <= 0 || image.empty())
        return;
    const int w = image.width(), h = image.height();
    std::vector<float> buf(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < image.pixels().size(); ++i) {
        const Rgba p = image.pixels()[i];
        const float a = p.a / 255.0f;
        buf[i * 4 + 0] = p.r * a;
        buf[i * 4 + 1] = p.g * a;
        buf[i * 4 + 2] = p.b * a;
        buf[i * 4 + 3] = a;
    }
    for (int k = 0; k < passes; ++k) {
        boxPass(buf, w, h, radius, true);
        boxPass(buf, w, h, radius, false);
    }
    for (size_t i = 0; i < image.pixels().size(); ++i) {
        const float a = buf[i * 4 + 3];
        Rgba& p = image.pixels()[i];
        if (a <= 1e-6f) {
            p = {p.r, p.g, p.b, 0};
            continue;
        }
        auto q = [](float v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
        p = {q(buf[i * 4] / a), q(buf[i * 4 + 1] / a), q(buf[i * 4 + 2] / a), q(a * 255.0f)};
    }
}

void fadeAlpha(Image& image, float a) {
    for (Rgba& p : image.pixels())
        p.a = static_cast<uint8_t>(std::lround(clamp01(p.a / 255.0f * a) * 255.0f));
}

uint32_t ArtRandom::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float ArtRandom::unit() {
    return (next() & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float ArtRandom::range(float lo, float hi) {
    return lo + (hi - lo) * unit();
}

}  // namespace corsavel::forge
