#include "roadjob/job_runner.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "io/errors.h"
#include "roadjob/output_transaction.h"
#include "urban/urban_path_data.h"

namespace itn {

namespace fs = std::filesystem;

void RunConversionJob(TRoadJobOptions Options, const std::vector<std::string>& UrbanFiles,
                      const TConversionEvents& Events) {
    // The writers write into the transaction's work folder; the output folder changes only
    // when the whole job has completed.
    TOutputTransaction output(Options.OutputFolder);
    try {
        // The urban converter lives until the road job returns: phase 3 and the turn file use it.
        TUrbanPathData urban(Options.SaveUnzipped);
        urban.Stop = Options.Stop;
        if (Events.UrbanStatus) {
            urban.OnStatus = [&Events](TUrbanPathData&, const std::string& Text) { Events.UrbanStatus(Text); };
        }
        if (Events.UrbanItemChanged) {
            urban.OnItemChanged = [&Events](TUrbanPathData&, int32_t Item) { Events.UrbanItemChanged(Item); };
        }
        if (Events.Road.Warning) {
            urban.OnWarning = [&Events](TUrbanPathData&, const std::string& Text) { Events.Road.Warning(Text); };
        }
        urban.ProcessData(UrbanFiles);
        Options.UrbanPathsPresent = !UrbanFiles.empty();
        Options.UrbanPathData = &urban;
        Options.OutputFolder = output.WorkFolder();
        TRoadNetworkData roads;
        roads.ConvertRoads(Options, Events.Road);
        // A stop asked for after the last feature still keeps the earlier files.
        if (Options.Stop && Options.Stop->load()) throw EStopped();
        output.Commit();
    } catch (const EStopped&) {
        throw;
    } catch (const std::exception& e) {
        output.Rollback();
        const std::string text = output.FinalNames(e.what());
        if (text == e.what()) throw;
        throw std::runtime_error(text);
    }
    std::error_code ec;
    const fs::file_type turnFile = fs::symlink_status(output.OutputFolder() + "turn.txt", ec).type();
    if (!Options.TurnRestrictions && turnFile != fs::file_type::not_found && turnFile != fs::file_type::none &&
        Events.Road.Warning) {
        Events.Road.Warning("turn.txt in the output folder is from an earlier run and was left as it is");
    }
}

std::string FileCountLine(int32_t Index, std::size_t Count) {
    return std::to_string(static_cast<int64_t>(Index) + 1) + " / " + std::to_string(Count);
}

std::string ElapsedText(int64_t Milliseconds) {
    const int64_t seconds = (Milliseconds / 1000) % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

std::string DoneLine(int64_t Milliseconds) { return "Done in " + ElapsedText(Milliseconds) + " (hh:mm:ss)"; }

std::vector<std::string> JobOutputFiles(const std::string& OutputFolder, TOutputFormat OutputFormat,
                                        bool TurnRestrictions) {
    std::vector<std::string> files;
    for (const std::string& extension : FormatInfo(OutputFormat).Extensions) files.push_back(OutputFolder + "ITN_network" + extension);
    files.push_back(OutputFolder + "VehicleUse.txt");
    files.push_back(OutputFolder + "VehicleType.txt");
    if (TurnRestrictions) files.push_back(OutputFolder + "turn.txt");
    return files;
}

std::string OutputReplacesInput(const std::string& OutputFolder, TOutputFormat OutputFormat, bool TurnRestrictions,
                                const std::vector<std::string>& Inputs) {
    for (const std::string& output : JobOutputFiles(OutputFolder, OutputFormat, TurnRestrictions)) {
        std::error_code ec;
        if (!fs::exists(output, ec)) continue;
        for (const std::string& input : Inputs) {
            if (fs::equivalent(input, output, ec)) {
                return "Input file \"" + input + "\" would be overwritten by the output file \"" + output +
                       "\"";
            }
        }
    }
    return std::string();
}

}  // namespace itn
