#include "module/Registrar.h"

#include <string>

namespace nivra {
namespace {

HKEY RootKey(rgs::Root root) {
    switch (root) {
    case rgs::Root::ClassesRoot: return HKEY_CLASSES_ROOT;
    case rgs::Root::LocalMachine: return HKEY_LOCAL_MACHINE;
    case rgs::Root::CurrentUser: return HKEY_CURRENT_USER;
    case rgs::Root::Users: return HKEY_USERS;
    }
    return HKEY_CLASSES_ROOT;
}

class KeyHandle {
public:
    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring ResourceText(HMODULE module, UINT id, HRESULT& hr) {
    hr = S_OK;
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (!bytes || size == 0) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        if (SUCCEEDED(hr)) hr = E_FAIL;
        return std::wstring();
    }
    int length = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::wstring text(length > 0 ? length : 0, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), &text[0], length);
    return text;
}

}  // namespace

long WindowsRegistry::CreateKey(rgs::Root root, const std::wstring& path) {
    KeyHandle key;
    return RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                           key.Out(), nullptr);
}

long WindowsRegistry::SetString(rgs::Root root, const std::wstring& path, const std::wstring& name,
                                const std::wstring& data) {
    KeyHandle key;
    long status = RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, key.Out());
    if (status != ERROR_SUCCESS) return status;
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

long WindowsRegistry::DeleteTree(rgs::Root root, const std::wstring& path) {
    long status = RegDeleteTreeW(RootKey(root), path.c_str());
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : status;
}

HRESULT ApplyRegistryResource(HMODULE module, UINT id, rgs::Mode mode, const rgs::Replacements& replacements) {
    HRESULT hr;
    std::wstring text = ResourceText(module, id, hr);
    if (FAILED(hr)) return hr;
    rgs::ParseResult parsed = rgs::ParseScript(text, replacements);
    if (!parsed.script) return E_UNEXPECTED;
    WindowsRegistry registry;
    long status = rgs::ApplyScript(*parsed.script, mode, registry);
    return status == 0 ? S_OK : HRESULT_FROM_WIN32(status);
}

}  // namespace nivra
