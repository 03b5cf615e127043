// "profiles.dat" bytes with a settings count and index: every record kept
// has a name the name entry allows (so its saved-game file name stays in
// the settings folder) and values in range, and a second pass changes
// nothing.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/profiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    if (size < 2) {
        return 0;
    }
    const int32_t count = static_cast<int8_t>(data[0]);
    const int32_t current = static_cast<int8_t>(data[1]);
    const bool known = (data[0] & 0x80) == 0;
    std::vector<uint8_t> file(data + 2, data + size);
    static ProfileTable table;
    decodeProfiles(file.data(), static_cast<int64_t>(file.size()), count, current, known, &table);
    if (table.count < 0 || table.count > kMaxProfiles)
        std::abort();
    if (table.current < 0 || (table.count > 0 && table.current >= table.count))
        std::abort();
    if (table.count == 0 && table.current != 0)
        std::abort();
    for (int32_t i = 0; i < table.count; ++i) {
        Profile p = table.records[i];
        if (!isValidProfileName(p.name))
            std::abort();
        char name[64];
        if (!savedGameFileName(p, i & 1, name, sizeof name))
            std::abort();
        if (std::strchr(name, '/') != nullptr || name[0] == '.')
            std::abort();
        for (int m = 0; m < 2; ++m) {
            if (progressLevel(p) < 0 || progressLevel(p) >= kLevelCount)
                std::abort();
            if (p.lives[m] < 0 || p.score[m] < 0 || p.savedGame[m] > 1)
                std::abort();
        }
        const Profile before = p;
        if (!sanitizeProfile(p) || std::memcmp(&p, &before, sizeof p) != 0)
            std::abort();
    }
    return 0;
}
