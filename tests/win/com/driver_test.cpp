// The driver as the host gets it from the description collection, with and without the
// host's units-of-measure engine (played by the reference host), and the file object's
// property list with and without the host's property class.
#include "ComTestSupport.h"
#include "import/CNivraFile.h"
#include "import/CNivraTesk.h"
#include "RefHostControl.h"

namespace {

using namespace comtest;
using nivra::Variant;

::testing::Environment* const com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

constexpr wchar_t kUnitsProgId[] = L"kelUOMEngine.kelUOMFactory";

class Driver : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Load()) << "the reference host is not registered";
        host_.Reset();
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromProgID(L"NivraTesk.Descriptions", &clsid));
        ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IvnTESKDescriptions),
                                         reinterpret_cast<void**>(descriptions_.GetAddressOf())));
    }
    void TearDown() override { host_.Reset(); }

    HRESULT CreateDriver(ComPtr<IvnTESK>& driver) {
        return descriptions_->CreateDriver(*Variant::Int(1).Get(), driver.ReleaseAndGetAddressOf());
    }

    refhost::Client host_;
    ComPtr<IvnTESKDescriptions> descriptions_;
};

TEST_F(Driver, EachCreateDriverMakesANewDriverThatHoldsTheUnitsEngine) {
    const LONG baseline = host_.LiveObjects();
    ComPtr<IvnTESK> first, second;
    ASSERT_EQ(S_OK, CreateDriver(first));
    ASSERT_EQ(S_OK, CreateDriver(second));
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_EQ(2, host_.LiveObjects("kelUOMFactory")) << "one units factory per driver";
    EXPECT_GT(host_.LiveObjects(), baseline + 2) << "and the units object each one keeps";
    first.Reset();
    second.Reset();
    EXPECT_EQ(baseline, host_.LiveObjects()) << "a released driver gives back every host object";
}

TEST_F(Driver, IdentitySlots) {
    ComPtr<IvnTESK> driver;
    ASSERT_EQ(S_OK, CreateDriver(driver));
    EXPECT_EQ("AftTesk", TextOf([&](BSTR* t) { return driver->Name(t); }));
    EXPECT_EQ("1.0.0.5", TextOf([&](BSTR* t) { return driver->Version(t); }));
    EXPECT_EQ("Brenmoor", TextOf([&](BSTR* t) { return driver->Vendor(t); }));
    using Getter = HRESULT (STDMETHODCALLTYPE IvnTESK::*)(BSTR*);
    const Getter getters[] = {&IvnTESK::get_Language, &IvnTESK::Name, &IvnTESK::Version, &IvnTESK::get_SecondText,
                              &IvnTESK::Vendor};
    for (Getter getter : getters) EXPECT_EQ(E_INVALIDARG, (driver.Get()->*getter)(nullptr));
}

TEST_F(Driver, KeepsTheTwoTextsOfTheHost) {
    ComPtr<IvnTESK> driver;
    ASSERT_EQ(S_OK, CreateDriver(driver));
    EXPECT_EQ("<null>", TextOf([&](BSTR* t) { return driver->get_Language(t); }));
    EXPECT_EQ("<null>", TextOf([&](BSTR* t) { return driver->get_SecondText(t); }));

    nivra::Bstr language(L"de");
    ASSERT_EQ(S_OK, driver->put_Language(language.Get()));
    language.Reset(SysAllocString(L"xx"));
    EXPECT_EQ("de", TextOf([&](BSTR* t) { return driver->get_Language(t); }));
    // Putting back the very text the driver handed out is a copy of its own, not the stored pointer.
    nivra::Bstr copy;
    ASSERT_EQ(S_OK, driver->get_Language(copy.Out()));
    ASSERT_EQ(S_OK, driver->put_Language(copy.Get()));
    EXPECT_EQ("de", TextOf([&](BSTR* t) { return driver->get_Language(t); }));

    nivra::Bstr second(L"second text");
    ASSERT_EQ(S_OK, driver->put_SecondText(second.Get()));
    EXPECT_EQ("second text", TextOf([&](BSTR* t) { return driver->get_SecondText(t); }));
    ASSERT_EQ(S_OK, driver->put_SecondText(nullptr));
    EXPECT_EQ("<null>", TextOf([&](BSTR* t) { return driver->get_SecondText(t); }));
}

TEST_F(Driver, FixedAnswersAndSlotsNotOffered) {
    ComPtr<IvnTESK> driver;
    ASSERT_EQ(S_OK, CreateDriver(driver));
    using Flag = HRESULT (STDMETHODCALLTYPE IvnTESK::*)(VARIANT_BOOL*);
    struct Case {
        int slot;
        Flag getter;
        VARIANT_BOOL expected;
    } cases[] = {
        {7, &IvnTESK::Slot7, VARIANT_TRUE},    {11, &IvnTESK::Slot11, VARIANT_FALSE},
        {12, &IvnTESK::Slot12, VARIANT_FALSE}, {13, &IvnTESK::Slot13, VARIANT_TRUE},
        {14, &IvnTESK::Slot14, VARIANT_FALSE}, {15, &IvnTESK::Slot15, VARIANT_FALSE},
    };
    for (const Case& c : cases) {
        VARIANT_BOOL value = 0x55;
        EXPECT_EQ(S_OK, (driver.Get()->*c.getter)(&value)) << "slot " << c.slot;
        EXPECT_EQ(c.expected, value) << "slot " << c.slot;
        EXPECT_EQ(E_INVALIDARG, (driver.Get()->*c.getter)(nullptr)) << "slot " << c.slot;
    }
    EXPECT_EQ(E_NOTIMPL, driver->Slot16(7));
    // The method table goes on after the interface's last slot.
    auto* tail = static_cast<IvnTESKTail*>(driver.Get());
    EXPECT_EQ(E_NOTIMPL, tail->Slot20(1, 2));
    EXPECT_EQ(E_NOTIMPL, tail->Slot21(1, 2, 3, 4));
    EXPECT_EQ(E_NOTIMPL, tail->Slot22(-1, 0, 0, -1));
    EXPECT_EQ(E_NOTIMPL, tail->Slot23(0));
    EXPECT_EQ(E_NOTIMPL, tail->Slot24(0));

    ComPtr<IProvideClassInfo> classInfo;
    ASSERT_EQ(S_OK, driver.As(&classInfo));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, classInfo->GetClassInfo(info.GetAddressOf()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(nivra::CLSID_CNivraTesk, attributes->guid));
    info->ReleaseTypeAttr(attributes);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, driver.As(&dispatch));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

TEST_F(Driver, CanBeAggregated) {
    ComPtr<IClassFactory> factory = Server::Get().ClassObject(nivra::CLSID_CNivraTesk);
    ASSERT_TRUE(factory);
    CountingOuter outer;
    ComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(inner.GetAddressOf())));
    IvnTESK* driver = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(__uuidof(IvnTESK), reinterpret_cast<void**>(&driver)));
    EXPECT_EQ(2u, outer.count);
    driver->Release();
    EXPECT_EQ(1u, outer.count);
}

// Moves a registry key out of the way for the life of the object, and puts it back.
class HiddenKey {
public:
    explicit HiddenKey(const std::wstring& path) : path_(path), saved_(path + L".hidden") {
        HKEY backup = nullptr;
        ok_ = RegCreateKeyExW(HKEY_CLASSES_ROOT, saved_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup,
                              nullptr) == ERROR_SUCCESS &&
              RegCopyTreeW(HKEY_CLASSES_ROOT, path_.c_str(), backup) == ERROR_SUCCESS &&
              RegDeleteTreeW(HKEY_CLASSES_ROOT, path_.c_str()) == ERROR_SUCCESS;
        if (backup) RegCloseKey(backup);
    }
    ~HiddenKey() {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            RegCopyTreeW(HKEY_CLASSES_ROOT, saved_.c_str(), key);
            RegCloseKey(key);
        }
        RegDeleteTreeW(HKEY_CLASSES_ROOT, saved_.c_str());
    }
    bool Ok() const { return ok_; }

private:
    std::wstring path_, saved_;
    bool ok_ = false;
};

TEST_F(Driver, CreationFailsWithoutTheUnitsEngine) {
    const LONG baseline = host_.LiveObjects();
    {
        // The engine is installed but cannot be created.
        host_.SetClassEnabled(kUnitsProgId, false);
        ComPtr<IvnTESK> driver;
        EXPECT_EQ(E_FAIL, CreateDriver(driver));
        EXPECT_FALSE(driver);
        ComPtr<IClassFactory> factory = Server::Get().ClassObject(nivra::CLSID_CNivraTesk);
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_FAIL, factory->CreateInstance(nullptr, __uuidof(IvnTESK), &out));
        EXPECT_EQ(nullptr, out);
        host_.SetClassEnabled(kUnitsProgId, true);
    }
    {
        // The engine's ProgID is not registered at all.
        HiddenKey hidden(kUnitsProgId);
        ASSERT_TRUE(hidden.Ok());
        CLSID clsid;
        ASSERT_NE(S_OK, CLSIDFromProgID(kUnitsProgId, &clsid));
        ComPtr<IvnTESK> driver;
        EXPECT_EQ(E_FAIL, CreateDriver(driver));
        EXPECT_FALSE(driver);
    }
    ComPtr<IvnTESK> driver;
    EXPECT_EQ(S_OK, CreateDriver(driver)) << "the engine is back";
    driver.Reset();
    EXPECT_EQ(baseline, host_.LiveObjects());

    // Nothing of the failed drivers stays alive in the DLL.
    descriptions_.Reset();
    EXPECT_EQ(S_OK, Server::Get().CanUnloadNow());
}

TEST_F(Driver, FileObjectsCarryAPropertyListWhenTheHostHasOne) {
    const LONG baseline = host_.LiveObjects();
    for (bool withProperties : {true, false}) {
        host_.SetClassEnabled(L"VANDOR.vnProperties", withProperties);
        nivra::CNivraFile* object = nullptr;
        ASSERT_EQ(S_OK, nivra::CNivraFile::Create(&object));
        ComPtr<IvnFile> file;
        ASSERT_EQ(S_OK, object->QueryInterface(__uuidof(IvnFile), reinterpret_cast<void**>(file.GetAddressOf())));
        ComPtr<IvnProperties> properties;
        HRESULT hr = file->Properties(properties.GetAddressOf());
        if (withProperties) {
            EXPECT_EQ(S_OK, hr);
            EXPECT_TRUE(properties);
            EXPECT_EQ(object->PropertyList(), properties.Get());
        } else {
            EXPECT_TRUE(FAILED(hr));
            EXPECT_FALSE(properties);
        }
    }
    host_.SetClassEnabled(L"VANDOR.vnProperties", true);
    EXPECT_EQ(baseline, host_.LiveObjects()) << "released files give back their property lists";
}

}  // namespace
