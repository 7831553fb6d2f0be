// The catalog's crops, found by key (the first crop of that key) or 1-based index.
#pragma once
#include "frame/HostObject.h"
#include "frame/KeyedItems.h"
#include "vnCrop.h"

namespace refhost {

class CvnCropList : public HostObject<CvnCropList, IvnCropList> {
public:
    static constexpr const char* kClassName = "vnCropList";

    // VT_BSTR: the first crop of that key; an integer: that position. Missing: S_OK, null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnCrop** crop) override {
        HOST_CALL(IvnCropList, get_Item);
        return crops_.GiveOutItem(keyOrIndex, crop);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        HOST_CALL(IvnCropList, get_Count);
        return crops_.GiveOutCount(count);
    }
    HOST_RESERVED(IvnCropList, 4)

    void Describe(Json& out) override { out = crops_.Described(); }
    void Add(const ComPtr<CvnCrop>& crop) { crops_.Add(crop->Key(), crop); }

private:
    KeyedItems<CvnCrop> crops_;
};

}  // namespace refhost
