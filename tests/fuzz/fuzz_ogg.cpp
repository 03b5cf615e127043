#include <cstddef>
#include <cstdint>

#include "audio/ogg_decode.h"

using namespace corsavel;

// Any bytes either decode to a sample within the format and length limits,
// or are refused with nothing kept.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedSample sample;
    if (!decodeOgg(data, size, sample)) {
        if (!sample.pcm.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const bool shapeOk = (sample.channels == 1 || sample.channels == 2) &&
                         sample.rate >= kMinSampleRate && sample.rate <= kMaxSampleRate &&
                         sample.pcm.size() % static_cast<size_t>(sample.channels) == 0;
    if (!shapeOk || sample.frames() <= 0 || sample.frames() > kMaxSampleSeconds * sample.rate) {
        __builtin_trap();
    }
    return 0;
}
