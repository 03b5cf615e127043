// The settings record: any 44 bytes decode to values in range, and writing
// those values and reading them back gives the same values.
#include <cstdint>
#include <cstdlib>

#include "platform/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    if (size != static_cast<size_t>(kSettingsRecordSize)) {
        return 0;
    }
    Settings s = defaultSettings();
    decodeSettings(data, &s);
    if (s.musicVolume < 0 || s.musicVolume > 100 || s.effectsVolume < 0 || s.effectsVolume > 100)
        std::abort();
    if (s.profileCount < 0 || s.profileCount > kMaxProfiles)
        std::abort();
    if (s.currentProfile < 0 || (s.profileCount > 0 && s.currentProfile >= s.profileCount))
        std::abort();
    if (s.profileCount == 0 && s.currentProfile != 0)
        std::abort();
    uint8_t again[kSettingsRecordSize];
    encodeSettings(s, again);
    Settings t = defaultSettings();
    decodeSettings(again, &t);
    if (t.musicVolume != s.musicVolume || t.effectsVolume != s.effectsVolume ||
        t.profileCount != s.profileCount || t.currentProfile != s.currentProfile ||
        t.showTips != s.showTips || t.customCursor != s.customCursor ||
        t.fullScreen != s.fullScreen)
        std::abort();
    return 0;
}
