// A machine of the device model. It can parent components and containers, unless the store
// was told to make machines that decline those roles.
#pragma once
#include "frame/KeyedRecord.h"
#include "vnComponent.h"
#include "vnContainer.h"

#include <vector>

namespace refhost {

class CvnMachine : public KeyedRecord<CvnMachine, IvnMachine, IvnComponentParent, IvnContainerParent> {
public:
    static constexpr const char* kClassName = "vnMachine";
    static constexpr const char* kInterfaceName = "IvnMachine";

    CvnMachine(std::wstring key, Json details, bool isParent)
        : KeyedRecord(std::move(key), std::move(details)), isParent_(isParent) {}

    bool Declines(REFIID riid) const {
        return !isParent_ && (riid == __uuidof(IvnComponentParent) || riid == __uuidof(IvnContainerParent));
    }

    void Describe(Json& out) override;
    void AddComponent(ComPtr<CvnComponent> component) { components_.push_back(std::move(component)); }
    void AddContainer(ComPtr<CvnContainer> container) { containers_.push_back(std::move(container)); }
    const std::vector<ComPtr<CvnComponent>>& Components() const { return components_; }

private:
    bool isParent_;
    std::vector<ComPtr<CvnComponent>> components_;
    std::vector<ComPtr<CvnContainer>> containers_;
};

}  // namespace refhost
