// The five exports of the COM server (ordinals 1-5, from the .def file).
#include <windows.h>
#include <ole2.h>

#include "com/HostCall.h"
#include "module/Module.h"

using nivra::ComBoundary;
using nivra::Module;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (Module().InitFailed()) return FALSE;
        Module().SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: the system DLLs are still there to release into. At process
        // exit they may already be gone, so nothing is released then.
        Module().ReleaseCaches();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return Module().LockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (out) *out = nullptr;
    return ComBoundary([&] { return Module().GetClassObject(clsid, iid, out); });
}

STDAPI DllRegisterServer() {
    return ComBoundary([] { return Module().RegisterServer(); });
}

STDAPI DllUnregisterServer() {
    return ComBoundary([] { return Module().UnregisterServer(); });
}

}  // extern "C"
