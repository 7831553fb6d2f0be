#include "publisher/PublishRun.h"

#include <optional>
#include <string>

#include "com/ComOwners.h"
#include "com/HostCall.h"
#include "host/HostCodes.h"
#include "publisher/OffsetMapExport.h"
#include "publisher/PublishHostValues.h"
#include "publisher/PublishOptions.h"

namespace nivra {
namespace {

using hostcodes::kClientNode;
using hostcodes::kCropZoneNode;
using hostcodes::kFarmNode;
using hostcodes::kFieldNode;

// The host files fields without an owner under this client; a tree whose only client it is
// is published by farms.
constexpr const char* kUnassignedClient = "< Unassigned Client >";
constexpr const char* kGridFileSuffix = "_OffsetMap.grd";

LONG KindOf(IvnField* node) {
    LONG kind = 0;
    Check(node->get_Kind(&kind), node);
    return kind;
}

std::string NameOf(IvnField* node) { return TextOf(node, &IvnField::get_Name); }

ComPtr<IvnField> Ancestor(IvnField* node, int generations) {
    ComPtr<IvnField> current(node);
    for (int i = 0; i < generations; ++i) {
        ComPtr<IvnField> parent;
        Check(current->get_Parent(parent.GetAddressOf()), current.Get());
        Required(parent);
        current = parent;
    }
    return current;
}

// The area in the files' area unit, or nothing when the node has none.
std::optional<double> AreaOf(IvnField* node) {
    ComPtr<IkelMeasure> area;
    Check(node->get_Area(area.GetAddressOf()), node);
    if (!area) return std::nullopt;
    ComPtr<IkelMeasure> converted;
    Check(area->ConvertTo(area.Get(), hostcodes::kHectare, converted.GetAddressOf()), area.Get());
    IkelMeasure* inAreaUnit = Required(converted);
    double value = 0.0;
    Check(inAreaUnit->get_Value(&value), inAreaUnit);
    return value;
}

// The interface an enumerated item holds, if it is one at all.
IUnknown* ObjectOf(const VARIANT& item) {
    return item.vt == VT_UNKNOWN || item.vt == VT_DISPATCH ? item.punkVal : nullptr;
}

std::string GridFileNameFor(std::string fieldName) {
    for (char& c : fieldName)
        if (c == ' ') c = '_';
    return fieldName + kGridFileSuffix;
}

class PublishRun {
public:
    PublishRun(TextStore& store, const PublishSettings& settings, IvnCatalog* catalog)
        : store_(store), settings_(settings), catalog_(catalog) {}

    bool Run() {
        store_.ResetStore();
        const TextFilePaths paths = TextFilePaths::InFolder(settings_.destinationFolder);
        if (settings_.options && OptionIs(settings_.options, L"ClearData", "No")) store_.LoadTextFiles(paths);
        Check(catalog_->get_Fields(nodes_.GetAddressOf()), catalog_);
        if (nodes_) {
            ChooseCustomerMode();
            NodePass();
        }
        CropPass();
        TaskPass();
        return WriteFiles(paths);
    }

private:
    LONG NodeCount() {
        LONG count = 0;
        Check(nodes_->get_Count(&count), nodes_.Get());
        return count;
    }
    ComPtr<IvnField> NodeAt(LONG index) {
        ComPtr<IvnField> node;
        Variant at = IndexVariant(index);
        Check(nodes_->get_Item(*at.Get(), node.GetAddressOf()), nodes_.Get());
        return node;
    }

    // The node of the collection that carries this node's key, by its name.
    std::string LookedUpName(IvnField* node) {
        Bstr key;
        Check(node->get_Key(key.Out()), node);
        IvnFields* nodes = Required(nodes_);
        Variant keyVariant = KeyVariant(key);
        ComPtr<IvnField> found;
        Check(nodes->get_Item(*keyVariant.Get(), found.GetAddressOf()), nodes);
        return NameOf(Required(found));
    }

    ComPtr<IvnCropList> CropList() {
        ComPtr<IvnCropList> crops;
        Check(catalog_->get_CropList(crops.GetAddressOf()), catalog_);
        return crops;
    }
    static ComPtr<IvnCrop> CropOfZone(IvnCropList* crops, IvnCropZone* zone) {
        Bstr key;
        Check(zone->get_CropKey(key.Out()), zone);
        Variant keyVariant = KeyVariant(key);
        ComPtr<IvnCrop> crop;
        Check(crops->get_Item(*keyVariant.Get(), crop.GetAddressOf()), crops);
        return crop;
    }

    // Client mode as soon as one real client exists.
    void ChooseCustomerMode() {
        useClients_ = false;
        for (LONG i = 1; i <= NodeCount() && !useClients_; ++i) {
            ComPtr<IvnField> node = NodeAt(i);
            if (node && KindOf(node.Get()) == kClientNode && NameOf(node.Get()) != kUnassignedClient)
                useClients_ = true;
        }
    }

    // Generations from a field to its customer: the client in client mode, else the farm.
    int CustomerGenerationsAboveField() const { return useClients_ ? 2 : 1; }

    void NodePass() {
        for (LONG d = 1; d <= NodeCount(); ++d) {
            ComPtr<IvnField> node = NodeAt(d);
            if (!node) continue;
            LONG kind = KindOf(node.Get());
            if (kind == kClientNode && useClients_) {
                store_.GetOrAddCustomer(NameOf(node.Get()));
            } else if (kind == kFarmNode && !useClients_) {
                store_.GetOrAddCustomer(NameOf(node.Get()));
            } else if (kind == kFieldNode) {
                std::size_t f = store_.GetOrAddField(NameOf(node.Get()));
                FillFieldSize(f, node.Get());
                FillFieldCustomer(f, node.Get(), CustomerGenerationsAboveField());
            } else if (kind == kCropZoneNode) {
                AddCropZone(node.Get());
            }
        }
    }

    // A crop zone whose crop the catalog does not know is left out entirely.
    void AddCropZone(IvnField* node) {
        ComPtr<IvnCropZone> zone = QueryOptional<IvnCropZone>(node);
        if (!zone) return;
        ComPtr<IvnCropList> crops = CropList();
        if (!crops) return;
        ComPtr<IvnCrop> crop = CropOfZone(crops.Get(), zone.Get());
        if (!crop) return;
        const LookupEntry cropEntry = store_.Crops()[store_.GetOrAddCrop(TextOf(crop.Get(), &IvnCrop::get_Name))];
        ComPtr<IvnField> field = Ancestor(node, 1);
        std::size_t f = store_.GetOrAddField(NameOf(field.Get()));
        FillFieldSize(f, node);
        FillFieldCustomer(f, node, CustomerGenerationsAboveField() + 1);
        if (store_.Fields()[f].Fruchart.empty()) store_.SetFieldCrop(f, cropEntry.name, cropEntry.expid);
    }

    void FillFieldSize(std::size_t f, IvnField* node) {
        if (store_.Fields()[f].size >= 0) return;
        if (std::optional<double> area = AreaOf(node)) store_.SetFieldSize(f, *area);
    }

    // Once a field has a customer nothing more is asked of the host for it.
    void FillFieldCustomer(std::size_t f, IvnField* node, int generations) {
        if (!store_.Fields()[f].Kunde.empty()) return;
        ComPtr<IvnField> owner = Ancestor(node, generations);
        const LookupEntry customer = store_.Customers()[store_.GetOrAddCustomer(LookedUpName(owner.Get()))];
        store_.SetFieldCustomer(f, customer.name, customer.expid);
    }

    // Every crop of the catalog gets an entry, after those met through crop zones.
    void CropPass() {
        ComPtr<IvnCropList> crops = CropList();
        if (!crops) return;
        for (LONG e = 1;; ++e) {
            LONG count = 0;
            Check(crops->get_Count(&count), crops.Get());
            if (e > count) break;
            ComPtr<IvnCrop> crop;
            Variant at = IndexVariant(e);
            Check(crops->get_Item(*at.Get(), crop.GetAddressOf()), crops.Get());
            if (crop) store_.GetOrAddCrop(TextOf(crop.Get(), &IvnCrop::get_Name));
        }
    }

    void TaskPass() {
        ComPtr<IvnOperationDataList> operations;
        Check(catalog_->get_OperationDataList(operations.GetAddressOf()), catalog_);
        if (!operations) return;
        for (LONG e = 1;; ++e) {
            LONG count = 0;
            Check(operations->get_Count(&count), operations.Get());
            if (e > count) break;
            ComPtr<IvnOperationData> operation;
            Variant at = IndexVariant(e);
            Check(operations->get_Item(*at.Get(), operation.GetAddressOf()), operations.Get());
            if (operation) AddTaskFor(operation.Get());
        }
    }

    // Only an operation on a crop zone becomes a task.
    void AddTaskFor(IvnOperationData* operation) {
        TaskRecord task;
        ComPtr<IvnField> node;
        Check(operation->get_Node(node.GetAddressOf()), operation);
        ComPtr<IvnCropZone> zone = QueryOptional<IvnCropZone>(node.Get());
        if (!zone) return;
        if (ComPtr<IvnCropList> crops = CropList()) {
            if (ComPtr<IvnCrop> crop = CropOfZone(crops.Get(), zone.Get()))
                task.cropName = TextOf(crop.Get(), &IvnCrop::get_Name);
        }
        task.fieldName = LookedUpName(Ancestor(node.Get(), 1).Get());
        task.customerName = LookedUpName(Ancestor(node.Get(), CustomerGenerationsAboveField() + 1).Get());
        if (std::optional<double> area = AreaOf(node.Get())) task.fieldSize = *area;
        task.fieldComment = TextOf(operation, &IvnOperationData::get_Comment);
        task.taskTime = 0;
        task.gridfileName = ExportPrescriptionsOf(operation, task.fieldName);
        store_.AddTask(task);
    }

    // Every prescription carrying the operation's identifier is exported under the field's
    // grid name; the last one stays on disk. Answers the grid name, or "" without a match.
    std::string ExportPrescriptionsOf(IvnOperationData* operation, const std::string& fieldName) {
        std::string gridFileName;
        if (PrescriptionCount() <= 0) return gridFileName;
        ComPtr<IvnPrescriptionList> prescriptions;
        Check(catalog_->get_PrescriptionList(prescriptions.GetAddressOf()), catalog_);
        IvnPrescriptionList* list = Required(prescriptions);
        ComPtr<IEnumVARIANT> items;
        Check(list->get__NewEnum(items.GetAddressOf()), list);
        IEnumVARIANT* walk = Required(items);
        for (;;) {
            Variant item;
            if (!NextItem(walk, item)) break;
            ComPtr<IvnPrescription> prescription = QueryOptional<IvnPrescription>(ObjectOf(*item.Get()));
            if (!prescription || !SameIdentifier(prescription.Get(), operation)) continue;
            gridFileName = GridFileNameFor(fieldName);
            ExportOffsetMap(settings_, gridFileName, prescription.Get());
        }
        return gridFileName;
    }

    LONG PrescriptionCount() {
        ComPtr<IvnPrescriptionList> prescriptions;
        Check(catalog_->get_PrescriptionList(prescriptions.GetAddressOf()), catalog_);
        IvnPrescriptionList* list = Required(prescriptions);
        LONG count = 0;
        Check(list->get_Count(&count), list);
        return count;
    }

    // Compared as the host's own texts, so two identifiers never meet through the code page.
    static bool SameIdentifier(IvnPrescription* prescription, IvnOperationData* operation) {
        Bstr id, wanted;
        Check(prescription->get_Id(id.Out()), prescription);
        Check(operation->get_PrescriptionId(wanted.Out()), operation);
        return id.Text() == wanted.Text();
    }

    // Each writer runs whatever the others answered.
    bool WriteFiles(const TextFilePaths& paths) {
        bool crops = store_.WriteCropsFile(paths.crops);
        bool tasks = store_.WriteTasksFile(paths.tasks);
        bool fields = store_.WriteFieldsFile(paths.fields);
        bool customers = store_.WriteCustomersFile(paths.customers);
        return crops && tasks && fields && customers;
    }

    TextStore& store_;
    const PublishSettings& settings_;
    IvnCatalog* catalog_;
    ComPtr<IvnFields> nodes_;
    bool useClients_ = false;
};

}  // namespace

bool PublishCatalog(TextStore& store, const PublishSettings& settings, IvnCatalog* catalog) {
    return PublishRun(store, settings, catalog).Run();
}

}  // namespace nivra
