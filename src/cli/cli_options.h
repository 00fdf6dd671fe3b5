// The options of itn2brinlow-cli and their parsing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "roadjob/job_options.h"

namespace itn {

// The job's options (output format first) and those of the command line alone.
struct TCliOptions : TJobChoices {
    std::string OutputFolder;
    std::vector<std::string> RoadFiles;
    std::vector<std::string> UrbanFiles;
    uint16_t Codepage = 1252;
    bool GeoJsonWgs84 = false;  // GeoJSON in WGS 84 longitude/latitude (RFC 7946) instead of BNG
    bool Quiet = false;
    bool PhaseTimes = false;  // seconds per phase on stderr, for benchmarks
};

enum class TParseOutcome { Run, ExitSuccess, UsageError };

// Parses argv. On --help, --version and --formats the text to print goes to Out; on a usage
// error a message goes to Err.
TParseOutcome ParseCliOptions(int argc, const char* const* argv, TCliOptions& Options, std::string& Out,
                              std::string& Err);

// "itn2brinlow-cli 1.23 (build)": the program, the version the window shows, the build's own.
std::string VersionText();

// The output formats, whether TAB output is available (and why not), and the transformation
// PROJ uses for output in WGS 84.
std::string FormatsText();

}  // namespace itn
