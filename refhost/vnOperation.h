// One operation record and its details (IvnOperation and IvnOperationData are the same
// object): its logged points with their values and marker events, the marker kinds, the
// machine, product and container attached to it, its properties, extent and texts.
#pragma once
#include "frame/HostObject.h"
#include "vnExtent.h"
#include "vnMachine.h"
#include "vnOperationEntries.h"
#include "vnPointValues.h"
#include "vnProperties.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace refhost {

class CvnOperation : public HostObject<CvnOperation, IvnOperation, IvnOperationData> {
public:
    static constexpr const char* kClassName = "vnOperation";

    CvnOperation(std::wstring name, ComPtr<IvnField> node, Json created, bool acceptsPoints);

    // IvnOperation
    HRESULT STDMETHODCALLTYPE get_Data(IvnOperationData** data) override;
    HRESULT STDMETHODCALLTYPE AddProduct(IvnProduct* product, IUnknown** entry) override;
    HRESULT STDMETHODCALLTYPE AddMachine(IvnMachine* machine, LONG arg2, BSTR text3, LONG arg4,
                                         IUnknown** entry) override;
    HRESULT STDMETHODCALLTYPE AddContainer(IUnknown* productEntry, IUnknown* container, double amount,
                                           IUnknown** entry) override;
    HRESULT STDMETHODCALLTYPE EndPoint(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE AddPoint(double x, double y, double time, LONG arg4, LONG arg5, double arg6,
                                       IkelMeasure* m1, IkelMeasure* m2, IkelMeasure* m3, IkelMeasure* altitude,
                                       VARIANT_BOOL* accepted) override;
    HRESULT STDMETHODCALLTYPE DeclareMarker(BSTR key, BSTR name, IUnknown** marker) override;
    // Fails with E_UNEXPECTED before the first point.
    HRESULT STDMETHODCALLTYPE AddMarkerEvent(BSTR key, BSTR name, IUnknown** event) override;
    // IvnOperationData
    HRESULT STDMETHODCALLTYPE get_Properties(IvnProperties** properties) override;
    HRESULT STDMETHODCALLTYPE get_Node(IvnField** node) override;
    HRESULT STDMETHODCALLTYPE get_Extent(IvnExtent** extent) override;
    HRESULT STDMETHODCALLTYPE get_Products(IvnOperationProducts** products) override;
    HRESULT STDMETHODCALLTYPE get_Machines(IvnOperationMachines** machines) override;
    // The value slots of the latest point; null before the first.
    HRESULT STDMETHODCALLTYPE get_PointValues(IvnPointValues** values) override;
    HRESULT STDMETHODCALLTYPE get_Containers(IvnOperationContainers** containers) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Comment(BSTR* comment) override;
    HRESULT STDMETHODCALLTYPE get_PrescriptionId(BSTR* id) override;
    // Slots unused by both interfaces; where both have one at the same number they share it.
    HOST_RESERVED(IvnOperationData, 3)
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
    HOST_RESERVED(IvnOperation, 4)
    HOST_RESERVED(IvnOperation, 11)
    HOST_RESERVED(IvnOperation, 13)

    void Describe(Json& out) override;
    // {"comment": text, "prescriptionId": text, "nullComment": bool, "nullPrescriptionId": bool}
    HRESULT Configure(const Json& settings) override;

    // The texts the host keeps with an operation; either may come back null.
    struct Texts {
        std::wstring comment;
        std::wstring prescriptionId;
        bool nullComment = false;
        bool nullPrescriptionId = false;
    };
    void SetTexts(Texts texts) { texts_ = std::move(texts); }

    // Entries the operation holds from the start (set by the store for tests).
    void Preset(const Json& presets);

private:
    // What a measure held when it was passed with a point.
    struct MeasureCopy {
        bool present = false;
        Unit unit;
        double value = 0;
    };
    // Plain values while importing; turned into JSON only when described. A point's values
    // are the layout's columns in the value store from `firstValue` on.
    struct Point {
        double x, y, time, arg6;
        LONG arg4, arg5;
        MeasureCopy measures[4];
        std::size_t firstValue;
        std::uint32_t layout;
        bool ended;
    };
    struct Event {
        std::size_t point;
        std::wstring key, name;
    };
    static MeasureCopy CopyOf(IkelMeasure* measure);
    Json Described(const Point& point, std::vector<Event>::const_iterator& event) const;
    ComPtr<CvnOperationEntry> NewEntry(const char* kind, const std::wstring& key, Json details = Json::object());
    // The layout of the data columns of the attached machines, as it is now.
    std::uint32_t CurrentLayout();

    std::wstring name_;
    ComPtr<IvnField> node_;
    Json created_;
    bool acceptsPoints_;
    std::wstring dataName_;
    Texts texts_;
    ComPtr<CvnProperties> properties_;
    ComPtr<CvnExtent> extent_;
    ComPtr<CvnOperationEntries> products_;
    ComPtr<CvnOperationEntries> machines_;
    ComPtr<CvnOperationEntries> containers_;
    std::vector<ComPtr<CvnMachine>> attachedMachines_;
    Json markerKinds_ = Json::array();
    std::vector<Point> points_;
    std::vector<Event> events_;  // in point order
    std::vector<std::shared_ptr<const ValueLayout>> layouts_;
    std::vector<ComPtr<CvnDataColumn>> layoutColumns_;  // the columns of the latest layout
    std::shared_ptr<ValueStore> values_ = std::make_shared<ValueStore>();
    ComPtr<CvnPointValues> latestValues_;  // the slots handed out for the latest point
    int rejectedPoints_ = 0;
};

}  // namespace refhost
