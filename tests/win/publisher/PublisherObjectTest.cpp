// The publisher object: creation with the host's units engine and property list, the slots
// it keeps values in, and the two options it offers.
#include "PublisherFixture.h"

namespace pubtest {
namespace {

using PublisherObject = Publisher;

std::string Text(BSTR text) { return text ? nivra::BstrToAnsi(text) : "<null>"; }

TEST_F(PublisherObject, IdentityAndHeldValues) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    Bstr text;
    EXPECT_EQ(S_OK, publisher->Name(text.Out()));
    EXPECT_EQ(Text(text.Get()), "NivraTeskPublisher");
    EXPECT_EQ(S_OK, publisher->get_DestinationFolder(text.Out()));
    EXPECT_EQ(Text(text.Get()), "");
    EXPECT_EQ(S_OK, publisher->get_ExtraText(text.Out()));
    EXPECT_EQ(Text(text.Get()), "<null>");
    EXPECT_EQ(S_OK, publisher->Slot21(1, 2, 3, 4, 5, 6, text.Out()));
    EXPECT_EQ(Text(text.Get()), "");

    Bstr folder(L"C:\\terminal\\");
    EXPECT_EQ(S_OK, publisher->put_DestinationFolder(folder.Get()));
    EXPECT_EQ(S_OK, publisher->get_DestinationFolder(text.Out()));
    EXPECT_EQ(Text(text.Get()), "C:\\terminal\\");
    EXPECT_EQ(S_OK, publisher->put_DestinationFolder(nullptr));
    EXPECT_EQ(S_OK, publisher->get_DestinationFolder(text.Out()));
    EXPECT_EQ(Text(text.Get()), "");

    // The very BSTR already held is kept as it is.
    Bstr stored(L"kept");
    EXPECT_EQ(S_OK, publisher->put_StoredText(stored.Get()));
    Bstr copy;
    EXPECT_EQ(S_OK, publisher->get_StoredText(copy.Out()));
    EXPECT_EQ(Text(copy.Get()), "kept");
    EXPECT_NE(copy.Get(), stored.Get());

    ComPtr<IUnknown> object;
    EXPECT_EQ(S_OK, publisher->get_StoredObject(object.GetAddressOf()));
    EXPECT_FALSE(object);
    EXPECT_EQ(S_OK, publisher->putref_StoredObject(publisher.Get()));
    EXPECT_EQ(S_OK, publisher->get_StoredObject(object.GetAddressOf()));
    EXPECT_EQ(object.Get(), static_cast<IUnknown*>(publisher.Get()));
    object.Reset();
    EXPECT_EQ(S_OK, publisher->putref_StoredObject(nullptr));  // lets the publisher go

    EXPECT_EQ(S_OK, publisher->get_ReservedObject(object.GetAddressOf()));
    EXPECT_FALSE(object);
    EXPECT_EQ(S_OK, publisher->SetHostObjectA(publisher.Get(), 0, 0));  // no host session: none kept
    EXPECT_EQ(E_NOTIMPL, publisher->Slot20(1, 2, 3));
    EXPECT_EQ(E_NOTIMPL, publisher->Slot22(1, 2));
    EXPECT_EQ(E_NOTIMPL, publisher->Slot23(1));
}

TEST_F(PublisherObject, NullOutPointersAreInvalidArguments) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    EXPECT_EQ(E_INVALIDARG, publisher->Name(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_StoredText(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_StoredObject(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_CellSize(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_ReservedObject(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_Options(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_DestinationFolder(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->get_ExtraText(nullptr));
    EXPECT_EQ(E_INVALIDARG, publisher->Slot21(0, 0, 0, 0, 0, 0, nullptr));
}

TEST_F(PublisherObject, CellSizeIsThirtyMetres) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    ComPtr<IkelMeasure> cell;
    ASSERT_EQ(S_OK, publisher->get_CellSize(cell.GetAddressOf()));
    Json measure = Json::parse(host.Describe(cell.Get()));
    EXPECT_EQ(measure.at("code"), 33);
    EXPECT_EQ(measure.at("value"), 30.0);
}

// Every call adds both options with their choices again.
TEST_F(PublisherObject, OptionsAreAddedOnEveryCall) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    ComPtr<IvnProperties> first, second;
    ASSERT_EQ(S_OK, publisher->get_Options(first.GetAddressOf()));
    ASSERT_EQ(S_OK, publisher->get_Options(second.GetAddressOf()));
    EXPECT_EQ(first.Get(), second.Get());
    const Json exportOption{
        {"key", "Export"}, {"caption", "Create Grid Shape File"}, {"value", ""}, {"choices", {"Yes", "No"}}};
    const Json clearOption{
        {"key", "ClearData"}, {"caption", "Clear Text File Data"}, {"value", ""}, {"choices", {"No", "Yes"}}};
    EXPECT_EQ(Json::parse(host.Describe(first.Get())),
              Json::array({exportOption, clearOption, exportOption, clearOption}));
}

TEST_F(PublisherObject, CreationNeedsTheUnitsEngine) {
    host.SetClassEnabled(L"kelUOMEngine.kelUOMFactory", false);
    EXPECT_EQ(E_FAIL, CreatePublisher(publisher));
    EXPECT_FALSE(publisher);
}

}  // namespace
}  // namespace pubtest
