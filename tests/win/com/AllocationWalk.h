// Calls a COM slot over and over with the k-th allocation of the driver's code failing, for
// k = 1, 2, ... until a call runs with no allocation failed, and checks each failed call: it
// ends in E_OUTOFMEMORY (or in what the call answers without the switch) and hands nothing
// out. The slots of an interface are listed in a table keyed by their place in the method
// table, which must hold every place of the interface.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fixtures/AllocationSwitch.h"

namespace alloctest {

// Every kind of out parameter a slot hands back, poisoned before each call, so that a call is
// seen to leave a slot's own outs reset and never to touch another's.
struct Outs {
    BSTR text;
    IUnknown* object;
    VARIANT variant;
    VARIANT_BOOL flag;
    LONG number;
    UINT count;

    Outs() { Poison(); }
    ~Outs() { Release(); }
    Outs(const Outs&) = delete;
    Outs& operator=(const Outs&) = delete;

    static BSTR PoisonText() { return reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0x51)); }
    static IUnknown* PoisonObject() { return reinterpret_cast<IUnknown*>(static_cast<std::uintptr_t>(0x53)); }

    void Poison() {
        text = PoisonText();
        object = PoisonObject();
        VariantInit(&variant);
        variant.vt = VT_I4;
        variant.lVal = 0x55;
        flag = 0x57;
        number = 0x59;
        count = 0x5b;
    }
    // True when the call handed nothing out: every handed-out kind is still poison, or reset.
    bool NothingHandedOut() const {
        return (text == PoisonText() || text == nullptr) && (object == PoisonObject() || object == nullptr) &&
               ((variant.vt == VT_I4 && variant.lVal == 0x55) || variant.vt == VT_EMPTY);
    }
    void Release() {
        if (text != PoisonText()) SysFreeString(text);
        if (object != PoisonObject() && object) object->Release();
        VariantClear(&variant);
        Poison();
    }
};

// The place of a virtual function in its method table, from its member pointer (the Itanium
// C++ ABI that GCC keeps on Windows stores a virtual function's table offset plus one).
template <typename Member>
int SlotIndex(Member member) {
    struct Raw {
        std::ptrdiff_t pointer;
        std::ptrdiff_t adjustment;
    } raw;
    static_assert(sizeof(Member) == sizeof(Raw), "a pointer to a member function of a class with virtual bases");
    std::memcpy(&raw, &member, sizeof raw);
    return static_cast<int>((raw.pointer - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

template <typename I>
struct Slot {
    int index;
    const char* name;
    std::function<HRESULT(I*, Outs&)> call;
};

// Declares a slot by its member: its place comes from the member, the call is the expression.
#define ALLOC_SLOT(I, member, expression)                                                    \
    alloctest::Slot<I> {                                                                     \
        alloctest::SlotIndex(&I::member), #member,                                           \
            [&](I* p, [[maybe_unused]] alloctest::Outs& o) -> HRESULT { return expression; } \
    }

// Runs `call` with every allocation failing in turn; answers how many runs failed one.
inline int FailEveryAllocationInTurn(const std::string& what, const std::function<HRESULT(Outs&)>& call) {
    Outs outs;
    const HRESULT unswitched = call(outs);
    outs.Release();
    int failedRuns = 0;
    for (std::size_t k = 1;; ++k) {
        allocswitch::Arm(k);
        const HRESULT hr = call(outs);
        const bool fired = allocswitch::Fired();
        allocswitch::Arm(0);
        if (!fired) {
            EXPECT_EQ(hr, unswitched) << what << ": without a failed allocation";
            outs.Release();
            return failedRuns;
        }
        ++failedRuns;
        EXPECT_TRUE(hr == E_OUTOFMEMORY || hr == unswitched)
            << what << ", allocation " << k << " failed: 0x" << std::hex << static_cast<unsigned long>(hr);
        EXPECT_TRUE(outs.NothingHandedOut()) << what << ", allocation " << k << " failed, yet something was handed out"
                                             << " (variant type " << outs.variant.vt << ")";
        outs.Release();
    }
}

// Walks every slot after IUnknown's of interface I on `object`: the table must list each of
// places 3 to slotCount - 1 once. Answers the names of the slots in which an allocation failed.
template <typename I>
std::vector<std::string> WalkInterface(const char* name, int slotCount, I* object, const std::vector<Slot<I>>& slots) {
    std::vector<int> listed(static_cast<std::size_t>(slotCount), 0);
    for (const auto& slot : slots) {
        EXPECT_TRUE(slot.index >= 3 && slot.index < slotCount) << name << "::" << slot.name << " at " << slot.index;
        if (slot.index >= 3 && slot.index < slotCount) ++listed[static_cast<std::size_t>(slot.index)];
    }
    for (int i = 3; i < slotCount; ++i) EXPECT_EQ(listed[static_cast<std::size_t>(i)], 1) << name << ": slot " << i;
    std::vector<std::string> allocating;
    for (const auto& slot : slots) {
        const std::string what = std::string(name) + "::" + slot.name;
        if (FailEveryAllocationInTurn(what, [&](Outs& o) { return slot.call(object, o); }) > 0)
            allocating.push_back(slot.name);
    }
    return allocating;
}

}  // namespace alloctest
