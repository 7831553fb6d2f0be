// The registration scripts of the server, interpreted on a fake registry: what registration
// writes and in which order, what unregistration removes and keeps, and the script language.
#include <gtest/gtest.h>

#include <cwctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "module/RegistryScript.h"

namespace {

using nivra::rgs::ApplyScript;
using nivra::rgs::Mode;
using nivra::rgs::ParseScript;
using nivra::rgs::Replacements;
using nivra::rgs::Root;

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

const wchar_t* RootName(Root root) {
    switch (root) {
    case Root::ClassesRoot: return L"HKCR";
    case Root::LocalMachine: return L"HKLM";
    case Root::CurrentUser: return L"HKCU";
    case Root::Users: return L"HKU";
    }
    return L"?";
}

// Keys by full path (case-insensitive, like the registry); each with its string values. Every
// call is logged; the k-th call can be made to fail.
class FakeRegistry : public nivra::rgs::RegistryTarget {
public:
    long CreateKey(Root root, const std::wstring& path) override {
        if (long status = Step(L"create " + Full(root, path))) return status;
        // Creating a key creates its missing parents, as the registry does.
        std::wstring full = Full(root, path);
        for (size_t at = full.find(L'\\'); at != std::wstring::npos; at = full.find(L'\\', at + 1))
            keys_[Lower(full.substr(0, at))];
        keys_[Lower(full)];
        return 0;
    }
    long SetString(Root root, const std::wstring& path, const std::wstring& name, const std::wstring& data) override {
        if (long status = Step(L"set " + Full(root, path) + L" [" + name + L"]=" + data)) return status;
        auto key = keys_.find(Lower(Full(root, path)));
        if (key == keys_.end()) return 2;  // the key must have been created first
        key->second[name] = data;
        return 0;
    }
    long DeleteTree(Root root, const std::wstring& path) override {
        if (long status = Step(L"delete " + Full(root, path))) return status;
        std::wstring full = Lower(Full(root, path));
        for (auto it = keys_.begin(); it != keys_.end();) {
            bool below = it->first == full || it->first.rfind(full + L"\\", 0) == 0;
            it = below ? keys_.erase(it) : std::next(it);
        }
        return 0;
    }

    void AddKey(const std::wstring& full) { keys_[Lower(full)]; }
    bool HasKey(const std::wstring& full) const { return keys_.count(Lower(full)) > 0; }
    std::wstring Value(const std::wstring& full, const std::wstring& name) const {
        auto key = keys_.find(Lower(full));
        if (key == keys_.end()) return L"<no key>";
        auto value = key->second.find(name);
        return value == key->second.end() ? L"<no value>" : value->second;
    }
    std::set<std::wstring> Keys() const {
        std::set<std::wstring> keys;
        for (const auto& key : keys_) keys.insert(key.first);
        return keys;
    }
    const std::vector<std::wstring>& Log() const { return log_; }
    void FailAt(size_t call, long status) { failAt_ = call, failStatus_ = status; }

private:
    static std::wstring Full(Root root, const std::wstring& path) {
        return std::wstring(RootName(root)) + L"\\" + path;
    }
    long Step(const std::wstring& what) {
        log_.push_back(what);
        return log_.size() == failAt_ ? failStatus_ : 0;
    }

    std::map<std::wstring, std::map<std::wstring, std::wstring>> keys_;
    std::vector<std::wstring> log_;
    size_t failAt_ = 0;
    long failStatus_ = 0;
};

std::wstring ReadScript(const char* name) {
    std::ifstream file(std::string(NIVRA_MODULE_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::string text = bytes.str();
    EXPECT_FALSE(text.empty()) << name;
    return std::wstring(text.begin(), text.end());
}

const std::wstring kAppId = L"{0A64A94C-5BAF-4A6A-8233-28A206DCACBB}";
const std::wstring kClsid = L"{1C84A1D6-2DE5-4C10-9298-A5F53137C92F}";
const std::wstring kPath = L"C:\\Program Files\\Farm\\NivraTesk.dll";

Replacements ModuleReplacements() { return {{L"APPID", kAppId}, {L"Module", kPath}, {L"Module_Raw", kPath}}; }

// The publisher's registration: the class whose threading model is the empty text.
Replacements PublisherReplacements() {
    Replacements r = ModuleReplacements();
    r.insert(r.end(), {{L"MODULEGUID", kAppId},
                       {L"MODULETYPE", L"InprocServer32"},
                       {L"FriendlyName", L"CNivraPublisher Object"},
                       {L"CLSID", kClsid},
                       {L"PROGID", L"NivraTesk.NivraPublisher.1"},
                       {L"VIPROGID", L"NivraTesk.NivraPublisher"},
                       {L"THREADINGMODEL", L""}});
    return r;
}

long Apply(const char* scriptName, const Replacements& replacements, Mode mode, FakeRegistry& registry) {
    auto parsed = ParseScript(ReadScript(scriptName), replacements);
    EXPECT_TRUE(parsed.script.has_value()) << std::string(parsed.error.begin(), parsed.error.end());
    if (!parsed.script) return -1;
    return ApplyScript(*parsed.script, mode, registry);
}

TEST(ModuleScript, RegistersTheDriverKeyAndAppIdUnderKeptParents) {
    FakeRegistry registry;
    ASSERT_EQ(0, Apply("NivraTesk.rgs", ModuleReplacements(), Mode::Register, registry));
    EXPECT_EQ(L"NivraTesk.Descriptions", registry.Value(L"HKLM\\SOFTWARE\\VANDOR\\Drivers\\BMNIVRATESK", L"ProgID"));
    EXPECT_EQ(L"NivraTesk", registry.Value(L"HKCR\\AppID\\" + kAppId, L""));
    EXPECT_EQ(kAppId, registry.Value(L"HKCR\\AppID\\NivraTesk.DLL", L"AppID"));
}

TEST(ModuleScript, UnregistrationRemovesOnlyItsOwnKeys) {
    FakeRegistry registry;
    registry.AddKey(L"HKLM\\SOFTWARE\\VANDOR\\Drivers\\OTHERDRIVER");
    registry.AddKey(L"HKCR\\AppID\\{00000000-0000-0000-0000-000000000001}");
    ASSERT_EQ(0, Apply("NivraTesk.rgs", ModuleReplacements(), Mode::Register, registry));
    ASSERT_EQ(0, Apply("NivraTesk.rgs", ModuleReplacements(), Mode::Unregister, registry));
    std::set<std::wstring> expected = {
        L"hkcr",
        L"hkcr\\appid",
        L"hkcr\\appid\\{00000000-0000-0000-0000-000000000001}",
        L"hklm",
        L"hklm\\software",
        L"hklm\\software\\vandor",
        L"hklm\\software\\vandor\\drivers",
        L"hklm\\software\\vandor\\drivers\\otherdriver",
    };
    EXPECT_EQ(expected, registry.Keys());
}

TEST(ClassScript, WritesKeysAndValuesInTheRegistrationOrder) {
    FakeRegistry registry;
    ASSERT_EQ(0, Apply("ClassScript.rgs", PublisherReplacements(), Mode::Register, registry));
    const std::wstring c = L"HKCR\\CLSID\\" + kClsid;
    std::vector<std::wstring> expected = {
        L"create HKCR\\NivraTesk.NivraPublisher.1",
        L"set HKCR\\NivraTesk.NivraPublisher.1 []=CNivraPublisher Object",
        L"create HKCR\\NivraTesk.NivraPublisher.1\\CLSID",
        L"set HKCR\\NivraTesk.NivraPublisher.1\\CLSID []=" + kClsid,
        L"create HKCR\\NivraTesk.NivraPublisher",
        L"set HKCR\\NivraTesk.NivraPublisher []=CNivraPublisher Object",
        L"create HKCR\\NivraTesk.NivraPublisher\\CLSID",
        L"set HKCR\\NivraTesk.NivraPublisher\\CLSID []=" + kClsid,
        L"create HKCR\\NivraTesk.NivraPublisher\\CurVer",
        L"set HKCR\\NivraTesk.NivraPublisher\\CurVer []=NivraTesk.NivraPublisher.1",
        L"create HKCR\\CLSID",
        L"delete " + c,
        L"create " + c,
        L"set " + c + L" []=CNivraPublisher Object",
        L"create " + c + L"\\ProgID",
        L"set " + c + L"\\ProgID []=NivraTesk.NivraPublisher.1",
        L"create " + c + L"\\VersionIndependentProgID",
        L"set " + c + L"\\VersionIndependentProgID []=NivraTesk.NivraPublisher",
        L"delete " + c + L"\\Programmable",
        L"create " + c + L"\\Programmable",
        L"create " + c + L"\\InprocServer32",
        L"set " + c + L"\\InprocServer32 []=" + kPath,
        L"set " + c + L"\\InprocServer32 [ThreadingModel]=",
        L"set " + c + L" [AppID]=" + kAppId,
        L"create " + c + L"\\TypeLib",
        L"set " + c + L"\\TypeLib []=" + kAppId,
    };
    EXPECT_EQ(expected, registry.Log());
    // The empty threading model is a value that exists and holds the empty text.
    EXPECT_EQ(L"", registry.Value(c + L"\\InprocServer32", L"ThreadingModel"));
}

TEST(ClassScript, ReplacedKeysLoseStaleContentOthersKeepIt) {
    FakeRegistry registry;
    const std::wstring c = L"HKCR\\CLSID\\" + kClsid;
    registry.AddKey(c + L"\\Stale");
    registry.AddKey(L"HKCR\\NivraTesk.NivraPublisher\\Extra");
    ASSERT_EQ(0, Apply("ClassScript.rgs", PublisherReplacements(), Mode::Register, registry));
    EXPECT_FALSE(registry.HasKey(c + L"\\Stale"));
    EXPECT_TRUE(registry.HasKey(L"HKCR\\NivraTesk.NivraPublisher\\Extra"));
}

TEST(ClassScript, UnregistrationRemovesEveryClassKeyButKeepsClsid) {
    FakeRegistry registry;
    registry.AddKey(L"HKCR\\CLSID\\{00000000-0000-0000-0000-000000000002}");
    ASSERT_EQ(0, Apply("ClassScript.rgs", PublisherReplacements(), Mode::Register, registry));
    ASSERT_EQ(0, Apply("ClassScript.rgs", PublisherReplacements(), Mode::Unregister, registry));
    std::set<std::wstring> expected = {L"hkcr", L"hkcr\\clsid", L"hkcr\\clsid\\{00000000-0000-0000-0000-000000000002}"};
    EXPECT_EQ(expected, registry.Keys());
}

TEST(ApplyScript, StopsAtTheFirstFailingCallAndReturnsItsCode) {
    for (size_t failing : {1u, 4u, 12u}) {
        FakeRegistry registry;
        registry.FailAt(failing, 5);
        EXPECT_EQ(5, Apply("ClassScript.rgs", PublisherReplacements(), Mode::Register, registry)) << failing;
        EXPECT_EQ(failing, registry.Log().size()) << failing;
    }
}

struct ParseCase {
    const wchar_t* script;
    const wchar_t* expectedLog;  // the registration's calls, joined by '|'; null when parsing must fail
};

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring joined;
    for (const auto& line : lines) joined += (joined.empty() ? L"" : L"|") + line;
    return joined;
}

TEST(ParseScript, LanguageCases) {
    const Replacements replacements = {{L"Name", L"Value"}, {L"Quote", L"it's {x}"}};
    const ParseCase cases[] = {
        {L"HKCR { A = s '%name%' }", L"create HKCR\\A|set HKCR\\A []=Value"},
        {L"hkey_local_machine { a { val V = s '%NAME%-%%' } }", L"create HKLM\\a|set HKLM\\a [V]=Value-%"},
        {L"HKCU { {1234-5678} = s 'x' }", L"create HKCU\\{1234-5678}|set HKCU\\{1234-5678} []=x"},
        {L"HKU { 'with space' = s 'a''b' }", L"create HKU\\with space|set HKU\\with space []=a'b"},
        {L"HKCR { K = s '%Quote%' }", L"create HKCR\\K|set HKCR\\K []=it's {x}"},
        {L"HKCR { noremove K { forceremove S } }", L"create HKCR\\K|delete HKCR\\K\\S|create HKCR\\K\\S"},
        {L"HKCR { K = s '%Missing%' }", nullptr},
        {L"HKCR { K = s 'open }", nullptr},
        {L"HKCR { K { val V = s 'x' }", nullptr},
        {L"HKCR { K = d '1' }", nullptr},
        {L"HKXX { K }", nullptr},
        {L"HKCR { val V = s 'x' }", nullptr},
        {L"HKCR { K = s '%unclosed' }", nullptr},
    };
    for (const ParseCase& c : cases) {
        auto parsed = ParseScript(c.script, replacements);
        std::string script(c.script, c.script + std::wcslen(c.script));
        if (!c.expectedLog) {
            EXPECT_FALSE(parsed.script.has_value()) << script;
            EXPECT_FALSE(parsed.error.empty()) << script;
            continue;
        }
        ASSERT_TRUE(parsed.script.has_value()) << script;
        FakeRegistry registry;
        EXPECT_EQ(0, ApplyScript(*parsed.script, Mode::Register, registry)) << script;
        std::wstring log = Joined(registry.Log());
        EXPECT_EQ(std::wstring(c.expectedLog), log) << script;
    }
}

}  // namespace
