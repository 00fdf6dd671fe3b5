// The road job with urban paths: division of road links at connecting nodes, the urban
// records ahead of the road links, and turn.txt naming the pieces.
#include "roadjob/road_network_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
    options.OutputFormat = 0;
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

}  // namespace
}  // namespace itn
