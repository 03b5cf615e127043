#pragma once

#include <cstdint>

namespace corsavel {

// The game's one random generator: the classic C library LCG
// (x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF), so a seed replays
// the same game. The game seeds it from the clock, tests and the harness
// with a fixed number.
constexpr int kRandomMax = 32767;

void seedRandom(uint32_t seed);
int nextRandom();  // 0..32767

// 0 .. n - 1 (0 when n <= 0).
int randomInt(int n);
// (2r - 32767) / 32767 * x for one generator value r: -x .. x.
float randomSigned(float x);
// r / 32767 * x: 0 .. x.
float randomUnit(float x);

}  // namespace corsavel
