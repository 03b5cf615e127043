#include <cstdio>
#include <cstring>
#include <string>

#include "forge/sound_forge.h"

namespace corsavel::forge {

namespace {

// The text may hold letters, spaces and simple punctuation only: it is put
// on a command line.
bool safeText(const std::string& text) {
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ' || c == ',' ||
                        c == '!' || c == '.' || c == '?' || c == '\'';
        if (!ok) {
            return false;
        }
    }
    return !text.empty();
}

uint32_t readLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | b[at + static_cast<size_t>(i)];
    }
    return v;
}

// espeak-ng writes a 16-bit mono RIFF WAV; the sizes in its header may be
// placeholders when streaming, so the data chunk runs to the end.
bool parseWav(const std::vector<uint8_t>& b, Wave& out, int* rate) {
    if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    size_t at = 12;
    int channels = 0;
    int bits = 0;
    while (at + 8 <= b.size()) {
        const uint32_t size = readLe(b, at + 4, 4);
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && at + 24 <= b.size()) {
            channels = static_cast<int>(readLe(b, at + 10, 2));
            *rate = static_cast<int>(readLe(b, at + 12, 4));
            bits = static_cast<int>(readLe(b, at + 22, 2));
        } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
            if (channels != 1 || bits != 16) {
                return false;
            }
            const size_t begin = at + 8;
            const size_t n = (b.size() - begin) / 2;
            out.resize(n);
            for (size_t i = 0; i < n; ++i) {
                const auto v = static_cast<int16_t>(readLe(b, begin + 2 * i, 2));
                out[i] = static_cast<float>(v) / 32768.0f;
            }
            return n > 0;
        }
        at += 8 + size + (size & 1u);
    }
    return false;
}

}  // namespace

bool speakLine(const std::string& text, Wave& out, std::string* error) {
    if (!safeText(text)) {
        *error = "voice line text refused: " + text;
        return false;
    }
    // A fixed voice, speed and pitch: espeak-ng speaks the same way every run.
    const std::string command =
        "espeak-ng -v en-us+m3 -s 140 -p 55 -a 160 --stdout \"" + text + "\" 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        *error = "cannot run espeak-ng";
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    const int status = pclose(pipe);
    int rate = 0;
    if (status != 0 || !parseWav(bytes, out, &rate)) {
        *error = "espeak-ng is needed to voice \"" + text +
                 "\" (install the espeak-ng package; scripts/install-deps.sh lists it)";
        return false;
    }
    if (rate != kVoiceRate) {
        out = resample(out, rate, kVoiceRate);
    }
    return true;
}

}  // namespace corsavel::forge
