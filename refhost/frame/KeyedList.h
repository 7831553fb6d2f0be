// The shape of the host's lists: items in the order they were added, found by key or by
// 1-based position (KeyedItems). A list class names itself and its interface for the log:
//
//   class CvnFields : public CountedKeyedList<CvnFields, IvnFields, IvnField, CvnField> {
//   public:
//       static constexpr const char* kClassName = "vnFields";
//       static constexpr const char* kInterfaceName = "IvnFields";
//       HOST_RESERVED(IvnFields, 4)
//   };
#pragma once
#include "HostObject.h"
#include "KeyedItems.h"

#include <string>
#include <utility>

namespace refhost {

template <typename Derived, typename I, typename ItemInterface, typename Item>
class KeyedList : public HostObject<Derived, I> {
public:
    // VT_BSTR: the first item of that key; an integer: that position. Missing: S_OK, null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT keyOrIndex, ItemInterface** item) override {
        HOST_CALL_NAMED(Derived::kInterfaceName, I, get_Item);
        return items_.GiveOutItem(keyOrIndex, item);
    }

    void Describe(Json& out) override { out = items_.Described(); }

    // An item found by its key as well as by its position.
    void Add(const ComPtr<Item>& item) { items_.Add(item->Key(), item); }
    // An item found by its position only; null stands for one the host has lost.
    void AddUnkeyed(ComPtr<Item> item) { items_.Add(std::move(item)); }
    ComPtr<Item> Find(const std::wstring& key) const { return items_.Find(key); }

protected:
    KeyedItems<Item> items_;
};

// A list whose interface also counts its items.
template <typename Derived, typename I, typename ItemInterface, typename Item>
class CountedKeyedList : public KeyedList<Derived, I, ItemInterface, Item> {
public:
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        HOST_CALL_NAMED(Derived::kInterfaceName, I, get_Count);
        return this->items_.GiveOutCount(count);
    }
};

}  // namespace refhost
