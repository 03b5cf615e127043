#pragma once

#include <cstdint>

namespace corsavel {

// Random numbers with the classic C library contract (x = x * 214013 +
// 2531011, result (x >> 16) & 0x7FFF), so a seed replays the same game.
constexpr int kRandomMax = 32767;

class RandomGenerator {
public:
    void seed(uint32_t seed) { state_ = seed; }
    int next();  // 0..32767
    // 0 .. n - 1 (0 when n <= 0).
    int randomInt(int n);
    // (2r - 32767) / 32767 * x for one generator value r: -x .. x.
    float randomSigned(float x);
    // r / 32767 * x: 0 .. x.
    float randomUnit(float x);

private:
    uint32_t state_ = 1;
};

// Two generators: the rules draw only from the first, so the same seed and
// the same clicks give the same board whether frames are drawn or not;
// everything that only looks (arcs, bolts, sparkles, particles, decoration)
// draws from the second. The game seeds both from the clock, tests and the
// harness with fixed numbers.
extern RandomGenerator rulesRandom;
extern RandomGenerator looksRandom;

// The rules' generator under the names the rules use.
void seedRandom(uint32_t seed);
int nextRandom();
int randomInt(int n);
float randomSigned(float x);
float randomUnit(float x);

// Seeds both generators from one number (the looks' from a scrambled copy,
// so the two sequences differ).
void seedGenerators(uint32_t seed);

}  // namespace corsavel
