#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/audio.h"
#include "audio/openal_output.h"

namespace corsavel::test {

// Runs the audio update for `ms` of game time in 16 ms frames, mixing each
// frame's share of the loopback output: what a player would have heard.
inline std::vector<int16_t> playFor(OpenAlOutput& out, int ms, bool update = true) {
    std::vector<int16_t> heard;
    for (int t = 0; t < ms; t += 16) {
        const int step = ms - t < 16 ? ms - t : 16;
        if (update) {
            updateAudio(static_cast<float>(step));
        }
        const int frames = kOutputRate * step / 1000;
        const size_t at = heard.size();
        heard.resize(at + static_cast<size_t>(frames) * 2);
        out.renderCapture(heard.data() + at, frames);
    }
    return heard;
}

inline double rmsOf(const std::vector<int16_t>& s) {
    double sum = 0.0;
    for (int16_t v : s) {
        sum += static_cast<double>(v) * v;
    }
    return s.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(s.size())) / 32768.0;
}

// Frequency of a pure tone from the rising zero crossings of the left
// channel; a crossing counts only after the wave went clearly negative.
inline double toneHz(const std::vector<int16_t>& s) {
    int crossings = 0;
    size_t first = 0;
    size_t last = 0;
    bool low = false;
    for (size_t i = 0; i < s.size(); i += 2) {
        if (s[i] < -1000) {
            low = true;
        } else if (low && s[i] >= 0) {
            low = false;
            if (crossings == 0) {
                first = i / 2;
            }
            last = i / 2;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0
                         : (crossings - 1) * static_cast<double>(kOutputRate) /
                               static_cast<double>(last - first);
}

}  // namespace corsavel::test
