// ImportFiles: the run over the files the user ticked, with its progress and the summary.
#include <windows.h>

#include "import/CNivraTesk.h"
#include "import/ImportSide.h"
#include "import/ImportSteps.h"

namespace nivra {

namespace {

// What belongs to one ImportFiles call is given back when the call ends, however it ends;
// only the device model stays with the driver object.
class CallScope {
public:
    explicit CallScope(ImportState& state) : state_(state) {}
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
    ~CallScope() {
        state_.operation.Reset();
        state_.field.Reset();
        state_.unknownProduct.Reset();
        state_.dataStore.Reset();
    }

private:
    ImportState& state_;
};

LONG FileCount(IvnFiles* files) {
    LONG count = 0;
    Check(files->get_Count(&count), files);
    return count;
}

ComPtr<IvnFile> FileAt(IvnFiles* files, LONG index) {
    Variant position = Variant::Int(index, VT_I4);
    ComPtr<IvnFile> file;
    Check(files->get_Item(*position.Get(), file.GetAddressOf()), files);
    Required(file);
    return file;
}

// The path of a ticked file; empty when the file is not ticked.
bool TickedPath(IvnFile* file, std::string& path) {
    VARIANT_BOOL selected = VARIANT_FALSE;
    Check(file->get_Selected(&selected), file);
    if (selected != VARIANT_TRUE) return false;
    Bstr text;
    Check(file->Path(text.Out()), file);
    path = BstrToAnsi(text.Get());
    return true;
}

// The low 32 bits of the size of the file at `path`; 0 when it cannot be found.
std::uint32_t LowSizeOnDisk(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

std::int32_t TotalOfTickedFiles(IvnFiles* files) {
    std::uint32_t total = 0;
    for (LONG i = 1; i <= FileCount(files); ++i) {
        std::string path;
        if (TickedPath(FileAt(files, i).Get(), path)) total += LowSizeOnDisk(path);
    }
    return static_cast<std::int32_t>(total);
}

void ImportOne(ImportState& state, const UnitsEngine& units, const std::string& path, IvnProgress* progress,
               std::int32_t& counter) {
    state.sourcePath = path;
    const std::string dataPath = ConvertIfLog(state.sourcePath);
    ReadFieldsFile(state);
    ReadCsvFile(state, units, progress, counter, dataPath);
}

}  // namespace

HRESULT ImportFiles(CNivraTesk& driver, IvnImportTarget* target, IvnFiles* files, IvnProgress* progress,
                    VARIANT_BOOL* result) {
    Required(target);
    Required(files);
    Required(progress);
    ImportState& state = driver.Import();
    CallScope scope(state);
    const UnitsEngine units{driver.UnitsFactory(), driver.UnitsContext()};
    state.dataStore = QueryOptional<IvnDataStore>(target);

    Check(progress->SetRange(2, 0.0, static_cast<double>(TotalOfTickedFiles(files))), progress);
    std::int32_t counter = 0;
    for (LONG i = 1; i <= FileCount(files); ++i) {
        std::string path;
        if (TickedPath(FileAt(files, i).Get(), path)) ImportOne(state, units, path, progress, counter);
    }
    Check(progress->Finish(), progress);
    RequestSummary(target);

    if (!result) return E_INVALIDARG;
    *result = VARIANT_TRUE;
    return S_OK;
}

}  // namespace nivra
