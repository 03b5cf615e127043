#include "ui/player_tables.h"

#include <cstdio>

#include "platform/paths.h"
#include "platform/settings_store.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"
#include "ui/settings_folder.h"

namespace corsavel {

namespace {

// Until the start-up load has read the tables there is nothing of this run
// to write: saving an empty table then would erase every profile on disk.
bool tablesLoaded = false;

}  // namespace

void loadPlayerTables(uint32_t seed) {
    // Read once per run: a second one-time load keeps the live tables.
    if (tablesLoaded) {
        return;
    }
    char folder[kMaxPath];
    const int n = std::snprintf(folder, sizeof folder, "%ssettings", paths.userDirectory);
    if (n > 0 && n < static_cast<int>(sizeof folder)) {
        makeDirectories(folder);
    }
    removeStaleTemporaryFiles();
    loadProfiles();
    loadScoreTables(seed);
    syncActiveProfile();
    tablesLoaded = true;
    storeProfileCountInSettings();
}

bool playerTablesLoaded() {
    return tablesLoaded;
}

void forgetPlayerTables() {
    tablesLoaded = false;
    profileTable = ProfileTable{};
    scoreTables = ScoreTables{};
    syncActiveProfile();
}

void storeProfileCountInSettings() {
    if (!tablesLoaded) {
        return;
    }
    settings.profileCount = profileTable.count;
    settings.currentProfile = profileTable.count > 0 ? profileTable.current : 0;
}

bool savePlayerTables() {
    if (!tablesLoaded) {
        return true;
    }
    const bool profilesWritten = saveProfiles();
    saveScoreTables();
    return profilesWritten;
}

}  // namespace corsavel
