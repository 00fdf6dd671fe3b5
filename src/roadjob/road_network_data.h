// The road job: three streaming passes over the road files, then the network file, the vehicle
// vocabulary files and turn.txt. The job runs each pass over the files in order, merges the
// tables of a file read on another thread at its turn, and opens the writer; what a pass
// reads and keeps is the pass's own (phase1_collect.h, phase2_link_info.h, phase3_output.h).
// One object runs one job at a time on the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "io/input_identity.h"
#include "roadjob/connecting_node_index.h"
#include "roadjob/road_job_options.h"
#include "roadjob/road_rules.h"

namespace itn {

class TNativeXml;
class TXmlNode;
class TRoadPass;
class TPhase1Pass;
class TPhase2Pass;
class TPhase3Pass;
struct TPhase2Inputs;

class TRoadNetworkData {
public:
    TRoadNetworkData();
    ~TRoadNetworkData();
    TRoadNetworkData(const TRoadNetworkData&) = delete;
    TRoadNetworkData& operator=(const TRoadNetworkData&) = delete;

    void ConvertRoads(const TRoadJobOptions& Options, const TRoadJobEvents& Events);

private:
    void ReadConnectingNodes();
    size_t ExpectedFeatures() const;
    // Reader hands its nodes to Pass and stops at the next node when the caller asks.
    void ConnectReader(TNativeXml& Reader, TRoadPass& Pass) const;
    // Runs Pass over the road files in order.
    void RunPhase(TRoadPass& Pass);
    void ReadRoadFiles(TRoadPass& Pass, TNativeXml& Reader);
    void ReadFile(TNativeXml& Reader, const std::string& FileName);
    // Reads a file with a reader of its own (on a prefetch thread); Progress gets the reader's
    // position as OnProgress does.
    void ReadWith(const std::string& FileName, TRoadPass& Pass, const std::function<void(int32_t)>& Progress);
    // "No ITN road features found in <file>" through the Warning event.
    void WarnNoRoadFeatures(const std::string& FileName);
    // Loads FileName into Reader; an XML or value error gets the file's name, line and column
    // appended (of the inflated text, for .gz).
    void LoadChecked(TNativeXml& Reader, const std::string& FileName);
    // Raises EStopped when the caller asked the run to stop.
    void CheckStop() const;
    void AddMessage(const std::string& Line);
    // The network file's writer, named and with its coordinate system.
    std::unique_ptr<TGISWrite> OpenWriter() const;

    TRoadJobOptions FOptions;
    TRoadJobEvents FEvents;
    TInputIdentities InputIdentities;  // of the road files, from their first pass

    // From the urban paths, for phase 3.
    std::vector<TFloatPoint> ConnectingNodePoints;
    TConnectingNodeIndex ConnectingNodeIndex;
};

}  // namespace itn
