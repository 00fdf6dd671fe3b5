// The road job with urban paths: division of road links at connecting nodes, the urban
// records ahead of the road links, and turn.txt naming the pieces.
#include "roadjob/road_network_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gzip_fixtures.h"
#include "input/native_xml.h"
#include "urban/urban_links.h"

namespace itn {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(ITN_TEST_DATA_DIR) + "/roadjob";

std::string ReadAll(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Two path records and a fixed set of connecting nodes.
class TFakeUrbanLinks : public TUrbanLinks {
public:
    std::vector<TConnectingNodeInformation> Nodes;

    int32_t ConnectingNodeCount() const override { return static_cast<int32_t>(Nodes.size()); }
    const TConnectingNodeInformation& ConnectingNode(int32_t Index) const override { return Nodes[Index]; }

    int32_t WriteGisFile(TGISWrite& Writer, bool Attribute2, bool AttributeC, bool Attribute4, bool AvoidPattern,
                         const std::string& DefaultVehicleUseString,
                         const std::string& DefaultVehicleTypeString) override {
        for (int32_t id = 1; id <= 2; ++id) {
            std::string text = std::to_string(id) + ",\"700000000000000" + std::to_string(id) +
                               "\",0,0,\"Path\",\"\",0,\"\",\"\",\"F\",\"F\",0,0";
            if (Attribute2) text += ",143";
            if (AttributeC) text += ",79";
            if (Attribute4) text += ",15";
            if (AvoidPattern) text += ",2";
            if (!DefaultVehicleUseString.empty()) text += "," + DefaultVehicleUseString;
            if (!DefaultVehicleTypeString.empty()) text += "," + DefaultVehicleTypeString;
            Writer.AddObject(1, false, text);
            TFloatPointArrayEx line;
            line.Pnt = {{0, -10}, {0, -20}};
            line.Count = 2;
            Writer.AddSection(1, line);
        }
        return 2;
    }
};

TEST(RoadJobTest, LinksAreDividedAtConnectingNodes) {
    TFakeUrbanLinks urban;
    urban.Nodes = {
        {"N0", "150,0", "5000000000000001"},   // inside, second segment
        {"N1", "50,5", "5000000000000001"},    // beside the first segment
        {"N2", "200,0", "5000000000000002"},   // at the start vertex: no division
        {"N3", "200,100", "5000000000000002"}, // at the end vertex
        {"N4", "50,60", "5000000000000003"},   // two nodes that project onto one point
        {"N5", "50,40", "5000000000000003"},
        {"N6", "1,1", "5000000000000099"},     // on a link of no road file
    };
    // 120 nodes along one link, listed from its end: 121 pieces.
    for (int i = 119; i >= 0; --i) urban.Nodes.push_back({"M", std::to_string(10 * i + 5) + ",200", "5000000000000004"});

    const fs::path out = fs::path(ITN_BINARY_DIR) / "tests" / "roadjob_urban";
    fs::remove_all(out);
    fs::create_directories(out);
    TRoadJobOptions options;
    options.RoadFiles = {kData + "/urban_roads.gml"};
    options.OutputFolder = out.string() + "/";
    options.OutputFormat = TOutputFormat::Mif;
    options.TurnRestrictions = true;
    options.UrbanPathsPresent = true;
    options.UrbanPathData = &urban;
    std::vector<std::string> messages;
    TRoadJobEvents events;
    events.AddMessage = [&](const std::string& Line) { messages.push_back(Line); };

    TRoadNetworkData job;
    job.ConvertRoads(options, events);

    EXPECT_EQ(messages, (std::vector<std::string>{"1 / 1", "1 / 1", "1 / 1"}));
    for (const char* file : {"ITN_network.mif", "ITN_network.mid", "turn.txt", "VehicleUse.txt"}) {
        EXPECT_EQ(ReadAll(out / file), ReadAll(fs::path(kData) / "expected" / "urban" / file)) << file;
    }
}

// Five road files, so that files 2 and 4 are read ahead on the second thread in phases 1 and
// 2; files without any road feature in both positions.
class RoadJobFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(ITN_BINARY_DIR) / "tests" / "roadjob_files" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir / "out");
    }

    // Copies of the two tiles, or a file of the given text, as tile<i>.gml; "a.gz" and "b.gz"
    // are the tiles compressed, as tile<i>.gz.
    std::vector<std::string> Files(const std::vector<std::string>& Contents) {
        std::vector<std::string> files;
        for (size_t i = 0; i < Contents.size(); ++i) {
            const bool gz = Contents[i] == "a.gz" || Contents[i] == "b.gz";
            const fs::path file = dir / ("tile" + std::to_string(i + 1) + (gz ? ".gz" : ".gml"));
            if (gz) {
                std::ofstream(file, std::ios::binary)
                    << test::GzipMember(ReadAll(kData + "/roads_" + Contents[i].substr(0, 1) + ".gml"));
            } else if (Contents[i] == "a" || Contents[i] == "b") {
                fs::copy_file(kData + "/roads_" + Contents[i] + ".gml", file, fs::copy_options::overwrite_existing);
            } else {
                std::ofstream(file, std::ios::binary) << Contents[i];
            }
            files.push_back(file.string());
        }
        return files;
    }

    void Convert(const std::vector<std::string>& RoadFiles, TRoadJobEvents& Events) {
        TRoadJobOptions options;
        options.RoadFiles = RoadFiles;
        options.OutputFolder = (dir / "out").string() + "/";
        options.OutputFormat = TOutputFormat::Mif;
        TRoadNetworkData job;
        job.ConvertRoads(options, Events);
    }

    fs::path dir;
};

// .gz files count progress in compressed bytes, up to their size on disk, also when read ahead.
TEST_F(RoadJobFilesTest, EveryFileReportsProgressUpToItsSizeInEveryPhase) {
    for (const std::vector<std::string>& contents :
         {std::vector<std::string>{"a", "b", "a", "b", "a"}, std::vector<std::string>{"a.gz", "b.gz", "a", "b.gz", "a.gz"}}) {
        SCOPED_TRACE(contents[0]);
        fs::remove_all(dir);
        fs::create_directories(dir / "out");
        const std::vector<std::string> files = Files(contents);
        std::string phase, file;
        // Phase text -> file -> highest position reported while that file was the current one.
        std::map<std::string, std::map<std::string, int64_t>> reached;
        std::vector<std::string> prepared;
        TRoadJobEvents events;
        events.ShowPhase = [&](const std::string& Text) { phase = Text; };
        events.PrepareProgress = [&](const std::string& FileName) {
            file = FileName;
            prepared.push_back(FileName);
            reached[phase][file] = 0;
        };
        events.XmlProgress = [&](TNativeXml&, int32_t Position) {
            int64_t& highest = reached[phase][file];
            highest = std::max<int64_t>(highest, Position);
        };
        Convert(files, events);

        EXPECT_EQ(prepared.size(), 3 * files.size());
        for (const char* p : {"Phase 1 / 3", "Phase 2 / 3", "Phase 3 / 3"}) {
            for (const std::string& f : files) {
                EXPECT_EQ(reached[p][f], static_cast<int64_t>(fs::file_size(f))) << p << ", " << f;
            }
        }
    }
}

TEST_F(RoadJobFilesTest, FilesWithoutRoadFeaturesAreNamedInAWarning) {
    const std::string urbanOnly = ReadAll(std::string(ITN_TEST_DATA_DIR) + "/../../data/sample/urban_paths.gml");
    ASSERT_FALSE(urbanOnly.empty());
    struct Case {
        const char* name;
        std::vector<std::string> contents;
        std::vector<int> warned;  // one-based positions of the files named in warnings
    };
    const Case cases[] = {
        {"every file holds roads", {"a", "b", "a", "b", "a"}, {}},
        {"read ahead and read in turn", {"a", "<other/>", "<a><b x='1'/></a>", urbanOnly, "b"}, {2, 3, 4}},
        {"only the last", {"a", "b", "<?xml version='1.0'?><osgb:FeatureCollection fid='x'/>"}, {3}},
        {"a single file", {urbanOnly}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> files = Files(c.contents);
        std::vector<std::string> warnings;
        TRoadJobEvents events;
        events.Warning = [&](const std::string& Text) { warnings.push_back(Text); };
        Convert(files, events);
        std::vector<std::string> expected;
        for (int position : c.warned) expected.push_back("No ITN road features found in " + files[position - 1]);
        EXPECT_EQ(warnings, expected);
    }
}

}  // namespace
}  // namespace itn
