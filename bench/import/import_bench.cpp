// Import speed under Wine: a CSV of N rows (one million by default) imported through the
// registered driver into the reference host, timed end to end; then the same host calls the
// driver made per row replayed directly on the reference host, which gives the share of the
// import's time spent inside the host.
//
//   import_bench [ROWS] [--keep FOLDER] [--no-replay] [--modules]
// --no-replay times the import alone; --modules prints where the driver and the host lie in
// memory, for attributing a profiler's samples.
#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "com/ComOwners.h"
#include "host/DriverInterfaces.h"
#include "host/HostInterfaces.h"
#include "RefHostControl.h"

namespace {

using Microsoft::WRL::ComPtr;
using nivra::Bstr;

const wchar_t* const kValueKeys[] = {L"Biomass_Index", L"N_Target", L"N_Applied", L"ApplFactor", L"Nc", L"Rate"};
const LONG kUnitCodes[6][2] = {{0, 0}, {36, 66}, {36, 66}, {31, 0}, {31, 0}, {36, 66}};

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "import_bench: %s\n", what);
    std::exit(1);
}

void RequireOk(HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return;
    std::fprintf(stderr, "import_bench: %s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
    std::exit(1);
}

// Rows of a field driven in passes; a marker every 97th row, a calibration every 500th.
void WriteCsv(const std::string& path, long rows) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc\r\n";
    char line[160];
    for (long k = 0; k < rows; ++k) {
        const double lon = 7.5 + (k % 1000) * 2.5e-5, lat = 51.5 + (k / 1000) * 2.2e-4;
        const int n = 100 + static_cast<int>(k % 60);
        std::snprintf(line, sizeof line, "%.7f,%.7f,%d,%.2f,%d,%d,%d,%s,,,,%s,%s\r\n", lon, lat,
                      120 + static_cast<int>(k % 9), 2.0 + (k % 50) / 10.0, n, n * 9 / 10, 3, k % 97 == 50 ? "1" : "",
                      k % 500 == 499 ? "1" : "", k % 200 == 0 ? "4.20" : "");
        out << line;
    }
    Require(static_cast<bool>(out), "cannot write the CSV");
}

ComPtr<IvnTESK> NewDriver() {
    CLSID clsid;
    RequireOk(CLSIDFromProgID(L"NivraTesk.NIVRATESK", &clsid), "NivraTesk.NIVRATESK lookup");
    ComPtr<IvnTESK> driver;
    RequireOk(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IvnTESK),
                               reinterpret_cast<void**>(driver.GetAddressOf())),
              "driver creation");
    return driver;
}

// Lists `folder`, ticks everything and imports it into `store`; returns the seconds taken by
// ImportFiles alone.
double TimedImport(refhost::Client& host, IvnTESK* driver, const std::string& folder, IvnImportTarget* store) {
    ComPtr<IvnFileList> list = host.Create<IvnFileList>("fileList");
    Bstr text(nivra::AnsiToBstr(folder));
    RequireOk(driver->ListFiles(list.Get(), text.Get(), 0, 0), "ListFiles");
    ComPtr<IvnFileListModel> model;
    RequireOk(list->get_Model(model.GetAddressOf()), "model");
    ComPtr<IvnFiles> files;
    RequireOk(model->get_Files(files.GetAddressOf()), "files");
    LONG count = 0;
    files->get_Count(&count);
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IvnFile> file;
        RequireOk(files->get_Item(*nivra::Variant::Int(i).Get(), file.GetAddressOf()), "file");
        file->put_Selected(VARIANT_TRUE);
    }
    ComPtr<IvnProgress> progress = host.Create<IvnProgress>("progress");
    VARIANT_BOOL result = VARIANT_FALSE;
    Stopwatch watch;
    RequireOk(driver->ImportFiles(store, files.Get(), progress.Get(), &result), "ImportFiles");
    return watch.Seconds();
}

// The first operation of a store, as the driver left it (machine attached, columns known).
ComPtr<IvnOperation> FirstOperation(IvnImportTarget* target) {
    ComPtr<IvnDataStore> store;
    RequireOk(target->QueryInterface(__uuidof(IvnDataStore), reinterpret_cast<void**>(store.GetAddressOf())),
              "data store");
    ComPtr<IvnCatalog> catalog;
    RequireOk(store->get_Catalog(catalog.GetAddressOf()), "catalog");
    ComPtr<IvnOperationDataList> operations;
    RequireOk(catalog->get_OperationDataList(operations.GetAddressOf()), "operations");
    ComPtr<IvnOperationData> data;
    RequireOk(operations->get_Item(*nivra::Variant::Int(1).Get(), data.GetAddressOf()), "operation");
    ComPtr<IvnOperation> operation;
    RequireOk(data.As(&operation), "operation interface");
    return operation;
}

ComPtr<IkelUOMFactory> UnitsFactory() {
    CLSID clsid;
    RequireOk(CLSIDFromProgID(L"kelUOMEngine.kelUOMFactory", &clsid), "units factory lookup");
    ComPtr<IkelUOMFactory> factory;
    RequireOk(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IkelUOMFactory),
                               reinterpret_cast<void**>(factory.GetAddressOf())),
              "units factory");
    return factory;
}

// The host calls of one accepted row, as the driver makes them, straight to the host.
void ReplayRow(IvnOperation* operation, IkelUOMFactory* units, IvnProgress* progress, long k) {
    ComPtr<IkelMeasure> m[4];
    for (int i = 0; i < 4; ++i) units->CreateMeasure(i == 1 ? 277 : 33, 0, i == 0 ? 120.0 : 0.0, m[i].GetAddressOf());
    VARIANT_BOOL accepted = VARIANT_FALSE;
    operation->AddPoint(7.5, 51.5, 0.0, 1, -1, 0.0, m[1].Get(), m[2].Get(), m[3].Get(), m[0].Get(), &accepted);
    ComPtr<IvnOperationData> data;
    operation->get_Data(data.GetAddressOf());
    ComPtr<IvnPointValues> values;
    data->get_PointValues(values.GetAddressOf());
    for (int c = 0; c < 6; ++c) {
        VARIANT key;
        VariantInit(&key);
        key.vt = VT_BSTR;
        key.bstrVal = SysAllocString(kValueKeys[c]);  // the driver reads each column's key anew
        ComPtr<IvnPointValue> value;
        values->get_Item(key, value.GetAddressOf());
        VariantClear(&key);
        ComPtr<IkelMeasure> measure;
        value->get_Measure(measure.GetAddressOf());
        measure->SetValue(1.0 + c, kUnitCodes[c][0], kUnitCodes[c][1]);
    }
    if (k % 97 == 50) {
        Bstr markerKey(L"Marker1"), markerName(L"Marker 1");
        ComPtr<IUnknown> event;
        operation->AddMarkerEvent(markerKey.Get(), markerName.Get(), event.GetAddressOf());
    }
    VARIANT_BOOL ended;
    operation->EndPoint(&ended);
    progress->SetPosition(static_cast<double>(k), &accepted);
}

// Where the two modules lie, for a profiler's samples ("--modules").
void PrintModule(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(name);
    MODULEINFO info{};
    if (module && GetModuleInformation(GetCurrentProcess(), module, &info, sizeof info))
        std::printf("module %ls %p %lu\n", name, info.lpBaseOfDll, static_cast<unsigned long>(info.SizeOfImage));
}

}  // namespace

int Run(int argc, char** argv) {
    _putenv("TZ=");
    _tzset();
    long rows = argc > 1 && argv[1][0] != '-' ? std::atol(argv[1]) : 1000000;
    std::string keep;
    bool replay = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--keep" && i + 1 < argc) keep = argv[i + 1];
        if (std::string(argv[i]) == "--no-replay") replay = false;
    }
    Require(rows > 0, "ROWS must be positive");
    RequireOk(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "COM");

    const std::filesystem::path folder =
        keep.empty() ? std::filesystem::temp_directory_path() / "nivra-import-bench" : keep;
    std::filesystem::create_directories(folder);
    const std::string csv = (folder / "Log_Bench_Field_260412.csv").string();
    WriteCsv(csv, rows);
    {
        refhost::Client host;
        Require(host.Load(), "refhost.dll is not registered in this prefix");
        host.Reset();
        ComPtr<IvnTESK> driver = NewDriver();

        ComPtr<IvnImportTarget> store = host.Create<IvnImportTarget>("dataStore");
        const double importSeconds = TimedImport(host, driver.Get(), folder.string(), store.Get());
        const LONG calls = host.CallCount();

        // The same calls, made directly on the host's operation of that import.
        host.Reset();
        ComPtr<IvnOperation> operation = FirstOperation(store.Get());
        ComPtr<IkelUOMFactory> units = UnitsFactory();
        ComPtr<IvnProgress> progress = host.Create<IvnProgress>("progress");
        Stopwatch watch;
        for (long k = 0; replay && k < rows; ++k) ReplayRow(operation.Get(), units.Get(), progress.Get(), k);
        const double hostSeconds = watch.Seconds();

        std::printf("rows                 %ld\n", rows);
        std::printf("host calls           %ld (%.1f per row)\n", static_cast<long>(calls),
                    static_cast<double>(calls) / rows);
        std::printf("import               %.3f s, %.0f rows/s\n", importSeconds, rows / importSeconds);
        if (replay) {
            std::printf("host calls replayed  %.3f s\n", hostSeconds);
            std::printf("share inside host    %.0f %%\n", 100.0 * hostSeconds / importSeconds);
        }
        for (int i = 1; i < argc; ++i)
            if (std::string(argv[i]) == "--modules") {
                PrintModule(L"NivraTesk.dll");
                PrintModule(L"refhost.dll");
                PrintModule(L"import_bench.exe");
            }
        host.Reset();
    }
    if (keep.empty()) std::filesystem::remove_all(folder);
    CoUninitialize();
    return 0;
}

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const refhost::ControlError& e) {
        std::fprintf(stderr, "import_bench: %s\n", e.what());
        return 1;
    }
}
