// The shape every object of the reference host shares: an honest single-apartment reference
// count, a live-object counter per class, error information for the host interfaces it
// implements, and the inspection interface through which tests read back what it received.
#pragma once
#include "host/HostInterfaces.h"
#include "Control.h"

#include <nlohmann/json.hpp>
#include <wrl/client.h>

#include <new>
#include <string>
#include <utility>

namespace refhost {

using Microsoft::WRL::ComPtr;
using Json = nlohmann::json;

// Inside the reference host only: every object can describe its state as JSON and take
// settings that no host interface offers (a property's value chosen by the user, ...).
struct DECLSPEC_NOVTABLE IRefHostObject : public IUnknown {
    virtual void Describe(Json& out) = 0;
    virtual HRESULT Configure(const Json& settings) = 0;
};

}  // namespace refhost

__CRT_UUID_DECL(refhost::IRefHostObject, 0x6c1d3f0e, 0x8a52, 0x4b9e, 0x9d, 0x1a, 0x3e, 0x57, 0x20, 0xb4, 0xc6, 0x81)

namespace refhost {

// Every host method starts here: the call is counted and logged as "Interface.Method", and
// the armed failure switch may turn it into the chosen HRESULT (with error information
// naming the call). Each call site registers its name once, so a call costs a counter and
// one entry in the log.
#define HOST_CALL(Interface, Method) HOST_CALL_NAMED(#Interface, Interface, Method)

// The same inside a template, whose interface is a parameter the preprocessor cannot spell:
// `interfaceName` names it in the log.
#define HOST_CALL_NAMED(interfaceName, Interface, Method)                                                              \
    do {                                                                                                               \
        static const ::refhost::CallSite site_ = ::refhost::RegisterCall(interfaceName, #Method, __uuidof(Interface)); \
        HOST_ENTER(site_);                                                                                             \
    } while (0)

// A call at a site registered beforehand (one object that stands for several lists keeps
// the site of the list it is).
#define HOST_ENTER(site)                                \
    do {                                                \
        HRESULT injected_ = ::refhost::EnterCall(site); \
        if (FAILED(injected_)) return injected_;        \
    } while (0)

// A slot the host has but the driver never calls. It answers E_NOTIMPL and is logged as
// "Interface.ReservedN", which the test fixtures look for.
#define HOST_RESERVED(Interface, N)                    \
    HRESULT STDMETHODCALLTYPE Reserved##N() override { \
        HOST_CALL(Interface, Reserved##N);             \
        return E_NOTIMPL;                              \
    }

template <typename Derived, typename First, typename... Rest>
class HostObject : public First, public Rest..., public ISupportErrorInfo, public IRefHostObject {
public:
    HostObject() { ++LiveCount(); }
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    virtual ~HostObject() { --LiveCount(); }

    // A new object with its first reference taken by the returned pointer.
    template <typename... Args>
    static ComPtr<Derived> Make(Args&&... args) {
        return ComPtr<Derived>(new Derived(std::forward<Args>(args)...));
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = Lookup(riid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // The object's one IUnknown (COM identity).
    IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }
    // Every host interface the object answers sets error information on failure.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_ISupportErrorInfo || riid == __uuidof(IRefHostObject)) return S_FALSE;
        return Lookup(riid) ? S_OK : S_FALSE;
    }
    // Classes that keep something worth reading back describe it; the rest name themselves.
    void Describe(Json& out) override { out = Json{{"class", Derived::kClassName}}; }
    HRESULT Configure(const Json&) override { return E_NOTIMPL; }

    // References held on the object, by anyone.
    ULONG References() const { return references_; }

protected:
    // Extra interfaces a class answers beyond its list (an interface's base, say).
    void* QueryExtra(REFIID) { return nullptr; }
    // Interfaces of its list that an object of the class declines (by its state).
    bool Declines(REFIID) const { return false; }

private:
    static LONG& LiveCount() {
        static LONG& counter = LiveCounter(Derived::kClassName);
        return counter;
    }

    template <typename I, typename... More>
    void* Find(REFIID riid) {
        if (riid == __uuidof(I)) return static_cast<I*>(static_cast<Derived*>(this));
        if constexpr (sizeof...(More) > 0) return Find<More...>(riid);
        return nullptr;
    }
    void* Lookup(REFIID riid) {
        if (riid == IID_IUnknown) return Identity();
        if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
        if (riid == __uuidof(IRefHostObject)) return static_cast<IRefHostObject*>(this);
        if (static_cast<Derived*>(this)->Declines(riid)) return nullptr;
        if (void* found = Find<First, Rest...>(riid)) return found;
        return static_cast<Derived*>(this)->QueryExtra(riid);
    }

    ULONG references_ = 0;
};

// Texts in and out of the host.
inline std::wstring TextOf(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }
inline HRESULT CopyOut(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}
std::string Utf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// Hands out one more reference to `object` as interface I (null stays null).
template <typename I, typename T>
HRESULT GiveOut(const ComPtr<T>& object, I** out) {
    if (!out) return E_POINTER;
    *out = object.Get();
    if (*out) (*out)->AddRef();
    return S_OK;
}

// The reference-host object of class T behind `object`, or null for anything else. The
// caller's reference keeps it alive.
template <typename T>
T* Own(IUnknown* object) {
    ComPtr<IRefHostObject> inspect;
    if (!object ||
        FAILED(object->QueryInterface(__uuidof(IRefHostObject), reinterpret_cast<void**>(inspect.GetAddressOf()))))
        return nullptr;
    return dynamic_cast<T*>(inspect.Get());
}

// What a reference-host object holds; null for a foreign or missing object.
inline Json DescribeOf(IUnknown* object) {
    ComPtr<IRefHostObject> inspect;
    Json out;
    if (object &&
        SUCCEEDED(object->QueryInterface(__uuidof(IRefHostObject), reinterpret_cast<void**>(inspect.GetAddressOf()))))
        inspect->Describe(out);
    return out;
}

// Hands out one more reference to `object` as its IUnknown (null stays null).
template <typename T>
HRESULT GiveOutUnknown(const ComPtr<T>& object, IUnknown** out) {
    if (!out) return E_POINTER;
    *out = object ? object->Identity() : nullptr;
    if (*out) (*out)->AddRef();
    return S_OK;
}

// A collection key: VT_BSTR text, or a 1-based index of any integer type.
struct Key {
    bool isText = false;
    std::wstring text;
    LONG index = 0;
};
HRESULT ReadKey(const VARIANT& key, Key& out);

}  // namespace refhost
