// The catalog's products, found by key (VT_BSTR) or 1-based index.
#pragma once
#include "HostObject.h"
#include "vnProduct.h"

#include <vector>

namespace refhost {

class CvnProductList : public HostObject<CvnProductList, IvnProductList> {
public:
    static constexpr const char* kClassName = "vnProductList";

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IvnProduct** product) override {
        HOST_CALL(IvnProductList, get_Item);
        if (!product) return E_POINTER;
        *product = nullptr;
        Key which;
        HRESULT hr = ReadKey(key, which);
        if (FAILED(hr)) return hr;
        return GiveOut(Find(which), product);
    }

    void Describe(Json& out) override {
        out = Json::array();
        for (const auto& product : products_) out.push_back(DescribeOf(static_cast<IvnProduct*>(product.Get())));
    }
    void Add(ComPtr<CvnProduct> product) { products_.push_back(std::move(product)); }

private:
    ComPtr<CvnProduct> Find(const Key& key) const {
        if (!key.isText)
            return key.index >= 1 && static_cast<size_t>(key.index) <= products_.size() ? products_[key.index - 1] : nullptr;
        for (const auto& product : products_)
            if (product->Key() == key.text) return product;
        return nullptr;
    }

    std::vector<ComPtr<CvnProduct>> products_;
};

}  // namespace refhost
