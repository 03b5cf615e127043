#include <algorithm>
#include <cmath>

#include "forge/module_writer.h"
#include "forge/sound_forge.h"

namespace corsavel::forge {

namespace {

// Channels of every pattern.
enum Channel { kMelody, kHarmony, kPadLow, kPadHigh, kBass, kKick, kSnare, kHat, kChannels };
// Instruments, 1-based as the patterns name them.
enum Instrument { kLead = 1, kPad, kBassInstrument, kKickDrum, kSnareDrum, kHiHat, kBell };

constexpr int kCycle = 256;            // frames per cycle of the looped waveforms
constexpr double kMiddleC = 261.6256;  // Hz of note C-4
constexpr int kDrumRate = 22050;

std::vector<int16_t> toPcm(const Wave& w, float gain) {
    std::vector<int16_t> pcm(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        const float v = std::clamp(w[i] * gain, -1.0f, 1.0f);
        pcm[i] = static_cast<int16_t>(std::lround(v * 32000.0f));
    }
    return pcm;
}

// A looped waveform of `cycles` cycles of the base pitch plus partials whose
// cycle counts over the loop are whole (so the loop is seamless).
XmInstrument loopedInstrument(const char* name, int cycles,
                              const std::vector<std::pair<double, float>>& partials) {
    const int frames = kCycle * cycles;
    Wave w(static_cast<size_t>(frames), 0.0f);
    for (const auto& [loopCycles, level] : partials) {
        for (int i = 0; i < frames; ++i) {
            w[static_cast<size_t>(i)] +=
                level * static_cast<float>(std::sin(2.0 * M_PI * loopCycles * i / frames));
        }
    }
    const float peak = peakOf(w);
    XmInstrument in;
    in.name = name;
    in.pcm = toPcm(w, peak > 0.0f ? 0.9f / peak : 1.0f);
    in.loop = true;
    in.loopStart = 0;
    in.loopLength = static_cast<uint32_t>(frames);
    tuneInstrument(in, kMiddleC * kCycle);
    return in;
}

XmInstrument oneShot(const char* name, const Wave& w, double rateAtMiddleC) {
    XmInstrument in;
    in.name = name;
    const float peak = peakOf(w);
    in.pcm = toPcm(w, peak > 0.0f ? 0.9f / peak : 1.0f);
    tuneInstrument(in, rateAtMiddleC);
    return in;
}

std::vector<XmInstrument> makeInstruments() {
    std::vector<XmInstrument> all;
    // Lead: a mellow pulse (odd harmonics falling off), plucked envelope.
    std::vector<std::pair<double, float>> lead;
    for (int h = 1; h <= 9; ++h) {
        lead.push_back(
            {static_cast<double>(h), (h % 2 == 1 ? 1.0f : 0.35f) / (h * h * 0.6f + 0.4f)});
    }
    XmInstrument leadIn = loopedInstrument("lead", 1, lead);
    leadIn.envelope = {{0, 0}, {2, 64}, {12, 44}, {60, 26}, {160, 0}};
    leadIn.volume = 52;
    leadIn.pan = 118;
    all.push_back(leadIn);
    // Pad: two detuned saw-like tones beating slowly (100 and 101 cycles).
    std::vector<std::pair<double, float>> pad;
    for (int h = 1; h <= 6; ++h) {
        pad.push_back({100.0 * h, 1.0f / static_cast<float>(h * h)});
        pad.push_back({101.0 * h, 0.8f / static_cast<float>(h * h)});
    }
    XmInstrument padIn = loopedInstrument("pad", 100, pad);
    padIn.envelope = {{0, 0}, {16, 48}, {40, 40}, {48, 40}};
    padIn.sustainPoint = 3;
    padIn.fadeout = 0x300;
    padIn.volume = 40;
    padIn.pan = 150;
    all.push_back(padIn);
    // Bass: round sine with a touch of second and third harmonic.
    XmInstrument bassIn = loopedInstrument("bass", 1, {{1, 1.0f}, {2, 0.3f}, {3, 0.12f}});
    bassIn.envelope = {{0, 64}, {20, 48}, {60, 34}, {61, 34}};
    bassIn.sustainPoint = 3;
    bassIn.fadeout = 0x800;
    bassIn.volume = 60;
    all.push_back(bassIn);
    // Drums at 22050 Hz, played at C-4 as recorded.
    Wave kick = tone(0.3f, 150.0f, 45.0f, 0, kDrumRate);
    attackDecay(kick, 0.001f, 12.0f, kDrumRate);
    saturate(kick, 1.5f);
    all.push_back(oneShot("kick", kick, kDrumRate));
    Wave snare = noise(0.22f, 301, kDrumRate);
    lowPass(snare, 7000.0f, 3000.0f, kDrumRate);
    attackDecay(snare, 0.001f, 18.0f, kDrumRate);
    Wave snareBody = tone(0.1f, 220.0f, 160.0f, 1, kDrumRate);
    attackDecay(snareBody, 0.001f, 30.0f, kDrumRate);
    mixInto(snare, snareBody, 0.0f, 0.6f, kDrumRate);
    all.push_back(oneShot("snare", snare, kDrumRate));
    Wave hat = noise(0.06f, 302, kDrumRate);
    highPass(hat, 6000.0f, kDrumRate);
    attackDecay(hat, 0.0005f, 70.0f, kDrumRate);
    XmInstrument hatIn = oneShot("hihat", hat, kDrumRate);
    hatIn.volume = 40;
    hatIn.pan = 170;
    all.push_back(hatIn);
    // Bell for arpeggios and jingles: decaying partials at middle C.
    Wave bellWave =
        bell(1.6f, static_cast<float>(kMiddleC),
             {{1.0f, 1.0f, 2.5f}, {2.0f, 0.4f, 4.0f}, {3.0f, 0.2f, 6.0f}, {4.0f, 0.1f, 9.0f}},
             kDrumRate);
    attackDecay(bellWave, 0.002f, 0.0f, kDrumRate);
    XmInstrument bellIn = oneShot("bell", bellWave, kDrumRate);
    bellIn.volume = 44;
    bellIn.pan = 90;
    all.push_back(bellIn);
    return all;
}

// Scales as semitone steps from the key's root.
constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};

struct TuneStyle {
    const char* name;
    int root;  // XM note of the key's root in octave 3 (C-3 = 37)
    bool minor;
    int speed;
    int bpm;
    std::vector<int> chords;    // scale degree per bar, cycled
    std::vector<int> sections;  // melody phrase per 4-bar pattern
    int drums;                  // 0 none, 1 soft, 2 full
    uint32_t seed;
};

int scaleNote(const TuneStyle& t, int degree) {
    const int* scale = t.minor ? kMinor : kMajor;
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    const int step = degree - octave * 7;
    return t.root + 12 * octave + scale[step];
}

uint8_t vol(int v) {
    return static_cast<uint8_t>(0x10 + std::clamp(v, 0, 64));
}

void put(XmPattern& p, int row, int channel, int noteValue, int instrument, int volume) {
    if (row < 0 || row >= p.rows) {
        return;
    }
    XmCell& c = p.at(row, channel);
    c.note = static_cast<uint8_t>(std::clamp(noteValue, 1, 96));
    c.instrument = static_cast<uint8_t>(instrument);
    c.volume = vol(volume);
}

// Drums of one bar of 16 rows; the last bar of a phrase gets a fill.
void drumBar(XmPattern& p, int bar, int style, bool fill) {
    const int r = bar * 16;
    if (style == 0) {
        return;
    }
    put(p, r, kKick, 49, kKickDrum, style == 2 ? 60 : 44);
    put(p, r + 8, kKick, 49, kKickDrum, style == 2 ? 56 : 40);
    if (style == 2) {
        put(p, r + 10, kKick, 49, kKickDrum, 36);
    }
    put(p, r + 4, kSnare, 49, kSnareDrum, style == 2 ? 48 : 30);
    put(p, r + 12, kSnare, 49, kSnareDrum, style == 2 ? 48 : 30);
    if (fill) {
        put(p, r + 14, kSnare, 49, kSnareDrum, 34);
        put(p, r + 15, kSnare, 49, kSnareDrum, 40);
    }
    for (int k = 0; k < 16; k += 2) {
        put(p, r + k, kHat, 49, kHiHat, (k % 4 == 0) ? 40 : 26);
    }
}

// Bass: root on the beat, fifth and octave between.
void bassBar(XmPattern& p, const TuneStyle& t, int bar, int degree) {
    const int r = bar * 16;
    const int root = scaleNote(t, degree) - 12;
    put(p, r, kBass, root, kBassInstrument, 58);
    put(p, r + 6, kBass, root, kBassInstrument, 44);
    put(p, r + 8, kBass, scaleNote(t, degree + 4) - 12, kBassInstrument, 50);
    put(p, r + 12, kBass, root + 12, kBassInstrument, 44);
}

// Pad: the chord's third and fifth held through the bar; harmony: a bell
// arpeggio of the chord tones in eighths.
void harmonyBar(XmPattern& p, const TuneStyle& t, int bar, int degree, bool arpeggio) {
    const int r = bar * 16;
    put(p, r, kPadLow, scaleNote(t, degree + 2), kPad, 40);
    put(p, r, kPadHigh, scaleNote(t, degree + 4), kPad, 36);
    if (!arpeggio) {
        return;
    }
    constexpr int kArp[8] = {0, 2, 4, 7, 4, 2, 4, 7};
    for (int k = 0; k < 8; ++k) {
        put(p, r + 2 * k, kHarmony, scaleNote(t, degree + kArp[k]) + 12, kBell, k == 0 ? 30 : 22);
    }
}

// A phrase of four bars: rhythm templates with a random walk on the scale
// that lands on a chord tone at each bar's start. Same seed, same phrase.
void melodyPhrase(XmPattern& p, const TuneStyle& t, uint32_t seed, int firstBar, bool variation) {
    static const std::vector<std::vector<int>> rhythms = {
        {0, 4, 6, 8, 12},
        {0, 3, 6, 8, 10, 12},
        {0, 2, 4, 8, 12, 14},
        {0, 6, 8, 12},
    };
    Noise rng(seed);
    int degree = 7 + 2;
    for (int bar = 0; bar < 4; ++bar) {
        const int chord = t.chords[static_cast<size_t>(firstBar + bar) % t.chords.size()];
        const bool last = bar == 3;
        const auto& rhythm =
            last ? rhythms[3] : rhythms[static_cast<size_t>((rng.next() + 1.0f) * 1.999f)];
        for (size_t k = 0; k < rhythm.size(); ++k) {
            const int row = bar * 16 + rhythm[k];
            if (k == 0) {
                // Strong beat: the chord tone nearest the walk.
                const int tones[3] = {chord, chord + 2, chord + 4};
                int best = tones[0] + 7;
                for (int base = 0; base <= 14; base += 7) {
                    for (int tone : tones) {
                        if (std::abs(tone + base - degree) < std::abs(best - degree)) {
                            best = tone + base;
                        }
                    }
                }
                degree = best;
            } else {
                const float step = rng.next();
                degree += step > 0.35f ? 1 : (step < -0.35f ? -1 : (step > 0.0f ? 2 : -2));
                degree = std::clamp(degree, 4, 15);
            }
            if (last && variation && k + 1 == rhythm.size()) {
                degree = chord + 7;
            }
            put(p, row, kMelody, scaleNote(t, degree) + 12, kLead, k == 0 ? 56 : 48);
        }
    }
}

XmPattern makePattern(const TuneStyle& t, int index, int rows) {
    XmPattern p(rows, kChannels);
    const int bars = rows / 16;
    const int section = t.sections[static_cast<size_t>(index) % t.sections.size()];
    for (int bar = 0; bar < bars; ++bar) {
        const int degree = t.chords[static_cast<size_t>(index * bars + bar) % t.chords.size()];
        const int drums = (index == 0 && t.drums == 2) ? 1 : t.drums;
        drumBar(p, bar, drums, bar == bars - 1);
        bassBar(p, t, bar, degree);
        harmonyBar(p, t, bar, degree, section != 1);
    }
    if (section >= 0 && bars == 4) {
        melodyPhrase(p, t, t.seed + static_cast<uint32_t>(section) * 101u, index * bars,
                     index % 2 == 1);
    }
    return p;
}

// A short fanfare of two bars: rising chord tones, then a held top note.
XmPattern fanfare(const TuneStyle& t, bool sad) {
    XmPattern p(32, kChannels);
    const int steps[6] = {0, 2, 4, 7, 9, 11};
    const int sadSteps[6] = {7, 6, 4, 3, 1, 0};
    for (int k = 0; k < 6; ++k) {
        const int degree = sad ? sadSteps[k] : steps[k];
        put(p, k * 3, kMelody, scaleNote(t, degree) + 12, kLead, 58);
        put(p, k * 3, kHarmony, scaleNote(t, degree) + 24, kBell, 34);
    }
    const int top = sad ? 0 : 14;
    put(p, 18, kMelody, scaleNote(t, top) + 12, kLead, 60);
    put(p, 18, kPadLow, scaleNote(t, top - 5), kPad, 48);
    put(p, 18, kPadHigh, scaleNote(t, top - 3), kPad, 44);
    put(p, 18, kBass, scaleNote(t, 0) - 12, kBassInstrument, 60);
    put(p, 0, kKick, 49, kKickDrum, 56);
    put(p, 18, kKick, 49, kKickDrum, 60);
    if (!sad) {
        for (int k = 12; k < 18; ++k) {
            put(p, k, kSnare, 49, kSnareDrum, 20 + 4 * (k - 12));
        }
    }
    return p;
}

struct TuneLayout {
    TuneStyle style;
    int patterns;  // 64-row patterns of the loop
    bool jingle;   // a 32-row fanfare before the loop
    bool sad;
};

// Orders 0..8 hold each tune's first pattern; the rest of a tune follows
// after order 8, and each pattern's last row jumps to the tune's next
// order, the last one back to the start of the tune's loop.
XmModule composeModule() {
    const std::vector<TuneLayout> tunes = {
        {{"menu theme", 37 + 5, false, 6, 100, {0, 5, 3, 4}, {0, 1, 0, 2, 1, 0}, 1, 11},
         6,
         false,
         false},
        {{"complete B", 37 + 7, false, 6, 125, {0, 3, 4, 0}, {1}, 0, 12}, 1, true, false},
        {{"complete D", 37 + 2, false, 6, 125, {0, 3, 4, 0}, {1}, 0, 13}, 1, true, false},
        {{"time out", 37 + 9, true, 6, 90, {0, 5, 3, 4}, {1}, 0, 14}, 1, true, true},
        {{"level one",
          37 + 0,
          false,
          6,
          115,
          {0, 5, 3, 4, 0, 3, 4, 4},
          {0, 0, 1, 0, 2, 2, 1, 0},
          2,
          21},
         8,
         false,
         false},
        {{"level two",
          37 + 9,
          true,
          6,
          112,
          {0, 5, 2, 6, 0, 3, 4, 4},
          {0, 0, 1, 0, 2, 2, 1, 0},
          2,
          22},
         8,
         false,
         false},
        {{"level three",
          37 + 7,
          false,
          6,
          120,
          {0, 3, 0, 4, 5, 3, 1, 4},
          {0, 0, 1, 0, 2, 2, 1, 0},
          2,
          23},
         8,
         false,
         false},
        {{"complete A", 37 + 0, false, 6, 125, {0, 3, 4, 0}, {1}, 0, 15}, 1, true, false},
        {{"complete C", 37 + 4, false, 6, 125, {0, 3, 4, 0}, {1}, 0, 16}, 1, true, false},
    };
    XmModule m;
    m.name = "corsavel";
    m.channels = kChannels;
    m.instruments = makeInstruments();
    // Each tune's sequence of patterns; the loop starts at `loopFrom`.
    struct Sequence {
        std::vector<XmPattern> patterns;
        size_t loopFrom = 0;
        std::vector<int> orders;
    };
    std::vector<Sequence> sequences(tunes.size());
    for (size_t i = 0; i < tunes.size(); ++i) {
        const TuneLayout& t = tunes[i];
        Sequence& s = sequences[i];
        if (t.jingle) {
            s.patterns.push_back(fanfare(t.style, t.sad));
            s.loopFrom = 1;
        }
        for (int k = 0; k < t.patterns; ++k) {
            s.patterns.push_back(makePattern(t.style, k, 64));
        }
        for (XmPattern& p : s.patterns) {
            p.at(0, kKick).effect = kXmEffectTempo;
            p.at(0, kKick).param = static_cast<uint8_t>(t.style.speed);
            p.at(0, kSnare).effect = kXmEffectTempo;
            p.at(0, kSnare).param = static_cast<uint8_t>(t.style.bpm);
        }
    }
    // First patterns at orders 0..8, the others after them.
    for (size_t i = 0; i < sequences.size(); ++i) {
        sequences[i].orders.push_back(static_cast<int>(i));
    }
    int next = static_cast<int>(sequences.size());
    for (Sequence& s : sequences) {
        for (size_t k = 1; k < s.patterns.size(); ++k) {
            s.orders.push_back(next++);
        }
    }
    m.patterns.resize(static_cast<size_t>(next), XmPattern(64, kChannels));
    m.orders.resize(static_cast<size_t>(next));
    for (Sequence& s : sequences) {
        for (size_t k = 0; k < s.patterns.size(); ++k) {
            const int order = s.orders[k];
            const size_t after = k + 1 < s.patterns.size() ? k + 1 : s.loopFrom;
            XmPattern& p = s.patterns[k];
            XmCell& jump = p.at(p.rows - 1, kHat);
            jump.effect = kXmEffectJump;
            jump.param = static_cast<uint8_t>(s.orders[after]);
            m.patterns[static_cast<size_t>(order)] = p;
            m.orders[static_cast<size_t>(order)] = static_cast<uint8_t>(order);
        }
    }
    return m;
}

}  // namespace

const char* tuneName(int position) {
    static const char* names[] = {"menu theme",  "complete B", "complete D",
                                  "time out",    "level one",  "level two",
                                  "level three", "complete A", "complete C"};
    return (position >= 0 && position < 9) ? names[position] : "";
}

std::vector<uint8_t> forgeMusicModule() {
    return writeXm(composeModule());
}

}  // namespace corsavel::forge
