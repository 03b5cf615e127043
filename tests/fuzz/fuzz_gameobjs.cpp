// The scene-object manifest: any text fills at most the tables' entries,
// each name and file name terminated, read only within the given bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/background.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    // An exact-size copy without a terminator: reading past it is a fault.
    std::vector<char> text(data, data + size);
    static ManifestItem items[kMaxSceneEntries];
    static char groups[kMaxSceneGroups][kSceneNameSize];
    int32_t count = -1;
    int32_t groupCount = -1;
    parseSceneManifest(text.data(), text.size(), items, kMaxSceneEntries, &count, groups,
                       &groupCount);
    if (count < 0 || count > kMaxSceneEntries || groupCount < 0 || groupCount > kMaxSceneGroups) {
        std::abort();
    }
    for (int32_t i = 0; i < count; ++i) {
        if (std::memchr(items[i].name, 0, sizeof items[i].name) == nullptr ||
            std::memchr(items[i].file, 0, sizeof items[i].file) == nullptr ||
            items[i].group < 0 || items[i].group >= kMaxSceneGroups) {
            std::abort();
        }
    }
    return 0;
}
