// The page tree and the credits as read from the two menu files, including
// files that are empty, oversized or loop back on themselves.
#include <gtest/gtest.h>

#include <string>

#include "menu_fixture.h"
#include "ui/menu.h"

namespace corsavel {
namespace {

bool loadText(const std::string& menuText, const std::string& captions) {
    MenuFiles files;
    files.menuText = menuText.data();
    files.menuSize = static_cast<int64_t>(menuText.size());
    files.captionText = captions.data();
    files.captionSize = static_cast<int64_t>(captions.size());
    return loadMenusFromText(files);
}

class MenuTree : public ::testing::Test {
protected:
    void TearDown() override { resetMenus(); }
};

TEST_F(MenuTree, ShippedTreeDropsMainsFirstItemButKeepsItsPagesByName) {
    ASSERT_TRUE(test::loadShippedMenus());
    const MenuPage* main = findPage("main");
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(main->itemCount, 7);
    EXPECT_STREQ(main->items[0]->name, "adventure");
    EXPECT_STREQ(main->items[6]->name, "exit");
    EXPECT_EQ(main->items[7], nullptr);
    const MenuPage* ingame = findPage("ingame");
    ASSERT_NE(ingame, nullptr);
    EXPECT_EQ(ingame->parent, main);
    EXPECT_EQ(findPage("gameplay")->parent, ingame);
    EXPECT_STREQ(main->text, "Main menu");
    EXPECT_STREQ(findPage("credits")->text, "Credits");
    EXPECT_STREQ(findPage("ingame")->text, "") << "no caption line: an empty caption";
    EXPECT_EQ(findPage("profiles")->parent, main);
    EXPECT_EQ(menu.selectedItem, 0);
    EXPECT_EQ(findPage("Main"), nullptr) << "names are case-sensitive";
}

TEST_F(MenuTree, ItemUnderTwoPagesKeepsTheParentThatBuiltItFirst) {
    ASSERT_TRUE(test::loadShippedMenus());
    const MenuPage* back = findPage("back");
    ASSERT_NE(back, nullptr);
    // "adventure" comes first in main's list and builds it.
    EXPECT_EQ(back->parent, findPage("adventure"));
    EXPECT_EQ(findPage("puzzle")->items[1], back);
    EXPECT_EQ(findPage("info")->items[1], back);
}

TEST_F(MenuTree, BlockIsTheFirstOccurrenceOfNameAndEquals) {
    // "tip=" occurs first inside "gametip=": the shorter name takes that block.
    ASSERT_TRUE(
        loadText("main=\r\nx\r\ntip\r\n\r\ngametip=\r\nlong\r\n\r\ntip=\r\nshort\r\n\r\n", ""));
    EXPECT_STREQ(findPage("tip")->items[0]->name, "long");
}

TEST_F(MenuTree, EmptyAndMissingFilesGiveAMainPageWithNoItems) {
    ASSERT_TRUE(loadText("", ""));
    EXPECT_EQ(findPage("main")->itemCount, 0);
    EXPECT_EQ(menu.creditLineCount, 0);
    MenuFiles none;
    EXPECT_TRUE(loadMenusFromText(none));
}

TEST_F(MenuTree, FilesWithoutTheFinalLineEndAreReadWhole) {
    ASSERT_TRUE(loadText("main=\r\nx\r\ny", "y=Why"));
    const MenuPage* main = findPage("main");
    ASSERT_EQ(main->itemCount, 1) << "the first item is dropped";
    EXPECT_STREQ(main->items[0]->name, "y");
    EXPECT_STREQ(main->items[0]->text, "Why");
}

TEST_F(MenuTree, PageNamingAnAncestorDoesNotRecurse) {
    ASSERT_TRUE(loadText("main=\r\nx\r\na\r\n\r\na=\r\nb\r\n\r\nb=\r\na\r\nmain\r\n\r\n", ""));
    const MenuPage* a = findPage("a");
    const MenuPage* b = findPage("b");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->items[0], a);
    EXPECT_EQ(b->items[1], findPage("main"));
    EXPECT_EQ(b->parent, a);
    EXPECT_EQ(a->parent, findPage("main"));
}

TEST_F(MenuTree, ItemsPagesAndNamesAreBounded) {
    std::string text = "main=\r\nx\r\n";
    for (int i = 0; i < 40; ++i) {
        text += "item" + std::to_string(i) + "\r\n";
    }
    text += "\r\n";
    // Forty pages of twenty leaves each: more than the table holds.
    for (int i = 0; i < 40; ++i) {
        text += "item" + std::to_string(i) + "=\r\n";
        for (int j = 0; j < 20; ++j) {
            text += "leaf" + std::to_string(i) + "_" + std::to_string(j) + "\r\n";
        }
        text += "\r\n";
    }
    text += "leaf0_0=\r\n" + std::string(200, 'n') + "\r\n\r\n";
    ASSERT_TRUE(loadText(text, ""));
    EXPECT_EQ(menu.pageCount, kMaxMenuPages);
    EXPECT_LE(findPage("main")->itemCount, kMaxMenuItems - 1);
    EXPECT_EQ(findPage("item0")->itemCount, kMaxMenuItems);
    EXPECT_EQ(findPage("leaf0_16"), nullptr) << "items past the 16th are not built";
    const MenuPage* leaf = findPage("leaf0_0");
    ASSERT_EQ(leaf->itemCount, 1);
    EXPECT_EQ(std::string(leaf->items[0]->name), std::string(kMenuNameSize - 1, 'n'));
}

TEST_F(MenuTree, AListKeepsItsFirstSixteenItems) {
    std::string text = "main=\r\n";
    for (int i = 0; i < 40; ++i) {
        text += "item" + std::to_string(i) + "\r\n";
    }
    ASSERT_TRUE(loadText(text + "\r\n", ""));
    const MenuPage* main = findPage("main");
    ASSERT_EQ(main->itemCount, kMaxMenuItems - 1);
    EXPECT_STREQ(main->items[14]->name, "item15");
}

TEST_F(MenuTree, CreditsSkipLeadingEmptyLinesAndAreBounded) {
    std::string captions =
        "main=Main\r\n[credits/]\r\n\r\n\r\nFirst\r\n\r\nThird\r\n[/credits]\r\n";
    ASSERT_TRUE(loadText("main=\r\n\r\n", captions));
    ASSERT_EQ(menu.creditLineCount, 3);
    EXPECT_STREQ(menu.creditLines[0], "First");
    EXPECT_STREQ(menu.creditLines[1], "");
    EXPECT_STREQ(menu.creditLines[2], "Third");

    // No closing tag: the lines run to the end of the text, 64 at most,
    // 63 characters each.
    captions = "[credits/]\r\n";
    for (int i = 0; i < 100; ++i) {
        captions += std::string(100, 'c') + "\r\n";
    }
    ASSERT_TRUE(loadText("main=\r\n\r\n", captions));
    EXPECT_EQ(menu.creditLineCount, kMaxCreditLines);
    EXPECT_EQ(std::string(menu.creditLines[63]), std::string(kCreditLineSize - 1, 'c'));

    ASSERT_TRUE(loadText("main=\r\n\r\n", "[credits/]\r\nOnly line"));
    ASSERT_EQ(menu.creditLineCount, 1);
    EXPECT_STREQ(menu.creditLines[0], "Only line");
}

TEST_F(MenuTree, HooksSetBeforeOrAfterLoadingAreAttached) {
    static int calls = 0;
    const PageHook hook = [] { ++calls; };
    ASSERT_TRUE(setPageHook("adventure", hook));
    ASSERT_TRUE(test::loadShippedMenus());
    EXPECT_EQ(findPage("adventure")->drawHook, hook);
    ASSERT_TRUE(setPageHook("puzzle", hook));
    EXPECT_EQ(findPage("puzzle")->drawHook, hook);
    EXPECT_NE(findPage("main")->drawHook, nullptr);
    EXPECT_EQ(findPage("gameplay")->drawHook, nullptr) << "drawn as the generic list";
    setPageHook("adventure", nullptr);
    setPageHook("puzzle", nullptr);
}

TEST(MenuFormats, DataStringsMayOnlyHoldTheConversionsSupplied) {
    EXPECT_TRUE(formatMatches("Welcome, %s!", "s"));
    EXPECT_TRUE(formatMatches("Welcome!", "s")) << "fewer is safe";
    EXPECT_TRUE(formatMatches("Level %i    Score %i", "ii"));
    EXPECT_TRUE(formatMatches("%.2i:%.2i 100%%", "ii"));
    EXPECT_FALSE(formatMatches("Welcome, %s %s!", "s"));
    EXPECT_FALSE(formatMatches("Level %s", "i"));
    EXPECT_FALSE(formatMatches("%n", "i"));
    EXPECT_FALSE(formatMatches("%i%", "i"));
    EXPECT_FALSE(formatMatches(nullptr, "s"));
    // Widths and precisions up to 999; a longer one would pad for seconds.
    EXPECT_TRUE(formatMatches("%-999i|%.999i|%5s", "iis"));
    EXPECT_FALSE(formatMatches("Score %999999999i", "i"));
    EXPECT_FALSE(formatMatches("%.1000s", "s"));
}

}  // namespace
}  // namespace corsavel
