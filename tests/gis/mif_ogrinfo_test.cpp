// Reads MIF/MID files back with GDAL's ogrinfo, an independent reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "gis/mif_writer.h"
#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::Section;

using test::CountOf;
using test::RunCommand;
using test::TempDir;

TEST(MifReadBack, OgrinfoSeesTheFeaturesFieldsAndValues) {
    if (RunCommand("command -v ogrinfo").empty()) FAIL() << "ogrinfo (gdal-bin) is not installed";
    TempDir dir;

    {
        TGISWriteMIF lines;
        lines.FileName = dir / "lines";
        lines.StartHeader(3, otPline);
        lines.AddField("ID", gfInteger, 0, 0);
        lines.AddField("RoadName", gfChar, 40, 0);
        lines.AddField("Oneway", gfLogical, 0, 0);
        lines.AddLine(530000, 180000, 530010, 180005, "1,\"High Street\",True");
        lines.AddObject(1, false, "2,\"Bridge Road, East\",False");
        auto pl = Section({{530010, 180005}, {530020, 180010}, {530030.5, 180012.25}});
        lines.AddSection(1, pl);
        lines.AddObject(2, false, "3,\"Quote \"\"Lane\"\"\",True");
        auto a = Section({{0, 0}, {10, 10}});
        auto b = Section({{20, 20}, {30, 30}, {40, 45}});
        lines.AddSection(1, a);
        lines.AddSection(1, b);
        lines.Close();
    }
    {
        TGISWriteMIF regions;
        regions.FileName = dir / "regions";
        regions.StartHeader(1, otRegion);
        regions.AddField("Name", gfChar, 10, 0);
        regions.AddObject(1, false, "\"Park\"");
        auto ring = Section({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}});
        regions.AddSection(1, ring);
        regions.Close();
    }
    {
        TGISWriteMIF points;
        points.FileName = dir / "points";
        points.StartHeader(2, otPoint);
        points.AddField("ID", gfInteger, 0, 0);
        points.AddField("Height", gfFloat, 0, 0);
        points.AddPoint(1.5, 2.5, "10,4.25");
        points.AddPoint(3, 4, "11,-1");
        points.Close();
    }

    const std::string l = RunCommand("ogrinfo -ro -al " + (dir / "lines.mif") + " 2>&1");
    EXPECT_NE(l.find("Feature Count: 3"), std::string::npos) << l;
    EXPECT_NE(l.find("ID: Integer"), std::string::npos) << l;
    EXPECT_NE(l.find("RoadName: String (40.0)"), std::string::npos) << l;
    EXPECT_NE(l.find("Oneway: "), std::string::npos) << l;
    EXPECT_NE(l.find("RoadName (String) = High Street"), std::string::npos) << l;
    EXPECT_NE(l.find("RoadName (String) = Bridge Road, East"), std::string::npos) << l;
    EXPECT_NE(l.find("RoadName (String) = Quote \"Lane\""), std::string::npos) << l;
    EXPECT_NE(l.find("LINESTRING (530000 180000,530010 180005)"), std::string::npos) << l;
    EXPECT_NE(l.find("LINESTRING (530010 180005,530020 180010,530030.5 180012.25)"), std::string::npos) << l;
    EXPECT_NE(l.find("MULTILINESTRING ((0 0,10 10),(20 20,30 30,40 45))"), std::string::npos) << l;

    const std::string r = RunCommand("ogrinfo -ro -al " + (dir / "regions.mif") + " 2>&1");
    EXPECT_NE(r.find("Feature Count: 1"), std::string::npos) << r;
    EXPECT_NE(r.find("Name (String) = Park"), std::string::npos) << r;
    EXPECT_NE(r.find("POLYGON ((0 0,100 0,100 100,0 100,0 0))"), std::string::npos) << r;

    const std::string p = RunCommand("ogrinfo -ro -al " + (dir / "points.mif") + " 2>&1");
    EXPECT_NE(p.find("Feature Count: 2"), std::string::npos) << p;
    EXPECT_NE(p.find("Height (Real) = 4.25"), std::string::npos) << p;
    EXPECT_NE(p.find("ID (Integer) = 11"), std::string::npos) << p;
    EXPECT_NE(p.find("POINT (1.5 2.5)"), std::string::npos) << p;
    EXPECT_EQ(CountOf(p, "POINT ("), 2u) << p;
}

}  // namespace
}  // namespace itn
