// The test side of the reference host: finds the refhost.dll that COM loads for the host's
// classes (through its registration, so both are the same module and share one state) and
// calls its control functions.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <wrl/client.h>

#include <stdexcept>
#include <string>

namespace refhost {

// refhost.dll lacks a control function, or could not make the object asked for.
class ControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Client {
public:
    Client() = default;
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    ~Client() {
        if (module_) FreeLibrary(module_);
    }

    // Loads the module registered for "VANDOR.vnProperties"; false when it is not registered.
    bool Load() {
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(L"VANDOR.vnProperties", &clsid))) return false;
        wchar_t guid[64];
        StringFromGUID2(clsid, guid, 64);
        std::wstring key = std::wstring(L"CLSID\\") + guid + L"\\InprocServer32";
        wchar_t path[MAX_PATH];
        DWORD size = sizeof path;
        if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
            return false;
        module_ = LoadLibraryW(path);
        return module_ != nullptr;
    }
    HMODULE Module() const { return module_; }

    // Live objects of one class ("vnProperty", "kelMeasure", ...), or of all when null.
    LONG LiveObjects(const char* className = nullptr) {
        return Call<LONG (*)(const char*)>("RefHostLiveObjects")(className);
    }
    // The k-th host call from now (1-based) fails with hr; k = 0 disarms.
    void ArmFailure(LONG k, HRESULT hr) { Call<void (*)(LONG, HRESULT)>("RefHostArmFailure")(k, hr); }
    // Host calls since the last ArmFailure or Reset.
    LONG CallCount() { return Call<LONG (*)()>("RefHostCallCount")(); }
    // Disarms, zeroes the count, clears the call log and enables every class again.
    void Reset() { Call<void (*)()>("RefHostReset")(); }
    // "Interface.Method" of every host call since the last Reset, one a line.
    std::string CallLog() { return Text(Call<LONG (*)(char*, LONG)>("RefHostCallLog")); }
    // What a reference-host object holds, as JSON text ("null" for a foreign object).
    std::string Describe(IUnknown* object) {
        auto describe = Call<LONG (*)(IUnknown*, char*, LONG)>("RefHostDescribe");
        return Text([&](char* buffer, LONG size) { return describe(object, buffer, size); });
    }
    // Settings no host interface offers, as JSON text (e.g. {"value":"Yes"} for a property).
    HRESULT Configure(IUnknown* object, const std::string& settings) {
        return Call<HRESULT (*)(IUnknown*, const char*)>("RefHostConfigure")(object, settings.c_str());
    }
    // A host object of one kind ("fileList", "files", "progress", "importTarget",
    // "dataStore", "catalog", "properties"), with optional settings as JSON text.
    Microsoft::WRL::ComPtr<IUnknown> Create(const char* kind, const std::string& settings = std::string()) {
        Microsoft::WRL::ComPtr<IUnknown> object;
        HRESULT hr = Call<HRESULT (*)(const char*, const char*, IUnknown**)>("RefHostCreate")(kind, settings.c_str(),
                                                                                              object.GetAddressOf());
        if (FAILED(hr)) throw ControlError(std::string("the reference host cannot make a ") + kind);
        return object;
    }
    // The same, as the host interface I (a "dataStore" as IvnImportTarget, say).
    template <typename I>
    Microsoft::WRL::ComPtr<I> Create(const char* kind, const std::string& settings = std::string()) {
        Microsoft::WRL::ComPtr<I> typed;
        if (FAILED(Create(kind, settings).As(&typed)))
            throw ControlError(std::string("the reference host's ") + kind +
                               " does not answer the interface asked for");
        return typed;
    }
    // A switched-off class cannot be created: a host without it.
    void SetClassEnabled(const wchar_t* progId, bool enabled) {
        Call<void (*)(const wchar_t*, BOOL)>("RefHostSetClassEnabled")(progId, enabled ? TRUE : FALSE);
    }

private:
    template <typename F>
    F Call(const char* name) {
        FARPROC proc = module_ ? GetProcAddress(module_, name) : nullptr;
        if (!proc) throw ControlError(std::string("refhost.dll lacks ") + name);
        return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
    }
    template <typename F>
    static std::string Text(F fill) {
        std::string text(static_cast<size_t>(fill(nullptr, 0)), '\0');
        fill(&text[0], static_cast<LONG>(text.size()));
        text.pop_back();  // the terminating zero
        return text;
    }

    HMODULE module_ = nullptr;
};

}  // namespace refhost
