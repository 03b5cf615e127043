// "hiscore.dat" bytes: each mode's table read back is ten zero-terminated
// entries in descending order, and inserting any score keeps it so.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/score_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    if (size < 5) {
        return 0;
    }
    int32_t score = 0;
    std::memcpy(&score, data, 4);
    const int mode = data[4] & 1;
    std::vector<uint8_t> file(data + 5, data + size);
    decodeHiscores(file.data(), static_cast<int64_t>(file.size()), &scoreTables);
    Profile p{};
    std::memcpy(p.name, "FUZZ", 5);
    p.lastMode = static_cast<uint8_t>(mode);
    p.score[mode] = score;
    const int32_t at = insertHiscore(p, mode);
    if (at < -1 || at >= kHiscoreCount || scoreTables.highlight != at)
        std::abort();
    for (const auto& table : scoreTables.hiscores) {
        for (int j = 0; j < kHiscoreCount; ++j) {
            if (std::memchr(table[j].name, 0, kHiscoreNameSize) == nullptr)
                std::abort();
            if (j > 0 && table[j].score > table[j - 1].score)
                std::abort();
        }
    }
    return 0;
}
