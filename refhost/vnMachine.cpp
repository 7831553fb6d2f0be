#include "vnMachine.h"

namespace refhost {

void CvnMachine::Describe(Json& out) {
    KeyedRecord::Describe(out);
    out["components"] = Json::array();
    for (const auto& component : components_)
        out["components"].push_back(DescribeOf(static_cast<IvnComponentParent*>(component.Get())));
    out["containers"] = Json::array();
    for (const auto& container : containers_)
        out["containers"].push_back(DescribeOf(static_cast<IvnContainer*>(container.Get())));
}

}  // namespace refhost
