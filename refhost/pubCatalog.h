// The catalog a publish run reads: the field tree (clients, farms, fields, crop zones with
// their areas), the crop list, the operations with their node, comment and prescription
// identifier, and the prescriptions. Built from JSON by RefHostCreatePublishCatalog.
#pragma once
#include "HostObject.h"
#include "kelMeasure.h"
#include "pubPrescription.h"

#include <unordered_map>
#include <vector>

namespace refhost {

// What every node of the tree answers as IvnField; crop zones add IvnCropZone.
template <typename Derived, typename Interface>
class PubNodeBase : public HostObject<Derived, Interface> {
public:
    PubNodeBase(std::wstring key, std::wstring name, LONG kind, ComPtr<IvnField> parent, ComPtr<CkelMeasure> area)
        : key_(std::move(key)), name_(std::move(name)), kind_(kind), parent_(std::move(parent)), area_(std::move(area)) {}

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override {
        HOST_CALL(IvnField, get_Key);
        return CopyOut(key_, key);
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        HOST_CALL(IvnField, get_Name);
        if (name && nullName_) {
            *name = nullptr;
            return S_OK;
        }
        return CopyOut(name_, name);
    }
    HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) override {
        HOST_CALL(IvnField, get_Kind);
        if (!kind) return E_POINTER;
        *kind = kind_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Parent(IvnField** parent) override {
        HOST_CALL(IvnField, get_Parent);
        return GiveOut(parent_, parent);
    }
    HRESULT STDMETHODCALLTYPE get_Area(IkelMeasure** area) override {
        HOST_CALL(IvnField, get_Area);
        return GiveOut(area_, area);
    }
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

    void Describe(Json& out) override { out = Json{{"key", Utf8(key_)}, {"name", Utf8(name_)}, {"kind", kind_}}; }
    const std::wstring& Key() const { return key_; }
    void SetNullName(bool nullName) { nullName_ = nullName; }

private:
    std::wstring key_;
    std::wstring name_;
    LONG kind_;
    ComPtr<IvnField> parent_;  // a node holds its parent; parents do not hold children
    ComPtr<CkelMeasure> area_;
    bool nullName_ = false;
};

class PubNode : public PubNodeBase<PubNode, IvnField> {
public:
    static constexpr const char* kClassName = "pubNode";
    using PubNodeBase::PubNodeBase;
};

class PubCropZone : public PubNodeBase<PubCropZone, IvnCropZone> {
public:
    static constexpr const char* kClassName = "pubCropZone";
    PubCropZone(std::wstring key, std::wstring name, ComPtr<IvnField> parent, ComPtr<CkelMeasure> area, std::wstring cropKey)
        : PubNodeBase(std::move(key), std::move(name), 0x20, std::move(parent), std::move(area)), cropKey_(std::move(cropKey)) {}

    HRESULT STDMETHODCALLTYPE get_CropKey(BSTR* key) override {
        HOST_CALL(IvnCropZone, get_CropKey);
        return CopyOut(cropKey_, key);
    }
    HOST_RESERVED(IvnCropZone, 26)

    void* QueryExtra(REFIID riid) { return riid == __uuidof(IvnField) ? static_cast<IvnField*>(this) : nullptr; }

private:
    std::wstring cropKey_;
};

// The nodes in order of creation, by 1-based index or by key (the first node of a key).
class PubNodes : public HostObject<PubNodes, IvnFields> {
public:
    static constexpr const char* kClassName = "pubNodes";
    void Describe(Json& out) override { out = Json::object(); }

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnField** node) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HOST_RESERVED(IvnFields, 4)

    void Add(const std::wstring& key, ComPtr<IvnField> node);
    ComPtr<IvnField> Find(const std::wstring& key) const;

private:
    std::vector<ComPtr<IvnField>> nodes_;
    std::unordered_map<std::wstring, size_t> firstOfKey_;
};

class PubCrop : public HostObject<PubCrop, IvnCrop> {
public:
    static constexpr const char* kClassName = "pubCrop";
    void Describe(Json& out) override { out = Json::object(); }
    explicit PubCrop(std::wstring name) : name_(std::move(name)) {}
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        HOST_CALL(IvnCrop, get_Name);
        return CopyOut(name_, name);
    }
    HOST_RESERVED(IvnCrop, 3)
    HOST_RESERVED(IvnCrop, 4)
    HOST_RESERVED(IvnCrop, 5)
    HOST_RESERVED(IvnCrop, 6)
    HOST_RESERVED(IvnCrop, 7)

private:
    std::wstring name_;
};

class PubCropList : public HostObject<PubCropList, IvnCropList> {
public:
    static constexpr const char* kClassName = "pubCropList";
    void Describe(Json& out) override { out = Json::object(); }

    // VT_BSTR: the first crop of that key; an integer: that position. Missing: S_OK, null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, IvnCrop** crop) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HOST_RESERVED(IvnCropList, 4)

    void Add(const std::wstring& key, ComPtr<PubCrop> crop);

private:
    std::vector<ComPtr<PubCrop>> crops_;
    std::unordered_map<std::wstring, size_t> firstOfKey_;
};

// The details of one operation as a publish run sees them.
class PubOperation : public HostObject<PubOperation, IvnOperationData> {
public:
    static constexpr const char* kClassName = "pubOperation";
    void Describe(Json& out) override { out = Json::object(); }
    PubOperation(ComPtr<IvnField> node, std::wstring comment, std::wstring prescriptionId, bool nullComment, bool nullPrescriptionId)
        : node_(std::move(node)), comment_(std::move(comment)), prescriptionId_(std::move(prescriptionId)),
          nullComment_(nullComment), nullPrescriptionId_(nullPrescriptionId) {}

    HRESULT STDMETHODCALLTYPE get_Node(IvnField** node) override {
        HOST_CALL(IvnOperationData, get_Node);
        return GiveOut(node_, node);
    }
    HRESULT STDMETHODCALLTYPE get_Comment(BSTR* comment) override;
    HRESULT STDMETHODCALLTYPE get_PrescriptionId(BSTR* id) override;
    // Import-side slots that a publish run never calls.
    HRESULT STDMETHODCALLTYPE get_Properties(IvnProperties**) override { return Unused("get_Properties"); }
    HRESULT STDMETHODCALLTYPE get_Extent(IvnExtent**) override { return Unused("get_Extent"); }
    HRESULT STDMETHODCALLTYPE get_Products(IvnOperationProducts**) override { return Unused("get_Products"); }
    HRESULT STDMETHODCALLTYPE get_Machines(IvnOperationMachines**) override { return Unused("get_Machines"); }
    HRESULT STDMETHODCALLTYPE get_PointValues(IvnPointValues**) override { return Unused("get_PointValues"); }
    HRESULT STDMETHODCALLTYPE get_Containers(IvnOperationContainers**) override { return Unused("get_Containers"); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR) override { return Unused("put_Name"); }
    HOST_RESERVED(IvnOperationData, 3)
    HOST_RESERVED(IvnOperationData, 4)
    HOST_RESERVED(IvnOperationData, 5)
    HOST_RESERVED(IvnOperationData, 6)
    HOST_RESERVED(IvnOperationData, 7)
    HOST_RESERVED(IvnOperationData, 8)
    HOST_RESERVED(IvnOperationData, 9)
    HOST_RESERVED(IvnOperationData, 10)
    HOST_RESERVED(IvnOperationData, 12)
    HOST_RESERVED(IvnOperationData, 15)
    HOST_RESERVED(IvnOperationData, 16)
    HOST_RESERVED(IvnOperationData, 17)
    HOST_RESERVED(IvnOperationData, 18)
    HOST_RESERVED(IvnOperationData, 21)
    HOST_RESERVED(IvnOperationData, 24)
    HOST_RESERVED(IvnOperationData, 25)
    HOST_RESERVED(IvnOperationData, 26)
    HOST_RESERVED(IvnOperationData, 27)
    HOST_RESERVED(IvnOperationData, 28)
    HOST_RESERVED(IvnOperationData, 29)
    HOST_RESERVED(IvnOperationData, 30)
    HOST_RESERVED(IvnOperationData, 31)
    HOST_RESERVED(IvnOperationData, 32)
    HOST_RESERVED(IvnOperationData, 33)
    HOST_RESERVED(IvnOperationData, 34)
    HOST_RESERVED(IvnOperationData, 35)
    HOST_RESERVED(IvnOperationData, 36)
    HOST_RESERVED(IvnOperationData, 37)
    HOST_RESERVED(IvnOperationData, 38)
    HOST_RESERVED(IvnOperationData, 39)
    HOST_RESERVED(IvnOperationData, 40)
    HOST_RESERVED(IvnOperationData, 42)
    HOST_RESERVED(IvnOperationData, 43)
    HOST_RESERVED(IvnOperationData, 45)
    HOST_RESERVED(IvnOperationData, 46)
    HOST_RESERVED(IvnOperationData, 47)
    HOST_RESERVED(IvnOperationData, 48)

private:
    HRESULT Unused(const char* method) {
        HRESULT injected = EnterCall((std::string("IvnOperationData.") + method).c_str(), __uuidof(IvnOperationData));
        return FAILED(injected) ? injected : E_NOTIMPL;
    }

    ComPtr<IvnField> node_;
    std::wstring comment_;
    std::wstring prescriptionId_;
    bool nullComment_;
    bool nullPrescriptionId_;
};

class PubOperations : public HostObject<PubOperations, IvnOperationDataList> {
public:
    static constexpr const char* kClassName = "pubOperations";
    void Describe(Json& out) override { out = Json::object(); }

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IvnOperationData** data) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HOST_RESERVED(IvnOperationDataList, 4)

    // A null entry is an operation the host has lost: the list answers null for it.
    void Add(ComPtr<PubOperation> operation) { operations_.push_back(std::move(operation)); }

private:
    std::vector<ComPtr<PubOperation>> operations_;
};

// Settings (all optional):
// {"nodes": [{"key", "name", "kind": "client"|"farm"|"field"|"cropZone"|number, "parent": key,
//             "area": {"code", "value"}, "cropKey": key, "nullName": bool}],
//  "crops": [{"key", "name"}],
//  "operations": [{"node": key, "comment": text, "prescription": id, "nullComment": bool,
//                  "nullPrescription": bool} | null],
//  "prescriptions": [see PubPrescription::FromJson],
//  "null": ["fields", "crops", "operations", "prescriptions"]}
class PubCatalog : public HostObject<PubCatalog, IvnCatalog> {
public:
    static constexpr const char* kClassName = "pubCatalog";

    PubCatalog();

    HRESULT STDMETHODCALLTYPE get_OperationDataList(IvnOperationDataList** list) override;
    HRESULT STDMETHODCALLTYPE get_ProductList(IvnProductList** list) override;
    HRESULT STDMETHODCALLTYPE get_Fields(IvnFields** fields) override;
    HRESULT STDMETHODCALLTYPE get_CropList(IvnCropList** list) override;
    HRESULT STDMETHODCALLTYPE get_PrescriptionList(IvnPrescriptionList** list) override;
    HOST_RESERVED(IvnCatalog, 3)
    HOST_RESERVED(IvnCatalog, 4)
    HOST_RESERVED(IvnCatalog, 6)
    HOST_RESERVED(IvnCatalog, 8)
    HOST_RESERVED(IvnCatalog, 9)
    HOST_RESERVED(IvnCatalog, 10)
    HOST_RESERVED(IvnCatalog, 11)
    HOST_RESERVED(IvnCatalog, 13)
    HOST_RESERVED(IvnCatalog, 14)
    HOST_RESERVED(IvnCatalog, 15)
    HOST_RESERVED(IvnCatalog, 16)
    HOST_RESERVED(IvnCatalog, 17)
    HOST_RESERVED(IvnCatalog, 18)
    HOST_RESERVED(IvnCatalog, 19)
    HOST_RESERVED(IvnCatalog, 20)
    HOST_RESERVED(IvnCatalog, 21)
    HOST_RESERVED(IvnCatalog, 22)
    HOST_RESERVED(IvnCatalog, 23)
    HOST_RESERVED(IvnCatalog, 24)
    HOST_RESERVED(IvnCatalog, 25)
    HOST_RESERVED(IvnCatalog, 26)
    HOST_RESERVED(IvnCatalog, 27)
    HOST_RESERVED(IvnCatalog, 28)
    HOST_RESERVED(IvnCatalog, 29)
    HOST_RESERVED(IvnCatalog, 30)
    HOST_RESERVED(IvnCatalog, 31)
    HOST_RESERVED(IvnCatalog, 32)
    HOST_RESERVED(IvnCatalog, 33)
    HOST_RESERVED(IvnCatalog, 34)
    HOST_RESERVED(IvnCatalog, 35)

    void Describe(Json& out) override;
    // Throws Json::exception (with the place) on a malformed or inconsistent plan.
    HRESULT Configure(const Json& settings) override;

private:
    void AddNodes(const Json& nodes);
    void AddCrops(const Json& crops);
    void AddOperations(const Json& operations);
    bool IsNull(const char* list) const;

    ComPtr<PubNodes> nodes_;
    ComPtr<PubCropList> crops_;
    ComPtr<PubOperations> operations_;
    ComPtr<PubPrescriptionList> prescriptions_;
    std::vector<std::string> nullLists_;
    Json described_ = Json::object();
};

}  // namespace refhost
