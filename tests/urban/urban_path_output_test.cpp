// Writing the urban links: record texts and IDs, the routing and vehicle columns, geometry,
// and the coordinate text reader.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "gis/gis_writer.h"
#include "test_support.h"
#include "urban/coords_to_points.h"
#include "urban/urban_path_data.h"
#include "urban_test_util.h"

namespace itn {
namespace {

using namespace test;

// Keeps what it is given; checks every record's value count against the declared columns.
class TRecordingWriter : public TGISWrite {
public:
    explicit TRecordingWriter(int32_t Columns) { StartHeader(Columns, otPline); }

    std::vector<std::string> Records;
    std::vector<std::vector<TFloatPoint>> Sections;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override {
        TGISWrite::StartObject(NumParts, Attrib);
        SplitAttributes(Attrib);
        Records.push_back(Attrib);
    }
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override {
        TGISWrite::WriteSection(Index, SegList);
        Sections.emplace_back(SegList.Pnt.begin(), SegList.Pnt.begin() + SegList.Count);
    }
};

class UrbanPathOutputTest : public ::testing::Test {
protected:
    void SetUp() override { TTraceCapture::Start(); }

    void Read(const std::string& Document) {
        WriteFile(Dir / "urban.gml", Document);
        Urban.ProcessData({Dir / "urban.gml"});
    }

    TempDir Dir;
    TUrbanPathData Urban{false};
};

TEST_F(UrbanPathOutputTest, PathLinksThenConnectingLinksInTOIDOrderFromIdOne) {
    Read(UrbanDocument({
        PathLink("4000000000000002", "Path", "10,20 30,40",
                 {{"-", "4100000000000001", "1"}, {"+", "4100000000000002"}}),
        PathLink("4000000000000001", "Path", "1.5,2.25\n  3,4\r\n5,6"),
        PathLinkInformation("4300000000000001", "4000000000000002", "Alley"),
        PathNode("4100000000000001", "10,20"),
        ConnectingNode("4200000000000001", "5000000000000001", "50,60"),
        ConnectingLink("4400000000000001", {{"+", "4200000000000001", "2"}, {"-", "4100000000000001", "1"}}),
    }));
    TRecordingWriter writer(13);
    EXPECT_EQ(Urban.WriteGisFile(writer, false, false, false, false, "", ""), 3);
    EXPECT_EQ(writer.Records, (std::vector<std::string>{
                                  R"(1,"4000000000000001",0,0,"Path","",0,"","","F","F",0,0)",
                                  R"(2,"4000000000000002",1,0,"Path - Alley","",0,"","","F","F",0,0)",
                                  R"(3,"4400000000000001",1,2,"Connecting Link","",0,"","","F","F",0,0)",
                              }));
    using P = std::vector<TFloatPoint>;
    EXPECT_EQ(writer.Sections, (std::vector<P>{P{{1.5, 2.25}, {3, 4}, {5, 6}}, P{{10, 20}, {30, 40}},
                                               P{{10, 20}, {50, 60}}}));  // from the "-" end to the "+" end

    // The records are released once written.
    TRecordingWriter again(13);
    EXPECT_EQ(Urban.WriteGisFile(again, false, false, false, false, "", ""), 0);
    EXPECT_TRUE(again.Records.empty());
    EXPECT_EQ(Urban.ConnectingNodeCount(), 1);  // still there for the road job
}

TEST_F(UrbanPathOutputTest, RoutingAndVehicleColumnsFollowTheFixedPart) {
    const struct {
        bool F1, F2, F3, F4;
        const char* VehicleUse;
        const char* VehicleType;
        const char* Tail;
    } cases[] = {
        {false, false, false, false, "", "", ""},
        {true, true, true, true, "", "", ",143,79,15,2"},
        {true, true, true, true, "0,0", "0,0,0", ",143,79,15,2,0,0,0,0,0"},
        {false, false, true, true, "", "0", ",15,2,0"},
        {true, false, false, false, "0", "", ",143,0"},
        {false, true, false, true, "", "", ",79,2"},
    };
    Read(UrbanDocument({
        PathLink("4000000000000001", "Path", "1,1 2,2"),
        PathNode("4100000000000001", "1,1"),
        ConnectingLink("4400000000000001", {{"-", "4100000000000001"}, {"+", "4100000000000001"}}),
    }));
    for (const auto& c : cases) {
        // Read afresh: writing releases the records.
        TUrbanPathData urban(false);
        urban.ProcessData({Dir / "urban.gml"});
        const int32_t columns =
            13 + c.F1 + c.F2 + c.F3 + c.F4 +
            (*c.VehicleUse ? 1 + static_cast<int32_t>(std::string(c.VehicleUse).size()) / 2 : 0) +
            (*c.VehicleType ? 1 + static_cast<int32_t>(std::string(c.VehicleType).size()) / 2 : 0);
        TRecordingWriter writer(columns);
        ASSERT_EQ(urban.WriteGisFile(writer, c.F1, c.F2, c.F3, c.F4, c.VehicleUse, c.VehicleType), 2)
            << c.Tail;
        EXPECT_EQ(writer.Records[0],
                  std::string(R"(1,"4000000000000001",0,0,"Path","",0,"","","F","F",0,0)") + c.Tail);
        EXPECT_EQ(
            writer.Records[1],
            std::string(R"(2,"4400000000000001",0,0,"Connecting Link","",0,"","","F","F",0,0)") + c.Tail);
    }
}

TEST_F(UrbanPathOutputTest, MissingGeometryGivesEmptyOrOnePointSections) {
    Read(UrbanDocument({
        PathLink("4000000000000001", "Path", "-"),
        PathNode("4100000000000001", "7,8"),
        ConnectingLink("4400000000000001", {{"+", "4100000000000001"}}),
        ConnectingLink("4400000000000002", {}),
    }));
    TRecordingWriter writer(13);
    EXPECT_EQ(Urban.WriteGisFile(writer, false, false, false, false, "", ""), 3);
    using P = std::vector<TFloatPoint>;
    EXPECT_EQ(writer.Sections, (std::vector<P>{P{}, P{{7, 8}}, P{}}));
}

TEST_F(UrbanPathOutputTest, NoUrbanFilesWriteNothing) {
    Urban.ProcessData({});
    TRecordingWriter writer(13);
    EXPECT_EQ(Urban.WriteGisFile(writer, true, true, true, true, "0", "0"), 0);
    EXPECT_TRUE(writer.Records.empty());
}

TEST_F(UrbanPathOutputTest, WriterErrorsLeaveAsExceptions) {
    Read(UrbanDocument({PathLink("4000000000000001", "Path", "1,1 2,2")}));
    TRecordingWriter writer(14);  // one column more than the record has
    EXPECT_THROW(Urban.WriteGisFile(writer, false, false, false, false, "", ""), EGISWriteError);
}

TEST(CoordsToPointsTest, PairsSeparatedByAnyRunOfBlanks) {
    // The reading must not depend on the locale's decimal separator.
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "C"}) {
        if (std::setlocale(LC_ALL, name)) break;
    }
    using P = std::vector<TFloatPoint>;
    const struct {
        const char* Text;
        P Points;
    } cases[] = {
        {"4.5,7.25", P{{4.5, 7.25}}},
        {"1,2 3,4", P{{1, 2}, {3, 4}}},
        {"  1,2\r\n\t3,4\n5,6  ", P{{1, 2}, {3, 4}, {5, 6}}},
        {"", P{}},
        {" \r\n ", P{}},
        {"12", P{{0, 12}}},  // no comma: x 0, y from the whole pair
        {"a,b 1,x -2.5e1,+3", P{{0, 0}, {1, 0}, {-25, 3}}},
        {"1,2,3", P{{1, 0}}},  // "2,3" is not a number
        {"437431.12,115093.88", P{{437431.12, 115093.88}}},
        {",5 5,", P{{0, 5}, {5, 0}}},
        {"nan,inf", P{{0, 0}}},
    };
    TFloatPointArrayEx points;
    points.Pnt.resize(10);  // shrinks to the pairs read
    for (const auto& c : cases) {
        CoordsToPoints(c.Text, points);
        EXPECT_EQ(points.Count, static_cast<int32_t>(c.Points.size())) << c.Text;
        EXPECT_EQ(points.Pnt, c.Points) << c.Text;
    }
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace itn
