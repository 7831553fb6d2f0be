// One value slot of a logged point: a measure in the unit of its data column, kept in the
// operation's value store.
#pragma once
#include "frame/HostObject.h"
#include "kelMeasure.h"

namespace refhost {

class CvnPointValue : public HostObject<CvnPointValue, IvnPointValue> {
public:
    static constexpr const char* kClassName = "vnPointValue";

    CvnPointValue(StoredMeasure* home, std::shared_ptr<void> keeper)
        : measure_(CkelMeasure::Make(home, std::move(keeper))) {}

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
    // Nobody but this slot holds it or its measure.
    bool Unshared() const { return References() == 1 && measure_->References() == 1; }
    void Rehome(StoredMeasure* home) { measure_->Rehome(home); }

private:
    ComPtr<CkelMeasure> measure_;
};

}  // namespace refhost
