#include "ui/score_tables.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "resources/text_table.h"
#include "ui/settings_folder.h"

namespace corsavel {

static_assert(std::endian::native == std::endian::little);

ScoreTables scoreTables;

namespace {

constexpr const char* kFallbackNames[kHiscoreCount] = {
    "EXPLORER", "CAPTAIN",      "NAVIGATOR", "DIVER",     "SCOUT",
    "TRADER",   "CARTOGRAPHER", "LOOKOUT",   "BOATSWAIN", "DECKHAND"};

// Copies at most size - 1 characters and zero-fills the rest of the field.
void copyName(char* field, int size, const char* name) {
    std::memset(field, 0, static_cast<size_t>(size));
    if (name != nullptr) {
        std::memcpy(field, name, strnlen(name, static_cast<size_t>(size - 1)));
    }
}

// A stored name: printable text ending with its zero inside the field. The
// bytes after the zero are cleared.
bool checkName(char* field, int size) {
    const void* end = std::memchr(field, 0, static_cast<size_t>(size));
    if (end == nullptr) {
        return false;
    }
    const int length = static_cast<int>(static_cast<const char*>(end) - field);
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    std::memset(field + length, 0, static_cast<size_t>(size - length));
    return true;
}

// The classic small generator, private to the defaults.
struct NameDraw {
    uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

void defaultRecord(LevelRecord* r, NameDraw* draw) {
    copyName(r->scoreHolder, kHolderNameSize, defaultName(draw->next() % kHiscoreCount));
    copyName(r->timeHolder, kHolderNameSize, defaultName(draw->next() % kHiscoreCount));
    r->bestScore = 0;
    r->bestTimeMs = kDefaultBestTimeMs;
}

bool checkRecord(LevelRecord* r) {
    return checkName(r->scoreHolder, kHolderNameSize) &&
           checkName(r->timeHolder, kHolderNameSize) && r->bestScore >= 0 && r->bestTimeMs >= 0 &&
           r->bestTimeMs <= kDefaultBestTimeMs;
}

bool checkHiscores(HiscoreEntry* entries) {
    for (int j = 0; j < kHiscoreCount; ++j) {
        if (!checkName(entries[j].name, kHiscoreNameSize) || entries[j].score < 0 ||
            (j > 0 && entries[j].score > entries[j - 1].score)) {
            return false;
        }
    }
    return true;
}

}  // namespace

const char* defaultName(int k) {
    k = std::clamp(k, 0, kHiscoreCount - 1);
    const int32_t first = textIndex("defname1");
    const char* text = nullptr;
    // Only a table that holds "defname1" gives its run of names.
    if (findText("defname1") != nullptr) {
        text = textAt(first + k);
    }
    return text != nullptr && text[0] != 0 ? text : kFallbackNames[k];
}

void defaultRecords(ScoreTables* t, uint32_t seed) {
    NameDraw draw{seed};
    for (auto& mode : t->records) {
        for (LevelRecord& r : mode) {
            defaultRecord(&r, &draw);
        }
    }
}

void defaultHiscores(ScoreTables* t, int mode) {
    const int32_t step = mode == 1 ? 18000 : 15000;
    for (int j = 0; j < kHiscoreCount; ++j) {
        copyName(t->hiscores[mode][j].name, kHiscoreNameSize, defaultName(j));
        t->hiscores[mode][j].score = step * (kHiscoreCount - j);
    }
}

void decodeRecords(const uint8_t* data, int64_t size, uint32_t seed, ScoreTables* t) {
    defaultRecords(t, seed);
    if (data == nullptr || size != kRecordsFileSize) {
        return;
    }
    NameDraw draw{seed ^ 0x5EEDu};
    for (int m = 0; m < 2; ++m) {
        for (int n = 0; n < kLevelCount; ++n) {
            LevelRecord r;
            std::memcpy(&r, data + (m * kLevelCount + n) * static_cast<int>(sizeof r), sizeof r);
            if (checkRecord(&r)) {
                t->records[m][n] = r;
            } else {
                defaultRecord(&t->records[m][n], &draw);
            }
        }
    }
}

void decodeHiscores(const uint8_t* data, int64_t size, ScoreTables* t) {
    defaultHiscores(t, 0);
    defaultHiscores(t, 1);
    if (data == nullptr || size != kHiscoresFileSize) {
        return;
    }
    for (int m = 0; m < 2; ++m) {
        HiscoreEntry entries[kHiscoreCount];
        std::memcpy(entries, data + m * kHiscoreCount * static_cast<int>(sizeof(HiscoreEntry)),
                    sizeof entries);
        if (checkHiscores(entries)) {
            std::memcpy(t->hiscores[m], entries, sizeof entries);
        }
    }
}

void loadScoreTables(uint32_t seed) {
    static uint8_t buffer[kRecordsFileSize + 1];
    int64_t size = readSettingsFile(kRecordsFileName, buffer, kRecordsFileSize);
    decodeRecords(buffer, size, seed, &scoreTables);
    size = readSettingsFile(kHiscoresFileName, buffer, kHiscoresFileSize);
    decodeHiscores(buffer, size, &scoreTables);
    scoreTables.highlight = -1;
}

bool saveScoreTables() {
    const bool records =
        writeSettingsFolderFile(kRecordsFileName, scoreTables.records, sizeof scoreTables.records);
    const bool hiscores = writeSettingsFolderFile(kHiscoresFileName, scoreTables.hiscores,
                                                  sizeof scoreTables.hiscores);
    return records && hiscores;
}

void recordLevelResult(const Profile& p, int mode, int32_t level, int32_t levelScore,
                       float elapsedMs) {
    mode = mode == 1 ? 1 : 0;
    if (level >= 0 && level < kLevelCount) {
        LevelRecord& r = scoreTables.records[mode][level];
        if (r.bestScore < levelScore) {
            copyName(r.scoreHolder, kHolderNameSize, p.name);
            r.bestScore = levelScore;
        }
        if (std::isfinite(elapsedMs) && elapsedMs >= 0.0f &&
            static_cast<float>(r.bestTimeMs) > elapsedMs) {
            copyName(r.timeHolder, kHolderNameSize, p.name);
            r.bestTimeMs = static_cast<int32_t>(elapsedMs);
        }
    }
    insertHiscore(p, mode);
}

int32_t insertHiscore(const Profile& p, int mode) {
    mode = mode == 1 ? 1 : 0;
    HiscoreEntry* entries = scoreTables.hiscores[mode];
    scoreTables.highlight = -1;
    const int32_t s = p.score[profileMode(p)];
    int i = 0;
    while (i < kHiscoreCount && entries[i].score >= s) {
        ++i;
    }
    if (i == kHiscoreCount) {
        return -1;
    }
    for (int j = kHiscoreCount - 1; j > i; --j) {
        entries[j] = entries[j - 1];
    }
    copyName(entries[i].name, kHiscoreNameSize, p.name);
    entries[i].score = s;
    scoreTables.highlight = i;
    return i;
}

}  // namespace corsavel
