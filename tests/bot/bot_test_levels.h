#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bot/bot.h"

namespace corsavel::bot {

// Level files written into a fresh folder of the test's own.
class BotLevelsTest : public ::testing::Test {
protected:
    std::filesystem::path folder;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 (std::string("corsavel_bot_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    LevelSource level(const std::string& name, const std::string& text) {
        LevelSource source;
        std::string error;
        EXPECT_TRUE(readLevelFile(write(name, text), source, error)) << error;
        return source;
    }
};

// A level text with the given keys and grid rows (11 rows of 12 cells).
inline std::string levelText(const std::string& keys, const char* const (&rows)[11]) {
    std::string text = keys + "level=\r\n";
    for (const char* row : rows) {
        text += row;
        text += "\r\n";
    }
    return text;
}

// Single layers along the bottom rows of a full board.
inline const char* const kBottomRows[11] = {
    "000000000000", "000000000000", "000000000000", "000000000000", "000000000000", "000000000000",
    "000000000000", "000000000000", "000000000000", "111111111111", "111111111111"};

// Double layers, chained figures and pre-placed bonuses on a shaped board.
inline const char* const kChainsAndBonuses[11] = {
    "..00000000..", ".0000000000.", "000000000000", "000200002000", "00A000000B00", "000020020000",
    "0Q00000000a0", "000022220000", "00q000000C00", "001111111100", "..11111111.."};

}  // namespace corsavel::bot
