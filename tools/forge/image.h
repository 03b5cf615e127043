#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// RGBA8 pictures drawn by the forge and the encoders that turn them into the
// game's image files: TGA, JPEG and the alpha-JPEG (a JPEG followed by a raw
// 8-bit alpha plane).
namespace corsavel::forge {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

// A picture of width x height pixels, rows top to bottom, non-premultiplied.
class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgba& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Bounds-checked read: transparent black outside the picture.
    Rgba get(int x, int y) const { return contains(x, y) ? at(x, y) : Rgba{}; }
    void set(int x, int y, Rgba c) {
        if (contains(x, y))
            at(x, y) = c;
    }

    void fill(Rgba c);
    // The rectangle (x, y, w, h) clipped to the picture, as a new image.
    Image crop(int x, int y, int w, int h) const;
    // Copies src over this picture at (x, y), replacing pixels (no blending).
    void paste(const Image& src, int x, int y);
    // Composites src over this picture at (x, y) with the usual "over" rule.
    void blit(const Image& src, int x, int y);
    // A smaller or larger copy, box-filtered when shrinking, bilinear when growing.
    Image resized(int w, int h) const;

    std::vector<Rgba>& pixels() { return pixels_; }
    const std::vector<Rgba>& pixels() const { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> pixels_;
};

// Uncompressed (type 2) or run-length (type 10) true-colour TGA, bottom-up rows;
// 32 bits with 8 alpha bits when withAlpha, else 24 bits.
std::vector<uint8_t> encodeTga(const Image& image, bool withAlpha, bool rle);
// Baseline JFIF, 4:2:0, the given quality 1..100; alpha is dropped.
std::vector<uint8_t> encodeJpeg(const Image& image, int quality = 90);
// The JPEG of the colour channels followed by width x height alpha bytes.
std::vector<uint8_t> encodeAlphaJpeg(const Image& image, int quality = 90);

}  // namespace corsavel::forge
