// What an operation hands back when something is attached to it (a product, a machine, a
// load of a container) or a marker kind is declared: a record that answers IvnOperationLoad.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnOperationEntry : public HostObject<CvnOperationEntry, IvnOperationLoad> {
public:
    static constexpr const char* kClassName = "vnOperationEntry";

    explicit CvnOperationEntry(Json details) : details_(std::move(details)) {}

    void Describe(Json& out) override { out = details_; }

private:
    Json details_;
};

}  // namespace refhost
