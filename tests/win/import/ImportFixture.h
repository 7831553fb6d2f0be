// Shared by the import suites: COM on the test thread, the reference host found through its
// registration, the driver created by its ProgID, a scratch terminal folder, and the steps
// a host takes for an import (list, tick, import) with the store read back as JSON.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <time.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>
#include <string>
#include <vector>

#include "com/ComOwners.h"
#include "com/HostCall.h"
#include "fixtures/HostTest.h"
#include "fixtures/TempDir.h"
#include "host/DriverInterfaces.h"
#include "host/HostInterfaces.h"
#include "RefHostControl.h"

namespace importtest {

using Microsoft::WRL::ComPtr;
using nivra::Bstr;
using Json = nlohmann::json;

// The C runtime must take the local zone from the system (Wine takes it from the Unix TZ);
// msvcrt would misread a TZ such as Europe/Berlin on its own.
inline bool UseSystemZone() {
    _putenv("TZ=");
    _tzset();
    return true;
}

// Local midnight of a day as seconds since 1970 UTC, from the system's own conversion.
inline double LocalMidnight(int year, int month, int day) {
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    SYSTEMTIME utc;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return -1;
    FILETIME ft;
    SystemTimeToFileTime(&utc, &ft);
    ULARGE_INTEGER ticks{{ft.dwLowDateTime, ft.dwHighDateTime}};
    return static_cast<double>((ticks.QuadPart - 116444736000000000ULL) / 10000000ULL);
}

struct ListedFile {
    std::string path;
    ComPtr<IvnFile> file;
};

class ImportTest : public fixtures::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        if (HasFatalFailure()) return;
        driver = NewDriver();
        ASSERT_TRUE(driver) << "NivraTesk.NIVRATESK cannot be created";
    }
    void CheckAfterRelease() override { EXPECT_EQ(DriverCanUnload(), S_OK) << "driver objects left alive"; }
    void ReleaseAll() override {
        listed.clear();
        files.Reset();
        fileList.Reset();
        store.Reset();
        progress.Reset();
        driver.Reset();
    }

    static ComPtr<IvnTESK> NewDriver() {
        ComPtr<IvnTESK> made;
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(L"NivraTesk.NIVRATESK", &clsid))) return made;
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IvnTESK),
                         reinterpret_cast<void**>(made.GetAddressOf()));
        return made;
    }
    static HRESULT DriverCanUnload() {
        HMODULE module = GetModuleHandleW(L"NivraTesk.dll");
        if (!module) return S_OK;
        auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        return canUnload ? canUnload() : E_FAIL;
    }

    Json Describe(IUnknown* object) { return Json::parse(host.Describe(object)); }

    // The host's file list filled by the driver for `folder`.
    HRESULT List(const std::string& folder) {
        fileList = host.Create<IvnFileList>("fileList");
        Bstr text(nivra::AnsiToBstr(folder));
        HRESULT hr = driver->ListFiles(fileList.Get(), text.Get(), 0, 0);
        ComPtr<IvnFileListModel> model;
        EXPECT_HRESULT_SUCCEEDED(fileList->get_Model(model.GetAddressOf()));
        files.Reset();
        EXPECT_HRESULT_SUCCEEDED(model->get_Files(files.GetAddressOf()));
        listed.clear();
        LONG count = 0;
        files->get_Count(&count);
        for (LONG i = 1; i <= count; ++i) {
            ListedFile entry;
            files->get_Item(*nivra::Variant::Int(i).Get(), entry.file.GetAddressOf());
            Bstr path;
            entry.file->Path(path.Out());
            entry.path = nivra::BstrToAnsi(path.Get());
            listed.push_back(std::move(entry));
        }
        return hr;
    }
    // Names listed, without their folder, in list order.
    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        for (const auto& entry : listed) names.push_back(entry.path.substr(entry.path.rfind('\\') + 1));
        return names;
    }
    // Ticks exactly the files named (by file name); every other file is unticked.
    void Tick(const std::set<std::string>& names) {
        for (const auto& entry : listed) {
            const std::string name = entry.path.substr(entry.path.rfind('\\') + 1);
            entry.file->put_Selected(names.count(name) ? VARIANT_TRUE : VARIANT_FALSE);
        }
    }
    void TickAll() {
        for (const auto& entry : listed) entry.file->put_Selected(VARIANT_TRUE);
    }
    // ImportFiles into a new data store (or the one given) with a new progress display.
    HRESULT Import(const std::string& storeSettings = std::string()) {
        if (!store) store = host.Create<IvnImportTarget>("dataStore", storeSettings);
        progress = host.Create<IvnProgress>("progress");
        VARIANT_BOOL result = VARIANT_FALSE;
        HRESULT hr = driver->ImportFiles(store.Get(), files.Get(), progress.Get(), &result);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(result, VARIANT_TRUE);
        } else {
            lastCalls = host.CallLog();  // where the import ended, for the failure message
            if (lastCalls.size() > 600) lastCalls.erase(0, lastCalls.size() - 600);
        }
        return hr;
    }
    Json Store() { return Describe(store.Get()); }
    Json Operations() { return Store()["catalog"]["operations"]; }
    Json Progress() { return Describe(progress.Get()); }

    fixtures::TempDir folder;
    ComPtr<IvnTESK> driver;
    ComPtr<IvnFileList> fileList;
    ComPtr<IvnFiles> files;
    std::vector<ListedFile> listed;
    ComPtr<IvnImportTarget> store;
    ComPtr<IvnProgress> progress;
    std::string lastCalls;
};

// A value of a point by its column key.
inline double ValueOf(const Json& point, const char* key) { return point["values"][key]["value"].get<double>(); }

}  // namespace importtest
