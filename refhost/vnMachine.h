// A machine of the device model. It can parent components and containers, unless the store
// was told to make machines that decline those roles.
#pragma once
#include "frame/HostObject.h"
#include "vnComponent.h"
#include "vnContainer.h"

#include <vector>

namespace refhost {

class CvnMachine : public HostObject<CvnMachine, IvnMachine, IvnComponentParent, IvnContainerParent> {
public:
    static constexpr const char* kClassName = "vnMachine";

    CvnMachine(std::wstring key, Json details, bool isParent) : key_(std::move(key)), details_(std::move(details)), isParent_(isParent) {}

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override {
        HOST_CALL(IvnMachine, get_Key);
        return CopyOut(key_, key);
    }
    bool Declines(REFIID riid) const {
        return !isParent_ && (riid == __uuidof(IvnComponentParent) || riid == __uuidof(IvnContainerParent));
    }

    void Describe(Json& out) override;
    const std::wstring& Key() const { return key_; }
    void AddComponent(ComPtr<CvnComponent> component) { components_.push_back(std::move(component)); }
    void AddContainer(ComPtr<CvnContainer> container) { containers_.push_back(std::move(container)); }
    const std::vector<ComPtr<CvnComponent>>& Components() const { return components_; }

private:
    std::wstring key_;
    Json details_;
    bool isParent_;
    std::vector<ComPtr<CvnComponent>> components_;
    std::vector<ComPtr<CvnContainer>> containers_;
};

}  // namespace refhost
