// Dump fields of the particle effects and the animated background.
#include "gfx/background.h"
#include "gfx/particles.h"
#include "harness.h"

namespace corsavel::harness {
namespace {

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

const bool registered =
    registerDumpField("emittersAlive", [] { return num(emittersAlive()); }) &&
    registerDumpField("particlesAlive", [] { return num(particlesAlive()); }) &&
    registerDumpField("effectDefs", [] { return num(effectTable.count); }) &&
    registerDumpField("background", [] { return num(background.current); }) &&
    registerDumpField("backgroundNext", [] { return num(background.next); }) &&
    registerDumpField("crossFadeMs", [] { return num(background.fadeMs); }) &&
    registerDumpField("backgroundLayers", [] { return num(background.currentLayers.count); }) &&
    registerDumpField("tintR", [] { return num(background.tint[0]); }) &&
    registerDumpField("tintG", [] { return num(background.tint[1]); }) &&
    registerDumpField("tintB", [] { return num(background.tint[2]); }) &&
    registerDumpField("tintA", [] { return num(background.tint[3]); });

}  // namespace
}  // namespace corsavel::harness
