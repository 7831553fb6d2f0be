// samplelogs: writes a terminal folder as the sensor's terminal leaves it after a day's work:
// one log per field, in both formats, and the "fields.txt" that names each field with its farm,
// area and crop. The fields are driven in serpentine passes at field speed; the crop's biomass
// varies smoothly across each field (a broad wave, a slope along the field and a weak patch),
// the N target follows it, the applied N follows the target with the spreader's lag, and the
// operator sets markers over short stretches and calibrates the sensor near the start.
//
// The fields lie in UTM zone 32N (EPSG:32632, WGS 84): each is a rectangle of easting and
// northing, driven along grid north, and its positions are written as WGS 84 degrees.
// With --plan, the farm plan for the same fields is written too: farms, fields, crop zones,
// crops, and per field a second-dose operation whose prescription divides the field into
// 60 m blocks with an N rate each, taken from the same biomass; its coordinates are UTM 32N
// metres, so published grids overlay the imported points.
//
//   samplelogs OUTDIR [--points N] [--plan PLAN.json]
//
// --points N caps the points of each log (default: every pass of the field).
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "logwriter/LogWriters.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPassWidth = 24.0;    // boom width: passes 24 m apart
constexpr double kPointSpacing = 2.8;  // 10 km/h at one position a second
constexpr double kBlock = 60.0;        // prescription blocks: 2 x 2 cells of the 30 m offset map
// The operator calibrates the sensor on a stretch of crop shortly after starting.
constexpr int kCalibrationFrom = 12, kCalibrationPoints = 6;

struct SampleField {
    std::string name;  // as in the file name: words joined by underscores
    std::string date;  // YYMMDD
    std::string farm;
    std::string crop;
    double east, north;  // south-west corner, UTM 32N metres
    double widthM, heightM;
    bool binary;
    double nc;               // N content of the fertiliser, %
    int applFactor;          // application factor set on the terminal, %
    double vigour;           // mean biomass index of the crop
    double phase;            // shifts the biomass pattern, so every field looks different
    double patchX, patchY;   // centre of a weak patch, as fractions of width and height
    double altitude, slope;  // altitude of the south edge (m) and its rise per 100 m northward
};

const SampleField kFields[] = {
    {"North_Field", "260412", "Hill Farm", "Winter wheat", 395960, 5707180, 240, 380, true, 27.0, 100, 2.55, 0.0, 0.30,
     0.65, 118, 1.2},
    {"Long_Acre", "260415", "Hill Farm", "Winter barley", 396860, 5706480, 168, 520, true, 27.0, 100, 2.35, 1.7, 0.70,
     0.25, 112, 0.8},
    {"Mill_Meadow", "260418", "Mill Farm", "Winter oilseed rape", 397600, 5707940, 192, 300, false, 28.0, 100, 2.80,
     3.1, 0.55, 0.50, 96, 0.4},
    {"South_Slope", "260420", "Mill Farm", "Winter wheat", 395360, 5705960, 144, 260, false, 28.0, 100, 2.45, 4.4, 0.40,
     0.80, 104, 5.5},
};

std::string Spaced(std::string name) {
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

double AreaHa(const SampleField& f) { return f.widthM * f.heightM / 10000; }

// UTM 32N easting/northing to WGS 84 latitude/longitude in degrees (the transverse Mercator
// inverse series; millimetre-exact this close to the zone's central meridian).
void UtmToLatLon(double east, double north, double& lat, double& lon) {
    const double a = 6378137.0, flat = 1 / 298.257223563, k0 = 0.9996;
    const double e2 = flat * (2 - flat), ep2 = e2 / (1 - e2);
    const double lon0 = 9.0 * kPi / 180;
    const double m = north / k0;
    const double mu = m / (a * (1 - e2 / 4 - 3 * e2 * e2 / 64 - 5 * e2 * e2 * e2 / 256));
    const double e1 = (1 - std::sqrt(1 - e2)) / (1 + std::sqrt(1 - e2));
    const double phi1 = mu + (3 * e1 / 2 - 27 * std::pow(e1, 3) / 32) * std::sin(2 * mu) +
                        (21 * e1 * e1 / 16 - 55 * std::pow(e1, 4) / 32) * std::sin(4 * mu) +
                        (151 * std::pow(e1, 3) / 96) * std::sin(6 * mu) +
                        (1097 * std::pow(e1, 4) / 512) * std::sin(8 * mu);
    const double s = std::sin(phi1), c = std::cos(phi1), t = std::tan(phi1);
    const double c1 = ep2 * c * c, t1 = t * t;
    const double n1 = a / std::sqrt(1 - e2 * s * s);
    const double r1 = a * (1 - e2) / std::pow(1 - e2 * s * s, 1.5);
    const double d = (east - 500000.0) / (n1 * k0);
    const double phi =
        phi1 -
        (n1 * t / r1) * (d * d / 2 - (5 + 3 * t1 + 10 * c1 - 4 * c1 * c1 - 9 * ep2) * std::pow(d, 4) / 24 +
                         (61 + 90 * t1 + 298 * c1 + 45 * t1 * t1 - 252 * ep2 - 3 * c1 * c1) * std::pow(d, 6) / 720);
    const double lambda =
        lon0 + (d - (1 + 2 * t1 + c1) * std::pow(d, 3) / 6 +
                (5 - 2 * c1 + 28 * t1 - 3 * c1 * c1 + 8 * ep2 + 24 * t1 * t1) * std::pow(d, 5) / 120) /
                   c;
    lat = phi * 180 / kPi;
    lon = lambda * 180 / kPi;
}

// The crop's biomass index at (x, y) metres from the field's south-west corner: smooth, between
// about 1.5 and 3.8.
double Biomass(const SampleField& f, double x, double y) {
    double u = x / f.widthM, v = y / f.heightM;
    double wave = 0.35 * std::sin(2 * kPi * 0.9 * u + f.phase) * std::cos(2 * kPi * 0.7 * v + 0.5 * f.phase);
    double ripple = 0.12 * std::sin(x / 45 + y / 70 + f.phase);
    double trend = 0.30 * (v - 0.5);
    double dx = (u - f.patchX) * f.widthM, dy = (v - f.patchY) * f.heightM;
    double patch = -0.70 * std::exp(-(dx * dx + dy * dy) / (2 * 38.0 * 38.0));
    return std::clamp(f.vigour + wave + ripple + trend + patch, 1.5, 3.8);
}

// The sensor's N target for a biomass index: more N where the crop is thin, in kg N/ha.
double NTarget(double bi) { return std::clamp(118.0 - 20.0 * bi, 40.0, 95.0); }

struct Point {
    double lat, lon, alt;
    double bi;    // biomass index
    double n;     // N target, kg N/ha; -1 while calibrating
    double nas;   // N applied, kg N/ha
    int markers;  // bits 0-3
};

// A small, repeatable pseudo-random sequence for the sensor's noise.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double Next() {  // smoothed along the track, about +-0.04
        state_ = state_ * 1664525u + 1013904223u;
        double white = (state_ >> 8) / double(1u << 24) - 0.5;
        smooth_ = 0.7 * smooth_ + 0.3 * white * 0.25;
        return smooth_;
    }

private:
    std::uint32_t state_;
    double smooth_ = 0;
};

// Serpentine passes along the field's length, the first starting at the south-west corner.
std::vector<Point> DrivePasses(const SampleField& f, int maxPoints) {
    std::vector<Point> points;
    Noise noise(static_cast<std::uint32_t>(f.east + f.north));
    const int passes = static_cast<int>(f.widthM / kPassWidth);
    const int perPass = static_cast<int>(f.heightM / kPointSpacing);
    const int total = std::min(maxPoints, passes * perPass);
    // The operator marks two stretches: a weedy spot (marker 1) and a wet hollow (marker 3).
    const int weedyFrom = total * 35 / 100, wetFrom = total * 70 / 100;
    for (int pass = 0; pass < passes && static_cast<int>(points.size()) < total; ++pass) {
        double nas = 0;
        for (int i = 0; i < perPass && static_cast<int>(points.size()) < total; ++i) {
            const int k = static_cast<int>(points.size());
            double x = kPassWidth / 2 + pass * kPassWidth;
            double y = kPointSpacing / 2 + (pass % 2 == 0 ? i : perPass - 1 - i) * kPointSpacing;
            Point p;
            UtmToLatLon(f.east + x, f.north + y, p.lat, p.lon);
            p.alt = f.altitude + f.slope * y / 100 + 1.5 * std::sin(x / 70 + f.phase);
            p.bi = std::clamp(Biomass(f, x, y) + noise.Next(), 1.45, 3.85);
            double target = std::round(NTarget(p.bi));
            bool calibrating = k >= kCalibrationFrom && k < kCalibrationFrom + kCalibrationPoints;
            p.n = calibrating ? -1 : target;
            // The spreader reaches a new rate over a few seconds; it starts each pass at the target.
            nas = (i == 0) ? target : nas + 0.45 * (target - nas);
            p.nas = std::round(nas);
            p.markers = (k >= weedyFrom && k < weedyFrom + 9) ? 1 : (k >= wetFrom && k < wetFrom + 5) ? 4 : 0;
            points.push_back(p);
        }
    }
    return points;
}

std::int32_t Scaled(double degrees) { return static_cast<std::int32_t>(std::lround(degrees * 1e7)); }
std::uint8_t Byte(double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

logwriter::Bytes BinaryLog(const SampleField& f, const std::vector<Point>& points) {
    logwriter::BinaryHeader header;
    header.textA = "Terminal 1";
    char area[16];
    std::snprintf(area, sizeof area, "%.2fha", AreaHa(f));
    header.area = area;
    header.textB = "Demo";
    header.textC = Spaced(f.name);
    header.textD = f.crop;
    header.textE = "2nd N dose";
    logwriter::BinaryLogWriter log(header);
    log.Nc(static_cast<std::int16_t>(std::lround(f.nc * 100)));
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        log.Position(Scaled(p.lat), Scaled(p.lon), static_cast<std::int16_t>(std::lround(p.alt * 10)));
        // The sensor's reading is ten times the biomass index.
        log.Reading(static_cast<float>(p.bi * 10), static_cast<float>(p.n), static_cast<std::uint8_t>(f.applFactor));
        log.NasInteger(static_cast<std::int16_t>(p.nas));
        if (p.markers) log.Markers(static_cast<std::uint8_t>(p.markers));
        if (k % 50 == 0) log.Record(0x0031, logwriter::Bytes(48, 0));
    }
    return log.Data();
}

// The older format keeps N and N applied in steps of 2 kg and N content in steps of 0.5 %;
// its markers stay set from one marker message to the next.
logwriter::Bytes LegacyLog(const SampleField& f, const std::vector<Point>& points) {
    using W = logwriter::LegacyLogWriter;
    W log;
    int markers = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point& p = points[k];
        auto position = [&] { log.Position(Byte(p.alt), Scaled(p.lat), Scaled(p.lon)); };
        if (k == 0) {
            log.Value(0, W::Type3Word0(Byte(f.nc * 2)));
            position();
        }
        if (p.markers != markers) {
            markers = p.markers;
            log.Value(0, W::Type7Word0(static_cast<std::uint8_t>(markers)));
            position();
        }
        auto readingByte = Byte((p.bi * 10 - 14) * 10);
        auto biByte = Byte((p.bi / 10 + 1) / 0.02);
        auto nHalf = p.n < 0 ? std::uint8_t(254) : Byte(p.n / 2);
        log.Value(0, W::Type1Word0(nHalf, readingByte));
        log.Value(1, W::Type1Word1(biByte, Byte(p.nas / 2), static_cast<std::uint8_t>(f.applFactor / 10)));
        position();
    }
    log.Value(0, 0).EndMarker();
    return log.Data();
}

// Text files are written with CR LF line ends, as the terminal's Windows side writes them.
void SaveText(const std::string& path, const std::string& text, bool crlf) {
    std::string out;
    for (char c : text) {
        if (c == '\n' && crlf) out += '\r';
        out += c;
    }
    logwriter::SaveBytes(path, logwriter::Bytes(out.begin(), out.end()));
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// Crops and farms numbered by first appearance, as the publisher numbers them.
int IdOf(std::vector<std::string>& names, const std::string& name) {
    auto found = std::find(names.begin(), names.end(), name);
    if (found != names.end()) return static_cast<int>(found - names.begin()) + 1;
    names.push_back(name);
    return static_cast<int>(names.size());
}

// "fields.txt" in the layout the publisher writes for the terminal: number, name, area in
// hectares, crop, farm, comment and the ids of crop, field and farm.
std::string FieldsText() {
    std::string text =
        "\"Nr.\",\"Schlagname\",\"size\",\"Fruchart\",\"Kunde\",\"Kommentar\",\"croplookupexpid\",\"expid\","
        "\"customerlookupexpid\",\n";
    std::vector<std::string> farms, crops;
    int nr = 0;
    for (const SampleField& f : kFields) {
        int farm = IdOf(farms, f.farm), crop = IdOf(crops, f.crop);
        text += Format("\"%d\",\"%s\",\"%.2f\",\"%s\",\"%s\",,\"%d\",\"%d\",\"%d\",\n", nr, Spaced(f.name).c_str(),
                       AreaHa(f), f.crop.c_str(), f.farm.c_str(), crop, nr + 1, farm);
        ++nr;
    }
    return text;
}

std::string Corner(double east, double north) { return Format("[%.1f, %.1f]", east, north); }

std::string RxId(const SampleField& f) {
    std::string id = "RX-" + f.name + "-N2";
    std::replace(id.begin(), id.end(), '_', '-');
    return id;
}

// The field in 60 m blocks from its south-west corner; each block's rate is the N target of its
// mean biomass, rounded to 5 kg N/ha.
std::string Prescription(const SampleField& f) {
    std::string text = "    {\"id\": \"" + RxId(f) + "\", \"zones\": [\n";
    bool first = true;
    for (double y0 = 0; y0 < f.heightM; y0 += kBlock) {
        for (double x0 = 0; x0 < f.widthM; x0 += kBlock) {
            double x1 = std::min(x0 + kBlock, f.widthM), y1 = std::min(y0 + kBlock, f.heightM);
            double sum = 0;
            int count = 0;
            for (double y = y0 + 2.5; y < y1; y += 5)
                for (double x = x0 + 2.5; x < x1; x += 5, ++count) sum += Biomass(f, x, y);
            double rate = 5 * std::round(NTarget(sum / count) / 5);
            text += first ? "" : ",\n";
            first = false;
            text += "      {\"polygon\": [" + Corner(f.east + x0, f.north + y0) + ", " +
                    Corner(f.east + x1, f.north + y0) + ", " + Corner(f.east + x1, f.north + y1) + ", " +
                    Corner(f.east + x0, f.north + y1) + "], \"rates\": {\"N\": " + Format("%.0f", rate) + "}}";
        }
    }
    return text + "\n    ]}";
}

// The farm plan of the sample fields for the command-line host's publish command.
std::string PlanText() {
    std::vector<std::string> farms;
    for (const SampleField& f : kFields) IdOf(farms, f.farm);
    std::string text = "{\n  \"farms\": [\n";
    for (std::size_t i = 0; i < farms.size(); ++i) {
        text += "    {\"name\": \"" + farms[i] + "\", \"fields\": [\n";
        bool first = true;
        for (const SampleField& f : kFields) {
            if (f.farm != farms[i]) continue;
            text += first ? "" : ",\n";
            first = false;
            std::string field = Spaced(f.name);
            text += Format(
                "      {\"name\": \"%s\", \"area\": %.2f, \"cropZones\": [{\"name\": \"%s 2026\", \"crop\": \"%s\", "
                "\"area\": %.2f}]}",
                field.c_str(), AreaHa(f), field.c_str(), f.crop.c_str(), AreaHa(f));
        }
        text += "\n    ]}";
        text += i + 1 < farms.size() ? ",\n" : "\n";
    }
    text += "  ],\n  \"crops\": [\"Winter wheat\", \"Winter barley\", \"Winter oilseed rape\", \"Spring barley\"],\n";
    text += "  \"prescriptions\": [\n";
    const std::size_t count = std::size(kFields);
    for (std::size_t i = 0; i < count; ++i) text += Prescription(kFields[i]) + (i + 1 < count ? ",\n" : "\n");
    text += "  ],\n  \"operations\": [\n";
    for (std::size_t i = 0; i < count; ++i) {
        std::string field = Spaced(kFields[i].name);
        text += "    {\"field\": \"" + field + "\", \"cropZone\": \"" + field +
                " 2026\", \"comment\": \"2nd N dose\", \"prescription\": \"" + RxId(kFields[i]) + "\"}" +
                (i + 1 < count ? ",\n" : "\n");
    }
    return text + "  ]\n}\n";
}

int Usage() {
    std::fputs("usage: samplelogs OUTDIR [--points N] [--plan PLAN.json]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return Usage();
    std::string dir = argv[1];
    int maxPoints = 1 << 30;
    std::string planPath;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        if (arg == "--points") {
            char* end = nullptr;
            long value = std::strtol(argv[++i], &end, 10);
            if (*end || value < 1) return Usage();
            maxPoints = static_cast<int>(std::min(value, 1L << 30));
        } else if (arg == "--plan") {
            planPath = argv[++i];
        } else {
            return Usage();
        }
    }
    try {
        for (const SampleField& f : kFields) {
            auto points = DrivePasses(f, maxPoints);
            std::string path = dir + "/Log_" + f.name + "_" + f.date + ".log";
            logwriter::SaveBytes(path, f.binary ? BinaryLog(f, points) : LegacyLog(f, points));
            std::printf("%s (%s, %zu points)\n", path.c_str(), f.binary ? "binary log" : "older log", points.size());
        }
        std::string fields = dir + "/fields.txt";
        SaveText(fields, FieldsText(), true);
        std::printf("%s (%zu fields with farm, area and crop)\n", fields.c_str(), std::size(kFields));
        if (!planPath.empty()) {
            SaveText(planPath, PlanText(), false);
            std::printf("%s (farm plan: %zu fields, a prescription each)\n", planPath.c_str(), std::size(kFields));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "samplelogs: %s\n", e.what());
        return 1;
    }
    return 0;
}
