#include "forge/texts.h"

#include <utility>
#include <vector>

namespace corsavel::forge {

namespace {

// One item of a table: a short key=value line, or a tagged block for texts
// that run over several lines.
struct TextItem {
    const char* key;
    const char* text;
    bool block = false;
};

std::string render(const std::vector<TextItem>& items) {
    std::string out;
    for (const TextItem& item : items) {
        if (item.block) {
            // The text runs up to the closing tag's "[", so no line end
            // before it: the block's text ends exactly with its last word.
            out += "[";
            out += item.key;
            out += "/]\r\n";
            out += item.text;
            out += "[/";
            out += item.key;
            out += "]\r\n";
        } else {
            out += item.key;
            out += "=";
            out += item.text;
            out += "\r\n";
        }
    }
    // The reader drops the file's last byte and stops at the end of the
    // buffer: a spare line end keeps the last item clear of it.
    out += "\r\n";
    return out;
}

}  // namespace

std::string stringsText() {
    const std::vector<TextItem> items = {
        // Main page, profiles and name entry.
        {"hallo", "Welcome, %s!"},
        {"ifnotyou", "Not you? Click here"},
        {"curusers", "Players"},
        {"entername", "Enter your name:"},
        // Game modes.
        {"classicmode", "Adventure"},
        {"endlessmode", "Puzzle"},
        {"mode1", "Adventure"},
        {"mode2", "Puzzle"},
        // Saved-game question.
        {"loadclassicmode", "Saved adventure"},
        {"loadendlessmode", "Saved puzzle game"},
        {"loadmsg", "Continue where you left off?"},
        {"surlevscore", "Level %i    Score %i"},
        // Level statistics.
        {"stats", "Level complete"},
        {"yourscore", "Your score:"},
        {"yourtime", "Your time:"},
        {"bestscore", "Best score:"},
        {"besttime", "Best time:"},
        {"by", "by %s"},
        // Play: lives, pause, end of a level or of the game.
        {"nomoves", "Out of time!"},
        {"loselife", "You lost a life"},
        {"lastlife", "LAST LIFE!"},
        {"gameover", "GAME OVER"},
        {"getlife", "EXTRA LIFE!"},
        {"pause", "PAUSE"},
        {"keytoresume", "Press any key or click to continue"},
        {"congratulations", "CONGRATULATIONS!"},
        {"gamepass1", "You have found every treasure of the island!"},
        // Tip bubbles during play.
        {"powerup",
         "A line of four or more leaves a bonus figure behind. Match it to set off its blast!"},
        {"relaxtip",
         "No hurry: look for moves that clear tiles near the bottom, the figures above "
         "tumble down and may form new lines."},
        {"tipbusysquare2", "Dark tiles have two layers: clear a line on them twice."},
        {"chainbtip",
         "Chained figures cannot be picked up, but they still form lines. A match breaks the "
         "chain."},
        {"continue", "Continue"},
        // Instructions overlay.
        {"instructions", "How to play"},
        {"treasuretip",
         "You hold one treasure.\r\n"
         "Click a figure to swap it with yours when that makes a line of three: across, "
         "down or diagonally.\r\n"
         "Lines fly into the gold box and their tiles lose a layer.",
         true},
        {"squarehelp",
         "Clear every layer and break every chain to win.\r\n"
         "Long lines leave bombs and lightning. Watch the fuse: the time left becomes bonus "
         "points.",
         true},
        // Message boxes.
        {"skipquest", "Skip this level? It costs two lives."},
        {"nomorelives", "No lives left. Start the adventure again with a score of zero?"},
        {"restartquest", "Restart this level? You will lose a life."},
        {"removeplayer", "Remove this player and all of the player's progress?"},
        {"savemsg", "Your game has been saved."},
        {"quit", "Do you really want to quit?"},
        {"zeroscore", "Play this level from the start? Your score and lives will be reset."},
        // Options page.
        {"sfxvolume", "Sound effects"},
        {"musicvolume", "Music"},
        {"fullscreen", "Full screen"},
        {"customcursor", "Treasure pointer"},
        {"showgametip", "Show game tips"},
        // Default player names, read as a run from "defname1".
        {"defname1", "EXPLORER"},
        {"defname2", "CAPTAIN"},
        {"defname3", "NAVIGATOR"},
        {"defname4", "DIVER"},
        {"defname5", "SCOUT"},
        {"defname6", "TRADER"},
        {"defname7", "CARTOGRAPHER"},
        {"defname8", "LOOKOUT"},
        {"defname9", "BOATSWAIN"},
        {"defname10", "DECKHAND"},
    };
    return render(items);
}

std::string tipsText() {
    const std::vector<TextItem> items = {
        // Loading-screen tips, read as a run from "tip1".
        {"tip1", "Diagonal lines count too."},
        {"tip2", "A line of five or more earns a lightning figure."},
        {"tip3", "Figures falling into place can start a chain reaction of new lines."},
        {"tip4", "Bombs clear the cells around them, tiles and chains included."},
        {"tip5", "The faster you finish, the bigger the time bonus."},
        {"tip6", "In the puzzle mode there is no clock: take your time."},
        {"tip7", "Every stage of the island brings new treasures."},
        {"tip8", "Two-layer tiles need two matches."},
        {"tip9", "The dancers cheer for long combos."},
        {"tip10", "Your progress is saved for each player."},
        // Button tips of the main page, read as a run from "adventuretip".
        {"adventuretip",
         "The adventure: clear each level before the fuse burns down. You have three lives."},
        {"adventuretip2", "Puzzle mode: the same levels with no clock and no lives."},
        {"adventuretip3", "How to play, and a demonstration."},
        {"adventuretip4", "Sound, music and display settings."},
        // Game tips between levels, read as a run from "gametip1".
        {"gametip1",
         "Click a figure on the board to swap it with the treasure in your hand. A swap is "
         "only accepted when it makes a line of three or more."},
        {"gametip2", "Lines count in every direction: across, down and along both diagonals."},
        {"gametip3",
         "Tiles with a layer glow under their figures. Every match on a tile removes one "
         "layer; the level is won when no layer is left."},
        {"gametip4",
         "A line of four leaves a bomb behind. Match the bomb to blast the cells around it."},
        {"gametip5",
         "Chained figures stay where they are. Make a line through them to break the chain."},
        {"gametip6",
         "A line of five or more leaves lightning: matching it strikes every figure of one "
         "kind."},
        {"gametip7",
         "Cross bombs blast along their row and column, diagonal bombs along both "
         "diagonals, star bombs in all eight directions."},
        {"gametip8",
         "Holes in the board stop nothing from falling: figures drop past them and slide "
         "sideways into gaps."},
        {"gametip9",
         "When your treasure has no move, the hand changes it after a moment. Keep an eye "
         "on the hint."},
        {"gametip10",
         "In the adventure every second left on the fuse is worth bonus points at the end "
         "of the level."},
        {"gametip11",
         "Cascades score more with every step. Clear tiles near the bottom to set them off."},
        {"gametip12",
         "The last stages bring more kinds of treasure and tighter clocks. Plan two moves "
         "ahead!"},
    };
    return render(items);
}

void forgeTexts(ForgeOutput& out) {
    out.addText("strings.txt", stringsText(), Destination::TextArchive);
    out.addText("tips.txt", tipsText(), Destination::TextArchive);
    out.addText("strings.txt", stringsText());
    out.addText("tips.txt", tipsText());
}

}  // namespace corsavel::forge
