#pragma once

#include <cstdint>

#include "game/progress.h"

namespace corsavel {

// Per mode and level: the best score and the best time, with who set them.
constexpr int kHolderNameSize = 20;
constexpr int32_t kDefaultBestTimeMs = 1000000;

struct LevelRecord {
    char scoreHolder[kHolderNameSize];
    char timeHolder[kHolderNameSize];
    int32_t bestScore;
    int32_t bestTimeMs;
};
static_assert(sizeof(LevelRecord) == 48);

// Per mode the ten best game scores, best first.
constexpr int kHiscoreCount = 10;
constexpr int kHiscoreNameSize = 32;

struct HiscoreEntry {
    char name[kHiscoreNameSize];
    int32_t score;
};
static_assert(sizeof(HiscoreEntry) == 36);

constexpr int kRecordsFileSize = 2 * kLevelCount * static_cast<int>(sizeof(LevelRecord));
constexpr int kHiscoresFileSize = 2 * kHiscoreCount * static_cast<int>(sizeof(HiscoreEntry));
static_assert(kRecordsFileSize == 9600);
static_assert(kHiscoresFileSize == 720);

struct ScoreTables {
    LevelRecord records[2][kLevelCount] = {};
    HiscoreEntry hiscores[2][kHiscoreCount] = {};
    // The entry inserted last in this run (-1: none); the hiscore page clears it.
    int32_t highlight = -1;
};

extern ScoreTables scoreTables;

// The ten default names: the text at "defname1" and the nine after it.
const char* defaultName(int k);

// Defaults of a first run. The record holders are drawn from a generator of
// their own seeded with `seed`, so making them never moves the rules' draws.
void defaultRecords(ScoreTables* t, uint32_t seed);
// Entry j of mode m: default name j, score 15000 (18000 in mode 1) x (10 - j).
void defaultHiscores(ScoreTables* t, int mode);

// Decode a file's bytes (size -1: missing). A missing file or one of another
// size gives the table's defaults. A level record whose names are not
// zero-terminated text or whose values are out of range gets its default; a
// mode's hiscores that are not ten valid entries in descending order get
// their defaults.
void decodeRecords(const uint8_t* data, int64_t size, uint32_t seed, ScoreTables* t);
void decodeHiscores(const uint8_t* data, int64_t size, ScoreTables* t);

// The start-up read of "records.dat" and "hiscore.dat".
void loadScoreTables(uint32_t seed);
// Both files written whole; false when either write failed.
bool saveScoreTables();

// A finished level of `mode`: a strictly better score or a strictly shorter
// time takes the record under the profile's name (ties keep the old holder),
// then the profile's score enters the hiscores.
void recordLevelResult(const Profile& p, int mode, int32_t level, int32_t levelScore,
                       float elapsedMs);
// Inserts the profile's name and score for its last mode below every entry
// with at least that score; a score no higher than the tenth stays out.
// Returns the new entry's index, or -1.
int32_t insertHiscore(const Profile& p, int mode);

}  // namespace corsavel
