#include "roadjob/routing_codes.h"

#include <gtest/gtest.h>

namespace itn {
namespace {

TEST(RoutingCodesTest, ColumnsOfRoadLinks) {
    struct Case {
        const char* term;
        const char* nature;
        bool trunk;
        int32_t oneway;
        int32_t a2, ac, a4, ap;
    };
    const Case cases[] = {
        {"Motorway", "Dual Carriageway", false, 0, 65, 33, 1, 1},
        {"Motorway", "Single Carriageway", false, 0, 65, 33, 1, 1},
        {"A Road", "Dual Carriageway", true, 0, 66, 34, 2, 1},
        {"A Road", "Single Carriageway", true, 0, 67, 35, 3, 1},
        {"A Road", "Dual Carriageway", false, 0, 4, 4, 4, 0},
        {"A Road", "Single Carriageway", false, 0, 5, 5, 5, 0},
        {"B Road", "Dual Carriageway", false, 0, 6, 6, 6, 0},
        {"Motorway", "Roundabout", true, 0, 2059, 2059, 2059, 0},
        {"Motorway", "Roundabout", false, 1, 2571, 2571, 2571, 0},
        {"Motorway", "Slip Road", false, 0, 10, 10, 10, 0},
        {"B Road", "Single Carriageway", false, 1, 518, 518, 518, 0},
        {"B Road", "Single Carriageway", false, 2, 1030, 1030, 1030, 0},
        {"Pedestrianised Street", "Single Carriageway", false, 0, 142, 78, 14, 2},
        {"Minor Road", "", false, 0, 7, 7, 7, 0},
        {"Local Street", "", false, 0, 8, 8, 8, 0},
        {"Alley", "", false, 0, 9, 9, 9, 0},
        {"Private Road - Publicly Accessible", "", false, 0, 12, 12, 12, 0},
        {"Private Road - Restricted Access", "", false, 0, 13, 13, 13, 0},
        {"Ferry Connection", "", false, 0, 4112, 4112, 4112, 0},
    };
    for (const Case& c : cases) {
        bool known = false;
        const TRoadClass rc = ComputeRoadClass(c.term, c.nature, c.trunk, c.oneway, known);
        EXPECT_TRUE(known) << c.term;
        EXPECT_EQ(Attribute2Value(rc), c.a2) << c.term << " / " << c.nature;
        EXPECT_EQ(AttributeCValue(rc), c.ac) << c.term << " / " << c.nature;
        EXPECT_EQ(Attribute4Value(rc), c.a4) << c.term << " / " << c.nature;
        EXPECT_EQ(AvoidPatternValue(rc), c.ap) << c.term << " / " << c.nature;
    }
}

TEST(RoutingCodesTest, UnknownTermKeepsOnlyTheOnewayBits) {
    bool known = true;
    const TRoadClass rc = ComputeRoadClass("Track", "Single Carriageway", false, 2, known);
    EXPECT_FALSE(known);
    EXPECT_EQ(rc.RoadClassCode, 1024);
    ComputeRoadClass("", "", false, 0, known);
    EXPECT_FALSE(known);
}

TEST(RoutingCodesTest, FerryAndAppendedColumns) {
    std::string text = "x";
    AppendRoutingValues(text, FerryRoadClass(), true, true, true, true);
    EXPECT_EQ(text, "x,4112,4112,4112,0");
    bool known;
    text = "y";
    AppendRoutingValues(text, ComputeRoadClass("A Road", "Dual Carriageway", false, 1, known), false, false, true,
                        true);
    EXPECT_EQ(text, "y,516,0");
}

}  // namespace
}  // namespace itn
