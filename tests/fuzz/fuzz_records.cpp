// "records.dat" bytes: every level record read back holds zero-terminated
// printable names and values in range, and a result recorded on it keeps
// them so.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/score_tables.h"

namespace {

bool goodName(const char* field, int size) {
    const void* end = std::memchr(field, 0, static_cast<size_t>(size));
    if (end == nullptr) {
        return false;
    }
    for (const char* c = field; c != end; ++c) {
        if (*c < 0x20 || *c > 0x7E) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    // The first 12 bytes choose a result to record; the rest is the file.
    if (size < 12) {
        return 0;
    }
    int32_t level = 0;
    int32_t score = 0;
    float elapsed = 0.0f;
    std::memcpy(&level, data, 4);
    std::memcpy(&score, data + 4, 4);
    std::memcpy(&elapsed, data + 8, 4);
    std::vector<uint8_t> file(data + 12, data + size);
    decodeRecords(file.data(), static_cast<int64_t>(file.size()), 7, &scoreTables);
    Profile p{};
    std::memcpy(p.name, "FUZZ", 5);
    recordLevelResult(p, level & 1, level >> 1, score, elapsed);
    for (const auto& mode : scoreTables.records) {
        for (const LevelRecord& r : mode) {
            if (!goodName(r.scoreHolder, kHolderNameSize) ||
                !goodName(r.timeHolder, kHolderNameSize))
                std::abort();
            if (r.bestTimeMs < 0 || r.bestTimeMs > kDefaultBestTimeMs)
                std::abort();
        }
    }
    return 0;
}
