// Reading of urban paths files: what each kind of feature contributes, the notices, the
// consequences of the reading order over several files, and the handling of .gz input.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <filesystem>

#include "test_support.h"
#include "input/gz_input.h"
#include "urban/urban_path_data.h"
#include "urban/xml_query.h"
#include "urban_test_util.h"

namespace itn {
namespace {

namespace fs = std::filesystem;
using namespace test;

class UrbanPathReadingTest : public ::testing::Test {
protected:
    void SetUp() override { TTraceCapture::Start(); }

    // Writes each document to its own file in Dir and reads them all.
    void Read(TUrbanPathData& Urban, const std::vector<std::string>& Documents) {
        std::vector<std::string> files;
        for (size_t i = 0; i < Documents.size(); ++i) {
            files.push_back(Dir / ("urban_" + std::to_string(i + 1) + ".gml"));
            WriteFile(files.back(), Documents[i]);
        }
        Urban.ProcessData(files);
    }

    // The trace messages apart from "Processing file ..." lines.
    static std::vector<std::string> Notices() {
        std::vector<std::string> notices;
        for (const std::string& m : TTraceCapture::Messages()) {
            if (m.rfind("Processing file", 0) != 0) notices.push_back(m);
        }
        return notices;
    }

    static std::vector<std::string> Keys(const auto& List) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : List) keys.push_back(key);
        return keys;
    }

    TempDir Dir;
};

TEST_F(UrbanPathReadingTest, EmptyFileListOnlyRaisesTheTwoStatusEvents) {
    TUrbanPathData urban(false);
    std::vector<std::string> events;
    urban.OnStatus = [&](TUrbanPathData&, const std::string& Status) { events.push_back(Status); };
    urban.OnItemChanged = [&](TUrbanPathData&, int32_t Item) { events.push_back(std::to_string(Item)); };
    urban.ProcessData({});
    EXPECT_EQ(events, (std::vector<std::string>{"Phase 1 / 2", "Phase 2 / 2"}));
    EXPECT_EQ(urban.PathLinkDataList().Count(), 0);
    EXPECT_EQ(urban.ConnectingNodeCount(), 0);
    EXPECT_EQ(urban.ConnectingLinkDataList().Count(), 0);
    EXPECT_TRUE(TTraceCapture::Messages().empty());
}

TEST_F(UrbanPathReadingTest, EventsAndProcessingMessagesPerFileAndPass) {
    TUrbanPathData urban(false);
    std::vector<std::string> events;
    urban.OnStatus = [&](TUrbanPathData&, const std::string& Status) { events.push_back(Status); };
    urban.OnItemChanged = [&](TUrbanPathData&, int32_t Item) { events.push_back(std::to_string(Item)); };
    Read(urban, {UrbanDocument({}), UrbanDocument({})});
    EXPECT_EQ(events, (std::vector<std::string>{"Phase 1 / 2", "0", "1", "Phase 2 / 2", "0", "1"}));
    EXPECT_EQ(TTraceCapture::Messages(),
              (std::vector<std::string>{"Processing file Pass 1 " + (Dir / "urban_1.gml"),
                                        "Processing file Pass 1 " + (Dir / "urban_2.gml"),
                                        "Processing file Pass 2 " + (Dir / "urban_1.gml"),
                                        "Processing file Pass 2 " + (Dir / "urban_2.gml")}));
}

TEST_F(UrbanPathReadingTest, CollectsEveryKindOfFeature) {
    TUrbanPathData urban(false);
    Read(urban,
         {UrbanDocument({
             PathLink("4000000000000002", "Path", "1,2 3,4",
                      {{"-", "4100000000000001", "1"}, {"+", "4100000000000002"}}),
             // A later directed node of the same orientation wins; other orientations are ignored.
             PathLink("4000000000000001", "Footbridge", "5.5,6\n  7,8",
                      {{"+", "4100000000000002", "2"},
                       {"x", "4100000000000001", "7"},
                       {"+", "4100000000000003", "3"}}),
             PathLinkInformation("4300000000000001", "4000000000000002", "Alley"),
             PathLinkInformation("4300000000000002", "4000000000000001", "Pedestrianised Street"),
             PathLinkInformation("4300000000000003", "4000000000000001", "Track"),  // replaces the one before
             PathLinkInformation("4300000000000004", "4000000000000002", "-"),      // changes nothing
             PathNode("4100000000000001", "1,2"),
             PathNode("4100000000000002", "3,4"),
             ConnectingNode("4200000000000001", "5000000000000009", "10,20"),
             ConnectingLink("4400000000000001",
                            {{"-", "4100000000000002", "1"}, {"+", "4200000000000001", "2"}}),
         })});

    ASSERT_EQ(Keys(urban.PathLinkDataList()),
              (std::vector<std::string>{"4000000000000001", "4000000000000002"}));
    const TPathLinkInformationData& first = *urban.PathLinkDataList().Find("4000000000000001");
    EXPECT_EQ(first.PathLinkID, "4000000000000001");
    EXPECT_EQ(first.DescriptiveTerm, "Footbridge");
    EXPECT_EQ(first.Classification, "Track");
    EXPECT_EQ(first.Coords, "5.5,6\r\n  7,8");
    EXPECT_EQ(first.StartNodeGradeSeparation, 0);
    EXPECT_EQ(first.EndNodeGradeSeparation, 3);
    const TPathLinkInformationData& second = *urban.PathLinkDataList().Find("4000000000000002");
    EXPECT_EQ(second.Classification, "Alley");
    EXPECT_EQ(second.StartNodeGradeSeparation, 1);
    EXPECT_EQ(second.EndNodeGradeSeparation, 0);

    EXPECT_EQ(urban.PathNodeDataList().Find("4100000000000002")->Coords, "3,4");
    ASSERT_EQ(urban.ConnectingNodeCount(), 1);
    EXPECT_EQ(urban.ConnectingNode(0).ConnectingNodeID, "4200000000000001");
    EXPECT_EQ(urban.ConnectingNode(0).Coords, "10,20");
    EXPECT_EQ(urban.ConnectingNode(0).RefToItn, "5000000000000009");

    const TConnectingLinkInformationData& link = *urban.ConnectingLinkDataList().Find("4400000000000001");
    EXPECT_EQ(link.StartPoint, "3,4");
    EXPECT_EQ(link.Endpoint, "10,20");
    EXPECT_EQ(link.StartNodeGradeSeparation, 1);
    EXPECT_EQ(link.EndNodeGradeSeparation, 2);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(UrbanPathReadingTest, FeaturesWithMissingPartsAreLoggedAndKeptOrDropped) {
    TUrbanPathData urban(false);
    Read(urban,
         {UrbanDocument({
             Departed("4000000000000009"),
             Departed("4300000000000009"),
             Departed("4200000000000009"),
             Departed("4100000000000009"),
             Departed("4400000000000009"),
             PathLink("4000000000000009", "Path", "1,1"),
             PathLink("4000000000000001", "-", "1,1 2,2"),  // kept without term
             PathLink("4000000000000002", "Path", "-"),     // kept without coordinates
             PathLinkInformation("4300000000000009", "4000000000000001", "Alley"),
             PathLinkInformation("4300000000000001", "-", "Alley"),
             PathLinkInformation("4300000000000002", "4000000000000008", "Alley"),
             ConnectingNode("4200000000000009", "5000000000000001", "1,1"),
             ConnectingNode("4200000000000001", "-", "1,1"),
             ConnectingNode("4200000000000002", "5000000000000001", "-"),
             ConnectingNode("4200000000000003", "5000000000000001", "3,3"),
             PathNode("4100000000000009", "1,1"),
             PathNode("4100000000000001", "-"),
             PathNode("4100000000000002", "2,2"),
             ConnectingLink("4400000000000009", {{"-", "4100000000000002"}}),
             ConnectingLink("4400000000000001", {{"-", "4100000000000002"}, {"+", "4100000000000009"}}),
             ConnectingLink("4400000000000002", {{"-", "4100000000000077"}, {"+", "4100000000000002"}}),
             ConnectingLink("4400000000000003", {{"+", "4200000000000003"}}),  // one end only
         })});
    EXPECT_EQ(Notices(), (std::vector<std::string>{
                             "Departed Path Link 4000000000000009",
                             "Path Link DescriptiveTerm missing 4000000000000001",
                             "Path Link Coordinates missing 4000000000000002",
                             "Departed Path Info Link 4300000000000009",
                             "Path Info Link has missing reference 4300000000000001",
                             "Path Info Link - could not find path link 4300000000000002",
                             "Departed Connecting Node 4200000000000009",
                             "Connecting Node Ref to ITN node missing 4200000000000001",
                             "Connecting Node missing coords node 4200000000000002",
                             "Departed Path node 4100000000000009",
                             "Path node - coordinates node missing 4100000000000001",
                             "Departed Connecting Link 4400000000000009",
                             "Connecting Link 4400000000000001 thrown away - end 4100000000000009 not found ",
                             "Connecting Link 4400000000000002 thrown away - end 4100000000000077 not found ",
                         }));
    EXPECT_EQ(urban.DepartedList(),
              (std::vector<std::string>{"4000000000000009", "4300000000000009", "4200000000000009",
                                        "4100000000000009", "4400000000000009"}));
    EXPECT_EQ(Keys(urban.PathLinkDataList()),
              (std::vector<std::string>{"4000000000000001", "4000000000000002"}));
    EXPECT_EQ(urban.PathLinkDataList().Find("4000000000000001")->DescriptiveTerm, "");
    EXPECT_EQ(urban.PathLinkDataList().Find("4000000000000002")->Coords, "");
    EXPECT_EQ(Keys(urban.ConnectingNodes()), std::vector<std::string>{"4200000000000003"});
    EXPECT_EQ(Keys(urban.PathNodeDataList()), std::vector<std::string>{"4100000000000002"});
    ASSERT_EQ(Keys(urban.ConnectingLinkDataList()), std::vector<std::string>{"4400000000000003"});
    const TConnectingLinkInformationData& oneEnd = *urban.ConnectingLinkDataList().Find("4400000000000003");
    EXPECT_EQ(oneEnd.StartPoint, "");
    EXPECT_EQ(oneEnd.Endpoint, "3,3");
}

TEST_F(UrbanPathReadingTest, ReadingOrderDecidesAcrossFiles) {
    TUrbanPathData urban(false);
    Read(urban,
         {UrbanDocument({
              PathLink("4000000000000001", "First", "1,1"),
              PathLink("4000000000000001", "Same file, later", "2,2"),
              PathLink("4000000000000002", "Departed in a later file", "1,1"),
              // Information of a link of a later file finds nothing.
              PathLinkInformation("4300000000000001", "4000000000000005", "Alley"),
              // A connecting link whose ends lie in the second file.
              ConnectingLink("4400000000000001", {{"-", "4100000000000005"}, {"+", "4200000000000005"}}),
              ConnectingLink("4400000000000002", {{"-", "4100000000000005"}}),
              PathNode("4100000000000001", "1,1"),
          }),
          UrbanDocument({
              Departed("4000000000000002"), Departed("4000000000000006"),
              PathLink("4000000000000001", "Second file", "3,3"), PathLink("4000000000000005", "Path", "5,5"),
              PathLink("4000000000000006", "Departed in its own file", "6,6"),
              PathLinkInformation("4300000000000002", "4000000000000001", "Alley"),
              PathNode("4100000000000005", "5,5"),
              ConnectingNode("4200000000000005", "5000000000000001", "6,6"),
              ConnectingLink("4400000000000002", {{"+", "4100000000000001"}}),  // the first stays
          })});

    EXPECT_EQ(Keys(urban.PathLinkDataList()),
              (std::vector<std::string>{"4000000000000001", "4000000000000002", "4000000000000005"}));
    EXPECT_EQ(urban.PathLinkDataList().Find("4000000000000001")->DescriptiveTerm, "First");
    EXPECT_EQ(urban.PathLinkDataList().Find("4000000000000001")->Classification, "Alley");
    EXPECT_EQ(urban.PathLinkDataList().Find("4000000000000005")->Classification, "");
    EXPECT_EQ(Notices(),
              (std::vector<std::string>{"Path Info Link - could not find path link 4300000000000001",
                                        "Departed Path Link 4000000000000006"}));

    const auto& links = urban.ConnectingLinkDataList();
    ASSERT_EQ(Keys(links), (std::vector<std::string>{"4400000000000001", "4400000000000002"}));
    EXPECT_EQ(links.Find("4400000000000001")->StartPoint, "5,5");
    EXPECT_EQ(links.Find("4400000000000001")->Endpoint, "6,6");
    EXPECT_EQ(links.Find("4400000000000002")->StartPoint, "5,5");
    EXPECT_EQ(links.Find("4400000000000002")->Endpoint, "");
}

TEST_F(UrbanPathReadingTest, IdentifiersAreCutFromTheirAttributes) {
    TUrbanPathData urban(false);
    Read(urban, {"<r>"
                 "<osgb:networkMember><osgb:PathLink fid='osgb40000000000000011234'/></osgb:networkMember>"
                 "<osgb:networkMember><osgb:PathLink fid='osg'/></osgb:networkMember>"
                 "<osgb:networkMember><osgb:PathNode fid='osgb4100000000000001'><osgb:point><gml:Point>"
                 "<gml:coordinates>1,1</gml:coordinates></gml:Point></osgb:point></osgb:PathNode></"
                 "osgb:networkMember>"
                 "<osgb:networkMember><osgb:ConnectingLink fid='osgb4400000000000001'>"
                 "<osgb:directedNode orientation='-' xlink:href='#osgb4100000000000001'/>"
                 "<osgb:directedNode orientation='+' xlink:href='#osgb41000000000000019999'/>"
                 "</osgb:ConnectingLink></osgb:networkMember>"
                 "</r>"});
    EXPECT_EQ(Keys(urban.PathLinkDataList()), (std::vector<std::string>{"", "4000000000000001"}));
    // Connecting link ends take up to 20 characters of the reference.
    EXPECT_EQ(Notices().back(),
              "Connecting Link 4400000000000001 thrown away - end 41000000000000019999 not found ");
}

std::string GzipFile(const std::string& Name, const std::string& Text) {
    const std::string gz = Name + ".gz";
    gzFile f = gzopen(gz.c_str(), "wb");
    gzwrite(f, Text.data(), static_cast<unsigned>(Text.size()));
    gzclose(f);
    return gz;
}

// Both passes read the .gz in place, with either setting of the former save option; the same
// file given twice is read twice; nothing is ever written beside it.
TEST_F(UrbanPathReadingTest, GzInputIsReadInPlaceByBothPasses) {
    const std::string document =
        UrbanDocument({PathNode("4100000000000001", "1,1"),
                       ConnectingLink("4400000000000001", {{"-", "4100000000000001"}})});
    const std::string gz = GzipFile(Dir / "tile", document);
    for (const bool save : {false, true}) {
        TTraceCapture::Start();
        TUrbanPathData urban(save);
        std::vector<size_t> filesInFolder;  // at the start of each file of each pass
        urban.OnItemChanged = [&](TUrbanPathData&, int32_t) {
            filesInFolder.push_back(std::distance(fs::directory_iterator(Dir.path()), {}));
        };
        urban.ProcessData({gz, gz});
        EXPECT_EQ(urban.ConnectingLinkDataList().Count(), 1) << save;
        EXPECT_EQ(TTraceCapture::Messages(),
                  (std::vector<std::string>{"Processing file Pass 1 " + gz, "Processing file Pass 1 " + gz,
                                            "Processing file Pass 2 " + gz, "Processing file Pass 2 " + gz}));
        EXPECT_EQ(filesInFolder, (std::vector<size_t>{1, 1, 1, 1})) << save;
        EXPECT_EQ(std::distance(fs::directory_iterator(Dir.path()), {}), 1) << save;
    }
}

// The same data plain and compressed gives the same tables.
TEST_F(UrbanPathReadingTest, GzAndPlainInputGiveTheSameResult) {
    const std::string document =
        UrbanDocument({PathLink("4000000000000001", "Path", "1,1 2,2"), PathNode("4100000000000001", "1,1"),
                       ConnectingLink("4400000000000001", {{"-", "4100000000000001"}})});
    WriteFile(Dir / "plain.gml", document);
    const std::string gz = GzipFile(Dir / "zipped", document);
    TUrbanPathData fromPlain(false), fromGz(false);
    fromPlain.ProcessData({Dir / "plain.gml"});
    fromGz.ProcessData({gz});
    EXPECT_EQ(Keys(fromGz.PathLinkDataList()), Keys(fromPlain.PathLinkDataList()));
    EXPECT_EQ(Keys(fromGz.PathLinkDataList()), (std::vector<std::string>{"4000000000000001"}));
    EXPECT_EQ(Keys(fromGz.ConnectingLinkDataList()), Keys(fromPlain.ConnectingLinkDataList()));
    EXPECT_EQ(fromGz.ConnectingNodeCount(), fromPlain.ConnectingNodeCount());
}

TEST_F(UrbanPathReadingTest, InputsOfTheUserAreNeverReplacedOrDeleted) {
    const std::string gz =
        GzipFile(Dir / "tile", UrbanDocument({PathLink("4000000000000001", "Zipped", "1,1")}));
    const std::string own = UrbanDocument({PathLink("4000000000000002", "Own", "2,2")});
    WriteFile(Dir / "tile.gml", own);  // beside tile.gz: read only because it is listed
    WriteFile(Dir / "plain.xml", own);
    TUrbanPathData urban(true);
    urban.ProcessData({gz, Dir / "tile.gml", Dir / "plain.xml"});
    EXPECT_EQ(Keys(urban.PathLinkDataList()),
              (std::vector<std::string>{"4000000000000001", "4000000000000002"}));
    EXPECT_EQ(ReadFile(Dir / "tile.gml"), own);
    EXPECT_EQ(ReadFile(Dir / "plain.xml"), own);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(Dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"plain.xml", "tile.gml", "tile.gz"}));
}

// A file renamed over between the passes, or changed, stops the reading; the stop flag too.
TEST_F(UrbanPathReadingTest, FileReplacedBetweenPassesOrStopRequestedEndsTheReading) {
    const std::string name = Dir / "urban.gml", other = Dir / "other.gml";
    const std::string document = UrbanDocument({PathLink("4000000000000001", "Path", "1,1")});
    struct Case {
        const char* what;
        std::function<void()> between;
        std::string message;
    };
    std::atomic<bool> stop{false};
    const Case cases[] = {
        {"renamed over", [&] { WriteFile(other, document); fs::rename(other, name); },
         "Input file \"" + name + "\" was replaced by another file while the conversion was reading it. Nothing was written"},
        {"grown", [&] { WriteFile(name, document + "\n"); },
         "Input file \"" + name + "\" was changed while the conversion was reading it. Nothing was written"},
        {"stop", [&] { stop = true; }, "Stopped: nothing was written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(name, document);
        stop = false;
        TUrbanPathData urban(false);
        urban.Stop = &stop;
        int items = 0;
        urban.OnItemChanged = [&](TUrbanPathData&, int32_t) {
            if (++items == 2) c.between();  // pass 2 is about to read the file again
        };
        try {
            urban.ProcessData({name});
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// A coordinate that is not a finite number ends the reading with the value, feature and file.
TEST_F(UrbanPathReadingTest, NonFiniteCoordinatesEndTheReading) {
    const std::pair<std::string, std::string> cases[] = {
        {PathLink("4000000000000001", "Path", "1,1 nan,2"), "'nan' is not a finite coordinate in feature 4000000000000001"},
        {ConnectingNode("4000000000000002", "4000000000000009", "1e308,2"),
         "'1e308' is not a finite coordinate in feature 4000000000000002"},
        {PathNode("4000000000000003", "1,-inf"), "'-inf' is not a finite coordinate in feature 4000000000000003"},
    };
    for (const auto& [feature, message] : cases) {
        SCOPED_TRACE(message);
        WriteFile(Dir / "urban.gml", UrbanDocument({feature}));
        TUrbanPathData urban(false);
        try {
            urban.ProcessData({Dir / "urban.gml"});
            ADD_FAILURE() << "no error";
        } catch (const EXML& e) {
            EXPECT_EQ(std::string(e.what()), message + " (urban.gml)");
        }
    }
}

TEST_F(UrbanPathReadingTest, MissingPlainFileContributesNothingAndBadFilesFail) {
    TUrbanPathData urban(false);
    urban.ProcessData({Dir / "missing.gml"});
    EXPECT_TRUE(Notices().empty());

    EXPECT_THROW(urban.ProcessData({Dir / "missing.gz"}), std::exception);

    WriteFile(Dir / "broken.gml", "<osgb:FeatureCollection><osgb:networkMember></osgb:FeatureCollection>");
    try {
        urban.ProcessData({Dir / "broken.gml"});
        ADD_FAILURE();
    } catch (const EXML& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Start-end tags mismatch (broken.gml, line 1, column ", 0), 0u) << e.what();
    }
    WriteFile(Dir / "not.gz", "plain text");
    EXPECT_THROW(urban.ProcessData({Dir / "not.gz"}), EGzError);
}

}  // namespace
}  // namespace itn
