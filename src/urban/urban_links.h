// What the road job takes from the urban paths converter: the connecting nodes, where paths
// join road links, and the writing of the path and connecting links as the first records of
// the network file.
#pragma once

#include <cstdint>
#include <string>

#include "gis/gis_writer.h"

namespace itn {

struct TConnectingNodeInformation {
    std::string ConnectingNodeID;  // TOID of the node
    std::string Coords;            // "x,y" as the GML gives it
    std::string RefToItn;          // TOID of the road link the node lies on
};

class TUrbanLinks {
public:
    virtual ~TUrbanLinks() = default;

    // The connecting nodes in list order.
    virtual int32_t ConnectingNodeCount() const = 0;
    virtual const TConnectingNodeInformation& ConnectingNode(int32_t Index) const = 0;

    // Writes the path links and connecting links into the open writer, whose table is
    // declared, as records 1 to k; returns k. The four switches say which routing columns
    // exist; the two strings are the VU and VT values of an unrestricted link (empty when
    // the table has no such column).
    virtual int32_t WriteGisFile(TGISWrite& Writer, bool Attribute2, bool AttributeC, bool Attribute4,
                                 bool AvoidPattern, const std::string& DefaultVehicleUseString,
                                 const std::string& DefaultVehicleTypeString) = 0;
};

}  // namespace itn
