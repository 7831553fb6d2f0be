// The file collection of the host's file list: the data files a driver offers, in the order
// they were added, by 1-based index.
#pragma once
#include "frame/HostObject.h"

#include <vector>

namespace refhost {

class CvnFiles : public HostObject<CvnFiles, IvnFiles> {
public:
    static constexpr const char* kClassName = "vnFiles";

    // A VT_I4 (or any integer) position; anything out of range answers S_OK with null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IvnFile** file) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    // Keeps the file; the answer is the file itself (as IUnknown) with one more reference.
    HRESULT STDMETHODCALLTYPE Add(IvnFile* file, IUnknown** added) override;
    HOST_RESERVED(IvnFiles, 4)
    HOST_RESERVED(IvnFiles, 6)
    HOST_RESERVED(IvnFiles, 7)
    HOST_RESERVED(IvnFiles, 8)

    void Describe(Json& out) override;

private:
    // IvnFile derives from IUnknown alone, so its pointer is the object's IUnknown.
    static IUnknown* AsUnknown(IvnFile* file) { return reinterpret_cast<IUnknown*>(file); }

    std::vector<ComPtr<IUnknown>> files_;
};

}  // namespace refhost
