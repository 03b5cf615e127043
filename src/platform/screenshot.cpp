#include "platform/screenshot.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/render_device.h"

namespace corsavel {

namespace {

// The libpng part, free of objects with destructors so its error jump is safe.
bool encode(std::FILE* file, int width, int height, const unsigned char* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb + static_cast<size_t>(y) * width * 3);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const char* path, int width, int height, const unsigned char* rgba) {
    if (!path || !rgba || width <= 0 || height <= 0) {
        return false;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        rgb[i * 3] = rgba[i * 4];
        rgb[i * 3 + 1] = rgba[i * 4 + 1];
        rgb[i * 3 + 2] = rgba[i * 4 + 2];
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        return false;
    }
    bool ok = encode(file, width, height, rgb.data());
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::remove(path);
    }
    return ok;
}

bool readScreenshotPixels(unsigned char* rgba) {
    RenderBackend* backend = renderBackend();
    return backend != nullptr && rgba != nullptr &&
           backend->readPixels(kScreenshotWidth, kScreenshotHeight, rgba);
}

bool saveScreenshot(const char* pngPath) {
    if (!pngPath) {
        return false;
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(kScreenshotWidth) * kScreenshotHeight *
                                      4);
    if (!readScreenshotPixels(pixels.data())) {
        return false;
    }
    return writePng(pngPath, kScreenshotWidth, kScreenshotHeight, pixels.data());
}

}  // namespace corsavel
