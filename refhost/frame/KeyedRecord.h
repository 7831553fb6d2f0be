// The shape of the host's plain records (a product, a machine, a container, a data column):
// a key the driver reads back through the interface, and the details the record was created
// with, kept for Describe. A record class names itself and its interface for the log:
//
//   class CvnProduct : public KeyedRecord<CvnProduct, IvnProduct> {
//   public:
//       static constexpr const char* kClassName = "vnProduct";
//       static constexpr const char* kInterfaceName = "IvnProduct";
//       using KeyedRecord::KeyedRecord;
//   };
#pragma once
#include "HostObject.h"

#include <string>
#include <utility>

namespace refhost {

// `I` has get_Key at slot 3; `More` are further interfaces the record answers.
template <typename Derived, typename I, typename... More>
class KeyedRecord : public HostObject<Derived, I, More...> {
public:
    KeyedRecord(std::wstring key, Json details) : key_(std::move(key)), details_(std::move(details)) {}

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override {
        HOST_CALL_NAMED(Derived::kInterfaceName, I, get_Key);
        return CopyOut(key_, key);
    }

    void Describe(Json& out) override {
        out = details_;
        out["key"] = Utf8(key_);
    }
    const std::wstring& Key() const { return key_; }

private:
    std::wstring key_;
    Json details_;
};

}  // namespace refhost
