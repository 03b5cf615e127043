#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "forge/effects.h"
#include "gfx/particles.h"

using namespace corsavel;
using namespace corsavel::forge;

namespace {

std::map<std::string, std::string> forgedEffects() {
    ForgeOutput out;
    forgeEffects(out);
    std::map<std::string, std::string> files;
    for (const ForgedFile& f : out.files()) {
        files[f.path] = std::string(f.bytes.begin(), f.bytes.end());
    }
    return files;
}

EffectDef parsed(const std::string& text, const std::string& name) {
    EffectDef d;
    parseEffectDef(text.c_str(), name.c_str(), &d);
    return d;
}

}  // namespace

// Every name the game starts or spawns has a file whose particles live and
// show: a lifetime, a size and some opacity.
TEST(ForgedEffects, EveryNameTheGameUsesParsesIntoAVisibleEffect) {
    const auto files = forgedEffects();
    for (const std::string& name : effectNamesTheGameUses()) {
        const auto it = files.find("effects/" + name + ".par");
        ASSERT_NE(it, files.end()) << name;
        const EffectDef d = parsed(it->second, name);
        EXPECT_GT(d.parfrequency, 0.0f) << name;
        EXPECT_GT(d.partime, 0.0f) << name;
        EXPECT_GT(d.radius0 + d.radius1, 0.0f) << name;
        EXPECT_GT(d.color0[3] + d.color1[3], 0.0f) << name;
        EXPECT_TRUE(d.blendtype == 0 || d.blendtype == 1) << name;
        EXPECT_GE(d.numparticle, 0) << name;
        EXPECT_LT(d.numparticle, 64) << name;
    }
}

// Lines end with CR LF and "rot=" comes before "drot=", so the substring
// search of the reader finds each key's own value.
TEST(ForgedEffects, KeysReadBackAsWritten) {
    const auto files = forgedEffects();
    for (const auto& [path, text] : files) {
        EXPECT_NE(text.find("\r\n"), std::string::npos) << path;
        EXPECT_LT(text.find("rot="), text.find("drot=")) << path;
        EXPECT_LT(text.find("rotdev="), text.find("drotdev=")) << path;
    }
    const EffectDef bomb = parsed(files.at("effects/bomb1_0.par"), "bomb1_0");
    EXPECT_EQ(bomb.blendtype, 1);
    EXPECT_GT(bomb.drotdev, bomb.rotdev);
    EXPECT_GT(bomb.gravity, 0.0f);
    const EffectDef lightning = parsed(files.at("effects/lightning.par"), "lightning");
    EXPECT_GT(lightning.effecttime, 0.0f);
    EXPECT_STREQ(lightning.externalEffects[0], "lightningflash");
}

// The further effects a file lists exist too, and the table stays within
// the game's 256 definitions.
TEST(ForgedEffects, ListedFurtherEffectsExist) {
    const auto files = forgedEffects();
    EXPECT_LE(files.size(), static_cast<size_t>(kMaxEffectDefs));
    for (const auto& [path, text] : files) {
        const EffectDef d = parsed(text, "x");
        for (const char* other : d.externalEffects) {
            if (other[0] != '\0') {
                EXPECT_TRUE(files.count(std::string("effects/") + other + ".par"))
                    << path << " lists " << other;
            }
        }
    }
}

// The names are collected from the game's own sources: a new start of an
// effect by name without a forged file fails here.
TEST(ForgedEffects, GameSourcesStartOnlyKnownNames) {
    const char* source = std::getenv("CORSAVEL_SOURCE_DIR");
    if (source == nullptr) {
        GTEST_SKIP() << "CORSAVEL_SOURCE_DIR not set";
    }
    const std::set<std::string> known(effectNamesTheGameUses().begin(),
                                      effectNamesTheGameUses().end());
    const std::regex call(R"((startEffect|findEffect)\("([^"]+)\")");
    int found = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::filesystem::path(source) / "src")) {
        if (entry.path().extension() != ".cpp") {
            continue;
        }
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        for (auto it = std::sregex_iterator(s.begin(), s.end(), call); it != std::sregex_iterator();
             ++it) {
            EXPECT_TRUE(known.count((*it)[2].str())) << entry.path() << ": " << (*it)[2].str();
            ++found;
        }
    }
    EXPECT_GT(found, 20);
}
