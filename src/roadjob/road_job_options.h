// What a road job is asked to do and the callbacks it reports through.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gis/gis_writer.h"
#include "roadjob/job_options.h"

namespace itn {

class TNativeXml;
class TUrbanLinks;

// The user's choices (output format first) and what a run needs besides.
struct TRoadJobOptions : TJobChoices {
    std::vector<std::string> RoadFiles;  // read in this order
    std::string OutputFolder;            // with trailing separator, or empty
    bool UrbanPathsPresent = false;
    TUrbanLinks* UrbanPathData = nullptr;  // none: no connecting nodes, no urban records
    uint16_t Codepage = 1252;              // of the network file and the text files
    // Applied by the writer to every coordinate of the network file; none: British National
    // Grid as read.
    std::shared_ptr<TCoordinateTransform> OutputTransform;
    // Set by another thread (or a signal handler) to stop the run at the next feature.
    const std::atomic<bool>* Stop = nullptr;
};

// Callbacks to the caller; any may be left empty.
struct TRoadJobEvents {
    std::function<void(const std::string& Text)> ShowPhase;
    std::function<void()> HidePhase;
    std::function<void(const std::string& Line)> AddMessage;
    // Something the user should know although the run goes on (an input without features).
    std::function<void(const std::string& Text)> Warning;
    std::function<void(int32_t Index)> SelectRoadFile;
    std::function<void(const std::string& FileName)> PrepareProgress;
    std::function<void(TNativeXml& Sender, int32_t Size)> XmlProgress;
    // Called every few tens of milliseconds while the job waits for a file read on another
    // thread, so that a window can process its pending events meanwhile.
    std::function<void()> KeepResponsive;
};

extern const char* const kBritishNationalGridCoordSys;
extern const char* const kBritishNationalGridPRJ;

}  // namespace itn
