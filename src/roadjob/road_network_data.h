// The road job: three streaming passes over the road files, the network file, the vehicle
// vocabulary files and turn.txt. One object runs one job at a time on the caller's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gis/gis_writer.h"
#include "roadjob/async_feature_writer.h"
#include "roadjob/connecting_node_index.h"
#include "io/input_identity.h"
#include "roadjob/phase1_collect.h"
#include "roadjob/phase2_link_info.h"
#include "roadjob/road_records.h"
#include "roadjob/routing_codes.h"
#include "roadjob/string_lists.h"
#include "roadjob/turn_file.h"
#include "roadjob/vehicle_encoding.h"

namespace itn {

class TNativeXml;
class TXmlNode;
class TUrbanLinks;

struct TRoadJobOptions {
    std::vector<std::string> RoadFiles;  // read in this order
    std::string OutputFolder;            // with trailing separator, or empty
    int32_t OutputFormat = 0;            // 0 MIF, 1 SHP, 2 TAB, 3 GML 2; also 4 KML, 5 GeoJSON, 6 CSV
    bool SplitLoopLinks = true;
    bool TurnRestrictions = false;
    int32_t MaxHeightUnit = 1;  // 0 centimetres, 1 inches
    bool SaveUnzipped = false;  // kept for stored settings; .gz input is read in place
    bool Attribute2 = false;
    bool AttributeC = false;
    bool Attribute4 = true;
    bool AvoidPattern = true;
    bool UrbanPathsPresent = false;
    TUrbanLinks* UrbanPathData = nullptr;  // none: no connecting nodes, no urban records
    uint16_t Codepage = 1252;              // of the network file and the text files
    // Applied by the writer to every coordinate of the network file; none: British National
    // Grid as read.
    std::shared_ptr<TCoordinateTransform> OutputTransform;
    // Set by another thread (or a signal handler) to stop the run at the next feature.
    const std::atomic<bool>* Stop = nullptr;
};

// Callbacks to the caller; any may be left empty.
struct TRoadJobEvents {
    std::function<void(const std::string& Text)> ShowPhase;
    std::function<void()> HidePhase;
    std::function<void(const std::string& Line)> AddMessage;
    // Something the user should know although the run goes on (an input without features).
    std::function<void(const std::string& Text)> Warning;
    std::function<void(int32_t Index)> SelectRoadFile;
    std::function<void(const std::string& FileName)> PrepareProgress;
    std::function<void(TNativeXml& Sender, int32_t Size)> XmlProgress;
    // Called every few tens of milliseconds while the job waits for a file read on another
    // thread, so that a window can process its pending events meanwhile.
    std::function<void()> KeepResponsive;
};

extern const char* const kBritishNationalGridCoordSys;
extern const char* const kBritishNationalGridPRJ;

// Height of a restriction in the output unit (0 cm, 1 inch); feet and inches win over metres.
int32_t HeightInUnit(int32_t Feet, int32_t Inches, double Metres, int32_t Unit);

// True when a character after the first is an ASCII digit.
bool IsRoadNumber(std::string_view Text);

class TRoadNetworkData {
public:
    TRoadNetworkData();
    ~TRoadNetworkData();
    TRoadNetworkData(const TRoadNetworkData&) = delete;
    TRoadNetworkData& operator=(const TRoadNetworkData&) = delete;

    void ConvertRoads(const TRoadJobOptions& Options, const TRoadJobEvents& Events);

    void Phase1NodeNew(TNativeXml& Sender, TXmlNode& Node);
    void Phase1NodeLoaded(TNativeXml& Sender, TXmlNode& Node);
    void Phase2NodeNew(TNativeXml& Sender, TXmlNode& Node);
    void Phase2NodeLoaded(TNativeXml& Sender, TXmlNode& Node);
    void Phase3NodeNew(TNativeXml& Sender, TXmlNode& Node);
    void Phase3NodeLoaded(TNativeXml& Sender, TXmlNode& Node);

private:
    using TNodeHandler = void (TRoadNetworkData::*)(TNativeXml&, TXmlNode&);

    void ClearFerryLists();
    void ReadConnectingNodes();
    size_t ExpectedFeatures() const;
    void RunPhase(int Phase, TNodeHandler NodeNew, TNodeHandler NodeLoaded);
    void ReadRoadFiles(int Phase, TNativeXml& Reader);
    void ReadFile(TNativeXml& Reader, const std::string& FileName);
    // Reads a file with a reader of its own (on a prefetch thread); Progress gets the reader's
    // position as OnProgress does.
    void ReadWith(const std::string& FileName, const std::function<void(TXmlNode&)>& NodeNew,
                  const std::function<void(TXmlNode&)>& NodeLoaded, const std::function<void(int32_t)>& Progress);
    // "No ITN road features found in <file>" through the Warning event.
    void WarnNoRoadFeatures(const std::string& FileName);
    // Loads FileName into Reader; an XML or value error gets the file's name, line and column
    // appended (of the inflated text, for .gz).
    void LoadChecked(TNativeXml& Reader, const std::string& FileName);
    // Raises EStopped when the caller asked the run to stop.
    void CheckStop() const;
    void AddMessage(const std::string& Line);
    void FreeTables();

    // Between phases 2 and 3: the records of each link, found through its TOID.
    void BuildRoadLinkDataIndex();

    // Between phases 2 and 3, and phase 3
    void DefineNetworkTable();
    void WriteRoadLink();
    // The record of the current link (piece 0: the plain TOID) with its geometry.
    void WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo, const TFloatPoint* Points,
                         int32_t Count);
    // The same with the geometry as a GML coordinate text, parsed on the writing thread.
    void WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo,
                         std::string_view Coordinates);
    // RecordText of the current link; enters the link into LinkIdList.
    void BuildLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo);
    void WriteFerryLinks();
    // TurnCoords entry of the link just written, when a turn restriction names it.
    void StoreTurnCoord(int32_t Splits, int32_t Count, const TFloatPoint& First, const TFloatPoint& Last);
    // LinkVehicleUse and LinkVehicleType of the link: every record that names it counts.
    void SetLinkVehicleStrings(const std::string& Toid);

    TRoadJobOptions FOptions;
    TRoadJobEvents FEvents;
    TInputIdentities InputIdentities;  // of the road files, from their first pass

    // Shared by the passes.
    std::vector<TFloatPoint> ConnectingNodePoints;
    TConnectingNodeIndex ConnectingNodeIndex;
    TPhase1Tables Phase1Tables;  // VersionList, DepartedFeatures and the vehicle names met
    std::unique_ptr<TPhase1Collector> Phase1;
    TVehicleVocabulary VehicleUseList;
    TVehicleVocabulary VehicleTypeList;
    TPhase2Inputs Phase2Inputs;
    TPhase2Tables Phase2Tables;  // one-way, roads, heights, road link information, turns
    std::unique_ptr<TPhase2Collector> Phase2;
    // TOID -> first record naming it; NextRecordForLink chains the later ones in reading order.
    TStringList<int32_t> RoadLinkDataIndex;
    std::vector<int32_t> NextRecordForLink;
    std::vector<const TRoadLinkInformationData*> LinkRecords;
    std::unique_ptr<TStringList<TTurnCoord>> TurnCoords;
    std::unique_ptr<TGISWrite> Writer;
    std::unique_ptr<TAsyncFeatureWriter> Output;  // the road and ferry links on their way to Writer
    std::unique_ptr<TStringList<int32_t>> LinkIdList;
    TFloatPointArrayEx LinkPoints;
    TStringList<TFerryNodeInformation> fFerryNodeDataList;
    TStringList<TFerryLinkInformation> fFerryLinkDataList;

    std::string CurrentFid;
    int32_t CurrentVersion = 0;       // VersionList's value for CurrentFid, once its version was read
    bool CurrentVersionRead = false;
    bool SkipFeature = false;
    int32_t LastDepth = 0;
    int32_t IdCounter = 0;
    std::string DefaultVehicleUseString, DefaultVehicleTypeString;

    // Phase 3 working values.
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
    TFloatPointArrayEx PiecePoints;
    std::string RecordText;
    std::string LinkVehicleUse, LinkVehicleType;  // of the link being written
};

}  // namespace itn
