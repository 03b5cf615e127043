#include <cstring>

#include "game/game_state.h"
#include "game/rules.h"
#include "game/saved_game.h"
#include "platform/random.h"
#include "ui/settings_folder.h"
#include "ui_fixture.h"

namespace corsavel {
namespace {

Profile named(const char* name) {
    Profile p{};
    std::snprintf(p.name, sizeof p.name, "%s", name);
    p.lives[0] = 3;
    return p;
}

std::vector<uint8_t> fileOf(const std::vector<Profile>& records) {
    std::vector<uint8_t> bytes(records.size() * sizeof(Profile));
    if (!records.empty()) {
        std::memcpy(bytes.data(), records.data(), bytes.size());
    }
    return bytes;
}

void decode(const std::vector<uint8_t>& bytes, int32_t count, int32_t current) {
    decodeProfiles(bytes.data(), static_cast<int64_t>(bytes.size()), count, current, true,
                   &profileTable);
    syncActiveProfile();
}

using ProfileNames = UserFolderTest;
using ProfileTableOps = UserFolderTest;
using ProfilesFile = UserFolderTest;
using SavedGames = UserFolderTest;

TEST_F(ProfileNames, OnlyWhatTheNameEntryAllowsIsAName) {
    EXPECT_TRUE(isValidProfileName("ANNA"));
    EXPECT_TRUE(isValidProfileName("MAX 2"));
    EXPECT_TRUE(isValidProfileName("ABCDEFGHIJKL"));
    EXPECT_FALSE(isValidProfileName(""));
    EXPECT_FALSE(isValidProfileName("   "));
    EXPECT_FALSE(isValidProfileName("ABCDEFGHIJKLM"));
    EXPECT_FALSE(isValidProfileName("anna"));
    EXPECT_FALSE(isValidProfileName("../X"));
    EXPECT_FALSE(isValidProfileName("A/B"));
    EXPECT_FALSE(isValidProfileName(".."));
    // A field without its zero is no name, whatever follows it.
    char field[kProfileNameSize];
    std::memset(field, 'A', sizeof field);
    EXPECT_FALSE(isValidProfileName(field));
}

TEST_F(ProfileTableOps, CreateRefusesDuplicatesBadNamesAndANinthProfile) {
    EXPECT_TRUE(createProfile("ANNA"));
    EXPECT_FALSE(createProfile("ANNA"));
    EXPECT_FALSE(createProfile("bob"));
    EXPECT_FALSE(createProfile("../../ETC"));
    for (int i = 1; i < kMaxProfiles; ++i) {
        EXPECT_TRUE(createProfile(std::string("P" + std::to_string(i)).c_str()));
    }
    EXPECT_FALSE(createProfile("NINTH"));
    EXPECT_EQ(profileTable.count, kMaxProfiles);
    // The new profile is current and the gameplay's active one.
    EXPECT_EQ(profileTable.current, kMaxProfiles - 1);
    EXPECT_EQ(&activeProfile(), &profileTable.records[kMaxProfiles - 1]);
}

TEST_F(ProfileTableOps, RemovingTheCurrentLastFirstAndOnlyProfile) {
    ASSERT_TRUE(createProfile("A"));
    ASSERT_TRUE(createProfile("B"));
    ASSERT_TRUE(createProfile("C"));
    ASSERT_EQ(profileTable.current, 2);
    ASSERT_TRUE(removeProfile(2));
    EXPECT_EQ(profileTable.count, 2);
    EXPECT_EQ(profileTable.current, 1);
    EXPECT_STREQ(activeProfile().name, "B");

    ASSERT_TRUE(selectProfile(0));
    ASSERT_TRUE(removeProfile(0));
    EXPECT_EQ(profileTable.current, 0);
    EXPECT_STREQ(activeProfile().name, "B");

    ASSERT_TRUE(removeProfile(0));
    EXPECT_EQ(profileTable.count, 0);
    EXPECT_EQ(profileTable.current, 0);
    EXPECT_EQ(currentProfileRecord(), nullptr);
    EXPECT_FALSE(removeProfile(0));
    EXPECT_FALSE(selectProfile(0));
}

TEST_F(ProfileTableOps, RenameRefusesAnotherProfilesNameAndCarriesTheSavedGames) {
    ASSERT_TRUE(createProfile("ANNA"));
    ASSERT_TRUE(createProfile("BOB"));
    EXPECT_FALSE(renameProfile(1, "ANNA"));
    EXPECT_FALSE(renameProfile(1, "x/y"));
    EXPECT_FALSE(renameProfile(5, "CARL"));
    writeBytes(settingsPath("BOB_cls.sav"), {1, 2, 3});
    writeBytes(settingsPath("BOB_ndl.sav"), {4, 5});
    ASSERT_TRUE(renameProfile(1, "CARL"));
    EXPECT_STREQ(profileTable.records[1].name, "CARL");
    EXPECT_FALSE(exists(settingsPath("BOB_cls.sav")));
    EXPECT_EQ(readBytes(settingsPath("CARL_cls.sav")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(readBytes(settingsPath("CARL_ndl.sav")), (std::vector<uint8_t>{4, 5}));
    // Renaming to its own name changes nothing.
    EXPECT_TRUE(renameProfile(1, "CARL"));
}

TEST_F(ProfilesFile, RoundTripKeepsEveryRecordByteForByte) {
    ASSERT_TRUE(createProfile("ANNA"));
    Profile& a = profileTable.records[0];
    a.currentStage[1] = 11;
    a.currentIndex[1] = 10;
    a.lives[0] = 5;
    a.score[1] = 123456;
    a.lastMode = 1;
    a.savedGame[1] = 1;
    a.tipChainShown = 1;
    ASSERT_TRUE(createProfile("BOB"));
    ASSERT_TRUE(saveProfiles());
    const std::vector<uint8_t> bytes = readBytes(settingsPath("profiles.dat"));
    ASSERT_EQ(bytes.size(), 2u * 104u);
    const ProfileTable before = profileTable;
    decode(bytes, 2, 1);
    EXPECT_EQ(profileTable.count, 2);
    EXPECT_EQ(profileTable.current, 1);
    EXPECT_EQ(std::memcmp(profileTable.records, before.records, 2 * sizeof(Profile)), 0);
}

TEST_F(ProfilesFile, WrongSizesGiveNoProfilesAndShortFilesTheRecordsTheyHold) {
    const std::vector<uint8_t> three = fileOf({named("A"), named("B"), named("C")});
    decode(std::vector<uint8_t>(three.begin(), three.end() - 1), 3, 0);
    EXPECT_EQ(profileTable.count, 0);
    std::vector<uint8_t> nine = fileOf({named("A"), named("B"), named("C"), named("D"), named("E"),
                                        named("F"), named("G"), named("H"), named("I")});
    decode(nine, 8, 0);
    EXPECT_EQ(profileTable.count, 0);
    decodeProfiles(nullptr, -1, 3, 0, true, &profileTable);
    EXPECT_EQ(profileTable.count, 0);
    // The settings count 3 against a file of two records: the two are kept.
    decode(fileOf({named("A"), named("B")}), 3, 2);
    EXPECT_EQ(profileTable.count, 2);
    EXPECT_EQ(profileTable.current, 0);
    // Without a settings record every record of the file counts.
    decodeProfiles(three.data(), static_cast<int64_t>(three.size()), 0, 0, false, &profileTable);
    EXPECT_EQ(profileTable.count, 3);
}

TEST_F(ProfilesFile, HostileNamesAreDroppedAndTheCurrentIndexFollows) {
    Profile escape = named("X");
    std::memcpy(escape.name, "../../ESCAPE", 13);
    escape.savedGame[0] = 1;
    Profile slash = named("A/B");
    Profile unterminated = named("Y");
    std::memset(unterminated.name, 'Q', sizeof unterminated.name);
    Profile lower = named("lower");
    decode(fileOf({escape, named("ANNA"), slash, unterminated, named("BOB"), lower}), 6, 4);
    ASSERT_EQ(profileTable.count, 2);
    EXPECT_STREQ(profileTable.records[0].name, "ANNA");
    EXPECT_STREQ(profileTable.records[1].name, "BOB");
    EXPECT_EQ(profileTable.current, 1);
    // The dropped current record leaves the first one current.
    decode(fileOf({named("ANNA"), escape}), 2, 1);
    EXPECT_EQ(profileTable.count, 1);
    EXPECT_EQ(profileTable.current, 0);
    // No path is ever made from a refused name.
    char name[64];
    EXPECT_FALSE(savedGameFileName(escape, 0, name, sizeof name));
}

TEST_F(ProfilesFile, OutOfRangeValuesAreClamped) {
    Profile p = named("ANNA");
    p.currentStage[0] = 40;
    p.currentIndex[0] = -7;
    p.unlockedStage[1] = -3;
    p.unlockedIndex[1] = 99;
    p.lives[0] = -5;
    p.lives[1] = 1000000;
    p.score[0] = -1;
    p.lastMode = 7;
    p.savedGame[1] = 200;
    p.reserved81[3] = 9;
    // Bytes after the name's zero are not carried along.
    p.name[20] = 'Z';
    decode(fileOf({p}), 1, 0);
    ASSERT_EQ(profileTable.count, 1);
    const Profile& q = profileTable.records[0];
    EXPECT_EQ(q.currentStage[0], 11);
    EXPECT_EQ(q.currentIndex[0], 0);
    EXPECT_EQ(q.unlockedStage[1], 0);
    EXPECT_EQ(q.unlockedIndex[1], 3);
    EXPECT_EQ(q.lives[0], 0);
    EXPECT_EQ(q.lives[1], 99);
    EXPECT_EQ(q.score[0], 0);
    EXPECT_EQ(q.lastMode, 0);
    EXPECT_EQ(q.savedGame[1], 1);
    EXPECT_EQ(q.reserved81[3], 0);
    EXPECT_EQ(q.name[20], 0);
    EXPECT_GE(progressLevel(q), 0);
    EXPECT_LT(progressLevel(q), kLevelCount);
}

TEST_F(ProfilesFile, LoadTakesCountAndIndexFromTheSettings) {
    writeBytes(settingsPath("profiles.dat"), fileOf({named("ANNA"), named("BOB"), named("CARL")}));
    settings.profileCount = 3;
    settings.currentProfile = 2;
    settings.loadedFromRecord = true;
    loadPlayerTables(1);
    EXPECT_EQ(profileTable.count, 3);
    EXPECT_STREQ(activeProfile().name, "CARL");
    EXPECT_TRUE(playerTablesLoaded());
}

TEST_F(ProfilesFile, AnEmptyTableStaysEmptyUntilThePlayerNamesAProfile) {
    loadPlayerTables(1);
    EXPECT_EQ(profileTable.count, 0);
    EXPECT_EQ(currentProfileRecord(), nullptr);
    EXPECT_EQ(settings.profileCount, 0);
}

TEST_F(ProfilesFile, NothingIsWrittenBeforeTheTablesWereRead) {
    const std::vector<uint8_t> old = fileOf({named("ANNA"), named("BOB")});
    writeBytes(settingsPath("profiles.dat"), old);
    settings.profileCount = 2;
    EXPECT_TRUE(savePlayerTables());
    storeProfileCountInSettings();
    EXPECT_EQ(settings.profileCount, 2);
    EXPECT_EQ(readBytes(settingsPath("profiles.dat")), old);
    EXPECT_FALSE(exists(settingsPath("records.dat")));
}

TEST_F(ProfilesFile, SettingsFolderPathsStayInsideTheFolder) {
    char path[kMaxPath];
    EXPECT_FALSE(settingsFilePath("../settings.reg", path, sizeof path));
    EXPECT_FALSE(settingsFilePath("a/b", path, sizeof path));
    EXPECT_FALSE(settingsFilePath("", path, sizeof path));
    ASSERT_TRUE(settingsFilePath("ANNA_cls.sav", path, sizeof path));
    EXPECT_EQ(std::string(path), settingsPath("ANNA_cls.sav"));
}

TEST_F(SavedGames, FileNamesFollowTheModeAndTheName) {
    char name[64];
    ASSERT_TRUE(savedGameFileName(named("MAX 2"), 0, name, sizeof name));
    EXPECT_STREQ(name, "MAX 2_cls.sav");
    ASSERT_TRUE(savedGameFileName(named("MAX 2"), 1, name, sizeof name));
    EXPECT_STREQ(name, "MAX 2_ndl.sav");
}

TEST_F(SavedGames, RefusedWithoutARunningLevel) {
    ASSERT_TRUE(createProfile("ANNA"));
    game = GameState{};
    EXPECT_FALSE(saveGame());
    EXPECT_EQ(profileTable.records[0].savedGame[0], 0);
    EXPECT_FALSE(exists(settingsPath("ANNA_cls.sav")));
}

}  // namespace
}  // namespace corsavel

namespace corsavel {
namespace {

const char kLevel[] =
    "figures=6\ntime=120\nlevel=\n"
    "000000000000\n011111111110\n012222222210\n012000000210\n012011110210\n"
    "012011110210\n012000000210\n012222222210\n011111111110\n000000000000\n"
    "000000000000\n";

// A level in play with one move made, as the pause menu and the window's
// close would save it.
class RunningLevel : public UserFolderTest {
protected:
    void SetUp() override {
        UserFolderTest::SetUp();
        seedRandom(7);
        game = GameState{};
        session = SessionState{};
        parseLevelText(kLevel, 0);
        initialFill();
        countWorkAndTime(0);
        game.flags.levelLoaded = true;
        game.match.moveMade = true;
        game.scores.bankedScore = 1000;
        game.scores.scoreShown = 250;
        ASSERT_TRUE(createProfile("ANNA"));
        profileTable.records[0].score[0] = 1000;
    }
};

TEST_F(RunningLevel, SaveWritesTheWholeStateAndSetsTheFlagAndScore) {
    ASSERT_TRUE(saveGame());
    EXPECT_EQ(readBytes(settingsPath("ANNA_cls.sav")).size(), static_cast<size_t>(kSavedGameSize));
    EXPECT_EQ(profileTable.records[0].savedGame[0], 1);
    EXPECT_EQ(profileTable.records[0].savedGame[1], 0);
    EXPECT_EQ(profileTable.records[0].score[0], 1250);
    // What was written reads back over a changed board as the same board.
    const Board saved = game.board;
    const std::vector<uint8_t> bytes = readBytes(settingsPath("ANNA_cls.sav"));
    game.board.cells[3][3].layers = 0;
    game.board.cells[3][3].figure.kind = -1;
    ASSERT_TRUE(readSavedGame(bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_EQ(std::memcmp(&game.board, &saved, sizeof(Board)), 0);
}

TEST_F(RunningLevel, SaveAfterTheTimeOutIsRefused) {
    game.clock.timedOut = true;
    EXPECT_FALSE(saveGame());
    EXPECT_EQ(profileTable.records[0].savedGame[0], 0);
    EXPECT_EQ(profileTable.records[0].score[0], 1000);
    EXPECT_FALSE(exists(settingsPath("ANNA_cls.sav")));
}

TEST_F(RunningLevel, FailedWriteKeepsTheOldFileTheFlagAndTheScore) {
    const std::vector<uint8_t> old(kSavedGameSize, 0x5A);
    writeBytes(settingsPath("ANNA_cls.sav"), old);
    // The temporary file's name is taken by a folder: the write cannot happen.
    const std::string temp = settingsPath("ANNA_cls.sav.tmp") + std::to_string(getpid());
    ASSERT_EQ(mkdir(temp.c_str(), 0755), 0);
    EXPECT_FALSE(saveGame());
    EXPECT_EQ(profileTable.records[0].savedGame[0], 0);
    EXPECT_EQ(profileTable.records[0].score[0], 1000);
    EXPECT_EQ(readBytes(settingsPath("ANNA_cls.sav")), old);
    rmdir(temp.c_str());
}

TEST_F(RunningLevel, HostileProfilesWriteNothingOutsideTheSettingsFolder) {
    Profile escape = named("X");
    std::memcpy(escape.name, "../../../tmp/EVIL", 18);
    escape.savedGame[0] = 1;
    Profile slash = named("X");
    std::memcpy(slash.name, "/ROOT", 6);
    forgetPlayerTables();
    writeBytes(settingsPath("profiles.dat"), fileOf({escape, slash, named("ANNA")}));
    settings.profileCount = 3;
    settings.currentProfile = 0;
    settings.loadedFromRecord = true;
    loadPlayerTables(1);
    ASSERT_EQ(profileTable.count, 1);
    EXPECT_STREQ(activeProfile().name, "ANNA");
    EXPECT_TRUE(saveGame());
    EXPECT_TRUE(savePlayerTables());
    FILE* list = popen(("find '" + folder_ + "' -type f").c_str(), "r");
    ASSERT_NE(list, nullptr);
    char line[4096];
    int files = 0;
    while (std::fgets(line, sizeof line, list) != nullptr) {
        EXPECT_EQ(std::string(line).rfind(settingsPath(""), 0), 0u) << line;
        ++files;
    }
    pclose(list);
    EXPECT_EQ(files, 4);
}

TEST_F(RunningLevel, EndlessModeSavesToItsOwnFile) {
    session.gameMode = 1;
    ASSERT_TRUE(saveGame());
    EXPECT_TRUE(exists(settingsPath("ANNA_ndl.sav")));
    EXPECT_FALSE(exists(settingsPath("ANNA_cls.sav")));
    EXPECT_EQ(profileTable.records[0].savedGame[1], 1);
}

}  // namespace
}  // namespace corsavel
