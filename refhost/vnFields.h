// The nodes of the host's field tree, in order of creation; by key or 1-based index.
#pragma once
#include "HostObject.h"
#include "vnField.h"

#include <vector>

namespace refhost {

class CvnFields : public HostObject<CvnFields, IvnFields> {
public:
    static constexpr const char* kClassName = "vnFields";

    // VT_BSTR: the first node with that key; an integer: that position. Missing: S_OK, null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnField** node) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HOST_RESERVED(IvnFields, 4)

    void Describe(Json& out) override;

    void Add(ComPtr<CvnField> node) { nodes_.push_back(std::move(node)); }
    ComPtr<CvnField> Find(const std::wstring& key) const;

private:
    std::vector<ComPtr<CvnField>> nodes_;
};

}  // namespace refhost
