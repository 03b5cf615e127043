#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corsavel {

// A sample file is read whole into memory; anything larger is refused
// before decoding.
constexpr int32_t kMaxSampleFileBytes = 8 * 1024 * 1024;
// Decoded length cap: no game sound runs longer than this, and a file that
// claims more is refused instead of filling memory.
constexpr int32_t kMaxSampleSeconds = 30;
constexpr int32_t kMinSampleRate = 8000;
constexpr int32_t kMaxSampleRate = 96000;

// 16-bit interleaved PCM of one sample, mono or stereo.
struct DecodedSample {
    std::vector<int16_t> pcm;
    int32_t rate = 0;
    int32_t channels = 0;
    int32_t frames() const {
        return channels > 0 ? static_cast<int32_t>(pcm.size()) / channels : 0;
    }
};

// Decodes an Ogg Vorbis file held in memory. False, with `out` emptied, for
// anything that is not a clean 1- or 2-channel stream of 8..96 kHz that
// decodes to between 1 frame and kMaxSampleSeconds.
// A file decoded ahead (below) with exactly these bytes is handed over
// instead of being decoded again.
bool decodeOgg(const uint8_t* data, size_t size, DecodedSample& out);

// Reads and decodes sample files on a worker thread, in the order given
// (the order the sound bank will ask for them), so that the load finds them
// decoded; the bytes the load reads itself decide what is used.
void prefetchOggFiles(const std::vector<std::string>& paths);
// Forgets the files decoded ahead that nobody asked for.
void dropPrefetchedOgg();

}  // namespace corsavel
