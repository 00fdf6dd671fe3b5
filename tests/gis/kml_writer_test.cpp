#include "gis/kml_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::Section;
using test::TempDir;

std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

TEST(Kml2Writer, PolylinePlacemarkByteForByte) {
    TempDir dir;
    TGISWriteKML2 w;
    w.FileName = dir / "net";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(1, false, "7");
    auto s = Section({{1, 2}, {3, 4}});
    w.AddSection(1, s);
    w.Close();
    EXPECT_EQ(ReadFile(dir / "net.kml"),
              "\xEF\xBB\xBF" + Lines({"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>",
                                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">", "<Document>",
                                      "<name>net</name>", "<Style id=\"pline\">", "<LineStyle>",
                                      "<color>ff0000ff</color>", "<width>2</width>", "</LineStyle>", "</Style>",
                                      "<Placemark>", "<name>Record: 0</name>", "<styleUrl>#pline</styleUrl>",
                                      "<description>", "<![CDATA[ID: 7<br>]]>", "</description>",
                                      "<MultiGeometry>", "<LineString>",
                                      "<coordinates>1,2,0.00000 3,4,0.00000 </coordinates>", "</LineString>",
                                      "</MultiGeometry>", "</Placemark>", "</Document>", "</kml>"}));
}

TEST(Kml2Writer, RegionsStylesValuesAndPoints) {
    TempDir dir;
    {
        TGISWriteKML2 w;
        w.FileName = dir / "areas";
        w.Brush.fg_color = 0x0000FF00;
        w.StartHeader(4, otRegion);
        w.AddField("Name", gfChar, 20, 0);
        w.AddField("Open", gfLogical, 0, 0);
        w.AddField("Since", gfDate, 0, 0);
        w.AddField("At", gfTime, 0, 0);
        w.AddObject(2, false, "\"a<b\",y,20230415,1234");
        auto outer = Section({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
        auto hole = Section({{1, 1}, {2, 1}, {2, 2}, {1, 1}});
        w.AddSection(0, outer);
        w.AddSection(1, hole);
        w.AddObject(0, false, "b,0,,");
        w.Close();
        const std::string kml = ReadFile(dir / "areas.kml");
        const std::string placemarks = kml.substr(kml.find("<Placemark>"));
        EXPECT_EQ(placemarks,
                  Lines({"<Placemark>", "<name>Record: 0</name>", "<Style>", "<LineStyle>", "<color>ff000000</color>",
                         "<width>0</width>", "</LineStyle>", "<PolyStyle>", "<color>7F00FF00</color>",
                         "<outline>0</outline>", "</PolyStyle>", "</Style>", "<description>",
                         "<![CDATA[Name: a&lt;b<br>Open: True<br>Since: 2023-04-15<br>At: <br>]]>", "</description>",
                         "<MultiGeometry>", "<Polygon>", "<outerBoundaryIs>", "<LinearRing>",
                         "<coordinates>0,0,0.00000 10,0,0.00000 10,10,0.00000 0,0,0.00000 </coordinates>",
                         "</LinearRing>", "</outerBoundaryIs>", "<innerBoundaryIs>", "<LinearRing>",
                         "<coordinates>1,1,0.00000 2,1,0.00000 2,2,0.00000 1,1,0.00000 </coordinates>",
                         "</LinearRing>", "</innerBoundaryIs>", "</Polygon>", "</MultiGeometry>", "</Placemark>",
                         "<Placemark>", "<name>Record: 1</name>", "<Style>", "<LineStyle>", "<color>ff000000</color>",
                         "<width>0</width>", "</LineStyle>", "<PolyStyle>", "<color>7F00FF00</color>",
                         "<outline>0</outline>", "</PolyStyle>", "</Style>", "<description>",
                         "<![CDATA[Name: b<br>Open: False<br>Since: <br>At: <br>]]>", "</description>",
                         "</Placemark>", "</Document>", "</kml>"}));
        EXPECT_NE(kml.find(Lines({"<Style id=\"region\">", "<LineStyle>", "<color>ff000000</color>", "<width>0</width>",
                                  "</LineStyle>", "<PolyStyle>", "<color>7fffffff</color>", "<outline>0</outline>",
                                  "</PolyStyle>", "</Style>", "<Placemark>"})),
                  std::string::npos);
    }
    {
        TGISWriteKML2 w;
        w.FileName = dir / "red";
        w.Pen.Color = 0x000000FF;
        w.StartHeader(1, otPline);
        w.AddField("ID", gfInteger, 0, 0);
        w.AddLine(0, 0, 1, 1, "1");
        w.Close();
        EXPECT_NE(ReadFile(dir / "red.kml")
                      .find(Lines({"<name>Record: 0</name>", "<Style>", "<LineStyle>", "<color>FF0000FF</color>",
                                   "<width>2</width>", "</LineStyle>", "</Style>", "<description>"})),
                  std::string::npos);
    }
    TGISWriteKML2 w;
    w.FileName = dir / "pts";
    w.StartHeader(1, otPoint);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddPoint(1.5, -2, "1");
    w.Close();
    const std::string kml = ReadFile(dir / "pts.kml");
    EXPECT_NE(kml.find(Lines({"<Style id=\"point\">", "<IconStyle>", "<color>ff00ff00</color>", "<scale>0.8</scale>",
                              "<Icon>",
                              "<href>http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png</href>",
                              "</Icon>", "</IconStyle>", "</Style>"})),
              std::string::npos);
    EXPECT_EQ(kml.substr(kml.find("<Placemark>")),
              Lines({"<Placemark>", "<name>Record: 0</name>", "<description>", "<![CDATA[ID: 1<br>]]>",
                     "</description>", "<styleUrl>#point</styleUrl>", "<Point>", "<coordinates>1.5,-2,0</coordinates>",
                     "</Point>", "</Placemark>", "</Document>", "</kml>"}));
}

TEST(Kml2Writer, DropDeletesTheDocument) {
    TempDir dir;
    TGISWriteKML2 w;
    w.FileName = dir / "gone";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddLine(0, 0, 1, 1, "1");
    w.Drop();
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.kml"));
}

}  // namespace
}  // namespace itn
