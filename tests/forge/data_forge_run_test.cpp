#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "forge/archive_writer.h"
#include "forge/levels.h"
#include "resources/asset_registry.h"

namespace fs = std::filesystem;
using namespace corsavel::forge;

namespace {

std::vector<uint8_t> readAll(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

fs::path forgeBinary() {
    if (const char* path = std::getenv("CORSAVEL_FORGE")) {
        return path;
    }
    if (const char* dir = std::getenv("CORSAVEL_BINARY_DIR")) {
        return fs::path(dir) / "corsavel-forge";
    }
    // Beside the test binary, where the build puts every executable.
    return fs::read_symlink("/proc/self/exe").parent_path() / "corsavel-forge";
}

// Every file under dir, by its relative path.
std::map<std::string, std::vector<uint8_t>> snapshot(const fs::path& dir) {
    std::map<std::string, std::vector<uint8_t>> files;
    if (!fs::is_directory(dir)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), dir).generic_string()] = readAll(entry.path());
        }
    }
    return files;
}

// Runs the forge into a fresh folder, once for the whole suite.
class ForgeRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { runs_[0] = runForge(exitCodes_[0]); }

    static std::map<std::string, std::vector<uint8_t>> runForge(int& exitCode) {
        const fs::path out =
            fs::temp_directory_path() / ("corsavel_forge_test_" + std::to_string(::getpid()) + "_" +
                                         std::to_string(runCount_++));
        fs::remove_all(out);
        const std::string command =
            "\"" + forgeBinary().string() + "\" \"" + out.string() + "\" > /dev/null";
        exitCode = std::system(command.c_str());
        auto files = snapshot(out);
        fs::remove_all(out);
        return files;
    }

    static const std::vector<uint8_t>& file(const std::string& path) {
        static const std::vector<uint8_t> none;
        const auto it = runs_[0].find(path);
        return it == runs_[0].end() ? none : it->second;
    }

    static std::vector<ArchiveEntry> archive(const std::string& name) {
        std::vector<ArchiveEntry> entries;
        EXPECT_TRUE(unpackArchive(file(name), entries)) << name << " is not well formed";
        return entries;
    }

    static inline int runCount_ = 0;
    static inline int exitCodes_[2] = {-1, -1};
    static inline std::map<std::string, std::vector<uint8_t>> runs_[2];
};

TEST_F(ForgeRun, SucceedsAndGivesTheSameBytesEveryRun) {
    runs_[1] = runForge(exitCodes_[1]);
    ASSERT_EQ(exitCodes_[0], 0) << "forge at " << forgeBinary();
    ASSERT_EQ(exitCodes_[1], 0);
    ASSERT_FALSE(runs_[0].empty());
    ASSERT_EQ(runs_[0].size(), runs_[1].size());
    for (const auto& [path, bytes] : runs_[0]) {
        const auto other = runs_[1].find(path);
        ASSERT_NE(other, runs_[1].end()) << path;
        EXPECT_TRUE(bytes == other->second) << path << " differs between runs";
        EXPECT_EQ(path.find(".tmp"), std::string::npos) << "temporary file left: " << path;
    }
}

TEST_F(ForgeRun, WritesEveryDataFileOfItsGenerators) {
    for (int level = 0; level < kLevelCount; ++level) {
        EXPECT_FALSE(file("levels/" + levelFileName(level)).empty()) << level;
    }
    for (const char* path :
         {"levels/end.lvl", "font.dat", "trajectory1.spl", "strings.txt", "tips.txt", "menu.txt",
          "menutext.txt", "targa.dat", "jpeg.dat", "texts.dat"}) {
        EXPECT_FALSE(file(path).empty()) << path;
    }
    EXPECT_EQ(file("font.dat").size(), 516u);
}

TEST_F(ForgeRun, TextArchiveUnpacksToTheLooseTexts) {
    std::map<std::string, std::vector<uint8_t>> entries;
    for (ArchiveEntry& entry : archive("texts.dat")) {
        EXPECT_EQ(entries.count(entry.name), 0u) << entry.name;
        entries[entry.name] = std::move(entry.bytes);
    }
    for (const char* name : {"strings.txt", "tips.txt", "menu.txt", "menutext.txt"}) {
        ASSERT_EQ(entries.count(name), 1u) << name;
        EXPECT_TRUE(entries[name] == file(name)) << name;
    }
}

TEST_F(ForgeRun, FontTextureIsATrueColourTgaInTheTargaArchive) {
    bool found = false;
    for (const ArchiveEntry& entry : archive("targa.dat")) {
        if (entry.name != "font.tga") {
            continue;
        }
        found = true;
        ASSERT_GE(entry.bytes.size(), 18u);
        EXPECT_EQ(entry.bytes[2], 10);  // run-length true colour
        const int width = entry.bytes[12] | entry.bytes[13] << 8;
        const int height = entry.bytes[14] | entry.bytes[15] << 8;
        EXPECT_EQ(width, 1024);
        EXPECT_EQ(height, 1024);
        EXPECT_EQ(entry.bytes[16], 32);
        // Mostly empty cells: the runs keep it far below the raw texels.
        EXPECT_LT(entry.bytes.size(), 1024u * 1024u * 4u / 2u);
    }
    EXPECT_TRUE(found);
    archive("jpeg.dat");
}

// The game's own archive reader registers every entry under its name.
TEST_F(ForgeRun, TheGamesArchiveReaderFindsEveryTextFile) {
    corsavel::clearAssetRegistry();
    std::vector<uint8_t> texts = file("texts.dat");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(corsavel::parseArchive(texts.data(), texts.size()), 4);
    for (const char* name : {"strings.txt", "TIPS.TXT", "Menu.txt", "menutext.txt"}) {
        const corsavel::AssetEntry* entry = corsavel::findAsset(name);
        ASSERT_NE(entry, nullptr) << name;
    }
    const corsavel::AssetEntry* strings = corsavel::findAsset("strings.txt");
    const std::vector<uint8_t>& loose = file("strings.txt");
    ASSERT_EQ(static_cast<size_t>(strings->size), loose.size());
    EXPECT_TRUE(std::equal(loose.begin(), loose.end(), strings->data));
    corsavel::clearAssetRegistry();
}

}  // namespace
