// Phase 1: the highest version of every feature, the departed features and the vehicle
// vocabularies. Nothing is skipped in this pass.
#include "input/native_xml.h"
#include "roadjob/feature_ids.h"
#include "roadjob/road_network_data.h"

namespace itn {

using namespace std::string_view_literals;

void TRoadNetworkData::Phase1NodeNew(TNativeXml& /*Sender*/, TXmlNode& Node) {
    if (Node.HasAttribute("fid")) CurrentFid = FidOf(&Node);
    // A departed feature element carries the departed TOID in its own fid.
    if (Node.Name() == "osgb:DepartedFeature"sv) DepartedFeatures->Add(CurrentFid, 0);
}

void TRoadNetworkData::Phase1NodeLoaded(TNativeXml& /*Sender*/, TXmlNode& Node) {
    const std::string& name = Node.Name();
    if (name == "osgb:version"sv) {
        const int32_t version = Node.ValueAsInteger();
        bool added;
        int32_t* known = VersionList->FindOrAdd(CurrentFid, version, added);
        if (!added && version > *known) *known = version;
    }
    const int depth = Node.TreeDepth();
    if (name == "osgb:use"sv && depth == 4) {
        VehicleUseNames->Add(Node.ValueAsString(), 0);
    } else if (name == "osgb:type"sv && depth == 4) {
        VehicleTypeNames->Add(Node.ValueAsString(), 0);
    } else if (depth >= 1) {
        Node.Delete();
    }
}

}  // namespace itn
