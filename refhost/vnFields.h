// The nodes of the host's field tree, in order of creation; by key (the first node of that
// key) or 1-based index.
#pragma once
#include "frame/HostObject.h"
#include "frame/KeyedItems.h"
#include "vnField.h"

namespace refhost {

class CvnFields : public HostObject<CvnFields, IvnFields> {
public:
    static constexpr const char* kClassName = "vnFields";

    // VT_BSTR: the first node with that key; an integer: that position. Missing: S_OK, null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnField** node) override {
        HOST_CALL(IvnFields, get_Item);
        return nodes_.GiveOutItem(keyOrIndex, node);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        HOST_CALL(IvnFields, get_Count);
        return nodes_.GiveOutCount(count);
    }
    HOST_RESERVED(IvnFields, 4)

    void Describe(Json& out) override { out = nodes_.Described(); }

    void Add(const ComPtr<CvnField>& node) { nodes_.Add(node->Key(), node); }
    ComPtr<CvnField> Find(const std::wstring& key) const { return nodes_.Find(key); }

private:
    KeyedItems<CvnField> nodes_;
};

}  // namespace refhost
