#pragma once

namespace corsavel {

// Page faults are much of the start-up's and the load's time (each new 4 KB
// page of the heap is one, and on a virtual machine one costs tens of
// microseconds). Before any thread starts, the heap is grown once and marked
// for huge pages, so what the load allocates (file bytes, decodes, the GL
// driver's texture copies) faults in 2 MB at a time. Does nothing where huge
// pages are not offered, and under the address sanitizer (its own allocator).
void prepareHeapForLoad();

// After the load: the heap returns its freed pages, and from then on trims
// its top once that holds more than twice the largest block it serves.
void settleHeapAfterLoad();

}  // namespace corsavel
