// The plugin's entry point: GDAL loads gdal_KorvexLog.so from its plugin folder (or from
// GDAL_DRIVER_PATH) and calls GDALRegister_KorvexLog.
#include "KorvexLogDriver.h"
#include "gdal_priv.h"

extern "C" __attribute__((visibility("default"))) void GDALRegister_KorvexLog() {
    if (!GDAL_CHECK_VERSION("KorvexLog")) return;
    korvexgdal::RegisterDriver();
}
