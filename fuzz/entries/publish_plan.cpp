// The command-line host's farm-plan reader (tools/nivrahost/PublishPlan), which has no
// Windows header: any text either gives catalog settings whose references all resolve, or
// fails with a PlanError that names its place (a JSON path, or line and column).
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "PublishPlan.h"

namespace nivrafuzz {
namespace {

using Json = nlohmann::json;

std::set<std::string> Texts(const Json& list, const char* member) {
    std::set<std::string> texts;
    for (const Json& item : list) texts.insert(item.at(member).get<std::string>());
    return texts;
}

void CheckCatalog(const Json& catalog) {
    const Json& nodes = catalog.at("nodes");
    std::set<std::string> keys;
    const std::set<std::string> crops = Texts(catalog.at("crops"), "key");
    for (const Json& node : nodes) {
        if (node.contains("parent"))
            Check(keys.count(node.at("parent").get<std::string>()) > 0, "a node's parent comes before it");
        if (node.contains("cropKey"))
            Check(crops.count(node.at("cropKey").get<std::string>()) > 0, "a crop zone's crop is in the crop list");
        Check(!node.at("name").get<std::string>().empty(), "every node has a name");
        Check(keys.insert(node.at("key").get<std::string>()).second, "node keys are unique");
    }
    Check(crops.size() == catalog.at("crops").size(), "crops are listed once");
    const std::set<std::string> prescriptions = Texts(catalog.at("prescriptions"), "id");
    Check(prescriptions.size() == catalog.at("prescriptions").size(), "prescription ids are unique");
    for (const Json& operation : catalog.at("operations")) {
        Check(keys.count(operation.at("node").get<std::string>()) > 0, "an operation's node is in the catalog");
        if (operation.contains("prescription"))
            Check(prescriptions.count(operation.at("prescription").get<std::string>()) > 0,
                  "an operation's prescription is in the catalog");
    }
}

}  // namespace

void PublishPlanOne(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Json catalog;
    try {
        catalog = nivrahost::CatalogFromPlanText(text);
    } catch (const nivrahost::PlanError& error) {
        const std::string message = error.what();
        Check(message.rfind("/", 0) == 0 || message.rfind("line ", 0) == 0, "a plan error starts with its place",
              message);
        return;
    }
    CheckCatalog(catalog);
}

}  // namespace nivrafuzz
