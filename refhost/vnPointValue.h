// One value slot of a logged point: a measure in the unit of its data column.
#pragma once
#include "HostObject.h"
#include "kelMeasure.h"

namespace refhost {

class CvnPointValue : public HostObject<CvnPointValue, IvnPointValue> {
public:
    static constexpr const char* kClassName = "vnPointValue";

    CvnPointValue(std::wstring key, Unit unit) : key_(std::move(key)), measure_(CkelMeasure::Make(unit, 0.0)) {}

    HRESULT STDMETHODCALLTYPE get_Measure(IkelMeasure** measure) override {
        HOST_CALL(IvnPointValue, get_Measure);
        return GiveOut(measure_, measure);
    }
    HOST_RESERVED(IvnPointValue, 3)
    HOST_RESERVED(IvnPointValue, 4)
    HOST_RESERVED(IvnPointValue, 5)
    HOST_RESERVED(IvnPointValue, 6)
    HOST_RESERVED(IvnPointValue, 7)

    void Describe(Json& out) override { measure_->Describe(out); }
    const std::wstring& Key() const { return key_; }

private:
    std::wstring key_;
    ComPtr<CkelMeasure> measure_;
};

}  // namespace refhost
