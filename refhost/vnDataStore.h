// The host's data store, which is also the usual import target: it owns the catalog and the
// session, makes the records a driver asks for (products, field-tree nodes, machines,
// components, containers, data columns, operations) and keeps everything it received.
#pragma once
#include "frame/HostObject.h"
#include "vnCatalog.h"
#include "vnHostSession.h"
#include "vnMachine.h"

#include <vector>

namespace refhost {

class CvnDataStore : public HostObject<CvnDataStore, IvnDataStore, IvnImportTarget> {
public:
    static constexpr const char* kClassName = "vnDataStore";

    CvnDataStore() : catalog_(CvnCatalog::Make()), session_(CvnHostSession::Make()) {}

    // IvnImportTarget
    HRESULT STDMETHODCALLTYPE get_Session(IvnHostSession** session) override;
    // IvnDataStore
    HRESULT STDMETHODCALLTYPE get_Catalog(IvnCatalog** catalog) override;
    HRESULT STDMETHODCALLTYPE CreateProduct(BSTR key, BSTR name, BSTR text3, IkelQuantity* quantity, LONG arg5,
                                            LONG arg6, IkelMeasure* measure, IvnProduct** product) override;
    // The parent is the node with that key, when there is one.
    HRESULT STDMETHODCALLTYPE CreateField(BSTR key, BSTR name, LONG kind, BSTR parentKey, BSTR text5,
                                          IvnField** field) override;
    HRESULT STDMETHODCALLTYPE CreateMachine(BSTR key, BSTR name, BSTR text3, LONG arg4, IvnMachine** machine) override;
    HRESULT STDMETHODCALLTYPE CreateComponent(IvnComponentParent* parent, BSTR key, BSTR text2, BSTR text3,
                                              VARIANT value, double d1, double d2, double d3, double d4, LONG arg9,
                                              LONG arg10, IUnknown** component) override;
    HRESULT STDMETHODCALLTYPE CreateContainer(IvnContainerParent* parent, BSTR key, BSTR name, BSTR text3,
                                              IkelMeasure* measure, IvnContainer** container) override;
    HRESULT STDMETHODCALLTYPE CreateDataColumn(IUnknown* component, BSTR key, BSTR name, BSTR text3, BSTR text4,
                                               IUnknown* unit, LONG arg6, LONG arg7, LONG arg8, LONG arg9,
                                               IvnDataColumn** column) override;
    HRESULT STDMETHODCALLTYPE Slot20(LONG value) override;
    HRESULT STDMETHODCALLTYPE CreateOperation(BSTR name, LONG arg2, IvnField* field, BSTR kind,
                                              IvnOperation** operation) override;
    HOST_RESERVED(IvnDataStore, 4)
    HOST_RESERVED(IvnDataStore, 5)
    HOST_RESERVED(IvnDataStore, 7)
    HOST_RESERVED(IvnDataStore, 8)
    HOST_RESERVED(IvnDataStore, 9)
    HOST_RESERVED(IvnDataStore, 11)
    HOST_RESERVED(IvnDataStore, 13)
    HOST_RESERVED(IvnDataStore, 17)
    HOST_RESERVED(IvnDataStore, 18)
    HOST_RESERVED(IvnDataStore, 19)
    HOST_RESERVED(IvnDataStore, 21)
    HOST_RESERVED(IvnDataStore, 22)

    void Describe(Json& out) override;
    // {"acceptPoints": bool, "machinesAreParents": bool, "catalog": {...see CvnCatalog},
    //  "operationPresets": {"products": [keys], "machines": [keys], "containers": [keys]}}
    HRESULT Configure(const Json& settings) override;

private:
    ComPtr<CvnCatalog> catalog_;
    ComPtr<CvnHostSession> session_;
    std::vector<ComPtr<CvnMachine>> machines_;
    // Records made without a parent the store knows: kept, but attached to nothing.
    std::vector<ComPtr<CvnComponent>> looseComponents_;
    std::vector<ComPtr<CvnContainer>> looseContainers_;
    std::vector<ComPtr<CvnDataColumn>> looseColumns_;
    Json slot20_ = Json::array();
    bool acceptPoints_ = true;
    bool machinesAreParents_ = true;
    Json operationPresets_ = Json::object();
};

}  // namespace refhost
