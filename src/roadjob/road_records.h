// Records the road job keeps between its passes.
#pragma once

#include <cstdint>
#include <string>

#include "gis/geometry_types.h"

namespace itn {

// What the roads that name a link say about it.
struct TRoad {
    int32_t RoadNameId = -1;    // position in RoadNameList, -1 for none
    int32_t RoadNumberId = -1;  // position in RoadNumberList, -1 for none
    bool IsTrunk = false;
    bool IsPrimary = false;
};

enum TRoadLinkInstruction : uint8_t { rliNone, rliAccessLimitedTo, rliAccessProhibitedTo };

// One reference from road link information to a road link, with the vehicle qualifiers of
// the information feature as they stood when the reference was read.
struct TRoadLinkInformationData {
    std::string RoadLinkID;
    TIntegerArray VehicleUseElements;  // positions in the vehicle use vocabulary
    TIntegerArray VehicleUseValues;    // exceptFor flags, 0 or 1
    TIntegerArray VehicleTypeElements;
    TIntegerArray VehicleTypeValues;
    TRoadLinkInstruction RoadLinkInstruction = rliNone;
};

struct TFerryNodeInformation {
    std::string FerryNodeId;
    std::string Coords;  // "x,y" as the GML gives it
};

struct TFerryLinkInformation {
    std::string FerryLinkID;
    std::string FromFerryNodeID;
    std::string ToFerryNodeID;
    std::string term;
};

// Where a connecting node divides a road link.
struct TSplit {
    double percent = 0;    // position along the link as a fraction of its length
    int32_t j = 0;         // connecting node number
    int32_t pntindex = 0;  // end vertex of the segment nearest to the node
};

// End points of a link named by a turn restriction, and how many times it was divided.
struct TTurnCoord {
    int32_t N = 0;
    TFloatPoint coord1;
    TFloatPoint coordN;
};

}  // namespace itn
