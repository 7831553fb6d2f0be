// The two publish options the host shows before a run ("Export", "ClearData") and how their
// values are read back.
#pragma once
#include "host/HostInterfaces.h"

namespace nivra {

// Adds both options with their captions and choices to `options`. Every call adds them
// again: the host's list is not searched for an earlier copy.
void AddPublishOptions(IvnProperties* options);

// True when the option `name` exists and its value is exactly `expected` (case-sensitive,
// compared as C texts). A missing option or a null value never matches.
bool OptionIs(IvnProperties* options, const wchar_t* name, const char* expected);

}  // namespace nivra
