// Applies the DLL's registry script resources to the real registry (see RegistryScript.h for
// the script language and the register/unregister rules), so that a registration or an
// unregistration either completes or leaves the registry as it found it.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "module/RegistryScript.h"

namespace nivra {

// The real registry behind the script interpreter, keeping a journal of what each change
// replaced: the first key a creation adds, a value's former type and data, a removed tree's
// keys and values. Every record is made before its change, so a record that cannot be made
// (ERROR_OUTOFMEMORY) leaves that change undone. Undo() puts everything back, newest first,
// without allocating; the destructor undoes whatever was not kept with Keep().
class JournaledRegistry : public rgs::RegistryTarget {
public:
    JournaledRegistry() = default;
    JournaledRegistry(const JournaledRegistry&) = delete;
    JournaledRegistry& operator=(const JournaledRegistry&) = delete;
    ~JournaledRegistry() override;

    long CreateKey(rgs::Root root, const std::wstring& path) override;
    long SetString(rgs::Root root, const std::wstring& path, const std::wstring& name,
                   const std::wstring& data) override;
    long DeleteTree(rgs::Root root, const std::wstring& path) override;

    void Keep() noexcept { changes_.clear(); }
    void Undo() noexcept;

    struct SavedValue {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    struct SavedKey {
        std::wstring path;  // from the root
        std::vector<SavedValue> values;
    };

private:
    struct Change {
        enum Kind { KeyAdded, ValueReplaced, TreeRemoved };
        Change(Kind k, HKEY r, std::wstring p) : kind(k), root(r), path(std::move(p)) {}
        Kind kind;
        HKEY root;
        std::wstring path;
        bool valueExisted = false;
        SavedValue value;            // ValueReplaced: the value as it was
        std::vector<SavedKey> tree;  // TreeRemoved: the keys, each after its parent
    };

    std::vector<Change> changes_;
};

// Loads the script resource (type "REGISTRY") `id` of `module`, read as ANSI text, and applies
// it with the replacements. A script that does not parse gives E_UNEXPECTED; a failing
// registry call gives its error as an HRESULT.
HRESULT ApplyRegistryResource(HMODULE module, UINT id, rgs::Mode mode, const rgs::Replacements& replacements,
                              rgs::RegistryTarget& registry);

}  // namespace nivra
