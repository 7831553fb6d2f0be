// The field tree of an import: farms and fields named by "fields.txt" beside the logs, the
// field node of each data file, and the host's summary after the run.
#include "host/HostCodes.h"
#include "import/ImportSteps.h"
#include "text/TextLines.h"
#include "text/TParser.h"

namespace nivra {
namespace {

ComPtr<IvnFields> FieldNodes(IvnDataStore* dataStore) {
    ComPtr<IvnCatalog> catalog;
    Check(Required(dataStore)->get_Catalog(catalog.GetAddressOf()), dataStore);
    ComPtr<IvnFields> fields;
    Check(Required(catalog)->get_Fields(fields.GetAddressOf()), catalog.Get());
    return fields;
}

ComPtr<IvnField> FindNode(IvnFields* fields, const std::string& key) {
    Variant index = KeyVariant(AnsiBstr(key));
    ComPtr<IvnField> node;
    Check(fields->get_Item(*index.Get(), node.GetAddressOf()), fields);
    return node;
}

ComPtr<IvnField> CreateNode(IvnDataStore* dataStore, const std::string& name, LONG kind, const std::string& parent) {
    Bstr key = AnsiBstr(name);
    Bstr text = AnsiBstr(name);
    Bstr parentKey = AnsiBstr(parent);
    Bstr empty = WideBstr(L"");
    ComPtr<IvnField> node;
    Check(dataStore->CreateField(key.Get(), text.Get(), kind, parentKey.Get(), empty.Get(), node.GetAddressOf()),
          dataStore);
    return node;
}

ComPtr<IkelMeasure> AreaOf(IvnField* field) {
    ComPtr<IkelMeasure> area;
    Check(field->get_Area(area.GetAddressOf()), field);
    Required(area);
    return area;
}

void CreateFieldWithArea(IvnDataStore* dataStore, const std::string& name, const std::string& farm, double area) {
    ComPtr<IvnField> field = CreateNode(dataStore, name, hostcodes::kFieldNode, farm);
    IvnField* node = Required(field);
    ComPtr<IkelMeasure> unit = AreaOf(node);
    Check(unit->put_UnitCode(hostcodes::kHectare), unit.Get());
    unit.Reset();
    ComPtr<IkelMeasure> value = AreaOf(node);
    Check(value->put_Value(area), value.Get());
}

}  // namespace

void ReadFieldsFile(ImportState& state) {
    const std::size_t slash = state.sourcePath.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : state.sourcePath.substr(0, slash + 1);
    TextLineReader file;
    if (!file.Open(folder + "fields.txt")) return;

    IvnDataStore* dataStore = Required(state.dataStore.Get());
    ComPtr<IvnFields> fields = FieldNodes(dataStore);
    std::string line;
    if (!file.ReadLine(line) || !fields) return;

    TParser parser(',');
    double area = 0.0;  // an unreadable size keeps the one of the line before
    while (file.ReadLine(line)) {
        parser.Parse(line.c_str(), -1);
        const std::string name = parser.GetText(2);
        parser.GetDouble(3, area);
        const std::string farm = parser.GetText(5);
        if (!FindNode(fields.Get(), farm)) CreateNode(dataStore, farm, hostcodes::kFarmNode, std::string());
        if (FindNode(fields.Get(), name)) continue;
        CreateFieldWithArea(dataStore, name, farm, area);
    }
}

void EnsureField(ImportState& state) {
    if (state.fieldName.empty()) state.fieldName = "Unknown_Field";
    IvnDataStore* dataStore = Required(state.dataStore.Get());
    ComPtr<IvnFields> fields = FieldNodes(dataStore);
    if (!fields) return;
    state.field = FindNode(fields.Get(), state.fieldName);
    if (!state.field) state.field = CreateNode(dataStore, state.fieldName, hostcodes::kFieldNode, std::string());
}

void RequestSummary(IvnImportTarget* target) {
    Required(target);
    ComPtr<IvnHostSession> session;
    Check(target->get_Session(session.GetAddressOf()), target);
    Bstr name = WideBstr(L"Summary.zqs");
    VARIANT_BOOL written = VARIANT_FALSE;
    Check(Required(session)->WriteSummary(name.Get(), 32767, &written), session.Get());
}

}  // namespace nivra
