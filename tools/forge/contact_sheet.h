#pragma once

#include <string>
#include <vector>

#include "forge/forge.h"
#include "forge/image.h"

#define CORSAVEL_FORGE_CONTACT_SHEET 1

namespace corsavel::forge {

// Decodes a forged image back into pixels: TGA (types 2 and 10), JPEG and the
// alpha-JPEG (JPEG up to the first FF D9, then one alpha byte per pixel).
// Returns an empty image when the bytes are none of these.
Image decodeForgedImage(const std::string& name, const std::vector<uint8_t>& bytes);

// Writes a PNG at pngPath (RGBA, 8 bits per channel).
bool writePng(const Image& image, const std::string& pngPath);

// One PNG showing every image of out scaled down on a checkerboard, with its
// name written under it; returns false when the file cannot be written.
bool writeContactSheet(const ForgeOutput& out, const std::string& pngPath);

}  // namespace corsavel::forge
