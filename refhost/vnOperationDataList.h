// The catalog's operations (their details objects), by 1-based index only: a text finds
// nothing. An entry may be null: an operation the host has lost answers null.
#pragma once
#include "frame/KeyedList.h"
#include "vnOperation.h"

namespace refhost {

class CvnOperationDataList
    : public CountedKeyedList<CvnOperationDataList, IvnOperationDataList, IvnOperationData, CvnOperation> {
public:
    static constexpr const char* kClassName = "vnOperationDataList";
    static constexpr const char* kInterfaceName = "IvnOperationDataList";

    HOST_RESERVED(IvnOperationDataList, 4)
};

}  // namespace refhost
