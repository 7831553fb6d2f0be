// The file list before an import: the "File Size" column, and one file object per log file
// and then per CSV file of the chosen folder, each with its size.
#include <windows.h>

#include <cstdio>

#include "com/ComOwners.h"
#include "import/CNivraFile.h"
#include "import/ImportSide.h"
#include "import/ImportSteps.h"

namespace nivra {
namespace {

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

void AddSizeEntry(CNivraFile& file, const WIN32_FIND_DATAW& entry) {
    Bstr key = WideBstr(L"Size");
    Bstr caption = WideBstr(L"File Size");
    Bstr value = AnsiBstr(FileSizeText(entry.nFileSizeHigh, entry.nFileSizeLow));
    IvnProperties* properties = Required(file.PropertyList());
    ComPtr<IvnProperty> added;
    Check(properties->Add(key.Get(), caption.Get(), value.Get(), added.GetAddressOf()), properties);
}

void HandToList(IvnFileList* list, CNivraFile& file) {
    ComPtr<IvnFileListModel> model;
    Check(list->get_Model(model.GetAddressOf()), list);
    ComPtr<IvnFiles> files;
    Check(Required(model)->get_Files(files.GetAddressOf()), model.Get());
    ComPtr<IUnknown> added;
    Check(Required(files)->Add(static_cast<IvnFile*>(&file), added.GetAddressOf()), files.Get());
}

// `text` in the ANSI code page the file functions use, only if every character has its own
// code there: a best-fit name ("O" for an omega) would name another file or none.
bool ToAnsiExactly(const wchar_t* text, std::string& out) {
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &defaulted);
    if (size <= 1 || defaulted) return false;
    out.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, &out[0], size, nullptr, &defaulted);
    out.resize(static_cast<std::size_t>(size) - 1);
    return !defaulted;
}

// The name under which a found file opens through the ANSI file functions: its own name,
// else its short name; empty when it has neither (the file is then left out of the list).
std::string OpenableName(const WIN32_FIND_DATAW& entry) {
    std::string name;
    if (ToAnsiExactly(entry.cFileName, name)) return name;
    if (ToAnsiExactly(entry.cAlternateFileName, name)) return name;
    return std::string();
}

void ListPass(IvnFileList* list, const std::string& folder, const char* pattern) {
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW(AnsiToWide(folder + pattern).c_str(), &entry));
    if (!search.IsOpen()) return;
    do {
        const std::string name = OpenableName(entry);
        if (name.empty()) continue;
        CNivraFile* made = nullptr;
        // A file object that cannot be made (out of memory) is left out of the list.
        if (FAILED(CNivraFile::Create(&made))) continue;
        ComPtr<CNivraFile> file(made);
        file->SetPath(folder + name);
        AddSizeEntry(*file.Get(), entry);
        HandToList(list, *file.Get());
    } while (FindNextFileW(search.Get(), &entry));
}

}  // namespace

std::string FileSizeText(DWORD high, DWORD low) {
    const std::int64_t bytes = static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f KB", static_cast<double>(bytes) * (1.0 / 1024));
    return text;
}

HRESULT PrepareFileList(IvnFileList* list, VARIANT_BOOL* result) {
    Required(list);
    Bstr key = WideBstr(L"Size");
    Bstr caption = WideBstr(L"File Size");
    ComPtr<IUnknown> column;
    Check(list->AddColumn(key.Get(), caption.Get(), 80, 1, -1, column.GetAddressOf()), list);
    column.Reset();
    Check(list->Slot9(0), list);
    Check(list->Slot7(-1), list);
    if (!result) return E_INVALIDARG;
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT ListFiles(IvnFileList* list, BSTR folderText) {
    Required(list);
    const std::string folder = WithBackslash(BstrToAnsi(folderText));
    ListPass(list, folder, "*.log");
    ListPass(list, folder, "*.csv");
    return S_OK;
}

}  // namespace nivra
