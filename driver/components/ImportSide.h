// The import side of the driver: the file list and the import run (IvnTESK slots 8-10).
// CNivraTesk's slots forward here, so the import can grow in its own units without changing
// the driver object. Its per-driver state (the device model made once per driver) lives in
// ImportState, which the import side defines, creates on first use and destroys.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <memory>

struct IvnFileList;
struct IvnFiles;
struct IvnImportTarget;
struct IvnProgress;

namespace nivra {

class CNivraTesk;

struct ImportState;
struct ImportStateDeleter {
    void operator()(ImportState* state) const;
};
using ImportStatePtr = std::unique_ptr<ImportState, ImportStateDeleter>;

HRESULT PrepareFileList(CNivraTesk& driver, IvnFileList* list, VARIANT_BOOL* result);
HRESULT ListFiles(CNivraTesk& driver, IvnFileList* list, BSTR folder);
HRESULT ImportFiles(CNivraTesk& driver, IvnImportTarget* target, IvnFiles* files, IvnProgress* progress,
                    VARIANT_BOOL* result);

}  // namespace nivra
