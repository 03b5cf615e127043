#pragma once

// Counts the heap allocations made through operator new between a start and
// a stop (the test binary replaces the global operator new).
void startCountingAllocations();
int stopCountingAllocations();
