// A switch over this program's heap: armed with k, the k-th allocation through operator new
// from then on fails (std::bad_alloc, or NULL for the nothrow forms). The program links the
// driver's objects and a static C++ runtime, so the driver's own allocations all pass here.
#pragma once
#include <cstddef>

namespace allocswitch {

// Fails the k-th allocation from now (k >= 1); 0 disarms.
void Arm(std::size_t k);
// True once the armed allocation has failed (the switch is then disarmed).
bool Fired();

}  // namespace allocswitch
