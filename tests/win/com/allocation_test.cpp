// Every slot of every object of the driver, its exports, a small import and a small publish,
// with every allocation of the driver's code failing in turn (this program links the driver's
// objects and replaces operator new): no exception leaves a slot, a failed call ends in
// E_OUTOFMEMORY with nothing handed out, nothing is left alive afterwards, and a failed
// registration leaves the registry as it was.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <nlohmann/json.hpp>

#include "fixtures/AllocationSwitch.h"
#include "AllocationWalk.h"
#include "ComTestSupport.h"
#include "RefHostControl.h"
#include "com/ComObject.h"
#include "descriptions/CDescriptions.h"
#include "fixtures/HostTest.h"
#include "fixtures/TempDir.h"
#include "import/CNivraFile.h"
#include "import/CNivraTesk.h"
#include "module/Module.h"
#include "publisher/CNivraPublisher.h"

extern "C" {
HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out);
HRESULT STDAPICALLTYPE DllRegisterServer();
HRESULT STDAPICALLTYPE DllUnregisterServer();
}

namespace {

using namespace comtest;
using alloctest::FailEveryAllocationInTurn;
using alloctest::Outs;
using alloctest::Slot;
using alloctest::WalkInterface;
using nivra::Bstr;
using nivra::Variant;
using Json = nlohmann::json;

::testing::Environment* const com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

bool Has(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

template <typename I, typename From>
ComPtr<I> As(From* from) {
    ComPtr<I> result;
    EXPECT_EQ(S_OK, from->QueryInterface(__uuidof(I), reinterpret_cast<void**>(result.GetAddressOf())));
    return result;
}

template <typename T, typename I>
ComPtr<I> Make() {
    ComPtr<I> object;
    EXPECT_EQ(S_OK, nivra::CreateComInstance<T>(nullptr, __uuidof(I), reinterpret_cast<void**>(object.GetAddressOf())));
    return object;
}

// The two IDispatch-derived interfaces share their first four slots; `names` and `member`
// are what GetIDsOfNames and Invoke ask for.
template <typename I>
std::vector<Slot<I>> DispatchSlots(LPOLESTR* names, DISPID member) {
    static DISPPARAMS none = {nullptr, nullptr, 0, 0};
    using Call = std::function<HRESULT(I*, Outs&)>;
    return {{alloctest::SlotIndex(&I::GetTypeInfoCount), "GetTypeInfoCount",
             Call([](I* p, Outs& o) { return p->GetTypeInfoCount(&o.count); })},
            {alloctest::SlotIndex(&I::GetTypeInfo), "GetTypeInfo",
             Call([](I* p, Outs& o) { return p->GetTypeInfo(0, 0, reinterpret_cast<ITypeInfo**>(&o.object)); })},
            {alloctest::SlotIndex(&I::GetIDsOfNames), "GetIDsOfNames",
             Call([names](I* p, Outs& o) { return p->GetIDsOfNames(IID_NULL, names, 1, 0, &o.number); })},
            {alloctest::SlotIndex(&I::Invoke), "Invoke", Call([member](I* p, Outs& o) {
                 EXCEPINFO exception = {};
                 HRESULT hr =
                     p->Invoke(member, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &o.variant, &exception, nullptr);
                 // A member's failure comes back as an exception whose code is the member's result.
                 if (hr == DISP_E_EXCEPTION) {
                     allocswitch::Paused paused;
                     hr = exception.scode;
                     SysFreeString(exception.bstrSource);
                     SysFreeString(exception.bstrDescription);
                     SysFreeString(exception.bstrHelpFile);
                 }
                 return hr;
             })}};
}

std::vector<Slot<IProvideClassInfo>> ClassInfoSlots() {
    return {ALLOC_SLOT(IProvideClassInfo, GetClassInfo, p->GetClassInfo(reinterpret_cast<ITypeInfo**>(&o.object)))};
}

// Everything a test makes is gone when it ends (the reference host's objects, the locks on the
// driver's module), and no host call reached a placeholder slot.
class AllocationFailure : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Load()) << "the reference host is not registered";
        host.Reset();
        hostObjects = host.LiveObjects();
        moduleLocks = nivra::Module().LockCount();
    }
    void TearDown() override {
        EXPECT_EQ(fixtures::PlaceholderCalls(host.CallLog()), "") << "host calls that reached a placeholder slot";
        EXPECT_EQ(host.LiveObjects(), hostObjects) << "reference-host objects left alive";
        EXPECT_EQ(nivra::Module().LockCount(), moduleLocks) << "driver objects left alive";
        host.Reset();
    }

    refhost::Client host;
    LONG hostObjects = 0;
    LONG moduleLocks = 0;
    fixtures::TempDir folder;
};

void WriteSmallFolder(const fixtures::TempDir& folder) {
    fixtures::WriteAll(folder.File("Log_Acre_260301.csv"),
                       "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc\r\n"
                       "7.1,51.1,100,2.5,120,108,3,1,,,,,4.2\r\n7.2,51.2,101,2.6,121,109,3,,,,,1,4.2\r\n");
    fixtures::WriteAll(folder.File("fields.txt"), "Nr,Schlagname,size,Crop,Kunde\r\n1,Acre,3.5,Wheat,Hill Farm\r\n");
}

TEST_F(AllocationFailure, EverySlotOfTheDriver) {
    WriteSmallFolder(folder);
    ComPtr<IvnTESK> driver = Make<nivra::CNivraTesk, IvnTESK>();
    ASSERT_TRUE(driver);
    auto tail = static_cast<IvnTESKTail*>(driver.Get());
    ComPtr<IvnFileList> list = host.Create<IvnFileList>("fileList");
    Bstr where(nivra::AnsiToBstr(folder.Path().string()));
    Bstr text(L"de");
    using T = IvnTESKTail;
    const auto allocating =
        WalkInterface<T>("IvnTESK", 25, tail,
                         {ALLOC_SLOT(T, get_Language, p->get_Language(&o.text)),
                          ALLOC_SLOT(T, put_Language, p->put_Language(text.Get())),
                          ALLOC_SLOT(T, Name, p->Name(&o.text)),
                          ALLOC_SLOT(T, Version, p->Version(&o.text)),
                          ALLOC_SLOT(T, Slot7, p->Slot7(&o.flag)),
                          ALLOC_SLOT(T, PrepareFileList, p->PrepareFileList(list.Get(), &o.flag)),
                          ALLOC_SLOT(T, ListFiles, p->ListFiles(list.Get(), where.Get(), 0, 0)),
                          ALLOC_SLOT(T, ImportFiles, p->ImportFiles(nullptr, nullptr, nullptr, &o.flag)),
                          ALLOC_SLOT(T, Slot11, p->Slot11(&o.flag)),
                          ALLOC_SLOT(T, Slot12, p->Slot12(&o.flag)),
                          ALLOC_SLOT(T, Slot13, p->Slot13(&o.flag)),
                          ALLOC_SLOT(T, Slot14, p->Slot14(&o.flag)),
                          ALLOC_SLOT(T, Slot15, p->Slot15(&o.flag)),
                          ALLOC_SLOT(T, Slot16, p->Slot16(1)),
                          ALLOC_SLOT(T, get_SecondText, p->get_SecondText(&o.text)),
                          ALLOC_SLOT(T, put_SecondText, p->put_SecondText(text.Get())),
                          ALLOC_SLOT(T, Vendor, p->Vendor(&o.text)),
                          ALLOC_SLOT(T, Slot20, p->Slot20(1, 2)),
                          ALLOC_SLOT(T, Slot21, p->Slot21(1, 2, 3, 4)),
                          ALLOC_SLOT(T, Slot22, p->Slot22(1, 2, 3, 4)),
                          ALLOC_SLOT(T, Slot23, p->Slot23(1)),
                          ALLOC_SLOT(T, Slot24, p->Slot24(1))});
    EXPECT_TRUE(Has(allocating, "ListFiles")) << "the switch never reached the listing";

    wchar_t member[] = L"NoSuchMember";
    LPOLESTR names[] = {member};
    WalkInterface<INullDispatch>("INullDispatch", 7, As<INullDispatch>(driver.Get()).Get(),
                                 DispatchSlots<INullDispatch>(names, 1));
    WalkInterface<IProvideClassInfo>("IProvideClassInfo", 4, As<IProvideClassInfo>(driver.Get()).Get(),
                                     ClassInfoSlots());
}

TEST_F(AllocationFailure, EverySlotOfThePublisherAndASmallPublish) {
    ComPtr<IvnPublisher> publisher = Make<nivra::CNivraPublisher, IvnPublisher>();
    ASSERT_TRUE(publisher);
    Bstr destination(nivra::AnsiToBstr(folder.Path().string()));
    ASSERT_EQ(S_OK, publisher->put_DestinationFolder(destination.Get()));
    using Create = HRESULT (*)(const char*, IUnknown**, char*, LONG);
    auto createCatalog =
        reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(host.Module(), "RefHostCreatePublishCatalog")));
    ASSERT_TRUE(createCatalog);
    const Json zone{{"polygon", {{0, 0}, {90, 0}, {90, 60}, {0, 60}}}, {"rates", {{"N", 40}}}};
    const Json plan{{"nodes",
                     {{{"key", "f"}, {"kind", "farm"}, {"name", "Hof"}},
                      {{"key", "fld"}, {"kind", "field"}, {"name", "Plot A"}, {"parent", "f"}},
                      {{"key", "cz"}, {"kind", "cropZone"}, {"name", "cz"}, {"parent", "fld"}, {"cropKey", "wheat"}}}},
                    {"operations", {{{"node", "cz"}, {"comment", "first pass"}, {"prescription", "RX"}}}},
                    {"prescriptions", {{{"id", "RX"}, {"zones", {zone}}}}}};
    ComPtr<IUnknown> made;
    char error[256] = {};
    ASSERT_EQ(S_OK, createCatalog(plan.dump().c_str(), made.GetAddressOf(), error, sizeof error)) << error;
    ComPtr<IvnCatalog> catalog;
    ASSERT_HRESULT_SUCCEEDED(made.As(&catalog));
    Bstr text(L"kept");
    using P = IvnPublisher;
    const auto allocating =
        WalkInterface<P>("IvnPublisher", 24, publisher.Get(),
                         {ALLOC_SLOT(P, get_Language, p->get_Language(&o.text)),
                          ALLOC_SLOT(P, put_Language, p->put_Language(text.Get())),
                          ALLOC_SLOT(P, Name, p->Name(&o.text)),
                          ALLOC_SLOT(P, Version, p->Version(&o.text)),
                          ALLOC_SLOT(P, get_StoredText, p->get_StoredText(&o.text)),
                          ALLOC_SLOT(P, put_StoredText, p->put_StoredText(text.Get())),
                          ALLOC_SLOT(P, get_StoredObject, p->get_StoredObject(&o.object)),
                          ALLOC_SLOT(P, putref_StoredObject, p->putref_StoredObject(nullptr)),
                          ALLOC_SLOT(P, get_CellSize, p->get_CellSize(reinterpret_cast<IkelMeasure**>(&o.object))),
                          ALLOC_SLOT(P, get_ReservedObject, p->get_ReservedObject(&o.object)),
                          ALLOC_SLOT(P, get_Options, p->get_Options(reinterpret_cast<IvnProperties**>(&o.object))),
                          ALLOC_SLOT(P, get_DestinationFolder, p->get_DestinationFolder(&o.text)),
                          ALLOC_SLOT(P, put_DestinationFolder, p->put_DestinationFolder(destination.Get())),
                          ALLOC_SLOT(P, get_ExtraText, p->get_ExtraText(&o.text)),
                          ALLOC_SLOT(P, Publish, p->Publish(catalog.Get(), 0, 0, &o.flag)),
                          ALLOC_SLOT(P, SetHostObjectA, p->SetHostObjectA(nullptr, 0, 0)),
                          ALLOC_SLOT(P, SetHostObjectB, p->SetHostObjectB(nullptr, 0, 0)),
                          ALLOC_SLOT(P, Slot20, p->Slot20(1, 2, 3)),
                          ALLOC_SLOT(P, Slot21, p->Slot21(1, 2, 3, 4, 5, 6, &o.text)),
                          ALLOC_SLOT(P, Slot22, p->Slot22(1, 2)),
                          ALLOC_SLOT(P, Slot23, p->Slot23(1))});
    EXPECT_TRUE(Has(allocating, "Publish")) << "the switch never reached the publish";
    EXPECT_TRUE(Has(allocating, "put_DestinationFolder"));
    WalkInterface<IProvideClassInfo>("IProvideClassInfo", 4, As<IProvideClassInfo>(publisher.Get()).Get(),
                                     ClassInfoSlots());

    // The publish that ran without a failed allocation wrote the field's task and its map.
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "tasks.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Plot_A_OffsetMap.grd"));
}

TEST_F(AllocationFailure, EverySlotOfTheDescriptionsTheirItemsAndEnumerator) {
    ComPtr<IvnTESKDescriptions> descriptions = Make<nivra::CDescriptions, IvnTESKDescriptions>();
    ASSERT_TRUE(descriptions);
    Bstr text(L"de");
    VARIANT first = *Variant::Int(1).Get();
    using D = IvnTESKDescriptions;
    WalkInterface<D>("IvnTESKDescriptions", 19, descriptions.Get(),
                     {ALLOC_SLOT(D, ProgID, p->ProgID(&o.text)), ALLOC_SLOT(D, get_Language, p->get_Language(&o.text)),
                      ALLOC_SLOT(D, put_Language, p->put_Language(text.Get())), ALLOC_SLOT(D, Name, p->Name(&o.text)),
                      ALLOC_SLOT(D, Description, p->Description(&o.text)), ALLOC_SLOT(D, Version, p->Version(&o.text)),
                      ALLOC_SLOT(D, Slot9, p->Slot9(&o.variant)), ALLOC_SLOT(D, Slot10, p->Slot10(1)),
                      ALLOC_SLOT(D, Slot11, p->Slot11(&o.flag)), ALLOC_SLOT(D, Slot12, p->Slot12(1)),
                      ALLOC_SLOT(D, Slot13, p->Slot13(&o.flag)), ALLOC_SLOT(D, Slot14, p->Slot14(1, 2)),
                      ALLOC_SLOT(D, CreateDriver, p->CreateDriver(first, reinterpret_cast<IvnTESK**>(&o.object))),
                      ALLOC_SLOT(D, Item, p->Item(first, reinterpret_cast<IvnTESKDescription**>(&o.object))),
                      ALLOC_SLOT(D, NewEnum, p->NewEnum(&o.object)), ALLOC_SLOT(D, Count, p->Count(&o.number))});
    using D2 = IvnTESKDescriptions2;
    WalkInterface<D2>(
        "IvnTESKDescriptions2", 20, As<D2>(descriptions.Get()).Get(),
        {ALLOC_SLOT(D2, ProgID, p->ProgID(&o.text)), ALLOC_SLOT(D2, get_Language, p->get_Language(&o.text)),
         ALLOC_SLOT(D2, put_Language, p->put_Language(text.Get())), ALLOC_SLOT(D2, Name, p->Name(&o.text)),
         ALLOC_SLOT(D2, Description, p->Description(&o.text)), ALLOC_SLOT(D2, Version, p->Version(&o.text)),
         ALLOC_SLOT(D2, Slot9, p->Slot9(&o.variant)), ALLOC_SLOT(D2, Slot10, p->Slot10(1)),
         ALLOC_SLOT(D2, Slot11, p->Slot11(&o.flag)), ALLOC_SLOT(D2, Slot12, p->Slot12(1)),
         ALLOC_SLOT(D2, Slot13, p->Slot13(&o.flag)), ALLOC_SLOT(D2, Slot14, p->Slot14(1, 2)),
         ALLOC_SLOT(D2, CreateDriver, p->CreateDriver(first, reinterpret_cast<IvnTESK**>(&o.object))),
         ALLOC_SLOT(D2, Slot16, p->Slot16(first, nullptr)),
         ALLOC_SLOT(D2, Item, p->Item(first, reinterpret_cast<IvnTESKDescription2**>(&o.object))),
         ALLOC_SLOT(D2, NewEnum, p->NewEnum(&o.object)), ALLOC_SLOT(D2, Count, p->Count(&o.number))});
    wchar_t count[] = L"NewEnum";
    LPOLESTR names[] = {count};
    auto dispatchSlots = DispatchSlots<INewEnumDispatch>(names, DISPID_NEWENUM);
    dispatchSlots.push_back(ALLOC_SLOT(INewEnumDispatch, get_NewEnum, p->get_NewEnum(&o.object)));
    WalkInterface<INewEnumDispatch>("INewEnumDispatch", 8, As<INewEnumDispatch>(descriptions.Get()).Get(),
                                    dispatchSlots);
    WalkInterface<IProvideClassInfo>("IProvideClassInfo", 4, As<IProvideClassInfo>(descriptions.Get()).Get(),
                                     ClassInfoSlots());

    ComPtr<IvnTESKDescription> item;
    ASSERT_EQ(S_OK, descriptions->Item(first, item.GetAddressOf()));
    using E = IvnTESKDescription2;
    WalkInterface<E>("IvnTESKDescription2", 10, As<E>(item.Get()).Get(),
                     {ALLOC_SLOT(E, Name, p->Name(&o.text)), ALLOC_SLOT(E, ProgID, p->ProgID(&o.text)),
                      ALLOC_SLOT(E, Description, p->Description(&o.text)),
                      ALLOC_SLOT(E, SecondText, p->SecondText(&o.text)), ALLOC_SLOT(E, Slot7, p->Slot7(&o.number)),
                      ALLOC_SLOT(E, Slot8, p->Slot8(&o.variant)), ALLOC_SLOT(E, Slot9, p->Slot9(&o.variant))});
    WalkInterface<INullDispatch>("INullDispatch", 7, As<INullDispatch>(item.Get()).Get(),
                                 DispatchSlots<INullDispatch>(names, 1));

    ComPtr<IUnknown> made;
    ASSERT_EQ(S_OK, descriptions->NewEnum(made.GetAddressOf()));
    ULONG fetched = 0;
    using V = IEnumVARIANT;
    WalkInterface<V>("IEnumVARIANT", 7, As<V>(made.Get()).Get(),
                     {ALLOC_SLOT(V, Next, (p->Reset(), p->Next(1, &o.variant, &fetched))),
                      ALLOC_SLOT(V, Skip, p->Skip(1)), ALLOC_SLOT(V, Reset, p->Reset()),
                      ALLOC_SLOT(V, Clone, p->Clone(reinterpret_cast<IEnumVARIANT**>(&o.object)))});
}

TEST_F(AllocationFailure, EverySlotOfTheFileObject) {
    nivra::CNivraFile* made = nullptr;
    ASSERT_EQ(S_OK, nivra::CNivraFile::Create(&made));
    ComPtr<nivra::CNivraFile> object(made);
    // Long enough that every part of it lives on the heap, not in a string's own buffer.
    object->SetPath("C:\\Terminal card of the season\\North field, first pass\\Log_North_Field_260412.log");
    ComPtr<IvnFile> file = As<IvnFile>(object.Get());
    VARIANT value = *Variant::Int(7).Get();
    using F = IvnFile;
    const auto allocating = WalkInterface<F>(
        "IvnFile", 15, file.Get(),
        {ALLOC_SLOT(F, FullName, p->FullName(&o.text)), ALLOC_SLOT(F, Path, p->Path(&o.text)),
         ALLOC_SLOT(F, Folder, p->Folder(&o.text)), ALLOC_SLOT(F, Title, p->Title(&o.text)),
         ALLOC_SLOT(F, Extension, p->Extension(&o.text)), ALLOC_SLOT(F, Slot8, p->Slot8(&o.flag)),
         ALLOC_SLOT(F, Slot9, p->Slot9(&o.text)),
         ALLOC_SLOT(F, Properties, p->Properties(reinterpret_cast<IvnProperties**>(&o.object))),
         ALLOC_SLOT(F, get_Selected, p->get_Selected(&o.flag)),
         ALLOC_SLOT(F, put_Selected, p->put_Selected(VARIANT_TRUE)),
         ALLOC_SLOT(F, get_Slot13, p->get_Slot13(&o.variant)), ALLOC_SLOT(F, put_Slot14, p->put_Slot14(value))});
    // The path parts are new strings: the switch must have met them.
    EXPECT_TRUE(Has(allocating, "Folder"));
    EXPECT_TRUE(Has(allocating, "Title"));
    wchar_t member[] = L"NoSuchMember";
    LPOLESTR names[] = {member};
    WalkInterface<INullDispatch>("INullDispatch", 7, As<INullDispatch>(file.Get()).Get(),
                                 DispatchSlots<INullDispatch>(names, 1));
}

TEST_F(AllocationFailure, TheClassObjectsAndTheExports) {
    for (const CLSID* clsid : {&nivra::CLSID_CDescriptions, &nivra::CLSID_CNivraTesk, &nivra::CLSID_CNivraPublisher}) {
        FailEveryAllocationInTurn("DllGetClassObject", [&](Outs& o) {
            return DllGetClassObject(*clsid, IID_IClassFactory, reinterpret_cast<void**>(&o.object));
        });
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, DllGetClassObject(*clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())));
        using C = IClassFactory;
        WalkInterface<C>("IClassFactory", 5, factory.Get(),
                         {ALLOC_SLOT(C, CreateInstance,
                                     p->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&o.object))),
                          ALLOC_SLOT(C, LockServer, (p->LockServer(TRUE), p->LockServer(FALSE)))});
    }
    nivra::Module().ReleaseCaches();  // the class objects the table keeps hold the module
}

// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE of this process redirected into scratch keys under
// HKEY_CURRENT_USER, removed afterwards; so registration here touches no other test's keys.
class ScratchRegistry {
public:
    ScratchRegistry() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\NivraTeskAllocationTest\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &classes_, nullptr);
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\NivraTeskAllocationTest\\Machine", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &machine_, nullptr);
        redirected_ = classes_ && machine_ && RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_) == ERROR_SUCCESS &&
                      RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_) == ERROR_SUCCESS;
    }
    ~ScratchRegistry() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        if (classes_) RegCloseKey(classes_);
        if (machine_) RegCloseKey(machine_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }
    bool Redirected() const { return redirected_; }

    // Every key and value below the two scratch roots, one a line, in a fixed order.
    std::string Dump() const {
        std::string out;
        DumpKey(classes_, "HKCR", out);
        DumpKey(machine_, "HKLM", out);
        return out;
    }

private:
    static constexpr const wchar_t* kScratch = L"Software\\NivraTeskAllocationTest";

    static void DumpKey(HKEY key, const std::string& path, std::string& out) {
        std::map<std::string, std::string> values;
        wchar_t name[512];
        BYTE data[2048];
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = 512, type = 0, size = sizeof data;
            if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
            values[Narrow(name, nameLength)] =
                std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data), size);
        }
        out += path + "\n";
        for (const auto& value : values) out += "  " + value.first + " = " + value.second + "\n";
        std::map<std::string, HKEY> subkeys;
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = 512;
            if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            HKEY subkey = nullptr;
            if (RegOpenKeyExW(key, name, 0, KEY_READ, &subkey) == ERROR_SUCCESS)
                subkeys[Narrow(name, nameLength)] = subkey;
        }
        for (const auto& subkey : subkeys) {
            DumpKey(subkey.second, path + "\\" + subkey.first, out);
            RegCloseKey(subkey.second);
        }
    }
    static std::string Narrow(const wchar_t* text, DWORD length) {
        std::string narrow;
        for (DWORD i = 0; i < length; ++i) narrow += static_cast<char>(std::towlower(text[i]));
        return narrow;
    }

    HKEY classes_ = nullptr;
    HKEY machine_ = nullptr;
    bool redirected_ = false;
};

// Runs `call` with every allocation failing in turn; each failed run must leave the registry
// as `before`; answers the registry after the run that succeeded.
std::string RegistryAfterEveryFailure(const ScratchRegistry& registry, const char* what,
                                      HRESULT(STDAPICALLTYPE* call)()) {
    const std::string before = registry.Dump();
    for (std::size_t k = 1;; ++k) {
        allocswitch::Arm(k);
        const HRESULT hr = call();
        const bool fired = allocswitch::Fired();
        allocswitch::Arm(0);
        if (!fired) {
            EXPECT_EQ(hr, S_OK) << what;
            return registry.Dump();
        }
        EXPECT_EQ(hr, E_OUTOFMEMORY) << what << ", allocation " << k;
        EXPECT_EQ(registry.Dump(), before)
            << what << ": allocation " << k << " failed, and the registry is not as it was";
    }
}

TEST_F(AllocationFailure, RegistrationIsWrittenWholeOrLeftAsItWas) {
    ScratchRegistry registry;
    ASSERT_TRUE(registry.Redirected());
    const std::string empty = registry.Dump();
    const std::string registered = RegistryAfterEveryFailure(registry, "DllRegisterServer", DllRegisterServer);
    EXPECT_NE(registered.find("nivratesk.descriptions"), std::string::npos) << registered.substr(0, 2000);
    EXPECT_NE(registered.find("\\typelib\\"), std::string::npos) << "the type library is registered";
    // Registering again replaces the class keys (they are removed first): a failure puts them back.
    EXPECT_EQ(RegistryAfterEveryFailure(registry, "DllRegisterServer again", DllRegisterServer), registered);
    const std::string unregistered = RegistryAfterEveryFailure(registry, "DllUnregisterServer", DllUnregisterServer);
    EXPECT_EQ(unregistered.find("nivratesk.descriptions"), std::string::npos) << unregistered;
    EXPECT_NE(unregistered, empty) << "the kept keys (CLSID, AppID, the driver list) stay";
}

// The import of a small folder (a CSV log and "fields.txt") into a new data store each time.
TEST_F(AllocationFailure, ASmallImport) {
    WriteSmallFolder(folder);
    ComPtr<IvnTESK> driver = Make<nivra::CNivraTesk, IvnTESK>();
    ASSERT_TRUE(driver);
    ComPtr<IvnFileList> list = host.Create<IvnFileList>("fileList");
    Bstr where(nivra::AnsiToBstr(folder.Path().string()));
    ASSERT_EQ(S_OK, driver->ListFiles(list.Get(), where.Get(), 0, 0));
    ComPtr<IvnFileListModel> model;
    ASSERT_HRESULT_SUCCEEDED(list->get_Model(model.GetAddressOf()));
    ComPtr<IvnFiles> files;
    ASSERT_HRESULT_SUCCEEDED(model->get_Files(files.GetAddressOf()));
    LONG count = 0;
    ASSERT_HRESULT_SUCCEEDED(files->get_Count(&count));
    ASSERT_EQ(count, 1);
    ComPtr<IvnFile> log;
    ASSERT_HRESULT_SUCCEEDED(files->get_Item(*Variant::Int(1).Get(), log.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(log->put_Selected(VARIANT_TRUE));

    // Each run imports into a new data store with a new progress display, made between runs.
    std::vector<ComPtr<IvnImportTarget>> stores;
    std::vector<ComPtr<IvnProgress>> progresses;
    auto makeNextRun = [&] {
        stores.push_back(host.Create<IvnImportTarget>("dataStore"));
        progresses.push_back(host.Create<IvnProgress>("progress"));
    };
    makeNextRun();
    const int failedRuns = FailEveryAllocationInTurn("ImportFiles", [&](Outs& o) {
        const HRESULT hr = driver->ImportFiles(stores.back().Get(), files.Get(), progresses.back().Get(), &o.flag);
        allocswitch::Paused paused;
        makeNextRun();
        return hr;
    });
    EXPECT_GT(failedRuns, 0);
    // The last run, with no allocation failed, imported the field.
    const std::string stored = host.Describe(stores[stores.size() - 2].Get());
    EXPECT_NE(stored.find("Acre"), std::string::npos) << stored.substr(0, 400);
}

}  // namespace
