#include "forge/module_writer.h"

#include <algorithm>
#include <cmath>

namespace corsavel::forge {

namespace {

void put8(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
}
void put16(std::vector<uint8_t>& out, uint32_t v) {
    put8(out, v & 0xFFu);
    put8(out, (v >> 8) & 0xFFu);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}
void putText(std::vector<uint8_t>& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        put8(out, i < text.size() ? static_cast<uint8_t>(text[i]) : 0u);
    }
}

// Packed cell: a leading byte with bit 7 set says which fields follow.
void putCell(std::vector<uint8_t>& out, const XmCell& c) {
    uint8_t mask = 0x80;
    mask |= c.note ? 0x01 : 0;
    mask |= c.instrument ? 0x02 : 0;
    mask |= c.volume ? 0x04 : 0;
    mask |= c.effect ? 0x08 : 0;
    mask |= c.param ? 0x10 : 0;
    put8(out, mask);
    if (c.note)
        put8(out, c.note);
    if (c.instrument)
        put8(out, c.instrument);
    if (c.volume)
        put8(out, c.volume);
    if (c.effect)
        put8(out, c.effect);
    if (c.param)
        put8(out, c.param);
}

void putPattern(std::vector<uint8_t>& out, const XmPattern& p) {
    std::vector<uint8_t> data;
    for (const XmCell& c : p.cells) {
        putCell(data, c);
    }
    put32(out, 9);
    put8(out, 0);
    put16(out, static_cast<uint32_t>(p.rows));
    put16(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

void putEnvelope(std::vector<uint8_t>& out, const std::vector<XmEnvelopePoint>& points) {
    for (size_t i = 0; i < 12; ++i) {
        put16(out, i < points.size() ? points[i].tick : 0u);
        put16(out, i < points.size() ? points[i].value : 0u);
    }
}

void putInstrument(std::vector<uint8_t>& out, const XmInstrument& in) {
    put32(out, 263);
    putText(out, in.name, 22);
    put8(out, 0);
    put16(out, 1);
    put32(out, 40);
    for (int i = 0; i < 96; ++i) {
        put8(out, 0);
    }
    putEnvelope(out, in.envelope);
    putEnvelope(out, {});
    put8(out, static_cast<uint32_t>(std::min<size_t>(in.envelope.size(), 12)));
    put8(out, 0);
    put8(out, in.sustainPoint >= 0 ? static_cast<uint32_t>(in.sustainPoint) : 0u);
    put8(out, 0);
    put8(out, 0);
    put8(out, 0);
    put8(out, 0);
    put8(out, 0);
    uint8_t volumeType = in.envelope.empty() ? 0 : 1;
    volumeType |= (!in.envelope.empty() && in.sustainPoint >= 0) ? 2 : 0;
    put8(out, volumeType);
    put8(out, 0);
    put8(out, 0);  // vibrato type, sweep, depth, rate
    put8(out, 0);
    put8(out, 0);
    put8(out, 0);
    put16(out, in.fadeout);
    for (int i = 0; i < 22; ++i) {
        put8(out, 0);
    }
    // Sample header, then the sample as 16-bit deltas.
    put32(out, static_cast<uint32_t>(in.pcm.size() * 2));
    put32(out, in.loop ? in.loopStart * 2 : 0u);
    put32(out, in.loop ? in.loopLength * 2 : 0u);
    put8(out, in.volume);
    put8(out, static_cast<uint8_t>(in.finetune));
    put8(out, (in.loop ? 1u : 0u) | 0x10u);
    put8(out, in.pan);
    put8(out, static_cast<uint8_t>(in.relativeNote));
    put8(out, 0);
    putText(out, in.name, 22);
    int16_t last = 0;
    for (int16_t s : in.pcm) {
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(s - last)));
        last = s;
    }
}

}  // namespace

void tuneInstrument(XmInstrument& instrument, double rateAtMiddleC) {
    const double semis = 12.0 * std::log2(rateAtMiddleC / 8363.0);
    int rel = static_cast<int>(std::floor(semis));
    int fine = static_cast<int>(std::lround((semis - rel) * 128.0));
    if (fine >= 128) {
        rel += 1;
        fine -= 128;
    }
    if (fine > 127) {
        fine = 127;
    }
    instrument.relativeNote = static_cast<int8_t>(std::clamp(rel, -96, 95));
    instrument.finetune = static_cast<int8_t>(fine >= 64 ? fine - 128 : fine);
    if (fine >= 64) {
        instrument.relativeNote = static_cast<int8_t>(instrument.relativeNote + 1);
    }
}

std::vector<uint8_t> writeXm(const XmModule& m) {
    std::vector<uint8_t> out;
    if (m.orders.empty() || m.orders.size() > 256 || m.patterns.empty() ||
        m.patterns.size() > 256 || m.instruments.size() > 128 || m.channels < 1 ||
        m.channels > 32) {
        return out;
    }
    putText(out, "Extended Module: ", 17);
    putText(out, m.name, 20);
    put8(out, 0x1A);
    putText(out, "corsavel-forge", 20);
    put16(out, 0x0104);
    put32(out, 276);
    put16(out, static_cast<uint32_t>(m.orders.size()));
    put16(out, 0);
    put16(out, static_cast<uint32_t>(m.channels));
    put16(out, static_cast<uint32_t>(m.patterns.size()));
    put16(out, static_cast<uint32_t>(m.instruments.size()));
    put16(out, 1);  // linear frequency table
    put16(out, static_cast<uint32_t>(m.speed));
    put16(out, static_cast<uint32_t>(m.bpm));
    for (size_t i = 0; i < 256; ++i) {
        put8(out, i < m.orders.size() ? m.orders[i] : 0u);
    }
    for (const XmPattern& p : m.patterns) {
        putPattern(out, p);
    }
    for (const XmInstrument& in : m.instruments) {
        putInstrument(out, in);
    }
    return out;
}

}  // namespace corsavel::forge
