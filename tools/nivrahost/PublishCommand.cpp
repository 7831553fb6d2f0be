#include "PublishCommand.h"

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "com/HostCall.h"
#include "HostSession.h"
#include "PublishPlan.h"

using nivrahost::CommandError;

namespace {

using Microsoft::WRL::ComPtr;
using Json = nlohmann::json;

struct PublishArguments {
    std::wstring plan;
    std::wstring destination;
    bool exportShapes = false;
    bool keepTextData = false;
};

PublishArguments ParseArguments(const std::vector<std::wstring>& args) {
    PublishArguments parsed;
    std::vector<std::wstring> positional;
    for (const std::wstring& arg : args) {
        if (arg == L"--export-shapes") parsed.exportShapes = true;
        else if (arg == L"--keep-text-data") parsed.keepTextData = true;
        else if (arg.rfind(L"--", 0) == 0) throw CommandError{L"publish: unknown option " + arg, 2};
        else positional.push_back(arg);
    }
    if (positional.size() != 2) throw CommandError{L"publish needs PLAN.json and DEST", 2};
    parsed.plan = positional[0];
    parsed.destination = positional[1];
    return parsed;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string ReadPlanText(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) throw CommandError{L"cannot read the plan " + path, 1};
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw CommandError{L"cannot read the plan " + path, 1};
    return text;
}

Json CatalogSettings(const std::wstring& planPath) {
    std::string text = ReadPlanText(planPath);
    try {
        return nivrahost::CatalogFromPlanText(text);
    } catch (const nivrahost::PlanError& error) {
        throw CommandError{L"bad plan " + planPath + L" at " + FromUtf8(error.what()), 1};
    }
}

// The destination folder, made with its parents when it is missing.
void RequireFolder(const std::wstring& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(folder), ignored);
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw CommandError{L"the destination " + folder + L" is not a folder", 1};
}

refhost::Client& ReferenceHostModule() {
    static refhost::Client client;
    if (!client.Module() && !client.Load())
        throw CommandError{L"the reference host (refhost.dll) is not registered", 1};
    return client;
}

ComPtr<IvnCatalog> MakeCatalog(const Json& settings) {
    using Create = HRESULT (*)(const char*, IUnknown**, char*, LONG);
    FARPROC proc = GetProcAddress(ReferenceHostModule().Module(), "RefHostCreatePublishCatalog");
    if (!proc) throw CommandError{L"the reference host has no publishing catalog", 1};
    auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(proc));
    ComPtr<IUnknown> object;
    char error[1024] = {};
    HRESULT hr = create(settings.dump().c_str(), object.GetAddressOf(), error, sizeof error);
    if (FAILED(hr))
        throw CommandError{L"the catalog cannot be built: " + FromUtf8(error) + L" " + nivrahost::HResultText(hr), 1};
    ComPtr<IvnCatalog> catalog;
    if (FAILED(object.As(&catalog))) throw CommandError{L"the catalog answers no IvnCatalog", 1};
    return catalog;
}

// The user's answers on the option page, as the host records them.
void ChooseOption(IvnProperties* options, const wchar_t* name, const char* value) {
    ComPtr<IvnProperty> option;
    nivra::Variant key = nivra::Variant::Text(name);
    HRESULT hr = options->get_Item(*key.Get(), option.GetAddressOf());
    if (FAILED(hr) || !option) throw CommandError{std::wstring(L"the publisher offers no option ") + name, 1};
    hr = ReferenceHostModule().Configure(option.Get(), Json{{"value", value}}.dump());
    if (FAILED(hr)) throw CommandError{std::wstring(L"the option ") + name + L" cannot be set", 1};
}

ComPtr<IvnPublisher> MakePublisher(const PublishArguments& args, const std::wstring& destination) {
    ComPtr<IvnPublisher> publisher;
    HRESULT hr = nivra::TryCreateByProgId(L"NivraTesk.NivraPublisher", publisher);
    if (FAILED(hr) || !publisher)
        throw CommandError{L"the publisher cannot be created: " + nivrahost::HResultText(hr), 1};
    nivra::Bstr folder(destination.c_str());
    publisher->put_DestinationFolder(folder.Get());
    ComPtr<IvnProperties> options;
    hr = publisher->get_Options(options.GetAddressOf());
    if (FAILED(hr) || !options)
        throw CommandError{L"the publisher offers no options: " + nivrahost::HResultText(hr), 1};
    ChooseOption(options.Get(), L"Export", args.exportShapes ? "Yes" : "No");
    ChooseOption(options.Get(), L"ClearData", args.keepTextData ? "No" : "Yes");
    return publisher;
}

// The files of a folder with their last write times, to tell afterwards what a run wrote.
std::map<std::wstring, ULONGLONG> FolderFiles(const std::wstring& folder) {
    std::map<std::wstring, ULONGLONG> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files[found.cFileName] =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

}  // namespace

int RunPublish(const std::vector<std::wstring>& args) {
    PublishArguments parsed = ParseArguments(args);
    Json settings = CatalogSettings(nivrahost::FullPath(parsed.plan));
    std::wstring destination = nivrahost::FullPath(parsed.destination);
    RequireFolder(destination);

    nivrahost::ComApartment com;
    ComPtr<IvnCatalog> catalog = MakeCatalog(settings);
    ComPtr<IvnPublisher> publisher = MakePublisher(parsed, destination);
    std::map<std::wstring, ULONGLONG> before = FolderFiles(destination);
    // Write times are coarse: a file rewritten within the same tick still counts as written.
    Sleep(20);
    VARIANT_BOOL ok = VARIANT_FALSE;
    HRESULT hr = publisher->Publish(catalog.Get(), 0, 0, &ok);
    if (FAILED(hr)) throw CommandError{L"publishing failed: " + nivrahost::HResultText(hr), 1};

    for (const auto& file : FolderFiles(destination)) {
        auto old = before.find(file.first);
        if (old == before.end() || old->second != file.second)
            std::wprintf(L"wrote %ls\\%ls\n", destination.c_str(), file.first.c_str());
    }
    if (ok != VARIANT_TRUE) throw CommandError{L"not every text file could be written to " + destination, 1};
    return 0;
}
