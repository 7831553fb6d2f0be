#include "Reports.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace nivrahost {
namespace {

std::string FarmOf(const Json& store, const Json& fieldKey) {
    for (const Json& node : store["catalog"]["fields"])
        if (node["key"] == fieldKey && node["parent"].is_string()) return node["parent"].get<std::string>();
    return std::string();
}

std::string Markers(const Json& point) {
    std::string text;
    for (const Json& event : point["events"]) {
        if (!text.empty()) text += ',';
        text += event[0].get<std::string>();
    }
    return text;
}

std::string Format(const char* format, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string ValueRanges(const Json& points) {
    std::string text;
    for (const char* key : kValueKeys) {
        double low = std::numeric_limits<double>::infinity(), high = -low;
        for (const Json& point : points) {
            const Json& value = point["values"][key]["value"];
            if (!value.is_number()) continue;
            low = std::min(low, value.get<double>());
            high = std::max(high, value.get<double>());
        }
        if (low > high) continue;
        char line[160];
        std::snprintf(line, sizeof line, "    %-14s %s\n", key, Format("%.2f .. %.2f", low, high).c_str());
        text += line;
    }
    return text;
}

std::string MarkerCounts(const Json& points) {
    std::map<std::string, int> counts;
    for (const Json& point : points)
        for (const Json& event : point["events"]) ++counts[event[0].get<std::string>()];
    std::string text = "    markers        ";
    if (counts.empty()) return text + "none\n";
    bool first = true;
    for (const auto& entry : counts) {
        text += (first ? "" : ", ") + entry.first + " " + std::to_string(entry.second);
        first = false;
    }
    return text + "\n";
}

}  // namespace

std::string LocalDay(double seconds) {
    time_t when = static_cast<time_t>(seconds);
    struct tm* local = localtime(&when);
    if (!local) return "-";
    char day[32];
    strftime(day, sizeof day, "%Y-%m-%d", local);
    return day;
}

std::string OperationSummary(const Json& store) {
    std::string text;
    for (const Json& op : store["catalog"]["operations"]) {
        const Json& points = op["points"];
        const std::string field = op["node"].is_string() ? op["node"].get<std::string>() : std::string("-");
        const std::string farm = FarmOf(store, op["node"]);
        text += op["name"].get<std::string>() + "\n";
        text += "    field          " + field + (farm.empty() ? std::string() : "  (farm " + farm + ")") + "\n";
        text += "    date           " +
                (points.empty() ? std::string("-") : LocalDay(points[0]["time"].get<double>())) + "\n";
        text += "    points         " + std::to_string(points.size()) + "\n";
        text += ValueRanges(points);
        text += MarkerCounts(points);
    }
    return text;
}

Json PointsAsGeoJson(const Json& store) {
    Json features = Json::array();
    for (const Json& op : store["catalog"]["operations"]) {
        for (const Json& point : op["points"]) {
            Json properties{
                {"operation", op["name"]}, {"field", op["node"]}, {"date", LocalDay(point["time"].get<double>())}};
            for (const char* key : kValueKeys) properties[key] = point["values"][key]["value"];
            properties["markers"] = Markers(point);
            Json coordinates = Json::array({point["x"], point["y"]});
            if (point["measures"].size() == 4) coordinates.push_back(point["measures"][3]["value"]);
            features.push_back({{"type", "Feature"},
                                {"geometry", {{"type", "Point"}, {"coordinates", coordinates}}},
                                {"properties", properties}});
        }
    }
    return Json{{"type", "FeatureCollection"}, {"features", features}};
}

}  // namespace nivrahost
