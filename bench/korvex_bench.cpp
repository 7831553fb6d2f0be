// Conversion speed: a generated binary log of at least 100 MB and an older log of similar
// size, converted in memory (the conversion alone: the log already read, the lines built and
// dropped in 1 MB blocks) and from file to file; rows per second and input MB/s. The logs are
// written once into the folder given by KORVEX_BENCH_DIR (default: the system's temp folder),
// where bench/run.sh takes them for the whole `korvex convert` against the copy floor.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "FileImage.h"
#include "NumberFormat.h"
#include "korvex.h"
#include "logwriter/LogWriters.h"

namespace {

constexpr std::size_t kTargetBytes = 100u << 20;

std::string BenchDir() {
    const char* dir = std::getenv("KORVEX_BENCH_DIR");
    std::filesystem::path path = dir ? dir : (std::filesystem::temp_directory_path() / "korvex-bench");
    std::filesystem::create_directories(path);
    return path.string();
}

// A field driven back and forth: a position, a reading and a Nas value per row, an Nc value
// every 200 rows and a marker now and then, as the terminal writes them.
std::string BinaryLog(std::uint64_t& rows) {
    std::string path = BenchDir() + "/bench-binary.log";
    logwriter::BinaryLogWriter log;
    rows = 0;
    for (std::uint32_t k = 0; log.Data().size() < kTargetBytes; ++k, ++rows) {
        double y = (k % 1000) * 2.8, x = (k / 1000) * 24.0;
        if (k % 200 == 0) log.Nc(static_cast<std::int16_t>(400 + k % 90));
        log.Position(static_cast<std::int32_t>(515000000 + y * 90), static_cast<std::int32_t>(75000000 + x * 140),
                     static_cast<std::int16_t>(1200 + k % 97));
        float reading = static_cast<float>(22 + 9 * std::sin(x / 60) * std::cos(y / 80));
        log.Reading(reading, std::round(40 + 3.2f * reading), static_cast<std::uint8_t>(10 + k % 3));
        log.NasInteger(static_cast<std::int16_t>(80 + k % 40));
        if (k % 97 == 0) log.Markers(1);
    }
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) != log.Data().size()) log.Save(path);
    return path;
}

std::string LegacyLog(std::uint64_t& rows) {
    using W = logwriter::LegacyLogWriter;
    std::string path = BenchDir() + "/bench-legacy.log";
    W log;
    rows = 0;
    for (std::uint32_t k = 0; log.Data().size() < kTargetBytes; ++k, ++rows) {
        double y = (k % 1000) * 2.8, x = (k / 1000) * 24.0;
        auto lat = static_cast<std::int32_t>(515000000 + y * 90), lon = static_cast<std::int32_t>(75000000 + x * 140);
        log.Value(0, W::Type1Word0(static_cast<std::uint8_t>(50 + k % 40), static_cast<std::uint8_t>(80 + k % 60)))
            .Value(1, W::Type1Word1(static_cast<std::uint8_t>(60 + k % 50), static_cast<std::uint8_t>(40 + k % 20), 2))
            .Position(static_cast<std::uint8_t>(100 + k % 50), lat, lon);
    }
    log.Value(0, 0).EndMarker();
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) != log.Data().size()) log.Save(path);
    return path;
}

void RunConversion(benchmark::State& state, const std::string& input, std::uint64_t rows) {
    std::string output = BenchDir() + "/bench-out.csv";
    auto inputBytes = static_cast<std::int64_t>(std::filesystem::file_size(input));
    for (auto _ : state) {
        korvex::ConversionReport report = korvex::ConvertLog(input, output, true, true);
        if (!report.ok || report.rowsWritten != rows) state.SkipWithError(report.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
    state.SetBytesProcessed(state.iterations() * inputBytes);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["MB_in"] = inputBytes / 1048576.0;
}

// Builds the lines as the file sink does and drops each full block instead of writing it.
class DroppingLineSink : public korvex::LineSink {
public:
    DroppingLineSink() { buffer_.reserve(kBlock + 4096); }
    void WriteLine(const std::string& line) override {
        buffer_.append(line);
        EndLine();
    }
    std::string& LineBuffer() override { return buffer_; }
    void EndLine() override {
        buffer_.append("\r\n", 2);
        ++lines_;
        if (buffer_.size() >= kBlock) Drop();
    }
    void Close() override { Drop(); }
    std::uint64_t Bytes() const { return bytes_; }

private:
    static constexpr std::size_t kBlock = 1 << 20;
    void Drop() {
        bytes_ += buffer_.size();
        benchmark::DoNotOptimize(buffer_.data());
        buffer_.clear();
    }
    std::string buffer_;
    std::uint64_t bytes_ = 0;
};

korvex::FileImage CopyOf(const korvex::FileImage& image) {
    korvex::FileImage copy;
    copy.bytes.reset(new std::uint8_t[image.size > 0 ? image.size : 1]);
    copy.size = image.size;
    std::memcpy(copy.bytes.get(), image.bytes.get(), static_cast<std::size_t>(image.size));
    return copy;
}

// The conversion alone, on one core: ConvertImage over a log already in memory. Each round
// takes a fresh copy of the image (outside the timing), since the conversion consumes it.
void RunInMemory(benchmark::State& state, const std::string& input, std::uint64_t rows) {
    const korvex::FileImage image = korvex::ReadFileImage(input);
    std::uint64_t csvBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        korvex::FileImage copy = CopyOf(image);
        DroppingLineSink sink;
        state.ResumeTiming();
        korvex::ConversionReport report = korvex::ConvertImage(std::move(copy), sink, true, true);
        if (!report.ok || report.rowsWritten != rows) state.SkipWithError(report.error.c_str());
        csvBytes = sink.Bytes();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
    state.SetBytesProcessed(state.iterations() * image.size);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["MB_in"] = image.size / 1048576.0;
    state.counters["MB_out"] = csvBytes / 1048576.0;
}

void BM_BinaryInMemory(benchmark::State& state) {
    static std::uint64_t rows = 0;
    static const std::string input = BinaryLog(rows);
    RunInMemory(state, input, rows);
}
BENCHMARK(BM_BinaryInMemory)->Unit(benchmark::kMillisecond);

void BM_LegacyInMemory(benchmark::State& state) {
    static std::uint64_t rows = 0;
    static const std::string input = LegacyLog(rows);
    RunInMemory(state, input, rows);
}
BENCHMARK(BM_LegacyInMemory)->Unit(benchmark::kMillisecond);

void BM_BinaryLogToCsv(benchmark::State& state) {
    static std::uint64_t rows = 0;
    static const std::string input = BinaryLog(rows);
    RunConversion(state, input, rows);
}
BENCHMARK(BM_BinaryLogToCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LegacyLogToCsv(benchmark::State& state) {
    static std::uint64_t rows = 0;
    static const std::string input = LegacyLog(rows);
    RunConversion(state, input, rows);
}
BENCHMARK(BM_LegacyLogToCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FormatCoordinate(benchmark::State& state) {
    std::string out;
    std::int32_t raw = 515000000;
    for (auto _ : state) {
        out.clear();
        korvex::AppendFixed(out, (raw += 37) / 1e7, 3, 7);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatCoordinate);

void BM_FormatTie(benchmark::State& state) {
    std::string out;
    for (auto _ : state) {
        out.clear();
        korvex::AppendFixed(out, 123.5, 0, 0);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatTie);

}  // namespace

BENCHMARK_MAIN();
