// The getter and setter rules shared by the identity slots of the DLL's objects: a NULL out
// pointer is E_INVALIDARG, every text handed out is a new copy owned by the caller, and a
// failed allocation is E_OUTOFMEMORY. None of them throws.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "com/ComOwners.h"

namespace nivra {

// A constant 8-bit text, converted with the calling thread's ANSI code page.
inline HRESULT ConstantTextOut(const char* text, BSTR* out) noexcept {
    if (!out) return E_INVALIDARG;
    *out = AnsiToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

inline HRESULT ConstantTextOut(const std::string& text, BSTR* out) noexcept {
    if (!out) return E_INVALIDARG;
    *out = AnsiToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A byte-exact copy of a stored text; a NULL text is handed out as NULL.
inline HRESULT StoredTextOut(const Bstr& stored, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (!stored.Get()) return S_OK;
    *out = SysAllocStringByteLen(reinterpret_cast<const char*>(stored.Get()), SysStringByteLen(stored.Get()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Stores a byte-exact copy of `value` (NULL stores NULL). Storing the very pointer already held
// changes nothing; when the copy cannot be made the member is left NULL.
inline HRESULT StoreTextCopy(Bstr& member, BSTR value) {
    if (value == member.Get()) return S_OK;
    member.Reset();
    if (!value) return S_OK;
    BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(value), SysStringByteLen(value));
    if (!copy) return E_OUTOFMEMORY;
    member.Reset(copy);
    return S_OK;
}

inline HRESULT BoolOut(VARIANT_BOOL value, VARIANT_BOOL* out) {
    if (!out) return E_INVALIDARG;
    *out = value;
    return S_OK;
}

// A VARIANT out slot: cleared, then given a VT_BOOL.
inline HRESULT BoolVariantOut(VARIANT_BOOL value, VARIANT* out) {
    if (!out) return E_INVALIDARG;
    HRESULT hr = VariantClear(out);
    if (FAILED(hr)) return hr;
    out->vt = VT_BOOL;
    out->boolVal = value;
    return S_OK;
}

}  // namespace nivra
