// Conversion of a ticked log file through the converter library, loaded by full path from
// the driver module's own folder for each log and released right after the call.
#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "com/ComOwners.h"
#include "com/ModuleServices.h"
#include "import/ImportSteps.h"

namespace nivra {
namespace {

using KorvexToCsv = std::int32_t(WINAPI*)(const char* inputPath, const char* outputPath,
                                          std::uint32_t skipPositionCheck, std::uint32_t skipReadingCheck);

constexpr std::uint32_t kSkipCheck = static_cast<std::uint32_t>(-1);

// False when the library cannot be loaded or lacks the export.
bool BindKorvex(const std::string& folder, Library& library, KorvexToCsv& convert) {
    library.Reset(LoadLibraryA((folder + "korvex.dll").c_str()));
    if (!library.IsOpen()) return false;
    FARPROC proc = GetProcAddress(library.Get(), "korvexToCSV");
    if (!proc) return false;
    convert = reinterpret_cast<KorvexToCsv>(reinterpret_cast<void*>(proc));
    return true;
}

bool IsLogFile(const std::string& path) { return std::strcmp(PathFindExtensionA(path.c_str()), ".log") == 0; }

}  // namespace

bool DriverModuleFolder(std::string& folder) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(ModuleInstance(), path, MAX_PATH);
    // A cut-off path names another folder: no library is bound from there.
    if (length == 0 || length >= MAX_PATH) return false;
    folder.assign(path, length);
    const std::size_t slash = folder.rfind('\\');
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return true;
}

std::string ConvertIfLog(const std::string& sourcePath) {
    if (!IsLogFile(sourcePath)) return sourcePath;
    const std::string dataPath = sourcePath.substr(0, sourcePath.size() - 4) + ".csv";
    Library library;
    KorvexToCsv convert = nullptr;
    std::string folder;
    if (!DriverModuleFolder(folder) || !BindKorvex(folder, library, convert)) return dataPath;
    // A failed conversion is not an error of the import: the CSV it left, or an older one
    // beside the log, is read as it is, and a missing one is skipped.
    convert(sourcePath.c_str(), dataPath.c_str(), kSkipCheck, kSkipCheck);
    return dataPath;
}

}  // namespace nivra
