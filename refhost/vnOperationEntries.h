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

    // `role` names the list in the call log ("IvnOperationMachines.get_Item").
    CvnOperationEntries(const char* role, const IID& iid) : role_(role), iid_(iid) {}

    // VT_BSTR key; a missing key answers S_OK with null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IUnknown** entry) override;

    void Describe(Json& out) override;
    void Add(const std::wstring& key, ComPtr<CvnOperationEntry> entry) { entries_.emplace_back(key, std::move(entry)); }

private:
    std::string role_;
    IID iid_;
    std::vector<std::pair<std::wstring, ComPtr<CvnOperationEntry>>> entries_;
};

}  // namespace refhost
