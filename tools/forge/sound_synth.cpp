#include "forge/sound_synth.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace corsavel::forge {

int samplesOf(float seconds, int rate) {
    return std::max(0, static_cast<int>(std::lround(seconds * static_cast<float>(rate))));
}

Wave silence(float seconds, int rate) {
    return Wave(static_cast<size_t>(samplesOf(seconds, rate)), 0.0f);
}

namespace {

float shapeAt(int shape, float phase) {
    const float t = phase - std::floor(phase);
    switch (shape) {
        case 1:
            return t < 0.5f ? 4.0f * t - 1.0f : 3.0f - 4.0f * t;
        case 2:
            return t < 0.5f ? 1.0f : -1.0f;
        case 3:
            return 2.0f * t - 1.0f;
        default:
            return std::sin(kTwoPi * t);
    }
}

}  // namespace

Wave tone(float seconds, float f0, float f1, int shape, int rate) {
    Wave w = silence(seconds, rate);
    double phase = 0.0;
    const double n = static_cast<double>(std::max<size_t>(w.size(), 1));
    for (size_t i = 0; i < w.size(); ++i) {
        const double f = f0 * std::pow(static_cast<double>(f1) / f0, static_cast<double>(i) / n);
        w[i] = shapeAt(shape, static_cast<float>(phase));
        phase += f / rate;
        phase -= std::floor(phase);
    }
    return w;
}

Wave bell(float seconds, float frequency, const std::vector<Partial>& partials, int rate) {
    Wave w = silence(seconds, rate);
    for (const Partial& p : partials) {
        const double step = kTwoPi * frequency * p.ratio / rate;
        for (size_t i = 0; i < w.size(); ++i) {
            const float t = static_cast<float>(i) / static_cast<float>(rate);
            w[i] += p.level * std::exp(-p.decay * t) * static_cast<float>(std::sin(step * i));
        }
    }
    // A 3 ms onset, so a struck note does not click.
    const size_t onset = std::min(w.size(), static_cast<size_t>(samplesOf(0.003f, rate)));
    for (size_t i = 0; i < onset; ++i) {
        w[i] *= static_cast<float>(i) / static_cast<float>(onset);
    }
    return w;
}

Wave noise(float seconds, uint32_t seed, int rate) {
    Wave w = silence(seconds, rate);
    Noise n(seed);
    for (float& s : w) {
        s = n.next();
    }
    return w;
}

void attackDecay(Wave& w, float attackSeconds, float decayPerSecond, int rate) {
    const float attack = std::max(1.0f, attackSeconds * static_cast<float>(rate));
    for (size_t i = 0; i < w.size(); ++i) {
        const float t = static_cast<float>(i);
        const float a = t < attack ? t / attack : 1.0f;
        w[i] *= a * std::exp(-decayPerSecond * t / static_cast<float>(rate));
    }
}

void fadeOut(Wave& w, float seconds, int rate) {
    const size_t n = std::min(w.size(), static_cast<size_t>(samplesOf(seconds, rate)));
    for (size_t i = 0; i < n; ++i) {
        w[w.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
    }
}

void lowPass(Wave& w, float c0, float c1, int rate) {
    float y = 0.0f;
    const float n = static_cast<float>(std::max<size_t>(w.size(), 1));
    for (size_t i = 0; i < w.size(); ++i) {
        const float c = c0 * std::pow(c1 / c0, static_cast<float>(i) / n);
        const float a = 1.0f - std::exp(-kTwoPi * c / static_cast<float>(rate));
        y += a * (w[i] - y);
        w[i] = y;
    }
}

void highPass(Wave& w, float cutoff, int rate) {
    const float a = std::exp(-kTwoPi * cutoff / static_cast<float>(rate));
    float lastIn = 0.0f;
    float y = 0.0f;
    for (float& s : w) {
        y = a * (y + s - lastIn);
        lastIn = s;
        s = y;
    }
}

void mixInto(Wave& dst, const Wave& src, float atSeconds, float gain, int rate) {
    assert(&dst != &src);
    const size_t at = static_cast<size_t>(samplesOf(atSeconds, rate));
    if (dst.size() < at + src.size()) {
        dst.resize(at + src.size(), 0.0f);
    }
    for (size_t i = 0; i < src.size(); ++i) {
        dst[at + i] += gain * src[i];
    }
}

void saturate(Wave& w, float drive) {
    const float norm = std::tanh(drive);
    for (float& s : w) {
        s = std::tanh(drive * s) / norm;
    }
}

float peakOf(const Wave& w) {
    float peak = 0.0f;
    for (float s : w) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

float loudestRms(const Wave& w, int rate) {
    const size_t window = static_cast<size_t>(samplesOf(0.05f, rate));
    if (w.empty()) {
        return 0.0f;
    }
    double sum = 0.0;
    double best = 0.0;
    for (size_t i = 0; i < w.size(); ++i) {
        sum += static_cast<double>(w[i]) * w[i];
        if (i >= window) {
            sum -= static_cast<double>(w[i - window]) * w[i - window];
        }
        best = std::max(best, sum);
    }
    return static_cast<float>(std::sqrt(best / static_cast<double>(std::min(window, w.size()))));
}

void finishSample(Wave& w, float rmsTarget, float peakLimit, int rate) {
    const float rms = loudestRms(w, rate);
    if (rms <= 0.0f) {
        return;
    }
    float gain = rmsTarget / rms;
    const float peak = peakOf(w) * gain;
    if (peak > peakLimit) {
        gain *= peakLimit / peak;
    }
    for (float& s : w) {
        s *= gain;
    }
    // Trim the tail below -60 dB, keeping 20 ms, and fade the last 15 ms.
    size_t end = w.size();
    while (end > 0 && std::fabs(w[end - 1]) < 0.001f) {
        --end;
    }
    w.resize(std::min(w.size(), end + static_cast<size_t>(samplesOf(0.02f, rate))));
    fadeOut(w, 0.015f, rate);
}

Wave resample(const Wave& w, int fromRate, int toRate) {
    if (w.empty() || fromRate == toRate) {
        return w;
    }
    const size_t n = static_cast<size_t>(static_cast<double>(w.size()) * toRate / fromRate);
    Wave out(n);
    for (size_t i = 0; i < n; ++i) {
        const double x = static_cast<double>(i) * fromRate / toRate;
        const size_t k = static_cast<size_t>(x);
        const float f = static_cast<float>(x - static_cast<double>(k));
        const float a = w[std::min(k, w.size() - 1)];
        const float b = w[std::min(k + 1, w.size() - 1)];
        out[i] = a + (b - a) * f;
    }
    lowPass(out, static_cast<float>(fromRate) * 0.45f, static_cast<float>(fromRate) * 0.45f,
            toRate);
    return out;
}

namespace {

void appendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<uint8_t> encodeOgg(const Wave& w, int rate, int serial) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, rate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "corsavel-forge");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    ogg_packet header;
    ogg_packet commentPacket;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(out, page);
    }

    constexpr int kChunk = 4096;
    size_t at = 0;
    bool done = false;
    while (!done) {
        const int n = static_cast<int>(std::min<size_t>(kChunk, w.size() - at));
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, n);
            std::memcpy(buffer[0], w.data() + at, static_cast<size_t>(n) * sizeof(float));
            vorbis_analysis_wrote(&dsp, n);
            at += static_cast<size_t>(n);
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                    if (ogg_page_eos(&page) != 0) {
                        done = true;
                    }
                }
            }
        }
        if (n == 0) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                appendPage(out, page);
            }
            done = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

}  // namespace corsavel::forge
