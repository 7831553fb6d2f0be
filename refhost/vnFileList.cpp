#include "vnFileList.h"

#include "vnProperty.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnFileList::get_Model(IvnFileListModel** model) {
    HOST_CALL(IvnFileList, get_Model);
    return GiveOut(model_, model);
}

HRESULT STDMETHODCALLTYPE CvnFileList::AddColumn(BSTR key, BSTR caption, LONG width, LONG arg4, LONG arg5,
                                                 IUnknown** column) {
    HOST_CALL(IvnFileList, AddColumn);
    if (column) *column = nullptr;
    columns_.push_back({{"key", Utf8(TextOf(key))},
                        {"caption", Utf8(TextOf(caption))},
                        {"width", width},
                        {"arg4", arg4},
                        {"arg5", arg5}});
    if (column) *column = static_cast<IvnProperty*>(CvnProperty::Make(TextOf(key), TextOf(caption), L"").Detach());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnFileList::Slot7(LONG value) {
    HOST_CALL(IvnFileList, Slot7);
    slot7_.push_back(value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnFileList::Slot9(LONG value) {
    HOST_CALL(IvnFileList, Slot9);
    slot9_.push_back(value);
    return S_OK;
}

void CvnFileList::Describe(Json& out) {
    out = Json{{"columns", columns_}, {"slot7", slot7_}, {"slot9", slot9_}};
    model_->Describe(out["files"]);
}

}  // namespace refhost
