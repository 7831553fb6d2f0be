// The nodes of the host's field tree, in order of creation; by key (the first node of that
// key) or 1-based index.
#pragma once
#include "frame/KeyedList.h"
#include "vnField.h"

namespace refhost {

class CvnFields : public CountedKeyedList<CvnFields, IvnFields, IvnField, CvnField> {
public:
    static constexpr const char* kClassName = "vnFields";
    static constexpr const char* kInterfaceName = "IvnFields";

    HOST_RESERVED(IvnFields, 4)
};

}  // namespace refhost
