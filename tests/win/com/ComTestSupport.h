// Shared by the COM tests: the server DLL loaded by its path, its exports, COM set up for the
// test program's thread, and small checks for BSTR results.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>

#include "com/ComOwners.h"
#include "com/NivraTeskIds.h"
#include "host/DriverInterfaces.h"

namespace comtest {

using Microsoft::WRL::ComPtr;

// The DLL's path as Windows sees it (the build tree lies on drive Z:).
inline std::wstring ServerPath() {
    std::string unixPath = NIVRA_TESK_DLL;
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

// The server DLL, loaded once per test program; COM loads the very same module through the
// registry, so both see one module object.
class Server {
public:
    static Server& Get() {
        static Server server;
        return server;
    }
    HMODULE Module() const { return module_; }
    HRESULT CanUnloadNow() { return Export<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow")(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
        return Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid, iid, out);
    }
    HRESULT Register() { return Export<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer")(); }
    HRESULT Unregister() { return Export<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer")(); }

    ComPtr<IClassFactory> ClassObject(REFCLSID clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())));
        return factory;
    }
    template <typename I>
    ComPtr<I> Create(REFCLSID clsid) {
        ComPtr<I> object;
        ComPtr<IClassFactory> factory = ClassObject(clsid);
        if (factory) {
            EXPECT_EQ(S_OK,
                      factory->CreateInstance(nullptr, __uuidof(I), reinterpret_cast<void**>(object.GetAddressOf())));
        }
        return object;
    }

private:
    Server() : module_(LoadLibraryW(ServerPath().c_str())) {}
    template <typename F>
    F Export(const char* name) {
        FARPROC proc = module_ ? GetProcAddress(module_, name) : nullptr;
        if (!proc) throw std::string("NivraTesk.dll lacks ") + name;
        return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
    }
    HMODULE module_;
};

// COM for the test program's thread, as a script host has it (single-threaded apartment).
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override { CoUninitialize(); }
};

inline std::string Narrow(BSTR text) { return nivra::BstrToAnsi(text); }

// Calls a BSTR getter; checks S_OK and gives the text ("<null>" for a NULL BSTR).
template <typename Getter>
std::string TextOf(Getter getter) {
    nivra::Bstr text;
    HRESULT hr = getter(text.Out());
    EXPECT_EQ(S_OK, hr);
    return text.Get() ? Narrow(text.Get()) : std::string("<null>");
}

// An outer object for aggregation tests: counts its references and answers IUnknown only.
class CountingOuter : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count; }
    ULONG STDMETHODCALLTYPE Release() override { return --count; }
    ULONG count = 1;
};

}  // namespace comtest
