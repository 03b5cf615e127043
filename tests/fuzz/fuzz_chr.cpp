#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/character.h"

using namespace corsavel;

// Any bytes give a descriptor with both names terminated inside their
// fields, or are refused when shorter than the record.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CharacterFile file;
    const bool ok = parseCharacterFile(data, size, &file);
    if (ok != (size >= kCharacterFileSize)) {
        __builtin_trap();
    }
    if (ok && (std::strlen(file.mesh) >= sizeof file.mesh ||
               std::strlen(file.texture) >= sizeof file.texture)) {
        __builtin_trap();
    }
    return 0;
}
