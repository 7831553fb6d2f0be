// Call accounting and the failure switch of the reference host, shared by all its objects.
#pragma once
#include <windows.h>

namespace refhost {

// Counts one host call and logs its name; answers the injected HRESULT when the failure
// switch is armed for exactly this call, else S_OK.
HRESULT EnterCall(const char* name, const IID& iid);

void ObjectCreated(const char* className);
void ObjectDestroyed(const char* className);
LONG LiveObjects();

// Classes can be switched off so that tests see a host without them.
bool ClassEnabled(const wchar_t* progId);

}  // namespace refhost
