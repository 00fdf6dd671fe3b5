// Reads the shapefile and GML 2 output back with GDAL's ogrinfo and compares it with the MIF
// output of the same features; checks that the KML and GeoJSON documents parse.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "format_test_util.h"
#include "gis/gis_functions.h"
#include "gis/gis_writer.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::RunCommand;
using test::Section;
using test::TempDir;

const char* const kBngPrj =
    "PROJCS[\"British_National_Grid\",GEOGCS[\"GCS_OSGB_1936\",DATUM[\"D_OSGB_1936\",SPHEROID[\"Airy_1830\","
    "6377563.396,299.3249646]],PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.0174532925199433]],"
    "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",400000.0],PARAMETER[\"False_Northing\","
    "-100000.0],PARAMETER[\"Central_Meridian\",-2.0],PARAMETER[\"Scale_Factor\",0.9996012717],"
    "PARAMETER[\"Latitude_Of_Origin\",49.0],UNIT[\"Meter\",1.0]]";

struct FieldDef {
    const char* name;
    TGISField type;
    uint8_t width, decimals;
};

// Columns of the road network table (names within the ten characters of a dBase column).
const FieldDef kNetworkFields[] = {
    {"ID", gfInteger, 0, 0},       {"TOID", gfChar, 19, 0},      {"ZlevelFrom", gfSmallInt, 0, 0},
    {"ZlevelTo", gfSmallInt, 0, 0}, {"descriTerm", gfChar, 40, 0}, {"natureRoad", gfChar, 40, 0},
    {"Version", gfSmallInt, 0, 0},  {"RoadName", gfChar, 30, 0},   {"DftNumber", gfChar, 8, 0},
    {"Trunk", gfLogical, 0, 0},     {"Primary", gfLogical, 0, 0},  {"Oneway", gfSmallInt, 0, 0},
    {"maxHeight", gfSmallInt, 0, 0}, {"Attribute4", gfSmallInt, 0, 0}, {"VU1", gfDecimal, 1, 0},
    {"VU2", gfDecimal, 1, 0},       {"Length", gfFloat, 0, 0},     {"Surveyed", gfDate, 0, 0},
};

struct Feature {
    std::map<std::string, std::string> values;
    std::string geometry;
};

struct Layer {
    std::string text;  // what ogrinfo printed
    int count = -1;
    std::vector<std::pair<std::string, std::string>> fields;  // name, type
    std::vector<Feature> features;
};

Layer ReadBack(const std::string& path) {
    Layer layer;
    layer.text = RunCommand("ogrinfo -ro -al \"" + path + "\" 2>&1");
    static const std::regex field_def(R"(^([A-Za-z_][A-Za-z0-9_]*): ([A-Za-z0-9()]+) \(\d+\.\d+\)$)");
    static const std::regex value(R"(^  ([A-Za-z_][A-Za-z0-9_]*) \(([A-Za-z0-9()]+)\) = (.*)$)");
    static const std::regex geometry(R"(^  ((MULTI)?(LINESTRING|POLYGON|POINT) .*)$)");
    std::istringstream in(layer.text);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.rfind("Feature Count: ", 0) == 0) {
            layer.count = std::atoi(line.c_str() + 15);
        } else if (line.rfind("OGRFeature(", 0) == 0) {
            layer.features.emplace_back();
        } else if (layer.features.empty() && std::regex_match(line, m, field_def)) {
            layer.fields.emplace_back(m[1], m[2]);
        } else if (!layer.features.empty() && std::regex_match(line, m, value)) {
            if (m[3] != "(null)" && m[3] != "") layer.features.back().values[m[1]] = m[3];
        } else if (!layer.features.empty() && std::regex_match(line, m, geometry)) {
            layer.features.back().geometry = m[1];
        }
    }
    return layer;
}

// The geometry's family and its coordinate runs: LINESTRING (a) and MULTILINESTRING ((a)) agree.
std::string NormalGeometry(const std::string& wkt) {
    std::string family = wkt.substr(0, wkt.find(' '));
    if (family.rfind("MULTI", 0) == 0) family = family.substr(5);
    std::string out = family;
    static const std::regex run(R"(\(([^()]*)\))");
    for (auto it = std::sregex_iterator(wkt.begin(), wkt.end(), run); it != std::sregex_iterator(); ++it) {
        out += " [";
        std::istringstream pts((*it)[1].str());
        std::string pair;
        while (std::getline(pts, pair, ',')) {
            std::istringstream xy(pair);
            double x = 0, y = 0;
            xy >> x >> y;
            out += FloatToStrInv(x) + " " + FloatToStrInv(y) + ";";
        }
        out += "]";
    }
    return out;
}

std::string NormalValue(TGISField type, const std::string& v) {
    switch (type) {
        case gfLogical: return IsTrueText(v) ? "true" : "false";
        case gfInteger:
        case gfSmallInt:
        case gfDecimal:
        case gfFloat: {
            double d = 0;
            return TryStrToFloatInv(v, d) ? FloatToStrInv(d) : "not a number: " + v;
        }
        default: return v;
    }
}

// The types a reader may report for a declared field: dBase has no decimal type and N(w,0)
// reads as an integer, and logical values come back as text from MIF and dBase.
bool TypeFits(TGISField declared, uint8_t decimals, const std::string& type) {
    switch (declared) {
        case gfInteger:
        case gfSmallInt: return type == "Integer" || type == "Integer64";
        case gfChar: return type == "String";
        case gfDecimal: return type == "Real" || (decimals == 0 && type == "Integer");
        case gfFloat: return type == "Real";
        case gfDate: return type == "Date";
        case gfLogical: return type == "String" || type == "Integer(Boolean)";
        default: return false;
    }
}

using FeatureSource = std::function<void(TGISWrite&)>;

void WriteAll(TGISFormat format, const std::string& name, TObjectTypes type, const std::vector<FieldDef>& fields,
              const FeatureSource& features) {
    auto w = TGISWrite::GetGISObject(format);
    w->FileName = name;
    w->epsg = 27700;
    w->CoordSys = "CoordSys Earth Projection 8, 79, \"m\", -2, 49, 0.9996012717, 400000, -100000";
    w->PRJ = kBngPrj;
    w->StartHeader(static_cast<int32_t>(fields.size()), type);
    for (const FieldDef& f : fields) w->AddField(f.name, f.type, f.width, f.decimals);
    features(*w);
    w->Close();
}

// Writes the features as MIF, shapefile and GML 2 and compares what ogrinfo reads from each.
void CompareWithMif(const TempDir& dir, const std::string& name, TObjectTypes type, const std::vector<FieldDef>& fields,
                    const FeatureSource& features) {
    std::map<std::string, Layer> layers;
    for (auto [format, ext] : {std::pair{gfMIF, ".mif"}, {gfSHP, ".shp"}, {gfGML2, ".xml"}}) {
        const std::string sub = dir / (name + "_" + std::string(ext + 1));
        std::filesystem::create_directories(sub);
        WriteAll(format, sub + "/" + name, type, fields, features);
        layers[ext] = ReadBack(sub + "/" + name + ext);
        // GDAL writes a .gfs of guessed types only when it cannot use the document's schema.
        if (format == gfGML2) {
            EXPECT_FALSE(std::filesystem::exists(sub + "/" + name + ".gfs")) << "schema not used";
        }
    }
    const Layer& mif = layers[".mif"];
    ASSERT_GT(mif.count, 0) << mif.text;
    ASSERT_EQ(mif.fields.size(), fields.size()) << mif.text;
    for (const auto& [ext, layer] : layers) {
        SCOPED_TRACE(name + ext);
        EXPECT_EQ(layer.count, mif.count) << layer.text;
        ASSERT_EQ(layer.features.size(), mif.features.size()) << layer.text;
        ASSERT_EQ(layer.fields.size(), fields.size()) << layer.text;
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(layer.fields[i].first, fields[i].name);
            EXPECT_TRUE(TypeFits(fields[i].type, fields[i].decimals, layer.fields[i].second))
                << fields[i].name << " read as " << layer.fields[i].second;
        }
        for (size_t k = 0; k < mif.features.size(); ++k) {
            const Feature& want = mif.features[k];
            const Feature& got = layer.features[k];
            for (const FieldDef& f : fields) {
                const auto a = want.values.find(f.name), b = got.values.find(f.name);
                const std::string va = a == want.values.end() ? "(null)" : NormalValue(f.type, a->second);
                const std::string vb = b == got.values.end() ? "(null)" : NormalValue(f.type, b->second);
                EXPECT_EQ(vb, va) << "feature " << k << " field " << f.name;
            }
            EXPECT_EQ(NormalGeometry(got.geometry), NormalGeometry(want.geometry)) << "feature " << k;
        }
    }
    // The shapefile carries British National Grid from its .prj and reads its text by its .cpg.
    EXPECT_NE(layers[".shp"].text.find("ID[\"EPSG\",27700]"), std::string::npos) << layers[".shp"].text;
}

TEST(WritersReadBack, NetworkTableAgreesAcrossMifShapefileAndGml) {
    if (RunCommand("command -v ogrinfo").empty()) FAIL() << "ogrinfo (gdal-bin) is not installed";
    TempDir dir;
    const std::vector<FieldDef> fields(std::begin(kNetworkFields), std::end(kNetworkFields));
    CompareWithMif(dir, "ITN_network", otPline, fields, [](TGISWrite& w) {
        w.AddObject(1, false,
                    "1,\"4000000023114496\",0,1,\"A Road\",\"Dual Carriageway\",3,\"High Street\",\"A1\",False,True,"
                    "1,0,516,1,0,123.25,20230415");
        auto a = Section({{530000.5, 180000.25}, {530010, 180020}, {530020.125, 180030}});
        w.AddSection(1, a);
        w.AddObject(2, false,
                    "2,\"4000000023114497_1\",-1,0,\"Minor Road\",\"Single Carriageway\",12,"
                    "\"Caf\xC3\xA9 Lane, \"\"Old\"\"\",\"\",True,False,2,390,4112,0,1,0.5,");
        auto b = Section({{429000, 170000}, {429001.75, 170002.5}});
        auto c = Section({{429100, 170100}, {429101, 170099}, {429102, 170098}});
        w.AddSection(1, b);
        w.AddSection(1, c);
        w.AddLine(400000, 100000, 400100.5, 100050, "3,\"4000000023114498\",0,0,\"Ferry Connection\",\"\",1,\"\",\"\","
                                                   "False,False,0,0,4112,1,1,-2.5,20000101");
    });
}

TEST(WritersReadBack, PointsAndRegionsAgreeAcrossMifShapefileAndGml) {
    if (RunCommand("command -v ogrinfo").empty()) FAIL() << "ogrinfo (gdal-bin) is not installed";
    TempDir dir;
    const std::vector<FieldDef> fields = {{"ID", gfInteger, 0, 0}, {"Name", gfChar, 20, 0}, {"Open", gfLogical, 0, 0}};
    CompareWithMif(dir, "nodes", otPoint, fields, [](TGISWrite& w) {
        w.AddPoint(530000.5, 180000.25, "1,\"Node A\",T");
        w.AddPoint(-1.5, 2, "2,B,F");
    });
    CompareWithMif(dir, "areas", otRegion, fields, [](TGISWrite& w) {
        // Outer rings clockwise and holes anticlockwise, as the shapefile reader expects them.
        w.AddObject(2, false, "1,Park,T");
        auto outer = Section({{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}});
        auto hole = Section({{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}});
        w.AddSection(0, outer);
        w.AddSection(1, hole);
    });
}

TEST(WritersReadBack, ShapefileTextFollowsItsCodePageFile) {
    if (RunCommand("command -v ogrinfo").empty()) FAIL() << "ogrinfo (gdal-bin) is not installed";
    TempDir dir;
    auto w = TGISWrite::GetGISObject(gfSHP);
    w->FileName = dir / "cp1250";
    w->SetCodepage(1250);
    w->StartHeader(1, otPline);
    w->AddField("Name", gfChar, 20, 0);
    w->AddLine(0, 0, 1, 1, "\"\xC5\x81\xC3\xB3\x64\xC5\xBA\"");  // Łódź
    w->Close();
    EXPECT_EQ(ReadFile(dir / "cp1250.cpg"), "1250");
    EXPECT_NE(ReadFile(dir / "cp1250.dbf").find("\xA3\xF3\x64\x9F"), std::string::npos);
    const std::string out = RunCommand("ogrinfo -ro -al \"" + (dir / "cp1250.shp") + "\" 2>&1");
    EXPECT_NE(out.find("Name (String) = \xC5\x81\xC3\xB3\x64\xC5\xBA"), std::string::npos) << out;
}

TEST(WritersReadBack, KmlAndGeoJsonDocumentsParse) {
    if (RunCommand("command -v python3").empty()) FAIL() << "python3 is not installed";
    TempDir dir;
    const std::vector<FieldDef> fields(std::begin(kNetworkFields), std::end(kNetworkFields));
    auto features = [](TGISWrite& w) {
        w.AddObject(1, false,
                    "1,\"4000000023114496\",0,1,\"A Road\",\"<Dual> & \"\"Carriageway\"\"\",3,\"High Street\",\"A1\","
                    "False,True,1,0,516,1,0,123.25,20230415");
        auto a = Section({{530000.5, 180000.25}, {530010, 180020}});
        w.AddSection(1, a);
        w.AddObject(0, false, "2,\"x\",0,0,\"y\",\"z\",1,\"]]>\",\"\",T,F,0,0,0,0,0,,");
    };
    WriteAll(gfKML2, dir / "net", otPline, fields, features);
    WriteAll(gfGeoJSON, dir / "net", otPline, fields, features);
    EXPECT_EQ(RunCommand("python3 -c 'import sys, xml.dom.minidom as m; "
                         "print(len(m.parse(sys.argv[1]).getElementsByTagName(\"Placemark\")))' " +
                         (dir / "net.kml") + " 2>&1"),
              "2\n");
    EXPECT_EQ(RunCommand("python3 -m json.tool " + (dir / "net.geojson") + " >/dev/null 2>&1 && echo valid"),
              "valid\n");
}

}  // namespace
}  // namespace itn
