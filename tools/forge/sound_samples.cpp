#include <cmath>
#include <functional>
#include <map>

#include "forge/sound_forge.h"

namespace corsavel::forge {

namespace {

// Every sample peaks below -2 dBFS before encoding (the encoder's overshoot
// stays under -1 dBFS) and its loudest 50 ms sit at the same RMS.
constexpr float kSampleRms = 0.16f;
constexpr float kSamplePeak = 0.79f;

float note(float semitonesFromA4) {
    return 440.0f * std::pow(2.0f, semitonesFromA4 / 12.0f);
}

const std::vector<Partial> kBellPartials = {
    {1.0f, 1.0f, 6.0f}, {2.0f, 0.35f, 9.0f}, {3.0f, 0.18f, 14.0f}, {4.2f, 0.08f, 20.0f}};
const std::vector<Partial> kWoodPartials = {
    {1.0f, 1.0f, 40.0f}, {2.76f, 0.5f, 60.0f}, {5.4f, 0.25f, 90.0f}};
const std::vector<Partial> kMetalPartials = {
    {1.0f, 1.0f, 14.0f}, {2.32f, 0.6f, 18.0f}, {4.25f, 0.4f, 25.0f}, {6.63f, 0.2f, 30.0f}};

Wave blip(float seconds, float f0, float f1, int shape, float decay) {
    Wave w = tone(seconds, f0, f1, shape);
    attackDecay(w, 0.002f, decay);
    return w;
}

Wave arpeggio(const std::vector<float>& semis, float step, float ringSeconds, float decay) {
    Wave w;
    for (size_t i = 0; i < semis.size(); ++i) {
        std::vector<Partial> partials = kBellPartials;
        for (Partial& p : partials) {
            p.decay *= decay;
        }
        mixInto(w, bell(ringSeconds, note(semis[i]), partials), step * static_cast<float>(i), 0.6f);
    }
    return w;
}

// Noise through a closing low-pass over a sinking sine thump: the game's
// explosions; `bright` opens the filter, `length` stretches everything.
Wave explosion(uint32_t seed, float length, float bright, float thumpHz) {
    Wave body = noise(length, seed);
    lowPass(body, 2500.0f * bright, 120.0f);
    attackDecay(body, 0.004f, 4.0f / length);
    Wave thump = tone(length * 0.6f, thumpHz, thumpHz * 0.4f, 0);
    attackDecay(thump, 0.002f, 7.0f / length);
    mixInto(body, thump, 0.0f, 1.4f);
    saturate(body, 1.6f);
    return body;
}

Wave crackle(uint32_t seed, float length) {
    Noise gate(seed + 7);
    Wave w = noise(length, seed);
    highPass(w, 1500.0f);
    const int burst = samplesOf(0.012f);
    for (size_t i = 0; i < w.size(); i += static_cast<size_t>(burst)) {
        const float g = gate.next() > 0.1f ? 1.0f : 0.15f;
        for (size_t k = i; k < std::min(w.size(), i + static_cast<size_t>(burst)); ++k) {
            w[k] *= g;
        }
    }
    attackDecay(w, 0.001f, 5.0f / length);
    Wave zap = tone(length * 0.5f, 2400.0f, 180.0f, 3);
    lowPass(zap, 5000.0f, 800.0f);
    attackDecay(zap, 0.001f, 8.0f);
    mixInto(w, zap, 0.0f, 0.6f);
    return w;
}

Wave woodKnock(float hz, float seconds) {
    Wave w = bell(seconds, hz, kWoodPartials);
    Wave click = noise(0.02f, 91);
    lowPass(click, 3000.0f, 800.0f);
    attackDecay(click, 0.0005f, 150.0f);
    mixInto(w, click, 0.0f, 0.8f);
    return w;
}

using Recipe = std::function<Wave()>;

// What each event sounds like.
const std::map<std::string, Recipe>& recipes() {
    static const std::map<std::string, Recipe> table = {
        // Menu click and hover: a short bright tick, a softer one.
        {"menu.ogg",
         [] {
             Wave w = blip(0.06f, 2200.0f, 1800.0f, 1, 60.0f);
             mixInto(w, blip(0.03f, 4400.0f, 4400.0f, 0, 120.0f), 0.0f, 0.3f);
             return w;
         }},
        {"menu2.ogg", [] { return blip(0.04f, 3000.0f, 3200.0f, 0, 90.0f); }},
        // Slider step: a rounded pop.
        {"chpok1.ogg", [] { return blip(0.07f, 900.0f, 280.0f, 0, 45.0f); }},
        // Refusal: two low buzzes.
        {"gaf.ogg",
         [] {
             Wave w = blip(0.09f, 160.0f, 150.0f, 2, 12.0f);
             lowPass(w, 1400.0f, 900.0f);
             const Wave once = w;
             mixInto(w, once, 0.12f, 1.0f);
             return w;
         }},
        // Refused swap: a falling two-note "bwomp".
        {"unmove.ogg",
         [] {
             Wave w = blip(0.09f, 420.0f, 400.0f, 1, 10.0f);
             mixInto(w, blip(0.16f, 300.0f, 240.0f, 1, 14.0f), 0.09f);
             lowPass(w, 2500.0f, 1200.0f);
             return w;
         }},
        // The hand moves on: a rising shimmer.
        {"mystery.ogg",
         [] {
             return arpeggio({3, 7, 10, 15, 19}, 0.05f, 0.5f, 1.5f);
         }},
        // Bonus made: sparkling major arpeggio.
        {"addbonus.ogg",
         [] {
             return arpeggio({15, 19, 22, 27}, 0.06f, 0.45f, 1.2f);
         }},
        // Extra life: warm arpeggio resolving on a chord.
        {"addlife.ogg",
         [] {
             Wave w = arpeggio({3, 7, 10}, 0.1f, 0.5f, 0.9f);
             mixInto(w, arpeggio({15, 15, 15}, 0.0f, 0.8f, 0.6f), 0.3f, 0.6f);
             mixInto(w, arpeggio({10, 19}, 0.0f, 0.8f, 0.6f), 0.3f, 0.5f);
             return w;
         }},
        // The bombs: one explosion each, with its own colour.
        {"bomb1.ogg", [] { return explosion(11, 0.8f, 1.0f, 90.0f); }},
        {"bomb2.ogg",
         [] {
             Wave w = explosion(12, 0.8f, 1.2f, 80.0f);
             mixInto(w, bell(0.6f, 620.0f, kMetalPartials), 0.0f, 0.25f);
             return w;
         }},
        {"bomb3.ogg",
         [] {
             Wave w = explosion(13, 0.7f, 1.8f, 100.0f);
             Wave whoosh = noise(0.5f, 14);
             lowPass(whoosh, 400.0f, 4000.0f);
             attackDecay(whoosh, 0.2f, 6.0f);
             mixInto(w, whoosh, 0.0f, 0.7f);
             return w;
         }},
        {"bomb4.ogg",
         [] {
             Wave w = explosion(15, 0.8f, 1.4f, 85.0f);
             mixInto(w, arpeggio({27, 31, 34, 39}, 0.04f, 0.4f, 1.5f), 0.05f, 0.5f);
             return w;
         }},
        {"lightning.ogg", [] { return crackle(21, 0.6f); }},
        // The time-out barrel: the biggest, lowest blast with a wooden crack.
        {"barrel.ogg",
         [] {
             Wave w = explosion(31, 1.2f, 0.8f, 60.0f);
             mixInto(w, woodKnock(180.0f, 0.3f), 0.0f, 0.7f);
             return w;
         }},
        // Mega boom: a blast under a rising chord.
        {"combobonus.ogg",
         [] {
             Wave w = explosion(41, 1.0f, 1.0f, 70.0f);
             mixInto(w, arpeggio({3, 7, 10, 15, 19, 22}, 0.05f, 0.7f, 0.8f), 0.1f, 0.6f);
             return w;
         }},
        // A chain snaps: metallic clink with a click.
        {"zep.ogg",
         [] {
             Wave w = bell(0.35f, 1250.0f, kMetalPartials);
             Wave snap = noise(0.03f, 51);
             highPass(snap, 2000.0f);
             attackDecay(snap, 0.0005f, 120.0f);
             mixInto(w, snap, 0.0f, 0.9f);
             return w;
         }},
        // A tile layer breaks: glassy crunch.
        {"square.ogg",
         [] {
             Wave w = noise(0.25f, 61);
             highPass(w, 2500.0f);
             attackDecay(w, 0.001f, 22.0f);
             mixInto(w, bell(0.3f, 2600.0f, kMetalPartials), 0.0f, 0.4f);
             mixInto(w, bell(0.25f, 3400.0f, kMetalPartials), 0.03f, 0.3f);
             return w;
         }},
        // A figure lands: soft thud.
        {"figurefall.ogg",
         [] {
             Wave w = blip(0.12f, 190.0f, 90.0f, 0, 30.0f);
             Wave n = noise(0.05f, 71);
             lowPass(n, 900.0f, 300.0f);
             attackDecay(n, 0.001f, 60.0f);
             mixInto(w, n, 0.0f, 0.5f);
             return w;
         }},
        // Line chime: the game raises its pitch with every step of a combo.
        {"combo.ogg",
         [] {
             Wave w = bell(0.6f, note(12), kBellPartials);
             mixInto(w, bell(0.6f, note(19), kBellPartials), 0.0f, 0.4f);
             return w;
         }},
        // Celebration whoop: a whistle gliding up with vibrato.
        {"orgasm.ogg",
         [] {
             Wave w = tone(0.7f, 450.0f, 1500.0f, 0);
             Wave v = tone(0.7f, 7.0f, 7.0f, 0);
             for (size_t i = 0; i < w.size(); ++i) {
                 w[i] *= 0.85f + 0.15f * v[i];
             }
             attackDecay(w, 0.05f, 3.0f);
             return w;
         }},
        // Level recorded: a bright fanfare arpeggio and chord.
        {"Level_Complete.ogg",
         [] {
             Wave w = arpeggio({3, 7, 10, 15}, 0.12f, 0.6f, 0.8f);
             mixInto(w, arpeggio({3, 7, 10, 15}, 0.0f, 1.0f, 0.5f), 0.5f, 0.6f);
             return w;
         }},
        // Clock tick: a woodblock.
        {"timeup.ogg", [] { return woodKnock(1100.0f, 0.12f); }},
        // Time-bonus count and score count: coin blips.
        {"timebonus.ogg",
         [] {
             Wave w = blip(0.05f, 1320.0f, 1320.0f, 2, 30.0f);
             mixInto(w, blip(0.08f, 1760.0f, 1760.0f, 2, 30.0f), 0.04f);
             lowPass(w, 6000.0f, 6000.0f);
             return w;
         }},
        {"score.ogg", [] { return blip(0.05f, 1000.0f, 1050.0f, 1, 60.0f); }},
        // The gold box: a creaking lid up, a lid down, a slam, a coin drop.
        {"boxopen.ogg",
         [] {
             Wave w = tone(0.4f, 180.0f, 520.0f, 3);
             lowPass(w, 600.0f, 2000.0f);
             attackDecay(w, 0.05f, 4.0f);
             Wave air = noise(0.4f, 81);
             lowPass(air, 500.0f, 3000.0f);
             attackDecay(air, 0.1f, 6.0f);
             mixInto(w, air, 0.0f, 0.5f);
             return w;
         }},
        {"boxclose.ogg",
         [] {
             Wave w = tone(0.3f, 480.0f, 170.0f, 3);
             lowPass(w, 1800.0f, 500.0f);
             attackDecay(w, 0.02f, 6.0f);
             mixInto(w, woodKnock(150.0f, 0.2f), 0.26f, 0.8f);
             return w;
         }},
        {"boxhit.ogg",
         [] {
             Wave w = woodKnock(140.0f, 0.35f);
             mixInto(w, explosion(91, 0.25f, 0.5f, 70.0f), 0.0f, 0.5f);
             return w;
         }},
        {"boxfall.ogg",
         [] {
             Wave w = tone(0.25f, 1500.0f, 420.0f, 0);
             attackDecay(w, 0.01f, 4.0f);
             mixInto(w, bell(0.4f, 2100.0f, kMetalPartials), 0.25f, 0.7f);
             return w;
         }},
    };
    return table;
}

struct Spoken {
    const char* name;
    const char* text;
    int rate;  // the rate the game plays it at
};

// The spoken samples: the five voice lines play at 22050 Hz, the two cheers
// at the default 44100 Hz.
constexpr Spoken kSpoken[] = {
    {"ohthisishard.ogg", "Oh, this is hard!", kVoiceRate},
    {"ohno.ogg", "Oh no!", kVoiceRate},
    {"tobad.ogg", "Too bad!", kVoiceRate},
    {"youlearnquickly.ogg", "You learn quickly!", kVoiceRate},
    {"younew.ogg", "Welcome! You are new here.", kVoiceRate},
    {"superchain.ogg", "Super chain!", kSynthRate},
    {"wow.ogg", "Wow!", kSynthRate},
};

}  // namespace

const std::vector<std::string>& gameSampleNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const auto& entry : recipes()) {
            all.push_back(entry.first);
        }
        for (const Spoken& s : kSpoken) {
            all.push_back(s.name);
        }
        return all;
    }();
    return names;
}

bool isVoiceLine(const std::string& name) {
    for (const Spoken& s : kSpoken) {
        if (name == s.name) {
            return s.rate == kVoiceRate;
        }
    }
    return false;
}

bool forgeSounds(ForgeOutput& output, std::string* error) {
    int serial = 1;
    for (const auto& [name, recipe] : recipes()) {
        Wave w = recipe();
        finishSample(w, kSampleRms, kSamplePeak);
        output.add("Sounds/" + name, encodeOgg(w, kSynthRate, serial++));
    }
    for (const Spoken& s : kSpoken) {
        Wave w;
        if (!speakLine(s.text, w, error)) {
            return false;
        }
        highPass(w, 80.0f, kVoiceRate);
        if (s.rate != kVoiceRate) {
            w = resample(w, kVoiceRate, s.rate);
        }
        finishSample(w, kSampleRms, kSamplePeak, s.rate);
        output.add(std::string("Sounds/") + s.name, encodeOgg(w, s.rate, serial++));
    }
    output.add("music.mo3", forgeMusicModule());
    return true;
}

}  // namespace corsavel::forge
