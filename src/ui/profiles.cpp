#include "ui/profiles.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "game/game_state.h"
#include "game/rules.h"
#include "game/saved_game.h"
#include "platform/paths.h"
#include "ui/settings_folder.h"

namespace corsavel {

// "profiles.dat" holds the records exactly as in memory, little-endian.
static_assert(std::endian::native == std::endian::little);

ProfileTable profileTable;

namespace {

constexpr int32_t kMaxLives = 99;

bool nameTaken(const char* name, int32_t except) {
    for (int32_t i = 0; i < profileTable.count; ++i) {
        if (i != except &&
            std::strncmp(profileTable.records[i].name, name, kProfileNameSize) == 0) {
            return true;
        }
    }
    return false;
}

uint8_t oneOrZero(uint8_t v) {
    return v != 0 ? 1 : 0;
}

// A position (stage, index) inside the 100 levels.
void clampPosition(int32_t& stage, int32_t& index) {
    stage = std::clamp(stage, 0, kStageCount - 1);
    index = std::clamp(index, 0, kStageSizes[stage] - 1);
}

// Moves one saved game to a new name; a missing file is nothing to move.
bool moveSavedGame(const Profile& from, const Profile& to, int mode) {
    char oldName[64];
    char newName[64];
    char oldPath[kMaxPath];
    char newPath[kMaxPath];
    if (!savedGameFileName(from, mode, oldName, sizeof oldName) ||
        !savedGameFileName(to, mode, newName, sizeof newName) ||
        !settingsFilePath(oldName, oldPath, sizeof oldPath) ||
        !settingsFilePath(newName, newPath, sizeof newPath)) {
        return false;
    }
    return std::rename(oldPath, newPath) == 0 || errno == ENOENT;
}

}  // namespace

bool isValidProfileName(const char* name, int fieldSize) {
    if (name == nullptr) {
        return false;
    }
    bool visible = false;
    const int limit = std::min(fieldSize, kProfileNameMaxLength + 1);
    for (int i = 0; i < limit; ++i) {
        const char c = name[i];
        if (c == 0) {
            return visible;
        }
        if (c == ' ') {
            continue;
        }
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
        visible = true;
    }
    return false;
}

bool sanitizeProfile(Profile& p) {
    if (!isValidProfileName(p.name)) {
        return false;
    }
    const size_t length = std::strlen(p.name);
    std::memset(p.name + length, 0, sizeof p.name - length);
    for (int m = 0; m < 2; ++m) {
        clampPosition(p.currentStage[m], p.currentIndex[m]);
        clampPosition(p.unlockedStage[m], p.unlockedIndex[m]);
        p.lives[m] = std::clamp(p.lives[m], 0, kMaxLives);
        p.score[m] = std::max(p.score[m], 0);
        p.savedGame[m] = oneOrZero(p.savedGame[m]);
    }
    p.lastMode = p.lastMode == 1 ? 1 : 0;
    p.helpShown = oneOrZero(p.helpShown);
    p.tipPowerupShown = oneOrZero(p.tipPowerupShown);
    p.tipRelaxShown = oneOrZero(p.tipRelaxShown);
    p.tipSquareShown = oneOrZero(p.tipSquareShown);
    p.tipChainShown = oneOrZero(p.tipChainShown);
    p.quickLearnerVoice = oneOrZero(p.quickLearnerVoice);
    std::memset(p.reserved81, 0, sizeof p.reserved81);
    std::memset(p.reserved95, 0, sizeof p.reserved95);
    p.reserved103 = 0;
    return true;
}

Profile* currentProfileRecord() {
    if (profileTable.count <= 0) {
        return nullptr;
    }
    return &profileTable.records[std::clamp(profileTable.current, 0, profileTable.count - 1)];
}

void syncActiveProfile() {
    ProfileTable& t = profileTable;
    t.count = std::clamp(t.count, 0, kMaxProfiles);
    if (t.current < 0 || t.current >= t.count) {
        t.current = 0;
    }
    setActiveProfile(currentProfileRecord());
}

bool createProfile(const char* name) {
    ProfileTable& t = profileTable;
    if (!isValidProfileName(name) || t.count >= kMaxProfiles || nameTaken(name, -1)) {
        return false;
    }
    Profile& p = t.records[t.count];
    p = Profile{};
    std::snprintf(p.name, sizeof p.name, "%s", name);
    t.current = t.count;
    t.count += 1;
    syncActiveProfile();
    return true;
}

bool renameProfile(int32_t index, const char* name) {
    ProfileTable& t = profileTable;
    if (index < 0 || index >= t.count || !isValidProfileName(name) || nameTaken(name, index)) {
        return false;
    }
    Profile& p = t.records[index];
    Profile renamed = p;
    std::memset(renamed.name, 0, sizeof renamed.name);
    std::snprintf(renamed.name, sizeof renamed.name, "%s", name);
    if (std::strcmp(p.name, renamed.name) == 0) {
        return true;
    }
    // The saved games follow the name; when one cannot be moved the rename
    // is undone, so the flags never point at a file under another name.
    if (!moveSavedGame(p, renamed, 0)) {
        return false;
    }
    if (!moveSavedGame(p, renamed, 1)) {
        moveSavedGame(renamed, p, 0);
        return false;
    }
    p = renamed;
    // The files moved now: the table follows at once (its count is unchanged).
    saveProfiles();
    return true;
}

bool removeProfile(int32_t index) {
    ProfileTable& t = profileTable;
    if (index < 0 || index >= t.count) {
        return false;
    }
    for (int32_t i = index; i + 1 < t.count; ++i) {
        t.records[i] = t.records[i + 1];
    }
    t.count -= 1;
    t.records[t.count] = Profile{};
    if (t.current >= index) {
        t.current = std::max(t.current - 1, 0);
    }
    if (t.count == 0) {
        t.current = 0;
    }
    syncActiveProfile();
    return true;
}

bool selectProfile(int32_t index) {
    if (index < 0 || index >= profileTable.count) {
        return false;
    }
    profileTable.current = index;
    syncActiveProfile();
    return true;
}

void decodeProfiles(const uint8_t* data, int64_t size, int32_t count, int32_t current,
                    bool countKnown, ProfileTable* out) {
    *out = ProfileTable{};
    if (data == nullptr || size <= 0 || size > kProfilesFileMaxSize ||
        size % kProfileRecordSize != 0) {
        return;
    }
    const int32_t inFile = static_cast<int32_t>(size / kProfileRecordSize);
    const int32_t wanted = countKnown ? std::clamp(count, 0, inFile) : inFile;
    // A dropped record moves the later ones down, the current one with them;
    // a dropped current record leaves the first one current.
    int32_t kept = 0;
    for (int32_t i = 0; i < wanted; ++i) {
        Profile p;
        std::memcpy(&p, data + static_cast<ptrdiff_t>(i) * kProfileRecordSize, sizeof p);
        if (!sanitizeProfile(p)) {
            continue;
        }
        if (i == current) {
            kept = out->count;
        }
        out->records[out->count++] = p;
    }
    out->current = kept;
}

void loadProfiles() {
    static uint8_t buffer[kProfilesFileMaxSize + 1];
    const int64_t size = readSettingsFile(kProfilesFileName, buffer, kProfilesFileMaxSize);
    decodeProfiles(buffer, size, settings.profileCount, settings.currentProfile,
                   settings.loadedFromRecord, &profileTable);
    syncActiveProfile();
}

bool saveProfiles() {
    const int32_t count = std::clamp(profileTable.count, 0, kMaxProfiles);
    return writeSettingsFolderFile(kProfilesFileName, profileTable.records,
                                   static_cast<size_t>(count) * kProfileRecordSize);
}

bool savedGameFileName(const Profile& p, int mode, char* out, int capacity) {
    if (!isValidProfileName(p.name)) {
        return false;
    }
    const int n = std::snprintf(out, static_cast<size_t>(capacity),
                                mode == 1 ? "%s_ndl.sav" : "%s_cls.sav", p.name);
    return n > 0 && n < capacity;
}

bool saveGame() {
    Profile* p = currentProfileRecord();
    if (p == nullptr || !canSaveGame()) {
        return false;
    }
    const int mode = session.gameMode == 1 ? 1 : 0;
    char name[64];
    if (!savedGameFileName(*p, mode, name, sizeof name)) {
        return false;
    }
    static uint8_t buffer[kSavedGameSize];
    if (writeSavedGame(buffer, kSavedGameSize) != kSavedGameSize ||
        !writeSettingsFolderFile(name, buffer, kSavedGameSize)) {
        return false;
    }
    p->savedGame[mode] = 1;
    p->score[mode] = game.scores.bankedScore + game.scores.scoreShown;
    return true;
}

bool loadGame() {
    Profile* p = currentProfileRecord();
    if (p == nullptr) {
        return false;
    }
    const int mode = session.gameMode == 1 ? 1 : 0;
    session.currentLevel = progressLevel(*p);
    startLevel(session.currentLevel);
    char name[64];
    if (!savedGameFileName(*p, mode, name, sizeof name)) {
        return false;
    }
    static uint8_t buffer[kSavedGameSize + 1];
    const int64_t size = readSettingsFile(name, buffer, kSavedGameSize);
    if (size != kSavedGameSize || !readSavedGame(buffer, kSavedGameSize)) {
        return false;
    }
    // A saved level was past its first move: resumed, it may be saved again
    // (closing the window right after loading must not lose the save).
    game.match.moveMade = true;
    return true;
}

}  // namespace corsavel
