// Stand-in for the import side until it is built: the three import slots are not available
// yet and answer E_NOTIMPL. The build drops this unit once the import side lists its own units.
#include "ImportSide.h"

namespace nivra {

struct ImportState {};

void ImportStateDeleter::operator()(ImportState* state) const { delete state; }

HRESULT PrepareFileList(CNivraTesk&, IvnFileList*, VARIANT_BOOL*) { return E_NOTIMPL; }
HRESULT ListFiles(CNivraTesk&, IvnFileList*, BSTR) { return E_NOTIMPL; }
HRESULT ImportFiles(CNivraTesk&, IvnImportTarget*, IvnFiles*, IvnProgress*, VARIANT_BOOL*) { return E_NOTIMPL; }

}  // namespace nivra
