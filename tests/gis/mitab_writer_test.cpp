#include "gis/mitab_writer.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "gis/mif_writer.h"
#include "gis/tab_libraries.h"
#include "format_test_util.h"
#include "test_support.h"

namespace itn {
namespace {

using test::Section;

using test::RunCommand;
using test::TempDir;

const std::string kBngCoordSys =
    "CoordSys Earth Projection 8, 79, \"m\", -2, 49, 0.9996012717, 400000, -100000 Bounds (-7845061.1011, "
    "-15524202.1641) (8645061.1011, 4470074.53373)";

std::string FakePath(const std::string& kind) {
    return std::string(FAKE_MITAB_DIR) + "/libfake_mitab_" + kind + ".so";
}

// Loads the recording stand-in and gives access to its call log.
class RecordingMitab : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(LoadMitabFrom(FakePath("recording")), 0) << MitabLoadError();
        void* lib = dlopen(FakePath("recording").c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(lib, nullptr);
        log_ = reinterpret_cast<const char* (*)()>(dlsym(lib, "fake_mitab_log"));
        reinterpret_cast<void (*)()>(dlsym(lib, "fake_mitab_reset"))();
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::istringstream in(log_());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    const char* (*log_)() = nullptr;
    TempDir dir_;
};

TEST(ParseBounds, ReadsBothCorners) {
    const TBounds b = ParseBounds("Bounds (-7845061.1011, -15524202.1641) (8645061.1011, 4470074.53373)");
    EXPECT_EQ(b.x1, -7845061.1011);
    EXPECT_EQ(b.y1, -15524202.1641);
    EXPECT_EQ(b.x2, 8645061.1011);
    EXPECT_EQ(b.y2, 4470074.53373);
}

TEST(MitabLoading, StatusesAndFallbackToMif) {
    const std::pair<std::string, int32_t> cases[] = {
        {FakePath("missing"), -2},
        {FakePath("noversion"), -3},
        {FakePath("oldversion"), -4},
        {FakePath("recording"), 0},
    };
    for (const auto& [path, status] : cases) {
        EXPECT_EQ(LoadMitabFrom(path), status) << path;
        EXPECT_EQ(MitabStatus(), status);
        EXPECT_EQ(TGISWrite::MITAB_supported(), status == 0);
        auto w = TGISWrite::GetGISObject(gfMITAB);
        if (status == 0)
            EXPECT_NE(dynamic_cast<TGISWriteMITAB*>(w.get()), nullptr) << path;
        else
            EXPECT_NE(dynamic_cast<TGISWriteMIF*>(w.get()), nullptr) << path;
    }
}

TEST_F(RecordingMitab, PolylineTableCalls) {
    TGISWriteMITAB w;
    w.FileName = dir_ / "net";
    w.CoordSys = kBngCoordSys;
    w.StartHeader(3, otPline);
    w.AddField("ID", gfInteger, 0, 0);
    w.AddField("Name", gfChar, 255, 0);
    w.AddField("Oneway", gfLogical, 0, 0);
    w.AddObject(2, false, "1,\"Caf\xC3\xA9 Road\",y");
    auto a = Section({{1, 2}, {3, 4}});
    auto b = Section({{5, 6}, {7, 8}, {9, 10}});
    w.AddSection(1, a);
    w.AddSection(1, b);
    w.AddObject(0, false, "2,B,F");
    w.AddObject(1, false, "3,C,0");
    auto c = Section({{0, 0}, {1, 1}});
    w.AddSection(1, c);
    EXPECT_EQ(w.WrittenRecords(), 3);
    w.Close();

    const std::vector<std::string> expected = {
        "create|" + (dir_ / "net.tab") +
            "|tab|CoordSys Earth Projection 8, 79, \"m\", -2, 49, 0.9996012717, 400000, -100000 "
            "|4470074.53373|-15524202.1641|8645061.1011|-7845061.1011",
        "charset|WindowsLatin1",
        "field|ID|2|0|0|0|0",
        "field|Name|1|254|0|0|0",
        "field|Oneway|7|0|0|0|0",
        "feature|5",
        "set_field|0|1",
        "set_field|1|Caf\xE9 Road",
        "set_field|2|T",
        "pen|1|2|0",
        "points|0|2|1 2|3 4",
        "points|1|3|5 6|7 8|9 10",
        "write",
        "destroy",
        "feature|0",
        "set_field|0|2",
        "set_field|1|B",
        "set_field|2|F",
        "pen|1|2|0",
        "write",
        "destroy",
        "feature|5",
        "set_field|0|3",
        "set_field|1|C",
        "set_field|2|0",
        "pen|1|2|0",
        "points|0|2|0 0|1 1",
        "write",
        "destroy",
        "close",
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(RecordingMitab, RegionsPointsAndStyles) {
    {
        TGISWriteMITAB w;
        w.FileName = dir_ / "zones";
        w.CoordSys = "CoordSys Earth Projection 1, 104";
        w.Pen = {9, 2, 0};  // widths 8 to 10 set no pen
        w.Brush = {2, 0x0000FF00, 0x000000FF};
        w.StartHeader(1, otRegion);
        w.AddField("Name", gfChar, 10, 0);
        w.AddObject(2, false, "Park");
        auto outer = Section({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
        auto other = Section({{20, 20}, {30, 20}, {30, 30}, {20, 20}});
        w.AddSection(1, outer);
        w.AddSection(-1, other);
        EXPECT_THROW(w.AddObject(122501, false, "x"), EGISWriteError);
        w.Close();
    }
    std::vector<std::string> calls = Calls();
    const std::vector<std::string> regions = {
        "create|" + (dir_ / "zones.tab") + "|tab|CoordSys Earth Projection 1, 104|0|0|0|0",
        "charset|WindowsLatin1",
        "field|Name|1|10|0|0|0",
        "feature|7",
        "set_field|0|Park",
        "brush|65280|16711680|2|1",
        "points|0|4|0 0|10 0|10 10|0 0",
        "points|-1|4|20 20|30 20|30 30|20 20",
        "write",
        "destroy",
        "close",
    };
    EXPECT_EQ(calls, regions);

    TGISWriteMITAB p;
    p.FileName = dir_ / "pts";
    p.Symbol = {35, 0x00FF0000, 9};
    p.StartHeader(1, otPoint);
    p.AddField("ID", gfInteger, 0, 0);
    p.AddPoint(1.5, 2.5, "7");
    p.Close();
    calls = Calls();
    const std::vector<std::string> tail(calls.end() - 8, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"feature|1", "set_field|0|7", "pen|1|2|0", "points|0|1|1.5 2.5",
                                              "symbol|35|9|255", "write", "destroy", "close"}));
}

TEST_F(RecordingMitab, AttributeOnlyTableKeepsTabAndDatOnly) {
    for (const char* ext : {".tab", ".dat", ".map", ".id"}) test::WriteFile(dir_ / (std::string("attr") + ext), "x");
    TGISWriteMITAB w;
    w.FileName = dir_ / "attr";
    w.StartHeader(1, otNone);
    w.AddField("Code", gfSmallInt, 0, 0);
    w.AddObject(3, false, "1");  // no geometry whatever the part count
    w.Close();
    EXPECT_TRUE(std::filesystem::exists(dir_ / "attr.tab"));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "attr.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "attr.map"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "attr.id"));
    const auto calls = Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "feature|0"), calls.end());
}

TEST_F(RecordingMitab, RefusedCreationIsAnError) {
    TGISWriteMITAB w;
    w.FileName = dir_ / "refused";
    try {
        w.StartHeader(1, otPline);
        FAIL() << "a refused table was taken as written";
    } catch (const EGISWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + (dir_ / "refused.tab") + "\". fake refusal");
    }
}

// The real module over GDAL, read back by ogrinfo.
TEST(TabModule, WritesATableGdalReadsBack) {
#ifndef ITN_TAB_MODULE_PATH
    GTEST_SKIP() << "GDAL was not found at build time, the TAB module is not built";
#else
    ASSERT_EQ(LoadMitabFrom(ITN_TAB_MODULE_PATH), 0) << MitabLoadError();
    TempDir dir;
    {
        auto w = TGISWrite::GetGISObject(gfMITAB);
        ASSERT_NE(dynamic_cast<TGISWriteMITAB*>(w.get()), nullptr);
        w->FileName = dir / "ITN_network";
        w->CoordSys = kBngCoordSys;
        w->StartHeader(6, otPline);
        w->AddField("ID", gfInteger, 0, 0);
        w->AddField("RoadName", gfChar, 30, 0);
        w->AddField("Oneway", gfLogical, 0, 0);
        w->AddField("maxHeight", gfDecimal, 8, 1);
        w->AddField("Level", gfSmallInt, 0, 0);
        w->AddField("VU1", gfDecimal, 1, 0);
        w->AddObject(1, false, "1,\"Caf\xC3\xA9 Lane\",True,4.5,1,1");
        auto a = Section({{530000, 180000}, {530010.5, 180005.25}, {530020, 180000}});
        w->AddSection(1, a);
        w->AddObject(2, false, "2,\"High St, North\",False,0,-1,0");
        auto b = Section({{530020, 180000}, {530030, 180010}});
        auto c = Section({{530040, 180020}, {530050, 180030}});
        w->AddSection(1, b);
        w->AddSection(1, c);
        w->Close();
    }
    const std::string out = RunCommand("ogrinfo -ro -al " + (dir / "ITN_network.tab") + " 2>&1");
    EXPECT_NE(out.find("Feature Count: 2"), std::string::npos) << out;
    EXPECT_NE(out.find("Ordnance Survey of Great Britain 1936"), std::string::npos) << out;
    EXPECT_NE(out.find("PARAMETER[\"Scale factor at natural origin\",0.9996012717"), std::string::npos) << out;
    EXPECT_NE(out.find("RoadName: String (30.0)"), std::string::npos) << out;
    EXPECT_NE(out.find("maxHeight: Real (8.1)"), std::string::npos) << out;
    EXPECT_NE(out.find("RoadName (String) = Caf\xC3\xA9 Lane"), std::string::npos) << out;
    EXPECT_NE(out.find("RoadName (String) = High St, North"), std::string::npos) << out;
    EXPECT_NE(out.find("maxHeight (Real) = 4.5"), std::string::npos) << out;
    EXPECT_NE(out.find("Level (Integer) = -1"), std::string::npos) << out;
    EXPECT_NE(out.find("Oneway (String) = T"), std::string::npos) << out;
    EXPECT_NE(out.find("Oneway (String) = F"), std::string::npos) << out;
    EXPECT_NE(out.find("LINESTRING (530000 180000,530010.5 180005.25,530020 180000)"), std::string::npos) << out;
    EXPECT_NE(out.find("MULTILINESTRING ((530020 180000,530030 180010),(530040 180020,530050 180030))"),
              std::string::npos)
        << out;
    const std::string tab = test::ReadFile(dir / "ITN_network.tab");
    EXPECT_NE(tab.find("WindowsLatin1"), std::string::npos) << tab;
    // The declared column types survive, not GDAL's nearest ones.
    EXPECT_NE(tab.find("Oneway Logical ;"), std::string::npos) << tab;
    EXPECT_NE(tab.find("Level Smallint ;"), std::string::npos) << tab;
    EXPECT_NE(tab.find("maxHeight Decimal (8,1) ;"), std::string::npos) << tab;
    EXPECT_NE(tab.find("VU1 Decimal (1,0) ;"), std::string::npos) << tab;
    EXPECT_NE(out.find("VU1 (Real) = 1"), std::string::npos) << out;
    EXPECT_NE(out.find("VU1 (Real) = 0"), std::string::npos) << out;
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(dir / "ITN_network.dat.tmp"));

    // Polylines of one vertex or none (urban paths produce them) are written as MIF writes them:
    // a zero-length line, and no geometry; GDAL's driver refuses them as they come.
    {
        auto w = TGISWrite::GetGISObject(gfMITAB);
        w->FileName = dir / "short_lines";
        w->CoordSys = kBngCoordSys;
        w->StartHeader(1, otPline);
        w->AddField("ID", gfInteger, 0, 0);
        w->AddObject(1, false, "1");
        auto single = Section({{530000, 180000}});
        w->AddSection(1, single);
        w->AddObject(1, false, "2");
        auto none = Section({});
        w->AddSection(1, none);
        w->AddObject(1, false, "3");
        auto after = Section({{530010, 180010}, {530020, 180020}});
        w->AddSection(1, after);
        w->Close();
    }
    const std::string lines = RunCommand("ogrinfo -ro -al " + (dir / "short_lines.tab") + " 2>&1");
    EXPECT_NE(lines.find("Feature Count: 3"), std::string::npos) << lines;
    EXPECT_NE(lines.find("LINESTRING (530000 180000,530000 180000)"), std::string::npos) << lines;
    EXPECT_NE(lines.find("LINESTRING (530010 180010,530020 180020)"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("ERROR"), std::string::npos) << lines;

    // A value wider than its Decimal column is an error, not a cut value.
    auto w = TGISWrite::GetGISObject(gfMITAB);
    w->FileName = dir / "narrow";
    w->StartHeader(1, otNone);
    w->AddField("VU1", gfDecimal, 1, 0);
    try {
        w->AddObject(0, false, "12");
        FAIL() << "a value of two digits went into a one-digit column";
    } catch (const EGISWriteError& e) {
        EXPECT_NE(std::string(e.what()).find("the value 12 does not fit the column VU1 (Decimal 1,0)"),
                  std::string::npos) << e.what();
    }
    w->Close();
#endif
}

}  // namespace
}  // namespace itn
