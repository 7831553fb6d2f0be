// nivrahost publish PLAN.json DEST [--export-shapes] [--keep-text-data]: builds the host's
// catalog from a farm plan, publishes it through the driver's publisher into DEST and tells
// what was written.
#pragma once
#include <string>
#include <vector>

int RunPublish(const std::vector<std::wstring>& args);
