#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "forge/menus.h"

using namespace corsavel::forge;

namespace {

struct Page {
    std::string parent;
    std::vector<std::string> items;
};

// The game's tree builder: a block is the first "name=" anywhere in the file,
// followed by CR LF, item lines, and an empty line.
class MenuModel {
public:
    explicit MenuModel(std::string file) : file_(std::move(file)) {}

    void build(const std::string& name, const std::string& parent) {
        if (pages_.count(name) != 0) {
            return;
        }
        order_.push_back(name);
        pages_[name].parent = parent;
        const size_t at = file_.find(name + "=");
        if (at == std::string::npos) {
            return;
        }
        size_t p = at + name.size() + 1;
        ASSERT_EQ(file_.compare(p, 2, "\r\n"), 0) << name;
        p += 2;
        while (true) {
            const size_t end = file_.find("\r\n", p);
            ASSERT_NE(end, std::string::npos) << name;
            if (end == p) {
                break;
            }
            const std::string item = file_.substr(p, end - p);
            pages_[name].items.push_back(item);
            build(item, name);
            p = end + 2;
        }
    }

    std::map<std::string, Page> pages_;
    std::vector<std::string> order_;

private:
    std::string file_;
};

MenuModel builtTree() {
    MenuModel model(menuFileText());
    model.build("main", "");
    for (const char* page :
         {"gameplaytip", "loadgamequest", "newprofile", "rename", "profiles", "levelcomplete",
          "messageboxok", "messageboxyn", "gameplay", "defeat", "gameover"}) {
        model.build(page, "");
    }
    return model;
}

TEST(MenuTree, EveryPageTheGameNamesIsBuilt) {
    MenuModel model = builtTree();
    for (const char* page :
         {"gameplaytip", "loadgamequest", "newprofile", "rename", "profiles", "levelcomplete",
          "messageboxok", "messageboxyn", "gameplay", "defeat", "gameover"}) {
        model.build(page, "");
    }
    const char* const kPages[] = {"main",
                                  "adventure",
                                  "puzzle",
                                  "options",
                                  "hiscore",
                                  "credits",
                                  "info",
                                  "profiles",
                                  "newprofile",
                                  "rename",
                                  "loadgamequest",
                                  "gameplaytip",
                                  "levelcomplete",
                                  "messageboxok",
                                  "messageboxyn",
                                  "gameplay",
                                  "defeat",
                                  "gameover",
                                  "replaywin",
                                  "replayloss",
                                  "exit",
                                  "start",
                                  "back",
                                  "cancel",
                                  "apply",
                                  "yes",
                                  "no",
                                  "ok",
                                  "instructions",
                                  "selectprofile",
                                  "remove",
                                  "oknewprofile",
                                  "okrename",
                                  "okcontinuegame",
                                  "oknextlevel",
                                  "resume game",
                                  "restart level",
                                  "skip level",
                                  "helpgameplay"};
    for (const char* page : kPages) {
        EXPECT_EQ(model.pages_.count(page), 1u) << page;
    }
    // The hooked pages must be reachable from the main page itself.
    MenuModel fromMain(menuFileText());
    fromMain.build("main", "");
    for (const char* page : {"adventure", "puzzle", "options", "hiscore", "credits"}) {
        EXPECT_EQ(fromMain.pages_.count(page), 1u) << page;
    }
    EXPECT_LE(model.pages_.size(), 256u);
}

TEST(MenuTree, ItemsTheHooksDrawAsButtonsAreInPlace) {
    const MenuModel model = builtTree();
    auto items = [&](const std::string& page) { return model.pages_.at(page).items; };
    // The game drops main's first item; the rest are the main menu.
    const auto main = items("main");
    ASSERT_GE(main.size(), 5u);
    EXPECT_EQ(main[1], "adventure");
    EXPECT_EQ(main[2], "puzzle");
    EXPECT_EQ(items("adventure"), (std::vector<std::string>{"start", "back"}));
    EXPECT_EQ(items("puzzle"), (std::vector<std::string>{"start", "back"}));
    EXPECT_EQ(items("messageboxok"), (std::vector<std::string>{"ok"}));
    EXPECT_EQ(items("messageboxyn"), (std::vector<std::string>{"yes", "no"}));
    EXPECT_EQ(items("loadgamequest"), (std::vector<std::string>{"yes", "no"}));
    EXPECT_EQ(items("newprofile").front(), "oknewprofile");
    EXPECT_EQ(items("rename").front(), "okrename");
    EXPECT_EQ(items("levelcomplete").front(), "oknextlevel");
    EXPECT_EQ(items("gameplaytip").front(), "okcontinuegame");
    EXPECT_EQ(items("options").size(), 2u);
    EXPECT_EQ(items("gameplay").front(), "resume game");
    EXPECT_TRUE(items("ok").empty()) << "\"ok\" must not pick up the block of \"messageboxok\"";
    for (const auto& [name, page] : model.pages_) {
        EXPECT_LE(page.items.size(), 16u) << name;
        EXPECT_LE(name.size(), 63u);
    }
}

TEST(MenuTree, NoNameFindsAnotherPagesBlock) {
    const std::string file = menuFileText();
    for (const MenuBlock& block : menuBlocks()) {
        const size_t at = file.find(block.page + "=");
        ASSERT_NE(at, std::string::npos);
        EXPECT_TRUE(at == 0 || file.compare(at - 2, 2, "\r\n") == 0) << block.page;
    }
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
}

TEST(MenuTexts, EveryPageHasItsOwnCaption) {
    const std::string file = menuTextFileText();
    const MenuModel model = builtTree();
    for (const auto& [name, page] : model.pages_) {
        if (name == "ingame") {
            continue;
        }
        const size_t at = file.find(name + "=");
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_TRUE(at == 0 || file[at - 1] == '\n') << name << " reads another caption";
        const size_t end = file.find('\r', at);
        EXPECT_LE(end - at - name.size() - 1, 63u);
        EXPECT_GT(end - at - name.size() - 1, 0u) << name;
    }
}

TEST(MenuTexts, CreditsBlockFitsTheCreditTable) {
    const std::string file = menuTextFileText();
    const size_t open = file.find("[credits/]\r\n");
    const size_t close = file.find("\r\n[/credits]");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    const auto& lines = creditLines();
    EXPECT_LE(lines.size(), 64u);
    bool roles = false;
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 63u);
        EXPECT_EQ(line.find('='), std::string::npos);
        roles |= line.size() > 2 && line[2] >= 'a' && line[2] <= 'z';
    }
    EXPECT_TRUE(roles);
    EXPECT_FALSE(lines.front().empty());
}

}  // namespace
