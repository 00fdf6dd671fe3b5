// Phase 1 tables and their collector: the highest version of every feature, the departed
// features and the vehicle vocabularies. A collector can fill tables of its own for one file
// on another thread; merging them in file order gives what reading the files in turn gives.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <thread>

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

private:
    TPhase1Tables& T;
    std::string FCurrentFid;
};

// Reads one plain road file for phase 1 on a thread of its own, into tables of its own.
class TPhase1Prefetch {
public:
    TPhase1Prefetch() = default;
    // Waits for a read in progress; its result and error are dropped.
    ~TPhase1Prefetch();
    TPhase1Prefetch(const TPhase1Prefetch&) = delete;
    TPhase1Prefetch& operator=(const TPhase1Prefetch&) = delete;

    bool Holds(int32_t Index) const { return FIndex == Index; }
    void Start(int32_t Index, const std::string& FileName);
    // Waits for the read to end and raises its error, if any; the tables then hold the file.
    void Wait();
    const TPhase1Tables& Tables() const { return FTables; }

private:
    int32_t FIndex = -1;
    TPhase1Tables FTables;
    std::exception_ptr FError;
    std::thread FThread;
};

}  // namespace itn
