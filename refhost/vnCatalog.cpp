#include "vnCatalog.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "host/HostCodes.h"

namespace refhost {
namespace {

LONG KindFromJson(const Json& kind) {
    if (kind.is_number_integer()) return kind.get<LONG>();
    const std::string name = kind.get<std::string>();
    if (name == "client") return hostcodes::kClientNode;
    if (name == "farm") return hostcodes::kFarmNode;
    if (name == "field") return hostcodes::kFieldNode;
    if (name == "cropZone") return hostcodes::kCropZoneNode;
    throw Json::type_error::create(302, "unknown node kind \"" + name + "\"", &kind);
}

// A plan node's area: in hectares unless it names a unit; none without one.
ComPtr<CkelMeasure> PlanAreaOf(const Json& node) {
    if (!node.contains("area") || node.at("area").is_null()) return nullptr;
    const Json& area = node.at("area");
    return CkelMeasure::Make(Unit{area.value("code", 66L), 0}, area.at("value").get<double>());
}

}  // namespace

CvnCatalog::CvnCatalog()
    : fields_(CvnFields::Make()), products_(CvnProductList::Make()), operations_(CvnOperationDataList::Make()),
      crops_(CvnCropList::Make()), prescriptions_(CvnPrescriptionList::Make()) {}

bool CvnCatalog::IsNull(const char* list) const {
    return std::find(nullLists_.begin(), nullLists_.end(), list) != nullLists_.end();
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_OperationDataList(IvnOperationDataList** list) {
    HOST_CALL(IvnCatalog, get_OperationDataList);
    return GiveOut(IsNull("operations") ? nullptr : operations_, list);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_ProductList(IvnProductList** list) {
    HOST_CALL(IvnCatalog, get_ProductList);
    return GiveOut(IsNull("products") ? nullptr : products_, list);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_Fields(IvnFields** fields) {
    HOST_CALL(IvnCatalog, get_Fields);
    return GiveOut(IsNull("fields") ? nullptr : fields_, fields);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_CropList(IvnCropList** list) {
    HOST_CALL(IvnCatalog, get_CropList);
    return GiveOut(IsNull("crops") ? nullptr : crops_, list);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_PrescriptionList(IvnPrescriptionList** list) {
    HOST_CALL(IvnCatalog, get_PrescriptionList);
    return GiveOut(IsNull("prescriptions") ? nullptr : prescriptions_, list);
}

void CvnCatalog::Describe(Json& out) {
    out = Json::object();
    fields_->Describe(out["fields"]);
    products_->Describe(out["products"]);
    operations_->Describe(out["operations"]);
    crops_->Describe(out["crops"]);
    prescriptions_->Describe(out["prescriptions"]);
}

void CvnCatalog::AddFields(const Json& fields) {
    for (const Json& f : fields) {
        std::wstring key = FromUtf8(f.at("key").get<std::string>());
        std::wstring name = FromUtf8(f.value("name", f.at("key").get<std::string>()));
        ComPtr<CvnField> parent =
            f.contains("parent") ? fields_->Find(FromUtf8(f.at("parent").get<std::string>())) : nullptr;
        ComPtr<CvnField> node =
            CvnField::MakeNew(key, name, KindFromJson(f.value("kind", Json(hostcodes::kFieldNode))), parent);
        node->Configure(f);
        fields_->Add(node);
    }
}

// A node may come before its parent in the collection (a crop zone listed before its
// field); parents are made first, the collection keeps the plan's order.
void CvnCatalog::AddNodes(const Json& nodes) {
    std::unordered_map<std::string, const Json*> byKey;
    for (const Json& n : nodes) byKey.emplace(n.at("key").get<std::string>(), &n);
    std::unordered_map<std::string, ComPtr<CvnField>> made;
    std::vector<std::string> making;
    std::function<ComPtr<CvnField>(const Json&)> make = [&](const Json& n) -> ComPtr<CvnField> {
        const std::string key = n.at("key").get<std::string>();
        auto done = made.find(key);
        if (done != made.end()) return done->second;
        if (std::find(making.begin(), making.end(), key) != making.end())
            throw Json::out_of_range::create(403, "node \"" + key + "\" is its own ancestor", &n);
        making.push_back(key);
        ComPtr<CvnField> parent;
        if (n.contains("parent") && !n.at("parent").is_null()) {
            const std::string parentKey = n.at("parent").get<std::string>();
            auto entry = byKey.find(parentKey);
            if (entry == byKey.end())
                throw Json::out_of_range::create(403, "parent \"" + parentKey + "\" is not a node", &n);
            parent = make(*entry->second);
        }
        making.pop_back();
        ComPtr<CvnField> node = CvnField::Make(FromUtf8(key), FromUtf8(n.value("name", key)),
                                               KindFromJson(n.at("kind")), parent, PlanAreaOf(n));
        node->SetCropKey(FromUtf8(n.value("cropKey", std::string())));
        node->SetNullName(n.value("nullName", false));
        made.emplace(key, node);
        return node;
    };
    for (const Json& n : nodes) fields_->Add(make(n));
}

void CvnCatalog::AddCrops(const Json& crops) {
    for (const Json& c : crops) {
        std::string key = c.at("key").get<std::string>();
        crops_->Add(CvnCrop::Make(FromUtf8(key), FromUtf8(c.value("name", key))));
    }
}

void CvnCatalog::AddOperations(const Json& operations) {
    for (const Json& o : operations) {
        if (o.is_null()) {
            operations_->AddUnkeyed(nullptr);
            continue;
        }
        ComPtr<CvnField> node;
        if (o.contains("node") && !o.at("node").is_null()) {
            node = fields_->Find(FromUtf8(o.at("node").get<std::string>()));
            if (!node)
                throw Json::out_of_range::create(
                    403, "node \"" + o.at("node").get<std::string>() + "\" is not in the tree", &o);
        }
        ComPtr<CvnOperation> operation =
            CvnOperation::Make(std::wstring(), ComPtr<IvnField>(node.Get()), Json::object(), true);
        operation->SetTexts({FromUtf8(o.value("comment", std::string())),
                             FromUtf8(o.value("prescription", std::string())), o.value("nullComment", false),
                             o.value("nullPrescription", false)});
        operations_->AddUnkeyed(std::move(operation));
    }
}

HRESULT CvnCatalog::Configure(const Json& settings) {
    if (settings.contains("null")) nullLists_ = settings.at("null").get<std::vector<std::string>>();
    if (settings.contains("fields")) AddFields(settings.at("fields"));
    if (settings.contains("nodes")) AddNodes(settings.at("nodes"));
    if (settings.contains("products"))
        for (const Json& p : settings.at("products"))
            products_->Add(CvnProduct::Make(FromUtf8(p.at("key").get<std::string>()), Json{{"preset", true}}));
    if (settings.contains("crops")) AddCrops(settings.at("crops"));
    if (settings.contains("operations")) AddOperations(settings.at("operations"));
    if (settings.contains("prescriptions"))
        for (const Json& p : settings.at("prescriptions"))
            prescriptions_->Add(CvnPrescription::Make(PrescriptionData::FromJson(p)));
    return S_OK;
}

}  // namespace refhost
