// British National Grid to WGS 84 longitude/latitude through PROJ.
#include "cli/wgs84_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

namespace itn {
namespace {

// Metres between two longitude/latitude points a few hundred metres apart.
double Metres(const TFloatPoint& a, const TFloatPoint& b) {
    const double k = M_PI / 180, r = 6371000;
    const double dx = (a.x - b.x) * k * std::cos(a.y * k) * r, dy = (a.y - b.y) * k * r;
    return std::hypot(dx, dy);
}

// The grid reference of Ordnance Survey's worked example and its OSGB36 latitude and
// longitude (52°39'27.2531" N, 1°43'4.5177" E): the result lies east-north order, and the
// datum shift from OSGB36 to WGS 84 (some tens of metres to about 150 m in Great Britain)
// has been applied on top of the inverse projection.
TEST(Wgs84Transform, GridReferenceBecomesLongitudeLatitudeWithTheDatumShift) {
    TWgs84Transform transform;
    EXPECT_EQ(transform.TargetEpsg(), 4326);
    TFloatPoint points[] = {{651409.903, 313177.270}, {651409.903, 313177.270}};
    transform.Transform(points, 2);
    const TFloatPoint osgb36{1.717921583, 52.657570306};
    const double shift = Metres(points[0], osgb36);
    EXPECT_GT(shift, 20.0);
    EXPECT_LT(shift, 200.0);
    EXPECT_EQ(points[0], points[1]);
}

TEST(Wgs84Transform, DescriptionNamesTheOperationAndItsAccuracy) {
    TWgs84Transform transform;
    const std::string description = transform.Description();
    std::cout << "PROJ transformation: " << description << "\n";
    EXPECT_NE(description.find("OSGB"), std::string::npos) << description;
    EXPECT_NE(description.find(", accuracy "), std::string::npos) << description;
}

TEST(Wgs84Transform, PointsPROJCannotTransformAreRefused) {
    TWgs84Transform transform;
    for (const TFloatPoint bad : {TFloatPoint{1e300, 0}, TFloatPoint{0, NAN}, TFloatPoint{-5e7, 2e8}}) {
        TFloatPoint point = bad;
        EXPECT_THROW(transform.Transform(&point, 1), ETransformError) << bad.x << ", " << bad.y;
    }
    TFloatPoint point{1e300, 5};
    try {
        transform.Transform(&point, 1);
    } catch (const ETransformError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot transform the coordinates (", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find(" to WGS 84"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace itn
