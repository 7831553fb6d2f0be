// "VANDOR.vnProperties": a list of properties (a file's displayed properties, the options of
// a publisher, the properties of an operation), found by key or by 1-based index.
#pragma once
#include "frame/HostObject.h"
#include "vnProperty.h"

#include <vector>

namespace refhost {

class CvnProperties : public HostObject<CvnProperties, IvnProperties> {
public:
    static constexpr const char* kClassName = "vnProperties";

    // Key VT_BSTR: the first entry with that key; an integer: the entry at that 1-based
    // position. Either way a missing entry answers S_OK with null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnProperty** property) override;
    HOST_RESERVED(IvnProperties, 4)
    HOST_RESERVED(IvnProperties, 5)
    HRESULT STDMETHODCALLTYPE Add(BSTR key, BSTR caption, BSTR value, IvnProperty** property) override;

    void Describe(Json& out) override;

private:
    ComPtr<CvnProperty> Find(const Key& key) const;

    std::vector<ComPtr<CvnProperty>> entries_;
};

}  // namespace refhost
