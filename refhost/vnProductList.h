// The catalog's products, found by key (VT_BSTR, the first product of that key) or 1-based
// index.
#pragma once
#include "frame/HostObject.h"
#include "frame/KeyedItems.h"
#include "vnProduct.h"

namespace refhost {

class CvnProductList : public HostObject<CvnProductList, IvnProductList> {
public:
    static constexpr const char* kClassName = "vnProductList";

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IvnProduct** product) override {
        HOST_CALL(IvnProductList, get_Item);
        return products_.GiveOutItem(key, product);
    }

    void Describe(Json& out) override { out = products_.Described(); }
    void Add(const ComPtr<CvnProduct>& product) { products_.Add(product->Key(), product); }

private:
    KeyedItems<CvnProduct> products_;
};

}  // namespace refhost
