#include "forge/font_forge.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace corsavel::forge {

namespace {

// The quad drawn for a glyph is 2 x size wide and 1.8 x size high while its
// cell is square: glyphs are rendered 0.9 as wide so they look true on screen.
constexpr double kHorizontalSquash = 0.9;
constexpr int kPixelHeight = 46;
// Extra spacing between letters, in cell pixels, so bold text does not touch.
constexpr int kTracking = 2;
constexpr int kOutline = 2;

// Windows-1252 bytes 0x80..0x9F.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct FaceHandle {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FaceHandle() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

// Coverage of one glyph placed in its cell: the advance box centred in the
// cell, the baseline so that capitals sit centred on the pen line.
void drawGlyph(FT_Face face, int cellX, int cellY, int advance, int baseline, Image& texture) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int originX = cellX + (kFontCellPixels - advance) / 2 + kTracking / 2;
    const int left = originX + slot->bitmap_left;
    const int top = cellY + baseline - slot->bitmap_top;
    // Coverage with a dark rim: the rim keeps light text readable on light art.
    std::vector<float> ink(kFontCellPixels * kFontCellPixels, 0.0f);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = left + static_cast<int>(column) - cellX;
            const int y = top + static_cast<int>(row) - cellY;
            if (x < 0 || y < 0 || x >= kFontCellPixels || y >= kFontCellPixels) {
                continue;
            }
            ink[y * kFontCellPixels + x] = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
        }
    }
    for (int y = 0; y < kFontCellPixels; ++y) {
        for (int x = 0; x < kFontCellPixels; ++x) {
            float rim = 0.0f;
            for (int dy = -kOutline; dy <= kOutline; ++dy) {
                for (int dx = -kOutline; dx <= kOutline; ++dx) {
                    const int sx = x + dx;
                    const int sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= kFontCellPixels || sy >= kFontCellPixels) {
                        continue;
                    }
                    const float falloff = 1.0f - std::hypot(dx, dy) / (kOutline + 1.0f);
                    rim = std::max(rim, ink[sy * kFontCellPixels + sx] * falloff);
                }
            }
            const float a = ink[y * kFontCellPixels + x];
            const float rimAlpha = rim * 0.6f;
            const float alpha = a + rimAlpha * (1.0f - a);
            if (alpha <= 0.0f) {
                continue;
            }
            const auto grey = static_cast<uint8_t>(std::lround(255.0f * a / alpha));
            texture.set(cellX + x, cellY + y,
                        {grey, grey, grey, static_cast<uint8_t>(std::lround(alpha * 255.0f))});
        }
    }
}

}  // namespace

uint32_t windows1252ToUnicode(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

bool renderFont(const std::string& facePath, ForgedFont& font) {
    FaceHandle handle;
    if (FT_Init_FreeType(&handle.library) != 0 ||
        FT_New_Face(handle.library, facePath.c_str(), 0, &handle.face) != 0 ||
        FT_Set_Pixel_Sizes(handle.face, 0, kPixelHeight) != 0) {
        return false;
    }
    FT_Matrix squash;
    squash.xx = static_cast<FT_Fixed>(kHorizontalSquash * 65536.0);
    squash.xy = 0;
    squash.yx = 0;
    squash.yy = 0x10000;
    FT_Set_Transform(handle.face, &squash, nullptr);

    // Capital height of "H" decides the baseline.
    int capHeight = kPixelHeight * 3 / 4;
    if (FT_Load_Char(handle.face, 'H', FT_LOAD_RENDER) == 0) {
        capHeight = handle.face->glyph->bitmap_top;
    }
    const int baseline = kFontCellPixels / 2 + capHeight / 2;

    font.texture = Image(kFontTextureSize, kFontTextureSize, Rgba{255, 255, 255, 0});
    for (int code = 0; code < 256; ++code) {
        font.cell[code] = static_cast<uint8_t>(code);
        font.width[code] = 0;
        const uint32_t unicode = windows1252ToUnicode(static_cast<uint8_t>(code));
        // Controls draw nothing and take no room; 0xA0 is a space.
        if (unicode < 32 || unicode == 0x7F) {
            continue;
        }
        const FT_UInt index = FT_Get_Char_Index(handle.face, unicode == 0xA0 ? 32 : unicode);
        if (index == 0 || FT_Load_Glyph(handle.face, index, FT_LOAD_DEFAULT) != 0 ||
            FT_Render_Glyph(handle.face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
            continue;
        }
        const int advance =
            std::min<int>(kFontCellPixels,
                          static_cast<int>((handle.face->glyph->advance.x + 32) >> 6) + kTracking);
        const int cellX = (code % kFontCellsPerRow) * kFontCellPixels;
        const int cellY = (code / kFontCellsPerRow) * kFontCellPixels;
        drawGlyph(handle.face, cellX, cellY, advance, baseline, font.texture);
        // Widths are stored for a 512-wide texture.
        font.width[code] = static_cast<uint8_t>(std::lround(advance * 512.0 / kFontTextureSize));
    }
    return true;
}

std::vector<uint8_t> encodeFontMetrics(const ForgedFont& font) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kFontMetricsBytes);
    const auto cells = static_cast<uint32_t>(kFontCellsPerRow);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(cells >> shift));
    }
    bytes.insert(bytes.end(), font.width.begin(), font.width.end());
    bytes.insert(bytes.end(), font.cell.begin(), font.cell.end());
    return bytes;
}

void forgeFont(ForgeOutput& out) {
    ForgedFont font;
    if (!renderFont(kFontFacePath, font)) {
        std::fprintf(stderr, "corsavel-forge: cannot open the font face %s\n", kFontFacePath);
        return;
    }
    out.add("font.tga", encodeTga(font.texture, true, true), Destination::TargaArchive);
    out.add("font.dat", encodeFontMetrics(font));
}

}  // namespace corsavel::forge
