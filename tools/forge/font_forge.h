#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/forge.h"
#include "forge/image.h"

// The game's bitmap font "font": "font.tga" (a 16 x 16 grid of glyph cells,
// one per character code) and "font.dat" (cells per row, advance widths and
// cell indices), rendered from DejaVu Sans Bold.
namespace corsavel::forge {

constexpr int kFontCellsPerRow = 16;
constexpr int kFontCellPixels = 64;
constexpr int kFontTextureSize = kFontCellsPerRow * kFontCellPixels;
constexpr int kFontMetricsBytes = 516;
constexpr const char* kFontFacePath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct ForgedFont {
    Image texture;
    std::array<uint8_t, 256> width{};  // advance per code, pixels of a 512-wide texture
    std::array<uint8_t, 256> cell{};   // cell per code
};

// Unicode code point of a Windows-1252 byte (0 for the five unused bytes).
uint32_t windows1252ToUnicode(uint8_t byte);

// Renders every character; false when the face cannot be opened.
bool renderFont(const std::string& facePath, ForgedFont& font);
std::vector<uint8_t> encodeFontMetrics(const ForgedFont& font);

// Adds "font.tga" to "targa.dat" and "font.dat" as a loose file. Without the
// face the forge cannot make a font: it reports it and adds nothing.
void forgeFont(ForgeOutput& out);

}  // namespace corsavel::forge
