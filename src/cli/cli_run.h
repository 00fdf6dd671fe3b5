// One conversion run from the command line: checks, the job, and what it prints.
#pragma once

#include <ostream>
#include <string>

#include "cli/cli_options.h"
#include "roadjob/job_runner.h"

namespace itn {

// The message for inputs that cannot be read or an output folder that cannot be written,
// or empty when the run may start. Creates the output folder when it does not exist.
std::string CheckRunFiles(const TCliOptions& Options);

// SIGINT, SIGTERM and SIGHUP from now on ask a running conversion to stop at the next
// feature; RunConversion then returns 128 + the signal's number. A second such signal ends
// the process at once.
void InstallStopHandlers();

// Runs the conversion. Out receives the message list lines and "Done in ..." (nothing with
// Options.Quiet); Err the warnings, the phase texts and progress bar (only when ShowProgress)
// and, on failure, the error's message.
// Returns the exit status: 0 success, 1 failure, 128 + signal when stopped by a signal.
int RunConversion(const TCliOptions& Options, std::ostream& Out, std::ostream& Err, bool ShowProgress);

}  // namespace itn
