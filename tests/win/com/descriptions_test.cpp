// The description collection, its item and its enumerator, made through the class object.
#include <vector>

#include "ComTestSupport.h"

namespace {

using namespace comtest;
using nivra::Variant;

ComPtr<IvnTESKDescriptions> NewCollection() {
    return Server::Get().Create<IvnTESKDescriptions>(nivra::CLSID_CDescriptions);
}

TEST(Descriptions, TextsOfTheCollection) {
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ASSERT_TRUE(d);
    EXPECT_EQ("NivraTesk.Descriptions", TextOf([&](BSTR* t) { return d->ProgID(t); }));
    EXPECT_EQ("NivraTesk (Brenmoor)", TextOf([&](BSTR* t) { return d->Name(t); }));
    EXPECT_EQ("Nivra N Sensor files", TextOf([&](BSTR* t) { return d->Description(t); }));
    EXPECT_EQ("1.00", TextOf([&](BSTR* t) { return d->Version(t); }));
    EXPECT_EQ(E_INVALIDARG, d->ProgID(nullptr));
    EXPECT_EQ(E_INVALIDARG, d->get_Language(nullptr));
}

TEST(Descriptions, LanguageIsKeptAsACopy) {
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ASSERT_TRUE(d);
    EXPECT_EQ("en", TextOf([&](BSTR* t) { return d->get_Language(t); }));
    nivra::Bstr german(L"de");
    ASSERT_EQ(S_OK, d->put_Language(german.Get()));
    german.Reset(SysAllocString(L"fr"));  // the caller's text is gone; the copy stays
    EXPECT_EQ("de", TextOf([&](BSTR* t) { return d->get_Language(t); }));
    ASSERT_EQ(S_OK, d->put_Language(nullptr));
    EXPECT_EQ("<null>", TextOf([&](BSTR* t) { return d->get_Language(t); }));
}

TEST(Descriptions, FixedAnswersAndSlotsNotOffered) {
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ComPtr<IvnTESKDescriptions2> d2;
    ASSERT_TRUE(d);
    ASSERT_EQ(S_OK, d.As(&d2));
    Variant answer;
    ASSERT_EQ(S_OK, d->Slot9(answer.Get()));
    EXPECT_EQ(VT_BOOL, answer.Get()->vt);
    EXPECT_EQ(VARIANT_TRUE, answer.Get()->boolVal);
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_EQ(S_OK, d->Slot11(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    flag = VARIANT_TRUE;
    EXPECT_EQ(S_OK, d2->Slot13(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    EXPECT_EQ(E_INVALIDARG, d->Slot11(nullptr));
    EXPECT_EQ(E_NOTIMPL, d->Slot10(1));
    EXPECT_EQ(E_NOTIMPL, d->Slot12(1));
    EXPECT_EQ(E_NOTIMPL, d2->Slot14(1, 2));
    EXPECT_EQ(E_NOTIMPL, d2->Slot16(*Variant::Int(1).Get(), nullptr));
    LONG count = 0;
    EXPECT_EQ(S_OK, d->Count(&count));
    EXPECT_EQ(1, count);
    count = 0;
    EXPECT_EQ(S_OK, d2->Count(&count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(E_INVALIDARG, d->Count(nullptr));
}

struct IndexCase {
    const char* name;
    Variant (*index)();
    HRESULT expected;
};

TEST(Descriptions, ItemLookupByPositionOrExactName) {
    const IndexCase cases[] = {
        {"VT_I4 1", [] { return Variant::Int(1); }, S_OK},
        {"VT_I4 0", [] { return Variant::Int(0); }, E_INVALIDARG},
        {"VT_I4 2", [] { return Variant::Int(2); }, E_INVALIDARG},
        {"VT_I4 -1", [] { return Variant::Int(-1); }, E_INVALIDARG},
        {"VT_I2 1", [] { return Variant::Int(1, VT_I2); }, E_INVALIDARG},
        {"VT_BSTR NivraTESK", [] { return Variant::Text(L"NivraTESK"); }, S_OK},
        {"VT_BSTR nivratesk", [] { return Variant::Text(L"nivratesk"); }, E_INVALIDARG},
        {"VT_BSTR empty", [] { return Variant::Text(L""); }, E_INVALIDARG},
    };
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ComPtr<IvnTESKDescriptions2> d2;
    ASSERT_TRUE(d);
    ASSERT_EQ(S_OK, d.As(&d2));
    for (const IndexCase& c : cases) {
        Variant index = c.index();
        ComPtr<IvnTESKDescription> item;
        EXPECT_EQ(c.expected, d->Item(*index.Get(), item.GetAddressOf())) << c.name;
        ComPtr<IvnTESKDescription2> item2;
        EXPECT_EQ(c.expected, d2->Item(*index.Get(), item2.GetAddressOf())) << c.name;
        EXPECT_EQ(c.expected == S_OK, item != nullptr && item2 != nullptr) << c.name;
        if (c.expected != S_OK) {
            IvnTESK* driver = reinterpret_cast<IvnTESK*>(1);  // left untouched on a bad index
            EXPECT_EQ(E_INVALIDARG, d->CreateDriver(*index.Get(), &driver)) << c.name;
            EXPECT_EQ(reinterpret_cast<IvnTESK*>(1), driver) << c.name;
        }
    }
}

TEST(Descriptions, TheItemDescribesTheDriver) {
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ASSERT_TRUE(d);
    ComPtr<IvnTESKDescription> item;
    ASSERT_EQ(S_OK, d->Item(*Variant::Int(1).Get(), item.GetAddressOf()));
    EXPECT_EQ("NivraTESK", TextOf([&](BSTR* t) { return item->Name(t); }));
    EXPECT_EQ("NivraTesk.NIVRATESK", TextOf([&](BSTR* t) { return item->ProgID(t); }));
    EXPECT_EQ("Nivra N Sensor Data", TextOf([&](BSTR* t) { return item->Description(t); }));
    EXPECT_EQ("Nivra N Sensor Data", TextOf([&](BSTR* t) { return item->SecondText(t); }));
    LONG value = 0;
    EXPECT_EQ(S_OK, item->Slot7(&value));
    EXPECT_EQ(33, value);
    EXPECT_EQ(E_INVALIDARG, item->Name(nullptr));
    EXPECT_EQ(E_INVALIDARG, item->Slot7(nullptr));

    ComPtr<IvnTESKDescription2> item2;
    ASSERT_EQ(S_OK, item.As(&item2));
    Variant answer;
    ASSERT_EQ(S_OK, item2->Slot8(answer.Get()));
    EXPECT_EQ(VT_BOOL, answer.Get()->vt);
    EXPECT_EQ(VARIANT_FALSE, answer.Get()->boolVal);
    ASSERT_EQ(S_OK, item2->Slot9(answer.Get()));
    EXPECT_EQ(VARIANT_TRUE, answer.Get()->boolVal);
}

// The item as a script sees it: an IDispatch that describes itself and exposes nothing.
TEST(Descriptions, TheItemDispatchExposesNothing) {
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ASSERT_TRUE(d);
    ComPtr<IvnTESKDescription> item;
    ASSERT_EQ(S_OK, d->Item(*Variant::Int(1).Get(), item.GetAddressOf()));
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, item.As(&dispatch));

    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count) << "type information from the DLL's own type library";
    EXPECT_EQ(E_POINTER, dispatch->GetTypeInfoCount(nullptr));
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, 0, info.GetAddressOf()));
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, info.GetAddressOf()));
    nivra::Bstr name;
    ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Out(), nullptr, nullptr, nullptr));
    EXPECT_EQ("INullDispatch", Narrow(name.Get()));

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Name")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id));

    Variant result;
    result.Get()->vt = VT_I4;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              dispatch->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, &none, result.Get(), nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, result.Get()->vt);
    Variant argument = Variant::Int(1);
    DISPPARAMS one = {argument.Get(), nullptr, 1, 0};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, dispatch->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_BADVARTYPE, dispatch->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
}

// Enumerator behaviour as sequences of calls on a fresh enumerator over the one item.
// "clone" makes a clone of the current enumerator and continues on it; "original" goes back.
struct Step {
    enum Op { Next, NextNoCount, Skip, Reset, Clone, Original } op;
    ULONG count;
    HRESULT hr;
    ULONG fetched;  // Next only
};

struct EnumCase {
    const char* name;
    std::vector<Step> steps;
};

void RunStep(const char* name, size_t index, const Step& step, ComPtr<IEnumVARIANT>& current,
             ComPtr<IEnumVARIANT>& original) {
    SCOPED_TRACE(::testing::Message() << name << ", step " << index);
    switch (step.op) {
    case Step::Next:
    case Step::NextNoCount: {
        VARIANT items[3];
        for (VARIANT& v : items) VariantInit(&v);
        ULONG fetched = 99;
        HRESULT hr = current->Next(step.count, items, step.op == Step::Next ? &fetched : nullptr);
        EXPECT_EQ(step.hr, hr);
        ULONG delivered = step.op == Step::Next ? fetched : (hr == S_OK ? step.count : 0);
        if (step.op == Step::Next && SUCCEEDED(hr)) {
            EXPECT_EQ(step.fetched, fetched);
        }
        for (ULONG i = 0; i < 3; ++i) {
            if (SUCCEEDED(hr) && i < delivered) {
                EXPECT_EQ(VT_DISPATCH, items[i].vt);
                ComPtr<IvnTESKDescription> item;
                ASSERT_TRUE(items[i].pdispVal);
                EXPECT_EQ(S_OK, items[i].pdispVal->QueryInterface(__uuidof(IvnTESKDescription),
                                                                  reinterpret_cast<void**>(item.GetAddressOf())));
            } else {
                EXPECT_EQ(VT_EMPTY, items[i].vt) << "slot " << i << " must stay untouched";
            }
            VariantClear(&items[i]);
        }
        break;
    }
    case Step::Skip: EXPECT_EQ(step.hr, current->Skip(step.count)); break;
    case Step::Reset: EXPECT_EQ(step.hr, current->Reset()); break;
    case Step::Clone: {
        ComPtr<IEnumVARIANT> clone;
        EXPECT_EQ(step.hr, current->Clone(clone.GetAddressOf()));
        original = current;
        current = clone;
        break;
    }
    case Step::Original: current = original; break;
    }
}

TEST(Enumerator, NextSkipResetClone) {
    const EnumCase cases[] = {
        {"next one, then the end", {{Step::Next, 1, S_OK, 1}, {Step::Next, 1, S_FALSE, 0}}},
        {"next three of one", {{Step::Next, 3, S_FALSE, 1}}},
        {"next zero", {{Step::Next, 0, S_OK, 0}, {Step::Next, 1, S_OK, 1}}},
        {"next two without count", {{Step::NextNoCount, 2, E_POINTER, 0}}},
        {"next one without count", {{Step::NextNoCount, 1, S_OK, 1}, {Step::NextNoCount, 1, S_FALSE, 0}}},
        {"skip one", {{Step::Skip, 1, S_OK, 0}, {Step::Next, 1, S_FALSE, 0}}},
        {"skip two", {{Step::Skip, 2, S_FALSE, 0}, {Step::Next, 1, S_FALSE, 0}}},
        {"skip zero", {{Step::Skip, 0, S_OK, 0}, {Step::Next, 1, S_OK, 1}}},
        {"skip at the end", {{Step::Next, 1, S_OK, 1}, {Step::Skip, 1, S_FALSE, 0}}},
        {"reset", {{Step::Next, 1, S_OK, 1}, {Step::Reset, 0, S_OK, 0}, {Step::Next, 1, S_OK, 1}}},
        {"clone at the start",
         {{Step::Clone, 0, S_OK, 0}, {Step::Next, 1, S_OK, 1}, {Step::Original, 0, S_OK, 0}, {Step::Next, 1, S_OK, 1}}},
        {"clone after one keeps the position, reset of the first does not move it",
         {{Step::Next, 1, S_OK, 1},
          {Step::Clone, 0, S_OK, 0},
          {Step::Next, 1, S_FALSE, 0},
          {Step::Original, 0, S_OK, 0},
          {Step::Reset, 0, S_OK, 0},
          {Step::Next, 1, S_OK, 1},
          {Step::Clone, 0, S_OK, 0},
          {Step::Next, 1, S_FALSE, 0}}},
    };
    ComPtr<IvnTESKDescriptions> d = NewCollection();
    ASSERT_TRUE(d);
    for (const EnumCase& c : cases) {
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(S_OK, d->NewEnum(unknown.GetAddressOf()));
        ComPtr<IEnumVARIANT> current, original;
        ASSERT_EQ(S_OK, unknown.As(&current));
        for (size_t i = 0; i < c.steps.size(); ++i) RunStep(c.name, i, c.steps[i], current, original);
    }
}

TEST(Enumerator, RejectsMissingPointers) {
    ComPtr<IvnTESKDescriptions2> d;
    ASSERT_EQ(S_OK, NewCollection().As(&d));
    EXPECT_EQ(E_POINTER, d->NewEnum(nullptr));
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, d->NewEnum(unknown.GetAddressOf()));
    ComPtr<IEnumVARIANT> e;
    ASSERT_EQ(S_OK, unknown.As(&e));
    ULONG fetched = 0;
    EXPECT_EQ(E_POINTER, e->Next(1, nullptr, &fetched));
    EXPECT_EQ(E_POINTER, e->Clone(nullptr));
}

}  // namespace
