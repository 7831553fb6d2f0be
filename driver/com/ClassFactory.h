// The class object of a creatable class: IClassFactory bound to the class's instance creator.
#pragma once
#include <windows.h>
#include <ole2.h>

namespace nivra {

using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

// Made with one reference, which the class table keeps. The object counts as one module lock
// only while somebody outside the table holds it: the lock is taken when its count rises to 2
// and given back when it falls to 1.
class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(InstanceCreator creator) : creator_(creator) {}
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~CClassFactory() = default;

    volatile LONG count_ = 1;
    InstanceCreator creator_;
};

}  // namespace nivra
