#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/math_types.h"

namespace corsavel::character_bytes {

// Little-endian int32 and float reads of the character formats that never
// pass the end of the buffer; a failed read leaves `ok` false for good.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
    int32_t readInt() {
        uint32_t bits = readBits();
        return static_cast<int32_t>(bits);
    }
    float readFloat() {
        uint32_t bits = readBits();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    Vec3 readVec3() {
        Vec3 v;
        v.x = readFloat();
        v.y = readFloat();
        v.z = readFloat();
        return v;
    }
    // Copies n bytes (zero when the data is short).
    void readBytes(void* out, size_t n) {
        if (!ok_ || size_ - pos_ < n) {
            ok_ = false;
            std::memset(out, 0, n);
            return;
        }
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }

private:
    uint32_t readBits() {
        if (!ok_ || size_ - pos_ < 4) {
            ok_ = false;
            return 0;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += 4;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

inline void putInt(std::vector<uint8_t>& out, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
}

inline void putFloat(std::vector<uint8_t>& out, float value) {
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putInt(out, bits);
}

inline void putVec3(std::vector<uint8_t>& out, Vec3 v) {
    putFloat(out, v.x);
    putFloat(out, v.y);
    putFloat(out, v.z);
}

// A fixed-size name field: the text, zero-filled, always terminated.
inline void putName(std::vector<uint8_t>& out, const char* name, size_t field) {
    size_t n = std::strlen(name);
    if (n >= field) {
        n = field - 1;
    }
    out.insert(out.end(), name, name + n);
    out.insert(out.end(), field - n, 0);
}

// Reads a fixed-size name field into out (capacity field bytes), cutting a
// name that lacks its terminating zero.
inline void readName(Reader& reader, char* out, size_t field) {
    reader.readBytes(out, field);
    out[field - 1] = '\0';
}

inline bool finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace corsavel::character_bytes
