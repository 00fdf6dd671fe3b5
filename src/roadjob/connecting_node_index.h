// The connecting nodes of the urban paths, found by the TOID of the road link they lie on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gis/geometry_types.h"
#include "roadjob/string_lists.h"

namespace itn {

class TConnectingNodeIndex {
public:
    // Entries are added in node order, then Sort puts equal TOIDs next to each other (in
    // the order they were added).
    void Add(std::string_view RoadLinkToid, int32_t Node);
    void Sort();

    // The node numbers on a link, in index order; empty when none.
    std::vector<int32_t> NodesOn(std::string_view RoadLinkToid) const;
    // The largest number of nodes on one link.
    int32_t MostNodesOnOneLink() const;
    int32_t Count() const { return static_cast<int32_t>(FEntries.size()); }

private:
    std::vector<std::pair<std::string, int32_t>> FEntries;
    TStringList<std::pair<int32_t, int32_t>> FRanges;  // TOID -> first entry, entry count
};

}  // namespace itn
