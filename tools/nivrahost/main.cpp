// nivrahost: a command-line host for the driver. It finds the drivers registered for the
// host's driver manager, lists a terminal folder and imports it into the reference host,
// saving the host's store as JSON and the points as GeoJSON.
//
//   nivrahost drivers
//   nivrahost list FOLDER
//   nivrahost import FOLDER [FILE...] --store STORE.json [--geojson OUT.geojson] [--quiet]
//   nivrahost publish ...
#include <windows.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Commands.h"
#include "HostSession.h"
#include "PublishCommand.h"

namespace {

const wchar_t kUsage[] =
    L"usage: nivrahost drivers\n"
    L"       nivrahost list FOLDER\n"
    L"       nivrahost import FOLDER [FILE...] --store STORE.json [--geojson OUT.geojson] [--quiet]\n"
    L"       nivrahost publish ...\n";

int Dispatch(const std::wstring& command, const std::vector<std::wstring>& args) {
    if (command == L"drivers") return nivrahost::RunDrivers(args);
    if (command == L"list") return nivrahost::RunList(args);
    if (command == L"import") return nivrahost::RunImport(args);
    if (command == L"publish") return RunPublish(args);
    throw nivrahost::CommandError{L"unknown command " + command, 2};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The C runtime takes the local zone from the system, as the driver's dates do.
    _putenv("TZ=");
    _tzset();
    if (argc < 2 || std::wstring(argv[1]) == L"--help" || std::wstring(argv[1]) == L"-h") {
        std::fputws(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::vector<std::wstring> args(argv + 2, argv + argc);
    try {
        return Dispatch(argv[1], args);
    } catch (const nivrahost::CommandError& error) {
        std::fwprintf(stderr, L"nivrahost: %ls\n", error.message.c_str());
        if (error.status == 2) std::fputws(kUsage, stderr);
        return error.status;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nivrahost: %s\n", error.what());
        return 1;
    }
}
