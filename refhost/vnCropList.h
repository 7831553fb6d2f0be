// The catalog's crops: each has a key (what a crop zone names) and a name.
#pragma once
#include "HostObject.h"
#include "KeyedItems.h"

namespace refhost {

class CvnCrop : public HostObject<CvnCrop, IvnCrop> {
public:
    static constexpr const char* kClassName = "vnCrop";

    CvnCrop(std::wstring key, std::wstring name) : key_(std::move(key)), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        HOST_CALL(IvnCrop, get_Name);
        return CopyOut(name_, name);
    }
    HOST_RESERVED(IvnCrop, 3)
    HOST_RESERVED(IvnCrop, 4)
    HOST_RESERVED(IvnCrop, 5)
    HOST_RESERVED(IvnCrop, 6)
    HOST_RESERVED(IvnCrop, 7)

    void Describe(Json& out) override { out = Json{{"key", Utf8(key_)}, {"name", Utf8(name_)}}; }
    const std::wstring& Key() const { return key_; }

private:
    std::wstring key_;
    std::wstring name_;
};

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
