// Reading one data file into its operation: one logged point per row inside the coordinate
// limits, with its four measures, its six values and its marker events.
#include "host/HostCodes.h"
#include "import/DataFileName.h"
#include "import/ImportSteps.h"
#include "text/TextLines.h"
#include "text/TParser.h"

namespace nivra {
namespace {

std::array<double, kDataColumnCount> ColumnValues(const RowValues& row) {
    return {row.biomassIndex, row.nTarget, row.nApplied, row.applFactor, row.nContent, row.rate};
}

void WriteValue(IvnPointValues* values, IvnDataColumn* column, const DataColumnSpec& spec, double value) {
    Bstr key;
    Check(Required(column)->get_Key(key.Out()), column);
    Variant index = KeyVariant(std::move(key));
    ComPtr<IvnPointValue> slot;
    Check(values->get_Item(*index.Get(), slot.GetAddressOf()), values);
    ComPtr<IkelMeasure> measure;
    Check(Required(slot)->get_Measure(measure.GetAddressOf()), slot.Get());
    Check(Required(measure)->SetValue(value, spec.unitCode, spec.perCode), measure.Get());
}

void WriteValues(IvnOperation* operation, const DeviceModel& model, const RowValues& row) {
    ComPtr<IvnOperationData> data;
    Check(operation->get_Data(data.GetAddressOf()), operation);
    ComPtr<IvnPointValues> values;
    Check(Required(data)->get_PointValues(values.GetAddressOf()), data.Get());
    Required(values);
    const auto rowValues = ColumnValues(row);
    for (std::size_t i = 0; i < kDataColumnCount; ++i)
        WriteValue(values.Get(), model.columns[i].Get(), kDataColumns[i], rowValues[i]);
}

// A marker counts once: its value is cleared after its event, so an empty cell in the next
// row adds none.
void AddMarkerEvents(IvnOperation* operation, RowValues& row) {
    std::int32_t* values[kMarkerKindCount] = {&row.marker[0], &row.marker[1], &row.marker[2], &row.marker[3],
                                              &row.calibration};
    for (std::size_t i = 0; i < kMarkerKindCount; ++i) {
        if (*values[i] <= 0) continue;
        Bstr key = WideBstr(kMarkerKinds[i].key);
        Bstr name = WideBstr(kMarkerKinds[i].name);
        ComPtr<IUnknown> event;
        Check(operation->AddMarkerEvent(key.Get(), name.Get(), event.GetAddressOf()), operation);
        *values[i] = 0;
    }
}

void AddPoint(ImportState& state, IkelUOMFactory* factory, RowValues& row, double date) {
    IvnOperation* operation = Required(state.operation);
    ComPtr<IkelMeasure> altitude = NewMeasure(factory, hostcodes::kMetre, 0, row.altitude);
    ComPtr<IkelMeasure> heading = NewMeasure(factory, hostcodes::kDegree, 0, 0.0);
    ComPtr<IkelMeasure> second = NewMeasure(factory, hostcodes::kMetre, 0, 0.0);
    ComPtr<IkelMeasure> third = NewMeasure(factory, hostcodes::kMetre, 0, 0.0);
    VARIANT_BOOL accepted = VARIANT_FALSE;
    Check(operation->AddPoint(row.longitude, row.latitude, date, 1, -1, 0.0, heading.Get(), second.Get(), third.Get(),
                              altitude.Get(), &accepted),
          operation);
    if (accepted != VARIANT_TRUE) return;
    WriteValues(operation, state.model, row);
    AddMarkerEvents(operation, row);
    VARIANT_BOOL ended = VARIANT_FALSE;
    Check(operation->EndPoint(&ended), operation);
}

void ReportPosition(IvnProgress* progress, std::int32_t counter, std::int64_t offset) {
    VARIANT_BOOL answer = VARIANT_FALSE;
    Check(progress->SetPosition(static_cast<double>(counter) + static_cast<double>(offset), &answer), progress);
}

// The counter keeps the low 32 bits of every file's length, wrapping as a 32-bit sum does.
void AddLow32(std::int32_t& counter, std::int64_t bytes) {
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + static_cast<std::uint32_t>(bytes));
}

}  // namespace

void ReadCsvFile(ImportState& state, const UnitsEngine& units, IvnProgress* progress, std::int32_t& counter,
                 const std::string& dataPath) {
    TextLineReader file;
    if (!file.Open(dataPath)) return;
    std::string line;
    if (file.ReadLine(line)) {
        const DataFileName name = ParseDataFileName(dataPath);
        state.fieldName = name.fieldName;
        state.dateText = name.dateText;
        PrepareOperation(state, units);
        state.columns = MapCsvColumns(line.c_str());
        const double date = DateValue(state.dateText);
        RowValues row;
        TParser parser(',');
        while (file.ReadLine(line)) {
            ReadRowValues(parser, line.c_str(), state.columns, row);
            if (IsWithinCoordinateLimits(row)) AddPoint(state, units.factory, row, date);
            ReportPosition(progress, counter, file.Offset());
        }
    }
    AddLow32(counter, file.Offset());
    file.Close();
    state.operation.Reset();
}

}  // namespace nivra
