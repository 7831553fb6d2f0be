// The publisher under test: NivraTesk.dll's publisher created by its ProgID with the
// reference host's classes behind it, a catalog built from JSON by the reference host, a
// scratch destination folder, and no host object left alive after a test.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "com/ComOwners.h"
#include "host/DriverInterfaces.h"
#include "com/HostCall.h"
#include "host/HostInterfaces.h"
#include "RefHostControl.h"
#include "fixtures/HostTest.h"
#include "fixtures/TempDir.h"

using Microsoft::WRL::ComPtr;
using nivra::Bstr;
using nivra::Variant;
using Json = nlohmann::json;

namespace pubtest {

constexpr const char* kTaskFiller = ";0;;;;;0;null\r\n";
constexpr const char* kTasksHeader = "fieldName;fieldSize;cropName;customerName;fieldComment;gridfileName;taskTime\r\n";
constexpr const char* kFieldsHeader =
    "\"Nr.\",\"Schlagname\",\"size\",\"Fruchart\",\"Kunde\",\"Kommentar\",\"croplookupexpid\",\"expid\","
    "\"customerlookupexpid\",\r\n";
constexpr const char* kCropsHeader = "\"name\",\"expid\",\r\n";
constexpr const char* kCustomersHeader = "\"customer\",\"expid\",\r\n";

// Lines as the terminal's files hold them: each ends in CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// "tasks.txt" for these task lines: the header, the lines, then fillers up to 99 lines.
inline std::string TasksFile(const std::vector<std::string>& tasks) {
    std::string text = kTasksHeader;
    for (const std::string& task : tasks) text += task + "\r\n";
    for (size_t i = tasks.size(); i < 99; ++i) text += kTaskFiller;
    return text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class Publisher : public fixtures::HostTest {
protected:
    void ReleaseAll() override { publisher.Reset(); }

    HRESULT CreatePublisher(ComPtr<IvnPublisher>& out) {
        return nivra::TryCreateByProgId(L"NivraTesk.NivraPublisher", out);
    }
    // A publisher whose destination is the scratch folder.
    void MakePublisher() {
        ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
        ASSERT_TRUE(publisher);
        SetDestination(Destination());
    }
    void SetDestination(const std::string& folder) {
        Bstr text(nivra::AnsiToBstr(folder));
        ASSERT_EQ(S_OK, publisher->put_DestinationFolder(text.Get()));
    }
    std::string Destination() const { return folder.Path().string(); }
    std::filesystem::path FileIn(const std::string& name) const { return folder.Path() / name; }
    std::string Read(const std::string& name) const { return ReadFile(FileIn(name)); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(FileIn(name)); }

    ComPtr<IvnCatalog> Catalog(const Json& plan) {
        using Create = HRESULT (*)(const char*, IUnknown**, char*, LONG);
        auto create = reinterpret_cast<Create>(
            reinterpret_cast<void*>(GetProcAddress(host.Module(), "RefHostCreatePublishCatalog")));
        ComPtr<IUnknown> object;
        char error[512] = {};
        EXPECT_TRUE(create) << "refhost.dll lacks RefHostCreatePublishCatalog";
        if (!create) return nullptr;
        EXPECT_EQ(S_OK, create(plan.dump().c_str(), object.GetAddressOf(), error, sizeof error)) << error;
        ComPtr<IvnCatalog> catalog;
        if (object) {
            EXPECT_HRESULT_SUCCEEDED(object.As(&catalog));
        }
        return catalog;
    }

    // Fetches the options (adding them) and sets one option's value as the user would.
    void ChooseOption(const wchar_t* name, const char* value) {
        ComPtr<IvnProperties> options;
        ASSERT_EQ(S_OK, publisher->get_Options(options.GetAddressOf()));
        ComPtr<IvnProperty> option;
        Variant key = Variant::Text(name);
        ASSERT_EQ(S_OK, options->get_Item(*key.Get(), option.GetAddressOf()));
        ASSERT_TRUE(option);
        ASSERT_EQ(S_OK, host.Configure(option.Get(), Json{{"value", value}}.dump()));
    }

    // Publishes and expects S_OK; answers the ok flag.
    bool Publish(const Json& plan) {
        ComPtr<IvnCatalog> catalog = Catalog(plan);
        VARIANT_BOOL ok = 0x1234;
        EXPECT_EQ(S_OK, publisher->Publish(catalog.Get(), 0, 0, &ok));
        EXPECT_TRUE(ok == VARIANT_TRUE || ok == VARIANT_FALSE) << ok;
        return ok == VARIANT_TRUE;
    }

    fixtures::TempDir folder;
    ComPtr<IvnPublisher> publisher;
};

// Plan builders: nodes of the field tree, in the catalog's order.
inline Json Node(const std::string& key, const std::string& kind, const std::string& parent = std::string(),
                 const std::string& name = std::string()) {
    Json node{{"key", key}, {"kind", kind}, {"name", name.empty() ? key : name}};
    if (!parent.empty()) node["parent"] = parent;
    return node;
}
inline Json Hectares(Json node, double value) {
    node["area"] = Json{{"code", 66}, {"value", value}};
    return node;
}
inline Json CropZone(const std::string& key, const std::string& field, const std::string& cropKey) {
    Json node = Node(key, "cropZone", field);
    node["cropKey"] = cropKey;
    return node;
}
inline Json Operation(const std::string& node, const std::string& comment = std::string(),
                      const std::string& rx = std::string()) {
    Json op{{"comment", comment}, {"prescription", rx}};
    if (!node.empty()) op["node"] = node;
    return op;
}
// A rectangle of rate zones' worth: one zone with one rate per product.
inline Json RectZone(double x0, double y0, double x1, double y1, const Json& rates) {
    return Json{{"polygon", Json::array({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})}, {"rates", rates}};
}

}  // namespace pubtest
