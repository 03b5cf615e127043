#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small synthesis kit for the forge's sounds: oscillators, envelopes,
// filters and a seeded noise source, all deterministic; and the OGG encoder.
namespace corsavel::forge {

using Wave = std::vector<float>;

constexpr int kSynthRate = 44100;
constexpr int kVoiceRate = 22050;
constexpr float kTwoPi = 6.28318530718f;

// Linear congruential noise with a fixed seed: the same sound every run.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
    }

private:
    uint32_t state_;
};

Wave silence(float seconds, int rate = kSynthRate);
int samplesOf(float seconds, int rate = kSynthRate);

// A tone whose frequency glides exponentially from f0 to f1 over its length;
// `shape` 0 sine, 1 triangle, 2 square, 3 saw.
Wave tone(float seconds, float f0, float f1, int shape, int rate = kSynthRate);
// Sum of sine partials (frequency ratio, level, decay per second).
struct Partial {
    float ratio;
    float level;
    float decay;
};
Wave bell(float seconds, float frequency, const std::vector<Partial>& partials,
          int rate = kSynthRate);
Wave noise(float seconds, uint32_t seed, int rate = kSynthRate);

// Envelopes applied in place.
void attackDecay(Wave& w, float attackSeconds, float decayPerSecond, int rate = kSynthRate);
void fadeOut(Wave& w, float seconds, int rate = kSynthRate);
// One-pole filters; the cutoff glides from c0 to c1 Hz over the wave.
void lowPass(Wave& w, float c0, float c1, int rate = kSynthRate);
void highPass(Wave& w, float cutoff, int rate = kSynthRate);

// Adds `src` scaled by `gain` into `dst` starting at `atSeconds`, growing it.
// `src` must not be `dst` (growing would move it).
void mixInto(Wave& dst, const Wave& src, float atSeconds, float gain = 1.0f, int rate = kSynthRate);
// Soft saturation for body without clipping.
void saturate(Wave& w, float drive);

// Loudness matching: the loudest 50 ms window is brought to `rmsTarget`
// (linear), then the whole is scaled down if its peak would exceed
// `peakLimit`; trailing near-silence is trimmed and the tail faded.
void finishSample(Wave& w, float rmsTarget, float peakLimit, int rate = kSynthRate);
float peakOf(const Wave& w);
float loudestRms(const Wave& w, int rate = kSynthRate);

// Linear-interpolating resampler (voice lines made at 22050 Hz for samples
// the game plays at 44100 Hz).
Wave resample(const Wave& w, int fromRate, int toRate);

// Mono OGG Vorbis at `rate`; the stream serial number is fixed so the bytes
// depend only on the samples.
std::vector<uint8_t> encodeOgg(const Wave& w, int rate, int serial);

}  // namespace corsavel::forge
