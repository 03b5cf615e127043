// "trajectory1.spl" bytes: the reader either refuses the file with an empty
// path or gives 2..4096 finite points whose length agrees with their count;
// every distance along it, flags and marks included, is a finite point.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    static auto map = std::make_unique<MapState>();
    *map = MapState{};
    const bool ok = decodeMapPath(data, static_cast<int64_t>(size), &map->path);
    const MapPath& path = map->path;
    if (!ok) {
        if (path.count != 0 || path.length != 0.0f) {
            std::abort();
        }
    } else if (path.count < 2 || path.count > kMaxPathPoints || !std::isfinite(path.length)) {
        std::abort();
    }
    placeFlagsAndMarks(*map);
    auto finite = [](Vec2 p) { return std::isfinite(p.x) && std::isfinite(p.y); };
    for (const Vec2& p : map->zoneFlagPoints) {
        if (!finite(p))
            std::abort();
    }
    for (const Vec2& p : map->levelMarkPoints) {
        if (!finite(p))
            std::abort();
    }
    for (float d = -25.0f; d < path.length + 25.0f; d += 7.5f) {
        if (!finite(pathPoint(path, d)))
            std::abort();
    }
    return 0;
}
