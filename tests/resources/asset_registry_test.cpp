#include "resources/asset_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace corsavel {
namespace {

std::vector<uint8_t> archiveEntry(const std::string& name, const std::string& plain) {
    std::vector<uint8_t> out(name.begin(), name.end());
    out.push_back(0);
    const uint32_t length = static_cast<uint32_t>(plain.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(length >> (8 * i)));
    for (size_t i = 0; i < plain.size(); ++i) {
        out.push_back(static_cast<uint8_t>(plain[i] ^ name[i % name.size()]));
    }
    return out;
}

uint8_t* copyToHeap(const std::vector<uint8_t>& bytes) {
    auto* buffer = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    return buffer;
}

// Each test runs in a fresh temporary directory with an empty registry.
class AssetRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearAssetRegistry();
        char pattern[] = "/tmp/corsavel-assets-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        clearAssetRegistry();
        ASSERT_EQ(chdir(previous_), 0);
        std::string command = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void writeDisk(const std::string& path, const std::string& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string dir_;
    char previous_[1024] = {};
};

TEST_F(AssetRegistryTest, FoldsLowerCaseAndUpperLatinOnly) {
    char name[] = "font\\Fo_1.tga\xE9\xC9";
    foldAssetName(name);
    EXPECT_STREQ(name, "FONT\\FO_1.TGA\xC9\xC9");
}

TEST_F(AssetRegistryTest, ArchiveEntryIsDescrambledAndFoundInAnyCase) {
    std::vector<uint8_t> bytes = archiveEntry("Font.tga", "glyphs");
    const std::vector<uint8_t> second = archiveEntry("ab", "aba");
    bytes.insert(bytes.end(), second.begin(), second.end());
    uint8_t* buffer = copyToHeap(bytes);
    EXPECT_EQ(parseArchive(buffer, bytes.size()), 2);
    for (const char* request : {"font.tga", "FONT.TGA", "fOnT.TgA"}) {
        int32_t size = 0;
        uint8_t* data = loadFile(request, &size, false);
        ASSERT_NE(data, nullptr) << request;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "glyphs");
    }
    // "ab" over "aba" descrambles the stored bytes to the plain text; the
    // stored zeros of plain bytes equal to the name descramble back.
    int32_t size = 0;
    uint8_t* data = loadFile("ab", &size, false);
    ASSERT_EQ(size, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 3), "aba");
    clearAssetRegistry();
    std::free(buffer);
}

// Long entries cross many repeats of the name, with names whose length
// does not divide any block size.
TEST_F(AssetRegistryTest, LongEntriesDescrambleWholeWhateverTheNameLength) {
    std::string plain(10007, '\0');
    for (size_t i = 0; i < plain.size(); ++i) {
        plain[i] = static_cast<char>((i * 131 + 7) & 0xFF);
    }
    std::vector<uint8_t> bytes;
    const std::vector<std::string> names = {"x", "abcdefg", std::string(63, 'q')};
    for (const std::string& name : names) {
        const std::vector<uint8_t> entry = archiveEntry(name, plain);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    uint8_t* buffer = copyToHeap(bytes);
    ASSERT_EQ(parseArchive(buffer, bytes.size()), 3);
    for (const std::string& name : names) {
        AssetEntry* entry = findAsset(name.c_str());
        ASSERT_NE(entry, nullptr) << name;
        ASSERT_EQ(entry->size, static_cast<int32_t>(plain.size()));
        EXPECT_EQ(std::memcmp(entry->data, plain.data(), plain.size()), 0) << name;
    }
    clearAssetRegistry();
    std::free(buffer);
}

std::string loadText(const char* name) {
    int32_t size = 0;
    uint8_t* data = loadFile(name, &size, false);
    return data != nullptr ? std::string(reinterpret_cast<char*>(data), size) : "<none>";
}

// A parked archive gives its memory back and still answers every entry with
// the same bytes, read back from the file when asked for.
TEST_F(AssetRegistryTest, ParkedArchiveEntriesReadBackTheSameBytes) {
    std::vector<uint8_t> bytes = archiveEntry("Pic.tga", std::string(5000, 'p'));
    const std::vector<uint8_t> second = archiveEntry("back1.jpg", "jpeg bytes");
    bytes.insert(bytes.end(), second.begin(), second.end());
    writeDisk("a.dat", std::string(bytes.begin(), bytes.end()));
    loadArchive("a.dat");
    ASSERT_EQ(assetRegistry.count, 3);
    EXPECT_FALSE(parkArchive("missing.dat"));
    ASSERT_TRUE(parkArchive("a.dat"));
    for (int i = 0; i < assetRegistry.count; ++i) {
        EXPECT_EQ(assetRegistry.entries[i]->data, nullptr) << assetRegistry.entries[i]->name;
    }
    EXPECT_EQ(loadText("PIC.TGA"), std::string(5000, 'p'));
    EXPECT_EQ(loadText("pic.tga"), std::string(5000, 'p'));
    EXPECT_EQ(loadText("back1.jpg"), "jpeg bytes");
    EXPECT_EQ(assetRegistry.count, 3) << "read back in place, nothing registered again";
    // Released once converted, the next request goes to the disk.
    releaseAsset(findAsset("back1.jpg")->data);
    EXPECT_EQ(loadText("back1.jpg"), "<none>");
    writeDisk("back1.jpg", "loose");
    EXPECT_EQ(loadText("back1.jpg"), "loose");
}

TEST_F(AssetRegistryTest, ReleasingAParkedArchiveByNameForgetsItsEntries) {
    std::vector<uint8_t> bytes = archiveEntry("one.txt", "1");
    const std::vector<uint8_t> second = archiveEntry("two.txt", "2");
    bytes.insert(bytes.end(), second.begin(), second.end());
    writeDisk("b.dat", std::string(bytes.begin(), bytes.end()));
    loadArchive("b.dat");
    ASSERT_TRUE(parkArchive("b.dat"));
    EXPECT_EQ(loadText("one.txt"), "1");  // read back
    EXPECT_FALSE(releaseAssetByName("b.dat"));
    EXPECT_TRUE(releaseAssetByName("B.DAT"));
    EXPECT_EQ(assetRegistry.count, 0);
    EXPECT_EQ(loadText("one.txt"), "<none>");
    EXPECT_EQ(loadText("two.txt"), "<none>");
}

// An archive file gone after parking: its entries are missing, never freed
// or stale bytes.
TEST_F(AssetRegistryTest, ParkedEntryOfAVanishedArchiveIsMissing) {
    const std::vector<uint8_t> bytes = archiveEntry("gone.txt", "here");
    writeDisk("c.dat", std::string(bytes.begin(), bytes.end()));
    loadArchive("c.dat");
    ASSERT_TRUE(parkArchive("c.dat"));
    ASSERT_EQ(std::remove("c.dat"), 0);
    EXPECT_EQ(loadText("gone.txt"), "<none>");
    EXPECT_EQ(findAsset("gone.txt"), nullptr);
}

TEST_F(AssetRegistryTest, StoredBytesEqualToTheNameDescrambleToZero) {
    std::vector<uint8_t> bytes = {'a', 'b', 0, 3, 0, 0, 0, 0x61, 0x62, 0x61};
    uint8_t* buffer = copyToHeap(bytes);
    ASSERT_EQ(parseArchive(buffer, bytes.size()), 1);
    AssetEntry* entry = findAsset("AB");
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->size, 3);
    EXPECT_EQ(entry->data[0], 0);
    EXPECT_EQ(entry->data[1], 0);
    EXPECT_EQ(entry->data[2], 0);
    clearAssetRegistry();
    std::free(buffer);
}

TEST_F(AssetRegistryTest, ArchiveShadowsDiskFilesInEveryFolder) {
    mkdir("sub", 0755);
    writeDisk("sub/font.tga", "disk");
    std::vector<uint8_t> bytes = archiveEntry("font.tga", "archive");
    uint8_t* buffer = copyToHeap(bytes);
    parseArchive(buffer, bytes.size());
    ASSERT_EQ(chdir("sub"), 0);
    int32_t size = 0;
    uint8_t* data = loadFile("font.tga", &size, true);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "archive");
    ASSERT_EQ(chdir(".."), 0);
    clearAssetRegistry();
    std::free(buffer);
}

TEST_F(AssetRegistryTest, TruncatedOrMalformedArchiveKeepsEntriesBeforeTheFault) {
    std::vector<uint8_t> bytes = archiveEntry("one.txt", "first");
    std::vector<uint8_t> bad = archiveEntry("two.txt", "second entry");
    bytes.insert(bytes.end(), bad.begin(), bad.end() - 3);  // runs past the end
    uint8_t* buffer = copyToHeap(bytes);
    EXPECT_EQ(parseArchive(buffer, bytes.size()), 1);
    EXPECT_NE(findAsset("one.txt"), nullptr);
    EXPECT_EQ(findAsset("two.txt"), nullptr);
    clearAssetRegistry();

    // An empty name, a name without NUL and a cut length field stop parsing.
    const std::vector<std::vector<uint8_t>> broken = {
        {0, 1, 0, 0, 0, 'x'}, {'a', 'b', 'c'}, {'a', 0, 5, 0}, {}};
    for (const auto& b : broken) {
        uint8_t* copy = copyToHeap(b);
        EXPECT_EQ(parseArchive(copy, b.size()), 0);
        std::free(copy);
    }
    std::free(buffer);
}

TEST_F(AssetRegistryTest, ArchiveFileIsRegisteredAndReleasedOnlyByFoldedName) {
    std::vector<uint8_t> bytes = archiveEntry("a.txt", "xyz");
    writeDisk("texts.dat", std::string(bytes.begin(), bytes.end()));
    loadArchive("texts.dat");
    loadArchive("missing.dat");  // silently skipped
    ASSERT_EQ(assetRegistry.count, 2);
    EXPECT_FALSE(releaseAssetByName("texts.dat"));
    EXPECT_NE(findAsset("a.txt"), nullptr);
    // Releasing the archive buffer also forgets the entries inside it.
    EXPECT_TRUE(releaseAssetByName("TEXTS.DAT"));
    EXPECT_EQ(findAsset("a.txt"), nullptr);
    EXPECT_EQ(assetRegistry.count, 0);
}

TEST_F(AssetRegistryTest, DiskFileIsReadOnceAndCachedUntilReleased) {
    writeDisk("level.lvl", "abc");
    int32_t size = 0;
    uint8_t* first = loadFile("level.lvl", &size, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(size, 3);
    writeDisk("level.lvl", "changed");
    uint8_t* second = loadFile("level.lvl", &size, true);
    EXPECT_EQ(first, second);
    EXPECT_EQ(size, 3);
    EXPECT_TRUE(releaseAsset(first));
    EXPECT_FALSE(releaseAsset(first));
    uint8_t* third = loadFile("level.lvl", &size, true);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(third), size), "changed");
}

TEST_F(AssetRegistryTest, ReleaseShiftsLaterEntriesDown) {
    static uint8_t a[1], b[1], c[1];
    registerAsset("a", 1, a, false);
    registerAsset("b", 1, b, false);
    registerAsset("c", 1, c, false);
    EXPECT_TRUE(releaseAsset(b));
    ASSERT_EQ(assetRegistry.count, 2);
    EXPECT_STREQ(assetRegistry.entries[0]->name, "A");
    EXPECT_STREQ(assetRegistry.entries[1]->name, "C");
}

TEST_F(AssetRegistryTest, DuplicateNamesFindTheOlderEntry) {
    static uint8_t first[1], second[1];
    registerAsset("x.tga", 1, first, false);
    registerAsset("X.TGA", 1, second, false);
    EXPECT_EQ(findAsset("x.tga")->data, first);
}

TEST_F(AssetRegistryTest, FullRegistryRefusesWithoutTouchingEarlierEntries) {
    static uint8_t byte[1];
    for (int i = 0; i < kMaxAssets; ++i) {
        ASSERT_TRUE(registerAsset(("n" + std::to_string(i)).c_str(), 1, byte, false));
    }
    EXPECT_FALSE(registerAsset("extra", 1, byte, false));
    EXPECT_EQ(assetRegistry.count, kMaxAssets);
    EXPECT_STREQ(assetRegistry.entries[kMaxAssets - 1]->name, "N1023");
    writeDisk("late.txt", "x");
    EXPECT_EQ(loadFile("late.txt", nullptr, false), nullptr);
}

TEST_F(AssetRegistryTest, DiskNamesResolveBackslashesAndLetterCase) {
    mkdir("Field", 0755);
    writeDisk("Field/Field0.TGA", "tile");
    int32_t size = 0;
    uint8_t* data = loadFile("field\\field0.tga", &size, false);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "tile");
}

TEST_F(AssetRegistryTest, LoadFileIntoRespectsTheBufferAndDoesNotRegister) {
    writeDisk("small.bin", "12345");
    uint8_t buffer[8] = {};
    int32_t size = 0;
    EXPECT_EQ(loadFileInto("small.bin", buffer, 8, &size), buffer);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(assetRegistry.count, 0);
    EXPECT_EQ(loadFileInto("small.bin", buffer, 4, &size), nullptr);
    EXPECT_EQ(loadFileInto("none.bin", buffer, 8, &size), nullptr);
}

TEST_F(AssetRegistryTest, WriteFileReplacesWholeFilesAtomically) {
    const uint8_t first[] = {1, 2, 3, 4};
    EXPECT_TRUE(writeFile("out.dat", first, 4));
    const uint8_t second[] = {9};
    EXPECT_TRUE(writeFile("out.dat", second, 1));
    struct stat st;
    ASSERT_EQ(stat("out.dat", &st), 0);
    EXPECT_EQ(st.st_size, 1);
    EXPECT_FALSE(writeFile("no/such/folder/out.dat", first, 4));
}

TEST_F(AssetRegistryTest, MissingRequiredFileStopsWithTheLoadingError) {
    EXPECT_EXIT(
        {
            setenv("CORSAVEL_NO_MESSAGE_BOX", "1", 1);
            loadFile("nothere.tga", nullptr, true);
        },
        ::testing::ExitedWithCode(1),
        "Loading Error: Can't load nothere.tga...\nProgram will now stop.");
}

TEST_F(AssetRegistryTest, RegistrationHookSeesEverySize) {
    static int32_t total = 0;
    total = 0;
    setAssetRegisteredHook([](int32_t size) { total += size; });
    std::vector<uint8_t> bytes = archiveEntry("a", "12");
    const std::vector<uint8_t> second = archiveEntry("b", "345");
    bytes.insert(bytes.end(), second.begin(), second.end());
    writeDisk("pack.dat", std::string(bytes.begin(), bytes.end()));
    loadArchive("pack.dat");
    setAssetRegisteredHook(nullptr);
    EXPECT_EQ(total, static_cast<int32_t>(bytes.size()) + 2 + 3);
}

}  // namespace
}  // namespace corsavel
