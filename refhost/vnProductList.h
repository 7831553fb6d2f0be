// The catalog's products, found by key (VT_BSTR, the first product of that key) or 1-based
// index.
#pragma once
#include "frame/KeyedList.h"
#include "vnProduct.h"

namespace refhost {

class CvnProductList : public KeyedList<CvnProductList, IvnProductList, IvnProduct, CvnProduct> {
public:
    static constexpr const char* kClassName = "vnProductList";
    static constexpr const char* kInterfaceName = "IvnProductList";
};

}  // namespace refhost
