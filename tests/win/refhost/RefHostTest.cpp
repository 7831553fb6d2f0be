// The reference host as COM clients see it: created by ProgID from its registration, with
// property lists, units and measures, the failure switch and honest live-object counts.
#include "RefHostFixture.h"

#include <cmath>

namespace {

std::wstring ValueOf(IvnProperty* property) {
    Bstr value;
    EXPECT_HRESULT_SUCCEEDED(property->get_Value(value.Out()));
    return value.Text();
}

TEST_F(RefHost, ClassesAreCreatedByProgIdAndRefuseAggregation) {
    EXPECT_TRUE(NewProperties());
    EXPECT_TRUE(NewUnitsFactory());

    CLSID clsid;
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"VANDOR.vnProperties", &clsid));
    ComPtr<IUnknown> outer(NewProperties().Get()), inner;
    EXPECT_EQ(
        CoCreateInstance(clsid, outer.Get(), kAnyContext, IID_IUnknown, reinterpret_cast<void**>(inner.GetAddressOf())),
        CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(inner);
}

TEST_F(RefHost, PropertiesAreFoundByKeyOrByPosition) {
    ComPtr<IvnProperties> properties = NewProperties();
    ComPtr<IvnProperty> added;
    ASSERT_HRESULT_SUCCEEDED(
        properties->Add(Bstr(L"Size").Get(), Bstr(L"File Size").Get(), Bstr(L"1.50 KB").Get(), added.GetAddressOf()));
    ASSERT_TRUE(added);
    ASSERT_HRESULT_SUCCEEDED(
        properties->Add(Bstr(L"Export").Get(), Bstr(L"Create").Get(), Bstr(L"first").Get(), nullptr));
    ASSERT_HRESULT_SUCCEEDED(
        properties->Add(Bstr(L"Export").Get(), Bstr(L"Create").Get(), Bstr(L"second").Get(), nullptr));

    struct Case {
        const char* what;
        Variant key;
        const wchar_t* expected;  // null: no entry
    } cases[] = {
        {"key", Variant::Text(L"Size"), L"1.50 KB"},
        {"repeated key gives the first", Variant::Text(L"Export"), L"first"},
        {"missing key", Variant::Text(L"size"), nullptr},
        {"VT_I4 index", Variant::Int(3), L"second"},
        {"VT_INT index", Variant::Int(1, VT_INT), L"1.50 KB"},
        {"index 0", Variant::Int(0), nullptr},
        {"index past the end", Variant::Int(4, VT_INT), nullptr},
    };
    for (Case& c : cases) {
        ComPtr<IvnProperty> found;
        ASSERT_HRESULT_SUCCEEDED(properties->get_Item(*c.key.Get(), found.GetAddressOf())) << c.what;
        if (!c.expected) {
            EXPECT_FALSE(found) << c.what;
            continue;
        }
        ASSERT_TRUE(found) << c.what;
        EXPECT_EQ(ValueOf(found.Get()), c.expected) << c.what;
    }
    ComPtr<IvnProperty> first;
    ASSERT_HRESULT_SUCCEEDED(properties->get_Item(*Variant::Int(1).Get(), first.GetAddressOf()));
    EXPECT_EQ(first.Get(), added.Get()) << "the entry handed out by Add is the one in the list";

    Json all = Describe(properties.Get());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0],
              (Json{{"key", "Size"}, {"caption", "File Size"}, {"value", "1.50 KB"}, {"choices", Json::array()}}));
}

TEST_F(RefHost, ChoicesAccumulateAndTheUserCanAnswer) {
    ComPtr<IvnProperties> options = NewProperties();
    ComPtr<IvnProperty> option;
    ASSERT_HRESULT_SUCCEEDED(options->Add(Bstr(L"Export").Get(), Bstr(L"Create Grid Shape File").Get(), Bstr(L"").Get(),
                                          option.GetAddressOf()));
    for (const wchar_t* choice : {L"Yes", L"No"}) {
        ComPtr<IvnPropertyChoices> choices;  // a fresh fetch each time, as the publisher does
        ASSERT_HRESULT_SUCCEEDED(option->get_Choices(choices.GetAddressOf()));
        ComPtr<IUnknown> added;
        ASSERT_HRESULT_SUCCEEDED(choices->Add(Bstr(choice).Get(), added.GetAddressOf()));
        EXPECT_TRUE(added);
    }
    EXPECT_EQ(Describe(option.Get())["choices"], (Json{"Yes", "No"}));
    EXPECT_EQ(ValueOf(option.Get()), L"");

    ASSERT_HRESULT_SUCCEEDED(host.Configure(option.Get(), R"({"value":"Yes"})"));
    EXPECT_EQ(ValueOf(option.Get()), L"Yes");
    ASSERT_HRESULT_SUCCEEDED(host.Configure(option.Get(), R"({"nullValue":true})"));
    Bstr value(SysAllocString(L"stale"));
    ASSERT_HRESULT_SUCCEEDED(option->get_Value(value.Out()));
    EXPECT_EQ(value.Get(), nullptr);
    EXPECT_EQ(host.Configure(option.Get(), "{not json"), E_INVALIDARG);
}

TEST_F(RefHost, MeasuresKeepTheirUnitAndValue) {
    ComPtr<IkelUOMFactory> factory = NewUnitsFactory();
    ASSERT_TRUE(factory);
    ComPtr<IkelMeasure> measure = NewMeasure(factory.Get(), 33, 0, 30.0);
    double value = 0;
    ASSERT_HRESULT_SUCCEEDED(measure->get_Value(&value));
    EXPECT_EQ(value, 30.0);

    ASSERT_HRESULT_SUCCEEDED(measure->put_UnitCode(66));
    ASSERT_HRESULT_SUCCEEDED(measure->put_Value(2.5));
    EXPECT_EQ(Describe(measure.Get()), (Json{{"code", 66}, {"perCode", 0}, {"unit", "ha"}, {"value", 2.5}}));
    ASSERT_HRESULT_SUCCEEDED(measure->SetValue(120.0, 36, 66));
    EXPECT_EQ(Describe(measure.Get()), (Json{{"code", 36}, {"perCode", 66}, {"unit", "kg/ha"}, {"value", 120.0}}));

    // Its quantity side hands on the value; a unit's hands on its symbol.
    ComPtr<IkelQuantity> quantity;
    ASSERT_HRESULT_SUCCEEDED(measure.As(&quantity));
    Variant handed;
    ASSERT_HRESULT_SUCCEEDED(quantity->get_Value(handed.Out()));
    EXPECT_EQ(handed.Get()->vt, VT_R8);
    EXPECT_EQ(handed.Get()->dblVal, 120.0);

    ComPtr<IUnknown> unit;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateUnit(36, 66, unit.GetAddressOf()));
    ComPtr<IkelQuantity> context;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateQuantity(0, 0, context.GetAddressOf()));
    struct {
        IUnknown* object;
        const wchar_t* symbol;
    } units[] = {{unit.Get(), L"kg/ha"}, {context.Get(), L""}};
    for (auto& u : units) {
        ComPtr<IkelQuantity> q;
        ASSERT_HRESULT_SUCCEEDED(
            u.object->QueryInterface(__uuidof(IkelQuantity), reinterpret_cast<void**>(q.GetAddressOf())));
        Variant symbol;
        ASSERT_HRESULT_SUCCEEDED(q->get_Value(symbol.Out()));
        ASSERT_EQ(symbol.Get()->vt, VT_BSTR);
        EXPECT_EQ(std::wstring(symbol.Get()->bstrVal), u.symbol);
    }
    EXPECT_EQ(Describe(factory.Get())["requests"].size(), 3u);
}

TEST_F(RefHost, MeasuresConvertWithinOneKindOfUnit) {
    ComPtr<IkelUOMFactory> factory = NewUnitsFactory();
    ASSERT_TRUE(factory);
    struct Case {
        LONG code, perCode;
        double value;
        LONG target;
        HRESULT hr;
        double expected;
    } cases[] = {
        {66, 0, 1.5, 65, S_OK, 15000.0},      {65, 0, 2500.0, 66, S_OK, 0.25}, {67, 0, 1.0, 66, S_OK, 0.40468564224},
        {66, 0, 3.0, 66, S_OK, 3.0},          {33, 0, 30.0, 35, S_OK, 0.03},   {33, 0, 1.0, 66, E_INVALIDARG, 0},
        {36, 66, 100.0, 36, E_INVALIDARG, 0}, {999, 0, 4.0, 999, S_OK, 4.0},   {999, 0, 4.0, 998, E_INVALIDARG, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << "/" << c.perCode << " " << c.value << " -> " << c.target);
        ComPtr<IkelMeasure> measure = NewMeasure(factory.Get(), c.code, c.perCode, c.value);
        ComPtr<IkelMeasure> converted;
        ASSERT_EQ(measure->ConvertTo(measure.Get(), c.target, converted.GetAddressOf()), c.hr);
        if (FAILED(c.hr)) {
            EXPECT_FALSE(converted);
            continue;
        }
        double value = 0;
        ASSERT_HRESULT_SUCCEEDED(converted->get_Value(&value));
        EXPECT_NEAR(value, c.expected, 1e-9 * std::fabs(c.expected));
        EXPECT_EQ(Describe(converted.Get())["code"], c.target);
        EXPECT_NE(converted.Get(), measure.Get()) << "a conversion is a new measure";
    }
    ComPtr<IkelMeasure> measure = NewMeasure(factory.Get(), 66, 0, 1.0), converted;
    EXPECT_EQ(measure->ConvertTo(nullptr, 65, converted.GetAddressOf()), E_POINTER);
}

TEST_F(RefHost, ArmedSwitchFailsExactlyTheKthCallWithErrorInfo) {
    ComPtr<IvnProperties> properties = NewProperties();
    auto addOne = [&] { return properties->Add(Bstr(L"k").Get(), Bstr(L"c").Get(), Bstr(L"v").Get(), nullptr); };
    auto lookUp = [&] {
        ComPtr<IvnProperty> p;
        return properties->get_Item(*Variant::Int(1).Get(), p.GetAddressOf());
    };
    // Every call of a four-call sequence failing in turn: exactly that one fails.
    for (LONG k = 1; k <= 5; ++k) {
        host.ArmFailure(k, E_ACCESSDENIED);
        HRESULT results[] = {addOne(), lookUp(), addOne(), lookUp()};
        for (LONG i = 1; i <= 4; ++i)
            EXPECT_EQ(results[i - 1], i == k ? E_ACCESSDENIED : S_OK) << "armed at " << k << ", call " << i;
        EXPECT_EQ(host.CallCount(), 4);
    }
    host.Reset();
    EXPECT_HRESULT_SUCCEEDED(addOne());
    EXPECT_EQ(host.CallLog(), "IvnProperties.Add\n");

    host.ArmFailure(1, E_OUTOFMEMORY);
    EXPECT_EQ(lookUp(), E_OUTOFMEMORY);
    ComPtr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(properties.As(&support));
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(IvnProperties)), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(IvnFields)), S_FALSE);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.GetAddressOf()), S_OK);
    Bstr description;
    GUID guid;
    ASSERT_HRESULT_SUCCEEDED(info->GetDescription(description.Out()));
    ASSERT_HRESULT_SUCCEEDED(info->GetGUID(&guid));
    EXPECT_NE(description.Text().find(L"IvnProperties.get_Item"), std::wstring::npos);
    EXPECT_EQ(guid, __uuidof(IvnProperties));
}

TEST_F(RefHost, CreationByProgIdCountsAsAHostCall) {
    host.ArmFailure(1, E_FAIL);
    ComPtr<IvnProperties> properties;
    EXPECT_EQ(nivra::TryCreateByProgId(L"VANDOR.vnProperties", properties), E_FAIL);
    EXPECT_FALSE(properties);
    EXPECT_EQ(host.CallLog(), "IClassFactory.CreateInstance\n");
}

// Every fixture fails a test whose calls reach a placeholder slot; that rests on the slot
// answering E_NOTIMPL and being logged by its number, as a named slot is by its name.
TEST_F(RefHost, PlaceholderSlotsAnswerNotImplementedAndAreLoggedAsSuch) {
    ComPtr<IvnProperties> properties = NewProperties();
    ASSERT_TRUE(properties);
    host.Reset();
    ComPtr<IvnProperty> missing;
    EXPECT_EQ(properties->get_Item(*Variant::Int(1).Get(), missing.GetAddressOf()), S_OK);
    EXPECT_EQ(properties->Reserved5(), E_NOTIMPL);
    const std::string log = host.CallLog();
    EXPECT_EQ(log, "IvnProperties.get_Item\nIvnProperties.Reserved5\n");
    EXPECT_EQ(fixtures::PlaceholderCalls(log), "IvnProperties.Reserved5\n");
    host.Reset();  // called on purpose: the fixture's check is not for this test
}

TEST_F(RefHost, SwitchedOffClassCannotBeCreated) {
    host.SetClassEnabled(L"kelUOMEngine.kelUOMFactory", false);
    ComPtr<IkelUOMFactory> factory;
    EXPECT_HRESULT_FAILED(nivra::TryCreateByProgId(L"kelUOMEngine.kelUOMFactory", factory));
    EXPECT_FALSE(factory);
    EXPECT_TRUE(NewProperties()) << "only the switched-off class is missing";
    host.Reset();
    EXPECT_HRESULT_SUCCEEDED(nivra::TryCreateByProgId(L"kelUOMEngine.kelUOMFactory", factory));
}

TEST_F(RefHost, LiveCountersFollowEveryReference) {
    ASSERT_EQ(host.LiveObjects(), 0);
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(host.Module(), "DllCanUnloadNow")));
    ASSERT_TRUE(canUnload);
    {
        ComPtr<IvnProperties> properties = NewProperties();
        ComPtr<IvnProperty> property;
        ASSERT_HRESULT_SUCCEEDED(
            properties->Add(Bstr(L"k").Get(), Bstr(L"c").Get(), Bstr(L"v").Get(), property.GetAddressOf()));
        EXPECT_EQ(host.LiveObjects("vnProperties"), 1);
        EXPECT_EQ(host.LiveObjects("vnProperty"), 1);
        EXPECT_EQ(host.LiveObjects("vnPropertyChoices"), 1);
        EXPECT_EQ(canUnload(), S_FALSE);
        properties.Reset();
        EXPECT_EQ(host.LiveObjects("vnProperties"), 0);
        EXPECT_EQ(host.LiveObjects("vnProperty"), 1) << "the caller still holds the entry";

        ComPtr<IkelUOMFactory> factory = NewUnitsFactory();
        ComPtr<IkelMeasure> measure = NewMeasure(factory.Get(), 66, 0, 1.0), converted;
        ASSERT_HRESULT_SUCCEEDED(measure->ConvertTo(measure.Get(), 65, converted.GetAddressOf()));
        factory.Reset();
        EXPECT_EQ(host.LiveObjects("kelMeasure"), 2);
    }
    EXPECT_EQ(host.LiveObjects(), 0);
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
