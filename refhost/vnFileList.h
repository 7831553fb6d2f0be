// The host's file list shown before an import: the columns a driver declares, the two
// settings it passes, and the model holding the listed files.
#pragma once
#include "frame/HostObject.h"
#include "vnFileListModel.h"

#include <vector>

namespace refhost {

class CvnFileList : public HostObject<CvnFileList, IvnFileList> {
public:
    static constexpr const char* kClassName = "vnFileList";

    CvnFileList() : model_(CvnFileListModel::Make()) {}

    HRESULT STDMETHODCALLTYPE get_Model(IvnFileListModel** model) override;
    // The answer is the column, as a property (key, caption, empty value).
    HRESULT STDMETHODCALLTYPE AddColumn(BSTR key, BSTR caption, LONG width, LONG arg4, LONG arg5,
                                        IUnknown** column) override;
    HRESULT STDMETHODCALLTYPE Slot7(LONG value) override;
    HRESULT STDMETHODCALLTYPE Slot9(LONG value) override;
    HOST_RESERVED(IvnFileList, 4)
    HOST_RESERVED(IvnFileList, 6)
    HOST_RESERVED(IvnFileList, 8)

    void Describe(Json& out) override;

private:
    ComPtr<CvnFileListModel> model_;
    Json columns_ = Json::array();
    Json slot7_ = Json::array();
    Json slot9_ = Json::array();
};

}  // namespace refhost
