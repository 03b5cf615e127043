// Effect files: any text read into a definition, started, run for a few long
// and short frames and drawn into the null device must stay bounded.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/particles.h"
#include "platform/null_device.h"
#include "platform/render_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    static NullDevice device;
    static const bool installed = (setRenderBackend(&device), true);
    (void)installed;
    const std::string text(reinterpret_cast<const char*>(data), size);
    EffectDef def;
    parseEffectDef(text.c_str(), "fuzz", &def);
    clearEffects();
    addEffectDef(def);
    std::snprintf(def.name, sizeof def.name, "%s", def.externalEffects[0]);
    addEffectDef(def);
    startEffect("fuzz", 10.0f, -20.0f, 100.0f, 50.0f, 1.5f, -1);
    startEffect(def.name, 0.0f, 0.0f);
    for (float step : {16.0f, 1000.0f, 0.0f, 5.0f}) {
        updateEffects(step);
        drawEffects();
    }
    if (particlesAlive() > kMaxParticles || emittersAlive() > kMaxEmitters) {
        std::abort();
    }
    return 0;
}
