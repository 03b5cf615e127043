#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "forge/texts.h"
#include "resources/text_table.h"

using namespace corsavel::forge;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The game's text table parser: the last byte is dropped, items separated by
// blanks, key=value lines up to two control bytes, [key/] blocks up to "[".
Entries parseTable(std::string file, int* blocks = nullptr) {
    Entries entries;
    if (file.empty()) {
        return entries;
    }
    file.back() = '\0';
    const size_t end = file.size() - 1;
    size_t p = 0;
    auto low = [&](size_t i) { return static_cast<unsigned char>(file[i]) < 32; };
    while (true) {
        while (p < end && static_cast<unsigned char>(file[p]) <= 32) {
            ++p;
        }
        if (p >= end) {
            break;
        }
        if (file[p] == '[') {
            const size_t close = file.find("/]", p + 1);
            if (close == std::string::npos || close >= end) {
                break;
            }
            std::string key = file.substr(p + 1, close - p - 1);
            size_t q = close + 2;
            while (q < end && low(q)) {
                ++q;
            }
            const size_t next = file.find('[', q);
            if (next == std::string::npos || next >= end) {
                break;
            }
            entries.push_back({key, file.substr(q, next - q)});
            const size_t bracket = file.find(']', next);
            if (bracket == std::string::npos || bracket >= end) {
                break;
            }
            p = bracket + 1;
            if (blocks != nullptr) {
                ++*blocks;
            }
        } else {
            const size_t eq = file.find('=', p);
            if (eq == std::string::npos || eq >= end) {
                break;
            }
            size_t q = eq + 1;
            while (q + 1 < end && !(low(q) && low(q + 1))) {
                ++q;
            }
            if (q + 1 >= end) {
                break;
            }
            entries.push_back({file.substr(p, eq - p), file.substr(eq + 1, q - eq - 1)});
            p = q + 2;
        }
    }
    return entries;
}

Entries wholeTable() {
    Entries all = parseTable(stringsText());
    const Entries tips = parseTable(tipsText());
    all.insert(all.end(), tips.begin(), tips.end());
    return all;
}

int indexOf(const Entries& table, const std::string& key) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].first == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Every key the game looks up by name.
const char* const kKeysTheGameUses[] = {
    "hallo",           "ifnotyou",     "curusers",     "entername",       "classicmode",
    "endlessmode",     "mode1",        "mode2",        "loadclassicmode", "loadendlessmode",
    "loadmsg",         "surlevscore",  "stats",        "yourscore",       "yourtime",
    "bestscore",       "besttime",     "by",           "nomoves",         "loselife",
    "lastlife",        "gameover",     "getlife",      "pause",           "keytoresume",
    "congratulations", "gamepass1",    "powerup",      "relaxtip",        "tipbusysquare2",
    "chainbtip",       "instructions", "treasuretip",  "squarehelp",      "skipquest",
    "nomorelives",     "restartquest", "removeplayer", "savemsg",         "quit",
    "zeroscore",       "sfxvolume",    "musicvolume",  "fullscreen",      "customcursor",
    "showgametip",     "defname1",     "tip1",         "gametip1",        "adventuretip",
    "continue"};

TEST(TextTables, EveryKeyTheGameLooksUpIsPresentOnce) {
    const Entries table = wholeTable();
    for (const char* key : kKeysTheGameUses) {
        const int at = indexOf(table, key);
        ASSERT_GE(at, 0) << key;
        EXPECT_FALSE(table[at].second.empty()) << key;
    }
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_LE(table[i].first.size(), kMaxTextKeyLength) << table[i].first;
        EXPECT_EQ(indexOf(table, table[i].first), static_cast<int>(i))
            << "duplicate " << table[i].first;
    }
    EXPECT_LE(table.size(), 1024u);
}

TEST(TextTables, RunsReadByPositionAreContiguous) {
    const Entries table = wholeTable();
    auto expectRun = [&](const std::string& first, const std::string& prefix, int from, int count) {
        const int at = indexOf(table, first);
        ASSERT_GE(at, 0);
        for (int k = 1; k < count; ++k) {
            ASSERT_LT(static_cast<size_t>(at + k), table.size());
            EXPECT_EQ(table[at + k].first, prefix + std::to_string(from + k))
                << first << " + " << k;
        }
    };
    expectRun("defname1", "defname", 1, 10);
    expectRun("tip1", "tip", 1, 10);
    expectRun("gametip1", "gametip", 1, 12);
    expectRun("adventuretip", "adventuretip", 1, 4);
    for (int k = 1; k <= 10; ++k) {
        const std::string& name = table[indexOf(table, "defname1") + k - 1].second;
        EXPECT_LE(name.size(), 12u);  // what the name field can hold
    }
}

TEST(TextTables, BothItemFormsAndFormatsAreWellFormed) {
    int blocks = 0;
    const Entries strings = parseTable(stringsText(), &blocks);
    EXPECT_GT(blocks, 0);
    EXPECT_GT(strings.size(), static_cast<size_t>(blocks));
    for (const std::string& file : {stringsText(), tipsText()}) {
        ASSERT_GE(file.size(), 2u);
        EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
    }
    const Entries table = wholeTable();
    EXPECT_NE(table[indexOf(table, "hallo")].second.find("%s"), std::string::npos);
    EXPECT_NE(table[indexOf(table, "by")].second.find("%s"), std::string::npos);
    const std::string& surlev = table[indexOf(table, "surlevscore")].second;
    EXPECT_EQ(surlev.find("%i"), surlev.rfind("%i") - (surlev.rfind("%i") - surlev.find("%i")));
    EXPECT_NE(surlev.find("%i"), surlev.rfind("%i"));
    // A block keeps its inner line ends and ends with its last word.
    const std::string& help = table[indexOf(table, "treasuretip")].second;
    EXPECT_NE(help.find("\r\n"), std::string::npos);
    EXPECT_NE(help.back(), '\n');
}

// The same files through the game's own text table.
TEST(TextTables, TheGamesParserFindsEveryKeyAndRun) {
    corsavel::freeTextTables();
    for (const std::string& file : {stringsText(), tipsText()}) {
        const std::vector<uint8_t> bytes(file.begin(), file.end());
        corsavel::parseTextTable(bytes.data(), bytes.size());
    }
    const Entries model = wholeTable();
    EXPECT_EQ(corsavel::textTable.count, static_cast<int32_t>(model.size()));
    for (const char* key : kKeysTheGameUses) {
        const char* text = corsavel::findText(key);
        ASSERT_NE(text, nullptr) << key;
        EXPECT_EQ(std::string(text), model[indexOf(model, key)].second) << key;
    }
    const int32_t names = corsavel::textIndex("defname1");
    EXPECT_STREQ(corsavel::textAt(names + 9), model[indexOf(model, "defname10")].second.c_str());
    const int32_t tips = corsavel::textIndex("adventuretip");
    EXPECT_STREQ(corsavel::textAt(tips + 3), model[indexOf(model, "adventuretip4")].second.c_str());
    corsavel::freeTextTables();
}

}  // namespace
