// The value slots of one logged point, one per data column of the machines attached to its
// operation, found by the column's key. The values themselves live in the operation's value
// store, so a point costs its values and nothing more; the slot objects of the latest point
// move on to the next one when nobody else holds them.
#pragma once
#include "frame/HostObject.h"
#include "vnPointValue.h"

#include <deque>
#include <memory>
#include <vector>

namespace refhost {

// The data columns a point has values for: key and unit of each.
struct ValueColumn {
    std::wstring key;
    Unit unit;
};
using ValueLayout = std::vector<ValueColumn>;
// Every value of an operation's points; elements never move once added.
using ValueStore = std::deque<StoredMeasure>;

class CvnPointValues : public HostObject<CvnPointValues, IvnPointValues> {
public:
    static constexpr const char* kClassName = "vnPointValues";

    // The slots of the point whose values start at store[first].
    CvnPointValues(std::shared_ptr<const ValueLayout> layout, std::shared_ptr<ValueStore> store, std::size_t first)
        : layout_(std::move(layout)), store_(std::move(store)), first_(first) {
        slots_.reserve(layout_->size());
        for (std::size_t i = 0; i < layout_->size(); ++i)
            slots_.push_back(CvnPointValue::Make(&(*store_)[first + i], store_));
    }

    // VT_BSTR column key; a key without a slot answers S_OK with null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IvnPointValue** value) override {
        HOST_CALL(IvnPointValues, get_Item);
        if (!value) return E_POINTER;
        *value = nullptr;
        if (key.vt != VT_BSTR) {
            Key which;
            return ReadKey(key, which);  // an index finds no slot
        }
        const std::size_t length = key.bstrVal ? SysStringLen(key.bstrVal) : 0;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            const std::wstring& slotKey = (*layout_)[i].key;
            if (slotKey.size() == length && slotKey.compare(0, length, key.bstrVal ? key.bstrVal : L"", length) == 0)
                return GiveOut(slots_[i], value);
        }
        return S_OK;
    }

    void Describe(Json& out) override { out = Described(*layout_, *store_, first_); }
    static Json Described(const ValueLayout& layout, const ValueStore& store, std::size_t first) {
        Json out = Json::object();
        for (std::size_t i = 0; i < layout.size(); ++i) out[Utf8(layout[i].key)] = refhost::Described(store[first + i]);
        return out;
    }

    const std::shared_ptr<const ValueLayout>& Layout() const { return layout_; }
    std::size_t First() const { return first_; }
    // Nobody but the operation holds these slots or their measures.
    bool Unshared() const {
        if (References() != 1) return false;
        for (const auto& slot : slots_)
            if (!slot->Unshared()) return false;
        return true;
    }
    // The same slots for the point whose values start at store[first].
    void MoveTo(std::size_t first) {
        first_ = first;
        for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i]->Rehome(&(*store_)[first + i]);
    }

private:
    std::shared_ptr<const ValueLayout> layout_;
    std::shared_ptr<ValueStore> store_;
    std::size_t first_;
    std::vector<ComPtr<CvnPointValue>> slots_;
};

}  // namespace refhost
