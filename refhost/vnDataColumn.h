// A data column of the device model: the key of a value slot in every logged point.
#pragma once
#include "frame/HostObject.h"
#include "frame/Units.h"

namespace refhost {

class CvnDataColumn : public HostObject<CvnDataColumn, IvnDataColumn> {
public:
    static constexpr const char* kClassName = "vnDataColumn";

    CvnDataColumn(std::wstring key, Unit unit, Json details) : key_(std::move(key)), unit_(unit), details_(std::move(details)) {}

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override {
        HOST_CALL(IvnDataColumn, get_Key);
        return CopyOut(key_, key);
    }

    void Describe(Json& out) override {
        out = details_;
        out["key"] = Utf8(key_);
        out["unit"] = SymbolOf(unit_);
    }
    const std::wstring& Key() const { return key_; }
    const Unit& UnitOf() const { return unit_; }

private:
    std::wstring key_;
    Unit unit_;
    Json details_;
};

}  // namespace refhost
