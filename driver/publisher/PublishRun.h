// The publish run: the host's field tree, crops, operations and prescriptions turned into the
// terminal's four text files and one offset map per task with a prescription.
#pragma once
#include "host/HostInterfaces.h"
#include "publisher/PublishSettings.h"
#include "publisher/TextStore.h"

namespace nivra {

// Fills `store` from `catalog` (after reading the old files back when "ClearData" is "No"),
// writes the offset maps and then the four text files. Answers whether all four text files
// were written. A failing host call is raised as HostCallError and ends the run before any
// text file is written.
bool PublishCatalog(TextStore& store, const PublishSettings& settings, IvnCatalog* catalog);

}  // namespace nivra
