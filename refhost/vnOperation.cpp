#include "vnOperation.h"

#include "kelMeasure.h"
#include "vnProduct.h"

namespace refhost {
namespace {

std::wstring KeyOf(IUnknown* object) {
    if (auto* product = Own<CvnProduct>(object)) return product->Key();
    if (auto* machine = Own<CvnMachine>(object)) return machine->Key();
    if (auto* container = Own<CvnContainer>(object)) return container->Key();
    return std::wstring();
}

// One of the operation's three lists of attached records; its lookups are logged under the
// list's own interface.
template <typename I>
ComPtr<CvnOperationEntries> EntriesAs(const char* interfaceName) {
    static const CallSite itemCall = RegisterCall(interfaceName, "get_Item", __uuidof(I));
    return CvnOperationEntries::Make(itemCall);
}

}  // namespace

CvnOperation::CvnOperation(std::wstring name, ComPtr<IvnField> node, Json created, bool acceptsPoints)
    : name_(std::move(name)), node_(std::move(node)), created_(std::move(created)), acceptsPoints_(acceptsPoints),
      properties_(CvnProperties::Make()), extent_(CvnExtent::Make()),
      products_(EntriesAs<IvnOperationProducts>("IvnOperationProducts")),
      machines_(EntriesAs<IvnOperationMachines>("IvnOperationMachines")),
      containers_(EntriesAs<IvnOperationContainers>("IvnOperationContainers")) {}

ComPtr<CvnOperationEntry> CvnOperation::NewEntry(const char* kind, const std::wstring& key, Json details) {
    details["kind"] = kind;
    details["key"] = Utf8(key);
    return CvnOperationEntry::Make(std::move(details));
}

void CvnOperation::Preset(const Json& presets) {
    struct {
        const char* list;
        CvnOperationEntries* entries;
    } lists[] = {{"products", products_.Get()}, {"machines", machines_.Get()}, {"containers", containers_.Get()}};
    for (auto& l : lists) {
        if (!presets.contains(l.list)) continue;
        for (const Json& key : presets.at(l.list)) {
            std::wstring text = FromUtf8(key.get<std::string>());
            l.entries->Add(text, NewEntry("preset", text));
        }
    }
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Data(IvnOperationData** data) {
    HOST_CALL(IvnOperation, get_Data);
    if (!data) return E_POINTER;
    *data = static_cast<IvnOperationData*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::AddProduct(IvnProduct* product, IUnknown** entry) {
    HOST_CALL(IvnOperation, AddProduct);
    if (entry) *entry = nullptr;
    if (!product) return E_POINTER;
    ComPtr<CvnOperationEntry> added = NewEntry("product", KeyOf(product));
    products_->Add(KeyOf(product), added);
    return entry ? GiveOutUnknown(added, entry) : S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::AddMachine(IvnMachine* machine, LONG arg2, BSTR text3, LONG arg4,
                                                   IUnknown** entry) {
    HOST_CALL(IvnOperation, AddMachine);
    if (entry) *entry = nullptr;
    if (!machine) return E_POINTER;
    if (CvnMachine* own = Own<CvnMachine>(machine)) attachedMachines_.emplace_back(own);
    ComPtr<CvnOperationEntry> added =
        NewEntry("machine", KeyOf(machine), {{"arg2", arg2}, {"text3", Utf8(TextOf(text3))}, {"arg4", arg4}});
    machines_->Add(KeyOf(machine), added);
    return entry ? GiveOutUnknown(added, entry) : S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::AddContainer(IUnknown* productEntry, IUnknown* container, double amount,
                                                     IUnknown** entry) {
    HOST_CALL(IvnOperation, AddContainer);
    if (entry) *entry = nullptr;
    // A load without a container (or without a product entry) is accepted as it is.
    Json product = productEntry ? DescribeOf(productEntry) : Json();
    ComPtr<CvnOperationEntry> added = NewEntry(
        "load", KeyOf(container), {{"product", product}, {"amount", amount}, {"hasContainer", container != nullptr}});
    containers_->Add(KeyOf(container), added);
    return entry ? GiveOutUnknown(added, entry) : S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::EndPoint(VARIANT_BOOL* result) {
    HOST_CALL(IvnOperation, EndPoint);
    if (!points_.empty()) points_.back().ended = true;
    if (result) *result = points_.empty() ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

std::uint32_t CvnOperation::CurrentLayout() {
    // Most points see the columns of the point before: compare before building anything.
    bool same = !layouts_.empty();
    std::size_t n = 0;
    for (const auto& machine : attachedMachines_)
        for (const auto& component : machine->Components())
            for (const auto& column : component->Columns()) {
                same = same && n < layoutColumns_.size() && layoutColumns_[n] == column;
                ++n;
            }
    if (same && n == layoutColumns_.size()) return static_cast<std::uint32_t>(layouts_.size() - 1);
    auto layout = std::make_shared<ValueLayout>();
    layoutColumns_.clear();
    for (const auto& machine : attachedMachines_)
        for (const auto& component : machine->Components())
            for (const auto& column : component->Columns()) {
                layout->push_back({column->Key(), column->UnitOf()});
                layoutColumns_.push_back(column);
            }
    layouts_.push_back(std::move(layout));
    return static_cast<std::uint32_t>(layouts_.size() - 1);
}

HRESULT STDMETHODCALLTYPE CvnOperation::AddPoint(double x, double y, double time, LONG arg4, LONG arg5, double arg6,
                                                 IkelMeasure* m1, IkelMeasure* m2, IkelMeasure* m3,
                                                 IkelMeasure* altitude, VARIANT_BOOL* accepted) {
    HOST_CALL(IvnOperation, AddPoint);
    if (!accepted) return E_POINTER;
    *accepted = acceptsPoints_ ? VARIANT_TRUE : VARIANT_FALSE;
    if (!acceptsPoints_) {
        ++rejectedPoints_;
        return S_OK;
    }
    const std::uint32_t layout = CurrentLayout();
    const std::size_t first = values_->size();
    for (const ValueColumn& column : *layouts_[layout]) values_->push_back(StoredMeasure{column.unit, 0.0});
    points_.push_back(Point{
        x, y, time, arg6, arg4, arg5, {CopyOf(m1), CopyOf(m2), CopyOf(m3), CopyOf(altitude)}, first, layout, false});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::DeclareMarker(BSTR key, BSTR name, IUnknown** marker) {
    HOST_CALL(IvnOperation, DeclareMarker);
    if (marker) *marker = nullptr;
    markerKinds_.push_back({Utf8(TextOf(key)), Utf8(TextOf(name))});
    return marker ? GiveOutUnknown(NewEntry("marker", TextOf(key), {{"name", Utf8(TextOf(name))}}), marker) : S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::AddMarkerEvent(BSTR key, BSTR name, IUnknown** event) {
    HOST_CALL(IvnOperation, AddMarkerEvent);
    if (event) *event = nullptr;
    if (points_.empty()) return E_UNEXPECTED;
    events_.push_back(Event{points_.size() - 1, TextOf(key), TextOf(name)});
    return event ? GiveOutUnknown(NewEntry("event", TextOf(key), {{"name", Utf8(TextOf(name))}}), event) : S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Properties(IvnProperties** properties) {
    HOST_CALL(IvnOperationData, get_Properties);
    return GiveOut(properties_, properties);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Node(IvnField** node) {
    HOST_CALL(IvnOperationData, get_Node);
    return GiveOut(node_, node);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Extent(IvnExtent** extent) {
    HOST_CALL(IvnOperationData, get_Extent);
    return GiveOut(extent_, extent);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Products(IvnOperationProducts** products) {
    HOST_CALL(IvnOperationData, get_Products);
    return GiveOut(products_, products);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Machines(IvnOperationMachines** machines) {
    HOST_CALL(IvnOperationData, get_Machines);
    return GiveOut(machines_, machines);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_PointValues(IvnPointValues** values) {
    HOST_CALL(IvnOperationData, get_PointValues);
    if (!values) return E_POINTER;
    *values = nullptr;
    if (points_.empty()) return S_OK;
    const Point& latest = points_.back();
    const auto& layout = layouts_[latest.layout];
    if (!latestValues_ || latestValues_->First() != latest.firstValue || latestValues_->Layout() != layout) {
        if (latestValues_ && latestValues_->Layout() == layout && latestValues_->Unshared())
            latestValues_->MoveTo(latest.firstValue);
        else latestValues_ = CvnPointValues::Make(layout, values_, latest.firstValue);
    }
    return GiveOut(latestValues_, values);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Containers(IvnOperationContainers** containers) {
    HOST_CALL(IvnOperationData, get_Containers);
    return GiveOut(containers_, containers);
}

HRESULT STDMETHODCALLTYPE CvnOperation::put_Name(BSTR name) {
    HOST_CALL(IvnOperationData, put_Name);
    dataName_ = TextOf(name);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_Comment(BSTR* comment) {
    HOST_CALL(IvnOperationData, get_Comment);
    if (comment && texts_.nullComment) {
        *comment = nullptr;
        return S_OK;
    }
    return CopyOut(texts_.comment, comment);
}

HRESULT STDMETHODCALLTYPE CvnOperation::get_PrescriptionId(BSTR* id) {
    HOST_CALL(IvnOperationData, get_PrescriptionId);
    if (id && texts_.nullPrescriptionId) {
        *id = nullptr;
        return S_OK;
    }
    return CopyOut(texts_.prescriptionId, id);
}

void CvnOperation::Describe(Json& out) {
    out = created_;
    out["name"] = Utf8(name_);
    out["node"] = node_ ? DescribeOf(node_.Get()).value("key", Json()) : Json();
    out["dataName"] = Utf8(dataName_);
    out["comment"] = Utf8(texts_.comment);
    out["prescriptionId"] = Utf8(texts_.prescriptionId);
    properties_->Describe(out["properties"]);
    extent_->Describe(out["extent"]);
    products_->Describe(out["products"]);
    machines_->Describe(out["machines"]);
    containers_->Describe(out["containers"]);
    out["markerKinds"] = markerKinds_;
    out["points"] = Json::array();
    auto event = events_.cbegin();
    for (const Point& point : points_) out["points"].push_back(Described(point, event));
    out["rejectedPoints"] = rejectedPoints_;
}

CvnOperation::MeasureCopy CvnOperation::CopyOf(IkelMeasure* measure) {
    const CkelMeasure* own = Own<CkelMeasure>(measure);
    return own ? MeasureCopy{true, own->UnitOf(), own->Value()} : MeasureCopy{};
}

// `event` walks the operation's events along with the points.
Json CvnOperation::Described(const Point& point, std::vector<Event>::const_iterator& event) const {
    Json p{{"x", point.x},       {"y", point.y},       {"time", point.time},
           {"arg4", point.arg4}, {"arg5", point.arg5}, {"arg6", point.arg6}};
    p["measures"] = Json::array();
    for (const MeasureCopy& m : point.measures)
        p["measures"].push_back(m.present ? Json{{"code", m.unit.code},
                                                 {"perCode", m.unit.perCode},
                                                 {"unit", SymbolOf(m.unit)},
                                                 {"value", m.value}}
                                          : Json());
    p["values"] = CvnPointValues::Described(*layouts_[point.layout], *values_, point.firstValue);
    p["events"] = Json::array();
    const std::size_t index = static_cast<std::size_t>(&point - points_.data());
    for (; event != events_.cend() && event->point == index; ++event)
        p["events"].push_back({Utf8(event->key), Utf8(event->name)});
    p["ended"] = point.ended;
    return p;
}

HRESULT CvnOperation::Configure(const Json& settings) {
    if (settings.contains("comment")) texts_.comment = FromUtf8(settings.at("comment").get<std::string>());
    if (settings.contains("prescriptionId"))
        texts_.prescriptionId = FromUtf8(settings.at("prescriptionId").get<std::string>());
    texts_.nullComment = settings.value("nullComment", texts_.nullComment);
    texts_.nullPrescriptionId = settings.value("nullPrescriptionId", texts_.nullPrescriptionId);
    return S_OK;
}

}  // namespace refhost
