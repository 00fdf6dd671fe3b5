// The urban paths converter: reads every urban paths file of a run whole, in two passes, keeps
// path links, connecting links, path nodes and connecting nodes in memory, hands the connecting
// nodes to the road job and writes its links as the first records of the network file.
//
// Pass 1 reads, file by file: the departed features, the path links, the path link information
// (classifications), the connecting nodes and the path nodes. Pass 2 reads the connecting links,
// whose ends are resolved against the nodes of all files. Consequences of this order:
// - a path link information feature finds only path links of its own file or earlier files;
// - a departed feature excludes features read after its file's departed list (its own file
//   included), not features already collected from earlier files;
// - connecting links see the nodes of every file.
// Notices go to the log publisher as trace messages.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "io/input_identity.h"
#include "urban/sorted_list.h"
#include "urban/urban_links.h"
#include "urban/urban_records.h"

namespace itn {

class IXmlFile;
class TUrbanPathData;

using TStatusChangedEvent = std::function<void(TUrbanPathData& Sender, const std::string& Status)>;
using TItemChangedEvent = std::function<void(TUrbanPathData& Sender, int32_t Item)>;

class TUrbanPathData : public TUrbanLinks {
public:
    // aSaveBetweenPhases is the job's save-unzipped option, which has no effect any more: .gz
    // input is inflated in memory by each pass, and nothing is written beside it.
    explicit TUrbanPathData(bool aSaveBetweenPhases = false);
    ~TUrbanPathData() override;
    TUrbanPathData(const TUrbanPathData&) = delete;
    TUrbanPathData& operator=(const TUrbanPathData&) = delete;

    TStatusChangedEvent OnStatus;     // "Phase 1 / 2", "Phase 2 / 2"
    TItemChangedEvent OnItemChanged;  // zero-based index of the file about to be read, per pass
    // "No ITN urban path features found in <file>" for a file without any path link, path
    // node, connecting node, connecting link or path link information; the run goes on.
    TStatusChangedEvent OnWarning;
    // Set by another thread (or a signal handler) to stop at the next feature with EStopped.
    const std::atomic<bool>* Stop = nullptr;

    // Reads the files (.gz, .gml or .xml) in list order, in two passes. Errors leave by exception.
    void ProcessData(const std::vector<std::string>& afiles);

    // TOIDs of departed features in reading order, duplicates included.
    const std::vector<std::string>& DepartedList() const { return fDepartedList; }
    const TSortedList<TPathLinkInformationData>& PathLinkDataList() const { return fPathLinkDataList; }
    const TSortedList<TPathNodeInformation>& PathNodeDataList() const { return fPathNodeDataList; }
    const TSortedList<TConnectingNodeInformation>& ConnectingNodes() const { return fConnectingNodes; }
    const TSortedList<TConnectingLinkInformationData>& ConnectingLinkDataList() const {
        return fConnectingLinkDataList;
    }

    int32_t ConnectingNodeCount() const override { return fConnectingNodes.Count(); }
    const TConnectingNodeInformation& ConnectingNode(int32_t Index) const override {
        return fConnectingNodes.Value(Index);
    }

    // Writes the path links, then the connecting links, each in ascending TOID order, as
    // records 1 to k with the columns the road job declared; returns k. The written records
    // are released: a second call writes nothing and returns 0.
    int32_t WriteGisFile(TGISWrite& f, bool field1, bool field2, bool field3, bool field4,
                         const std::string& DefaultVehicleUseAttributeString,
                         const std::string& DefaultVehicleTypeAttributeString) override;

private:
    void DoStatus(const std::string& Text);
    void DoItemChanged(int32_t Index);
    void CheckStop() const;
    // Raises EXML naming the value, the feature and the file when a coordinate of Coords is
    // not a finite number.
    static void CheckCoordinates(const IXmlFile& File, std::string_view Coords, const std::string& Toid);
    // Notes or compares the identity of FileName (the compressed file, for .gz).
    std::function<void(int)> IdentityCheck(const std::string& FileName);
    // Each returns the number of path features the file holds.
    int64_t ProcessFilePass1(const std::string& FileName);
    int64_t ProcessFilePass2(const std::string& FileName);

    // Each Read* of the features of one kind returns how many the file holds.
    void ReadDepartedFeatures(const IXmlFile& File);
    int32_t ReadPathLinks(const IXmlFile& File);
    int32_t ReadPathLinkInformation(const IXmlFile& File);
    int32_t ReadConnectingNodes(const IXmlFile& File);
    int32_t ReadPathNodes(const IXmlFile& File);
    int32_t ReadConnectingLinks(const IXmlFile& File);

    bool IsDeparted(std::string_view Toid) const;

    std::vector<std::string> fDepartedList;
    std::unordered_set<std::string> fDepartedSet;  // the same TOIDs, upper-cased, for look-ups
    TSortedList<TPathLinkInformationData> fPathLinkDataList;
    TSortedList<TPathNodeInformation> fPathNodeDataList;
    TSortedList<TConnectingNodeInformation> fConnectingNodes;
    TSortedList<TConnectingLinkInformationData> fConnectingLinkDataList;
    TInputIdentities fIdentities;  // of the files, from pass 1
};

}  // namespace itn
