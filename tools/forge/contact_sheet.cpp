#include "forge/contact_sheet.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>

#include <ft2build.h>
#include <jpeglib.h>
#include FT_FREETYPE_H

#include "forge/raster.h"

namespace corsavel::forge {
namespace {

bool endsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i])
            return false;
    return true;
}

Image decodeTga(const std::vector<uint8_t>& b) {
    if (b.size() < 18)
        return {};
    const int idLength = b[0], type = b[2];
    const int w = b[12] | (b[13] << 8), h = b[14] | (b[15] << 8);
    const int bpp = b[16], descriptor = b[17];
    if ((type != 2 && type != 10) || (bpp != 24 && bpp != 32) || w <= 0 || h <= 0 || b[1] != 0)
        return {};
    const int bytes = bpp / 8;
    Image image(w, h);
    size_t pos = 18 + idLength;
    const bool topDown = (descriptor & 0x20) != 0;
    auto readPixel = [&](Rgba& p) {
        if (pos + bytes > b.size())
            return false;
        p = {b[pos + 2], b[pos + 1], b[pos], bytes == 4 ? b[pos + 3] : uint8_t{255}};
        pos += bytes;
        return true;
    };
    const size_t total = static_cast<size_t>(w) * h;
    size_t i = 0;
    auto store = [&](Rgba p) {
        const int x = static_cast<int>(i % w), row = static_cast<int>(i / w);
        image.at(x, topDown ? row : h - 1 - row) = p;
        ++i;
    };
    while (i < total) {
        Rgba p;
        if (type == 2) {
            if (!readPixel(p))
                return {};
            store(p);
            continue;
        }
        if (pos >= b.size())
            return {};
        const int header = b[pos++];
        const size_t count = std::min<size_t>((header & 0x7F) + 1, total - i);
        if (header & 0x80) {
            if (!readPixel(p))
                return {};
            for (size_t k = 0; k < count; ++k)
                store(p);
        } else {
            for (size_t k = 0; k < count; ++k) {
                if (!readPixel(p))
                    return {};
                store(p);
            }
        }
    }
    return image;
}

struct JpegTrap {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void trapExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegTrap*>(info->err)->jump, 1);
}

Image decodeJpeg(const uint8_t* data, size_t size) {
    jpeg_decompress_struct info{};
    JpegTrap trap{};
    info.err = jpeg_std_error(&trap.base);
    trap.base.error_exit = trapExit;
    Image image;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = Image(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    std::vector<uint8_t> row(static_cast<size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < image.width(); ++x)
            image.at(x, y) = {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255};
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

const char* const kLabelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Writes a label with FreeType; without the font the sheet simply has no names.
void drawLabel(FT_Face face, Image& sheet, int x, int y, int maxWidth, const std::string& text) {
    if (!face)
        return;
    int penX = x;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot g = face->glyph;
        if (penX + static_cast<int>(g->advance.x >> 6) > x + maxWidth)
            break;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const float cov = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                blendPixel(sheet, penX + g->bitmap_left + static_cast<int>(col),
                           y - g->bitmap_top + static_cast<int>(row), Colour{1, 1, 1, 1}, cov);
            }
        penX += static_cast<int>(g->advance.x >> 6);
    }
}

}  // namespace

Image decodeForgedImage(const std::string& name, const std::vector<uint8_t>& bytes) {
    if (endsWith(name, ".tga"))
        return decodeTga(bytes);
    if (!endsWith(name, ".jpg"))
        return {};
    size_t m = bytes.size();
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) {
            m = i;
            break;
        }
    const size_t jpegSize = m < bytes.size() ? m + 2 : bytes.size();
    Image image = decodeJpeg(bytes.data(), jpegSize);
    const size_t planeSize = bytes.size() - jpegSize;
    if (!image.empty() && planeSize > 0) {
        const size_t n = std::min(planeSize, image.pixels().size());
        for (size_t i = 0; i < n; ++i)
            image.pixels()[i].a = bytes[jpegSize + i];
    }
    return image;
}

bool writePng(const Image& image, const std::string& pngPath) {
    FILE* file = std::fopen(pngPath.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width(), image.height(), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, reinterpret_cast<png_const_bytep>(&image.at(0, y)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool writeContactSheet(const ForgeOutput& out, const std::string& pngPath) {
    constexpr int kThumb = 150, kLabel = 14, kColumns = 12;
    std::vector<std::pair<std::string, Image>> thumbs;
    for (const ForgedFile& file : out.files()) {
        Image image = decodeForgedImage(file.path, file.bytes);
        if (image.empty())
            continue;
        const float k =
            std::min(1.0f, static_cast<float>(kThumb) / std::max(image.width(), image.height()));
        const int w = std::max(1, static_cast<int>(image.width() * k));
        const int h = std::max(1, static_cast<int>(image.height() * k));
        thumbs.emplace_back(file.path, image.resized(w, h));
    }
    const int rows = static_cast<int>((thumbs.size() + kColumns - 1) / kColumns);
    const int cellW = kThumb + 6, cellH = kThumb + kLabel + 8;
    Image sheet(kColumns * cellW, std::max(1, rows) * cellH, Rgba{40, 40, 48, 255});
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, kLabelFont, 0, &face) == 0)
        FT_Set_Pixel_Sizes(face, 0, 10);
    else
        face = nullptr;
    for (size_t i = 0; i < thumbs.size(); ++i) {
        const int cx = static_cast<int>(i % kColumns) * cellW + 3;
        const int cy = static_cast<int>(i / kColumns) * cellH + 3;
        // A checkerboard behind each picture shows its transparent areas.
        for (int y = 0; y < kThumb; ++y)
            for (int x = 0; x < kThumb; ++x) {
                const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
                sheet.at(cx + x, cy + y) = dark ? Rgba{90, 90, 100, 255} : Rgba{130, 130, 140, 255};
            }
        sheet.blit(thumbs[i].second, cx, cy);
        drawLabel(face, sheet, cx, cy + kThumb + kLabel - 2, kThumb, thumbs[i].first);
    }
    if (face)
        FT_Done_Face(face);
    if (library)
        FT_Done_FreeType(library);
    return writePng(sheet, pngPath);
}

}  // namespace corsavel::forge
