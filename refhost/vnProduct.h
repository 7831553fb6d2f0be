// A product of the host's catalog, with everything it was created with.
#pragma once
#include "frame/KeyedRecord.h"

namespace refhost {

class CvnProduct : public KeyedRecord<CvnProduct, IvnProduct> {
public:
    static constexpr const char* kClassName = "vnProduct";
    static constexpr const char* kInterfaceName = "IvnProduct";

    using KeyedRecord::KeyedRecord;
};

}  // namespace refhost
