#include "module/Registrar.h"

#include "com/ComOwners.h"

#include <algorithm>
#include <new>
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

// The first key of `path` that does not exist yet (the one a creation adds, with everything
// below it), or an empty text when the key exists.
std::wstring FirstMissingKey(HKEY root, const std::wstring& path) {
    for (size_t end = 0; end != std::wstring::npos;) {
        end = path.find(L'\\', end + 1);
        std::wstring prefix = path.substr(0, end);
        RegistryKey key;
        if (RegOpenKeyExW(root, prefix.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return prefix;
    }
    return std::wstring();
}

// Reads value `name` of an open key; false when there is none.
bool ReadValue(HKEY key, const std::wstring& name, JournaledRegistry::SavedValue& saved) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &saved.type, nullptr, &size) != ERROR_SUCCESS) return false;
    saved.name = name;
    saved.data.resize(size);
    if (RegQueryValueExW(key, name.c_str(), nullptr, &saved.type, saved.data.data(), &size) != ERROR_SUCCESS)
        return false;
    saved.data.resize(size);
    return true;
}

// The keys and values of the tree at `path`, each key after its parent.
long SaveTree(HKEY root, const std::wstring& path, std::vector<JournaledRegistry::SavedKey>& tree) {
    RegistryKey key;
    long status = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Out());
    if (status != ERROR_SUCCESS) return status;
    DWORD subkeys = 0, values = 0, longestSubkey = 0, longestValue = 0;
    status = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                              &longestValue, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    JournaledRegistry::SavedKey saved;
    saved.path = path;
    std::wstring name(std::max(longestSubkey, longestValue) + 1, L'\0');
    for (DWORD i = 0; i < values; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        status = RegEnumValueW(key.Get(), i, &name[0], &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) return status;
        JournaledRegistry::SavedValue value;
        if (!ReadValue(key.Get(), name.substr(0, length), value)) return ERROR_CANTREAD;
        saved.values.push_back(std::move(value));
    }
    tree.push_back(std::move(saved));
    for (DWORD i = 0; i < subkeys; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        status = RegEnumKeyExW(key.Get(), i, &name[0], &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) return status;
        status = SaveTree(root, path + L"\\" + name.substr(0, length), tree);
        if (status != ERROR_SUCCESS) return status;
    }
    return ERROR_SUCCESS;
}

void PutValue(HKEY key, const JournaledRegistry::SavedValue& value) noexcept {
    RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
}

// Journal records are made with the standard containers; a record that cannot be made is
// reported as the registry's own out-of-memory error, and its change is not made.
template <typename Record>
long Recorded(Record&& record) noexcept {
    try {
        return record();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (...) {
        return ERROR_GEN_FAILURE;
    }
}

}  // namespace

JournaledRegistry::~JournaledRegistry() { Undo(); }

long JournaledRegistry::CreateKey(rgs::Root root, const std::wstring& path) {
    const HKEY rootKey = RootKey(root);
    long status = Recorded([&] {
        std::wstring added = FirstMissingKey(rootKey, path);
        if (!added.empty()) changes_.emplace_back(Change::KeyAdded, rootKey, std::move(added));
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    RegistryKey key;
    return RegCreateKeyExW(rootKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Out(),
                           nullptr);
}

long JournaledRegistry::SetString(rgs::Root root, const std::wstring& path, const std::wstring& name,
                                  const std::wstring& data) {
    const HKEY rootKey = RootKey(root);
    RegistryKey key;
    long status = RegOpenKeyExW(rootKey, path.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.Out());
    if (status != ERROR_SUCCESS) return status;
    status = Recorded([&] {
        Change change(Change::ValueReplaced, rootKey, path);
        change.valueExisted = ReadValue(key.Get(), name, change.value);
        change.value.name = name;
        changes_.push_back(std::move(change));
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

long JournaledRegistry::DeleteTree(rgs::Root root, const std::wstring& path) {
    const HKEY rootKey = RootKey(root);
    long status = Recorded([&] {
        Change change(Change::TreeRemoved, rootKey, path);
        long saved = SaveTree(rootKey, path, change.tree);
        if (saved == ERROR_FILE_NOT_FOUND || saved == ERROR_PATH_NOT_FOUND) return static_cast<long>(ERROR_SUCCESS);
        if (saved != ERROR_SUCCESS) return saved;
        changes_.push_back(std::move(change));
        return static_cast<long>(ERROR_SUCCESS);
    });
    if (status != ERROR_SUCCESS) return status;
    status = RegDeleteTreeW(rootKey, path.c_str());
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : status;
}

void JournaledRegistry::Undo() noexcept {
    for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
        switch (change->kind) {
        case Change::KeyAdded: RegDeleteTreeW(change->root, change->path.c_str()); break;
        case Change::ValueReplaced: {
            RegistryKey key;
            if (RegOpenKeyExW(change->root, change->path.c_str(), 0, KEY_SET_VALUE, key.Out()) != ERROR_SUCCESS) break;
            if (change->valueExisted) PutValue(key.Get(), change->value);
            else RegDeleteValueW(key.Get(), change->value.name.c_str());
            break;
        }
        case Change::TreeRemoved:
            for (const SavedKey& saved : change->tree) {
                RegistryKey key;
                if (RegCreateKeyExW(change->root, saved.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                    nullptr, key.Out(), nullptr) != ERROR_SUCCESS)
                    continue;
                for (const SavedValue& value : saved.values) PutValue(key.Get(), value);
            }
            break;
        }
    }
    changes_.clear();
}

HRESULT ApplyRegistryResource(HMODULE module, UINT id, rgs::Mode mode, const rgs::Replacements& replacements,
                              rgs::RegistryTarget& registry) {
    HRESULT hr;
    std::wstring text = ResourceText(module, id, hr);
    if (FAILED(hr)) return hr;
    rgs::ParseResult parsed = rgs::ParseScript(text, replacements);
    if (!parsed.script) return E_UNEXPECTED;
    long status = rgs::ApplyScript(*parsed.script, mode, registry);
    return status == 0 ? S_OK : HRESULT_FROM_WIN32(status);
}

}  // namespace nivra
