#pragma once

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace corsavel::test {

// A mono OGG of a sine tone, for feeding the decoder and the output.
inline std::vector<uint8_t> sineOgg(float hz, float seconds, int rate, float level = 0.5f) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, 1, rate, 0.4f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 7);
    ogg_packet h[3];
    vorbis_analysis_headerout(&dsp, &comment, &h[0], &h[1], &h[2]);
    for (ogg_packet& p : h) {
        ogg_stream_packetin(&stream, &p);
    }
    ogg_page page;
    auto append = [&] {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    while (ogg_stream_flush(&stream, &page) != 0) {
        append();
    }
    const int frames = static_cast<int>(seconds * static_cast<float>(rate));
    for (int at = 0;; at += 4096) {
        const int n = frames - at < 4096 ? frames - at : 4096;
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, n);
            for (int i = 0; i < n; ++i) {
                buffer[0][i] = level * std::sin(6.2831853f * hz * static_cast<float>(at + i) /
                                                static_cast<float>(rate));
            }
        }
        vorbis_analysis_wrote(&dsp, n > 0 ? n : 0);
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    append();
                }
            }
        }
        if (n <= 0) {
            break;
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        append();
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

}  // namespace corsavel::test
