// The records the urban paths converter collects, one per feature, keyed by TOID.
#pragma once

#include <cstdint>
#include <string>

#include "urban/urban_links.h"

namespace itn {

struct TPathLinkInformationData {
    std::string PathLinkID;
    int32_t StartNodeGradeSeparation = 0;  // of the directed node with orientation "-"
    int32_t EndNodeGradeSeparation = 0;    // of the directed node with orientation "+"
    std::string DescriptiveTerm;           // empty when missing
    std::string Classification;            // from a path link information feature; empty when none
    std::string Coords;                    // "x,y x,y ..." as the GML gives it; empty when missing
};

struct TConnectingLinkInformationData {
    std::string ConnectingLinkID;
    std::string StartPoint;  // "x,y" of the node at the "-" end
    std::string Endpoint;    // "x,y" of the node at the "+" end
    int32_t StartNodeGradeSeparation = 0;
    int32_t EndNodeGradeSeparation = 0;
};

struct TPathNodeInformation {
    std::string PathNodeId;
    std::string Coords;  // "x,y"
};

// TConnectingNodeInformation, the fourth kind, is part of the road job's interface (urban_links.h).

}  // namespace itn
