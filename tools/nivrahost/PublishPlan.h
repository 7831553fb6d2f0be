// A farm plan written by hand, turned into the reference host's catalog settings.
//
// {"clients": [{"name", "farms": [FARM...]}],   clients with their farms
//  "farms": [FARM...],                           farms without a client ("< Unassigned Client >")
//  "crops": ["Winter wheat", ...],               the catalog's crop list (crop zones add theirs)
//  "operations": [{"field": NAME, "farm": NAME?, "cropZone": NAME?, "comment": TEXT?,
//                  "prescription": RX | "id of an entry of prescriptions"}],
//  "prescriptions": [RX...]}
// FARM: {"name", "fields": [{"name", "area"?: ha, "cropZones": [{"name", "crop", "area"?: ha}]}]}
// RX:   {"id"?, "zones": [{"polygon": [[x, y], ...] (metres), "rates": {"product": rate}}]}
#pragma once
#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

namespace nivrahost {

// A plan that cannot be published; the message starts with the place in the plan.
class PlanError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the plan text (errors name line and column) and gives the catalog settings.
nlohmann::json CatalogFromPlanText(const std::string& text);
nlohmann::json CatalogFromPlan(const nlohmann::json& plan);

}  // namespace nivrahost
