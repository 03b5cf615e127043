#pragma once

#include <cstdint>
#include <vector>

#include "forge/image.h"

// Small drawing helpers for the forge's art: colours in floats, signed-distance
// shapes with anti-aliased edges, gradients, soft shading, noise and blur.
namespace corsavel::forge {

struct Vec2 {
    float x = 0, y = 0;
};

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

Colour rgb(uint32_t hex, float alpha = 1.0f);
Colour mix(const Colour& a, const Colour& b, float t);
Colour scaled(const Colour& c, float k);                  // rgb times k, alpha kept
Colour added(const Colour& c, const Colour& d, float k);  // c.rgb + d.rgb * k
Rgba toRgba(const Colour& c);
Colour toColour(Rgba p);

float clamp01(float v);
float smoothstep(float e0, float e1, float x);

// Composites colour c with coverage cov (0..1) over pixel (x, y).
void blendPixel(Image& image, int x, int y, const Colour& c, float cov);
// Adds c * cov to the pixel, for glows; alpha grows with the brightness added.
void addPixel(Image& image, int x, int y, const Colour& c, float cov);

// Signed distances (negative inside) in the same units as the arguments.
float sdCircle(Vec2 p, Vec2 centre, float radius);
float sdEllipse(Vec2 p, Vec2 centre, float rx, float ry);
float sdRoundBox(Vec2 p, Vec2 centre, float hw, float hh, float corner);
float sdSegment(Vec2 p, Vec2 a, Vec2 b, float radius);
float sdPolygon(Vec2 p, const std::vector<Vec2>& points);

// Coverage of a pixel from a signed distance measured in pixels.
inline float coverage(float distancePx) {
    return clamp01(0.5f - distancePx);
}

// Shape fills on pixel coordinates (pixel centres at +0.5).
void fillCircle(Image& image, float cx, float cy, float r, const Colour& c);
void fillEllipse(Image& image, float cx, float cy, float rx, float ry, const Colour& c);
void fillRoundBox(Image& image, float x0, float y0, float x1, float y1, float corner,
                  const Colour& c);
void fillPolygon(Image& image, const std::vector<Vec2>& points, const Colour& c);
void strokeSegment(Image& image, Vec2 a, Vec2 b, float width, const Colour& c);
void strokeCircle(Image& image, float cx, float cy, float r, float width, const Colour& c);

// Radial glow: colour at the centre fading to nothing at radius, falloff power.
void glow(Image& image, float cx, float cy, float radius, const Colour& c, float power,
          bool additive);
void verticalGradient(Image& image, int y0, int y1, const Colour& top, const Colour& bottom);

// Deterministic value noise in 0..1 and its fractal sum; seed picks the pattern.
float hashNoise(int x, int y, uint32_t seed);
float valueNoise(float x, float y, uint32_t seed);
float fractalNoise(float x, float y, int octaves, uint32_t seed);

// Separable box blur of all four channels, passes times (3 approximates a Gaussian).
void blur(Image& image, int radius, int passes = 3);
// Multiplies every pixel's alpha by a.
void fadeAlpha(Image& image, float a);

// A deterministic generator for scattering details (not the game's generator).
class ArtRandom {
public:
    explicit ArtRandom(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    uint32_t next();
    float unit();  // 0..1
    float range(float lo, float hi);

private:
    uint32_t state_;
};

}  // namespace corsavel::forge
