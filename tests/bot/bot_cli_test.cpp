// The corsavel-bot program itself: what it prints and its exit codes.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "bot_test_levels.h"

namespace corsavel::bot {
namespace {

struct BotRun {
    int code = -1;
    std::string output;  // stdout and stderr together
};

class BotCliTest : public BotLevelsTest {
protected:
    // The program beside this test binary, where the build puts every executable.
    static std::string botBinary() {
        if (const char* path = std::getenv("CORSAVEL_BOT")) {
            return path;
        }
        return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "corsavel-bot")
            .string();
    }

    BotRun run(const std::string& arguments) {
        const std::string bot = botBinary();
        BotRun r;
        if (!std::filesystem::exists(bot)) {
            ADD_FAILURE() << "no program at " << bot;
            return r;
        }
        const std::string command = bot + " " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            r.output.append(buffer, n);
        }
        const int status = pclose(pipe);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }
};

TEST_F(BotCliTest, PlaysGivenFilesAndPrintsTheTable) {
    const std::string a = write("a.lvl", levelText("figures=5\r\ntime=60\r\n", kBottomRows));
    const std::string b = write("pack1_07.lvl", levelText("figures=5\r\ntime=90\r\n", kBottomRows));
    const BotRun r = run(a + " " + b + " --seeds 2 --step 20 --think 800");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("level "), std::string::npos);
    EXPECT_NE(r.output.find("a.lvl"), std::string::npos);
    EXPECT_NE(r.output.find("pack1_07.lvl"), std::string::npos);
    EXPECT_NE(r.output.find("| 2/2"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("runs won 4 of 4"), std::string::npos) << r.output;
}

TEST_F(BotCliTest, BadFilesGetAnErrorLineAndTheRestIsPlayed) {
    const std::string good = write("good.lvl", levelText("figures=5\r\ntime=60\r\n", kBottomRows));
    const std::string text = write("readme.txt", "This is not a level.\n");
    const BotRun r = run((folder / "nothing.lvl").string() + " " + text + " " + good);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.output.find("nothing.lvl: missing file"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("readme.txt: not a level file"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("good.lvl"), std::string::npos);
    EXPECT_NE(r.output.find("runs won 1 of 1"), std::string::npos) << r.output;
}

TEST_F(BotCliTest, DataFolderRangesAndRequiredWins) {
    std::filesystem::create_directories(folder / "levels");
    write("levels/pack1_02.lvl", levelText("figures=5\r\ntime=60\r\n", kBottomRows));
    const char* const hopeless[11] = {"222222222222", "222222222222", "222222222222",
                                      "222222222222", "222222222222", "222222222222",
                                      "222222222222", "222222222222", "222222222222",
                                      "222222222222", "222222222222"};
    write("levels/pack1_60.lvl", levelText("figures=8\r\ntime=1\r\n", hopeless));
    const std::string data = "--data " + folder.string();

    BotRun r = run(data + " --levels 2");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("runs won 1 of 1"), std::string::npos) << r.output;

    r = run(data + " --require-wins 1");
    EXPECT_EQ(r.code, 1) << "the hopeless level is lost";
    EXPECT_NE(r.output.find("runs won 1 of 2"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("x|"), std::string::npos) << r.output;

    r = run(data + " --levels 1-2");
    EXPECT_EQ(r.code, 2) << "a range wants every file in it";
    EXPECT_NE(r.output.find("pack1_01.lvl: missing file"), std::string::npos) << r.output;

    r = run("--data " + (folder / "none").string());
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.output.find("no level files"), std::string::npos) << r.output;
}

// The trace the determinism test compares with the harness's botplay: a line
// per move on the level's clock, then the final score and the board.
TEST_F(BotCliTest, TraceShowsEveryMoveThenTheFinalBoard) {
    const std::string a = write("a.lvl", levelText("figures=5\r\ntime=60\r\n", kBottomRows));
    const BotRun r = run(a + " --trace --seed 3");
    EXPECT_EQ(r.code, 0) << r.output;
    const size_t move = r.output.find(" s  move   1  row ");
    const size_t score = r.output.find("final score ");
    ASSERT_NE(move, std::string::npos) << r.output;
    ASSERT_NE(score, std::string::npos) << r.output;
    EXPECT_LT(move, score);
    EXPECT_NE(r.output.find("work left 0  clock "), std::string::npos) << r.output;
    for (int row = 0; row < kRows; ++row) {
        char line[24];
        std::snprintf(line, sizeof line, "final row %2d: ", row);
        EXPECT_NE(r.output.find(line), std::string::npos) << line;
    }
    // Row 10 held the layers: cleared, every cell "0,0,slot,bonus".
    const size_t last = r.output.find("final row 10: 0,0,");
    EXPECT_NE(last, std::string::npos) << r.output;
}

TEST_F(BotCliTest, BadOptionsAreRefused) {
    for (const char* arguments : {"--seeds 0", "--mode 2", "--step x", "--levels 9-3",
                                  "--levels 0-5", "--frobnicate 1", "--seed"}) {
        const BotRun r = run(arguments);
        EXPECT_EQ(r.code, 2) << arguments;
        EXPECT_NE(r.output.find("corsavel-bot:"), std::string::npos) << arguments;
    }
}

}  // namespace
}  // namespace corsavel::bot
