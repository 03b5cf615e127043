#include <cmath>
#include <cstring>
#include <limits>

#include "platform/random.h"
#include "resources/text_table.h"
#include "ui_fixture.h"

namespace corsavel {
namespace {

Profile player(const char* name, int32_t score) {
    Profile p{};
    std::snprintf(p.name, sizeof p.name, "%s", name);
    p.score[0] = score;
    return p;
}

class ScoreTablesTest : public UserFolderTest {
protected:
    void SetUp() override {
        UserFolderTest::SetUp();
        decodeRecords(nullptr, -1, 1, &scoreTables);
        decodeHiscores(nullptr, -1, &scoreTables);
    }
};

using LevelRecords = ScoreTablesTest;
using Hiscores = ScoreTablesTest;
using ScoreFiles = ScoreTablesTest;

TEST_F(LevelRecords, TiesKeepTheOldHolderAndOnePointMoreReplacesIt) {
    LevelRecord& r = scoreTables.records[0][5];
    recordLevelResult(player("ANNA", 0), 0, 5, 4000, 60000.0f);
    EXPECT_STREQ(r.scoreHolder, "ANNA");
    EXPECT_EQ(r.bestScore, 4000);
    EXPECT_STREQ(r.timeHolder, "ANNA");
    EXPECT_EQ(r.bestTimeMs, 60000);
    recordLevelResult(player("BOB", 0), 0, 5, 4000, 60000.0f);
    EXPECT_STREQ(r.scoreHolder, "ANNA");
    EXPECT_STREQ(r.timeHolder, "ANNA");
    recordLevelResult(player("BOB", 0), 0, 5, 4001, 59999.7f);
    EXPECT_STREQ(r.scoreHolder, "BOB");
    EXPECT_EQ(r.bestScore, 4001);
    EXPECT_STREQ(r.timeHolder, "BOB");
    EXPECT_EQ(r.bestTimeMs, 59999);
    // The other mode's record of the level is its own.
    EXPECT_EQ(scoreTables.records[1][5].bestScore, 0);
}

TEST_F(LevelRecords, HolderNamesKeepNineteenCharactersAndTheirZero) {
    Profile p{};
    std::memset(p.name, 'N', 31);
    recordLevelResult(p, 0, 0, 10, 10.0f);
    const LevelRecord& r = scoreTables.records[0][0];
    EXPECT_EQ(std::strlen(r.scoreHolder), 19u);
    EXPECT_EQ(std::strlen(r.timeHolder), 19u);
    EXPECT_EQ(r.bestScore, 10);
}

TEST_F(LevelRecords, LevelsOutOfRangeAndBadTimesChangeNoRecord) {
    const ScoreTables before = scoreTables;
    recordLevelResult(player("ANNA", 0), 0, 100, 999, 5.0f);
    recordLevelResult(player("ANNA", 0), 0, -1, 999, 5.0f);
    EXPECT_EQ(std::memcmp(scoreTables.records, before.records, sizeof before.records), 0);
    recordLevelResult(player("ANNA", 0), 0, 99, 0, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(scoreTables.records[0][99].bestTimeMs, kDefaultBestTimeMs);
    recordLevelResult(player("ANNA", 0), 0, 99, 0, -5.0f);
    EXPECT_EQ(scoreTables.records[0][99].bestTimeMs, kDefaultBestTimeMs);
}

TEST_F(Hiscores, FirstRunTablesCountDownInSteps) {
    for (int j = 0; j < kHiscoreCount; ++j) {
        EXPECT_EQ(scoreTables.hiscores[0][j].score, 15000 * (10 - j));
        EXPECT_EQ(scoreTables.hiscores[1][j].score, 18000 * (10 - j));
        EXPECT_STREQ(scoreTables.hiscores[0][j].name, defaultName(j));
    }
}

TEST_F(Hiscores, DefaultNamesAreTheRunFromDefname1) {
    const int32_t before = textTable.count;
    addText("other", "X", 1);
    const char* names[] = {"ONE", "TWO",   "THREE", "FOUR", "FIVE",
                           "SIX", "SEVEN", "EIGHT", "NINE", "TEN"};
    for (int k = 0; k < 10; ++k) {
        const std::string key = "defname" + std::to_string(k + 1);
        addText(key.c_str(), names[k], static_cast<int32_t>(std::strlen(names[k])));
    }
    decodeHiscores(nullptr, -1, &scoreTables);
    EXPECT_STREQ(scoreTables.hiscores[0][0].name, "ONE");
    EXPECT_STREQ(scoreTables.hiscores[1][9].name, "TEN");
    freeTextTables();
    EXPECT_LE(textTable.count, before + 11);
}

TEST_F(Hiscores, AScoreEqualToTheTenthStaysOut) {
    const ScoreTables before = scoreTables;
    EXPECT_EQ(insertHiscore(player("ANNA", 15000), 0), -1);
    EXPECT_EQ(std::memcmp(scoreTables.hiscores, before.hiscores, sizeof before.hiscores), 0);
    EXPECT_EQ(scoreTables.highlight, -1);
    EXPECT_EQ(insertHiscore(player("ANNA", 15001), 0), 9);
    EXPECT_STREQ(scoreTables.hiscores[0][9].name, "ANNA");
}

TEST_F(Hiscores, EqualScoresGoBelowAndATopScorePushesTheTenthOut) {
    const std::string ninth = scoreTables.hiscores[0][8].name;
    EXPECT_EQ(insertHiscore(player("ANNA", 150000), 0), 1);
    EXPECT_EQ(scoreTables.hiscores[0][9].name, ninth);
    EXPECT_EQ(scoreTables.hiscores[0][9].score, 30000);
    const std::string seventh = scoreTables.hiscores[0][8].name;
    EXPECT_EQ(scoreTables.highlight, 1);
    EXPECT_EQ(scoreTables.hiscores[0][0].score, 150000);
    EXPECT_STRNE(scoreTables.hiscores[0][0].name, "ANNA");
    EXPECT_EQ(insertHiscore(player("BOB", 1000000), 0), 0);
    EXPECT_STREQ(scoreTables.hiscores[0][0].name, "BOB");
    EXPECT_STREQ(scoreTables.hiscores[0][2].name, "ANNA");
    EXPECT_EQ(scoreTables.hiscores[0][9].name, seventh);
    EXPECT_EQ(scoreTables.hiscores[0][9].score, 45000);
}

TEST_F(Hiscores, TheProfilesLastModeScoreEntersTheGivenTable) {
    Profile p = player("ANNA", 0);
    p.lastMode = 1;
    p.score[1] = 500000;
    EXPECT_EQ(insertHiscore(p, 1), 0);
    EXPECT_EQ(scoreTables.hiscores[1][0].score, 500000);
    EXPECT_EQ(scoreTables.hiscores[0][0].score, 150000);
}

TEST_F(ScoreFiles, DefaultsNeverDrawFromTheRulesGenerator) {
    seedRandom(99);
    const int expected = nextRandom();
    seedRandom(99);
    decodeRecords(nullptr, -1, 12345, &scoreTables);
    EXPECT_EQ(nextRandom(), expected);
    // The holders are default names, drawn from the seed given.
    ScoreTables again;
    decodeRecords(nullptr, -1, 12345, &again);
    EXPECT_EQ(std::memcmp(again.records, scoreTables.records, sizeof again.records), 0);
    EXPECT_EQ(scoreTables.records[1][99].bestTimeMs, kDefaultBestTimeMs);
    EXPECT_EQ(scoreTables.records[1][99].bestScore, 0);
}

TEST_F(ScoreFiles, RoundTripWritesTheStoredSizes) {
    recordLevelResult(player("ANNA", 77777), 0, 42, 5000, 31000.0f);
    ASSERT_TRUE(saveScoreTables());
    const std::vector<uint8_t> records = readBytes(settingsPath("records.dat"));
    const std::vector<uint8_t> hiscores = readBytes(settingsPath("hiscore.dat"));
    ASSERT_EQ(records.size(), 9600u);
    ASSERT_EQ(hiscores.size(), 720u);
    // Level 42 of mode 0 at 42 x 48: names, then score and time.
    EXPECT_EQ(std::memcmp(records.data() + 42 * 48, "ANNA", 5), 0);
    int32_t score = 0;
    std::memcpy(&score, records.data() + 42 * 48 + 40, 4);
    EXPECT_EQ(score, 5000);
    const ScoreTables before = scoreTables;
    loadScoreTables(3);
    EXPECT_EQ(std::memcmp(&scoreTables.records, &before.records, sizeof before.records), 0);
    EXPECT_EQ(std::memcmp(&scoreTables.hiscores, &before.hiscores, sizeof before.hiscores), 0);
}

TEST_F(ScoreFiles, FilesOfAnotherSizeGiveTheDefaults) {
    recordLevelResult(player("ANNA", 77777), 0, 1, 5000, 31000.0f);
    ASSERT_TRUE(saveScoreTables());
    std::vector<uint8_t> records = readBytes(settingsPath("records.dat"));
    std::vector<uint8_t> hiscores = readBytes(settingsPath("hiscore.dat"));
    records.pop_back();
    hiscores.push_back(0);
    writeBytes(settingsPath("records.dat"), records);
    writeBytes(settingsPath("hiscore.dat"), hiscores);
    loadScoreTables(3);
    EXPECT_EQ(scoreTables.records[0][1].bestScore, 0);
    EXPECT_EQ(scoreTables.hiscores[0][0].score, 150000);
}

TEST_F(ScoreFiles, ABadRecordGetsItsDefaultAndTheOthersStay) {
    recordLevelResult(player("ANNA", 0), 0, 1, 5000, 31000.0f);
    recordLevelResult(player("BOB", 0), 1, 7, 6000, 41000.0f);
    ASSERT_TRUE(saveScoreTables());
    std::vector<uint8_t> records = readBytes(settingsPath("records.dat"));
    // Level 1: a holder name without its zero; level 7 of mode 1: a negative score.
    std::memset(records.data() + 1 * 48, 'X', 20);
    const int32_t negative = -5;
    std::memcpy(records.data() + (100 + 7) * 48 + 40, &negative, 4);
    writeBytes(settingsPath("records.dat"), records);
    recordLevelResult(player("CARL", 0), 0, 2, 100, 100.0f);
    ASSERT_TRUE(saveScoreTables());
    records = readBytes(settingsPath("records.dat"));
    std::memset(records.data() + 1 * 48, 'X', 20);
    std::memcpy(records.data() + (100 + 7) * 48 + 40, &negative, 4);
    writeBytes(settingsPath("records.dat"), records);
    loadScoreTables(3);
    EXPECT_EQ(scoreTables.records[0][1].bestScore, 0);
    EXPECT_EQ(scoreTables.records[0][1].bestTimeMs, kDefaultBestTimeMs);
    EXPECT_EQ(scoreTables.records[1][7].bestScore, 0);
    EXPECT_STREQ(scoreTables.records[0][2].scoreHolder, "CARL");
    EXPECT_EQ(scoreTables.records[0][2].bestScore, 100);
}

TEST_F(ScoreFiles, HiscoresOutOfOrderOrUnterminatedGiveThatModesDefaults) {
    insertHiscore(player("ANNA", 999999), 0);
    Profile b = player("BOB", 0);
    b.lastMode = 1;
    b.score[1] = 888888;
    insertHiscore(b, 1);
    ASSERT_TRUE(saveScoreTables());
    std::vector<uint8_t> bytes = readBytes(settingsPath("hiscore.dat"));
    const int32_t tooHigh = 2000000;
    std::memcpy(bytes.data() + 5 * 36 + 32, &tooHigh, 4);
    writeBytes(settingsPath("hiscore.dat"), bytes);
    loadScoreTables(3);
    EXPECT_EQ(scoreTables.hiscores[0][0].score, 150000);
    EXPECT_STREQ(scoreTables.hiscores[1][0].name, "BOB");
    std::memset(bytes.data() + (10 + 3) * 36, 'Z', 32);
    writeBytes(settingsPath("hiscore.dat"), bytes);
    loadScoreTables(3);
    EXPECT_EQ(scoreTables.hiscores[1][0].score, 180000);
}

}  // namespace
}  // namespace corsavel
