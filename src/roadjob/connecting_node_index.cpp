#include "roadjob/connecting_node_index.h"

#include <algorithm>

namespace itn {

void TConnectingNodeIndex::Add(std::string_view RoadLinkToid, int32_t Node) {
    FEntries.emplace_back(std::string(RoadLinkToid), Node);
}

void TConnectingNodeIndex::Sort() {
    std::stable_sort(FEntries.begin(), FEntries.end(), [](const auto& a, const auto& b) {
        return lists_detail::FoldedCompare(a.first, b.first) < 0;
    });
    FRanges.Clear();
    for (int32_t i = 0; i < Count(); ++i) {
        if (!FRanges.Add(FEntries[i].first, {i, 1})) ++FRanges.Find(FEntries[i].first)->second;
    }
}

std::vector<int32_t> TConnectingNodeIndex::NodesOn(std::string_view RoadLinkToid) const {
    std::vector<int32_t> nodes;
    if (const auto* range = FRanges.Find(RoadLinkToid)) {
        for (int32_t i = range->first; i < range->first + range->second; ++i) nodes.push_back(FEntries[i].second);
    }
    return nodes;
}

int32_t TConnectingNodeIndex::MostNodesOnOneLink() const {
    int32_t most = 0;
    for (int32_t i = 0; i < FRanges.Count(); ++i) most = std::max(most, FRanges.Value(i).second);
    return most;
}

}  // namespace itn
