// The GDAL driver's read path over the benchmark's 100 MB binary log (written by korvex_bench
// into KORVEX_BENCH_DIR): the first pass (open, conversion, count and extent) and reading
// every feature after it, as ogr2ogr does.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "KorvexLogDriver.h"
#include "gdal_priv.h"
#include "ogrsf_frmts.h"

namespace {

std::string BinaryLog() {
    const char* dir = std::getenv("KORVEX_BENCH_DIR");
    std::filesystem::path path = dir ? dir : (std::filesystem::temp_directory_path() / "korvex-bench");
    return (path / "bench-binary.log").string();
}

GDALDataset* Open(const std::string& path) {
    const char* drivers[] = {korvexgdal::kDriverName, nullptr};
    return GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers);
}

void BM_FirstPass(benchmark::State& state) {
    const std::string path = BinaryLog();
    GIntBig rows = 0;
    for (auto _ : state) {
        GDALDataset* ds = Open(path);
        if (!ds) return state.SkipWithError(("cannot open " + path + " (run korvex_bench first)").c_str());
        OGREnvelope extent;
        rows = ds->GetLayer(0)->GetFeatureCount();
        if (ds->GetLayer(0)->GetExtent(&extent) != OGRERR_NONE) state.SkipWithError("no extent");
        GDALClose(ds);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_EveryFeatureAfterTheFirstPass(benchmark::State& state) {
    const std::string path = BinaryLog();
    GDALDataset* ds = Open(path);
    if (!ds) return state.SkipWithError(("cannot open " + path + " (run korvex_bench first)").c_str());
    OGRLayer* layer = ds->GetLayer(0);
    const GIntBig rows = layer->GetFeatureCount();
    for (auto _ : state) {
        double sum = 0;
        layer->ResetReading();
        while (OGRFeature* f = layer->GetNextFeature()) {
            sum += f->GetFieldAsDouble(2);
            delete f;
        }
        benchmark::DoNotOptimize(sum);
    }
    GDALClose(ds);
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_FirstPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EveryFeatureAfterTheFirstPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    korvexgdal::RegisterDriver();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
