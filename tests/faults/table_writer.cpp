// The player's tables under a process that may die at any moment.
//
//   corsavel-table-writer write HOME   starts as the game does (settings
//       record, then the tables), then saves without end, each round as the
//       game saves a level: the saved game first, then the save-all of the
//       profiles, records, hiscores and the settings record. Every round
//       stamps a new generation into what it writes.
//   corsavel-table-writer check HOME   starts as the game does and checks
//       that every table is whole; prints the generation it found.
//
// Rounds alternate between two and three profiles, so the profile count of
// the settings record and "profiles.dat" change together. Profile 0 "FIXED"
// never changes: it must be found after every kill.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/load_steps.h"
#include "game/game_state.h"
#include "game/saved_game.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "ui/player_tables.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"
#include "ui/settings_folder.h"

using namespace corsavel;

namespace {

constexpr int32_t kFixedScore = 12345;
// Scores of profile G and X: above every default hiscore.
constexpr long kScoreBase = 1000000;

// The generation a name like "G123" carries; -1 when it has none.
long generationOf(const char* name, char letter) {
    if (name[0] != letter || name[1] < '0' || name[1] > '9') {
        return -1;
    }
    char* end = nullptr;
    const long n = std::strtol(name + 1, &end, 10);
    return *end == 0 ? n : -1;
}

// The saved game of generation g: the level state with g as its banked score.
std::vector<uint8_t> savedGameBytes(long g) {
    game = GameState{};
    game.scores.bankedScore = static_cast<int32_t>(g);
    std::vector<uint8_t> bytes(kSavedGameSize);
    if (writeSavedGame(bytes.data(), kSavedGameSize) != kSavedGameSize) {
        bytes.clear();
    }
    return bytes;
}

void start(const char* home) {
    if (!initPaths(".", home)) {
        std::fprintf(stderr, "table writer: the path does not fit\n");
        std::exit(2);
    }
    readSettings();
    loadPlayerTables(1);
}

int fail(const char* what) {
    std::printf("torn: %s\n", what);
    return 1;
}

int check() {
    const Profile* fixed = profileTable.count > 0 ? &profileTable.records[0] : nullptr;
    if (fixed == nullptr || std::strcmp(fixed->name, "FIXED") != 0 ||
        fixed->score[0] != kFixedScore) {
        return fail("profile FIXED is gone or changed");
    }
    if (profileTable.count < 2) {
        return fail("profile G is gone");
    }
    const Profile& g = profileTable.records[1];
    const long gen = generationOf(g.name, 'G');
    if (gen < 0 || g.score[0] != kScoreBase + gen) {
        return fail("profile G's name and score are from different rounds");
    }
    if (profileTable.count == 3) {
        const Profile& x = profileTable.records[2];
        const long xgen = generationOf(x.name, 'X');
        // A rename writes the table with profile X as it was: a round or more
        // behind G, and when it was new, before its score was set.
        const bool scoreOk = x.score[0] == 0 || x.score[0] == kScoreBase + xgen;
        if (xgen < 0 || !scoreOk || xgen > gen + 1) {
            std::printf("torn: profile %s (score %d) is not from the round of %s\n", x.name,
                        x.score[0], g.name);
            return 1;
        }
    } else if (profileTable.count != 2) {
        return fail("the profile count");
    }
    // The top hiscore is one round's name and score. Each file holds its own
    // last write: a kill between the tables leaves it rounds behind the
    // profiles, never ahead of them.
    const HiscoreEntry& top = scoreTables.hiscores[0][0];
    const long hgen = generationOf(top.name, 'G');
    if (hgen >= 0 && (top.score != kScoreBase + hgen || hgen > gen + 1)) {
        return fail("the top hiscore");
    }
    // Sizes of the files the loaders would quietly accept short.
    static uint8_t buffer[kSavedGameSize + 1];
    if (readSettingsFile("records.dat", buffer, kRecordsFileSize) != kRecordsFileSize) {
        return fail("records.dat");
    }
    if (readSettingsFile("hiscore.dat", buffer, kHiscoresFileSize) != kHiscoresFileSize) {
        return fail("hiscore.dat");
    }
    if (gen > 0) {
        const int64_t n = readSettingsFile("FIXED_cls.sav", buffer, kSavedGameSize);
        bool same = false;
        for (long s = gen; s <= gen + 1 && !same; ++s) {
            const std::vector<uint8_t> expected = savedGameBytes(s);
            same = n == kSavedGameSize && expected.size() == kSavedGameSize &&
                   std::memcmp(buffer, expected.data(), kSavedGameSize) == 0;
        }
        if (!same) {
            return fail("the saved game is not the one of G's round");
        }
    }
    std::printf("whole: generation %ld, %d profiles\n", gen, profileTable.count);
    return 0;
}

[[noreturn]] void writeForever() {
    // A first start makes the fixed profiles.
    if (profileTable.count == 0 || std::strcmp(profileTable.records[0].name, "FIXED") != 0) {
        while (profileTable.count > 0) {
            removeProfile(0);
        }
        createProfile("FIXED");
        profileTable.records[0].score[0] = kFixedScore;
        createProfile("G0");
        profileTable.records[1].score[0] = static_cast<int32_t>(kScoreBase);
        storeProfileCountInSettings();
        saveAll();
    }
    long gen = generationOf(profileTable.records[1].name, 'G');
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        ++gen;
        char name[32];
        // The level is saved first, as the pause menu does...
        const std::vector<uint8_t> saved = savedGameBytes(gen);
        writeSettingsFolderFile("FIXED_cls.sav", saved.data(), saved.size());
        // ...then the tables.
        // A rename writes "profiles.dat" at once: the score goes first.
        Profile& g = profileTable.records[1];
        g.score[0] = static_cast<int32_t>(kScoreBase + gen);
        g.lastMode = 0;
        std::snprintf(name, sizeof name, "G%ld", gen);
        renameProfile(1, name);
        insertHiscore(g, 0);
        recordLevelResult(g, 0, static_cast<int32_t>(gen % 100), static_cast<int32_t>(gen),
                          1000.0f + static_cast<float>(gen));
        if (profileTable.count == 3) {
            removeProfile(2);
        } else {
            std::snprintf(name, sizeof name, "X%ld", gen);
            createProfile(name);
            profileTable.records[2].score[0] = static_cast<int32_t>(kScoreBase + gen);
        }
        selectProfile(0);
        storeProfileCountInSettings();
        saveAll();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "check") != 0)) {
        std::fprintf(stderr, "usage: corsavel-table-writer write|check HOME\n");
        return 2;
    }
    start(argv[2]);
    if (std::strcmp(argv[1], "check") == 0) {
        return check();
    }
    writeForever();
}
