#include <gtest/gtest.h>

#include "forge/archive_writer.h"

using namespace corsavel::forge;

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(ArchiveScrambling, NameBytesCycleOverTheData) {
    std::vector<uint8_t> data = {0x61, 0x62, 0x61};
    scrambleWithName(data, "ab");
    EXPECT_EQ(data, (std::vector<uint8_t>{0, 0, 0x61 ^ 0x61}));
    scrambleWithName(data, "ab");
    EXPECT_EQ(data, (std::vector<uint8_t>{0x61, 0x62, 0x61}));
}

TEST(ArchiveLayout, EntryIsNameNulLengthAndScrambledData) {
    std::vector<uint8_t> archive;
    ASSERT_TRUE(packArchive({{"ab", bytesOf("aba")}}, archive));
    const std::vector<uint8_t> expected = {'a', 'b', 0, 3, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(archive, expected);
}

TEST(ArchiveLayout, RoundTripKeepsOrderNamesAndBytes) {
    std::vector<ArchiveEntry> entries = {
        {"font.tga", bytesOf("glyphs")}, {"empty.txt", {}}, {"strings.txt", bytesOf("k=v\r\n")}};
    std::vector<uint8_t> archive;
    ASSERT_TRUE(packArchive(entries, archive));
    std::vector<ArchiveEntry> back;
    ASSERT_TRUE(unpackArchive(archive, back));
    ASSERT_EQ(back.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].name, entries[i].name);
        EXPECT_EQ(back[i].bytes, entries[i].bytes);
    }
}

TEST(ArchiveLayout, NamesTheReaderCannotWalkAreRefused) {
    std::vector<uint8_t> archive;
    EXPECT_FALSE(packArchive({{"", bytesOf("x")}}, archive));
    EXPECT_FALSE(packArchive({{std::string(64, 'n'), bytesOf("x")}}, archive));
    EXPECT_TRUE(archive.empty());
    EXPECT_TRUE(packArchive({{std::string(63, 'n'), bytesOf("x")}}, archive));
}

TEST(ArchiveLayout, TruncatedOrNamelessArchivesDoNotUnpack) {
    std::vector<uint8_t> archive;
    ASSERT_TRUE(packArchive({{"a.txt", bytesOf("hello")}}, archive));
    std::vector<ArchiveEntry> out;
    std::vector<uint8_t> cut(archive.begin(), archive.end() - 1);
    EXPECT_FALSE(unpackArchive(cut, out));
    std::vector<uint8_t> noName = {0, 1, 0, 0, 0, 'x'};
    EXPECT_FALSE(unpackArchive(noName, out));
    std::vector<uint8_t> unterminated = {'a', 'b'};
    EXPECT_FALSE(unpackArchive(unterminated, out));
    EXPECT_TRUE(unpackArchive({}, out));
    EXPECT_TRUE(out.empty());
}

}  // namespace
