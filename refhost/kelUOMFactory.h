// "kelUOMEngine.kelUOMFactory": makes units, the units context and measures, and remembers
// every request so tests can read back what the driver asked for. It has no running state
// of its own (no IRunnableObject), so putting it into the running state just succeeds.
#pragma once
#include "frame/HostObject.h"
#include "frame/Units.h"

#include <vector>

namespace refhost {

class CkelUOMFactory : public HostObject<CkelUOMFactory, IkelUOMFactory> {
public:
    static constexpr const char* kClassName = "kelUOMFactory";

    HOST_RESERVED(IkelUOMFactory, 3)
    HOST_RESERVED(IkelUOMFactory, 4)
    HRESULT STDMETHODCALLTYPE CreateUnit(LONG code, LONG perCode, IUnknown** unit) override;
    HOST_RESERVED(IkelUOMFactory, 6)
    HOST_RESERVED(IkelUOMFactory, 7)
    HOST_RESERVED(IkelUOMFactory, 8)
    HRESULT STDMETHODCALLTYPE CreateQuantity(LONG code, LONG perCode, IkelQuantity** quantity) override;
    HOST_RESERVED(IkelUOMFactory, 10)
    HOST_RESERVED(IkelUOMFactory, 11)
    HOST_RESERVED(IkelUOMFactory, 12)
    HOST_RESERVED(IkelUOMFactory, 13)
    HOST_RESERVED(IkelUOMFactory, 14)
    HOST_RESERVED(IkelUOMFactory, 15)
    HOST_RESERVED(IkelUOMFactory, 16)
    HRESULT STDMETHODCALLTYPE CreateMeasure(LONG code, LONG perCode, double value, IkelMeasure** measure) override;

    void Describe(Json& out) override;

private:
    struct Request {
        const char* what;
        Unit unit;
        double value;
    };
    std::vector<Request> requests_;
};

}  // namespace refhost
