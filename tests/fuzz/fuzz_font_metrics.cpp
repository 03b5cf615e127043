#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/font.h"

using namespace corsavel;

// Any bytes either give a font whose every cell lies in its grid and whose
// advances are finite, or fail without touching the font.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) {
        return 0;
    }
    Font font;
    font.advance[0] = -1.0f;
    if (!parseFontMetrics(data, static_cast<int32_t>(size), &font)) {
        if (font.advance[0] != -1.0f) {
            __builtin_trap();
        }
        return 0;
    }
    for (int c = 0; c < 256; ++c) {
        if (font.cell[c] >= font.cellsPerRow * font.cellsPerRow || !(font.advance[c] >= 0.0f) ||
            font.advance[c] > 1000.0f) {
            __builtin_trap();
        }
        float uv[4];
        glyphCellUV(font, static_cast<uint8_t>(c), uv);
        if (uv[0] < 0.0f || uv[2] > 1.0001f || uv[1] < 0.0f || uv[3] > 1.0001f) {
            __builtin_trap();
        }
    }
    // Lay out and wrap the input itself as text with the font it described.
    char text[600];
    size_t n = size < sizeof(text) - 1 ? size : sizeof(text) - 1;
    std::memcpy(text, data, n);
    text[n] = 0;
    GlyphPlacement out[16];
    layoutText(font, text, 10.0f, false, out, 16);
    layoutText(font, text, 10.0f, true, out, 16);
    char wrapped[64];
    wrapTextInto(font, 50.0f, text, 10.0f, wrapped, sizeof(wrapped));
    return 0;
}
