// Applies a registry script resource of the DLL to the real registry (see RegistryScript.h
// for the script language and the register/unregister rules).
#pragma once
#include <windows.h>

#include "module/RegistryScript.h"

namespace nivra {

// The real registry behind the script interpreter.
class WindowsRegistry : public rgs::RegistryTarget {
public:
    long CreateKey(rgs::Root root, const std::wstring& path) override;
    long SetString(rgs::Root root, const std::wstring& path, const std::wstring& name, const std::wstring& data) override;
    long DeleteTree(rgs::Root root, const std::wstring& path) override;
};

// Loads the script resource (type "REGISTRY") `id` of `module`, read as ANSI text, and applies
// it with the replacements. A script that does not parse gives E_UNEXPECTED; a failing
// registry call gives its error as an HRESULT.
HRESULT ApplyRegistryResource(HMODULE module, UINT id, rgs::Mode mode, const rgs::Replacements& replacements);

}  // namespace nivra
