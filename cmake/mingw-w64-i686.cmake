# i686 Windows (the shipped 32-bit DLLs), win32 thread model, C++ runtime linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NIVRA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Every double is computed in SSE2 registers, rounded to 53 bits as on x86_64, whatever
# precision the host process has set on the x87: the x87's 64-bit default (how mingw-w64
# programs start) rounds some results twice and changes the last digit of a value.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# Where this build's system programs (regsvr32, cscript) live in a 64-bit prefix.
set(NIVRA_WINDOWS_SYSTEM_FOLDER syswow64 CACHE INTERNAL "")
