// Small owners for the COM values the driver and the reference host hand around: BSTR and
// VARIANT, one owner for the system's handles (find handles, registry keys, libraries), plus
// the ANSI <-> UTF-16 conversions of the calling thread's code page.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <string>
#include <utility>

namespace nivra {

// Owns one BSTR (NULL allowed) and frees it on every path.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(BSTR owned) : value_(owned) {}
    explicit Bstr(const wchar_t* text) : value_(text ? SysAllocString(text) : nullptr) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(other.Release()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~Bstr() { Reset(); }

    BSTR Get() const { return value_; }
    // For out parameters: frees the current text and gives the slot to the callee.
    BSTR* Out() {
        Reset();
        return &value_;
    }
    BSTR Release() { return std::exchange(value_, nullptr); }
    void Reset(BSTR value = nullptr) {
        if (value_) SysFreeString(value_);
        value_ = value;
    }
    UINT Length() const { return value_ ? SysStringLen(value_) : 0; }
    std::wstring Text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

// Owns one VARIANT and clears it on every path.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    ~Variant() { VariantClear(&value_); }

    VARIANT* Get() { return &value_; }
    const VARIANT* Get() const { return &value_; }
    VARIANT* Out() {
        VariantClear(&value_);
        return &value_;
    }
    void Clear() { VariantClear(&value_); }

    static Variant Int(LONG value, VARTYPE type = VT_I4) {
        Variant v;
        v.value_.vt = type;
        if (type == VT_INT) v.value_.intVal = value;
        else v.value_.lVal = value;
        return v;
    }
    // A VT_BSTR key; a failed allocation leaves a NULL BSTR (an empty text to COM).
    static Variant Text(const wchar_t* text) {
        Variant v;
        v.value_.vt = VT_BSTR;
        v.value_.bstrVal = SysAllocString(text ? text : L"");
        return v;
    }

private:
    VARIANT value_;
};

// Owns one handle of the kind `Traits` describes (its "no handle" value and how it is closed)
// and closes it on every path.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = decltype(Traits::None());
    UniqueHandle() = default;
    explicit UniqueHandle(Handle owned) : handle_(owned) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    bool IsOpen() const { return handle_ != Traits::None(); }
    // For out parameters: closes the current handle and gives the slot to the callee.
    Handle* Out() {
        Reset();
        return &handle_;
    }
    void Reset(Handle handle = Traits::None()) {
        if (IsOpen()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::None();
};

struct FindHandleTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindClose(handle); }
};
struct RegistryKeyTraits {
    static HKEY None() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};
struct LibraryTraits {
    static HMODULE None() { return nullptr; }
    static void Close(HMODULE module) { FreeLibrary(module); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegistryKey = UniqueHandle<RegistryKeyTraits>;
using Library = UniqueHandle<LibraryTraits>;

// Text in the calling thread's ANSI code page -> UTF-16.
inline std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

// UTF-16 (a BSTR, or any counted text) -> the calling thread's ANSI code page.
inline std::string WideToAnsi(const wchar_t* text, size_t length) {
    if (!text || length == 0) return std::string();
    int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_THREAD_ACP, 0, text, static_cast<int>(length), &narrow[0], n, nullptr, nullptr);
    return narrow;
}

inline std::string BstrToAnsi(BSTR text) { return WideToAnsi(text, text ? SysStringLen(text) : 0); }

// A new BSTR from ANSI text, owned by the caller; NULL when it cannot be allocated. Converted
// straight into the BSTR, so that nothing here can throw (the getters hand texts out with it).
inline BSTR AnsiToBstr(const char* text, size_t length) noexcept {
    const int n = length ? MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0) : 0;
    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(n > 0 ? n : 0));
    if (wide && n > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), wide, n);
    return wide;
}
inline BSTR AnsiToBstr(const std::string& text) noexcept { return AnsiToBstr(text.data(), text.size()); }
inline BSTR AnsiToBstr(const char* text) noexcept { return AnsiToBstr(text, text ? std::strlen(text) : 0); }

}  // namespace nivra
