// Call accounting and the failure switch of the reference host, shared by all its objects.
#pragma once
#include <windows.h>

namespace refhost {

// One place in the host that takes calls, registered once: its interned name
// ("Interface.Method") and interface.
struct CallSite {
    unsigned short id;
    const char* name;
    const IID* iid;
};
CallSite RegisterCall(const char* interfaceName, const char* method, const IID& iid);

// Counts one host call and logs it; answers the injected HRESULT when the failure switch is
// armed for exactly this call, else S_OK.
HRESULT EnterCall(const CallSite& site);

// The live-object counter of a class; it lives as long as the module.
LONG& LiveCounter(const char* className);
LONG LiveObjects();

// Classes can be switched off so that tests see a host without them.
bool ClassEnabled(const wchar_t* progId);

}  // namespace refhost
