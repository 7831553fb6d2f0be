// What the type library gives: its entries as the DLL carries them, the collection's IDispatch
// (the property a script's For Each asks for) and the class information of the creatable classes.
#include <algorithm>
#include <string>
#include <vector>

#include "ComTestSupport.h"

namespace {

using namespace comtest;

::testing::Environment* const com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

template <typename I>
ComPtr<I> CreateByProgId(const wchar_t* progId) {
    CLSID clsid;
    ComPtr<I> object;
    EXPECT_EQ(S_OK, CLSIDFromProgID(progId, &clsid));
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I),
                                     reinterpret_cast<void**>(object.GetAddressOf())));
    return object;
}

// A copy of the attributes, so that no early return of a check leaks them.
TYPEATTR AttributesOf(ITypeInfo* info) {
    TYPEATTR copy = {};
    TYPEATTR* attributes = nullptr;
    EXPECT_EQ(S_OK, info->GetTypeAttr(&attributes));
    if (attributes) {
        copy = *attributes;
        info->ReleaseTypeAttr(attributes);
    }
    return copy;
}

// stdole2's library id: the library that defines IUnknown and IDispatch for everyone.
constexpr GUID kStdOleLibrary = {0x00020430, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The default interface of a coclass, resolved as a client resolves it.
ComPtr<ITypeInfo> DefaultInterfaceOf(ITypeInfo* coclass) {
    ComPtr<ITypeInfo> result;
    INT flags = 0;
    HREFTYPE reference = 0;
    EXPECT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
    EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, flags);
    if (SUCCEEDED(coclass->GetRefTypeOfImplType(0, &reference)))
        EXPECT_EQ(S_OK, coclass->GetRefTypeInfo(reference, result.GetAddressOf()));
    return result;
}

// Exactly the seven entries the registration describes: no local copy of IUnknown or of the
// GUID types its QueryInterface uses; CNivraPublisher's default interface is stdole2's IUnknown.
TEST(TypeLibrary, HoldsTheServersSevenEntriesAsTheDllCarriesThem) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadTypeLib(ServerPath().c_str(), library.GetAddressOf()));
    struct Entry {
        const char* name;
        const GUID* guid;
        TYPEKIND kind;
        const IID* defaultInterface;  // of a coclass
    } expected[] = {
        {"INullDispatch", &__uuidof(INullDispatch), TKIND_DISPATCH, nullptr},
        {"INewEnumDispatch", &__uuidof(INewEnumDispatch), TKIND_DISPATCH, nullptr},
        {"CDescription", &nivra::CLSID_CDescription, TKIND_COCLASS, &__uuidof(INullDispatch)},
        {"CDescriptions", &nivra::CLSID_CDescriptions, TKIND_COCLASS, &__uuidof(INewEnumDispatch)},
        {"CNivraFile", &nivra::CLSID_CNivraFile, TKIND_COCLASS, &__uuidof(INullDispatch)},
        {"CNivraTesk", &nivra::CLSID_CNivraTesk, TKIND_COCLASS, &__uuidof(INullDispatch)},
        {"CNivraPublisher", &nivra::CLSID_CNivraPublisher, TKIND_COCLASS, &IID_IUnknown},
    };
    ASSERT_EQ(7u, library->GetTypeInfoCount());
    std::vector<std::string> seen;
    for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
        nivra::Bstr name;
        ASSERT_EQ(S_OK, library->GetDocumentation(index, name.Out(), nullptr, nullptr, nullptr));
        seen.push_back(Narrow(name.Get()));
        const Entry* entry = nullptr;
        for (const Entry& e : expected)
            if (seen.back() == e.name) entry = &e;
        ASSERT_TRUE(entry) << "unexpected entry " << seen.back();
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, library->GetTypeInfo(index, info.GetAddressOf()));
        const TYPEATTR attributes = AttributesOf(info.Get());
        EXPECT_TRUE(IsEqualGUID(*entry->guid, attributes.guid)) << entry->name;
        EXPECT_EQ(entry->kind, attributes.typekind) << entry->name;
        if (!entry->defaultInterface) continue;
        ASSERT_EQ(1, attributes.cImplTypes) << entry->name;
        ComPtr<ITypeInfo> implemented = DefaultInterfaceOf(info.Get());
        ASSERT_TRUE(implemented) << entry->name;
        EXPECT_TRUE(IsEqualGUID(*entry->defaultInterface, AttributesOf(implemented.Get()).guid)) << entry->name;
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen.end(), std::adjacent_find(seen.begin(), seen.end())) << "an entry twice";

    // IUnknown comes from stdole2, not from a copy inside this library.
    ComPtr<ITypeInfo> publisher;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(nivra::CLSID_CNivraPublisher, publisher.GetAddressOf()));
    ComPtr<ITypeInfo> unknown = DefaultInterfaceOf(publisher.Get());
    ASSERT_TRUE(unknown);
    EXPECT_EQ(TKIND_INTERFACE, AttributesOf(unknown.Get()).typekind);
    ComPtr<ITypeLib> home;
    UINT position = 0;
    ASSERT_EQ(S_OK, unknown->GetContainingTypeLib(home.GetAddressOf(), &position));
    TLIBATTR* homeAttributes = nullptr;
    ASSERT_EQ(S_OK, home->GetLibAttr(&homeAttributes));
    const GUID homeId = homeAttributes->guid;
    home->ReleaseTLibAttr(homeAttributes);
    EXPECT_TRUE(IsEqualGUID(kStdOleLibrary, homeId));
}

TEST(CollectionDispatch, NewEnumThroughInvoke) {
    ComPtr<IDispatch> collection = CreateByProgId<IDispatch>(L"NivraTesk.Descriptions");
    ASSERT_TRUE(collection);
    UINT count = 0;
    EXPECT_EQ(S_OK, collection->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, collection->GetTypeInfo(0, 0, info.GetAddressOf()));
    nivra::Bstr name;
    ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Out(), nullptr, nullptr, nullptr));
    EXPECT_EQ("INewEnumDispatch", Narrow(name.Get()));

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"NewEnum")};
    DISPID id = 0;
    ASSERT_EQ(S_OK, collection->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
    EXPECT_EQ(DISPID_NEWENUM, id);

    // As a script's For Each asks for it.
    nivra::Variant result;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ASSERT_EQ(S_OK, collection->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none,
                                       result.Get(), nullptr, nullptr));
    ASSERT_EQ(VT_UNKNOWN, result.Get()->vt);
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_EQ(S_OK, result.Get()->punkVal->QueryInterface(IID_IEnumVARIANT,
                                                          reinterpret_cast<void**>(enumerator.GetAddressOf())));
    nivra::Variant item;
    EXPECT_EQ(S_OK, enumerator->Next(1, item.Get(), nullptr));
    EXPECT_EQ(VT_DISPATCH, item.Get()->vt);
}

TEST(ClassInfo, NamesTheCoclassOfEachCreatableClass) {
    struct Case {
        const wchar_t* progId;
        const CLSID* clsid;
        const char* name;
    } cases[] = {
        {L"NivraTesk.Descriptions", &nivra::CLSID_CDescriptions, "CDescriptions"},
        {L"NivraTesk.NivraPublisher", &nivra::CLSID_CNivraPublisher, "CNivraPublisher"},
    };
    for (const Case& c : cases) {
        ComPtr<IProvideClassInfo> provider = CreateByProgId<IProvideClassInfo>(c.progId);
        ASSERT_TRUE(provider) << c.name;
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, provider->GetClassInfo(info.GetAddressOf())) << c.name;
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
        EXPECT_EQ(TKIND_COCLASS, attributes->typekind) << c.name;
        EXPECT_TRUE(IsEqualGUID(*c.clsid, attributes->guid)) << c.name;
        info->ReleaseTypeAttr(attributes);
        EXPECT_EQ(E_POINTER, provider->GetClassInfo(nullptr)) << c.name;
    }
}

}  // namespace
