// Phase 1: the highest version of every feature, the departed features and the vehicle
// vocabularies. Nothing is skipped in this pass.
#include "roadjob/phase1_collect.h"

#include "input/native_xml.h"
#include "roadjob/feature_ids.h"
#include "roadjob/road_rules.h"

namespace itn {

using namespace std::string_view_literals;

void TPhase1Tables::Create() {
    VersionList = NewHashedList<int32_t>();
    DepartedFeatures = NewSortedList<int32_t>();
    VehicleUseNames = NewSortedList<int32_t>();
    VehicleTypeNames = NewSortedList<int32_t>();
}

void TPhase1Tables::Merge(const TPhase1Tables& Later) {
    const TStringList<int32_t>& versions = *Later.VersionList;
    for (int32_t i = 0; i < versions.Count(); ++i) KeepHighestVersion(*VersionList, versions.Key(i), versions.Value(i));
    for (int32_t i = 0; i < Later.DepartedFeatures->Count(); ++i) DepartedFeatures->Add(Later.DepartedFeatures->Key(i), 0);
    for (int32_t i = 0; i < Later.VehicleUseNames->Count(); ++i) VehicleUseNames->Add(Later.VehicleUseNames->Key(i), 0);
    for (int32_t i = 0; i < Later.VehicleTypeNames->Count(); ++i)
        VehicleTypeNames->Add(Later.VehicleTypeNames->Key(i), 0);
}

namespace {

bool IsRoadFeatureName(std::string_view Name) {
    static constexpr std::string_view kNames[] = {
        "osgb:RoadLink"sv, "osgb:RoadNode"sv, "osgb:Road"sv, "osgb:RoadLinkInformation"sv,
        "osgb:RoadNodeInformation"sv, "osgb:RoadRouteInformation"sv, "osgb:FerryLink"sv, "osgb:FerryNode"sv,
        "osgb:FerryTerminal"sv};
    for (std::string_view name : kNames)
        if (Name == name) return true;
    return false;
}

}  // namespace

TPhase1Pass::TPhase1Pass(size_t ExpectedFeatures) {
    FTables.Create();
    if (ExpectedFeatures > 0) FTables.VersionList->Reserve(ExpectedFeatures);
}

std::unique_ptr<TRoadPass> TPhase1Pass::ForLaterFile() const {
    return std::make_unique<TPhase1Pass>();
}

void TPhase1Pass::MergeLater(TRoadPass& Later) {
    FTables.Merge(static_cast<TPhase1Pass&>(Later).FTables);
}

void TPhase1Pass::Finish() {
    FVehicleUses = TVehicleVocabulary(*FTables.VehicleUseNames);
    FVehicleTypes = TVehicleVocabulary(*FTables.VehicleTypeNames);
    FTables.VehicleUseNames.reset();
    FTables.VehicleTypeNames.reset();
}

void TPhase1Pass::NodeNew(TXmlNode& Node) {
    if (Node.HasAttribute("fid")) {
        FCurrentFid = FidOf(&Node);
        FTables.VersionList->Prefetch(FCurrentFid);
        if (IsRoadFeatureName(Node.Name())) ++FRoadFeatures;
    }
    // A departed feature element carries the departed TOID in its own fid.
    if (Node.Name() == "osgb:DepartedFeature"sv) FTables.DepartedFeatures->Add(FCurrentFid, 0);
}

void TPhase1Pass::NodeLoaded(TXmlNode& Node) {
    const std::string& name = Node.Name();
    if (name == "osgb:version"sv) KeepHighestVersion(*FTables.VersionList, FCurrentFid, Node.ValueAsInteger());
    const int depth = Node.TreeDepth();
    if (name == "osgb:use"sv && depth == 4) {
        FTables.VehicleUseNames->Add(Node.ValueAsString(), 0);
    } else if (name == "osgb:type"sv && depth == 4) {
        FTables.VehicleTypeNames->Add(Node.ValueAsString(), 0);
    } else if (depth >= 1) {
        Node.Delete();
    }
}

}  // namespace itn
