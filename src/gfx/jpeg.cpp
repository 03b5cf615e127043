#include "gfx/jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace corsavel {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(errors->jump, 1);
}

void onMessage(j_common_ptr, int) {}

// The libjpeg part, kept free of C++ objects with destructors so the
// error jump leaves nothing behind.
bool decodeInto(const uint8_t* data, size_t size, DecodedImage* out) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (info.image_width == 0 || info.image_height == 0 ||
        info.image_width > static_cast<unsigned>(kMaxImageEdge) ||
        info.image_height > static_cast<unsigned>(kMaxImageEdge)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    int width = static_cast<int>(info.output_width);
    int height = static_cast<int>(info.output_height);
    out->width = width;
    out->height = height;
    out->rgba.resize(static_cast<size_t>(width) * height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->rgba.data() + static_cast<size_t>(info.output_scanline) * width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    bool complete = info.err->num_warnings == 0;
    jpeg_destroy_decompress(&info);
    // A stream that ended early is padded by the library with a warning.
    return complete;
}

}  // namespace

bool decodeJpeg(const uint8_t* data, size_t size, DecodedImage* out) {
    if (!data || !out || size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return false;
    }
    DecodedImage image;
    if (!decodeInto(data, size, &image)) {
        return false;
    }
    *out = std::move(image);
    return true;
}

void splitAlphaJpeg(const uint8_t* data, size_t size, size_t* jpegSize) {
    *jpegSize = size;
    for (size_t i = 0; data && i + 1 < size; ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xD9) {
            *jpegSize = i + 2;
            return;
        }
    }
}

void applyAlphaPlane(const uint8_t* plane, size_t planeSize, int planeWidth, DecodedImage* image) {
    if (!plane || planeWidth <= 0 || !image) {
        return;
    }
    size_t width = static_cast<size_t>(planeWidth);
    size_t rows = planeSize / width + (planeSize % width ? 1 : 0);
    for (size_t row = 0; row < rows && row < static_cast<size_t>(image->height); ++row) {
        for (size_t col = 0; col < width && col < static_cast<size_t>(image->width); ++col) {
            size_t k = row * width + col;
            if (k >= planeSize) {
                return;
            }
            image->rgba[(row * image->width + col) * 4 + 3] = plane[k];
        }
    }
}

bool decodeAlphaJpeg(const uint8_t* data, size_t size, DecodedImage* out) {
    if (!data || !out) {
        return false;
    }
    size_t jpegSize = 0;
    splitAlphaJpeg(data, size, &jpegSize);
    DecodedImage image;
    if (!decodeJpeg(data, jpegSize, &image)) {
        return false;
    }
    applyAlphaPlane(data + jpegSize, size - jpegSize, image.width, &image);
    *out = std::move(image);
    return true;
}

}  // namespace corsavel
