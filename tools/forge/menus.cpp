#include "forge/menus.h"

#include <algorithm>

namespace corsavel::forge {

namespace {

// The game finds a block or a caption by the first occurrence of its name and
// "=" anywhere in the file. A name whose "name=" is the tail of a longer one
// ("ok=" inside "messageboxok=") must therefore come first: shortest first
// guarantees it.
template <typename T, typename NameOf>
std::vector<T> shortestNameFirst(std::vector<T> entries, NameOf nameOf) {
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const T& a, const T& b) { return nameOf(a).size() < nameOf(b).size(); });
    return entries;
}

std::vector<MenuBlock> buildBlocks() {
    return {
        // The first item of "main" is taken off its list by the game: it
        // holds the pages shown over a running game.
        {"main",
         {"ingame", "adventure", "puzzle", "info", "options", "hiscore", "credits", "exit"}},
        {"ingame", {"gameplay", "levelcomplete", "defeat", "gameover", "replaywin", "replayloss"}},
        {"adventure", {"start", "back"}},
        {"puzzle", {"start", "back"}},
        {"info", {"instructions", "back"}},
        {"options", {"apply", "back"}},
        {"hiscore", {"back"}},
        {"profiles", {"selectprofile", "newprofile", "rename", "remove", "back"}},
        {"newprofile", {"oknewprofile", "cancel"}},
        {"rename", {"okrename", "cancel"}},
        {"loadgamequest", {"yes", "no"}},
        {"gameplaytip", {"okcontinuegame"}},
        {"levelcomplete", {"oknextlevel"}},
        // An empty block of its own, so that "ok" is not read as the page
        // "messageboxok".
        {"ok", {}},
        {"messageboxok", {"ok"}},
        {"messageboxyn", {"yes", "no"}},
        // The pause menu has no "skip level": its confirmation over "gameplay"
        // would restart the level. Skipping is offered after a defeat.
        {"gameplay", {"resume game", "restart level", "helpgameplay", "main"}},
        {"defeat", {"restart level", "skip level", "main"}},
        {"gameover", {"restart level", "main"}},
        {"replaywin", {"oknextlevel"}},
        {"replayloss", {"restart level", "main"}},
    };
}

std::vector<std::pair<std::string, std::string>> buildCaptions() {
    return {
        {"main", "Main menu"},
        {"adventure", "Adventure"},
        {"puzzle", "Puzzle"},
        {"info", "Help"},
        {"options", "Options"},
        {"hiscore", "Hiscores"},
        {"credits", "Credits"},
        {"exit", "Exit"},
        {"start", "Play"},
        {"back", "Back"},
        {"cancel", "Cancel"},
        {"apply", "Apply"},
        {"default", "Defaults"},
        {"instructions", "How to play"},
        {"profiles", "Players"},
        {"selectprofile", "Select"},
        {"newprofile", "New player"},
        {"rename", "Rename"},
        {"remove", "Remove"},
        {"oknewprofile", "OK"},
        {"okrename", "OK"},
        {"loadgamequest", "Saved game"},
        {"yes", "Yes"},
        {"no", "No"},
        {"ok", "OK"},
        {"gameplaytip", "Game tip"},
        {"okcontinuegame", "OK"},
        {"levelcomplete", "Level complete"},
        {"oknextlevel", "OK"},
        {"messageboxok", "Message"},
        {"messageboxyn", "Question"},
        {"gameplay", "Pause"},
        {"resume game", "Resume game"},
        {"restart level", "Restart level"},
        {"skip level", "Skip level"},
        {"helpgameplay", "Help"},
        {"defeat", "Defeat"},
        {"gameover", "Game over"},
        {"replaywin", "Well done"},
        {"replayloss", "Try again"},
        {"ingame", "Game"},
    };
}

// Roles (third character lower case, drawn yellow) and the fictional team.
std::vector<std::string> buildCredits() {
    return {
        "CORSAVEL",
        "",
        "Game design",
        "MIRELA OSTVANG",
        "",
        "Programming",
        "TAVIN ROSKELD",
        "ELUNE BRACKWITH",
        "",
        "Art and animation",
        "SOLVEIG MARRANT",
        "PIET VANDROSS",
        "",
        "Level design",
        "ODA FENNICK",
        "",
        "Music and sound",
        "CASPAR ILLWEN",
        "",
        "Testing",
        "THE WHOLE QUELLMOR CREW",
        "",
        "Thank you for playing!",
    };
}

}  // namespace

const std::vector<MenuBlock>& menuBlocks() {
    static const std::vector<MenuBlock> blocks = shortestNameFirst(
        buildBlocks(), [](const MenuBlock& b) -> const std::string& { return b.page; });
    return blocks;
}

const std::vector<std::pair<std::string, std::string>>& menuCaptions() {
    static const auto captions = shortestNameFirst(
        buildCaptions(),
        [](const std::pair<std::string, std::string>& c) -> const std::string& { return c.first; });
    return captions;
}

const std::vector<std::string>& creditLines() {
    static const std::vector<std::string> lines = buildCredits();
    return lines;
}

std::string menuFileText() {
    std::string text;
    for (const MenuBlock& block : menuBlocks()) {
        text += block.page + "=\r\n";
        for (const std::string& item : block.items) {
            text += item + "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

std::string menuTextFileText() {
    std::string text;
    for (const auto& [page, caption] : menuCaptions()) {
        text += page + "=" + caption + "\r\n";
    }
    text += "\r\n[credits/]\r\n";
    for (const std::string& line : creditLines()) {
        text += line + "\r\n";
    }
    text += "[/credits]\r\n";
    return text;
}

void forgeMenus(ForgeOutput& out) {
    out.addText("menu.txt", menuFileText(), Destination::TextArchive);
    out.addText("menutext.txt", menuTextFileText(), Destination::TextArchive);
    out.addText("menu.txt", menuFileText());
    out.addText("menutext.txt", menuTextFileText());
}

}  // namespace corsavel::forge
