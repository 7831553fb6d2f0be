// The module of the server: class objects, the unload accounting and aggregation, through the
// DLL's own exports (no registration needed).
#include "ComTestSupport.h"

namespace {

using namespace comtest;
using nivra::CLSID_CDescription;
using nivra::CLSID_CDescriptions;
using nivra::CLSID_CNivraFile;
using nivra::CLSID_CNivraPublisher;

::testing::Environment* const com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

TEST(ClassObjects, OnlyCreatableClassesAreServed) {
    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    for (const CLSID* clsid : {&CLSID_CDescription, &CLSID_CNivraFile, &unknown}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Server::Get().GetClassObject(*clsid, IID_IClassFactory, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(E_POINTER, Server::Get().GetClassObject(CLSID_CDescriptions, IID_IClassFactory, nullptr));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, Server::Get().GetClassObject(CLSID_CDescriptions, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);
}

TEST(ClassObjects, AreCachedPerClass) {
    ComPtr<IClassFactory> first = Server::Get().ClassObject(CLSID_CDescriptions);
    ComPtr<IClassFactory> second = Server::Get().ClassObject(CLSID_CDescriptions);
    ComPtr<IClassFactory> publisher = Server::Get().ClassObject(CLSID_CNivraPublisher);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_NE(first.Get(), publisher.Get());
}

TEST(CanUnloadNow, CountsObjectsClassObjectsAndServerLocks) {
    Server& server = Server::Get();
    ASSERT_EQ(S_OK, server.CanUnloadNow());

    ComPtr<IClassFactory> factory = server.ClassObject(CLSID_CDescriptions);
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "class object held from outside";
    ComPtr<IUnknown> collection;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(collection.GetAddressOf())));
    factory.Reset();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "live collection";

    // An enumerator keeps the collection, and the DLL, alive after the collection is released.
    ComPtr<IvnTESKDescriptions> descriptions;
    ASSERT_EQ(S_OK, collection.As(&descriptions));
    ComPtr<IUnknown> enumerator;
    ASSERT_EQ(S_OK, descriptions->NewEnum(enumerator.GetAddressOf()));
    collection.Reset();
    descriptions.Reset();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "live enumerator";
    enumerator.Reset();
    EXPECT_EQ(S_OK, server.CanUnloadNow());

    factory = server.ClassObject(CLSID_CNivraPublisher);
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, server.CanUnloadNow()) << "server lock";
    factory = server.ClassObject(CLSID_CNivraPublisher);
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, server.CanUnloadNow());
}

TEST(Aggregation, CollectionIsAggregatedBehindItsOuterObject) {
    ComPtr<IClassFactory> factory = Server::Get().ClassObject(CLSID_CDescriptions);
    CountingOuter outer;
    ComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(inner.GetAddressOf())));
    ASSERT_EQ(1u, outer.count) << "creation must not keep references on the outer object";

    // The inner unknown answers itself for IUnknown and hands out interfaces that delegate.
    ComPtr<IUnknown> self;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(self.GetAddressOf())));
    EXPECT_EQ(inner.Get(), self.Get());
    IvnTESKDescriptions* descriptions = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(__uuidof(IvnTESKDescriptions), reinterpret_cast<void**>(&descriptions)));
    EXPECT_EQ(2u, outer.count) << "an interface of the inner object counts on the outer one";
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, descriptions->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
    identity->Release();
    descriptions->Release();
    EXPECT_EQ(1u, outer.count);
    self.Reset();
    inner.Reset();
    EXPECT_EQ(1u, outer.count);
}

TEST(Aggregation, RefusedWhereTheClassOrTheRequestDoesNotAllowIt) {
    struct Case {
        const CLSID* clsid;
        const IID* iid;
    } cases[] = {
        {&CLSID_CDescriptions, &__uuidof(IvnTESKDescriptions)},
        {&CLSID_CNivraPublisher, &IID_IUnknown},
        {&CLSID_CNivraPublisher, &__uuidof(IvnPublisher)},
    };
    for (const Case& c : cases) {
        ComPtr<IClassFactory> factory = Server::Get().ClassObject(*c.clsid);
        CountingOuter outer;
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, *c.iid, &out));
        EXPECT_EQ(nullptr, out);
        EXPECT_EQ(1u, outer.count);
    }
    ComPtr<IClassFactory> factory = Server::Get().ClassObject(CLSID_CDescriptions);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
}

TEST(Publisher, IdentitySlotsAndSlotsNotOffered) {
    ComPtr<IvnPublisher> publisher = Server::Get().Create<IvnPublisher>(CLSID_CNivraPublisher);
    ASSERT_TRUE(publisher);
    EXPECT_EQ("NivraTeskPublisher", TextOf([&](BSTR* t) { return publisher->Name(t); }));
    EXPECT_EQ("1.0.0.5", TextOf([&](BSTR* t) { return publisher->Version(t); }));
    EXPECT_EQ("<null>", TextOf([&](BSTR* t) { return publisher->get_Language(t); }));
    nivra::Bstr language(L"de");
    EXPECT_EQ(S_OK, publisher->put_Language(language.Get()));
    EXPECT_EQ("de", TextOf([&](BSTR* t) { return publisher->get_Language(t); }));
    EXPECT_EQ(E_INVALIDARG, publisher->Name(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->Version(nullptr));
    EXPECT_EQ(E_NOTIMPL, publisher->Slot22(1, 2));
    EXPECT_EQ(E_NOTIMPL, publisher->Slot23(-1));
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(E_NOINTERFACE, publisher.As(&dispatch));
}

}  // namespace
