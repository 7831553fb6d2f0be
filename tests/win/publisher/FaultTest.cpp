// Every host call of a small publish failing in turn: the failure comes back as the slot's
// result (or, inside the shape step, is dropped), no text file is written by a failed run,
// and no host object is left alive.
#include "PublisherFixture.h"

#include <sstream>

namespace pubtest {
namespace {

constexpr HRESULT kInjected = static_cast<HRESULT>(0x8004A5A5);

Json SmallPlan() {
    return Json{{"nodes",
                 {Node("c", "client", "", "Client"), Node("f", "farm", "c", "Farm"),
                  Hectares(Node("fld", "field", "f", "Plot"), 2.5), Hectares(CropZone("cz", "fld", "wheat"), 1.5)}},
                {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}}},
                {"operations", {Operation("cz", "dose", "RX")}},
                {"prescriptions", {{{"id", "RX"}, {"zones", {RectZone(0, 0, 60, 30, {{"N", 40}})}}}}}};
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

using PublishFaults = Publisher;

TEST_F(PublishFaults, EachHostCallFailingInTurn) {
    const char* const textFiles[] = {"crops.txt", "tasks.txt", "fields.txt", "customers.txt"};
    MakePublisher();
    ChooseOption(L"Export", "Yes");

    // A clean run first, to learn the calls of the run.
    ComPtr<IvnCatalog> catalog = Catalog(SmallPlan());
    host.Reset();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(S_OK, publisher->Publish(catalog.Get(), 0, 0, &ok));
    ASSERT_EQ(VARIANT_TRUE, ok);
    const std::vector<std::string> calls = SplitLines(host.CallLog());
    ASSERT_GT(calls.size(), 30u);
    auto shapeCall = std::find(calls.begin(), calls.end(), "IvnFactory.WriteShapeFile");
    ASSERT_NE(shapeCall, calls.end());
    // The factory's creation and its one call make the shape step.
    const size_t shapeStepFirst = static_cast<size_t>(shapeCall - calls.begin()) - 1;
    catalog.Reset();
    // What the publisher itself holds (units factory, cell size, options) stays alive.
    const LONG livePublisher = host.LiveObjects();

    for (size_t k = 1; k <= calls.size(); ++k) {
        SCOPED_TRACE("call " + std::to_string(k) + ": " + calls[k - 1]);
        for (const char* name : textFiles) std::filesystem::remove(FileIn(name));
        ComPtr<IvnCatalog> failing = Catalog(SmallPlan());
        host.Reset();
        host.ArmFailure(static_cast<LONG>(k), kInjected);
        ok = 0x1234;
        HRESULT hr = publisher->Publish(failing.Get(), 0, 0, &ok);
        host.ArmFailure(0, S_OK);
        failing.Reset();
        if (k - 1 >= shapeStepFirst && k - 1 <= shapeStepFirst + 1) {
            EXPECT_EQ(S_OK, hr) << "a failing shape step is dropped";
            EXPECT_EQ(VARIANT_TRUE, ok);
        } else {
            EXPECT_EQ(kInjected, hr);
            for (const char* name : textFiles) EXPECT_FALSE(Exists(name)) << name;
        }
        EXPECT_EQ(host.LiveObjects(), livePublisher) << "host objects left alive";
    }
}

}  // namespace
}  // namespace pubtest
