#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/jpeg.h"
#include "gfx/texture_image.h"

using namespace corsavel;

// Plain JPEG pictures (splash and loading screens, backgrounds, the colour
// part of every alpha-JPEG): any bytes decode to an image within the edge
// limit whose pixel buffer matches its size, or fail with nothing kept.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so any read past the end is caught.
    const std::vector<uint8_t> bytes(data, data + size);
    DecodedImage image;
    if (!decodeJpeg(bytes.data(), bytes.size(), &image)) {
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxImageEdge ||
        image.height > kMaxImageEdge ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        __builtin_trap();
    }
    return 0;
}
