// The model behind the host's file list; it owns the file collection.
#pragma once
#include "frame/HostObject.h"
#include "vnFiles.h"

namespace refhost {

class CvnFileListModel : public HostObject<CvnFileListModel, IvnFileListModel> {
public:
    static constexpr const char* kClassName = "vnFileListModel";

    CvnFileListModel() : files_(CvnFiles::Make()) {}

    HRESULT STDMETHODCALLTYPE get_Files(IvnFiles** files) override {
        HOST_CALL(IvnFileListModel, get_Files);
        return GiveOut(files_, files);
    }
    HOST_RESERVED(IvnFileListModel, 3)
    HOST_RESERVED(IvnFileListModel, 4)
    HOST_RESERVED(IvnFileListModel, 5)
    HOST_RESERVED(IvnFileListModel, 6)
    HOST_RESERVED(IvnFileListModel, 7)
    HOST_RESERVED(IvnFileListModel, 8)
    HOST_RESERVED(IvnFileListModel, 9)
    HOST_RESERVED(IvnFileListModel, 10)

    void Describe(Json& out) override { files_->Describe(out); }

private:
    ComPtr<CvnFiles> files_;
};

}  // namespace refhost
