#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/texture_image.h"

namespace corsavel {

// Decodes a baseline or progressive JPEG to RGBA (alpha 255). False for
// anything the decoder rejects, including data that ends early.
bool decodeJpeg(const uint8_t* data, size_t size, DecodedImage* out);

// Splits an alpha-JPEG file at the first FF D9 pair: the JPEG part is up to
// and including the pair, the alpha plane the rest. Without the pair the
// whole file is the JPEG part and the plane is empty.
void splitAlphaJpeg(const uint8_t* data, size_t size, size_t* jpegSize);

// Decodes an alpha-JPEG: the JPEG part, then the plane bytes written into
// the alpha of consecutive texels from the first on, as many as fit.
bool decodeAlphaJpeg(const uint8_t* data, size_t size, DecodedImage* out);

// Writes plane byte k = row * planeWidth + column into the alpha of texel
// (column, row) of the image, for the part of the plane that lies inside it.
void applyAlphaPlane(const uint8_t* plane, size_t planeSize, int planeWidth, DecodedImage* image);

}  // namespace corsavel
