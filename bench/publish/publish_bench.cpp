// Publish benchmark: a catalog of n fields (one client, ten farms, five crop zones a field, one
// operation a field, every hundredth with one of ten prescriptions) published through the
// driver's publisher into a scratch folder under wine64. Only Publish itself is timed; the
// best of three runs is reported per size, with the time per field and per n log n.
#include <windows.h>
#include <ole2.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "com/ComOwners.h"
#include "host/DriverInterfaces.h"
#include "com/HostCall.h"
#include "host/HostInterfaces.h"
#include "RefHostControl.h"

using Microsoft::WRL::ComPtr;
using Json = nlohmann::json;

namespace {

constexpr int kFarms = 10;
constexpr int kZonesPerField = 5;
constexpr int kPrescriptions = 10;
constexpr int kPrescriptionEvery = 100;

Json Catalog(int fields) {
    Json nodes = Json::array();
    nodes.push_back({{"key", "c"}, {"kind", "client"}, {"name", "Client"}});
    for (int f = 0; f < kFarms; ++f)
        nodes.push_back({{"key", "farm" + std::to_string(f)},
                         {"kind", "farm"},
                         {"name", "Farm " + std::to_string(f)},
                         {"parent", "c"}});
    Json operations = Json::array();
    for (int i = 0; i < fields; ++i) {
        std::string field = "field" + std::to_string(i);
        nodes.push_back({{"key", field},
                         {"kind", "field"},
                         {"name", "Field " + std::to_string(i)},
                         {"parent", "farm" + std::to_string(i % kFarms)},
                         {"area", {{"code", 66}, {"value", 10.0 + i % 7}}}});
        for (int z = 0; z < kZonesPerField; ++z)
            nodes.push_back({{"key", field + "z" + std::to_string(z)},
                             {"kind", "cropZone"},
                             {"parent", field},
                             {"cropKey", "crop" + std::to_string((i + z) % 20)},
                             {"area", {{"code", 66}, {"value", 2.0}}}});
        std::string rx =
            i % kPrescriptionEvery == 0 ? "RX" + std::to_string(i / kPrescriptionEvery % kPrescriptions) : "";
        operations.push_back({{"node", field + "z0"}, {"comment", "dose"}, {"prescription", rx}});
    }
    Json crops = Json::array();
    for (int c = 0; c < 20; ++c)
        crops.push_back({{"key", "crop" + std::to_string(c)}, {"name", "Crop " + std::to_string(c)}});
    Json prescriptions = Json::array();
    for (int p = 0; p < kPrescriptions; ++p)
        prescriptions.push_back(
            {{"id", "RX" + std::to_string(p)},
             {"zones", {{{"polygon", {{0, 0}, {300, 0}, {300, 150}, {0, 150}}}, {"rates", {{"N", 40 + p}}}}}}});
    return Json{{"nodes", nodes}, {"crops", crops}, {"operations", operations}, {"prescriptions", prescriptions}};
}

ComPtr<IvnCatalog> MakeCatalog(refhost::Client& host, const Json& settings) {
    using Create = HRESULT (*)(const char*, IUnknown**, char*, LONG);
    auto create =
        reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(host.Module(), "RefHostCreatePublishCatalog")));
    ComPtr<IUnknown> object;
    char error[256] = {};
    if (!create || FAILED(create(settings.dump().c_str(), object.GetAddressOf(), error, sizeof error))) return nullptr;
    ComPtr<IvnCatalog> catalog;
    object.As(&catalog);
    return catalog;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {1000, 2000, 5000, 10000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    {
        refhost::Client host;
        if (!host.Load()) {
            std::fprintf(stderr, "refhost.dll is not registered\n");
            return 1;
        }
        std::filesystem::path folder = std::filesystem::temp_directory_path() / "nivra-publish-bench";
        std::filesystem::create_directories(folder);
        std::printf("%8s %10s %10s %14s %16s\n", "fields", "zones", "best s", "us per field", "ns per n log2 n");
        for (int n : sizes) {
            Json settings = Catalog(n);
            double best = 1e30;
            for (int run = 0; run < 3; ++run) {
                ComPtr<IvnCatalog> catalog = MakeCatalog(host, settings);
                ComPtr<IvnPublisher> publisher;
                if (!catalog || FAILED(nivra::TryCreateByProgId(L"NivraTesk.NivraPublisher", publisher))) {
                    std::fprintf(stderr, "cannot create the catalog or the publisher\n");
                    return 1;
                }
                nivra::Bstr destination(folder.wstring().c_str());
                publisher->put_DestinationFolder(destination.Get());
                VARIANT_BOOL ok = VARIANT_FALSE;
                LARGE_INTEGER start, end;
                QueryPerformanceCounter(&start);
                HRESULT hr = publisher->Publish(catalog.Get(), 0, 0, &ok);
                QueryPerformanceCounter(&end);
                if (FAILED(hr) || ok != VARIANT_TRUE) {
                    std::fprintf(stderr, "publish failed: 0x%08lx\n", static_cast<unsigned long>(hr));
                    status = 1;
                }
                best = std::min(best, Seconds(start, end));
            }
            std::printf("%8d %10d %10.3f %14.2f %16.2f\n", n, n * kZonesPerField, best, best * 1e6 / n,
                        best * 1e9 / (n * std::log2(n)));
        }
        std::filesystem::remove_all(folder);
    }
    CoUninitialize();
    return status;
}
