// Self-registration of refhost.dll: what regsvr32 wrote in the prefix, and a register /
// unregister round trip redirected into a private key, so other suites keep their classes.
#include "com/ComOwners.h"
#include "RefHostControl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t* const kProgIds[] = {L"VANDOR.vnProperties", L"kelUOMEngine.kelUOMFactory", L"VANDOR.vnRxSurface",
                                   L"VANDOR.vnFactory"};

std::wstring ReadText(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

std::wstring ClsidKeyOf(const wchar_t* progId, HKEY root = HKEY_CLASSES_ROOT) {
    return L"CLSID\\" + ReadText(root, std::wstring(progId) + L"\\CLSID", nullptr);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ASSERT_TRUE(host.Load()) << "refhost.dll is not registered in this prefix";
    }
    void TearDown() override { CoUninitialize(); }

    HRESULT CallExport(const char* name) {
        auto entry =
            reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(host.Module(), name)));
        return entry ? entry() : E_NOTIMPL;
    }

    refhost::Client host;
};

TEST_F(Registration, ClassesPointAtTheLoadedModuleInTheApartmentModel) {
    wchar_t loaded[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(host.Module(), loaded, MAX_PATH), 0u);
    for (const wchar_t* progId : kProgIds) {
        SCOPED_TRACE(nivra::WideToAnsi(progId, wcslen(progId)));
        std::wstring clsidKey = ClsidKeyOf(progId);
        EXPECT_EQ(_wcsicmp(ReadText(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr).c_str(), loaded), 0);
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr), progId);
    }
}

// HKEY_CLASSES_ROOT of this process is redirected to a private key for the round trip.
class PrivateRoot {
public:
    PrivateRoot() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) ==
            ERROR_SUCCESS)
            redirected_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, key_) == ERROR_SUCCESS;
    }
    ~PrivateRoot() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (key_) RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
        RegDeleteKeyW(HKEY_CURRENT_USER, kPath);
    }
    bool Redirected() const { return redirected_; }
    HKEY Key() const { return key_; }

private:
    static constexpr const wchar_t* kPath = L"Software\\NivraRefHostRegistrationTest";
    HKEY key_ = nullptr;
    bool redirected_ = false;
};

TEST_F(Registration, RegisterWritesEveryClassAndUnregisterRemovesThem) {
    wchar_t loaded[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(host.Module(), loaded, MAX_PATH), 0u);
    PrivateRoot root;
    ASSERT_TRUE(root.Redirected());
    ASSERT_FALSE(KeyExists(root.Key(), L"VANDOR.vnProperties"));

    ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
    for (const wchar_t* progId : kProgIds) {
        SCOPED_TRACE(nivra::WideToAnsi(progId, wcslen(progId)));
        std::wstring clsidKey = ClsidKeyOf(progId, root.Key());
        EXPECT_EQ(_wcsicmp(ReadText(root.Key(), clsidKey + L"\\InprocServer32", nullptr).c_str(), loaded), 0);
        EXPECT_EQ(ReadText(root.Key(), clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(ReadText(root.Key(), clsidKey + L"\\ProgID", nullptr), progId);
    }
    std::wstring clsidKey = ClsidKeyOf(L"VANDOR.vnProperties", root.Key());

    ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
    for (const wchar_t* progId : kProgIds) EXPECT_FALSE(KeyExists(root.Key(), progId));
    EXPECT_FALSE(KeyExists(root.Key(), clsidKey));
    EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK) << "a second unregistration finds nothing and succeeds";
}

}  // namespace
