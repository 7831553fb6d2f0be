// What the registered type library gives: the collection's IDispatch (the property a script's
// For Each asks for) and the class information of the creatable classes.
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
    ASSERT_EQ(S_OK, result.Get()->punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(enumerator.GetAddressOf())));
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
