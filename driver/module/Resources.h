// Resource ids of the DLL, shared by the resource script and the code.
#pragma once

#define IDS_PROJNAME 100
#define IDR_MODULE_SCRIPT 101
#define IDR_CLASS_SCRIPT 102
