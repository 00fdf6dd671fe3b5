// Phase 3: every current road link becomes a record of the network file, divided where
// connecting nodes lie on it or, when closed, into two halves; the ferry links follow after
// the pass. The records go to an asynchronous writer in reading order, numbered on from the
// records written before (the urban links).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gis/gis_writer.h"
#include "roadjob/async_feature_writer.h"
#include "roadjob/connecting_node_index.h"
#include "roadjob/phase1_collect.h"
#include "roadjob/phase2_link_info.h"
#include "roadjob/road_job_options.h"
#include "roadjob/road_pass.h"
#include "roadjob/road_records.h"
#include "roadjob/road_rules.h"
#include "roadjob/routing_codes.h"
#include "roadjob/string_lists.h"

namespace itn {

// What phase 3 reads from the earlier passes and the urban paths.
struct TPhase3Inputs {
    const TRoadJobOptions* Options = nullptr;
    const TPhase1Pass* Phase1 = nullptr;
    const TPhase2Tables* Phase2 = nullptr;
    const std::vector<TFloatPoint>* ConnectingNodePoints = nullptr;
    const TConnectingNodeIndex* ConnectingNodeIndex = nullptr;
    // A line for the message list ("Found unknown descriptiveTerm: ...").
    std::function<void(const std::string& Line)> AddMessage;
};

class TPhase3Pass : public TRoadPass {
public:
    explicit TPhase3Pass(TPhase3Inputs Inputs);
    ~TPhase3Pass() override;

    // The attribute table of the network file.
    void DefineNetworkTable(TGISWrite& Writer) const;
    // The vehicle columns of a link that no road link information names.
    const std::string& DefaultVehicleUseString() const { return FDefaultVehicleUse; }
    const std::string& DefaultVehicleTypeString() const { return FDefaultVehicleType; }

    // Before the first file: records go to Output, their IDs follow RecordsBefore.
    void Start(TAsyncFeatureWriter& Output, int32_t RecordsBefore);
    void StartFile() override { LastDepth = 0; }
    void NodeNew(TXmlNode& Node) override;
    void NodeLoaded(TXmlNode& Node) override;
    // After the last file.
    void WriteFerryLinks();

    // End points of the links turn restrictions name (only with turn restrictions and urban
    // paths), for turn.txt.
    std::unique_ptr<TStringList<TTurnCoord>> TakeTurnCoords() { return std::move(FTurnCoords); }

private:
    // The records of each link, found through its TOID.
    void BuildRoadLinkDataIndex();
    void WriteRoadLink();
    // The record of the current link (piece 0: the plain TOID) with its geometry.
    void WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo, const TFloatPoint* Points,
                         int32_t Count);
    // The same with the geometry as a GML coordinate text, parsed on the writing thread.
    void WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo,
                         std::string_view Coordinates);
    // RecordText of the current link; enters the link into LinkIdList.
    void BuildLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo);
    // TurnCoords entry of the link just written, when a turn restriction names it.
    void StoreTurnCoord(int32_t Splits, int32_t Count, const TFloatPoint& First, const TFloatPoint& Last);
    // LinkVehicleUse and LinkVehicleType of the link: every record that names it counts.
    void SetLinkVehicleStrings(const std::string& Toid);

    const TPhase3Inputs In;
    const TRoadJobOptions& Options;
    const TPhase2Tables& Phase2;
    TAsyncFeatureWriter* Output = nullptr;
    TCurrentFeature Feature;

    // TOID -> first record naming it; NextRecordForLink chains the later ones in reading order.
    TStringList<int32_t> RoadLinkDataIndex;
    std::vector<int32_t> NextRecordForLink;
    std::vector<const TRoadLinkInformationData*> LinkRecords;
    std::unique_ptr<TStringList<TTurnCoord>> FTurnCoords;
    std::unique_ptr<TStringList<int32_t>> LinkIdList;  // TOIDs written, with their IDs
    TStringList<TFerryNodeInformation> FerryNodes;
    TStringList<TFerryLinkInformation> FerryLinks;
    std::string FDefaultVehicleUse, FDefaultVehicleType;

    int32_t LastDepth = 0;
    int32_t IdCounter = 0;
    // The link being read.
    std::string LinkTOID, DescriptiveGroup, DescriptiveTerm, NatureOfRoad, CoordsText;
    std::string ZlevelFrom = "0", ZlevelTo = "0";
    bool IsFerry = false;
    bool InNetworkMember = false;
    std::string FerryFromNode, FerryToNode;
    int32_t LinkVersion = 0, LinkOneway = 0, LinkMaxHeight = 0;
    std::string LinkRoadName, LinkDftNumber;
    bool LinkTrunk = false, LinkPrimary = false;
    TRoadClass RoadClass;
    std::vector<TSplit> Splits;
    TFloatPointArrayEx LinkPoints;
    TFloatPointArrayEx PiecePoints;
    std::string RecordText;
    std::string LinkVehicleUse, LinkVehicleType;
};

}  // namespace itn
