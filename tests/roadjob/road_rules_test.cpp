#include "roadjob/road_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace itn {
namespace {

TEST(HeightTest, UnitsAndRounding) {
    struct Case {
        int32_t feet, inches;
        double metres;
        int32_t cm, inch;
    };
    const Case cases[] = {
        {14, 6, 0, 442, 174},
        {0, 0, 4.4, 440, 173},
        {0, 0, 4.125, 412, 162},
        {14, 6, 3.0, 442, 174},  // feet and inches win over metres
        {0, 7, 0, 18, 7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeightInUnit(c.feet, c.inches, c.metres, 0), c.cm);
        EXPECT_EQ(HeightInUnit(c.feet, c.inches, c.metres, 1), c.inch);
    }
}

TEST(RoadNumberTest, DigitAfterTheFirstCharacter) {
    EXPECT_FALSE(IsRoadNumber("1st Avenue"));
    EXPECT_FALSE(IsRoadNumber("High Street"));
    EXPECT_FALSE(IsRoadNumber(""));
    EXPECT_TRUE(IsRoadNumber("A1(M)"));
    EXPECT_TRUE(IsRoadNumber("B1234"));
}

TEST(RoundingTest, HalfToEvenWithinThirtyTwoBits) {
    struct Case {
        double x;
        int32_t rounded;
    };
    const Case cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {1e12, std::numeric_limits<int32_t>::max()},
        {-1e12, std::numeric_limits<int32_t>::min()},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.x), c.rounded) << c.x;
}

// What several features (or files merged in order) say about one link, in reading order.
TEST(MergeRuleTest, VersionsHeightsAndRoads) {
    auto versions = NewHashedList<int32_t>();
    for (int32_t v : {3, 5, 4}) KeepHighestVersion(*versions, "osgb1", v);
    EXPECT_EQ(*versions->Find("osgb1"), 5);

    auto heights = NewSortedList<int32_t>();
    for (int32_t h : {420, 380, 400}) KeepLowestHeight(*heights, "osgb1", h);
    EXPECT_EQ(*heights->Find("osgb1"), 380);

    struct Case {
        const char* what;
        TRoad first, later, merged;
    };
    const Case cases[] = {
        {"later name and number win", {1, 2, false, false}, {3, 4, false, false}, {3, 4, false, false}},
        {"no later name keeps the earlier", {1, 2, false, false}, {-1, -1, false, false}, {1, 2, false, false}},
        {"a flag once set stays", {1, -1, true, false}, {-1, 5, false, true}, {1, 5, true, true}},
        {"first road taken as it is", {-1, -1, false, false}, {-1, 7, true, false}, {-1, 7, true, false}},
    };
    for (const Case& c : cases) {
        auto roads = NewSortedList<TRoad>();
        MergeRoad(*roads, "osgb1", c.first);
        MergeRoad(*roads, "osgb1", c.later);
        const TRoad* road = roads->Find("osgb1");
        ASSERT_NE(road, nullptr) << c.what;
        EXPECT_EQ(road->RoadNameId, c.merged.RoadNameId) << c.what;
        EXPECT_EQ(road->RoadNumberId, c.merged.RoadNumberId) << c.what;
        EXPECT_EQ(road->IsTrunk, c.merged.IsTrunk) << c.what;
        EXPECT_EQ(road->IsPrimary, c.merged.IsPrimary) << c.what;
    }
}

}  // namespace
}  // namespace itn
