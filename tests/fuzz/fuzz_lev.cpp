// Scene files: any bytes give at most the layers that are really there.
#include <cstdint>
#include <cstdlib>

#include "gfx/background.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    static LayerRecord records[kMaxBackgroundLayers];
    int32_t count = -1;
    const bool ok = parseSceneFile(data, size, records, kMaxBackgroundLayers, &count);
    if (count < 0 || count > kMaxBackgroundLayers) {
        std::abort();
    }
    if (ok && static_cast<size_t>(kSceneHeaderSize) + static_cast<size_t>(count) * kLayerRecordSize >
                  size) {
        std::abort();
    }
    for (int32_t i = 0; i < count; ++i) {
        if (records[i].name[kSceneNameSize - 1] != '\0') {
            std::abort();
        }
        layerKindOf(records[i].name);
    }
    return 0;
}
