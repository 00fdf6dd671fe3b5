#include "cli/cli_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/progress_bar.h"
#include "cli/wgs84_transform.h"
#include "gis/gis_writer.h"
#include "gis/tab_libraries.h"
#include "io/errors.h"
#include "roadjob/job_runner.h"

namespace itn {

namespace fs = std::filesystem;

namespace {

std::string WithSeparator(const std::string& Folder) {
    if (Folder.empty() || Folder.back() == '/') return Folder;
    return Folder + "/";
}

// Why a file cannot be read, or empty when it can.
std::string InputProblem(const std::string& FileName) {
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
    std::error_code ec;
    if (fs::is_directory(FileName, ec)) return std::strerror(EISDIR);
    return std::string();
}

// Set from the signal handler; both are lock-free, so safe to store there.
std::atomic<bool> gStop{false};
std::atomic<int> gStopSignal{0};

extern "C" void OnStopSignal(int Signal) {
    if (gStop.load()) {
        // Asked a second time: the run may be waiting for input that does not come. End at
        // once; the next run into the folder removes the work folder left behind.
        std::signal(Signal, SIG_DFL);
        std::raise(Signal);
        return;
    }
    gStopSignal.store(Signal);
    gStop.store(true);
}

const char* SignalName(int Signal) {
    switch (Signal) {
        case SIGINT: return "SIGINT";
        case SIGTERM: return "SIGTERM";
        case SIGHUP: return "SIGHUP";
        default: return "a signal";
    }
}

// Processor seconds (user and system) of the process or of the calling thread.
double CpuSeconds(int Who) {
    rusage usage{};
    getrusage(Who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

std::string CheckRunFiles(const TCliOptions& Options) {
    std::vector<std::string> inputs = Options.RoadFiles;
    inputs.insert(inputs.end(), Options.UrbanFiles.begin(), Options.UrbanFiles.end());
    for (const std::string& input : inputs) {
        const std::string problem = InputProblem(input);
        if (!problem.empty()) return "Cannot open file \"" + input + "\". " + problem;
    }

    const std::string& folder = Options.OutputFolder;
    std::error_code ec;
    if (!fs::exists(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) return "Cannot create output folder \"" + folder + "\". " + ec.message();
    }
    if (!fs::is_directory(folder, ec)) return "Output folder \"" + folder + "\" is not a folder";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "Cannot write to output folder \"" + folder + "\". " + std::strerror(errno);

    // The outputs replace files of their names: none of them may be an input.
    return OutputReplacesInput(WithSeparator(folder), Options.OutputFormat, Options.TurnRestrictions, inputs);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int RunConversion(const TCliOptions& Options, std::ostream& Out, std::ostream& Err, bool ShowProgress) {
    const auto start = std::chrono::steady_clock::now();
    TProgressBar bar(Err);
    try {
        // Warnings are said even with --quiet.
        auto warn = [&](const std::string& Text) {
            if (ShowProgress) bar.Finish();
            Err << "Warning: " << Text << std::endl;
        };
        if (Options.OutputFormat == TOutputFormat::Tab && !TGISWrite::MITAB_supported()) {
            std::string text = "the TAB module cannot be loaded - creating MIF instead";
            if (!MitabLoadError().empty()) text += " (" + MitabLoadError() + ")";
            warn(text);
        }

        TRoadJobOptions job;
        static_cast<TJobChoices&>(job) = Options;
        job.RoadFiles = Options.RoadFiles;
        job.OutputFolder = WithSeparator(Options.OutputFolder);
        job.UrbanPathsPresent = !Options.UrbanFiles.empty();
        job.Codepage = Options.Codepage;
        // KML is defined in WGS 84; GeoJSON is when asked for.
        if (Options.OutputFormat == TOutputFormat::Kml ||
            (Options.OutputFormat == TOutputFormat::GeoJson && Options.GeoJsonWgs84))
            job.OutputTransform = std::make_shared<TWgs84Transform>();
        job.Stop = &gStop;

        TConversionEvents jobEvents;
        TRoadJobEvents& events = jobEvents.Road;
        // Phase texts with the time each phase started, for --phase-times.
        struct TPhaseStart {
            std::string Text;
            std::chrono::steady_clock::time_point Wall;
            double Cpu;        // processor seconds of the process (all threads) so far
            double ThreadCpu;  // of this thread, which parses the files
        };
        std::vector<TPhaseStart> phases;
        auto markPhase = [&phases](const std::string& Text) {
            phases.push_back(TPhaseStart{Text, std::chrono::steady_clock::now(), CpuSeconds(RUSAGE_SELF),
                                         CpuSeconds(RUSAGE_THREAD)});
        };
        events.AddMessage = [&](const std::string& Line) {
            if (Options.Quiet) return;
            if (ShowProgress) bar.Finish();
            Out << Line << '\n';
            if (ShowProgress) Out.flush();
        };
        events.Warning = warn;
        events.ShowPhase = [&](const std::string& Text) {
            markPhase(Text);
            if (ShowProgress) bar.ShowPhase(Text);
        };
        // The urban passes ("Phase 1 / 2", "Phase 2 / 2") are phases too; each urban file and
        // pass gives its "i / n" line.
        jobEvents.UrbanStatus = events.ShowPhase;
        jobEvents.UrbanItemChanged = [&](int32_t Index) {
            events.AddMessage(FileCountLine(Index, Options.UrbanFiles.size()));
        };
        events.HidePhase = [&]() {
            markPhase("");
            if (ShowProgress) bar.Finish();
        };
        if (ShowProgress) {
            events.PrepareProgress = [&](const std::string& FileName) {
                std::error_code ec;
                const auto size = fs::file_size(FileName, ec);
                bar.StartFile(FileName, ec ? 0 : static_cast<int64_t>(size));
            };
            events.XmlProgress = [&](TNativeXml&, int32_t Size) { bar.Advance(Size); };
        }

        RunConversionJob(job, Options.UrbanFiles, jobEvents);
        if (Options.PhaseTimes) {
            markPhase("");
            for (size_t i = 0; i + 1 < phases.size(); ++i) {
                if (phases[i].Text.empty()) continue;
                const std::chrono::duration<double> took = phases[i + 1].Wall - phases[i].Wall;
                char seconds[96];
                std::snprintf(seconds, sizeof seconds, "%.3f s, cpu %.3f s (main thread %.3f s)", took.count(),
                              phases[i + 1].Cpu - phases[i].Cpu, phases[i + 1].ThreadCpu - phases[i].ThreadCpu);
                Err << phases[i].Text << ": " << seconds << std::endl;
            }
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!Options.Quiet)
            Out << DoneLine(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()) << '\n';
        Out.flush();
        if (!Out) {
            Err << "Cannot write to standard output" << std::endl;
            return 1;
        }
        return 0;
    } catch (const EStopped& e) {
        bar.Finish();
        Out.flush();
        const int signal = gStopSignal.load();
        Err << "Interrupted by " << SignalName(signal) << ". " << e.what() << std::endl;
        return 128 + signal;
    } catch (const std::bad_alloc&) {
        bar.Finish();
        Out.flush();
        Err << "Out of memory" << std::endl;
        return 1;
    } catch (const std::exception& e) {
        bar.Finish();
        Out.flush();
        Err << e.what() << std::endl;
        return 1;
    }
}

}  // namespace itn
