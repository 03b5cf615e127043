#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "audio/ogg_decode.h"
#include "forge/sound_forge.h"

namespace corsavel::forge {
namespace {

// The sounds are forged once for the whole file: espeak-ng takes a moment.
const ForgeOutput& forged() {
    static const ForgeOutput output = [] {
        ForgeOutput o;
        std::string error;
        EXPECT_TRUE(forgeSounds(o, &error)) << error;
        return o;
    }();
    return output;
}

const ForgedFile* findForged(const std::string& path) {
    for (const ForgedFile& f : forged().files()) {
        if (f.path == path) {
            return &f;
        }
    }
    return nullptr;
}

// Every "name.ogg" literal in the game's sources.
std::set<std::string> namesRequestedByTheGame() {
    std::set<std::string> names;
    const char* root = std::getenv("CORSAVEL_SOURCE_DIR");
    if (root == nullptr) {
        return names;
    }
    const std::regex literal("\"([A-Za-z0-9_]+\\.ogg)\"");
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::filesystem::path(root) / "src")) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        for (std::sregex_iterator it(s.begin(), s.end(), literal), end; it != end; ++it) {
            names.insert((*it)[1].str());
        }
    }
    return names;
}

TEST(SoundForge, EveryNameTheGameRequestsIsForgedAndDecodes) {
    const std::set<std::string> requested = namesRequestedByTheGame();
    ASSERT_GE(requested.size(), 25u) << "CORSAVEL_SOURCE_DIR must point at the sources";
    // The game's menus and pages ask for these too.
    std::set<std::string> all = requested;
    for (const char* name : {"menu2.ogg", "chpok1.ogg", "gaf.ogg", "score.ogg", "wow.ogg",
                             "younew.ogg", "Level_Complete.ogg"}) {
        all.insert(name);
    }
    for (const std::string& name : all) {
        const ForgedFile* file = findForged("Sounds/" + name);
        ASSERT_NE(file, nullptr) << name << " is not forged";
        DecodedSample d;
        EXPECT_TRUE(decodeOgg(file->bytes.data(), file->bytes.size(), d)) << name;
    }
    EXPECT_EQ(gameSampleNames().size(), 35u);
}

TEST(SoundForge, SamplesDoNotClipMatchInLoudnessAndEndShortly) {
    for (const std::string& name : gameSampleNames()) {
        const ForgedFile* file = findForged("Sounds/" + name);
        ASSERT_NE(file, nullptr);
        DecodedSample d;
        ASSERT_TRUE(decodeOgg(file->bytes.data(), file->bytes.size(), d)) << name;
        Wave w(d.pcm.size());
        for (size_t i = 0; i < w.size(); ++i) {
            w[i] = static_cast<float>(d.pcm[i]) / 32768.0f;
        }
        const float peakDb = 20.0f * std::log10(peakOf(w));
        const float rmsDb = 20.0f * std::log10(loudestRms(w, d.rate));
        EXPECT_LT(peakDb, -1.0f) << name;
        EXPECT_NEAR(rmsDb, -16.0f, 6.0f) << name;
        EXPECT_LT(d.frames(), d.rate * 5 / 2) << name << " runs too long";
        EXPECT_EQ(d.rate, isVoiceLine(name) ? kVoiceRate : kSynthRate) << name;
    }
}

TEST(SoundForge, VoiceLinesAreSpokenAt22050Hz) {
    for (const char* name :
         {"ohthisishard.ogg", "ohno.ogg", "tobad.ogg", "youlearnquickly.ogg", "younew.ogg"}) {
        EXPECT_TRUE(isVoiceLine(name)) << name;
        const ForgedFile* file = findForged(std::string("Sounds/") + name);
        ASSERT_NE(file, nullptr);
        DecodedSample d;
        ASSERT_TRUE(decodeOgg(file->bytes.data(), file->bytes.size(), d));
        EXPECT_EQ(d.rate, 22050);
        // Speech, not a blip: at least a third of a second.
        EXPECT_GT(d.frames(), 22050 / 3) << name;
    }
    EXPECT_FALSE(isVoiceLine("combo.ogg"));
}

TEST(SoundForge, SpeakingRefusesTextThatIsNotPlainWords) {
    Wave w;
    std::string error;
    EXPECT_FALSE(speakLine("hello\"; rm -rf /", w, &error));
    EXPECT_FALSE(error.empty());
}

TEST(SoundForge, EncoderGivesTheSameBytesForTheSameSamples) {
    Wave w = tone(0.3f, 440.0f, 880.0f, 1);
    finishSample(w, 0.16f, 0.79f);
    EXPECT_EQ(encodeOgg(w, kSynthRate, 3), encodeOgg(w, kSynthRate, 3));
}

}  // namespace
}  // namespace corsavel::forge
