// CDescription: one driver of the DLL as the host's driver manager sees it. Made only by the
// collection; its texts are set once and never change.
#pragma once
#include "com/ComObject.h"
#include "com/ComOwners.h"
#include "com/NullDispatch.h"
#include "host/DriverInterfaces.h"

namespace nivra {

struct DescriptionTexts {
    const char* name;
    const char* progId;
    const char* description;
    const char* secondText;
};

class CDescription final : public ComObject<IvnTESKDescription, IvnTESKDescription2, NullDispatch> {
public:
    CDescription() = default;
    // Fills the four texts; E_OUTOFMEMORY when one cannot be allocated.
    HRESULT Initialize(const DescriptionTexts& texts);

    BSTR NameText() const { return name_.Get(); }
    BSTR ProgIdText() const { return progId_.Get(); }

    // IvnTESKDescription / IvnTESKDescription2
    HRESULT STDMETHODCALLTYPE Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE ProgID(BSTR* progId) override;
    HRESULT STDMETHODCALLTYPE Description(BSTR* description) override;
    HRESULT STDMETHODCALLTYPE SecondText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Slot7(LONG* value) override;
    HRESULT STDMETHODCALLTYPE Slot8(VARIANT* answer) override;
    HRESULT STDMETHODCALLTYPE Slot9(VARIANT* answer) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    Bstr name_;
    Bstr progId_;
    Bstr description_;
    Bstr secondText_;
};

}  // namespace nivra
