// The class table: the five classes of the DLL in their fixed order. Only the creatable ones
// have a class object and registry entries; the others are made inside the DLL alone.
#include "com/ComObject.h"
#include "com/NivraTeskIds.h"
#include "descriptions/CDescriptions.h"
#include "import/CNivraTesk.h"
#include "module/Module.h"
#include "publisher/CNivraPublisher.h"

namespace nivra {

ClassEntry* ClassTable() {
    static ClassEntry table[kClassCount] = {
        {&CLSID_CDescription, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
        {&CLSID_CDescriptions, &CreateComInstance<CDescriptions>, L"NivraTesk.Descriptions.1",
         L"NivraTesk.Descriptions", L"CDescriptions Object", L"apartment", nullptr},
        {&CLSID_CNivraFile, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
        {&CLSID_CNivraTesk, &CreateComInstance<CNivraTesk>, L"NivraTesk.NIVRATESK.1", L"NivraTesk.NIVRATESK",
         L"CNivraTesk Object", L"apartment", nullptr},
        {&CLSID_CNivraPublisher, &CreateComInstanceNoAggregation<CNivraPublisher>, L"NivraTesk.NivraPublisher.1",
         L"NivraTesk.NivraPublisher", L"CNivraPublisher Object", L"", nullptr},
    };
    return table;
}

}  // namespace nivra
