#include "roadjob/line_location.h"

#include <gtest/gtest.h>

#include "input/xml_errors.h"

namespace itn {
namespace {

TEST(LineLocationTest, ParsesCoordinateTexts) {
    TFloatPointArrayEx points;
    ParseCoordinates("1.5,2 3,4.25\n\t 5,6  ", points);
    ASSERT_EQ(points.Count, 3);
    EXPECT_EQ(points.Pnt[0], (TFloatPoint{1.5, 2}));
    EXPECT_EQ(points.Pnt[2], (TFloatPoint{5, 6}));
    const size_t capacity = points.Pnt.size();
    ParseCoordinates("7,8", points);
    EXPECT_EQ(points.Count, 1);
    EXPECT_EQ(points.Pnt.size(), capacity);  // never shrinks
    ParseCoordinates("", points);
    EXPECT_EQ(points.Count, 0);
    EXPECT_EQ(ParseCoordPair("437500.25,115200.5"), (TFloatPoint{437500.25, 115200.5}));
}

TEST(LineLocationTest, CoordinatesMustBeFiniteNumbers) {
    for (const char* good : {"1,1 2,2", "437500.25,115200.5,10", "1e2,1E2 -2.5e+2,2", "1e12,-1e12", "", "  "}) {
        EXPECT_NO_THROW(CheckCoordinates(good, "4000000000000001")) << good;
    }
    const std::pair<const char*, const char*> bad[] = {
        {"1,1 nan,2", "'nan'"},       {"1,1 2,NaN", "'NaN'"},     {"inf,1", "'inf'"},
        {"1,-infinity", "'-infinity'"}, {"1,1 2,1e308", "'1e308'"}, {"1e999,1", "'1e999'"},
        {"+inf,2", "'+inf'"},         {"1,2,nan", "'nan'"},       {"1.5e13,0", "'1.5e13'"},
    };
    for (const auto& [text, value] : bad) {
        try {
            CheckCoordinates(text, "4000000000000001");
            ADD_FAILURE() << text << " was accepted";
        } catch (const EXmlConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string(value) + " is not a finite coordinate in feature 4000000000000001");
        }
    }
}

TEST(LineLocationTest, LocatesPointsAlongALine) {
    const TFloatPoint line[] = {{0, 0}, {10, 0}, {10, 10}};
    struct Case {
        TFloatPoint x;
        double percent;
        int32_t pntindex;
    };
    const Case cases[] = {
        {{5, 0}, 0.25, 1},     // on the first segment
        {{5, 3}, 0.25, 1},     // beside it
        {{10, 5}, 0.75, 2},    // on the second segment
        {{0, 0}, 0.0, 1},      // the start vertex
        {{10, 10}, 1.0, 2},    // the end vertex
        {{-4, -3}, 0.0, 1},    // before the start: obtuse angle at A
        {{10, 0}, 0.5, 1},     // the inner vertex: the first nearest segment wins
        {{12, 12}, 1.0, 2},    // beyond the end
    };
    for (const Case& c : cases) {
        const TPointOnLine at = LocatePointOnLine(c.x, line, 3);
        EXPECT_DOUBLE_EQ(at.percent, c.percent) << c.x.x << "," << c.x.y;
        EXPECT_EQ(at.pntindex, c.pntindex) << c.x.x << "," << c.x.y;
    }
    const TFloatPoint point[] = {{3, 3}, {3, 3}};
    EXPECT_EQ(LocatePointOnLine({1, 1}, point, 2).percent, 0);
}

}  // namespace
}  // namespace itn
