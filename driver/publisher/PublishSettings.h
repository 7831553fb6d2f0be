// What a publish run takes from the publisher object besides the catalog.
#pragma once
#include <string>

#include "host/HostInterfaces.h"

namespace nivra {

struct PublishSettings {
    std::string destinationFolder;     // ANSI text, used as it is
    IkelMeasure* cellSize = nullptr;   // grid cell size of the offset maps
    IvnProperties* options = nullptr;  // the publish options; may be null
};

}  // namespace nivra
