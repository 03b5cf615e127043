#include "gfx/tga.h"

namespace corsavel {

namespace {

constexpr int kHeaderSize = 18;
constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeTrueColourRle = 10;
constexpr uint8_t kDescriptorTopOrigin = 0x20;
constexpr uint8_t kDescriptorRightOrigin = 0x10;

uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Reads the pixels in file order into `pixels` (BGR(A) converted to RGBA).
bool readPixels(const uint8_t* data, size_t size, size_t pos, bool rle, int bytesPerPixel,
                size_t pixelCount, uint8_t* pixels) {
    auto store = [&](const uint8_t* src, size_t index) {
        uint8_t* dst = pixels + index * 4;
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = bytesPerPixel == 4 ? src[3] : 255;
    };
    size_t bpp = static_cast<size_t>(bytesPerPixel);
    if (!rle) {
        if (size - pos < pixelCount * bpp) {
            return false;
        }
        for (size_t i = 0; i < pixelCount; ++i) {
            store(data + pos + i * bpp, i);
        }
        return true;
    }
    size_t done = 0;
    while (done < pixelCount) {
        if (pos >= size) {
            return false;
        }
        uint8_t packet = data[pos++];
        size_t run = (packet & 0x7F) + 1u;
        if (run > pixelCount - done) {
            // A packet running past the last pixel: keep what fits.
            run = pixelCount - done;
        }
        if (packet & 0x80) {
            if (size - pos < bpp) {
                return false;
            }
            for (size_t i = 0; i < run; ++i) {
                store(data + pos, done + i);
            }
            pos += bpp;
        } else {
            if (size - pos < run * bpp) {
                return false;
            }
            for (size_t i = 0; i < run; ++i) {
                store(data + pos + i * bpp, done + i);
            }
            pos += run * bpp;
        }
        done += run;
    }
    return true;
}

}  // namespace

bool decodeTga(const uint8_t* data, size_t size, DecodedImage* out) {
    if (!data || !out || size < kHeaderSize) {
        return false;
    }
    uint8_t idLength = data[0];
    uint8_t colourMapType = data[1];
    uint8_t type = data[2];
    uint16_t mapLength = readU16(data + 5);
    uint8_t mapEntryBits = data[7];
    int width = readU16(data + 12);
    int height = readU16(data + 14);
    int bits = data[16];
    uint8_t descriptor = data[17];
    if (type != kTypeTrueColour && type != kTypeTrueColourRle) {
        return false;
    }
    if (bits != 24 && bits != 32) {
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxImageEdge || height > kMaxImageEdge) {
        return false;
    }
    size_t pos = kHeaderSize + idLength;
    if (colourMapType == 1) {
        pos += static_cast<size_t>(mapLength) * ((mapEntryBits + 7u) / 8u);
    }
    if (pos > size) {
        return false;
    }
    size_t pixelCount = static_cast<size_t>(width) * height;
    std::vector<uint8_t> filePixels(pixelCount * 4);
    if (!readPixels(data, size, pos, type == kTypeTrueColourRle, bits / 8, pixelCount,
                    filePixels.data())) {
        return false;
    }
    // Reorder to top row first, left to right.
    bool topOrigin = (descriptor & kDescriptorTopOrigin) != 0;
    bool rightOrigin = (descriptor & kDescriptorRightOrigin) != 0;
    out->width = width;
    out->height = height;
    out->rgba.assign(pixelCount * 4, 0);
    for (int y = 0; y < height; ++y) {
        int srcRow = topOrigin ? y : height - 1 - y;
        for (int x = 0; x < width; ++x) {
            int srcCol = rightOrigin ? width - 1 - x : x;
            const uint8_t* src = &filePixels[(static_cast<size_t>(srcRow) * width + srcCol) * 4];
            uint8_t* dst = &out->rgba[(static_cast<size_t>(y) * width + x) * 4];
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = src[3];
        }
    }
    return true;
}

}  // namespace corsavel
