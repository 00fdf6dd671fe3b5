// Urban paths and roads converted together: the urban records first with IDs 1 to k, the road
// links from k + 1, divided where paths join them, and turn restrictions naming the pieces.
// Runs the road job, so it is built only when the road job is part of the build.
#ifdef ITN_WITH_ROAD_JOB

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "roadjob/road_network_data.h"
#include "test_support.h"
#include "urban/urban_path_data.h"
#include "urban_test_util.h"

namespace itn {
namespace {

namespace fs = std::filesystem;
using namespace test;

const std::string kData = std::string(ITN_TEST_DATA_DIR) + "/urban";

// Reads the two urban files and runs the road job on the road file into Out in Format. Lines
// receives the "i / n" lines of the urban files and of the road job.
void Convert(const std::string& Out, TOutputFormat Format, std::vector<std::string>& Lines) {
    TUrbanPathData urban(false);
    urban.OnItemChanged = [&](TUrbanPathData&, int32_t Item) {
        Lines.push_back(std::to_string(Item + 1) + " / 2");
    };
    urban.ProcessData({kData + "/paths_first_file.gml", kData + "/paths_second_file.gml"});

    TRoadJobOptions options;
    options.RoadFiles = {kData + "/roads_joined_by_paths.gml"};
    options.OutputFolder = Out + "/";
    options.OutputFormat = Format;
    options.TurnRestrictions = true;
    options.UrbanPathsPresent = true;
    options.UrbanPathData = &urban;
    TRoadJobEvents events;
    events.AddMessage = [&](const std::string& Line) { Lines.push_back(Line); };
    TRoadNetworkData job;
    job.ConvertRoads(options, events);
}

TEST(UrbanEndToEndTest, UrbanRecordsFirstAndRoadLinksDividedWhereTheyJoin) {
    TTraceCapture::Start();
    TempDir out;
    std::vector<std::string> lines;
    Convert(out.path().string(), TOutputFormat::Mif, lines);

    EXPECT_EQ(lines,
              (std::vector<std::string>{"1 / 2", "2 / 2", "1 / 2", "2 / 2", "1 / 1", "1 / 1", "1 / 1"}));
    // Path links 1-3 and connecting links 4-7 (one departed, one thrown away), then the road
    // link divided by two connecting nodes (8-10), one no path joins (11) and one joined at its
    // end (12, not divided); the turns name the pieces that meet at each junction.
    for (const char* file : {"ITN_network.mif", "ITN_network.mid", "turn.txt"}) {
        EXPECT_EQ(ReadFile(out / file), ReadFile(kData + "/expected/" + file)) << file;
    }
    std::vector<std::string> notices;
    for (const std::string& m : TTraceCapture::Messages()) {
        if (m.rfind("Processing file", 0) != 0) notices.push_back(m);
    }
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "Path Link Coordinates missing 4000000000000003",
                           "Departed Connecting Link 4400000000000004",
                           "Connecting Link 4400000000000005 thrown away - end 4200000000000099 not found ",
                       }));
}

TEST(UrbanEndToEndTest, IndependentReaderSeesEveryRecord) {
    // A shapefile, which keeps the path link without coordinates as an empty line.
    TempDir out;
    std::vector<std::string> lines;
    Convert(out.path().string(), TOutputFormat::Shp, lines);
    const std::string dump = RunCommand("ogrinfo -ro -al -q '" + (out / "ITN_network.shp") + "' 2>&1");
    std::vector<std::string> records;
    std::string id;
    for (size_t start = 0, end; start < dump.size(); start = end + 1) {
        end = dump.find('\n', start);
        if (end == std::string::npos) end = dump.size();
        const std::string line = dump.substr(start, end - start);
        if (line.rfind("  ID (", 0) == 0) id = line.substr(line.find(" = ") + 3);
        if (line.rfind("  TOID (String) = ", 0) == 0) id += " " + line.substr(18);
        if (line.rfind("  LINESTRING", 0) == 0) records.push_back(id + " " + line.substr(2));
        if (line.rfind("ERROR", 0) == 0) records.push_back(line);
    }
    EXPECT_EQ(records, (std::vector<std::string>{
                           "1 4000000000000001 LINESTRING (-50 50,50 50)",
                           "2 4000000000000002 LINESTRING (50 50,100 60,150 50)",
                           "3 4000000000000003 LINESTRING EMPTY",
                           "4 4400000000000001 LINESTRING (50 50,50 0)",
                           "5 4400000000000002 LINESTRING (150 50,150 0)",
                           "6 4400000000000003 LINESTRING (-50 50,0 0)",
                           "7 4400000000000006 LINESTRING (150 50)",
                           "8 5000000000000001_1 LINESTRING (0 0,50 0)",
                           "9 5000000000000001_2 LINESTRING (50 0,100 0,150 0)",
                           "10 5000000000000001_3 LINESTRING (150 0,200 0)",
                           "11 5000000000000002 LINESTRING (200 0,200 100)",
                           "12 5000000000000003 LINESTRING (0 -100,0 0)",
                       }))
        << dump;
}

#ifdef ITN_CLI_PATH
TEST(UrbanEndToEndTest, CommandLineConvertsTheSampleWithItsUrbanFile) {
    const std::string sample = std::string(ITN_TEST_DATA_DIR) + "/../../data/sample";
    TempDir out;
    const std::string command = std::string(ITN_CLI_PATH) + " --out='" + out.path().string() +
                                "' --format=mif --roads='" + sample + "/roads_0001.gml' --roads='" +
                                sample + "/roads_0002.gz' --urban='" + sample + "/urban_paths.gml'";
    const std::string lines = RunCommand(command + " 2>&1");
    // The urban file's line in each of its passes, then the road files' lines of the three phases.
    EXPECT_EQ(lines.substr(0, lines.rfind("Done in ")),
              "1 / 1\n1 / 1\n1 / 2\n2 / 2\n1 / 2\n2 / 2\n1 / 2\n2 / 2\n");
    const std::string info = RunCommand("ogrinfo -ro -al -so '" + (out / "ITN_network.mif") + "' 2>&1");
    // 402 road records of the sample, 10 more for the divided links, 9 path and 10 connecting links.
    EXPECT_NE(info.find("Feature Count: 431"), std::string::npos) << info;
    EXPECT_EQ(info.find("ERROR"), std::string::npos) << info;
}
#endif  // ITN_CLI_PATH

}  // namespace
}  // namespace itn

#endif  // ITN_WITH_ROAD_JOB
