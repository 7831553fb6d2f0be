#include "Commands.h"

#include <io.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "HostSession.h"
#include "Reports.h"
#include "TerminalProgress.h"

namespace nivrahost {
namespace {

using nivra::Bstr;

void Print(const std::wstring& text) { std::fwprintf(stdout, L"%ls\n", text.c_str()); }

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

void CheckHost(HRESULT hr, const std::wstring& what) {
    if (FAILED(hr)) throw CommandError{what + L" failed: " + HResultText(hr), 1};
}

std::wstring ExistingFolder(const std::wstring& given) {
    const std::wstring folder = FullPath(given);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw CommandError{L"no such folder: " + given, 2};
    return folder;
}

// The reference host's objects are made in the refhost.dll that COM loads for the host's classes.
refhost::Client& ReferenceHost() {
    static refhost::Client client;
    if (!client.Module() && !client.Load())
        throw CommandError{L"the reference host (refhost.dll) is not registered in this Wine prefix", 1};
    return client;
}

template <typename I>
ComPtr<I> NewHostObject(const char* kind) {
    try {
        return ReferenceHost().Create<I>(kind);
    } catch (const refhost::ControlError&) {
        throw CommandError{L"the reference host cannot make its objects", 1};
    }
}

struct Listing {
    ComPtr<IvnFileList> list;
    ComPtr<IvnFiles> files;
    LONG count = 0;
};

Listing ListFolder(IvnTESK* driver, const std::wstring& folder) {
    Listing listing;
    listing.list = NewHostObject<IvnFileList>("fileList");
    VARIANT_BOOL prepared = VARIANT_FALSE;
    CheckHost(driver->PrepareFileList(listing.list.Get(), &prepared), L"PrepareFileList");
    Bstr text(folder.c_str());
    CheckHost(driver->ListFiles(listing.list.Get(), text.Get(), 0, 0), L"ListFiles");
    ComPtr<IvnFileListModel> model;
    CheckHost(listing.list->get_Model(model.GetAddressOf()), L"the file list's model");
    CheckHost(model->get_Files(listing.files.GetAddressOf()), L"the file list's files");
    CheckHost(listing.files->get_Count(&listing.count), L"the number of files");
    return listing;
}

ComPtr<IvnFile> FileAt(const Listing& listing, LONG index) {
    ComPtr<IvnFile> file;
    CheckHost(listing.files->get_Item(*nivra::Variant::Int(index).Get(), file.GetAddressOf()), L"a listed file");
    if (!file) throw CommandError{L"the file list lost a file", 1};
    return file;
}

std::wstring FileName(IvnFile* file) {
    Bstr path;
    CheckHost(file->Path(path.Out()), L"a file's path");
    const std::wstring text = Text(path.Get());
    return text.substr(text.find_last_of(L'\\') + 1);
}

std::wstring SizeOf(IvnFile* file) {
    ComPtr<IvnProperties> properties;
    if (FAILED(file->Properties(properties.GetAddressOf())) || !properties) return L"?";
    VARIANT key;
    VariantInit(&key);
    key.vt = VT_BSTR;
    key.bstrVal = SysAllocString(L"Size");
    ComPtr<IvnProperty> size;
    HRESULT hr = properties->get_Item(key, size.GetAddressOf());
    VariantClear(&key);
    Bstr value;
    if (FAILED(hr) || !size || FAILED(size->get_Value(value.Out()))) return L"?";
    return Text(value.Get());
}

void SaveJson(const std::wstring& path, const Json& json, int indent) {
    std::ofstream out(std::filesystem::path(FullPath(path)), std::ios::binary | std::ios::trunc);
    // Streamed into the file rather than made into one string first: a store of a few hundred
    // thousand points is tens of megabytes of text, which a 32-bit process may not have twice.
    nlohmann::detail::serializer<Json> writer(nlohmann::detail::output_adapter<char>(out), ' ',
                                              Json::error_handler_t::replace);
    writer.dump(json, indent >= 0, false, indent >= 0 ? static_cast<unsigned>(indent) : 0u);
    out << '\n';
    out.close();
    if (!out) throw CommandError{L"cannot write " + path, 1};
}

struct ImportOptions {
    std::wstring folder;
    std::set<std::wstring> files;  // lower case; empty: every listed file
    std::wstring store;
    std::wstring geojson;
    bool quiet = false;
};

ImportOptions ParseImport(const std::vector<std::wstring>& args) {
    ImportOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--store" || arg == L"--geojson") {
            if (i + 1 >= args.size()) throw CommandError{arg + L" needs a file name", 2};
            (arg == L"--store" ? options.store : options.geojson) = args[++i];
        } else if (arg == L"--quiet") {
            options.quiet = true;
        } else if (arg.rfind(L"--", 0) == 0) {
            throw CommandError{L"unknown option " + arg, 2};
        } else if (options.folder.empty()) {
            options.folder = arg;
        } else {
            options.files.insert(Lower(arg));
        }
    }
    if (options.folder.empty()) throw CommandError{L"import needs a FOLDER", 2};
    if (options.store.empty()) throw CommandError{L"import needs --store STORE.json", 2};
    return options;
}

// Ticks the named files (all when none is named); every named file must be listed.
LONG TickFiles(const Listing& listing, const std::set<std::wstring>& names) {
    std::set<std::wstring> missing = names;
    LONG ticked = 0;
    for (LONG i = 1; i <= listing.count; ++i) {
        ComPtr<IvnFile> file = FileAt(listing, i);
        const std::wstring name = Lower(FileName(file.Get()));
        const bool tick = names.empty() || names.count(name) > 0;
        missing.erase(name);
        CheckHost(file->put_Selected(tick ? VARIANT_TRUE : VARIANT_FALSE), L"ticking a file");
        ticked += tick;
    }
    if (!missing.empty()) throw CommandError{L"not a log or CSV file of the folder: " + *missing.begin(), 2};
    return ticked;
}

}  // namespace

int RunDrivers(const std::vector<std::wstring>& args) {
    if (!args.empty()) throw CommandError{L"drivers takes no arguments", 2};
    ComApartment apartment;
    std::vector<RegisteredDriver> drivers = RegisteredDrivers();
    if (drivers.empty()) throw CommandError{L"no driver is registered under HKLM\\SOFTWARE\\VANDOR\\Drivers", 1};
    for (const RegisteredDriver& entry : drivers) {
        ComPtr<IvnTESKDescriptions> descriptions;
        try {
            descriptions = OpenDescriptions(entry);
        } catch (const CommandError& error) {
            Print(entry.key + L"  (" + entry.progId + L")");
            Print(L"    unusable: " + error.message);
            continue;
        }
        Bstr name, description, version;
        descriptions->Name(name.Out());
        descriptions->Description(description.Out());
        descriptions->Version(version.Out());
        Print(entry.key + L"  (" + entry.progId + L")");
        Print(L"    name         " + Text(name.Get()));
        Print(L"    description  " + Text(description.Get()));
        Print(L"    version      " + Text(version.Get()));
        LONG count = 0;
        descriptions->Count(&count);
        for (LONG i = 1; i <= count; ++i) {
            ComPtr<IvnTESKDescription> item;
            if (FAILED(descriptions->Item(*nivra::Variant::Int(i).Get(), item.GetAddressOf())) || !item) continue;
            Bstr itemName, progId, text;
            item->Name(itemName.Out());
            item->ProgID(progId.Out());
            item->Description(text.Out());
            Print(L"    driver " + std::to_wstring(i) + L"     " + Text(itemName.Get()) + L" (" + Text(progId.Get()) +
                  L"): " + Text(text.Get()));
        }
    }
    return 0;
}

int RunList(const std::vector<std::wstring>& args) {
    if (args.size() != 1) throw CommandError{L"list needs exactly one FOLDER", 2};
    const std::wstring folder = ExistingFolder(args[0]);
    ComApartment apartment;
    ComPtr<IvnTESK> driver = CreateFirstDriver();
    Listing listing = ListFolder(driver.Get(), folder);
    std::fwprintf(stdout, L"%-48ls %14ls\n", L"File", L"File Size");
    for (LONG i = 1; i <= listing.count; ++i) {
        ComPtr<IvnFile> file = FileAt(listing, i);
        std::fwprintf(stdout, L"%-48ls %14ls\n", FileName(file.Get()).c_str(), SizeOf(file.Get()).c_str());
    }
    std::fwprintf(stdout, L"%ld file(s)\n", static_cast<long>(listing.count));
    return 0;
}

int RunImport(const std::vector<std::wstring>& args) {
    const ImportOptions options = ParseImport(args);
    const std::wstring folder = ExistingFolder(options.folder);
    ComApartment apartment;
    ComPtr<IvnTESK> driver = CreateFirstDriver();
    Listing listing = ListFolder(driver.Get(), folder);
    const LONG ticked = TickFiles(listing, options.files);

    ComPtr<IvnImportTarget> store = NewHostObject<IvnImportTarget>("dataStore");
    TerminalProgress progress(!options.quiet && _isatty(_fileno(stderr)));
    VARIANT_BOOL result = VARIANT_FALSE;
    HRESULT hr = driver->ImportFiles(store.Get(), listing.files.Get(), &progress, &result);
    if (FAILED(hr)) throw CommandError{L"the import failed: " + HResultText(hr), 1};

    const Json described = Json::parse(ReferenceHost().Describe(store.Get()));
    // The reference host answers null when it cannot describe the store (out of memory).
    if (!described.is_object()) throw CommandError{L"the reference host could not describe the data store", 1};
    std::fwprintf(stdout, L"%ld file(s) ticked, %zu operation(s) imported\n", static_cast<long>(ticked),
                  described["catalog"]["operations"].size());
    std::fputs(OperationSummary(described).c_str(), stdout);
    SaveJson(options.store, described, 1);
    if (!options.geojson.empty()) SaveJson(options.geojson, PointsAsGeoJson(described), -1);
    return 0;
}

}  // namespace nivrahost
