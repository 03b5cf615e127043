#include "platform/random.h"

namespace corsavel {

RandomGenerator rulesRandom;
RandomGenerator looksRandom;

int RandomGenerator::next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

int RandomGenerator::randomInt(int n) {
    if (n <= 0) {
        return 0;
    }
    return next() % n;
}

float RandomGenerator::randomSigned(float x) {
    const int r = next();
    return static_cast<float>(2 * r - kRandomMax) / static_cast<float>(kRandomMax) * x;
}

float RandomGenerator::randomUnit(float x) {
    const int r = next();
    return static_cast<float>(r) / static_cast<float>(kRandomMax) * x;
}

void seedRandom(uint32_t seed) {
    rulesRandom.seed(seed);
}

int nextRandom() {
    return rulesRandom.next();
}

int randomInt(int n) {
    return rulesRandom.randomInt(n);
}

float randomSigned(float x) {
    return rulesRandom.randomSigned(x);
}

float randomUnit(float x) {
    return rulesRandom.randomUnit(x);
}

void seedGenerators(uint32_t seed) {
    rulesRandom.seed(seed);
    looksRandom.seed(seed * 2654435761u + 0x9E3779B9u);
}

}  // namespace corsavel
