// Small readers of host values shared by the publish run and the offset map export.
#pragma once
#include <new>
#include <string>

#include "com/ComOwners.h"
#include "com/HostCall.h"
#include "host/HostInterfaces.h"

namespace nivra {

// A VT_BSTR key holding a copy of `key` (a null key becomes the empty text).
inline Variant KeyVariant(const Bstr& key) {
    Variant v;
    BSTR copy = SysAllocStringLen(key.Get() ? key.Get() : L"", key.Length());
    if (!copy) throw std::bad_alloc();
    v.Get()->vt = VT_BSTR;
    v.Get()->bstrVal = copy;
    return v;
}

// A 1-based collection index as the publisher side passes it (VT_INT).
inline Variant IndexVariant(LONG index) { return Variant::Int(index, VT_INT); }

// A text slot's answer in the ANSI code page; a null text reads as "".
template <typename I>
std::string TextOf(I* object, HRESULT (STDMETHODCALLTYPE I::*getter)(BSTR*)) {
    Bstr text;
    Check((object->*getter)(text.Out()), object);
    return BstrToAnsi(text.Get());
}

// One item from a host enumerator: false at its end (any success other than S_OK). A failing
// enumerator is the host's error like any other call, not a quiet end of the list.
inline bool NextItem(IEnumVARIANT* items, Variant& item) {
    HRESULT hr = items->Next(1, item.Out(), nullptr);
    Check(hr, items);
    return hr == S_OK;
}

}  // namespace nivra
