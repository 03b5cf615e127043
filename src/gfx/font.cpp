#include "gfx/font.h"

#include <cstdio>
#include <cstring>

#include "gfx/text_effects.h"
#include "gfx/texture.h"
#include "platform/message_box.h"
#include "resources/asset_registry.h"

namespace corsavel {

TextState textState;

namespace {

constexpr int32_t kWidthsOffset = 4;
constexpr int32_t kCellsOffset = 260;

int32_t readInt32(const uint8_t* p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                 (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(v);
}

bool isLineBreak(uint8_t c) {
    return c == '\r' || c == '\n';
}

// Length of the line break at text[i]: CR LF counts as one break of two bytes.
int32_t breakLength(const char* text, int32_t i) {
    if (text[i] == '\r' && text[i + 1] == '\n') {
        return 2;
    }
    return 1;
}

float advanceOf(const Font& font, char c, float size) {
    return size * font.advance[static_cast<uint8_t>(c)];
}

struct PlacementSink {
    GlyphPlacement* out;
    int32_t capacity;
    int32_t count;
};

void storePlacement(void* context, uint8_t character, float x, float y) {
    auto* sink = static_cast<PlacementSink*>(context);
    if (sink->count < sink->capacity) {
        sink->out[sink->count] = {character, x, y};
    }
    ++sink->count;
}

}  // namespace

bool parseFontMetrics(const uint8_t* data, int32_t size, Font* font) {
    if (data == nullptr || font == nullptr || size != kFontMetricsSize) {
        return false;
    }
    int32_t cellsPerRow = readInt32(data);
    if (cellsPerRow < 1 || cellsPerRow > kMaxCellsPerRow) {
        return false;
    }
    int32_t cellCount = cellsPerRow * cellsPerRow;
    for (int c = 0; c < 256; ++c) {
        if (data[kCellsOffset + c] >= cellCount) {
            return false;
        }
    }
    float cellPixels = 512.0f / static_cast<float>(cellsPerRow);
    for (int c = 0; c < 256; ++c) {
        font->advance[c] = 2.0f * static_cast<float>(data[kWidthsOffset + c]) / cellPixels;
        font->cell[c] = data[kCellsOffset + c];
    }
    font->cellsPerRow = cellsPerRow;
    font->cellUV = 1.0f / static_cast<float>(cellsPerRow);
    return true;
}

// A malformed metrics file is treated like a missing required one: the game
// cannot show text without it.
bool loadFont(const char* name) {
    if (name == nullptr || textState.fontCount >= kMaxFonts) {
        return false;
    }
    char fileName[kAssetNameSize];
    Font font;
    std::snprintf(fileName, sizeof fileName, "%s.tga", name);
    font.texture = loadTexture(fileName);
    std::snprintf(fileName, sizeof fileName, "%s.dat", name);
    int32_t size = 0;
    uint8_t* metrics = loadFile(fileName, &size, true);
    bool parsed = parseFontMetrics(metrics, size, &font);
    if (metrics != nullptr) {
        releaseAsset(metrics);
    }
    if (!parsed) {
        char text[kAssetNameSize + 64];
        std::snprintf(text, sizeof text, "Can't load %s...\nProgram will now stop.", fileName);
        fatalMessage(text, "Loading Error", 1);
    }
    addFont(font);
    textState.textColour = 0xFFFFFFFFu;
    textState.highlightTexture = loadTexture("podsvet.jpg");
    textState.penOffset = 0.0f;
    textState.textScale = 1.0f;
    clearFlyingLetters();
    return true;
}

// A font whose grid could not hold its cells would index outside its texture.
static bool fontIsWellFormed(const Font& font) {
    if (font.cellsPerRow < 1 || font.cellsPerRow > kMaxCellsPerRow) {
        return false;
    }
    for (uint8_t cell : font.cell) {
        if (cell >= font.cellsPerRow * font.cellsPerRow) {
            return false;
        }
    }
    return true;
}

bool addFont(const Font& font) {
    if (textState.fontCount >= kMaxFonts || !fontIsWellFormed(font)) {
        return false;
    }
    textState.fonts[textState.fontCount] = font;
    textState.current = textState.fontCount;
    ++textState.fontCount;
    return true;
}

void selectFont(int32_t n) {
    if (textState.fontCount == 0) {
        return;
    }
    if (n >= textState.fontCount) {
        n = textState.fontCount - 1;
    }
    if (n < 0) {
        n = 0;
    }
    textState.current = n;
}

const Font* currentFont() {
    if (textState.fontCount == 0) {
        return nullptr;
    }
    return &textState.fonts[textState.current];
}

void resetTextState() {
    textState = TextState{};
}

void setTextColour(int r, int g, int b, int a) {
    textState.textColour = makeColour(a, r, g, b);
}
void setTextColourARGB(Colour argb) {
    textState.textColour = argb;
}
void setTextSize(float size) {
    textState.textSize = size;
}

void layoutTextLeft(const Font& font, const char* text, float size, GlyphVisitor visit,
                    void* context) {
    if (text == nullptr) {
        return;
    }
    float o = 0.0f;
    float y = 0.0f;
    int32_t i = 0;
    while (text[i] != 0) {
        if (i != 0) {
            o += advanceOf(font, text[i], size) / 2.0f;
        }
        if (isLineBreak(static_cast<uint8_t>(text[i]))) {
            i += breakLength(text, i);
            o = -advanceOf(font, text[i], size) / 2.0f;
            y -= kLineHeight * size;
            continue;
        }
        visit(context, static_cast<uint8_t>(text[i]), o, y);
        o += advanceOf(font, text[i], size) / 2.0f;
        ++i;
    }
}

void layoutTextCentred(const Font& font, const char* text, float size, GlyphVisitor visit,
                       void* context) {
    if (text == nullptr) {
        return;
    }
    float y = 0.0f;
    int32_t i = 0;
    while (true) {
        float w = 0.0f;
        for (int32_t j = i; text[j] != 0 && !isLineBreak(static_cast<uint8_t>(text[j])); ++j) {
            w += advanceOf(font, text[j], size);
        }
        float o = -w / 2.0f + size / 2.0f;
        for (; text[i] != 0 && !isLineBreak(static_cast<uint8_t>(text[i])); ++i) {
            if (i != 0) {
                o += advanceOf(font, text[i], size) / 2.0f;
            }
            visit(context, static_cast<uint8_t>(text[i]), o, y);
            o += advanceOf(font, text[i], size) / 2.0f;
        }
        if (text[i] == 0) {
            return;
        }
        i += breakLength(text, i);
        y -= kLineHeight * size;
    }
}

int32_t layoutText(const Font& font, const char* text, float size, bool centred,
                   GlyphPlacement* out, int32_t capacity) {
    PlacementSink sink{out, out == nullptr ? 0 : capacity, 0};
    if (centred) {
        layoutTextCentred(font, text, size, storePlacement, &sink);
    } else {
        layoutTextLeft(font, text, size, storePlacement, &sink);
    }
    return sink.count;
}

float measureText(const Font& font, const char* text, float size) {
    float w = 0.0f;
    if (text == nullptr) {
        return w;
    }
    for (int32_t i = 0; text[i] != 0; ++i) {
        w += advanceOf(font, text[i], size);
    }
    return w;
}

// Builds the wrapped copy line by line. The last space of the current line is
// the break candidate; a line without one is broken before the byte that
// overflows (a single glyph wider than the width still gets a line of its own).
float wrapTextInto(const Font& font, float maxWidth, const char* text, float size, char* out,
                   int32_t capacity) {
    if (out == nullptr || capacity <= 0) {
        return 0.0f;
    }
    out[0] = 0;
    float height = kLineHeight * size;
    if (text == nullptr) {
        return height;
    }
    int32_t len = 0;
    int32_t lineStart = 0;
    int32_t lastSpace = -1;
    float sum = 0.0f;
    auto newLine = [&](int32_t start) {
        height += kLineHeight * size;
        lineStart = start;
        lastSpace = -1;
        sum = 0.0f;
        for (int32_t k = start; k < len; ++k) {
            sum += advanceOf(font, out[k], size);
        }
    };
    for (int32_t i = 0; text[i] != 0 && len < capacity - 1; ++i) {
        char c = text[i];
        if (isLineBreak(static_cast<uint8_t>(c))) {
            out[len++] = c;
            if (c == '\r' && text[i + 1] == '\n' && len < capacity - 1) {
                out[len++] = text[++i];
            }
            newLine(len);
            continue;
        }
        float w = advanceOf(font, c, size);
        if (sum + w > maxWidth && len > lineStart) {
            if (c == ' ') {
                out[len++] = '\n';
                newLine(len);
                continue;
            }
            if (lastSpace >= 0) {
                out[lastSpace] = '\n';
                newLine(lastSpace + 1);
            }
            if (sum + w > maxWidth && len > lineStart) {
                // Room for the break and the byte itself.
                if (len + 1 >= capacity - 1) {
                    break;
                }
                out[len++] = '\n';
                newLine(len);
            }
        }
        out[len++] = c;
        sum += w;
        if (c == ' ') {
            lastSpace = len - 1;
        }
    }
    out[len] = 0;
    return height;
}

void glyphCellUV(const Font& font, uint8_t character, float uv[4]) {
    int32_t cell = font.cell[character];
    int32_t column = cell % font.cellsPerRow;
    int32_t row = cell / font.cellsPerRow;
    uv[0] = static_cast<float>(column) * font.cellUV;
    uv[1] = static_cast<float>(row) * font.cellUV;
    uv[2] = static_cast<float>(column + 1) * font.cellUV;
    uv[3] = static_cast<float>(row + 1) * font.cellUV;
}

float textWidth(const char* text, float size) {
    const Font* font = currentFont();
    return font == nullptr ? 0.0f : measureText(*font, text, size);
}

float wrapText(float maxWidth, const char* text, float size) {
    const Font* font = currentFont();
    if (font == nullptr) {
        textState.wrapBuffer[0] = 0;
        return 0.0f;
    }
    // Wrapping the wrapped text again reads from a copy: the buffer is rewritten.
    static char source[kWrapBufferCapacity];
    if (text >= textState.wrapBuffer && text < textState.wrapBuffer + kWrapBufferCapacity) {
        std::memcpy(source, textState.wrapBuffer, sizeof(source));
        source[kWrapBufferCapacity - 1] = 0;
        text = source + (text - textState.wrapBuffer);
    }
    return wrapTextInto(*font, maxWidth, text, size, textState.wrapBuffer, kWrapBufferCapacity);
}

const char* wrappedText() {
    return textState.wrapBuffer;
}

}  // namespace corsavel
