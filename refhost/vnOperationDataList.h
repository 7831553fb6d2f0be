// The catalog's operations (their details objects), by 1-based index. An entry may be null:
// an operation the host has lost answers null.
#pragma once
#include "frame/HostObject.h"
#include "frame/KeyedItems.h"
#include "vnOperation.h"

namespace refhost {

class CvnOperationDataList : public HostObject<CvnOperationDataList, IvnOperationDataList> {
public:
    static constexpr const char* kClassName = "vnOperationDataList";

    // An integer: that position; a text finds nothing. Missing: S_OK, null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IvnOperationData** data) override {
        HOST_CALL(IvnOperationDataList, get_Item);
        return operations_.GiveOutItem(index, data);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        HOST_CALL(IvnOperationDataList, get_Count);
        return operations_.GiveOutCount(count);
    }
    HOST_RESERVED(IvnOperationDataList, 4)

    void Describe(Json& out) override { out = operations_.Described(); }
    void Add(ComPtr<CvnOperation> operation) { operations_.Add(std::move(operation)); }

private:
    KeyedItems<CvnOperation> operations_;
};

}  // namespace refhost
