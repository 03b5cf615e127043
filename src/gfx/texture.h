#pragma once

#include <cstdint>

namespace corsavel {

constexpr int kTextureTableSize = 1024;
// An add is refused when this many entries are in use.
constexpr int kMaxTextures = 1023;
constexpr int kTextureNameSize = 128;

// Texture format codes recorded by createTexture.
constexpr int32_t kTextureFormatA8R8G8B8 = 21;
constexpr int32_t kTextureFormatX8R8G8B8 = 22;

struct TextureEntry {
    char name[kTextureNameSize] = {};
    int32_t width = 0;
    int32_t height = 0;
    // Device texture handle (0 when released).
    uint32_t texture = 0;
    uint8_t hasAlpha = 0;
    uint8_t isRenderTarget = 0;
    int32_t format = 0;
    // Sized alpha pictures: the first row of the picture from which every
    // texel down to its last row is fully opaque (its height when the last
    // row is not); -1 when not known. What is drawn before the picture under
    // those rows is hidden by it.
    int32_t opaqueFromRow = -1;
};

// Every texture of the game, by file name; one instance.
class TextureTable {
public:
    TextureTable() = default;
    TextureTable(const TextureTable&) = delete;
    TextureTable& operator=(const TextureTable&) = delete;
    virtual ~TextureTable();

    TextureEntry* entries[kTextureTableSize] = {};
    int32_t count = 0;
};
extern TextureTable textureTable;

TextureEntry* findTexture(const char* name);
TextureEntry* loadTexture(const char* name, bool fatal = true);
TextureEntry* loadAlphaJpeg(const char* name, bool fatal);
TextureEntry* loadAlphaJpegSized(const char* name, int w, int h);
TextureEntry* loadImageSized(const char* name, int w, int h);
TextureEntry* createTexture(const char* name, int width, int height, int32_t format,
                            bool renderTarget);
void releaseTexture(TextureEntry* entry);
void releaseAllTextures();
void releaseRenderTargets();
void recreateRenderTargets();

// Reads and decodes a sized picture (as loadImageSized would) from the disk
// on a worker thread, so that a later loadImageSized of the same name and
// size only uploads it. The load itself still reads the file through the
// loader (its registration, its errors); the worker's result is used only
// when it decoded exactly those bytes.
void prefetchSizedImage(const char* name, int w, int h);
// The decoded texels of a prefetched picture, waiting for its worker: RGBA
// rows of *pitch bytes with the picture's w x h in the top-left. The record
// stays for the texture's load; false when it was never prefetched or did
// not decode. The pointer holds until that load or dropPrefetchedImages.
bool prefetchedTexels(const char* name, const uint8_t** texels, int* pitch);
// Forgets prefetched pictures nobody asked for (waiting for their workers).
void dropPrefetchedImages();

// Smallest of 2, 4, ... 1024 strictly above n; 0 when n is 1024 or more.
int nextPowerOfTwoAbove(int n);

// The alpha-JPEG twin of a TGA name: "_a_" + name cut at its first ".",
// then ".jpg". False when the name has no ".tga"/".TGA" or the twin does
// not fit a texture name.
bool twinName(const char* name, char* out, int capacity);

}  // namespace corsavel
