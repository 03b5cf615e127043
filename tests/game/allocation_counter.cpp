#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
bool counting = false;
int counted = 0;
}  // namespace

void startCountingAllocations() {
    counted = 0;
    counting = true;
}

int stopCountingAllocations() {
    counting = false;
    return counted;
}

void* operator new(std::size_t size) {
    if (counting) {
        ++counted;
    }
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
