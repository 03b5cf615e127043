#include <cstddef>
#include <cstdint>

#include "gfx/tga.h"

using namespace corsavel;

// Any bytes either decode to an image whose pixel buffer matches its size
// within the edge limit, or fail.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedImage image;
    if (!decodeTga(data, size, &image)) {
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxImageEdge ||
        image.height > kMaxImageEdge ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        __builtin_trap();
    }
    return 0;
}
