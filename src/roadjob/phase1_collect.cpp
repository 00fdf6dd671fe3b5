// Phase 1: the highest version of every feature, the departed features and the vehicle
// vocabularies. Nothing is skipped in this pass.
#include "roadjob/phase1_collect.h"

#include "input/native_xml.h"
#include "roadjob/feature_ids.h"
#include "roadjob/road_network_data.h"

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
    for (int32_t i = 0; i < versions.Count(); ++i) {
        bool added;
        int32_t* known = VersionList->FindOrAdd(versions.Key(i), versions.Value(i), added);
        if (!added && versions.Value(i) > *known) *known = versions.Value(i);
    }
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

void TPhase1Collector::NodeNew(TXmlNode& Node) {
    if (Node.HasAttribute("fid")) {
        FCurrentFid = FidOf(&Node);
        T.VersionList->Prefetch(FCurrentFid);
        if (IsRoadFeatureName(Node.Name())) ++FRoadFeatures;
    }
    // A departed feature element carries the departed TOID in its own fid.
    if (Node.Name() == "osgb:DepartedFeature"sv) T.DepartedFeatures->Add(FCurrentFid, 0);
}

void TPhase1Collector::NodeLoaded(TXmlNode& Node) {
    const std::string& name = Node.Name();
    if (name == "osgb:version"sv) {
        const int32_t version = Node.ValueAsInteger();
        bool added;
        int32_t* known = T.VersionList->FindOrAdd(FCurrentFid, version, added);
        if (!added && version > *known) *known = version;
    }
    const int depth = Node.TreeDepth();
    if (name == "osgb:use"sv && depth == 4) {
        T.VehicleUseNames->Add(Node.ValueAsString(), 0);
    } else if (name == "osgb:type"sv && depth == 4) {
        T.VehicleTypeNames->Add(Node.ValueAsString(), 0);
    } else if (depth >= 1) {
        Node.Delete();
    }
}

void TRoadNetworkData::Phase1NodeNew(TNativeXml& /*Sender*/, TXmlNode& Node) {
    Phase1->NodeNew(Node);
}

void TRoadNetworkData::Phase1NodeLoaded(TNativeXml& /*Sender*/, TXmlNode& Node) {
    Phase1->NodeLoaded(Node);
}

}  // namespace itn
