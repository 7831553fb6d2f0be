// The registry-script interpreter, parsing only, on a registry of our own in memory (never the
// real one). The script is the input read as 8-bit text, as the module reads its resource.
// What must hold: a script printed back from what was parsed parses to the same script;
// replacement values full of quotes and braces give a script of the same shape as plain
// ones; registering sets values only on keys that exist; unregistering deletes only keys that
// the script lets go.
#include <cwctype>
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "module/RegistryScript.h"

namespace nivrafuzz {
namespace {

namespace rgs = nivra::rgs;

// The module's own replacement names; values that are no keyword and never empty, so that
// only their characters differ between the two sets.
const rgs::Replacements kPlain = {
    {L"APPID", L"{0A64E2C1-8C4B-4F21-9E0D-6B1C2D3E4F50}"},
    {L"Module", L"C:\\Program Files\\Nivra\\NivraTesk.dll"},
    {L"Module_Raw", L"C:\\Nivra\\NivraTesk.dll"},
    {L"MODULEGUID", L"{0A64E2C1-8C4B-4F21-9E0D-6B1C2D3E4F50}"},
    {L"MODULETYPE", L"InprocServer32"},
    {L"FriendlyName", L"Nivra Tesk Driver"},
    {L"CLSID", L"{5D1B3A20-7E4F-4C6A-8B9D-0E1F2A3B4C5D}"},
    {L"PROGID", L"NivraTesk.Descriptions.1"},
    {L"VIPROGID", L"NivraTesk.Descriptions"},
    {L"THREADINGMODEL", L"Apartment"},
};
const rgs::Replacements kHostile = [] {
    rgs::Replacements hostile = kPlain;
    for (auto& r : hostile) r.second = L"} ' = { '' %% \r\n{ }" + r.second + L"'";
    return hostile;
}();

std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"'";
    for (wchar_t c : text) {
        if (c == L'\'') out += L'\'';
        if (c == L'%') out += L'%';
        out += c;
    }
    return out + L"'";
}

const wchar_t* RootName(rgs::Root root) {
    switch (root) {
    case rgs::Root::ClassesRoot: return L"HKCR";
    case rgs::Root::LocalMachine: return L"HKLM";
    case rgs::Root::CurrentUser: return L"HKCU";
    case rgs::Root::Users: return L"HKU";
    }
    return L"?";
}

void PrintKey(const rgs::Key& key, std::wstring& out) {
    if (key.noRemove) out += L"NoRemove ";
    if (key.forceRemove) out += L"ForceRemove ";
    out += Quoted(key.name);
    if (key.defaultValue) out += L" = s " + Quoted(*key.defaultValue);
    out += L"\n{\n";
    for (const rgs::Entry& entry : key.entries) {
        if (entry.isValue) out += L"val " + Quoted(entry.valueName) + L" = s " + Quoted(entry.valueData) + L"\n";
        else PrintKey(*entry.subkey, out);
    }
    out += L"}\n";
}

std::wstring Printed(const rgs::Script& script) {
    std::wstring out;
    for (const rgs::RootBlock& block : script.roots) {
        out += RootName(block.root);
        out += L"\n{\n";
        for (const rgs::Key& key : block.keys) PrintKey(key, out);
        out += L"}\n";
    }
    return out;
}

// Same script; with `texts` false, only the same shape (every name and text may differ).
bool SameKey(const rgs::Key& a, const rgs::Key& b, bool texts) {
    if (a.noRemove != b.noRemove || a.forceRemove != b.forceRemove ||
        a.defaultValue.has_value() != b.defaultValue.has_value() || a.entries.size() != b.entries.size())
        return false;
    if (texts && (a.name != b.name || (a.defaultValue && *a.defaultValue != *b.defaultValue))) return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        const rgs::Entry &x = a.entries[i], &y = b.entries[i];
        if (x.isValue != y.isValue) return false;
        if (x.isValue ? texts && (x.valueName != y.valueName || x.valueData != y.valueData)
                      : !SameKey(*x.subkey, *y.subkey, texts))
            return false;
    }
    return true;
}

bool SameScript(const rgs::Script& a, const rgs::Script& b, bool texts) {
    if (a.roots.size() != b.roots.size()) return false;
    for (std::size_t r = 0; r < a.roots.size(); ++r) {
        const rgs::RootBlock &x = a.roots[r], &y = b.roots[r];
        if (x.root != y.root || x.keys.size() != y.keys.size()) return false;
        for (std::size_t k = 0; k < x.keys.size(); ++k)
            if (!SameKey(x.keys[k], y.keys[k], texts)) return false;
    }
    return true;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Keys by root and lower-case path, as the registry keeps them: creating a key creates its
// parents, deleting one deletes everything below it.
class MemoryRegistry : public rgs::RegistryTarget {
public:
    std::set<std::wstring> removable;  // paths the script lets unregistration delete

    long CreateKey(rgs::Root root, const std::wstring& path) override {
        const std::wstring full = Full(root, path);
        for (std::size_t at = full.find(L'\\'); at != std::wstring::npos; at = full.find(L'\\', at + 1))
            keys_.insert(full.substr(0, at));
        keys_.insert(full);
        return 0;
    }
    long SetString(rgs::Root root, const std::wstring& path, const std::wstring&, const std::wstring&) override {
        Check(keys_.count(Full(root, path)) > 0, "a value is set only on a key that exists");
        return 0;
    }
    long DeleteTree(rgs::Root root, const std::wstring& path) override {
        const std::wstring full = Full(root, path);
        if (unregistering_) Check(removable.count(full) > 0, "unregistration deletes only keys without NoRemove");
        for (auto it = keys_.lower_bound(full); it != keys_.end() && it->compare(0, full.size(), full) == 0;)
            it = (it->size() == full.size() || (*it)[full.size()] == L'\\') ? keys_.erase(it) : std::next(it);
        return 0;
    }
    void Unregistering() { unregistering_ = true; }

    static std::wstring Full(rgs::Root root, const std::wstring& path) {
        return Lower(std::wstring(RootName(root)) + L"\\" + path);
    }

private:
    std::set<std::wstring> keys_;
    bool unregistering_ = false;
};

void CollectRemovable(const rgs::Key& key, rgs::Root root, const std::wstring& path, std::set<std::wstring>& out) {
    if (!key.noRemove) out.insert(MemoryRegistry::Full(root, path));
    for (const rgs::Entry& entry : key.entries)
        if (!entry.isValue) CollectRemovable(*entry.subkey, root, path + L"\\" + entry.subkey->name, out);
}

void CheckApply(const rgs::Script& script) {
    MemoryRegistry registry;
    for (const rgs::RootBlock& block : script.roots)
        for (const rgs::Key& key : block.keys) CollectRemovable(key, block.root, key.name, registry.removable);
    Check(rgs::ApplyScript(script, rgs::Mode::Register, registry) == 0, "registration succeeds on a willing registry");
    registry.Unregistering();
    Check(rgs::ApplyScript(script, rgs::Mode::Unregister, registry) == 0,
          "unregistration succeeds on a willing registry");
}

}  // namespace

void RegistryScriptOne(const std::uint8_t* data, std::size_t size) {
    const std::wstring text(data, data + size);  // each byte one character, as 8-bit text widens
    const rgs::ParseResult plain = rgs::ParseScript(text, kPlain);
    const rgs::ParseResult hostile = rgs::ParseScript(text, kHostile);
    Check(plain.script.has_value() == hostile.script.has_value(),
          "replacement values cannot make a script parse or fail");
    if (!plain.script) {
        Check(!plain.error.empty() && !hostile.error.empty(), "a script that fails says why");
        return;
    }
    Check(SameScript(*plain.script, *hostile.script, false), "replacement values cannot change a script's shape");
    const rgs::ParseResult again = rgs::ParseScript(Printed(*plain.script), {});
    Check(again.script && SameScript(*plain.script, *again.script, true),
          "a script printed from what was parsed parses to the same script");
    CheckApply(*plain.script);
}

}  // namespace nivrafuzz
