// The catalog's operations (their details objects), by 1-based index.
#pragma once
#include "HostObject.h"
#include "vnOperation.h"

#include <vector>

namespace refhost {

class CvnOperationDataList : public HostObject<CvnOperationDataList, IvnOperationDataList> {
public:
    static constexpr const char* kClassName = "vnOperationDataList";

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IvnOperationData** data) override {
        HOST_CALL(IvnOperationDataList, get_Item);
        if (!data) return E_POINTER;
        *data = nullptr;
        Key which;
        HRESULT hr = ReadKey(index, which);
        if (FAILED(hr)) return hr;
        if (which.isText || which.index < 1 || static_cast<size_t>(which.index) > operations_.size()) return S_OK;
        return GiveOut(operations_[which.index - 1], data);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        HOST_CALL(IvnOperationDataList, get_Count);
        if (!count) return E_POINTER;
        *count = static_cast<LONG>(operations_.size());
        return S_OK;
    }
    HOST_RESERVED(IvnOperationDataList, 4)

    void Describe(Json& out) override {
        out = Json::array();
        for (const auto& operation : operations_) {
            Json item;
            operation->Describe(item);
            out.push_back(std::move(item));
        }
    }
    void Add(ComPtr<CvnOperation> operation) { operations_.push_back(std::move(operation)); }

private:
    std::vector<ComPtr<CvnOperation>> operations_;
};

}  // namespace refhost
