#include "forge/image.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace corsavel::forge {

Image::Image(int width, int height, Rgba fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, fill) {}

void Image::fill(Rgba c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

Image Image::crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int j = 0; j < out.height(); ++j)
        for (int i = 0; i < out.width(); ++i)
            out.at(i, j) = get(x + i, y + j);
    return out;
}

void Image::paste(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            set(x + i, y + j, src.at(i, j));
}

void Image::blit(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j) {
        for (int i = 0; i < src.width(); ++i) {
            if (!contains(x + i, y + j))
                continue;
            const Rgba s = src.at(i, j);
            if (s.a == 0)
                continue;
            Rgba& d = at(x + i, y + j);
            const float sa = s.a / 255.0f;
            const float da = d.a / 255.0f;
            const float oa = sa + da * (1.0f - sa);
            auto mix = [&](uint8_t sc, uint8_t dc) {
                const float v = (sc * sa + dc * da * (1.0f - sa)) / oa;
                return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            };
            d = {mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b),
                 static_cast<uint8_t>(std::lround(oa * 255.0f))};
        }
    }
}

Image Image::resized(int w, int h) const {
    Image out(w, h);
    if (empty() || out.empty())
        return out;
    const float sx = static_cast<float>(width_) / w;
    const float sy = static_cast<float>(height_) / h;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            // Average the source footprint with alpha weighting so that
            // transparent pixels do not darken the edges.
            const float x0 = i * sx, x1 = (i + 1) * sx;
            const float y0 = j * sy, y1 = (j + 1) * sy;
            if (sx <= 1.0f && sy <= 1.0f) {
                const float fx = std::clamp((i + 0.5f) * sx - 0.5f, 0.0f, width_ - 1.0f);
                const float fy = std::clamp((j + 0.5f) * sy - 0.5f, 0.0f, height_ - 1.0f);
                const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
                const int ix1 = std::min(ix + 1, width_ - 1), iy1 = std::min(iy + 1, height_ - 1);
                const float tx = fx - ix, ty = fy - iy;
                float acc[4] = {0, 0, 0, 0};
                const Rgba* c[4] = {&at(ix, iy), &at(ix1, iy), &at(ix, iy1), &at(ix1, iy1)};
                const float wt[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
                for (int k = 0; k < 4; ++k) {
                    acc[0] += c[k]->r * wt[k];
                    acc[1] += c[k]->g * wt[k];
                    acc[2] += c[k]->b * wt[k];
                    acc[3] += c[k]->a * wt[k];
                }
                out.at(i, j) = {
                    static_cast<uint8_t>(acc[0] + 0.5f), static_cast<uint8_t>(acc[1] + 0.5f),
                    static_cast<uint8_t>(acc[2] + 0.5f), static_cast<uint8_t>(acc[3] + 0.5f)};
                continue;
            }
            double r = 0, g = 0, b = 0, a = 0, n = 0;
            const int ya = static_cast<int>(y0),
                      yb = std::min(height_, static_cast<int>(std::ceil(y1)));
            const int xa = static_cast<int>(x0),
                      xb = std::min(width_, static_cast<int>(std::ceil(x1)));
            for (int y = ya; y < yb; ++y) {
                for (int x = xa; x < xb; ++x) {
                    const Rgba p = at(x, y);
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                    n += 1;
                }
            }
            Rgba o;
            if (a > 0) {
                o.r = static_cast<uint8_t>(std::lround(r / a));
                o.g = static_cast<uint8_t>(std::lround(g / a));
                o.b = static_cast<uint8_t>(std::lround(b / a));
            }
            o.a = n > 0 ? static_cast<uint8_t>(std::lround(a / n)) : 0;
            out.at(i, j) = o;
        }
    }
    return out;
}

namespace {

void putLe16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

// Appends one pixel in the file's byte order (B, G, R[, A]).
void putPixel(std::vector<uint8_t>& out, Rgba p, bool withAlpha) {
    out.push_back(p.b);
    out.push_back(p.g);
    out.push_back(p.r);
    if (withAlpha)
        out.push_back(p.a);
}

bool samePixel(Rgba a, Rgba b, bool withAlpha) {
    return a.r == b.r && a.g == b.g && a.b == b.b && (!withAlpha || a.a == b.a);
}

// Run-length packets never cross a row, as decoders of the format expect.
void encodeRleRow(std::vector<uint8_t>& out, const Rgba* row, int width, bool withAlpha) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 128 && samePixel(row[x + run], row[x], withAlpha))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            putPixel(out, row[x], withAlpha);
            x += run;
            continue;
        }
        // A raw packet: up to 128 pixels until two equal neighbours start a run.
        int count = 1;
        while (x + count < width && count < 128 &&
               !(x + count + 1 < width && samePixel(row[x + count], row[x + count + 1], withAlpha)))
            ++count;
        out.push_back(static_cast<uint8_t>(count - 1));
        for (int i = 0; i < count; ++i)
            putPixel(out, row[x + i], withAlpha);
        x += count;
    }
}

struct JpegErrorTrap {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info) {
    auto* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
    std::longjmp(trap->jump, 1);
}

}  // namespace

std::vector<uint8_t> encodeTga(const Image& image, bool withAlpha, bool rle) {
    if (image.width() > 0xFFFF || image.height() > 0xFFFF)
        throw std::invalid_argument("TGA image too large");
    std::vector<uint8_t> out;
    const size_t bpp = withAlpha ? 4 : 3;
    out.reserve(18 + static_cast<size_t>(image.width()) * image.height() * bpp);
    out.push_back(0);             // no image id
    out.push_back(0);             // no colour map
    out.push_back(rle ? 10 : 2);  // true colour, raw or run-length
    for (int i = 0; i < 5; ++i)
        out.push_back(0);  // colour map fields, unused
    putLe16(out, 0);       // x origin
    putLe16(out, 0);       // y origin
    putLe16(out, image.width());
    putLe16(out, image.height());
    out.push_back(withAlpha ? 32 : 24);
    out.push_back(withAlpha ? 8 : 0);  // alpha bits, bottom-left origin
    for (int y = image.height() - 1; y >= 0; --y) {
        const Rgba* row = &image.at(0, y);
        if (rle) {
            encodeRleRow(out, row, image.width(), withAlpha);
        } else {
            for (int x = 0; x < image.width(); ++x)
                putPixel(out, row[x], withAlpha);
        }
    }
    return out;
}

std::vector<uint8_t> encodeJpeg(const Image& image, int quality) {
    if (image.empty())
        throw std::invalid_argument("empty JPEG image");
    jpeg_compress_struct info{};
    JpegErrorTrap trap{};
    info.err = jpeg_std_error(&trap.base);
    trap.base.error_exit = jpegErrorExit;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<uint8_t> row(static_cast<size_t>(image.width()) * 3);
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw std::runtime_error("JPEG encoding failed");
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
    // Plain JFIF only: no comment or other segment that could hold an FF D9 pair
    // ahead of the end-of-image marker.
    info.write_JFIF_header = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const Rgba* src = &image.at(0, static_cast<int>(info.next_scanline));
        for (int x = 0; x < image.width(); ++x) {
            row[x * 3 + 0] = src[x].r;
            row[x * 3 + 1] = src[x].g;
            row[x * 3 + 2] = src[x].b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

std::vector<uint8_t> encodeAlphaJpeg(const Image& image, int quality) {
    std::vector<uint8_t> out = encodeJpeg(image, quality);
    // The game splits the file at the first FF D9 pair: it must be the end marker.
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == 0xFF && out[i + 1] == 0xD9) {
            if (i + 2 != out.size())
                throw std::runtime_error("JPEG holds an early FF D9");
            break;
        }
    }
    out.reserve(out.size() + image.pixels().size());
    for (const Rgba& p : image.pixels())
        out.push_back(p.a);
    return out;
}

}  // namespace corsavel::forge
