// itn2brinlow-cli: the road job without a window.
#include <unistd.h>

#include <csignal>
#include <iostream>

#include "cli/cli_options.h"
#include "cli/cli_run.h"

int main(int argc, char** argv) {
    // A file size limit then shows as a write error instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    std::ios::sync_with_stdio(false);

    itn::TCliOptions options;
    std::string out, err;
    switch (itn::ParseCliOptions(argc, argv, options, out, err)) {
        case itn::TParseOutcome::ExitSuccess:
            std::cout << out << std::flush;
            return 0;
        case itn::TParseOutcome::UsageError:
            std::cerr << err << std::endl;
            return 2;
        case itn::TParseOutcome::Run:
            break;
    }
    const std::string problem = itn::CheckRunFiles(options);
    if (!problem.empty()) {
        std::cerr << problem << std::endl;
        return 1;
    }
    itn::InstallStopHandlers();
    const bool showProgress = !options.Quiet && ::isatty(STDERR_FILENO);
    return itn::RunConversion(options, std::cout, std::cerr, showProgress);
}
