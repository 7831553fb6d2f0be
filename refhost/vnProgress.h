// The host's progress display: it remembers its range, every position and each finish.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnProgress : public HostObject<CvnProgress, IvnProgress> {
public:
    static constexpr const char* kClassName = "vnProgress";

    HRESULT STDMETHODCALLTYPE SetRange(LONG mode, double low, double high) override {
        HOST_CALL(IvnProgress, SetRange);
        ranges_.push_back({mode, low, high});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(double position, VARIANT_BOOL* result) override {
        HOST_CALL(IvnProgress, SetPosition);
        positions_.push_back(position);
        if (result) *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Finish() override {
        HOST_CALL(IvnProgress, Finish);
        ++finished_;
        return S_OK;
    }

    void Describe(Json& out) override {
        out = Json{{"ranges", ranges_}, {"positions", positions_}, {"finished", finished_}};
    }

private:
    Json ranges_ = Json::array();
    Json positions_ = Json::array();
    int finished_ = 0;
};

}  // namespace refhost
