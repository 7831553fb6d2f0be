// A rectangle (lowest and highest x and y): an operation's extent, with the time settings the
// driver gives it, or the extent of a gridded surface's cell centres.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnExtent : public HostObject<CvnExtent, IvnExtent> {
public:
    static constexpr const char* kClassName = "vnExtent";

    CvnExtent(double xMin = 0, double xMax = 0, double yMin = 0, double yMax = 0)
        : xMin_(xMin), xMax_(xMax), yMin_(yMin), yMax_(yMax) {}

    HRESULT STDMETHODCALLTYPE get_YMin(double* y) override {
        HOST_CALL(IvnExtent, get_YMin);
        return Give(yMin_, y);
    }
    HRESULT STDMETHODCALLTYPE get_YMax(double* y) override {
        HOST_CALL(IvnExtent, get_YMax);
        return Give(yMax_, y);
    }
    HRESULT STDMETHODCALLTYPE get_XMin(double* x) override {
        HOST_CALL(IvnExtent, get_XMin);
        return Give(xMin_, x);
    }
    HRESULT STDMETHODCALLTYPE get_XMax(double* x) override {
        HOST_CALL(IvnExtent, get_XMax);
        return Give(xMax_, x);
    }
    HRESULT STDMETHODCALLTYPE Slot12(LONG value) override {
        HOST_CALL(IvnExtent, Slot12);
        slot12_.push_back(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_TimeZoneHours(double hours) override {
        HOST_CALL(IvnExtent, put_TimeZoneHours);
        timeZoneHours_.push_back(hours);
        return S_OK;
    }
    HOST_RESERVED(IvnExtent, 3)
    HOST_RESERVED(IvnExtent, 8)
    HOST_RESERVED(IvnExtent, 9)
    HOST_RESERVED(IvnExtent, 10)
    HOST_RESERVED(IvnExtent, 11)
    HOST_RESERVED(IvnExtent, 13)
    HOST_RESERVED(IvnExtent, 14)
    HOST_RESERVED(IvnExtent, 15)
    HOST_RESERVED(IvnExtent, 16)
    HOST_RESERVED(IvnExtent, 17)
    HOST_RESERVED(IvnExtent, 18)
    HOST_RESERVED(IvnExtent, 19)
    HOST_RESERVED(IvnExtent, 20)
    HOST_RESERVED(IvnExtent, 21)
    HOST_RESERVED(IvnExtent, 22)

    void Describe(Json& out) override {
        out = Json{{"xMin", xMin_}, {"xMax", xMax_},     {"yMin", yMin_},
                   {"yMax", yMax_}, {"slot12", slot12_}, {"timeZoneHours", timeZoneHours_}};
    }

private:
    static HRESULT Give(double value, double* out) {
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }

    double xMin_, xMax_, yMin_, yMax_;
    Json slot12_ = Json::array();
    Json timeZoneHours_ = Json::array();
};

}  // namespace refhost
