// Phase 1 tables and their collector: the highest version of every feature, the departed
// features and the vehicle vocabularies. A collector can fill tables of its own for one file
// on another thread; merging them in file order gives what reading the files in turn gives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "roadjob/string_lists.h"

namespace itn {

class TXmlNode;

struct TPhase1Tables {
    std::unique_ptr<TStringList<int32_t>> VersionList;       // TOID -> highest version
    std::unique_ptr<TStringList<int32_t>> DepartedFeatures;  // TOIDs
    std::unique_ptr<TStringList<int32_t>> VehicleUseNames;   // names in the form met first
    std::unique_ptr<TStringList<int32_t>> VehicleTypeNames;

    void Create();
    // Takes in the tables of a file read after everything these tables hold.
    void Merge(const TPhase1Tables& Later);
};

class TPhase1Collector {
public:
    explicit TPhase1Collector(TPhase1Tables& Tables) : T(Tables) {}

    void NodeNew(TXmlNode& Node);
    void NodeLoaded(TXmlNode& Node);
    const std::string& CurrentFid() const { return FCurrentFid; }
    // Road network features (links, nodes, roads, their information, ferries) met since the
    // last reset: none means the file is no ITN roads file.
    int64_t RoadFeatures() const { return FRoadFeatures; }
    void ResetRoadFeatures() { FRoadFeatures = 0; }

private:
    TPhase1Tables& T;
    std::string FCurrentFid;
    int64_t FRoadFeatures = 0;
};

}  // namespace itn
