#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/texture_image.h"

namespace corsavel {

// Decodes a true-colour TGA (uncompressed or run-length encoded, 24 or 32
// bits, either vertical or horizontal origin). 24-bit pixels get alpha 255.
// False for any other kind or for data that ends early.
bool decodeTga(const uint8_t* data, size_t size, DecodedImage* out);

}  // namespace corsavel
