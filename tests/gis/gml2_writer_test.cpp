#include "gis/gml2_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::Section;
using test::TempDir;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kZeroBox =
    "<gml:boundedBy><gml:Box>"
    "<gml:coord><gml:X>0.00000000000000</gml:X><gml:Y>0.00000000000000</gml:Y></gml:coord>"
    "<gml:coord><gml:X>0.00000000000000</gml:X><gml:Y>0.00000000000000</gml:Y></gml:coord>"
    "</gml:Box></gml:boundedBy>";

std::string DocumentHead(const std::string& name) {
    const std::string own = std::string(kGMLNamespaceBase) + name;
    return kBom + "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><Features xmlns=\"" + own +
           "\" xmlns:gml=\"http://www.opengis.net/gml\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:schemaLocation=\"" + own + " " + name + ".xsd\">";
}

// The document after its bounding box.
std::string Body(const std::string& doc) {
    const std::string end = "</gml:Box></gml:boundedBy>";
    return doc.substr(doc.find(end) + end.size());
}

TEST(Gml2Writer, NetworkFeatureDocumentAndSchemaByteForByte) {
    TempDir dir;
    TGISWriteGML2 w;
    w.FileName = dir / "ITN_network";
    w.epsg = 27700;
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(1, false, "7");
    auto s = Section({{1, 2}, {3, 4}});
    w.AddSection(1, s);
    w.Close();

    EXPECT_EQ(ReadFile(dir / "ITN_network.xml"),
              DocumentHead("ITN_network") +
                  "<gml:boundedBy><gml:Box>"
                  "<gml:coord><gml:X>1.00000000000000</gml:X><gml:Y>2.00000000000000</gml:Y></gml:coord>"
                  "<gml:coord><gml:X>3.00000000000000</gml:X><gml:Y>4.00000000000000</gml:Y></gml:coord>"
                  "</gml:Box></gml:boundedBy>"
                  "<gml:featureMember><ITN_network><ID>7</ID><_SHAPE_><gml:MultiLineString srsName = "
                  "'epsg:27700'><gml:lineStringMember><gml:LineString><gml:coordinates>1,2 3,4 "
                  "</gml:coordinates></gml:LineString></gml:lineStringMember></gml:MultiLineString></_SHAPE_>"
                  "</ITN_network></gml:featureMember></Features>");
    const std::string own = std::string(kGMLNamespaceBase) + "ITN_network";
    EXPECT_EQ(ReadFile(dir / "ITN_network.xsd"),
              kBom + "<?xml version=\"1.0\" encoding=\"UTF-8\"?><schema targetNamespace=\"" + own +
                  "\" xmlns:wfs=\"" + own +
                  "\" xmlns:gml=\"http://www.opengis.net/gml\" xmlns=\"http://www.w3.org/2001/XMLSchema\" "
                  "elementFormDefault=\"qualified\"><import namespace=\"http://www.opengis.net/gml\" "
                  "schemaLocation=\"http://schemas.opengis.net/gml/2.1.2/feature.xsd\"/><element name=\"Features\" "
                  "type=\"wfs:featuresType\" substitutionGroup=\"gml:_FeatureCollection\"/><complexType "
                  "name=\"featuresType\"><complexContent><extension base=\"gml:AbstractFeatureCollectionType\"/>"
                  "</complexContent></complexType><element name=\"ITN_network\" type=\"wfs:ITN_networkType\" "
                  "substitutionGroup=\"gml:_Feature\"/><complexType name=\"ITN_networkType\"><complexContent>"
                  "<extension base=\"gml:AbstractFeatureType\"><sequence><element name=\"ID\" type=\"integer\"/>"
                  "<element name=\"_SHAPE_\" type=\"gml:MultiLineStringPropertyType\"/></sequence></extension>"
                  "</complexContent></complexType></schema>");
}

TEST(Gml2Writer, FieldTypesAndValues) {
    TempDir dir;
    TGISWriteGML2 w;
    w.FileName = dir / "t";
    struct Field {
        const char* name;
        TGISField type;
        const char* schema;
    };
    const Field fields[] = {
        {"C", gfChar, "<element name=\"C\" type=\"string\"/>"},
        {"I", gfInteger, "<element name=\"I\" type=\"integer\"/>"},
        {"S", gfSmallInt, "<element name=\"S\" type=\"integer\"/>"},
        {"D", gfDecimal, "<element name=\"D\" type=\"double\"/>"},
        {"F", gfFloat, "<element name=\"F\" type=\"double\"/>"},
        {"Da", gfDate, "<element name=\"Da\" type=\"date\" nillable=\"true\"/>"},
        {"L", gfLogical, "<element name=\"L\" type=\"boolean\"/>"},
        {"T", gfTime, "<element name=\"T\" type=\"time\" nillable=\"true\"/>"},
        {"DT", gfDateTime, "<element name=\"DT\" type=\"dateTime\" nillable=\"true\"/>"},
    };
    w.StartHeader(9, otNone);
    for (const Field& f : fields) w.AddField(f.name, f.type, 10, 2);
    w.AddObject(0, false, "\"a<b&\"\"c\"\"'>\",-5,3,1.25,0.5,20230415,y,123456789,20230415123456789");
    w.AddObject(0, false, ",0,0,0,0,2023041,F,12345678,");
    w.AddObject(0, false, ",0,0,0,0,,0,,2023041512345678");
    w.Close();

    const std::string xsd = ReadFile(dir / "t.xsd");
    std::string elements;
    for (const Field& f : fields) elements += f.schema;
    EXPECT_NE(xsd.find("<sequence>" + elements + "</sequence>"), std::string::npos) << xsd;  // no _SHAPE_
    EXPECT_EQ(Body(ReadFile(dir / "t.xml")),
              "<gml:featureMember><t><C>a&lt;b&amp;&quot;c&quot;&apos;&gt;</C><I>-5</I><S>3</S><D>1.25</D><F>0.5</F>"
              "<Da>2023-04-15</Da><L>1</L><T>12:34:56.789</T><DT>2023-04-15T12:34:56.789</DT></t></gml:featureMember>"
              "<gml:featureMember><t><C></C><I>0</I><S>0</S><D>0</D><F>0</F><Da xsi:nil=\"true\"/><L>0</L>"
              "<T xsi:nil=\"true\"/><DT xsi:nil=\"true\"/></t></gml:featureMember>"
              "<gml:featureMember><t><C></C><I>0</I><S>0</S><D>0</D><F>0</F><Da xsi:nil=\"true\"/><L>0</L>"
              "<T xsi:nil=\"true\"/><DT xsi:nil=\"true\"/></t></gml:featureMember></Features>");
}

TEST(Gml2Writer, RegionsWithInnerRingsAndFeaturesWithoutGeometry) {
    TempDir dir;
    TGISWriteGML2 w;
    w.FileName = dir / "areas";
    w.epsg = 27700;
    w.StartHeader(1, otRegion);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddObject(3, true, "1");
    auto outer = Section({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    auto hole = Section({{1, 1}, {2, 1}, {2, 2}, {1, 1}});
    auto second = Section({{20, 20}, {30, 20}, {30, 30}, {20, 20}});
    w.AddSection(0, outer);
    w.AddSection(1, hole);
    w.AddSection(0, second);
    w.AddObject(0, false, "2");
    w.Close();

    const std::string ring0 = "<gml:LinearRing><gml:coordinates>0,0 10,0 10,10 0,0 </gml:coordinates></gml:LinearRing>";
    const std::string ring1 = "<gml:LinearRing><gml:coordinates>1,1 2,1 2,2 1,1 </gml:coordinates></gml:LinearRing>";
    const std::string ring2 =
        "<gml:LinearRing><gml:coordinates>20,20 30,20 30,30 20,20 </gml:coordinates></gml:LinearRing>";
    const std::string doc = ReadFile(dir / "areas.xml");
    EXPECT_EQ(Body(doc),
              "<gml:featureMember><areas><ID>1</ID><_SHAPE_><gml:MultiPolygon srsName = 'epsg:27700'>"
              "<gml:polygonMember><gml:Polygon><gml:outerBoundaryIs>" + ring0 + "</gml:outerBoundaryIs>"
              "<gml:innerBoundaryIs>" + ring1 + "</gml:innerBoundaryIs></gml:Polygon></gml:polygonMember>"
              "<gml:polygonMember><gml:Polygon><gml:outerBoundaryIs>" + ring2 + "</gml:outerBoundaryIs>"
              "</gml:Polygon></gml:polygonMember></gml:MultiPolygon></_SHAPE_></areas></gml:featureMember>"
              "<gml:featureMember><areas><ID>2</ID><_SHAPE_></_SHAPE_></areas></gml:featureMember></Features>");
    EXPECT_NE(doc.find("<gml:X>0.00000000000000</gml:X><gml:Y>0.00000000000000</gml:Y></gml:coord><gml:coord>"
                       "<gml:X>30.0000000000000</gml:X><gml:Y>30.0000000000000</gml:Y>"),
              std::string::npos);
}

TEST(Gml2Writer, PointsAndTheBoxOfBritishGridCoordinates) {
    TempDir dir;
    TGISWriteGML2 w;
    w.FileName = dir / "pts";
    w.epsg = 27700;
    w.StartHeader(1, otPoint);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddPoint(530000.5, 180000.25, "1");
    w.AddPoint(-3.25, 1234567.125, "2");
    w.AddLine(0, 0, 1, 1, "3");  // not a point: ignored
    w.Close();
    const std::string doc = ReadFile(dir / "pts.xml");
    EXPECT_NE(doc.find("<gml:coord><gml:X>-3.2500000000000</gml:X><gml:Y>180000.250000000</gml:Y></gml:coord>"
                       "<gml:coord><gml:X>530000.500000000</gml:X><gml:Y>1234567.12500000</gml:Y></gml:coord>"),
              std::string::npos)
        << doc;
    EXPECT_EQ(Body(doc),
              "<gml:featureMember><pts><ID>1</ID><_SHAPE_><gml:Point srsName = 'epsg:27700'><gml:coordinates>"
              "530000.5,180000.25</gml:coordinates></gml:Point></_SHAPE_></pts></gml:featureMember>"
              "<gml:featureMember><pts><ID>2</ID><_SHAPE_><gml:Point srsName = 'epsg:27700'><gml:coordinates>"
              "-3.25,1234567.125</gml:coordinates></gml:Point></_SHAPE_></pts></gml:featureMember></Features>");
}

TEST(Gml2Writer, EmptyCollectionKeepsTheZeroBox) {
    TempDir dir;
    TGISWriteGML2 w;
    w.FileName = dir / "empty";
    w.StartHeader(1, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.Close();
    w.Close();  // a second Close changes nothing
    EXPECT_EQ(ReadFile(dir / "empty.xml"), DocumentHead("empty") + kZeroBox + "</Features>");
}

TEST(Gml2Writer, SchemaIsCompletedAtCloseWithoutFields) {
    TempDir dir;
    for (int32_t announced : {0, 2}) {
        TGISWriteGML2 w;
        w.FileName = dir / ("nofields" + std::to_string(announced));
        w.StartHeader(announced, otPline);
        if (announced == 2) w.AddField("A", gfInteger, 0, 0);  // one short of the announced two
        w.Close();
        const std::string xsd = ReadFile(w.FileName + ".xsd");
        const std::string tail =
            "<element name=\"_SHAPE_\" type=\"gml:MultiLineStringPropertyType\"/></sequence></extension>"
            "</complexContent></complexType></schema>";
        ASSERT_GE(xsd.size(), tail.size());
        EXPECT_EQ(xsd.substr(xsd.size() - tail.size()), tail) << announced;
        EXPECT_EQ(test::CountOf(xsd, "</schema>"), 1u);
    }
}

TEST(Gml2Writer, WrongValueCountRaisesAndDropDeletesBothFiles) {
    TempDir dir;
    TGISWriteGML2 w;
    w.FileName = dir / "bad";
    w.StartHeader(2, otPline);
    w.AddField("A", gfInteger, 0, 0);
    w.AddField("B", gfInteger, 0, 0);
    EXPECT_THROW(w.AddObject(1, false, "1"), EGISWriteError);
    w.Drop();
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.xsd"));
}

TEST(Gml2Writer, FormatBoundNumberGivesSixteenCharacters) {
    const std::pair<double, const char*> cases[] = {
        {0, "0.00000000000000"},          {12.5, "12.5000000000000"},         {-3.25, "-3.2500000000000"},
        {530000.5, "530000.500000000"},   {-123456789.123456, "-123456789.12345"}, {1e-5, "1.0000000000E-05"},
        {-2.5e20, "-2.500000000E+20"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(TGISWriteGML2::FormatBoundNumber(value), text) << value;
}

}  // namespace
}  // namespace itn
