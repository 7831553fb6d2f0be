// The host's catalog: the field tree, products, operations, crops and prescriptions, as the
// driver's import fills it and its publisher reads it. Each list can be made to come back
// null, as a host may answer.
#pragma once
#include "frame/HostObject.h"
#include "vnPrescriptionList.h"
#include "vnCropList.h"
#include "vnFields.h"
#include "vnOperationDataList.h"
#include "vnProductList.h"

#include <string>
#include <vector>

namespace refhost {

class CvnCatalog : public HostObject<CvnCatalog, IvnCatalog> {
public:
    static constexpr const char* kClassName = "vnCatalog";

    CvnCatalog();

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
    // Settings (all optional), as an import test presets the catalog:
    // {"null": ["fields", "products", "operations", "crops", "prescriptions"],
    //  "fields": [{"key", "name", "kind": number, "parent": key made before,
    //              "area": {"code", "perCode", "value"} | null, "cropKey", "nullName"}],
    //  "products": [{"key"}]}
    // and as a farm plan describes the catalog a publish run reads:
    // {"nodes": [{"key", "name", "kind": "client"|"farm"|"field"|"cropZone"|number, "parent": key,
    //             "area": {"code", "value"}, "cropKey": key, "nullName": bool}],
    //  "crops": [{"key", "name"}],
    //  "operations": [{"node": key, "comment": text, "prescription": id, "nullComment": bool,
    //                  "nullPrescription": bool} | null],
    //  "prescriptions": [see PrescriptionData::FromJson]}
    // A field of "fields" without its parent has none; a node of "nodes" may come before its
    // parent, and a parent or an operation's node that is not in the tree is an error.
    // Throws Json::exception (with the place) on a malformed or inconsistent plan.
    HRESULT Configure(const Json& settings) override;

    CvnFields& Fields() { return *fields_.Get(); }
    CvnProductList& Products() { return *products_.Get(); }
    CvnOperationDataList& Operations() { return *operations_.Get(); }

private:
    bool IsNull(const char* list) const;
    void AddFields(const Json& fields);
    void AddNodes(const Json& nodes);
    void AddCrops(const Json& crops);
    void AddOperations(const Json& operations);

    ComPtr<CvnFields> fields_;
    ComPtr<CvnProductList> products_;
    ComPtr<CvnOperationDataList> operations_;
    ComPtr<CvnCropList> crops_;
    ComPtr<CvnPrescriptionList> prescriptions_;
    std::vector<std::string> nullLists_;
};

}  // namespace refhost
