// The host-call error: a failing host call becomes a C++ exception that carries the HRESULT,
// the IID of the called interface and, where the object offers it, the error information.
// It is caught only where the behaviour says so, and every COM method and export ends in one
// boundary (ComBoundary) that turns an escaping exception into an HRESULT.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>

#include <exception>
#include <new>

#include "host/HostInterfaces.h"

namespace nivra {

using Microsoft::WRL::ComPtr;

class HostCallError : public std::exception {
public:
    HostCallError(HRESULT hr, const IID& iid, ComPtr<IErrorInfo> info = nullptr)
        : hr_(hr), iid_(iid), info_(std::move(info)) {}
    HRESULT Result() const { return hr_; }
    const IID& Iid() const { return iid_; }
    IErrorInfo* ErrorInfo() const { return info_.Get(); }
    const char* what() const noexcept override { return "host call failed"; }

private:
    HRESULT hr_;
    IID iid_;
    ComPtr<IErrorInfo> info_;
};

// Raises the host-call error for a failed HRESULT of a call on `object` through interface I.
template <typename I>
void Check(HRESULT hr, I* object) {
    if (SUCCEEDED(hr)) return;
    ComPtr<IErrorInfo> info;
    ComPtr<ISupportErrorInfo> support;
    if (object &&
        SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.GetAddressOf()))) &&
        support->InterfaceSupportsErrorInfo(__uuidof(I)) == S_OK) {
        GetErrorInfo(0, info.GetAddressOf());
    }
    throw HostCallError(hr, __uuidof(I), std::move(info));
}

// A host object that a step needs, handed in or come back null, raises E_POINTER.
template <typename I>
I* Required(I* object) {
    if (!object) throw HostCallError(E_POINTER, __uuidof(I));
    return object;
}
template <typename I>
I* Required(const ComPtr<I>& object) {
    return Required(object.Get());
}

// Queries `from` for I; E_NOINTERFACE gives null, any other failure raises.
template <typename I, typename From>
ComPtr<I> QueryOptional(From* from) {
    ComPtr<I> result;
    if (!from) return result;
    HRESULT hr = from->QueryInterface(__uuidof(I), reinterpret_cast<void**>(result.GetAddressOf()));
    if (hr == E_NOINTERFACE) return nullptr;
    Check(hr, from);
    return result;
}

// Creates a host class by ProgID (class context 0x17: any server), asking for I.
template <typename I>
HRESULT TryCreateByProgId(const wchar_t* progId, ComPtr<I>& out) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) return hr;
    return CoCreateInstance(clsid, nullptr,
                            CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                            __uuidof(I), reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}

// Creates the host's units-of-measure factory from its ProgID in any class context: created
// for IUnknown, put into the running state, then queried. Raises the host-call error.
inline ComPtr<IkelUOMFactory> CreateUnitsFactory() {
    ComPtr<IUnknown> object;
    CLSID clsid;
    Check(CLSIDFromProgID(L"kelUOMEngine.kelUOMFactory", &clsid), static_cast<IkelUOMFactory*>(nullptr));
    Check(CoCreateInstance(clsid, nullptr,
                           CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                           IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf())),
          static_cast<IkelUOMFactory*>(nullptr));
    // Out-of-process servers are allowed by the context, so the object is started first.
    Check(OleRun(object.Get()), static_cast<IkelUOMFactory*>(nullptr));
    ComPtr<IkelUOMFactory> factory;
    Check(object.As(&factory), static_cast<IkelUOMFactory*>(nullptr));
    return factory;
}

// The one boundary of every COM method: runs the body and turns an escaping exception into
// an HRESULT. Nothing is thrown across COM. A failed host call hands the host's own error
// information back with its HRESULT, so that the host can show its text.
template <typename Body>
HRESULT ComBoundary(Body&& body) noexcept {
    try {
        return body();
    } catch (const HostCallError& e) {
        if (e.ErrorInfo()) SetErrorInfo(0, e.ErrorInfo());
        return e.Result();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace nivra
