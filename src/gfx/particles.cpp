#include "gfx/particles.h"

#include <cstring>

namespace corsavel {

EffectTable effectTable;

int32_t findEffect(const char* name) {
    if (!name) {
        return -1;
    }
    for (int32_t i = 0; i < effectTable.count; ++i) {
        if (std::strncmp(effectTable.names[i], name, kEffectNameSize) == 0) {
            return i;
        }
    }
    return -1;
}

void startEffect(const char* name, float x, float y, float tx, float ty, float scale,
                 int32_t cell) {
    const int32_t index = findEffect(name);
    startEffectAt(index, Vec3{x, y, 0.0f}, Vec3{tx, ty, 0.0f}, scale, cell);
}

// The emitter and particle rings are filled by the effect renderer once the
// definitions exist; with no definitions nothing can start.
void startEffectAt(int32_t index, Vec3, Vec3, float, int32_t) {
    if (index < 0 || index >= effectTable.count) {
        return;
    }
}

void spawnParticle(Vec3, int32_t index, float, int32_t) {
    if (index < 0 || index >= effectTable.count) {
        return;
    }
}

void stopAllEffects() {}

}  // namespace corsavel
