#include "HostSession.h"

#include <cwchar>

namespace nivrahost {

ComApartment::ComApartment() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) throw CommandError{L"COM cannot be initialised: " + HResultText(hr), 1};
    initialised_ = true;
}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

std::wstring HResultText(HRESULT hr) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    std::wstring text = code;
    wchar_t* message = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length && message) {
        std::wstring described(message, length);
        while (!described.empty() &&
               (described.back() == L'\n' || described.back() == L'\r' || described.back() == L' '))
            described.pop_back();
        text += L" (" + described + L")";
    }
    if (message) LocalFree(message);
    return text;
}

std::vector<RegisteredDriver> RegisteredDrivers() {
    std::vector<RegisteredDriver> drivers;
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VANDOR\\Drivers", 0, KEY_READ, &root) != ERROR_SUCCESS)
        return drivers;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(root, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        wchar_t progId[256];
        DWORD size = sizeof progId;
        if (RegGetValueW(root, name, L"ProgID", RRF_RT_REG_SZ, nullptr, progId, &size) != ERROR_SUCCESS) continue;
        drivers.push_back({name, progId});
    }
    RegCloseKey(root);
    return drivers;
}

ComPtr<IvnTESKDescriptions> OpenDescriptions(const RegisteredDriver& entry) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(entry.progId.c_str(), &clsid);
    if (FAILED(hr))
        throw CommandError{L"driver " + entry.key + L": " + entry.progId + L" is not registered: " + HResultText(hr),
                           1};
    ComPtr<IvnTESKDescriptions> descriptions;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(IvnTESKDescriptions),
                          reinterpret_cast<void**>(descriptions.GetAddressOf()));
    if (FAILED(hr))
        throw CommandError{L"driver " + entry.key + L": " + entry.progId + L" cannot be created: " + HResultText(hr),
                           1};
    return descriptions;
}

ComPtr<IvnTESK> CreateFirstDriver() {
    std::vector<RegisteredDriver> drivers = RegisteredDrivers();
    if (drivers.empty()) throw CommandError{L"no driver is registered under HKLM\\SOFTWARE\\VANDOR\\Drivers", 1};
    HRESULT last = E_FAIL;
    for (const RegisteredDriver& entry : drivers) {
        // A stale entry whose collection is gone does not stop the others, as in the host.
        ComPtr<IvnTESKDescriptions> descriptions;
        try {
            descriptions = OpenDescriptions(entry);
        } catch (const CommandError&) {
            continue;
        }
        ComPtr<IvnTESK> driver;
        last = descriptions->CreateDriver(*nivra::Variant::Int(1).Get(), driver.GetAddressOf());
        if (SUCCEEDED(last) && driver) return driver;
    }
    throw CommandError{L"the driver cannot be created: " + HResultText(last) +
                           L" (is the host's units engine, refhost.dll, registered?)",
                       1};
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[4096];
    DWORD length = GetFullPathNameW(path.c_str(), 4096, full, nullptr);
    if (length == 0 || length >= 4096) return path;
    return std::wstring(full, length);
}

}  // namespace nivrahost
