// The steps of one import, shared by the units of the import side. Every step raises the
// host-call error when a host call fails; only the slots turn it into their HRESULT.
#pragma once
#include <cstdint>
#include <string>

#include "import/ImportState.h"

namespace nivra {

// The units-engine objects the driver made at its creation.
struct UnitsEngine {
    IkelUOMFactory* factory;
    IkelQuantity* context;
};

// A new measure of the units engine; null raises E_POINTER.
ComPtr<IkelMeasure> NewMeasure(IkelUOMFactory* factory, LONG code, LONG perCode, double value);

// The size of a listed file as the host shows it ("1.50 KB"), read with 64 bits.
std::string FileSizeText(DWORD high, DWORD low);

// --- conversion of a ticked log file ---------------------------------------------------

// The data path of a ticked file: a file whose extension is exactly ".log" is converted to the
// CSV of the same stem beside it; any other file is its own data path.
std::string ConvertIfLog(const std::string& sourcePath);
// The converter library's folder: the driver module's own, with its trailing backslash
// (empty when the module path has none). False when the module path cannot be read whole.
bool DriverModuleFolder(std::string& folder);

// --- field tree and summary ------------------------------------------------------------

// Creates the farms and fields that "fields.txt" beside `sourcePath` names and the host lacks.
void ReadFieldsFile(ImportState& state);
// Finds or creates the field node named by the data file (Unknown_Field without a name).
void EnsureField(ImportState& state);
// Asks the host for its summary file after the last file of a run.
void RequestSummary(IvnImportTarget* target);

// --- operation and device model --------------------------------------------------------

void EnsureUnknownProduct(ImportState& state, IkelUOMFactory* factory);
DeviceModel CreateDeviceModel(IvnDataStore* dataStore, const UnitsEngine& units);
// Makes the operation "Application" of the data file, with everything attached to it.
void PrepareOperation(ImportState& state, const UnitsEngine& units);
// The local time zone's standard offset from UTC in hours, east positive.
double StandardZoneOffsetHours();

// --- the run ---------------------------------------------------------------------------

// Reads one data file into a new operation; a file that cannot be opened adds nothing.
void ReadCsvFile(ImportState& state, const UnitsEngine& units, IvnProgress* progress, std::int32_t& counter,
                 const std::string& dataPath);

}  // namespace nivra
