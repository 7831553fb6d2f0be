#include "pubCatalog.h"

#include <algorithm>
#include <functional>

namespace refhost {

namespace {

LONG KindFromJson(const Json& kind) {
    if (kind.is_number_integer()) return kind.get<LONG>();
    const std::string name = kind.get<std::string>();
    if (name == "client") return 0x100;
    if (name == "farm") return 0x80;
    if (name == "field") return 0x40;
    if (name == "cropZone") return 0x20;
    throw Json::type_error::create(302, "unknown node kind \"" + name + "\"", &kind);
}

ComPtr<CkelMeasure> AreaFromJson(const Json& node) {
    if (!node.contains("area") || node.at("area").is_null()) return nullptr;
    const Json& area = node.at("area");
    return CkelMeasure::Make(Unit{area.value("code", 66L), 0}, area.at("value").get<double>());
}

template <typename Item, typename Object>
HRESULT ItemByKeyOrIndex(const VARIANT& keyOrIndex, const std::vector<ComPtr<Object>>& items,
                         const std::unordered_map<std::wstring, size_t>& firstOfKey, Item** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    Key which;
    HRESULT hr = ReadKey(keyOrIndex, which);
    if (FAILED(hr)) return hr;
    if (which.isText) {
        auto found = firstOfKey.find(which.text);
        return found == firstOfKey.end() ? S_OK : GiveOut(items[found->second], out);
    }
    if (which.index < 1 || static_cast<size_t>(which.index) > items.size()) return S_OK;
    return GiveOut(items[which.index - 1], out);
}

}  // namespace

HRESULT STDMETHODCALLTYPE PubNodes::get_Item(VARIANT keyOrIndex, IvnField** node) {
    HOST_CALL(IvnFields, get_Item);
    return ItemByKeyOrIndex(keyOrIndex, nodes_, firstOfKey_, node);
}

HRESULT STDMETHODCALLTYPE PubNodes::get_Count(LONG* count) {
    HOST_CALL(IvnFields, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(nodes_.size());
    return S_OK;
}

void PubNodes::Add(const std::wstring& key, ComPtr<IvnField> node) {
    firstOfKey_.emplace(key, nodes_.size());
    nodes_.push_back(std::move(node));
}

ComPtr<IvnField> PubNodes::Find(const std::wstring& key) const {
    auto found = firstOfKey_.find(key);
    return found == firstOfKey_.end() ? nullptr : nodes_[found->second];
}

HRESULT STDMETHODCALLTYPE PubCropList::get_Item(VARIANT keyOrIndex, IvnCrop** crop) {
    HOST_CALL(IvnCropList, get_Item);
    return ItemByKeyOrIndex(keyOrIndex, crops_, firstOfKey_, crop);
}

HRESULT STDMETHODCALLTYPE PubCropList::get_Count(LONG* count) {
    HOST_CALL(IvnCropList, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(crops_.size());
    return S_OK;
}

void PubCropList::Add(const std::wstring& key, ComPtr<PubCrop> crop) {
    firstOfKey_.emplace(key, crops_.size());
    crops_.push_back(std::move(crop));
}

HRESULT STDMETHODCALLTYPE PubOperation::get_Comment(BSTR* comment) {
    HOST_CALL(IvnOperationData, get_Comment);
    if (comment && nullComment_) {
        *comment = nullptr;
        return S_OK;
    }
    return CopyOut(comment_, comment);
}

HRESULT STDMETHODCALLTYPE PubOperation::get_PrescriptionId(BSTR* id) {
    HOST_CALL(IvnOperationData, get_PrescriptionId);
    if (id && nullPrescriptionId_) {
        *id = nullptr;
        return S_OK;
    }
    return CopyOut(prescriptionId_, id);
}

HRESULT STDMETHODCALLTYPE PubOperations::get_Item(VARIANT index, IvnOperationData** data) {
    HOST_CALL(IvnOperationDataList, get_Item);
    if (!data) return E_POINTER;
    *data = nullptr;
    Key which;
    HRESULT hr = ReadKey(index, which);
    if (FAILED(hr)) return hr;
    if (which.isText || which.index < 1 || static_cast<size_t>(which.index) > operations_.size()) return S_OK;
    return GiveOut(operations_[which.index - 1], data);
}

HRESULT STDMETHODCALLTYPE PubOperations::get_Count(LONG* count) {
    HOST_CALL(IvnOperationDataList, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(operations_.size());
    return S_OK;
}

PubCatalog::PubCatalog()
    : nodes_(PubNodes::Make()), crops_(PubCropList::Make()), operations_(PubOperations::Make()),
      prescriptions_(PubPrescriptionList::Make()) {}

bool PubCatalog::IsNull(const char* list) const {
    return std::find(nullLists_.begin(), nullLists_.end(), list) != nullLists_.end();
}

HRESULT STDMETHODCALLTYPE PubCatalog::get_OperationDataList(IvnOperationDataList** list) {
    HOST_CALL(IvnCatalog, get_OperationDataList);
    return GiveOut(IsNull("operations") ? nullptr : operations_, list);
}

HRESULT STDMETHODCALLTYPE PubCatalog::get_ProductList(IvnProductList** list) {
    HOST_CALL(IvnCatalog, get_ProductList);
    if (!list) return E_POINTER;
    *list = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PubCatalog::get_Fields(IvnFields** fields) {
    HOST_CALL(IvnCatalog, get_Fields);
    return GiveOut(IsNull("fields") ? nullptr : nodes_, fields);
}

HRESULT STDMETHODCALLTYPE PubCatalog::get_CropList(IvnCropList** list) {
    HOST_CALL(IvnCatalog, get_CropList);
    return GiveOut(IsNull("crops") ? nullptr : crops_, list);
}

HRESULT STDMETHODCALLTYPE PubCatalog::get_PrescriptionList(IvnPrescriptionList** list) {
    HOST_CALL(IvnCatalog, get_PrescriptionList);
    return GiveOut(IsNull("prescriptions") ? nullptr : prescriptions_, list);
}

void PubCatalog::Describe(Json& out) { out = described_; }

// A node may come before its parent in the collection (a crop zone listed before its
// field); parents are made first, the collection keeps the plan's order.
void PubCatalog::AddNodes(const Json& nodes) {
    std::unordered_map<std::string, const Json*> byKey;
    for (const Json& n : nodes) byKey.emplace(n.at("key").get<std::string>(), &n);
    std::unordered_map<std::string, ComPtr<IvnField>> made;
    std::vector<std::string> making;
    std::function<ComPtr<IvnField>(const Json&)> make = [&](const Json& n) -> ComPtr<IvnField> {
        const std::string key = n.at("key").get<std::string>();
        auto done = made.find(key);
        if (done != made.end()) return done->second;
        if (std::find(making.begin(), making.end(), key) != making.end())
            throw Json::out_of_range::create(403, "node \"" + key + "\" is its own ancestor", &n);
        making.push_back(key);
        ComPtr<IvnField> parent;
        if (n.contains("parent") && !n.at("parent").is_null()) {
            const std::string parentKey = n.at("parent").get<std::string>();
            auto entry = byKey.find(parentKey);
            if (entry == byKey.end()) throw Json::out_of_range::create(403, "parent \"" + parentKey + "\" is not a node", &n);
            parent = make(*entry->second);
        }
        making.pop_back();
        std::wstring name = FromUtf8(n.value("name", key));
        LONG kind = KindFromJson(n.at("kind"));
        ComPtr<CkelMeasure> area = AreaFromJson(n);
        bool nullName = n.value("nullName", false);
        ComPtr<IvnField> node;
        if (kind == 0x20) {
            auto zone = PubCropZone::Make(FromUtf8(key), name, parent, area, FromUtf8(n.value("cropKey", std::string())));
            zone->SetNullName(nullName);
            node = static_cast<IvnField*>(static_cast<IvnCropZone*>(zone.Get()));
        } else {
            auto plain = PubNode::Make(FromUtf8(key), name, kind, parent, area);
            plain->SetNullName(nullName);
            node = static_cast<IvnField*>(plain.Get());
        }
        made.emplace(key, node);
        return node;
    };
    for (const Json& n : nodes) nodes_->Add(FromUtf8(n.at("key").get<std::string>()), make(n));
}

void PubCatalog::AddCrops(const Json& crops) {
    for (const Json& c : crops) {
        std::string key = c.at("key").get<std::string>();
        crops_->Add(FromUtf8(key), PubCrop::Make(FromUtf8(c.value("name", key))));
    }
}

void PubCatalog::AddOperations(const Json& operations) {
    for (const Json& o : operations) {
        if (o.is_null()) {
            operations_->Add(nullptr);
            continue;
        }
        ComPtr<IvnField> node;
        if (o.contains("node") && !o.at("node").is_null()) {
            node = nodes_->Find(FromUtf8(o.at("node").get<std::string>()));
            if (!node) throw Json::out_of_range::create(403, "node \"" + o.at("node").get<std::string>() + "\" is not in the tree", &o);
        }
        operations_->Add(PubOperation::Make(node, FromUtf8(o.value("comment", std::string())),
                                            FromUtf8(o.value("prescription", std::string())), o.value("nullComment", false),
                                            o.value("nullPrescription", false)));
    }
}

HRESULT PubCatalog::Configure(const Json& settings) {
    if (settings.contains("null"))
        for (const Json& list : settings.at("null")) nullLists_.push_back(list.get<std::string>());
    if (settings.contains("nodes")) AddNodes(settings.at("nodes"));
    if (settings.contains("crops")) AddCrops(settings.at("crops"));
    if (settings.contains("operations")) AddOperations(settings.at("operations"));
    if (settings.contains("prescriptions"))
        for (const Json& p : settings.at("prescriptions")) prescriptions_->Add(PubPrescription::Make(PubPrescription::FromJson(p)));
    described_ = Json{{"nodes", settings.value("nodes", Json::array()).size()},
                      {"operations", settings.value("operations", Json::array()).size()}};
    return S_OK;
}

}  // namespace refhost
