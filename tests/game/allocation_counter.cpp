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

// The nothrow forms too, so that every new and delete of the process (the GL
// driver's included) pairs malloc with free.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) {
        ++counted;
    }
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return ::operator new(size, tag);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
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
