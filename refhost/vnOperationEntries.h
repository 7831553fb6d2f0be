// The products, machines or containers attached to an operation, found by the key of what
// was attached. One class serves the three lists, whose single slot has the same shape.
#pragma once
#include "frame/HostObject.h"
#include "vnOperationEntry.h"

#include <utility>
#include <vector>

namespace refhost {

class CvnOperationEntries
    : public HostObject<CvnOperationEntries, IvnOperationProducts, IvnOperationMachines, IvnOperationContainers> {
public:
    static constexpr const char* kClassName = "vnOperationEntries";

    // `itemCall` is the list's get_Item as the call log names it ("IvnOperationMachines.get_Item").
    explicit CvnOperationEntries(const CallSite& itemCall) : itemCall_(itemCall) {}

    // VT_BSTR key; a missing key answers S_OK with null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IUnknown** entry) override;

    void Describe(Json& out) override;
    void Add(const std::wstring& key, ComPtr<CvnOperationEntry> entry) { entries_.emplace_back(key, std::move(entry)); }

private:
    CallSite itemCall_;
    std::vector<std::pair<std::wstring, ComPtr<CvnOperationEntry>>> entries_;
};

}  // namespace refhost
