// One node of the host's field tree: client, farm, field or crop zone (the kinds of
// host/HostCodes.h). Every node answers IvnField; only a crop zone answers IvnCropZone, with
// the key of its crop. The area is one measure object that stays with the node, so setting its unit and
// then its value changes the node's area; a node may also have no area at all.
#pragma once
#include "frame/HostObject.h"
#include "host/HostCodes.h"
#include "kelMeasure.h"

namespace refhost {

class CvnField : public HostObject<CvnField, IvnCropZone> {
public:
    static constexpr const char* kClassName = "vnField";

    CvnField(std::wstring key, std::wstring name, LONG kind, ComPtr<CvnField> parent, ComPtr<CkelMeasure> area);
    // A node as the host creates it: its area a measure with no unit yet.
    static ComPtr<CvnField> MakeNew(std::wstring key, std::wstring name, LONG kind, ComPtr<CvnField> parent);

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) override;
    HRESULT STDMETHODCALLTYPE get_Parent(IvnField** parent) override;
    HRESULT STDMETHODCALLTYPE get_Area(IkelMeasure** area) override;
    HRESULT STDMETHODCALLTYPE get_CropKey(BSTR* key) override;
    HOST_RESERVED(IvnField, 4)
    HOST_RESERVED(IvnField, 5)
    HOST_RESERVED(IvnField, 6)
    HOST_RESERVED(IvnField, 7)
    HOST_RESERVED(IvnField, 9)
    HOST_RESERVED(IvnField, 10)
    HOST_RESERVED(IvnField, 11)
    HOST_RESERVED(IvnField, 12)
    HOST_RESERVED(IvnField, 13)
    HOST_RESERVED(IvnField, 14)
    HOST_RESERVED(IvnField, 16)
    HOST_RESERVED(IvnField, 18)
    HOST_RESERVED(IvnField, 19)
    HOST_RESERVED(IvnField, 20)
    HOST_RESERVED(IvnField, 21)
    HOST_RESERVED(IvnField, 22)
    HOST_RESERVED(IvnField, 23)
    HOST_RESERVED(IvnField, 24)
    HOST_RESERVED(IvnCropZone, 26)

    void* QueryExtra(REFIID riid);
    bool Declines(REFIID riid) const { return riid == __uuidof(IvnCropZone) && kind_ != hostcodes::kCropZoneNode; }

    void Describe(Json& out) override;
    // {"area": null | {"code": c, "perCode": p, "value": v}, "cropKey": text, "name": text,
    //  "nullName": bool (the name comes back null)}
    HRESULT Configure(const Json& settings) override;

    const std::wstring& Key() const { return key_; }
    void SetCropKey(std::wstring key) { cropKey_ = std::move(key); }
    void SetNullName(bool nullName) { nullName_ = nullName; }
    void SetCreationTexts(std::wstring parentKey, std::wstring text5);

private:
    std::wstring key_;
    std::wstring name_;
    LONG kind_;
    ComPtr<CvnField> parent_;  // a node holds its parent; parents do not hold children
    ComPtr<CkelMeasure> area_;
    std::wstring cropKey_;
    bool nullName_ = false;
    Json created_ = Json::object();
};

}  // namespace refhost
