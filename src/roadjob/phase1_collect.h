// Phase 1: the highest version of every feature, the departed features and the vehicle
// vocabularies. A pass for a later file fills tables of its own on another thread; merging
// them in file order gives what reading the files in turn gives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "roadjob/road_pass.h"
#include "roadjob/string_lists.h"
#include "roadjob/vehicle_encoding.h"

namespace itn {

struct TPhase1Tables {
    std::unique_ptr<TStringList<int32_t>> VersionList;       // TOID -> highest version
    std::unique_ptr<TStringList<int32_t>> DepartedFeatures;  // TOIDs
    std::unique_ptr<TStringList<int32_t>> VehicleUseNames;   // names in the form met first
    std::unique_ptr<TStringList<int32_t>> VehicleTypeNames;

    void Create();
    // Takes in the tables of a file read after everything these tables hold.
    void Merge(const TPhase1Tables& Later);
};

class TPhase1Pass : public TRoadPass {
public:
    // ExpectedFeatures: room reserved in the version table.
    explicit TPhase1Pass(size_t ExpectedFeatures = 0);

    void StartFile() override { FRoadFeatures = 0; }
    void NodeNew(TXmlNode& Node) override;
    void NodeLoaded(TXmlNode& Node) override;
    bool FileHeldRoadFeatures() const override { return FRoadFeatures != 0; }
    std::unique_ptr<TRoadPass> ForLaterFile() const override;
    void MergeLater(TRoadPass& Later) override;

    // After the last file: the vehicle vocabularies from the names met; the names are freed.
    void Finish();

    const TStringList<int32_t>& Versions() const { return *FTables.VersionList; }
    const TStringList<int32_t>& DepartedFeatures() const { return *FTables.DepartedFeatures; }
    const TVehicleVocabulary& VehicleUses() const { return FVehicleUses; }
    const TVehicleVocabulary& VehicleTypes() const { return FVehicleTypes; }

private:
    TPhase1Tables FTables;
    TVehicleVocabulary FVehicleUses, FVehicleTypes;
    std::string FCurrentFid;
    // Road network features (links, nodes, roads, their information, ferries) of the file:
    // none means it is no ITN roads file.
    int64_t FRoadFeatures = 0;
};

}  // namespace itn
