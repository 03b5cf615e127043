// Archive parsing on arbitrary bytes: every entry stays inside the buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "resources/asset_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    auto* buffer = static_cast<uint8_t*>(std::malloc(size + 1));
    std::memcpy(buffer, data, size);
    parseArchive(buffer, size);
    for (int i = 0; i < assetRegistry.count; ++i) {
        const AssetEntry* entry = assetRegistry.entries[i];
        if (entry->data < buffer || entry->data + entry->size > buffer + size) std::abort();
        if (findAsset(entry->name) == nullptr) std::abort();
    }
    clearAssetRegistry();
    std::free(buffer);
    return 0;
}
