#include "PublishPlan.h"

#include <map>
#include <set>
#include <vector>

#include "host/HostCodes.h"

namespace nivrahost {
namespace {

using Json = nlohmann::json;

constexpr const char* kUnassignedClient = "< Unassigned Client >";

[[noreturn]] void Fail(const std::string& place, const std::string& message) {
    throw PlanError(place + ": " + message);
}

const Json& Member(const Json& object, const std::string& place, const char* name) {
    if (!object.is_object()) Fail(place, "expected an object");
    if (!object.contains(name)) Fail(place, std::string("\"") + name + "\" is missing");
    return object.at(name);
}

std::string TextAt(const Json& value, const std::string& place) {
    if (!value.is_string()) Fail(place, "expected a text");
    if (value.get<std::string>().empty()) Fail(place, "must not be empty");
    return value.get<std::string>();
}

std::string NameOf(const Json& object, const std::string& place) {
    return TextAt(Member(object, place, "name"), place + "/name");
}

// A list that may be left out.
const Json& ListAt(const Json& object, const std::string& place, const char* name) {
    static const Json kEmpty = Json::array();
    if (!object.is_object()) Fail(place, "expected an object");
    if (!object.contains(name)) return kEmpty;
    const Json& list = object.at(name);
    if (!list.is_array()) Fail(place + "/" + name, "expected a list");
    return list;
}

double NumberAt(const Json& value, const std::string& place) {
    if (!value.is_number()) Fail(place, "expected a number");
    return value.get<double>();
}

class PlanReader {
public:
    Json Read(const Json& plan) {
        if (!plan.is_object()) Fail("/", "the plan must be an object");
        for (const auto& item : plan.items())
            if (!std::set<std::string>{"clients", "farms", "crops", "operations", "prescriptions"}.count(item.key()))
                Fail("/" + item.key(), "unknown entry");
        ReadCrops(plan);
        const Json& clients = ListAt(plan, "", "clients");
        for (size_t i = 0; i < clients.size(); ++i) ReadClient(clients[i], "/clients/" + std::to_string(i));
        const Json& farms = ListAt(plan, "", "farms");
        if (!farms.empty()) {
            std::string unassigned = AddNode("client", kUnassignedClient, "");
            for (size_t i = 0; i < farms.size(); ++i) ReadFarm(farms[i], "/farms/" + std::to_string(i), unassigned);
        }
        ReadPrescriptions(plan);
        const Json& operations = ListAt(plan, "", "operations");
        for (size_t i = 0; i < operations.size(); ++i) ReadOperation(operations[i], "/operations/" + std::to_string(i));
        return Json{
            {"nodes", nodes_}, {"crops", crops_}, {"operations", operations_}, {"prescriptions", prescriptions_}};
    }

private:
    std::string AddNode(const char* kind, const std::string& name, const std::string& parent,
                        const Json* area = nullptr) {
        std::string key = std::string(kind) + ":" + std::to_string(nodes_.size() + 1);
        Json node{{"key", key}, {"kind", kind}, {"name", name}};
        if (!parent.empty()) node["parent"] = parent;
        if (area) node["area"] = *area;
        nodes_.push_back(node);
        return key;
    }

    // Areas are hectares in the plan.
    static Json AreaAt(const Json& object, const std::string& place) {
        if (!object.contains("area")) return nullptr;
        double hectares = NumberAt(object.at("area"), place + "/area");
        if (hectares < 0) Fail(place + "/area", "must not be negative");
        return Json{{"code", hostcodes::kHectare}, {"value", hectares}};
    }

    void AddCrop(const std::string& name) {
        if (cropNames_.insert(name).second) crops_.push_back({{"key", name}, {"name", name}});
    }

    void ReadCrops(const Json& plan) {
        const Json& crops = ListAt(plan, "", "crops");
        for (size_t i = 0; i < crops.size(); ++i) AddCrop(TextAt(crops[i], "/crops/" + std::to_string(i)));
    }

    void ReadClient(const Json& client, const std::string& place) {
        std::string key = AddNode("client", NameOf(client, place), "");
        const Json& farms = ListAt(client, place, "farms");
        for (size_t i = 0; i < farms.size(); ++i) ReadFarm(farms[i], place + "/farms/" + std::to_string(i), key);
    }

    void ReadFarm(const Json& farm, const std::string& place, const std::string& client) {
        std::string farmName = NameOf(farm, place);
        std::string key = AddNode("farm", farmName, client);
        const Json& fields = ListAt(farm, place, "fields");
        for (size_t i = 0; i < fields.size(); ++i)
            ReadField(fields[i], place + "/fields/" + std::to_string(i), key, farmName);
    }

    void ReadField(const Json& field, const std::string& place, const std::string& farm, const std::string& farmName) {
        std::string name = NameOf(field, place);
        Json area = AreaAt(field, place);
        std::string key = AddNode("field", name, farm, area.is_null() ? nullptr : &area);
        fields_.push_back(FieldEntry{name, farmName, key, {}});
        const Json& zones = ListAt(field, place, "cropZones");
        for (size_t i = 0; i < zones.size(); ++i) {
            std::string zonePlace = place + "/cropZones/" + std::to_string(i);
            std::string zoneName = NameOf(zones[i], zonePlace);
            std::string crop = TextAt(Member(zones[i], zonePlace, "crop"), zonePlace + "/crop");
            AddCrop(crop);
            Json zoneArea = AreaAt(zones[i], zonePlace);
            std::string zoneKey = AddNode("cropZone", zoneName, key, zoneArea.is_null() ? nullptr : &zoneArea);
            nodes_.back()["cropKey"] = crop;
            fields_.back().zones[zoneName] = zoneKey;
        }
    }

    Json PrescriptionAt(const Json& rx, const std::string& place, const std::string& defaultId) {
        if (!rx.is_object()) Fail(place, "expected a prescription object");
        std::string id = rx.contains("id") ? TextAt(rx.at("id"), place + "/id") : defaultId;
        const Json& zones = Member(rx, place, "zones");
        if (!zones.is_array() || zones.empty()) Fail(place + "/zones", "expected a list of rate zones");
        Json out{{"id", id}, {"zones", Json::array()}};
        for (size_t i = 0; i < zones.size(); ++i) {
            std::string zonePlace = place + "/zones/" + std::to_string(i);
            const Json& polygon = Member(zones[i], zonePlace, "polygon");
            if (!polygon.is_array() || polygon.size() < 3)
                Fail(zonePlace + "/polygon", "expected at least three corners");
            for (size_t c = 0; c < polygon.size(); ++c) {
                std::string cornerPlace = zonePlace + "/polygon/" + std::to_string(c);
                if (!polygon[c].is_array() || polygon[c].size() != 2) Fail(cornerPlace, "expected [x, y]");
                NumberAt(polygon[c][0], cornerPlace + "/0");
                NumberAt(polygon[c][1], cornerPlace + "/1");
            }
            const Json& rates = Member(zones[i], zonePlace, "rates");
            if (!rates.is_object() || rates.empty()) Fail(zonePlace + "/rates", "expected rates by product");
            for (const auto& rate : rates.items()) NumberAt(rate.value(), zonePlace + "/rates/" + rate.key());
            out["zones"].push_back({{"polygon", polygon}, {"rates", rates}});
        }
        return out;
    }

    void ReadPrescriptions(const Json& plan) {
        const Json& list = ListAt(plan, "", "prescriptions");
        for (size_t i = 0; i < list.size(); ++i) {
            std::string place = "/prescriptions/" + std::to_string(i);
            Json rx = PrescriptionAt(list[i], place, "RX-" + std::to_string(i + 1));
            if (!prescriptionIds_.insert(rx.at("id").get<std::string>()).second) Fail(place + "/id", "used twice");
            prescriptions_.push_back(rx);
        }
    }

    const std::string& FieldKey(const Json& operation, const std::string& place, const std::string& name) {
        std::string farm = operation.contains("farm") ? TextAt(operation.at("farm"), place + "/farm") : std::string();
        const FieldEntry* found = nullptr;
        for (const FieldEntry& entry : fields_) {
            if (entry.name != name || (!farm.empty() && entry.farm != farm)) continue;
            if (found) Fail(place + "/field", "\"" + name + "\" names more than one field; add \"farm\"");
            found = &entry;
        }
        if (!found)
            Fail(place + "/field", "no field \"" + name + "\"" + (farm.empty() ? "" : " on farm \"" + farm + "\""));
        if (!operation.contains("cropZone")) return found->key;
        std::string zone = TextAt(operation.at("cropZone"), place + "/cropZone");
        auto key = found->zones.find(zone);
        if (key == found->zones.end())
            Fail(place + "/cropZone", "no crop zone \"" + zone + "\" on field \"" + name + "\"");
        return key->second;
    }

    void ReadOperation(const Json& operation, const std::string& place) {
        std::string field = TextAt(Member(operation, place, "field"), place + "/field");
        Json out{{"node", FieldKey(operation, place, field)}};
        if (operation.contains("comment")) {
            if (!operation.at("comment").is_string()) Fail(place + "/comment", "expected a text");
            out["comment"] = operation.at("comment");
        }
        if (operation.contains("prescription")) {
            const Json& rx = operation.at("prescription");
            if (rx.is_string()) {
                if (!prescriptionIds_.count(rx.get<std::string>()))
                    Fail(place + "/prescription", "no prescription \"" + rx.get<std::string>() + "\"");
                out["prescription"] = rx;
            } else {
                Json own =
                    PrescriptionAt(rx, place + "/prescription", "RX-op" + std::to_string(operations_.size() + 1));
                if (!prescriptionIds_.insert(own.at("id").get<std::string>()).second)
                    Fail(place + "/prescription/id", "used twice");
                out["prescription"] = own.at("id");
                prescriptions_.push_back(own);
            }
        }
        operations_.push_back(out);
    }

    struct FieldEntry {
        std::string name;
        std::string farm;
        std::string key;
        std::map<std::string, std::string> zones;  // crop zone name -> key
    };

    Json nodes_ = Json::array();
    Json crops_ = Json::array();
    Json operations_ = Json::array();
    Json prescriptions_ = Json::array();
    std::set<std::string> cropNames_;
    std::set<std::string> prescriptionIds_;
    std::vector<FieldEntry> fields_;
};

// Line and column (1-based) of a byte offset.
std::string LineAndColumn(const std::string& text, size_t offset) {
    size_t line = 1, column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The parser's byte count where parsing failed (one past the offending character). Only
// parse_error carries it; the SAX interface hands it out for every failure of the parse.
class FailurePosition : public nlohmann::json_sax<Json> {
public:
    size_t byte = 0;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override {
        byte = position;
        return false;
    }
};

size_t FailureByte(const std::string& text) {
    FailurePosition failure;
    Json::sax_parse(text, &failure);
    return failure.byte;
}

}  // namespace

nlohmann::json CatalogFromPlan(const nlohmann::json& plan) { return PlanReader().Read(plan); }

nlohmann::json CatalogFromPlanText(const std::string& text) {
    nlohmann::json plan;
    try {
        plan = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        // Not only parse_error: a number beyond the double range is an out_of_range error.
        const size_t byte = FailureByte(text);
        throw PlanError(LineAndColumn(text, byte > 0 ? byte - 1 : 0) + ": not JSON (" + e.what() + ")");
    }
    return CatalogFromPlan(plan);
}

}  // namespace nivrahost
