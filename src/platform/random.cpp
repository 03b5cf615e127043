#include "platform/random.h"

namespace corsavel {

namespace {
uint32_t randomState = 1;
}

void seedRandom(uint32_t seed) { randomState = seed; }

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

int randomInt(int n) {
    if (n <= 0) {
        return 0;
    }
    return nextRandom() % n;
}

float randomSigned(float x) {
    const int r = nextRandom();
    return static_cast<float>(2 * r - kRandomMax) / static_cast<float>(kRandomMax) * x;
}

float randomUnit(float x) {
    const int r = nextRandom();
    return static_cast<float>(r) / static_cast<float>(kRandomMax) * x;
}

}  // namespace corsavel
