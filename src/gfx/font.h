#pragma once

// Bitmap fonts and text drawing.
//
// A font is two files named after it: "<name>.tga", a square texture holding a
// grid of glyph cells, and "<name>.dat", its metrics. The .dat layout
// (little-endian, exactly as read by parseFontMetrics):
//
//   offset  size       field
//   0       int32      cellsPerRow: the texture is cellsPerRow x cellsPerRow
//                      cells; accepted range 1..64
//   4       256 bytes  width[c] of each character code c = 0..255, in pixels of
//                      the texture scaled to 512 pixels wide (a cell is
//                      512 / cellsPerRow such pixels wide)
//   260     256 bytes  cell[c] of each character code: cell n sits at column
//                      n % cellsPerRow, row n / cellsPerRow (row 0 at the top of
//                      the image); every cell must be < cellsPerRow^2
//   516     -          end; the file is exactly 516 bytes (longer or shorter
//                      files, a cellsPerRow out of range or a cell outside the
//                      grid make the load fail)
//
// A character's advance in units of the text size is
// 2 x width / (512 / cellsPerRow): a width of one whole cell is an advance of 2,
// the glyph quad's own width. Consecutive glyph centres are half the previous
// advance plus half the next one apart (times the size); line height 1.8 x size.

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

constexpr int kMaxFonts = 8;
constexpr int32_t kFontMetricsSize = 516;
constexpr int32_t kMaxCellsPerRow = 64;
constexpr int32_t kWrapBufferCapacity = 4096;
constexpr float kLineHeight = 1.8f;
constexpr float kGlyphHeightRatio = 0.9f;
// Depths of the 2D mode: text at 45, highlight boxes at 35, rotated glyphs at 10.
constexpr float kTextDepth = 45.0f;
constexpr float kHighlightBoxDepth = 35.0f;
constexpr float kGlyphDepth = 10.0f;

struct Font {
    float advance[256] = {};
    uint8_t cell[256] = {};
    int32_t cellsPerRow = 1;
    const TextureEntry* texture = nullptr;
    float cellUV = 1.0f;
};

// Fonts, the current drawing settings and the last wrapped text. Colour and
// size persist between calls: callers set them and the last values stay.
struct TextState {
    Font fonts[kMaxFonts];
    int32_t fontCount = 0;
    int32_t current = 0;
    Colour textColour = 0xFFFFFFFFu;
    float textSize = 10.0f;
    float textScale = 1.0f;
    Vec3 pen;
    float penOffset = 0.0f;
    const TextureEntry* highlightTexture = nullptr;
    char wrapBuffer[kWrapBufferCapacity] = {};
};

extern TextState textState;

// Fills advances, cells and cell size from .dat bytes; false (font untouched)
// when the bytes are not a well-formed metrics file.
bool parseFontMetrics(const uint8_t* data, int32_t size, Font* font);

// Appends a font (texture "%s.tga", metrics "%s.dat", both required) and makes
// it current; resets colour, offset and scale, loads the highlight texture and
// clears the flying letters. False when the table is full or the metrics are
// malformed.
bool loadFont(const char* name);
// Appends an already-built font (tests, tools) and makes it current; refuses
// one whose cells do not fit its grid.
bool addFont(const Font& font);
// Font n, or font n - 1 when n is not below the number of fonts.
void selectFont(int32_t n);
// The current font, or null before any font is loaded.
const Font* currentFont();
// Forgets every font and resets the text state (tests and shutdown).
void resetTextState();

void setTextColour(int r, int g, int b, int a);
void setTextColourARGB(Colour argb);
void setTextSize(float size);

// Where a glyph goes, relative to the pen: x along the line, y the line's
// offset (0, -1.8 x size, ...).
struct GlyphPlacement {
    uint8_t character = 0;
    float x = 0.0f;
    float y = 0.0f;
};

using GlyphVisitor = void (*)(void* context, uint8_t character, float x, float y);

// Layout without drawing. Left-aligned: every line's first glyph is centred on
// the pen. Centred: each line centred on the pen; the first glyph of every line
// but the first sits half its advance further right, because the offset rule
// looks at the byte's index in the whole text. CR, CR LF and LF break lines.
void layoutTextLeft(const Font& font, const char* text, float size, GlyphVisitor visit,
                    void* context);
void layoutTextCentred(const Font& font, const char* text, float size, GlyphVisitor visit,
                       void* context);
// Stores up to `capacity` placements; returns how many glyphs the text has.
int32_t layoutText(const Font& font, const char* text, float size, bool centred,
                   GlyphPlacement* out, int32_t capacity);

// Sum of size x advance over every byte (line breaks measured like characters).
float measureText(const Font& font, const char* text, float size);
// Copies the text into `out` (at most capacity - 1 bytes, always terminated),
// turning the last space before a line overflows maxWidth into LF; a stretch
// without a space that is wider than maxWidth is broken where it overflows.
// Returns the height, lines x 1.8 x size.
float wrapTextInto(const Font& font, float maxWidth, const char* text, float size, char* out,
                   int32_t capacity);
// Texture rectangle of a character's cell (uMin, vMin, uMax, vMax).
void glyphCellUV(const Font& font, uint8_t character, float uv[4]);

// The same with the current font (0 without a font).
float textWidth(const char* text, float size);
float wrapText(float maxWidth, const char* text, float size);
// The text of the last wrapText call, to draw after wrapping.
const char* wrappedText();

// Pen (x, y, 45), the size, offset 0; x is the centre of the first glyph.
void drawText(float x, float y, float size, const char* text, bool centred);
void drawTextCentred(float x, float y, float size, const char* text);
// The text (left-aligned, or moved left by half its width when centred), then
// an additive highlight bar over it in the given colour.
void drawTextHighlighted(float x, float y, float size, Colour colour, const char* text,
                         bool centred);
// Additive bar with the highlight texture at depth 35.
void drawHighlightBox(float x0, float y0, float x1, float y1, Colour colour);
// One glyph rotated about its centre (counter-clockwise degrees), at depth 10.
void drawGlyph(char c, float x, float y, float angleDegrees, float size, Colour colour);

}  // namespace corsavel
