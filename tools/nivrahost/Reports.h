// What the command-line host makes of the host's store after an import: a summary per
// operation for the terminal, and the logged points as a GeoJSON FeatureCollection.
#pragma once
#include <nlohmann/json.hpp>

#include <string>

namespace nivrahost {

using Json = nlohmann::json;

// The six values of a logged point, by their data-column keys.
inline const char* const kValueKeys[] = {"Biomass_Index", "N_Target", "N_Applied", "ApplFactor", "Nc", "Rate"};

// One paragraph per operation: field, farm, date, points, value ranges and marker counts.
std::string OperationSummary(const Json& store);

// Every point of every operation, with its operation, field, time, six values and markers.
Json PointsAsGeoJson(const Json& store);

// The local calendar day of a time in seconds since 1970 UTC, as YYYY-MM-DD.
std::string LocalDay(double seconds);

}  // namespace nivrahost
