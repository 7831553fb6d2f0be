// Conversion of a ticked log file through the converter library, loaded by full path from
// the driver module's own folder for each log and released right after the call.
#include <windows.h>
#include <shlwapi.h>

#include <cstring>

#include "com/ModuleServices.h"
#include "import/ImportSteps.h"

namespace nivra {
namespace {

using KorvexToCsv = std::int32_t(WINAPI*)(const char* inputPath, const char* outputPath, std::uint32_t skipPositionCheck,
                                          std::uint32_t skipReadingCheck);

constexpr std::uint32_t kSkipCheck = static_cast<std::uint32_t>(-1);

class LibraryHandle {
public:
    LibraryHandle() = default;
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;
    ~LibraryHandle() {
        if (module_) FreeLibrary(module_);
    }
    bool Load(const std::string& path) {
        module_ = LoadLibraryA(path.c_str());
        return module_ != nullptr;
    }
    FARPROC Find(const char* name) const { return GetProcAddress(module_, name); }

private:
    HMODULE module_ = nullptr;
};

// 0 when bound, -1 when the library cannot be loaded, -2 when it lacks the export.
int BindKorvex(const std::string& folder, LibraryHandle& library, KorvexToCsv& convert) {
    if (!library.Load(folder + "korvex.dll")) return -1;
    FARPROC proc = library.Find("korvexToCSV");
    if (!proc) return -2;
    convert = reinterpret_cast<KorvexToCsv>(reinterpret_cast<void*>(proc));
    return 0;
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

ConversionResult ConvertIfLog(const std::string& sourcePath) {
    if (!IsLogFile(sourcePath)) return {true, sourcePath};
    ConversionResult result{false, sourcePath.substr(0, sourcePath.size() - 4) + ".csv"};
    LibraryHandle library;
    KorvexToCsv convert = nullptr;
    std::string folder;
    if (!DriverModuleFolder(folder) || BindKorvex(folder, library, convert) != 0) return result;
    // Only the low 16 bits of the answer carry the result.
    const auto answer = static_cast<std::uint16_t>(convert(sourcePath.c_str(), result.dataPath.c_str(), kSkipCheck, kSkipCheck));
    result.converted = answer == 0;
    return result;
}

}  // namespace nivra
