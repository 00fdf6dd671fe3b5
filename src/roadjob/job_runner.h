// One conversion run as the front ends start it: the urban paths converter over the urban
// files, then the road job; and the texts they show around it. The window and the command
// line both go through here, so a run means the same in both.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "roadjob/road_network_data.h"

namespace itn {

struct TConversionEvents {
    TRoadJobEvents Road;  // its Warning serves the urban converter as well
    // The urban converter's status texts, and the zero-based urban file it starts on.
    std::function<void(const std::string& Text)> UrbanStatus;
    std::function<void(int32_t Index)> UrbanItemChanged;
};

// Reads UrbanFiles with the urban paths converter (none: no urban step), then runs the road
// job with Options, whose UrbanPathsPresent and UrbanPathData it fills in. The run holds a
// lock on the output folder and writes its files there only when it has completed: errors
// (and EStopped, when Options.Stop was set) leave by exception with the output folder as it
// was before the run.
void RunConversionJob(TRoadJobOptions Options, const std::vector<std::string>& UrbanFiles,
                      const TConversionEvents& Events);

// "3 / 12": the line of the zero-based file Index among Count files.
std::string FileCountLine(int32_t Index, std::size_t Count);

// "hh:mm:ss" of an elapsed time, as a time of day (wrapping after 24 hours).
std::string ElapsedText(int64_t Milliseconds);

// "Done in hh:mm:ss (hh:mm:ss)", the last line of a successful run.
std::string DoneLine(int64_t Milliseconds);

// The files a run writes into OutputFolder (with trailing separator, or empty).
std::vector<std::string> JobOutputFiles(const std::string& OutputFolder, TOutputFormat OutputFormat,
                                        bool TurnRestrictions);

// A message naming the input that an output file of the run would replace, or empty.
std::string OutputReplacesInput(const std::string& OutputFolder, TOutputFormat OutputFormat, bool TurnRestrictions,
                                const std::vector<std::string>& Inputs);

}  // namespace itn
