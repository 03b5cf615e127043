#pragma once

// The menu files as the game ships them, in memory: the page tree, the
// captions and a few credit lines.

#include <string>

#include "ui/menu.h"

namespace corsavel::test {

inline std::string shippedMenuText() {
    return "ok=\r\n\r\n"
           "main=\r\ningame\r\nadventure\r\npuzzle\r\ninfo\r\noptions\r\nhiscore\r\ncredits\r\n"
           "exit\r\n\r\n"
           "info=\r\ninstructions\r\nback\r\n\r\n"
           "puzzle=\r\nstart\r\nback\r\n\r\n"
           "defeat=\r\nrestart level\r\nskip level\r\nmain\r\n\r\n"
           "ingame=\r\ngameplay\r\nlevelcomplete\r\ndefeat\r\ngameover\r\nreplaywin\r\n"
           "replayloss\r\n\r\n"
           "rename=\r\nokrename\r\ncancel\r\n\r\n"
           "hiscore=\r\nback\r\n\r\n"
           "options=\r\napply\r\nback\r\n\r\n"
           "gameover=\r\nrestart level\r\nmain\r\n\r\n"
           "gameplay=\r\nresume game\r\nrestart level\r\nhelpgameplay\r\nmain\r\n\r\n"
           "profiles=\r\nselectprofile\r\nnewprofile\r\nrename\r\nremove\r\nback\r\n\r\n"
           "adventure=\r\nstart\r\nback\r\n\r\n"
           "replaywin=\r\noknextlevel\r\n\r\n"
           "newprofile=\r\noknewprofile\r\ncancel\r\n\r\n"
           "replayloss=\r\nrestart level\r\nmain\r\n\r\n"
           "gameplaytip=\r\nokcontinuegame\r\n\r\n"
           "messageboxok=\r\nok\r\n\r\n"
           "messageboxyn=\r\nyes\r\nno\r\n\r\n"
           "levelcomplete=\r\noknextlevel\r\n\r\n"
           "loadgamequest=\r\nyes\r\nno\r\n\r\n";
}

inline std::string shippedCaptionText() {
    return "ok=OK\r\nno=No\r\nyes=Yes\r\nmain=Main menu\r\nback=Back\r\nexit=Exit\r\n"
           "start=Play\r\napply=Apply\r\npuzzle=Puzzle\r\ncancel=Cancel\r\n"
           "options=Options\r\nhiscore=Hiscores\r\ncredits=Credits\r\nadventure=Adventure\r\n"
           "info=Help\r\nprofiles=Players\r\nnewprofile=New player\r\n"
           "\r\n[credits/]\r\n\r\nCORSAVEL\r\n\r\nProgramming\r\nTAVIN ROSKELD\r\n[/credits]\r\n";
}

inline bool loadShippedMenus() {
    static const std::string menuText = shippedMenuText();
    static const std::string captions = shippedCaptionText();
    MenuFiles files;
    files.menuText = menuText.c_str();
    files.menuSize = static_cast<int64_t>(menuText.size());
    files.captionText = captions.c_str();
    files.captionSize = static_cast<int64_t>(captions.size());
    return loadMenusFromText(files);
}

}  // namespace corsavel::test
