// The import side of the driver behind CNivraTesk's import slots (IvnTESK slots 8-10): the
// file list (ImportFileList.cpp) and the run over the ticked files (ImportFiles.cpp). Every
// function raises the host-call error when a host call fails; the slots turn it into their
// HRESULT.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "host/HostInterfaces.h"

namespace nivra {

class CNivraTesk;

HRESULT PrepareFileList(IvnFileList* list, VARIANT_BOOL* result);
HRESULT ListFiles(IvnFileList* list, BSTR folder);
HRESULT ImportFiles(CNivraTesk& driver, IvnImportTarget* target, IvnFiles* files, IvnProgress* progress,
                    VARIANT_BOOL* result);

}  // namespace nivra
