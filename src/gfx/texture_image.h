#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corsavel {

// Largest image edge the decoders accept; larger headers are refused
// before anything is allocated.
constexpr int kMaxImageEdge = 4096;

// A decoded picture: RGBA8, top row first, rows width x 4 bytes apart.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

}  // namespace corsavel
