#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A writer for the extended tracker module format (the "XM" layout of the
// classic PC trackers): patterns of notes per channel, instruments holding
// one 16-bit sample each with an optional volume envelope, and an order
// list. The game's music player reads it by content.
namespace corsavel::forge {

constexpr uint8_t kXmNoteOff = 97;
constexpr uint8_t kXmEffectJump = 0x0B;   // Bxx: continue at order xx
constexpr uint8_t kXmEffectTempo = 0x0F;  // Fxx: speed below 32, BPM from 32

struct XmCell {
    uint8_t note = 0;        // 1 = C-0 ... 96 = B-7, 97 = note off, 0 none
    uint8_t instrument = 0;  // 1-based, 0 none
    uint8_t volume = 0;      // 0x10 + 0..64 sets the volume, 0 none
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct XmPattern {
    int rows = 64;
    int channels = 8;
    std::vector<XmCell> cells;
    XmPattern(int rowCount, int channelCount)
        : rows(rowCount),
          channels(channelCount),
          cells(static_cast<size_t>(rowCount * channelCount)) {}
    XmCell& at(int row, int channel) {
        return cells[static_cast<size_t>(row * channels + channel)];
    }
    const XmCell& at(int row, int channel) const {
        return cells[static_cast<size_t>(row * channels + channel)];
    }
};

struct XmEnvelopePoint {
    uint16_t tick;
    uint16_t value;  // 0..64
};

struct XmInstrument {
    std::string name;
    std::vector<int16_t> pcm;
    bool loop = false;
    uint32_t loopStart = 0;   // frames
    uint32_t loopLength = 0;  // frames
    uint8_t volume = 64;
    int8_t finetune = 0;                    // 1/128 semitone
    int8_t relativeNote = 0;                // semitones
    uint8_t pan = 128;                      // 0 left .. 255 right
    std::vector<XmEnvelopePoint> envelope;  // empty: no envelope
    int sustainPoint = -1;
    uint16_t fadeout = 0;
};

struct XmModule {
    std::string name;
    int channels = 8;
    int speed = 6;
    int bpm = 125;
    std::vector<uint8_t> orders;  // pattern index per order position
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// The tuning that makes note C-4 play the sample at `rateAtMiddleC` Hz.
void tuneInstrument(XmInstrument& instrument, double rateAtMiddleC);

// Serialises the module; patterns are packed. Empty when a count is out of
// the format's range.
std::vector<uint8_t> writeXm(const XmModule& module);

}  // namespace corsavel::forge
