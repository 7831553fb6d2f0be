// The fixture shared by the reference host's suites: COM initialised, refhost.dll found
// through its registration, its switch reset, and no object leaked by a test.
#pragma once
#include "com/ComOwners.h"
#include "com/HostCall.h"
#include "host/HostInterfaces.h"
#include "RefHostControl.h"
#include "fixtures/HostTest.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using Microsoft::WRL::ComPtr;
using nivra::Bstr;
using nivra::Variant;
using Json = nlohmann::json;

constexpr DWORD kAnyContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

class RefHost : public fixtures::HostTest {
protected:
    ComPtr<IvnProperties> NewProperties() {
        ComPtr<IvnProperties> properties;
        EXPECT_HRESULT_SUCCEEDED(nivra::TryCreateByProgId(L"VANDOR.vnProperties", properties));
        return properties;
    }
    // The way the driver makes the units factory: IUnknown, running state, then the query.
    ComPtr<IkelUOMFactory> NewUnitsFactory() {
        CLSID clsid;
        ComPtr<IUnknown> unknown;
        ComPtr<IkelUOMFactory> factory;
        EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"kelUOMEngine.kelUOMFactory", &clsid));
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, kAnyContext, IID_IUnknown,
                                                  reinterpret_cast<void**>(unknown.GetAddressOf())));
        if (!unknown) return factory;
        EXPECT_HRESULT_SUCCEEDED(OleRun(unknown.Get()));
        EXPECT_HRESULT_SUCCEEDED(unknown.As(&factory));
        return factory;
    }
    ComPtr<IkelMeasure> NewMeasure(IkelUOMFactory* factory, LONG code, LONG perCode, double value) {
        ComPtr<IkelMeasure> measure;
        EXPECT_HRESULT_SUCCEEDED(factory->CreateMeasure(code, perCode, value, measure.GetAddressOf()));
        return measure;
    }
    Json Describe(IUnknown* object) { return Json::parse(host.Describe(object)); }
};

// Queries `from` for I, failing the test when it does not answer.
template <typename I>
ComPtr<I> As(IUnknown* from) {
    ComPtr<I> result;
    EXPECT_HRESULT_SUCCEEDED(from->QueryInterface(__uuidof(I), reinterpret_cast<void**>(result.GetAddressOf())));
    return result;
}
