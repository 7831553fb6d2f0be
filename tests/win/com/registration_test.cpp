// Registration and unregistration in the prefix's registry: the keys and values written, and
// the registry after unregistration equal to the registry before registration.
#include <algorithm>
#include <vector>

#include "ComTestSupport.h"

namespace {

using namespace comtest;

::testing::Environment* const com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

std::wstring Guid(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::string Narrow(const std::wstring& text) { return nivra::WideToAnsi(text.data(), text.size()); }

class Key {
public:
    Key(HKEY root, const std::wstring& path) { RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// One key and everything below it as text: "[path]" lines, each followed by its values
// ("name (type) = data", the default value named @), keys and values sorted.
void Dump(HKEY root, const std::wstring& rootName, const std::wstring& path, std::string& out) {
    Key key(root, path);
    if (!key.Get()) return;
    out += "[" + Narrow(rootName + L"\\" + path) + "]\n";
    std::vector<std::string> values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0;
        BYTE data[2048] = {};
        DWORD size = sizeof data - sizeof(wchar_t);
        if (RegEnumValueW(key.Get(), i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::string text = type == REG_SZ ? Narrow(reinterpret_cast<const wchar_t*>(data)) : "<binary>";
        values.push_back("  " + (nameLength ? Narrow(name) : std::string("@")) +
                         (type == REG_SZ ? " (sz) = " : " (other) = ") + text + "\n");
    }
    std::sort(values.begin(), values.end());
    for (const auto& v : values) out += v;
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(name);
    }
    std::sort(subkeys.begin(), subkeys.end());
    for (const auto& subkey : subkeys) Dump(root, rootName, path + L"\\" + subkey, out);
}

const std::wstring kAppId = Guid(nivra::LIBID_NivraTesk);

const wchar_t* const kProgIds[] = {L"NivraTesk.Descriptions.1",   L"NivraTesk.Descriptions",
                                   L"NivraTesk.NIVRATESK.1",      L"NivraTesk.NIVRATESK",
                                   L"NivraTesk.NivraPublisher.1", L"NivraTesk.NivraPublisher"};
const CLSID* const kClasses[] = {&nivra::CLSID_CDescription, &nivra::CLSID_CDescriptions, &nivra::CLSID_CNivraFile,
                                 &nivra::CLSID_CNivraTesk, &nivra::CLSID_CNivraPublisher};

// Everything the server writes, apart from the type library's own entries.
std::string ServerKeys() {
    std::string out;
    Dump(HKEY_LOCAL_MACHINE, L"HKLM", L"SOFTWARE\\VANDOR", out);
    Dump(HKEY_CLASSES_ROOT, L"HKCR", L"AppID\\" + kAppId, out);
    Dump(HKEY_CLASSES_ROOT, L"HKCR", L"AppID\\NivraTesk.DLL", out);
    for (const wchar_t* progId : kProgIds) Dump(HKEY_CLASSES_ROOT, L"HKCR", progId, out);
    for (const CLSID* clsid : kClasses) Dump(HKEY_CLASSES_ROOT, L"HKCR", L"CLSID\\" + Guid(*clsid), out);
    return out;
}

std::string TypeLibKeys() {
    std::string out;
    Dump(HKEY_CLASSES_ROOT, L"HKCR", L"TypeLib\\" + kAppId, out);
    Dump(HKEY_CLASSES_ROOT, L"HKCR", L"Interface\\" + Guid(__uuidof(INullDispatch)), out);
    Dump(HKEY_CLASSES_ROOT, L"HKCR", L"Interface\\" + Guid(__uuidof(INewEnumDispatch)), out);
    return out;
}

std::string ExpectedClass(const CLSID& clsid, const std::string& p, const std::string& v, const std::string& f,
                          const std::string& t) {
    const std::string c = Narrow(Guid(clsid)), a = Narrow(kAppId), m = Narrow(ServerPath());
    return "[HKCR\\CLSID\\" + c + "]\n  @ (sz) = " + f + "\n  AppID (sz) = " + a + "\n" + "[HKCR\\CLSID\\" + c +
           "\\InprocServer32]\n  @ (sz) = " + m + "\n  ThreadingModel (sz) = " + t + "\n" + "[HKCR\\CLSID\\" + c +
           "\\ProgID]\n  @ (sz) = " + p + "\n" + "[HKCR\\CLSID\\" + c + "\\Programmable]\n" + "[HKCR\\CLSID\\" + c +
           "\\TypeLib]\n  @ (sz) = " + a + "\n" + "[HKCR\\CLSID\\" + c +
           "\\VersionIndependentProgID]\n  @ (sz) = " + v + "\n";
}

std::string ExpectedProgIds(const CLSID& clsid, const std::string& p, const std::string& f) {
    const std::string c = Narrow(Guid(clsid));
    return "[HKCR\\" + p + "]\n  @ (sz) = " + f + "\n[HKCR\\" + p + "\\CLSID]\n  @ (sz) = " + c + "\n";
}

std::string ExpectedVersionIndependent(const CLSID& clsid, const std::string& p, const std::string& v,
                                       const std::string& f) {
    const std::string c = Narrow(Guid(clsid));
    return "[HKCR\\" + v + "]\n  @ (sz) = " + f + "\n[HKCR\\" + v + "\\CLSID]\n  @ (sz) = " + c + "\n[HKCR\\" + v +
           "\\CurVer]\n  @ (sz) = " + p + "\n";
}

std::string ExpectedServerKeys() {
    const std::string a = Narrow(kAppId);
    std::string out =
        "[HKLM\\SOFTWARE\\VANDOR]\n"
        "[HKLM\\SOFTWARE\\VANDOR\\Drivers]\n"
        "[HKLM\\SOFTWARE\\VANDOR\\Drivers\\BMNIVRATESK]\n"
        "  ProgID (sz) = NivraTesk.Descriptions\n"
        "[HKLM\\SOFTWARE\\VANDOR\\Drivers\\OTHERDRIVER]\n"
        "  ProgID (sz) = Other.Descriptions\n"
        "[HKCR\\AppID\\" +
        a +
        "]\n  @ (sz) = NivraTesk\n"
        "[HKCR\\AppID\\NivraTesk.DLL]\n  AppID (sz) = " +
        a + "\n";
    struct Class {
        const CLSID* clsid;
        const char *p, *v, *f, *t;
    } classes[] = {
        {&nivra::CLSID_CDescriptions, "NivraTesk.Descriptions.1", "NivraTesk.Descriptions", "CDescriptions Object",
         "apartment"},
        {&nivra::CLSID_CNivraTesk, "NivraTesk.NIVRATESK.1", "NivraTesk.NIVRATESK", "CNivraTesk Object", "apartment"},
        {&nivra::CLSID_CNivraPublisher, "NivraTesk.NivraPublisher.1", "NivraTesk.NivraPublisher",
         "CNivraPublisher Object", ""},
    };
    for (const Class& c : classes)
        out += ExpectedProgIds(*c.clsid, c.p, c.f) + ExpectedVersionIndependent(*c.clsid, c.p, c.v, c.f);
    for (const Class& c : classes) out += ExpectedClass(*c.clsid, c.p, c.v, c.f, c.t);
    return out;
}

// Whether a key exists in the registry view of the other bitness: a 64-bit host never sees
// what an i686 build registers (it lands under Wow6432Node), a 32-bit host never sees what an
// x86_64 build registers. (Type libraries are filed in a key both views share, as on Windows.)
bool InTheOtherView(HKEY root, const std::wstring& path) {
    const REGSAM otherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | otherView, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void ExpectNothingInTheOtherView() {
    EXPECT_FALSE(InTheOtherView(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VANDOR\\Drivers\\BMNIVRATESK"));
    for (const CLSID* clsid : kClasses)
        EXPECT_FALSE(InTheOtherView(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + Guid(*clsid)))
            << Narrow(Guid(*clsid));
}

// Another driver of the host, which our unregistration must leave alone.
void AddForeignDriver() {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VANDOR\\Drivers\\OTHERDRIVER", 0, nullptr,
                                             0, KEY_WRITE, nullptr, &key, nullptr));
    const wchar_t value[] = L"Other.Descriptions";
    RegSetValueExW(key, L"ProgID", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    RegCloseKey(key);
}

// Unregistered, the collection's IDispatch has no type information (the lookup's error) while
// its other interfaces work; nothing of the failed lookup is kept.
void ExpectDispatchNeedsTheRegisteredTypeLibrary() {
    ComPtr<IDispatch> dispatch = Server::Get().Create<IDispatch>(nivra::CLSID_CDescriptions);
    ASSERT_TRUE(dispatch);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, dispatch->GetTypeInfo(0, 0, info.GetAddressOf()));
    ComPtr<IvnTESKDescriptions> descriptions;
    ASSERT_EQ(S_OK, dispatch.As(&descriptions));
    LONG count = 0;
    EXPECT_EQ(S_OK, descriptions->Count(&count));
    EXPECT_EQ(1, count);
}

TEST(Registration, WritesTheServerKeysAndUnregistrationRestoresTheRegistry) {
    Server& server = Server::Get();
    AddForeignDriver();
    server.Unregister();  // start unregistered, whatever the prefix held
    const std::string before = ServerKeys() + TypeLibKeys();
    ASSERT_EQ(std::string::npos, before.find("BMNIVRATESK")) << before;

    const LCID callerLocale = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    SetThreadLocale(callerLocale);
    ASSERT_EQ(S_OK, server.Register());
    EXPECT_EQ(callerLocale, GetThreadLocale()) << "the caller's thread locale is restored";
    const std::string registered = ServerKeys();
    EXPECT_EQ(ExpectedServerKeys(), registered);
    EXPECT_TRUE(InTheOtherView(HKEY_LOCAL_MACHINE, L"SOFTWARE")) << "the other view can be read at all";
    ExpectNothingInTheOtherView();
    const std::string typeLib = TypeLibKeys();
    EXPECT_NE(std::string::npos,
              typeLib.find("[HKCR\\TypeLib\\" + Narrow(kAppId) + "\\1.0]\n  @ (sz) = NivraTesk 1.0 Type Library"))
        << typeLib;
    EXPECT_NE(std::string::npos, typeLib.find("  @ (sz) = " + Narrow(ServerPath()))) << typeLib;

    ASSERT_EQ(S_OK, server.Unregister());
    EXPECT_EQ(before, ServerKeys() + TypeLibKeys());
    ExpectNothingInTheOtherView();
    Key drivers(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VANDOR\\Drivers");
    EXPECT_TRUE(drivers.Get()) << "the host's driver list stays";
    ExpectDispatchNeedsTheRegisteredTypeLibrary();

    // Registering again gives the same keys, and leaves the server registered for the others.
    ASSERT_EQ(S_OK, server.Register());
    EXPECT_EQ(registered, ServerKeys());
    ComPtr<IDispatch> dispatch = server.Create<IDispatch>(nivra::CLSID_CDescriptions);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, info.GetAddressOf())) << "found once registered again";
}

}  // namespace
