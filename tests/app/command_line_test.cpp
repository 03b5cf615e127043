#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corsavel {
namespace {

CommandLine parse(std::vector<const char*> words) {
    words.insert(words.begin(), "corsavel");
    return parseCommandLine(static_cast<int>(words.size()), words.data());
}

TEST(CommandLine, NoOptionsRunsWithTheStoredChoices) {
    CommandLine line = parse({});
    EXPECT_EQ(line.action, CommandAction::Run);
    EXPECT_EQ(line.fullScreen, kKeepStoredScreenMode);
    EXPECT_TRUE(line.dataDirectory.empty());
    EXPECT_TRUE(line.userDirectory.empty());
    EXPECT_TRUE(line.recordPath.empty());
    EXPECT_TRUE(line.screenshotPath.empty());
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(parse({"--help"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"-h"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"--version"}).action, CommandAction::Version);
    EXPECT_EQ(parse({"-V"}).action, CommandAction::Version);
    // GNU order: help first, whichever comes first on the line.
    EXPECT_EQ(parse({"--version", "--help"}).action, CommandAction::Help);
    EXPECT_EQ(parse({"--windowed", "--version"}).action, CommandAction::Version);
    // A bad word still makes the line an error.
    EXPECT_EQ(parse({"--help", "--bogus"}).action, CommandAction::Error);
}

TEST(CommandLine, ScreenModeOverridesForOneRunLastOneWins) {
    EXPECT_EQ(parse({"--windowed"}).fullScreen, 0);
    EXPECT_EQ(parse({"--fullscreen"}).fullScreen, 1);
    EXPECT_EQ(parse({"--fullscreen", "--windowed"}).fullScreen, 0);
}

TEST(CommandLine, ValuesAsNextWordOrAfterEquals) {
    CommandLine line = parse({"--data", "/opt/data", "--home=/tmp/h", "--record", "s.script",
                              "--screenshot=first.png"});
    ASSERT_EQ(line.action, CommandAction::Run);
    EXPECT_EQ(line.dataDirectory, "/opt/data");
    EXPECT_EQ(line.userDirectory, "/tmp/h");
    EXPECT_EQ(line.recordPath, "s.script");
    EXPECT_EQ(line.screenshotPath, "first.png");
    // A value may itself start with a dash when it is the next word.
    EXPECT_EQ(parse({"--home", "-odd"}).userDirectory, "-odd");
}

TEST(CommandLine, BadLinesAreErrorsWithAReason) {
    struct Case {
        std::vector<const char*> words;
        const char* reason;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"level1"}, "unexpected argument 'level1'"},
        {{"--data"}, "option '--data' needs a value"},
        {{"--record="}, "option '--record' needs a value"},
        {{"--windowed=yes"}, "option '--windowed' takes no value"},
        {{"--", "extra"}, "unexpected argument 'extra'"},
        // A prefix is not an abbreviation the game guesses at.
        {{"--win"}, "unknown option '--win'"},
    };
    for (const Case& c : cases) {
        CommandLine line = parse(c.words);
        EXPECT_EQ(line.action, CommandAction::Error) << c.reason;
        EXPECT_EQ(line.error, c.reason);
    }
    EXPECT_EQ(parse({"--windowed", "--"}).action, CommandAction::Run);
}

TEST(CommandLine, UsageNamesEveryOption) {
    const std::string usage = commandLineUsage();
    for (const char* option : {"--windowed", "--fullscreen", "--data DIR", "--home DIR",
                               "--record FILE", "--screenshot FILE", "--help", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_NE(std::string(gameVersion()), "");
}

}  // namespace
}  // namespace corsavel
