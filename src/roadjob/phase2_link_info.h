// Phase 2: what roads, road route information and road link information say about road
// links. A pass for a later file fills tables of its own on another thread; merging them in
// file order gives what reading the files in turn gives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "roadjob/road_pass.h"
#include "roadjob/road_records.h"
#include "roadjob/road_rules.h"
#include "roadjob/string_lists.h"
#include "roadjob/turn_file.h"
#include "roadjob/vehicle_encoding.h"

namespace itn {

struct TPhase2Tables {
    std::unique_ptr<TStringList<int32_t>> OnewayList;  // road link TOID -> 1 or 2
    TPlainList RoadNameList;
    TPlainList RoadNumberList;
    std::unique_ptr<TStringList<TRoad>> RoadList;      // road link TOID -> names, number, flags
    std::unique_ptr<TStringList<int32_t>> HeightList;  // road link TOID -> lowest height
    std::vector<TRoadLinkInformationData> RoadLinkDataList;
    TTurnRestrictions Turns;
    std::unique_ptr<TStringList<int32_t>> TurnLinkSet;  // only with turn restrictions and urban paths

    void Create(bool WithTurnLinkSet);
    // Takes in the tables of a file read after everything these tables hold.
    void Merge(TPhase2Tables&& Later);
};

// What phase 2 reads from phase 1 and the options.
struct TPhase2Inputs {
    const TStringList<int32_t>* VersionList = nullptr;
    const TStringList<int32_t>* DepartedFeatures = nullptr;
    const TVehicleVocabulary* VehicleUseList = nullptr;
    const TVehicleVocabulary* VehicleTypeList = nullptr;
    bool TurnRestrictions = false;
    int32_t MaxHeightUnit = 1;
};

class TPhase2Pass : public TRoadPass {
public:
    // With TurnLinkSet the links of turn restrictions are collected too.
    TPhase2Pass(const TPhase2Inputs& Inputs, bool WithTurnLinkSet);

    void StartFile() override { LastDepth = 0; }
    void NodeNew(TXmlNode& Node) override;
    void NodeLoaded(TXmlNode& Node) override;
    std::unique_ptr<TRoadPass> ForLaterFile() const override;
    void MergeLater(TRoadPass& Later) override;

    const TPhase2Tables& Tables() const { return T; }
    TPhase2Tables& Tables() { return T; }

private:
    void ResetMember(const TXmlNode& Node);
    void StoreTurnRestriction();
    void ClearVehicleQualifiers();
    void AddVehicleUse(std::string_view Name, std::string_view ExceptFor);
    void AddVehicleType(std::string_view Name, std::string_view ExceptFor);

    const TPhase2Inputs& In;
    TPhase2Tables T;

    TCurrentFeature Feature;
    int32_t LastDepth = 0;
    bool InsideRoadLinkInformationTag = false;
    TIntegerArray CurrentVehicleUseElements, CurrentVehicleUseValues;
    TIntegerArray CurrentVehicleTypeElements, CurrentVehicleTypeValues;
    std::vector<std::string> NoTurnLinks, MandatoryTurnLinks;

    // Working values of one member element.
    bool InRoadMember = false;
    bool InRoadInfoMember = false;
    std::string InstructionText;
    int32_t CurRoadNameId = -1;
    int32_t CurRoadNumberId = -1;
    bool CurTrunk = false;
    bool CurPrimary = false;
    int32_t HeightFeet = 0;
    int32_t HeightInches = 0;
    double HeightMetres = 0;
};

}  // namespace itn
