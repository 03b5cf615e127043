#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gfx/texture.h"
#include "gfx/texture_image.h"
#include "platform/null_device.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

using namespace corsavel;

namespace {

// One image file served from the registry under `name`, as the archives
// serve them; the loader's own cache entry is forgotten afterwards.
void serve(const char* name, const uint8_t* data, size_t size) {
    auto* copy = static_cast<uint8_t*>(std::malloc(size > 0 ? size : 1));
    if (size > 0) {
        std::memcpy(copy, data, size);
    }
    registerAsset(name, static_cast<int32_t>(size), copy, true);
}

// A loaded texture has the decoder's bounded size; a fixed-size one has the
// power-of-two sides just above the size asked for.
void check(const TextureEntry* entry, int w = 0, int h = 0) {
    if (entry == nullptr) {
        return;
    }
    if (entry->width <= 0 || entry->height <= 0 || entry->width > kMaxImageEdge ||
        entry->height > kMaxImageEdge) {
        __builtin_trap();
    }
    if (w > 0 &&
        (entry->width != nextPowerOfTwoAbove(w) || entry->height != nextPowerOfTwoAbove(h))) {
        __builtin_trap();
    }
}

}  // namespace

// Every way the game turns an image file into a texture, on any bytes: a
// TGA or JPEG by name, a JPEG with its alpha twin, an alpha-JPEG into a
// fixed-size texture, a picture into a fixed-size texture. The first two
// bytes choose the fixed size; each load either gives a texture with
// power-of-two sides or none, and never ends the game (non-fatal loads).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullDevice device;
    static const bool installed = (setRenderBackend(&device), true);
    (void)installed;
    if (size < 2 || size > (1u << 20)) {
        return 0;
    }
    // Up to 1021: the largest fixed size the game asks for is 800.
    const int w = 1 + data[0] * 4;
    const int h = 1 + data[1] * 4;
    data += 2;
    size -= 2;

    serve("fuzz.tga", data, size);
    check(loadTexture("fuzz.tga", false));
    serve("plain.jpg", data, size);
    check(loadTexture("plain.jpg", false));
    serve("_a_twin.jpg", data, size);
    check(loadTexture("twin.tga", false));
    serve("_a_sized.jpg", data, size);
    check(loadAlphaJpegSized("_a_sized.jpg", w, h), w, h);
    serve("sized.tga", data, size);
    check(loadImageSized("sized.tga", w, h), w, h);

    releaseAllTextures();
    clearAssetRegistry();
    return 0;
}
