#include "audio/ogg_decode.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_read.h"
#include "platform/worker_pool.h"

namespace corsavel {

namespace {

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t position;
};

size_t readMemory(void* buffer, size_t size, size_t count, void* source) {
    auto* r = static_cast<MemoryReader*>(source);
    if (size == 0) {
        return 0;
    }
    const size_t left = r->size - r->position;
    size_t items = count;
    if (items > left / size) {
        items = left / size;
    }
    std::memcpy(buffer, r->data + r->position, items * size);
    r->position += items * size;
    return items;
}

int seekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* r = static_cast<MemoryReader*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<ogg_int64_t>(r->position);
    } else if (whence == SEEK_END) {
        base = static_cast<ogg_int64_t>(r->size);
    } else if (whence != SEEK_SET) {
        return -1;
    }
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(r->size)) {
        return -1;
    }
    r->position = static_cast<size_t>(target);
    return 0;
}

long tellMemory(void* source) {
    return static_cast<long>(static_cast<MemoryReader*>(source)->position);
}

bool formatAccepted(const vorbis_info* info) {
    return info != nullptr && (info->channels == 1 || info->channels == 2) &&
           info->rate >= kMinSampleRate && info->rate <= kMaxSampleRate;
}

// Reads the whole stream; false on a decoding error, on a change of format
// between chained streams, or past the length cap.
bool decodeAll(OggVorbis_File& file, DecodedSample& out) {
    const size_t capSamples =
        static_cast<size_t>(kMaxSampleSeconds) * static_cast<size_t>(out.rate) * out.channels;
    const ogg_int64_t total = ov_pcm_total(&file, -1);
    if (total > 0 && static_cast<size_t>(total) * out.channels <= capSamples) {
        out.pcm.reserve(static_cast<size_t>(total) * out.channels);
    }
    char chunk[8192];
    int section = 0;
    for (;;) {
        const long got = ov_read(&file, chunk, sizeof chunk, 0, 2, 1, &section);
        if (got == 0) {
            return true;
        }
        if (got == OV_HOLE) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        const vorbis_info* info = ov_info(&file, section);
        if (info == nullptr || info->channels != out.channels || info->rate != out.rate) {
            return false;
        }
        const size_t samples = static_cast<size_t>(got) / 2;
        if (out.pcm.size() + samples > capSamples) {
            return false;
        }
        const size_t at = out.pcm.size();
        out.pcm.resize(at + samples);
        std::memcpy(out.pcm.data() + at, chunk, samples * 2);
    }
}

}  // namespace

static bool decodeOggNow(const uint8_t* data, size_t size, DecodedSample& out) {
    out = DecodedSample{};
    if (data == nullptr || size == 0 || size > static_cast<size_t>(kMaxSampleFileBytes)) {
        return false;
    }
    MemoryReader reader{data, size, 0};
    const ov_callbacks callbacks{readMemory, seekMemory, nullptr, tellMemory};
    OggVorbis_File file;
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0) {
        return false;
    }
    const vorbis_info* info = ov_info(&file, -1);
    bool ok = formatAccepted(info);
    if (ok) {
        out.rate = static_cast<int32_t>(info->rate);
        out.channels = info->channels;
        ok = decodeAll(file, out) && out.frames() > 0;
    }
    ov_clear(&file);
    if (!ok) {
        out = DecodedSample{};
    }
    return ok;
}

}  // namespace corsavel

namespace corsavel {

namespace {

// A sample file decoded ahead on a worker: its bytes and what they gave.
struct PrefetchedSample {
    std::vector<uint8_t> fileBytes;
    DecodedSample sample;
    bool decoded = false;
};
std::vector<std::shared_ptr<Pending<PrefetchedSample>>> prefetchedSamples;

}  // namespace

void prefetchOggFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        auto pending = std::make_shared<Pending<PrefetchedSample>>();
        prefetchedSamples.push_back(pending);
        workerPool().submit([pending, path] {
            PrefetchedSample result;
            readFileBytes(path, kMaxSampleFileBytes, result.fileBytes);
            result.decoded =
                decodeOggNow(result.fileBytes.data(), result.fileBytes.size(), result.sample);
            pending->set(std::move(result));
        });
    }
}

void dropPrefetchedOgg() {
    for (const auto& pending : prefetchedSamples) {
        pending->take();
    }
    prefetchedSamples.clear();
}

// A file decoded ahead is taken when its bytes are exactly these (in the
// order they were asked for, the order the bank loads them); anything else
// decodes now.
bool decodeOgg(const uint8_t* data, size_t size, DecodedSample& out) {
    for (size_t i = 0; i < prefetchedSamples.size() && data != nullptr; ++i) {
        // Only a finished or running job is waited for when its size matches.
        PrefetchedSample result = prefetchedSamples[i]->take();
        const bool same = result.fileBytes.size() == size &&
                          std::memcmp(result.fileBytes.data(), data, size) == 0;
        if (same) {
            prefetchedSamples.erase(prefetchedSamples.begin() + static_cast<std::ptrdiff_t>(i));
            out = std::move(result.sample);
            return result.decoded;
        }
        // Not this one: keep it for its own request.
        auto kept = std::make_shared<Pending<PrefetchedSample>>();
        kept->set(std::move(result));
        prefetchedSamples[i] = kept;
    }
    return decodeOggNow(data, size, out);
}

}  // namespace corsavel
