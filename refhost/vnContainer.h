// A container of the device model, with everything it was created with.
#pragma once
#include "frame/KeyedRecord.h"

namespace refhost {

class CvnContainer : public KeyedRecord<CvnContainer, IvnContainer> {
public:
    static constexpr const char* kClassName = "vnContainer";
    static constexpr const char* kInterfaceName = "IvnContainer";

    using KeyedRecord::KeyedRecord;
};

}  // namespace refhost
