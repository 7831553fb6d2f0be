#include "AllocationSwitch.h"

#include <cstdlib>
#include <new>

namespace allocswitch {
namespace {

std::size_t g_left = 0;  // allocations to go until the failing one; 0: disarmed
bool g_fired = false;

// True when this allocation is the one to fail.
bool FailThisOne() {
    if (g_left == 0) return false;
    if (--g_left > 0) return false;
    g_fired = true;
    return true;
}

void* Allocate(std::size_t size) {
    if (FailThisOne()) return nullptr;
    return std::malloc(size ? size : 1);
}

}  // namespace

void Arm(std::size_t k) {
    g_left = k;
    g_fired = false;
}

bool Fired() { return g_fired; }

}  // namespace allocswitch

void* operator new(std::size_t size) {
    if (void* p = allocswitch::Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocswitch::Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocswitch::Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
