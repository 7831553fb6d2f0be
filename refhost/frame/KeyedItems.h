// The items of a host collection in the order they were added, found by 1-based index or by
// key (the first item added with that key). An item may be null: the host has lost it.
#pragma once
#include "HostObject.h"

#include <unordered_map>
#include <vector>

namespace refhost {

template <typename T>
class KeyedItems {
public:
    void Add(const std::wstring& key, ComPtr<T> item) {
        firstOfKey_.emplace(key, items_.size());
        items_.push_back(std::move(item));
    }
    // An item reached only by its position.
    void Add(ComPtr<T> item) { items_.push_back(std::move(item)); }

    ComPtr<T> Find(const std::wstring& key) const {
        auto found = firstOfKey_.find(key);
        return found == firstOfKey_.end() ? nullptr : items_[found->second];
    }

    // VT_BSTR: the first item of that key; an integer: that position. Missing: S_OK, null.
    template <typename I>
    HRESULT GiveOutItem(const VARIANT& keyOrIndex, I** out) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        Key which;
        HRESULT hr = ReadKey(keyOrIndex, which);
        if (FAILED(hr)) return hr;
        if (which.isText) {
            auto found = firstOfKey_.find(which.text);
            return found == firstOfKey_.end() ? S_OK : GiveOut(items_[found->second], out);
        }
        if (which.index < 1 || static_cast<size_t>(which.index) > items_.size()) return S_OK;
        return GiveOut(items_[which.index - 1], out);
    }

    HRESULT GiveOutCount(LONG* count) const {
        if (!count) return E_POINTER;
        *count = static_cast<LONG>(items_.size());
        return S_OK;
    }

    // Every item's description, null for a lost one.
    Json Described() const {
        Json out = Json::array();
        for (const auto& item : items_) {
            Json one;
            if (item) item->Describe(one);
            out.push_back(std::move(one));
        }
        return out;
    }

private:
    std::vector<ComPtr<T>> items_;
    std::unordered_map<std::wstring, size_t> firstOfKey_;
};

}  // namespace refhost
