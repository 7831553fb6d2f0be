// The GDAL/OGR vector driver "KorvexLog": a terminal log of either format opens as one
// read-only point layer, one feature per row of the log CSV that the conversion library
// writes for it.
#pragma once

namespace korvexgdal {

constexpr const char* kDriverName = "KorvexLog";

// Registers the driver with GDAL's driver manager (once; later calls do nothing).
void RegisterDriver();

}  // namespace korvexgdal
