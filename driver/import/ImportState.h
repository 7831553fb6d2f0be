// What CNivraTesk keeps for its imports, and the small pieces every import step shares: the
// host objects of the file being read, the device model made once per driver object, and
// the checks that turn a missing host object into the host-call error.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <string>

#include "com/ComOwners.h"
#include "com/HostCall.h"
#include "host/HostInterfaces.h"
#include "import/CsvColumns.h"

namespace nivra {

// One of the six data columns of the virtual machine: its texts in the data store and the
// units-engine codes of its unit, which every value written to it carries as well.
struct DataColumnSpec {
    const wchar_t* key;
    const wchar_t* name;
    LONG unitCode;
    LONG perCode;
};
inline constexpr std::size_t kDataColumnCount = 6;
extern const std::array<DataColumnSpec, kDataColumnCount> kDataColumns;

// The five marker kinds of an operation, in the order of the row's marker values (marker 1
// to 4, then calibration).
struct MarkerKind {
    const wchar_t* key;
    const wchar_t* name;
};
inline constexpr std::size_t kMarkerKindCount = 5;
extern const std::array<MarkerKind, kMarkerKindCount> kMarkerKinds;

// The virtual sensor machine with its component, container and data columns. It stays with
// the driver object: later imports attach the same objects, whatever data store they use.
struct DeviceModel {
    ComPtr<IvnMachine> machine;
    ComPtr<IUnknown> component;
    ComPtr<IvnContainer> container;
    std::array<ComPtr<IvnDataColumn>, kDataColumnCount> columns;

    bool Exists() const { return machine != nullptr; }
};

struct ImportState {
    std::string sourcePath;       // the ticked file
    std::string applicationName;  // its file name without folder and extension
    std::string fieldName;        // from the data file's name
    std::string dateText;         // YYMMDD from the data file's name
    CsvColumns columns;
    ComPtr<IvnDataStore> dataStore;  // of the current ImportFiles call; may be empty
    ComPtr<IvnOperation> operation;  // of the data file being read; empty between files
    DeviceModel model;
    ComPtr<IvnProduct> unknownProduct;
    ComPtr<IvnField> field;
};

// A new BSTR owner for ANSI text; a failed allocation raises E_OUTOFMEMORY.
inline Bstr AnsiBstr(const std::string& text) {
    Bstr owned(AnsiToBstr(text));
    if (!owned.Get()) throw std::bad_alloc();
    return owned;
}
inline Bstr WideBstr(const wchar_t* text) {
    Bstr owned(text);
    if (!owned.Get()) throw std::bad_alloc();
    return owned;
}

// A VT_BSTR key that owns `text`.
inline Variant KeyVariant(Bstr text) {
    Variant key;
    key.Get()->vt = VT_BSTR;
    key.Get()->bstrVal = text.Release();
    return key;
}

}  // namespace nivra
