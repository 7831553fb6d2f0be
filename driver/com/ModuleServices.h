// What the COM frame and the classes built on it need from the DLL's module object: the lock
// count that decides whether the DLL may be unloaded, the module's handle and path, and the
// type information of the registered type library. module/Module.cpp defines them over the
// one module object, so that nothing below the module includes it.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace nivra {

void LockModule();
void UnlockModule();

// The module holding the driver's code (the DLL, or the test program it is linked into).
HINSTANCE ModuleInstance();

// The DLL's full path (260-character buffer). ERROR_INSUFFICIENT_BUFFER as an HRESULT when the
// path fills the buffer.
HRESULT ModulePath(std::wstring& path);

// Type information of `guid` from the type library registered under the DLL's library id,
// looked up on first use and kept until unload. Returns a new reference.
HRESULT RegisteredTypeInfo(REFGUID guid, ITypeInfo** out);

// Type information of `guid` from the type library stored in the DLL file itself, loaded on
// first use and kept until unload. Returns a new reference.
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** out);

}  // namespace nivra
