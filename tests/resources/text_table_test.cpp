#include "resources/text_table.h"

#include <gtest/gtest.h>

#include <string>

namespace corsavel {
namespace {

class TextTableTest : public ::testing::Test {
protected:
    void SetUp() override { freeTextTables(); }
    void TearDown() override { freeTextTables(); }
    static int parse(const std::string& text) {
        return parseTextTable(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
};

TEST_F(TextTableTest, KeyValueLinesKeepSpacesAndSingleControls) {
    EXPECT_EQ(parse("title=Hello World \r\n  two words=a\tb\r\n"), 2);
    EXPECT_STREQ(findText("title"), "Hello World ");
    EXPECT_STREQ(findText("two words"), "a\tb");
}

TEST_F(TextTableTest, TaggedBlocksKeepTheirInnerLineEnds) {
    parse("[credits/]\r\nline one\r\nline two\r\n[/credits]\r\nafter=x\r\n");
    EXPECT_STREQ(findText("credits"), "line one\r\nline two\r\n");
    EXPECT_STREQ(findText("after"), "x");
}

TEST_F(TextTableTest, BlockTextKeepsLeadingSpacesAndIgnoresTheClosingKey) {
    parse("[a/]   indented[/whatever]\r\nb=2\r\n");
    EXPECT_STREQ(findText("a"), "   indented");
    EXPECT_STREQ(findText("b"), "2");
}

TEST_F(TextTableTest, FirstDefinitionWinsButBothAreStored) {
    parse("k=first\r\nk=second\r\nother=o\r\n");
    EXPECT_EQ(textTable.count, 3);
    EXPECT_STREQ(findText("k"), "first");
    EXPECT_EQ(textIndex("k"), 0);
    EXPECT_EQ(textIndex("other"), 2);
    EXPECT_EQ(textIndex("missing"), 0);
    EXPECT_STREQ(textAt(1), "second");
    EXPECT_EQ(textAt(3), nullptr);
    EXPECT_EQ(textAt(-1), nullptr);
}

TEST_F(TextTableTest, ItemsCutShortByTheEndOfTheFileAreDropped) {
    // The last byte is ignored: a value with no line end loses it and is dropped.
    EXPECT_EQ(parse("a=1\r\nb=no end"), 1);
    EXPECT_EQ(findText("b"), nullptr);
    freeTextTables();
    EXPECT_EQ(parse("a=1\r\n[open/]text without close"), 1);
    freeTextTables();
    EXPECT_EQ(parse("a=1\r\n[broken key"), 1);
    freeTextTables();
    EXPECT_EQ(parse(""), 0);
    EXPECT_EQ(parse("x"), 0);
}

TEST_F(TextTableTest, LongKeysAreCutAt19Characters) {
    parse("abcdefghijklmnopqrstuvwxyz=v\r\n");
    EXPECT_STREQ(findText("abcdefghijklmnopqrs"), "v");
}

TEST_F(TextTableTest, FullTableRefusesFurtherEntries) {
    std::string text;
    for (int i = 0; i < kMaxTextEntries + 5; ++i) text += "k" + std::to_string(i) + "=v\r\n";
    EXPECT_EQ(parse(text), kMaxTextEntries);
    EXPECT_FALSE(addText("more", "x", 1));
    EXPECT_STREQ(textTable.entries[kMaxTextEntries - 1].key, "k1023");
}

TEST(KeyValueReaders, SubstringSearchMatchesInsideLongerKeys) {
    const char* level = "autoskeletons=3\r\nskeletons=5\r\n";
    EXPECT_EQ(readInt(level, "skeletons="), 3);
    const char* effect = "drot=7\r\nrot=2\r\n";
    EXPECT_FLOAT_EQ(readFloat(effect, "rot="), 7.0f);
}

TEST(KeyValueReaders, IntegersTruncateTowardZero) {
    EXPECT_EQ(readInt("a=3.9\r\nb=-2.5\r\nc=0\r\n", "a="), 3);
    EXPECT_EQ(readInt("a=3.9\r\nb=-2.5\r\nc=0\r\n", "b="), -2);
    EXPECT_EQ(readInt("a=3.9\r\nb=-2.5\r\nc=0\r\n", "c="), 0);
    EXPECT_EQ(readInt("a=3.9\r\n", "missing="), 0);
    EXPECT_EQ(readInt("a=1e30\r\n", "a="), INT32_MAX);
}

TEST(KeyValueReaders, ValuesEndAtCrOrTheEndOfTheText) {
    char out[16];
    EXPECT_STREQ(readValue(out, "name=box\r\n", "name="), "box");
    EXPECT_STREQ(readValue(out, "name=last", "name="), "last");
    EXPECT_EQ(readValue(out, "name=x\r\n", "other="), nullptr);
    EXPECT_STREQ(out, "");
    // Cut to the caller's buffer.
    char small[4];
    EXPECT_STREQ(readValue(small, "k=abcdefgh\r\n", "k="), "abc");
}

TEST(KeyValueReaders, FloatListsStopAtTheCallersCapacity) {
    float values[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(readFloatList("c=(1,2.5,3)\r\n", values, 5, "c="), 3);
    EXPECT_FLOAT_EQ(values[0], 1.0f);
    EXPECT_FLOAT_EQ(values[1], 2.5f);
    EXPECT_FLOAT_EQ(values[2], 3.0f);
    EXPECT_FLOAT_EQ(values[3], 9.0f);
    EXPECT_EQ(readFloatList("c={4,5}\r\n", values, 5, "c="), 2);
    EXPECT_FLOAT_EQ(values[1], 5.0f);
    float two[2] = {0, 0};
    EXPECT_EQ(readFloatList("c=(1,2,3,4,5)\r\n", two, 2, "c="), 2);
    EXPECT_EQ(readFloatList("c=1,2\r\n", values, 5, "c="), 0);
    EXPECT_EQ(readFloatList("x=1\r\n", values, 5, "c="), 0);
}

TEST(KeyValueReaders, VectorsReadThreeComponents) {
    float v[3] = {7, 7, 7};
    EXPECT_TRUE(readVector3(v, "pos=(1,-2.5,30)\r\n", "pos="));
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[1], -2.5f);
    EXPECT_FLOAT_EQ(v[2], 30.0f);
    float w[3] = {7, 7, 7};
    EXPECT_FALSE(readVector3(w, "pos=(1,2,3)\r\n", "dir="));
    EXPECT_FLOAT_EQ(w[0], 7.0f);
    EXPECT_TRUE(readVector3(w, "pos=(5\r\n", "pos="));
    EXPECT_FLOAT_EQ(w[0], 5.0f);
    EXPECT_FLOAT_EQ(w[1], 0.0f);
}

}  // namespace
}  // namespace corsavel
