#include "bot_test_levels.h"

namespace corsavel::bot {
namespace {

class LevelSourceTest : public BotLevelsTest {
protected:
    std::string refusal(const std::string& path) {
        LevelSource source;
        std::string error;
        EXPECT_FALSE(readLevelFile(path, source, error));
        return error;
    }
};

TEST_F(LevelSourceTest, RefusesWhatIsNoLevelFile) {
    EXPECT_EQ(refusal((folder / "absent.lvl").string()), "missing file");
    EXPECT_EQ(refusal(folder.string()), "not a regular file");
    EXPECT_NE(refusal(write("empty.lvl", "")).find("empty"), std::string::npos);
    EXPECT_NE(refusal(write("notes.txt", "figures=5\r\ntime=10\r\n")).find("level="),
              std::string::npos);
    EXPECT_NE(refusal(write("image.lvl", std::string("level=\0\1\2", 9))).find("binary"),
              std::string::npos);
    EXPECT_NE(refusal(write("huge.lvl", "level=\r\n" + std::string(70000, '0'))).find("64 KiB"),
              std::string::npos);
}

TEST_F(LevelSourceTest, PackNamesGiveTheLevelIndex) {
    EXPECT_EQ(packLevelIndex("pack1_01.lvl"), 0);
    EXPECT_EQ(packLevelIndex("pack1_42.lvl"), 41);
    EXPECT_EQ(packLevelIndex("pack1_100.lvl"), 99);
    EXPECT_EQ(packLevelIndex("pack1_101.lvl"), -1);
    EXPECT_EQ(packLevelIndex("pack1_00.lvl"), -1);
    EXPECT_EQ(packLevelIndex("pack1_07.lvl.bak"), -1);
    EXPECT_EQ(packLevelIndex("mine.lvl"), -1);

    const LevelSource own = level("mine.lvl", "level=\r\n111111111111\r\n");
    EXPECT_EQ(own.levelIndex, 0);
    EXPECT_EQ(own.name, "mine.lvl");
    EXPECT_EQ(level("pack1_17.lvl", "level=\r\n1\r\n").levelIndex, 16);
}

}  // namespace
}  // namespace corsavel::bot
