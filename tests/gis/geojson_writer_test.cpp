#include "gis/geojson_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::RunCommand;
using test::Section;
using test::TempDir;

TEST(GeoJsonWriter, InMemoryEmptyCollectionWithCrs) {
    TGISWriteGeoJSON w;
    w.epsg = 27700;
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.Close();
    EXPECT_EQ(w.GeoJSON,
              "{\"type\":\"FeatureCollection\",\"crs\":{\"type\":\"name\",\"properties\":{\"name\":\"EPSG:27700\"}},"
              "\"features\":[]}");
}

TEST(GeoJsonWriter, PropertiesAndLineGeometries) {
    TGISWriteGeoJSON w;
    w.StartHeader(8, otPline);
    w.AddField("Name", gfChar, 20, 0);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddField("Len", gfDecimal, 8, 2);
    w.AddField("Open", gfLogical, 0, 0);
    w.AddField("Since", gfDate, 0, 0);
    w.AddField("At", gfTime, 0, 0);
    w.AddField("Stamp", gfDateTime, 0, 0);
    w.AddField("H", gfSmallInt, 0, 0);
    w.AddObject(1, false, "\"say \"\"hi\"\" \\ now\",1,2.5,T,20230415,123456789,20230415123456789,+5");
    auto a = Section({{1, 2}, {3, 4.5}});
    w.AddSection(1, a);
    w.AddObject(2, false, "\"tab\there\",2,,F,,,,.5");
    auto b = Section({{5, 6}, {7, 8}});
    w.AddSection(1, a);
    w.AddSection(1, b);
    w.AddObject(0, false, "x,3,-1,0,2023,1234,2023041512,0");
    w.Close();
    const std::string head = "{\"type\":\"FeatureCollection\",\"features\":[";
    EXPECT_EQ(w.GeoJSON,
              head +
                  "{\"type\":\"Feature\",\"properties\":{\"Name\":\"say \\\"hi\\\" \\\\ now\",\"ID\":1,\"Len\":2.5,"
                  "\"Open\":\"true\",\"Since\":\"2023-04-15\",\"At\":\"12:34:56.789\","
                  "\"Stamp\":\"2023-04-15T12:34:56.789\",\"H\":5},"
                  "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[1,2],[3,4.5]]}},"
                  "{\"type\":\"Feature\",\"properties\":{\"Name\":\"tab\\there\",\"ID\":2,\"Len\":null,"
                  "\"Open\":\"false\",\"Since\":\"--\",\"At\":\"::.\",\"Stamp\":\"--T::.\",\"H\":0.5},"
                  "\"geometry\":{\"type\":\"MultiLineString\",\"coordinates\":[[[1,2],[3,4.5]],[[5,6],[7,8]]]}},"
                  "{\"type\":\"Feature\",\"properties\":{\"Name\":\"x\",\"ID\":3,\"Len\":-1,\"Open\":\"false\","
                  "\"Since\":\"2023--\",\"At\":\"12:34:.\",\"Stamp\":\"2023-04-15T12::.\",\"H\":0},"
                  "\"geometry\":null}]}");
}

TEST(GeoJsonWriter, PolygonsMultiPolygonsAndPoints) {
    auto outer = Section({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    auto hole = Section({{1, 1}, {2, 1}, {2, 2}, {1, 1}});
    auto other = Section({{20, 20}, {30, 20}, {30, 30}, {20, 20}});
    const std::string r0 = "[[0,0],[10,0],[10,10],[0,0]]";
    const std::string r1 = "[[1,1],[2,1],[2,2],[1,1]]";
    const std::string r2 = "[[20,20],[30,20],[30,30],[20,20]]";

    TGISWriteGeoJSON w;
    w.StartHeader(1, otRegion);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(1, false, "1");
    w.AddSection(1, outer);
    w.AddObject(2, false, "2");
    w.AddSection(0, outer);
    w.AddSection(1, hole);
    w.AddObject(1, true, "3");
    w.AddSection(1, outer);
    w.AddObject(3, true, "4");
    w.AddSection(0, outer);
    w.AddSection(1, hole);
    w.AddSection(0, other);
    w.AddPoint(1.5, -2, "5");
    w.Close();
    auto feature = [](int id, const std::string& geometry) {
        return "{\"type\":\"Feature\",\"properties\":{\"ID\":" + std::to_string(id) + "},\"geometry\":" + geometry + "}";
    };
    EXPECT_EQ(w.GeoJSON,
              "{\"type\":\"FeatureCollection\",\"features\":[" +
                  feature(1, "{\"type\":\"Polygon\",\"coordinates\":[" + r0 + "]}") + "," +
                  feature(2, "{\"type\":\"Polygon\",\"coordinates\":[" + r0 + "," + r1 + "]}") + "," +
                  feature(3, "{\"type\":\"MultiPolygon\",\"coordinates\":[[" + r0 + "]]}") + "," +
                  feature(4, "{\"type\":\"MultiPolygon\",\"coordinates\":[[" + r0 + "," + r1 + "],[" + r2 + "]]}") +
                  "," + feature(5, "{\"type\":\"Point\",\"coordinates\":[1.5,-2]}") + "]}");
}

TEST(GeoJsonWriter, FileIsValidJsonAndSurvivesARefusedValue) {
    if (RunCommand("command -v python3").empty()) FAIL() << "python3 is not installed";
    TempDir dir;
    TGISWriteGeoJSON w;
    w.FileName = dir / "net";
    w.epsg = 27700;
    w.StartHeader(2, otPline);
    w.AddField("Name", gfChar, 20, 0);
    w.AddField("ID", gfInteger, 0, 0);
    EXPECT_THROW(w.AddObject(0, false, "a,abc"), EGISWriteError);  // the first feature is refused
    w.AddObject(1, false, "\"line\nbreak \"\" \x01\",");
    auto s = Section({{530000.5, 180000.25}, {530001, 180002}});
    w.AddSection(1, s);
    w.AddLine(0, 0, 1, 1, "b,2");
    w.Close();
    EXPECT_TRUE(w.GeoJSON.empty());
    const std::string text = ReadFile(dir / "net.geojson");
    EXPECT_EQ(text.substr(0, 1), "{");  // no byte order mark
    EXPECT_NE(text.find("\"Name\":\"line\\nbreak \\\" \\u0001\",\"ID\":null"), std::string::npos) << text;
    const std::string parsed =
        RunCommand("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print(len(d[\"features\"]))' " +
                   (dir / "net.geojson") + " 2>&1");
    EXPECT_EQ(parsed, "2\n");
}

TEST(GeoJsonWriter, DropDiscardsTheResult) {
    TempDir dir;
    TGISWriteGeoJSON file;
    file.FileName = dir / "gone";
    file.StartHeader(1, otPline);
    file.AddField("ID", gfInteger, 0, 0);
    file.AddLine(0, 0, 1, 1, "1");
    file.Drop();
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.geojson"));

    TGISWriteGeoJSON memory;
    memory.StartHeader(1, otPline);
    memory.AddField("ID", gfInteger, 0, 0);
    memory.AddLine(0, 0, 1, 1, "1");
    memory.Drop();
    EXPECT_TRUE(memory.GeoJSON.empty());
}

}  // namespace
}  // namespace itn
