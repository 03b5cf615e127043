#pragma once

#include <cstdint>

namespace corsavel {


// The start-up load: creates the "settings" folder, reads the profiles (count
// and index from the settings record), the level records and the hiscores,
// and makes the starter profile when there is none. `seed` drives the
// default record holders only. Once loaded, a later call keeps the live
// tables (forgetPlayerTables starts over).
void loadPlayerTables(uint32_t seed);

// True once the start-up load has read the tables.
bool playerTablesLoaded();
// Empties the tables as before the start-up load (a restart in one process).
void forgetPlayerTables();

// Copies the table's count and current index into the live settings.
void storeProfileCountInSettings();

// The tables' part of a save-all, written before the settings record that
// holds their count: "profiles.dat", "records.dat", "hiscore.dat". Returns
// whether "profiles.dat" was written; when it was not, the settings record
// must not be written either, so its count keeps matching the file on disk.
// Before the start-up load nothing is written and the result is true.
bool savePlayerTables();

}  // namespace corsavel
