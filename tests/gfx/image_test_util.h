#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace corsavel::test {

// A TGA of w x h pixels, pixel (x, y) from `colour(x, y)` as RGBA.
template <typename ColourFn>
std::vector<uint8_t> makeTga(int w, int h, int bits, bool topOrigin, bool rle, ColourFn colour) {
    std::vector<uint8_t> out(18, 0);
    out[2] = rle ? 10 : 2;
    out[12] = static_cast<uint8_t>(w & 0xFF);
    out[13] = static_cast<uint8_t>(w >> 8);
    out[14] = static_cast<uint8_t>(h & 0xFF);
    out[15] = static_cast<uint8_t>(h >> 8);
    out[16] = static_cast<uint8_t>(bits);
    out[17] = static_cast<uint8_t>((topOrigin ? 0x20 : 0) | (bits == 32 ? 8 : 0));
    for (int row = 0; row < h; ++row) {
        int y = topOrigin ? row : h - 1 - row;
        for (int x = 0; x < w; ++x) {
            uint32_t c = colour(x, y);
            if (rle) {
                out.push_back(0);  // raw packet of one pixel
            }
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c >> 16));
            out.push_back(static_cast<uint8_t>(c >> 24));
            if (bits == 32) {
                out.push_back(static_cast<uint8_t>(c));
            }
        }
    }
    return out;
}

// A baseline JPEG of one flat colour.
inline std::vector<uint8_t> makeJpeg(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(w);
    info.image_height = static_cast<JDIMENSION>(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
    for (int x = 0; x < w; ++x) {
        row[x * 3] = r;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = b;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

}  // namespace corsavel::test
