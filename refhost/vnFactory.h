// "VANDOR.vnFactory": writes a prescription (or the prescription behind a gridded surface)
// as an ESRI shapefile: one polygon per rate zone in the .shp with its .shx index, and a
// .dbf table with the zone number and one rate column per product.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnFactory : public HostObject<CvnFactory, IvnFactory> {
public:
    static constexpr const char* kClassName = "vnFactory";
    void Describe(Json& out) override { out = Json::object(); }

    // S_OK with VARIANT_TRUE once all three files are written; E_INVALIDARG for a foreign
    // prescription; a file that cannot be written is E_FAIL with VARIANT_FALSE.
    HRESULT STDMETHODCALLTYPE WriteShapeFile(BSTR path, IvnPrescription* prescription, VARIANT_BOOL* written) override;
    HOST_RESERVED(IvnFactory, 3)
    HOST_RESERVED(IvnFactory, 4)
    HOST_RESERVED(IvnFactory, 5)
    HOST_RESERVED(IvnFactory, 6)
    HOST_RESERVED(IvnFactory, 7)
    HOST_RESERVED(IvnFactory, 8)
    HOST_RESERVED(IvnFactory, 9)
    HOST_RESERVED(IvnFactory, 10)
    HOST_RESERVED(IvnFactory, 11)
    HOST_RESERVED(IvnFactory, 12)
    HOST_RESERVED(IvnFactory, 13)
};

}  // namespace refhost
