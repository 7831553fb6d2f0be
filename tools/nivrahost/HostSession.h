// What the command-line host sets up around a driver: COM on its thread, the drivers found
// through the registry as the host's driver manager finds them, and the reference host's
// objects (file list, data store) that a real host would bring.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "com/ComOwners.h"
#include "host/DriverInterfaces.h"
#include "host/HostInterfaces.h"
#include "RefHostControl.h"

namespace nivrahost {

using Microsoft::WRL::ComPtr;

// A command's failure, with the text shown to the user and the exit status.
struct CommandError {
    std::wstring message;
    int status;
};

// COM for the command's thread, released on every path.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

// One entry under HKLM\SOFTWARE\VANDOR\Drivers.
struct RegisteredDriver {
    std::wstring key;     // the registry key's name
    std::wstring progId;  // of its description collection
};
std::vector<RegisteredDriver> RegisteredDrivers();

ComPtr<IvnTESKDescriptions> OpenDescriptions(const RegisteredDriver& entry);

// The first registered driver whose description collection creates a driver object.
ComPtr<IvnTESK> CreateFirstDriver();

std::wstring Text(BSTR text);
std::wstring HResultText(HRESULT hr);

// A Linux-style or Windows path as given on the command line, ready for the driver.
std::wstring FullPath(const std::wstring& path);

}  // namespace nivrahost
