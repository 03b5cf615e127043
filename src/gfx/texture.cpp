#include "gfx/texture.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx/jpeg.h"
#include "gfx/tga.h"
#include "platform/file_read.h"
#include "platform/message_box.h"
#include "platform/render_device.h"
#include "platform/worker_pool.h"
#include "resources/asset_registry.h"

namespace corsavel {

TextureTable textureTable;

namespace {

// Render targets are released before a display reset and made again after.
[[maybe_unused]] const bool resetHooksInstalled = [] {
    setDisplayResetHooks(releaseRenderTargets, recreateRenderTargets);
    return true;
}();

bool isTgaName(const char* name) {
    return std::strstr(name, ".tga") != nullptr || std::strstr(name, ".TGA") != nullptr;
}

bool fitsName(const char* name) {
    return name && std::strlen(name) < kTextureNameSize;
}

[[noreturn]] void fatalTexture(const char* format, const char* name) {
    char text[kTextureNameSize + 64];
    std::snprintf(text, sizeof text, format, name);
    fatalMessage(text, "Loading error", 1);
}

// Decodes by content: JPEG streams start with FF D8, anything else is a TGA.
bool decodeImage(const uint8_t* data, int32_t size, DecodedImage* out) {
    if (!data || size <= 0) {
        return false;
    }
    size_t n = static_cast<size_t>(size);
    if (n >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        return decodeJpeg(data, n, out);
    }
    return decodeTga(data, n, out);
}

// Releases the registry's entry for `data` when it owns the bytes (a file
// read from the disk); archive entries are left alone.
void releaseDiskCopy(const uint8_t* data) {
    for (int i = 0; i < assetRegistry.count; ++i) {
        if (assetRegistry.entries[i]->data == data) {
            if (assetRegistry.entries[i]->owned) {
                releaseAsset(data);
            }
            return;
        }
    }
}

TextureEntry* addEntry(const char* name) {
    if (textureTable.count >= kMaxTextures || !fitsName(name)) {
        return nullptr;
    }
    auto* entry = new TextureEntry{};
    std::memcpy(entry->name, name, std::strlen(name) + 1);
    textureTable.entries[textureTable.count++] = entry;
    return entry;
}

uint32_t uploadImage(const DecodedImage& image) {
    RenderBackend* backend = renderBackend();
    if (!backend || image.width <= 0 || image.height <= 0) {
        return 0;
    }
    return backend->createTexture(image.width, image.height, image.rgba.data());
}

// An entry for a decoded image, or null when the device or table refuse it.
TextureEntry* addDecoded(const char* name, const DecodedImage& image, bool hasAlpha) {
    if (textureTable.count >= kMaxTextures || !fitsName(name)) {
        return nullptr;
    }
    uint32_t handle = uploadImage(image);
    if (!handle) {
        return nullptr;
    }
    TextureEntry* entry = addEntry(name);
    entry->texture = handle;
    entry->width = image.width;
    entry->height = image.height;
    entry->hasAlpha = hasAlpha ? 1 : 0;
    return entry;
}

// The top-left w x h of the image (as far as it reaches) placed in the
// top-left of a zeroed width x height texel block: a sized texture's
// contents, made in memory so the texture is uploaded once.
std::vector<uint8_t> paddedTexels(const DecodedImage* image, int w, int h, int width, int height) {
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4, 0);
    if (image == nullptr) {
        return texels;
    }
    int cw = std::min({w, image->width, width});
    int ch = std::min({h, image->height, height});
    for (int y = 0; y < ch; ++y) {
        std::memcpy(&texels[static_cast<size_t>(y) * width * 4],
                    &image->rgba[static_cast<size_t>(y) * image->width * 4],
                    static_cast<size_t>(cw > 0 ? cw : 0) * 4);
    }
    return texels;
}

// Loads the image again into an existing entry's texture (its top-left).
void uploadIntoTopLeft(TextureEntry* entry, const DecodedImage& image, int w, int h) {
    RenderBackend* backend = renderBackend();
    if (!backend || !entry->texture) {
        return;
    }
    int cw = std::min({w, image.width, entry->width});
    int ch = std::min({h, image.height, entry->height});
    if (cw <= 0 || ch <= 0) {
        return;
    }
    std::vector<uint8_t> region = paddedTexels(&image, cw, ch, cw, ch);
    backend->updateTexture(entry->texture, 0, 0, cw, ch, region.data());
}

// createTexture with the texture's first contents given (width x height
// RGBA texels): the one upload of a sized load.
TextureEntry* createTextureWith(const char* name, int width, int height, int32_t format,
                                bool renderTarget, const uint8_t* texels) {
    if (!name) {
        return nullptr;
    }
    if (TextureEntry* found = findTexture(name)) {
        return found;
    }
    RenderBackend* backend = renderBackend();
    uint32_t handle = 0;
    if (backend && width > 0 && height > 0 && textureTable.count < kMaxTextures && fitsName(name)) {
        handle = backend->createTexture(width, height, texels);
    }
    TextureEntry* entry = handle ? addEntry(name) : nullptr;
    if (!entry) {
        if (handle) {
            backend->releaseTexture(handle);
        }
        char text[kTextureNameSize + 64];
        std::snprintf(text, sizeof text, "Couldn't create texture: %s", name);
        showMessageBox(text, "Init error");
        return nullptr;
    }
    entry->texture = handle;
    entry->width = width;
    entry->height = height;
    entry->isRenderTarget = renderTarget ? 1 : 0;
    entry->format = renderTarget ? kTextureFormatX8R8G8B8 : format;
    return entry;
}

// A sized picture read and decoded on a worker: the file's bytes (to check
// against what the loader reads) and the texture's texels.
struct PrefetchResult {
    std::vector<uint8_t> fileBytes;
    std::vector<uint8_t> texels;
    bool decoded = false;
};
struct PrefetchedImage {
    std::string name;
    int w = 0;
    int h = 0;
    Pending<PrefetchResult> result;
};
std::vector<std::shared_ptr<PrefetchedImage>> prefetched;
// Larger picture files are not read ahead; the loader reads them itself.
constexpr size_t kMaxPrefetchBytes = 64u << 20;

// The prefetched texels for `name` at w x h when the worker decoded the very
// bytes the loader holds; the record is taken either way.
bool takePrefetched(const char* name, int w, int h, const uint8_t* data, int32_t size,
                    std::vector<uint8_t>* texels) {
    for (size_t i = 0; i < prefetched.size(); ++i) {
        const std::shared_ptr<PrefetchedImage> record = prefetched[i];
        if (record->name != name || record->w != w || record->h != h) {
            continue;
        }
        prefetched.erase(prefetched.begin() + static_cast<std::ptrdiff_t>(i));
        PrefetchResult result = record->result.take();
        const bool same = result.decoded && data != nullptr && size >= 0 &&
                          result.fileBytes.size() == static_cast<size_t>(size) &&
                          std::memcmp(result.fileBytes.data(), data, result.fileBytes.size()) == 0;
        if (same) {
            *texels = std::move(result.texels);
        }
        return same;
    }
    return false;
}

}  // namespace

TextureTable::~TextureTable() {
    releaseAllTextures();
}

int nextPowerOfTwoAbove(int n) {
    for (int p = 2; p <= 1024; p *= 2) {
        if (p > n) {
            return p;
        }
    }
    return 0;
}

bool twinName(const char* name, char* out, int capacity) {
    if (!name || !isTgaName(name) || capacity <= 0) {
        return false;
    }
    const char* dot = std::strchr(name, '.');
    size_t stem = static_cast<size_t>(dot - name);
    size_t length = 3 + stem + 4;
    if (length + 1 > static_cast<size_t>(capacity) || length + 1 > kTextureNameSize) {
        return false;
    }
    std::memcpy(out, "_a_", 3);
    std::memcpy(out + 3, name, stem);
    std::memcpy(out + 3 + stem, ".jpg", 5);
    return true;
}

TextureEntry* findTexture(const char* name) {
    if (!name) {
        return nullptr;
    }
    for (int i = 0; i < textureTable.count; ++i) {
        if (std::strcmp(textureTable.entries[i]->name, name) == 0) {
            return textureTable.entries[i];
        }
    }
    return nullptr;
}

TextureEntry* loadTexture(const char* name, bool fatal) {
    if (!name) {
        return nullptr;
    }
    if (TextureEntry* found = findTexture(name)) {
        return found;
    }
    char twin[kTextureNameSize];
    if (twinName(name, twin, sizeof twin)) {
        if (TextureEntry* found = findTexture(twin)) {
            return found;
        }
        if (TextureEntry* loaded = loadAlphaJpeg(twin, false)) {
            return loaded;
        }
    }
    int32_t size = 0;
    const uint8_t* data = loadFile(name, &size, false);
    DecodedImage image;
    TextureEntry* entry = nullptr;
    if (decodeImage(data, size, &image)) {
        entry = addDecoded(name, image, isTgaName(name));
    }
    // Once on the device, a file read from the disk is not kept in memory as
    // well; an archive entry stays loadable, as the archive stays.
    if (entry != nullptr) {
        releaseDiskCopy(data);
    }
    // A full table has no room for the texture: treated as a failed load.
    if (!entry && fatal) {
        fatalTexture("Couldn't load texture: %s", name);
    }
    return entry;
}

TextureEntry* loadAlphaJpeg(const char* name, bool fatal) {
    if (!name) {
        return nullptr;
    }
    int32_t size = 0;
    const uint8_t* data = loadFile(name, &size, false);
    if (!data) {
        return nullptr;
    }
    DecodedImage image;
    TextureEntry* entry = nullptr;
    if (size > 0 && decodeAlphaJpeg(data, static_cast<size_t>(size), &image)) {
        entry = addDecoded(name, image, true);
    }
    releaseAsset(data);
    if (!entry && fatal) {
        fatalTexture("Can't load texture: %s", name);
    }
    return entry;
}

namespace {

// The first row of the w x h picture from which every pixel to the bottom
// is opaque; h when the bottom row is not (pixels outside the decoded image
// are transparent padding).
int32_t firstOpaqueRow(const DecodedImage& image, int w, int h) {
    if (image.width < w || image.height < h) {
        return h;
    }
    int32_t row = h;
    while (row > 0) {
        const uint8_t* p = &image.rgba[(static_cast<size_t>(row - 1) * image.width) * 4];
        bool opaque = true;
        for (int x = 0; x < w && opaque; ++x) {
            opaque = p[x * 4 + 3] == 255;
        }
        if (!opaque) {
            break;
        }
        --row;
    }
    return row;
}

}  // namespace

TextureEntry* loadAlphaJpegSized(const char* name, int w, int h) {
    if (!name || w <= 0 || h <= 0) {
        return nullptr;
    }
    int32_t size = 0;
    const uint8_t* data = loadFile(name, &size, false);
    if (!data) {
        return nullptr;
    }
    DecodedImage image;
    bool decoded = false;
    if (size > 0) {
        size_t jpegSize = 0;
        splitAlphaJpeg(data, static_cast<size_t>(size), &jpegSize);
        decoded = decodeJpeg(data, jpegSize, &image);
        if (decoded) {
            // The plane is w bytes a row; only what lies inside the image counts.
            applyAlphaPlane(data + jpegSize, static_cast<size_t>(size) - jpegSize, w, &image);
        }
    }
    const int width = nextPowerOfTwoAbove(w);
    const int height = nextPowerOfTwoAbove(h);
    const int32_t opaqueFrom = decoded && size > 0 ? firstOpaqueRow(image, w, h) : h;
    TextureEntry* entry = findTexture(name);
    if (entry != nullptr) {
        // An entry of that name is reused and the image loaded into it again.
        if (decoded && size > 0) {
            uploadIntoTopLeft(entry, image, w, h);
        }
    } else {
        const std::vector<uint8_t> texels =
            paddedTexels(decoded && size > 0 ? &image : nullptr, w, h, width, height);
        entry =
            createTextureWith(name, width, height, kTextureFormatA8R8G8B8, false, texels.data());
    }
    if (entry && size > 0) {
        entry->hasAlpha = 1;
    }
    if (entry) {
        entry->opaqueFromRow = opaqueFrom;
    }
    releaseAsset(data);
    return entry;
}

TextureEntry* loadImageSized(const char* name, int w, int h) {
    if (!name) {
        return nullptr;
    }
    if (TextureEntry* found = findTexture(name)) {
        return found;
    }
    if (w <= 0 || h <= 0) {
        return nullptr;
    }
    // The file first (a missing one ends the game), then one texture made
    // with the image already in its top-left.
    int32_t size = 0;
    const uint8_t* data = loadFile(name, &size, true);
    const int width = nextPowerOfTwoAbove(w);
    const int height = nextPowerOfTwoAbove(h);
    std::vector<uint8_t> texels;
    if (!takePrefetched(name, w, h, data, size, &texels)) {
        DecodedImage image;
        const bool decoded = decodeImage(data, size, &image);
        texels = paddedTexels(decoded ? &image : nullptr, w, h, width, height);
    }
    TextureEntry* entry =
        createTextureWith(name, width, height, kTextureFormatA8R8G8B8, false, texels.data());
    if (data) {
        releaseAsset(data);
    }
    return entry;
}

void prefetchSizedImage(const char* name, int w, int h) {
    if (!name || w <= 0 || h <= 0) {
        return;
    }
    // The path is fixed now: the worker must not depend on the current folder.
    char resolved[1024];
    resolveDiskPath(name, resolved, sizeof resolved);
    std::string path = resolved;
    char cwd[1024];
    if (path.empty() || (path[0] != '/' && getcwd(cwd, sizeof cwd) == nullptr)) {
        return;
    }
    if (path[0] != '/') {
        path = std::string(cwd) + "/" + path;
    }
    auto record = std::make_shared<PrefetchedImage>();
    record->name = name;
    record->w = w;
    record->h = h;
    prefetched.push_back(record);
    workerPool().submit([record, path] {
        PrefetchResult result;
        readFileBytes(path, kMaxPrefetchBytes, result.fileBytes);
        DecodedImage image;
        const int32_t size = static_cast<int32_t>(
            std::min<size_t>(result.fileBytes.size(), static_cast<size_t>(INT32_MAX)));
        result.decoded = decodeImage(result.fileBytes.data(), size, &image);
        if (result.decoded) {
            result.texels =
                paddedTexels(&image, record->w, record->h, nextPowerOfTwoAbove(record->w),
                             nextPowerOfTwoAbove(record->h));
        }
        record->result.set(std::move(result));
    });
}

bool prefetchedTexels(const char* name, const uint8_t** texels, int* pitch) {
    if (name == nullptr) {
        return false;
    }
    for (const std::shared_ptr<PrefetchedImage>& record : prefetched) {
        if (record->name != name) {
            continue;
        }
        const PrefetchResult& result = record->result.wait();
        const int width = nextPowerOfTwoAbove(record->w);
        if (!result.decoded || width <= 0 ||
            result.texels.size() < static_cast<size_t>(width) * 4 * record->h) {
            return false;
        }
        *texels = result.texels.data();
        *pitch = width * 4;
        return true;
    }
    return false;
}

void dropPrefetchedImages() {
    for (const std::shared_ptr<PrefetchedImage>& record : prefetched) {
        record->result.take();
    }
    prefetched.clear();
}

TextureEntry* createTexture(const char* name, int width, int height, int32_t format,
                            bool renderTarget) {
    if (!name) {
        return nullptr;
    }
    if (TextureEntry* found = findTexture(name)) {
        return found;
    }
    std::vector<uint8_t> empty;
    if (width > 0 && height > 0) {
        empty.assign(static_cast<size_t>(width) * height * 4, 0);
    }
    return createTextureWith(name, width, height, format, renderTarget,
                             empty.empty() ? nullptr : empty.data());
}

void releaseTexture(TextureEntry* entry) {
    for (int i = 0; i < textureTable.count; ++i) {
        if (textureTable.entries[i] != entry) {
            continue;
        }
        if (entry->texture && renderBackend()) {
            renderBackend()->releaseTexture(entry->texture);
        }
        delete entry;
        for (int j = i + 1; j < textureTable.count; ++j) {
            textureTable.entries[j - 1] = textureTable.entries[j];
        }
        textureTable.entries[--textureTable.count] = nullptr;
        return;
    }
}

void releaseAllTextures() {
    for (int i = 0; i < textureTable.count; ++i) {
        TextureEntry* entry = textureTable.entries[i];
        if (entry->texture && renderBackend()) {
            renderBackend()->releaseTexture(entry->texture);
        }
        delete entry;
        textureTable.entries[i] = nullptr;
    }
    textureTable.count = 0;
}

void releaseRenderTargets() {
    for (int i = 0; i < textureTable.count; ++i) {
        TextureEntry* entry = textureTable.entries[i];
        if (entry->isRenderTarget && entry->texture) {
            if (renderBackend()) {
                renderBackend()->releaseTexture(entry->texture);
            }
            entry->texture = 0;
        }
    }
}

void recreateRenderTargets() {
    RenderBackend* backend = renderBackend();
    if (!backend) {
        return;
    }
    int modeWidth = renderDevice.selectedMode.width;
    for (int i = 0; i < textureTable.count; ++i) {
        TextureEntry* entry = textureTable.entries[i];
        if (!entry->isRenderTarget || entry->texture) {
            continue;
        }
        int height = modeWidth >= 512 ? entry->height : 256;
        std::vector<uint8_t> empty(static_cast<size_t>(entry->width) * height * 4, 0);
        entry->texture = backend->createTexture(entry->width, height, empty.data());
    }
}

// The device binds the entry's texture on stage 0, or none.
void bindTexture(const TextureEntry* entry) {
    bindTextureHandle(entry ? entry->texture : 0);
}

}  // namespace corsavel
