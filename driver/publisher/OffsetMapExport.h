// The offset map of one task: a prescription gridded by the host's surface, sampled cell by
// cell into a DSAA grid file in the destination folder, and on request also written as a
// shape file by the host's factory.
#pragma once
#include <string>

#include "host/HostInterfaces.h"
#include "publisher/PublishSettings.h"

namespace nivra {

// Host failures before the shape step are raised (HostCallError); a grid file that cannot be
// opened is skipped for that product; every failure of the shape step is dropped.
void ExportOffsetMap(const PublishSettings& settings, const std::string& gridFileName, IvnPrescription* prescription);

}  // namespace nivra
