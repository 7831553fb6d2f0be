// The registration script interpreter: parses the text of a registry script resource and
// applies it, in register or unregister mode, to a registry seen through RegistryTarget.
// Plain C++ with no Windows header, so the parser and the apply rules are tested natively on
// a fake registry as well as on the real one.
//
// Script language (a subset of the classic registrar syntax):
//   HKCR { NoRemove CLSID { ForceRemove '%CLSID%' = s 'Name' { val ThreadingModel = s 'x' } } }
// - root blocks: HKCR/HKEY_CLASSES_ROOT, HKLM/HKEY_LOCAL_MACHINE, HKCU/HKEY_CURRENT_USER,
//   HKU/HKEY_USERS;
// - a key: optional NoRemove (never deleted) or ForceRemove (deleted with its subtree before
//   it is written), its name (bare word or 'quoted'), optional "= s 'text'" for its default
//   value, optional block of named values (val Name = s 'text') and subkeys, in any order;
// - %NAME% is a replacement, matched without regard to case; %% is a literal percent sign.
//   Replacements are expanded inside each word or quoted text after it has been split off,
//   so a replacement value containing a quote or a brace cannot change the script's shape.
// - keywords are matched without regard to case; '' inside quotes is one quote.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nivra::rgs {

enum class Root { ClassesRoot, LocalMachine, CurrentUser, Users };

struct Key;

// One entry of a key's block: a named string value, or a subkey.
struct Entry {
    bool isValue = false;
    std::wstring valueName;
    std::wstring valueData;
    std::shared_ptr<Key> subkey;
};

struct Key {
    std::wstring name;
    bool noRemove = false;
    bool forceRemove = false;
    std::optional<std::wstring> defaultValue;
    std::vector<Entry> entries;  // in script order
};

struct RootBlock {
    Root root = Root::ClassesRoot;
    std::vector<Key> keys;
};

struct Script {
    std::vector<RootBlock> roots;
};

using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

struct ParseResult {
    std::optional<Script> script;
    std::wstring error;  // what went wrong and where, when script is empty
};

ParseResult ParseScript(const std::wstring& text, const Replacements& replacements);

// The registry as the script sees it. Every call returns 0 on success or a system error code.
// Paths are relative to the root, with backslashes; an empty value name is the default value.
class RegistryTarget {
public:
    virtual ~RegistryTarget() = default;
    virtual long CreateKey(Root root, const std::wstring& path) = 0;
    virtual long SetString(Root root, const std::wstring& path, const std::wstring& name, const std::wstring& data) = 0;
    // Deletes the key with everything below it; a key that does not exist is no error.
    virtual long DeleteTree(Root root, const std::wstring& path) = 0;
};

enum class Mode { Register, Unregister };

// Applies the script; stops at the first failing registry call and returns its code.
long ApplyScript(const Script& script, Mode mode, RegistryTarget& registry);

}  // namespace nivra::rgs
