// The commands of the command-line host. Each returns the process's exit status; failures
// are raised as CommandError with the text for the user.
#pragma once
#include <string>
#include <vector>

namespace nivrahost {

int RunDrivers(const std::vector<std::wstring>& args);
int RunList(const std::vector<std::wstring>& args);
int RunImport(const std::vector<std::wstring>& args);

}  // namespace nivrahost
