#include <cstddef>
#include <cstdint>

#include "gfx/jpeg.h"

using namespace corsavel;

// Any bytes either decode to an image whose pixel buffer matches its size,
// with the alpha plane bounded by it, or fail.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t jpegSize = 0;
    splitAlphaJpeg(data, size, &jpegSize);
    if (jpegSize > size) {
        __builtin_trap();
    }
    DecodedImage image;
    if (!decodeAlphaJpeg(data, size, &image)) {
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        __builtin_trap();
    }
    // A narrower plane layout must stay inside the image as well.
    applyAlphaPlane(data, size, 3, &image);
    return 0;
}
