// A component of a machine in the device model; it holds the data columns made for it.
#pragma once
#include "frame/HostObject.h"
#include "vnDataColumn.h"

#include <vector>

namespace refhost {

class CvnComponent : public HostObject<CvnComponent, IvnComponentParent> {
public:
    static constexpr const char* kClassName = "vnComponent";

    explicit CvnComponent(Json details) : details_(std::move(details)) {}

    void Describe(Json& out) override {
        out = details_;
        out["columns"] = Json::array();
        for (const auto& column : columns_)
            out["columns"].push_back(DescribeOf(static_cast<IvnDataColumn*>(column.Get())));
    }
    void AddColumn(ComPtr<CvnDataColumn> column) { columns_.push_back(std::move(column)); }
    const std::vector<ComPtr<CvnDataColumn>>& Columns() const { return columns_; }

private:
    Json details_;
    std::vector<ComPtr<CvnDataColumn>> columns_;
};

}  // namespace refhost
