// samplelogs: writes a terminal folder of sample logs in both formats: fields driven in
// serpentine passes at field speed, sensor readings that vary smoothly across the field,
// occasional markers and calibration rows. File names carry the field name and the date.
//
//   samplelogs OUTDIR [--points N]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "logwriter/LogWriters.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegreeLat = 111320.0;

struct SampleField {
    std::string name;     // as in the file name: words joined by underscores
    std::string date;     // YYMMDD
    double lat0, lon0;    // south-west corner
    double widthM, heightM;
    bool binary;
};

struct Point {
    double lat, lon, alt;
    double reading;  // sensor reading; BI is a tenth of it
    double n;        // N target
    int markers;     // bits 0-3
    bool calibration;
};

// Serpentine passes 24 m apart along the field's length, one point every 2.8 m (10 km/h at 1 Hz).
std::vector<Point> DrivePasses(const SampleField& f, int maxPoints) {
    std::vector<Point> points;
    const double metresPerDegreeLon = kMetresPerDegreeLat * std::cos(f.lat0 * kPi / 180);
    const int passes = static_cast<int>(f.widthM / 24);
    const int perPass = static_cast<int>(f.heightM / 2.8);
    for (int pass = 0; pass < passes && static_cast<int>(points.size()) < maxPoints; ++pass) {
        for (int i = 0; i < perPass && static_cast<int>(points.size()) < maxPoints; ++i) {
            double x = 12 + pass * 24.0;
            double y = (pass % 2 == 0 ? i : perPass - 1 - i) * 2.8;
            Point p;
            p.lat = f.lat0 + y / kMetresPerDegreeLat;
            p.lon = f.lon0 + x / metresPerDegreeLon;
            p.alt = 120 + 6 * std::sin(x / 90) + 3 * std::cos(y / 70);
            p.reading = 22 + 9 * std::sin(x / 60) * std::cos(y / 80) + 2 * std::sin((x + y) / 25);
            p.n = std::round(40 + 3.2 * p.reading);
            std::size_t k = points.size();
            p.markers = (k % 97 == 50) ? 1 : (k % 211 == 100) ? 4 : 0;
            p.calibration = k > 0 && k % 500 == 0;
            points.push_back(p);
        }
    }
    return points;
}

std::int32_t Scaled(double degrees) { return static_cast<std::int32_t>(std::lround(degrees * 1e7)); }

logwriter::Bytes BinaryLog(const SampleField& f, const std::vector<Point>& points) {
    logwriter::BinaryHeader header;
    header.textA = "Terminal 1";
    char area[16];
    std::snprintf(area, sizeof area, "%.2fha", f.widthM * f.heightM / 10000);
    header.area = area;
    header.textC = f.name;
    logwriter::BinaryLogWriter log(header);
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        if (k % 200 == 0) log.Nc(static_cast<std::int16_t>(420 + (k / 200) % 40));
        log.Position(Scaled(p.lat), Scaled(p.lon), static_cast<std::int16_t>(std::lround(p.alt * 10)));
        log.Reading(static_cast<float>(p.reading), p.calibration ? -1.0f : static_cast<float>(p.n),
                    static_cast<std::uint8_t>(10 + k % 3));
        log.NasInteger(static_cast<std::int16_t>(std::lround(p.n * 0.9)));
        if (p.markers) log.Markers(static_cast<std::uint8_t>(p.markers));
        if (k % 50 == 0) log.Record(0x0031, logwriter::Bytes(48, 0));
    }
    return log.Data();
}

logwriter::Bytes LegacyLog(const std::vector<Point>& points) {
    using W = logwriter::LegacyLogWriter;
    W log;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        auto position = [&] { log.Position(static_cast<std::uint8_t>(std::lround(p.alt) & 0xFF), Scaled(p.lat), Scaled(p.lon)); };
        if (k % 200 == 0) {
            log.Value(0, W::Type3Word0(static_cast<std::uint8_t>(2 * (4 + (k / 200) % 3))));
            position();
        }
        if (p.markers) {
            log.Value(0, W::Type7Word0(static_cast<std::uint8_t>(p.markers)));
            position();
        }
        auto readingByte = static_cast<std::uint8_t>(std::lround((p.reading - 14) * 10));
        auto biByte = static_cast<std::uint8_t>(std::lround((p.reading * 0.1 / 10 + 1) / 0.02));
        auto nHalf = static_cast<std::uint8_t>(p.calibration ? 254 : std::lround(p.n / 2));
        log.Value(0, W::Type1Word0(nHalf, readingByte));
        log.Value(1, W::Type1Word1(biByte, static_cast<std::uint8_t>(std::lround(p.n * 0.45)), 1));
        position();
    }
    log.Value(0, 0).EndMarker();
    return log.Data();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: samplelogs OUTDIR [--points N]\n", stderr);
        return 2;
    }
    std::string dir = argv[1];
    int maxPoints = 4000;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--points") maxPoints = std::atoi(argv[i + 1]);
    const SampleField fields[] = {
        {"North_Field", "260412", 51.5012, 7.4980, 240, 380, true},
        {"Long_Acre", "260415", 51.4950, 7.5105, 168, 520, true},
        {"Mill_Meadow", "260418", 51.5081, 7.5212, 192, 300, false},
        {"South_Slope", "260420", 51.4902, 7.4890, 144, 260, false},
    };
    try {
        for (const auto& f : fields) {
            auto points = DrivePasses(f, maxPoints);
            std::string path = dir + "/Log_" + f.name + "_" + f.date + ".log";
            if (f.binary) logwriter::SaveBytes(path, BinaryLog(f, points));
            else logwriter::SaveBytes(path, LegacyLog(points));
            std::printf("%s (%s, %zu points)\n", path.c_str(), f.binary ? "binary log" : "older log", points.size());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "samplelogs: %s\n", e.what());
        return 1;
    }
    return 0;
}
