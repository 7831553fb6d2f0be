// The catalog's crops, found by key (the first crop of that key) or 1-based index.
#pragma once
#include "frame/KeyedList.h"
#include "vnCrop.h"

namespace refhost {

class CvnCropList : public CountedKeyedList<CvnCropList, IvnCropList, IvnCrop, CvnCrop> {
public:
    static constexpr const char* kClassName = "vnCropList";
    static constexpr const char* kInterfaceName = "IvnCropList";

    HOST_RESERVED(IvnCropList, 4)
};

}  // namespace refhost
