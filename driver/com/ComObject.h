// The common frame of the DLL's COM objects: a plain (apartment) reference count, the module
// lock held for the object's whole life, and standard aggregation. The object's own IUnknown
// is the inner, non-delegating one; every interface forwards its IUnknown calls to the outer
// object, which is the inner one itself when the object is not aggregated.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <new>

#include "com/ModuleServices.h"

#include <wrl/client.h>

namespace nivra {

using Microsoft::WRL::ComPtr;

template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    explicit ComObject(IUnknown* outer = nullptr) : inner_(this), outer_(outer ? outer : &inner_) { LockModule(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() { UnlockModule(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return outer_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

    IUnknown* InnerUnknown() { return &inner_; }

    // Work that may fail after the object exists (host objects made at creation). A failure
    // makes the creator destroy the object and return the result.
    virtual HRESULT FinalConstruct() { return S_OK; }

protected:
    // The object's interface pointer for iid, or null. IUnknown is answered by the frame.
    virtual void* FindInterface(REFIID iid) = 0;

private:
    class Inner : public IUnknown {
    public:
        explicit Inner(ComObject* owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            if (!out) return E_POINTER;
            *out = nullptr;
            if (IsEqualIID(iid, IID_IUnknown)) {
                *out = static_cast<IUnknown*>(this);
            } else {
                *out = owner_->FindInterface(iid);
                if (!*out) return E_NOINTERFACE;
            }
            static_cast<IUnknown*>(*out)->AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
        ULONG STDMETHODCALLTYPE Release() override {
            ULONG left = --count_;
            if (left == 0) delete owner_;
            return left;
        }

    private:
        ComObject* owner_;
        ULONG count_ = 0;
    };

    Inner inner_;
    IUnknown* outer_;
};

// The instance creator shared by the creatable classes: constructs the object (taking the
// module lock), runs its FinalConstruct and queries it for iid; any failure destroys it.
template <typename T>
HRESULT CreateComInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    T* object = nullptr;
    try {
        object = new T(outer);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    IUnknown* inner = object->InnerUnknown();
    inner->AddRef();  // keeps the object alive through construction; the last Release destroys it
    HRESULT hr;
    try {
        hr = object->FinalConstruct();
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        hr = E_FAIL;
    }
    if (SUCCEEDED(hr)) hr = inner->QueryInterface(iid, out);
    inner->Release();
    return hr;
}

// For classes that refuse aggregation.
template <typename T>
HRESULT CreateComInstanceNoAggregation(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (outer) {
        *out = nullptr;
        return CLASS_E_NOAGGREGATION;
    }
    return CreateComInstance<T>(nullptr, iid, out);
}

}  // namespace nivra
