// gen_itn: writes synthetic ITN GML for tests and benchmarks. See Usage() for the options.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "itn_gml.h"
#include "output_file.h"
#include "tile_plan.h"

namespace gen_itn {
namespace {

const char* const kUsage =
    "Usage: gen_itn [options]\n"
    "Writes synthetic ITN GML (British National Grid): a roads layer split into files and,\n"
    "optionally, an urban paths file. The same options always give the same bytes.\n"
    "\n"
    "  --links N         road links over all roads files (default 10000); k and M suffixes allowed\n"
    "  --files K         number of roads files (default 1)\n"
    "  --urban N         path links in an urban paths file (default 0: no urban file)\n"
    "  --seed S          seed of the data (default 1)\n"
    "  --out DIR         output folder, created when missing (default .)\n"
    "  --gzip            write .gz files instead of .gml\n"
    "  --gzip-level L    compression level 1..9 (default 6)\n"
    "  --jobs J          files written in parallel (default: the number of processors, at most 8);\n"
    "                    the output does not depend on it\n"
    "  --fixture         small fixture: every kind of record in every file, one element per line,\n"
    "                    indented; defaults --links 60 --files 2 --urban 16\n"
    "  --force           replace existing output files (by default they are never overwritten)\n"
    "  --help            this text\n"
    "\n"
    "Files: roads_0001.gml ... (or .gz) and urban_paths.gml (or .gz). A summary of what was\n"
    "written goes to standard output.\n";

class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TOptions {
    TGenConfig Config;
    std::string OutDir = ".";
    TOutputOptions Output;
    int Jobs = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
};

uint64_t ParseCount(const std::string& name, const std::string& text) {
    uint64_t multiplier = 1;
    std::string digits = text;
    if (!digits.empty() && (digits.back() == 'k' || digits.back() == 'K')) multiplier = 1000;
    if (!digits.empty() && (digits.back() == 'm' || digits.back() == 'M')) multiplier = 1000000;
    if (multiplier != 1) digits.pop_back();
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 12) {
        throw EUsage(name + " needs a whole number, not \"" + text + "\".");
    }
    return std::stoull(digits) * multiplier;
}

TOptions ParseOptions(int argc, char** argv) {
    TOptions o;
    std::optional<uint64_t> links, urban;
    std::optional<int> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        auto next = [&]() -> std::string {
            if (hasValue) return value;
            if (i + 1 >= argc) throw EUsage(arg + " needs a value.");
            return argv[++i];
        };
        auto flag = [&] {
            if (hasValue) throw EUsage(arg + " takes no value.");
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "--links") {
            links = ParseCount(arg, next());
        } else if (arg == "--files") {
            const uint64_t k = ParseCount(arg, next());
            if (k < 1 || k > 100000) throw EUsage("--files must be between 1 and 100000.");
            files = static_cast<int>(k);
        } else if (arg == "--urban") {
            urban = ParseCount(arg, next());
        } else if (arg == "--seed") {
            o.Config.Seed = ParseCount(arg, next());
        } else if (arg == "--out") {
            o.OutDir = next();
        } else if (arg == "--gzip") {
            flag();
            o.Output.Gzip = true;
        } else if (arg == "--gzip-level") {
            const uint64_t level = ParseCount(arg, next());
            if (level < 1 || level > 9) throw EUsage("--gzip-level must be between 1 and 9.");
            o.Output.GzipLevel = static_cast<int>(level);
        } else if (arg == "--jobs") {
            const uint64_t jobs = ParseCount(arg, next());
            if (jobs < 1 || jobs > 64) throw EUsage("--jobs must be between 1 and 64.");
            o.Jobs = static_cast<int>(jobs);
        } else if (arg == "--fixture") {
            flag();
            o.Config.Fixture = true;
        } else if (arg == "--force") {
            flag();
            o.Output.Replace = true;
        } else {
            throw EUsage("Unknown option \"" + std::string(argv[i]) + "\".");
        }
    }
    const bool fixture = o.Config.Fixture;
    o.Config.Links = links.value_or(fixture ? 60 : 10000);
    o.Config.Files = files.value_or(fixture ? 2 : 1);
    o.Config.UrbanLinks = urban.value_or(fixture ? 16 : 0);
    o.Output.Indent = fixture;
    if (std::string error = o.Config.Finish(); !error.empty()) throw EUsage(error);
    return o;
}

std::string FileName(const TOptions& o, const std::string& stem) {
    return (std::filesystem::path(o.OutDir) / (stem + (o.Output.Gzip ? ".gz" : ".gml"))).string();
}

std::string RoadsStem(const TOptions& o, int tile) {
    std::string number = std::to_string(tile + 1);
    const size_t width = std::max<size_t>(4, std::to_string(o.Config.Files).size());
    return "roads_" + std::string(width - number.size(), '0') + number;
}

struct TFileResult {
    std::string Path;
    uint64_t TextBytes = 0, FileBytes = 0;
};

struct TTileResult {
    TFileResult File;
    std::string Urban;
    TCounts Counts;
};

TTileResult WriteTile(const TOptions& o, int tile) {
    TTileResult result;
    const TTilePlan plan(o.Config, tile);
    std::optional<TTilePlan> other;
    const int previous = o.Config.PreviousTile(tile);
    if (previous != tile) other.emplace(o.Config, previous);
    const TTilePlan& prev = other ? *other : plan;

    TOutputFile out(FileName(o, RoadsStem(o, tile)), o.Output);
    WriteRoadsFile(out, plan, prev, result.Counts);
    out.Close();
    result.File = {out.Path(), out.TextBytes(), out.FileBytes()};

    if (o.Config.UrbanLinks > 0) {
        TOutputFile urban;
        WriteUrbanFeatures(urban, plan, result.Counts);
        result.Urban = urban.TakeText();
    }
    return result;
}

void PrintSummary(const TOptions& o, const std::vector<TFileResult>& files, const TCounts& c, double seconds) {
    uint64_t text = 0, bytes = 0;
    for (const auto& f : files) {
        std::printf("file %s %llu bytes\n", f.Path.c_str(), static_cast<unsigned long long>(f.FileBytes));
        text += f.TextBytes;
        bytes += f.FileBytes;
    }
    auto line = [](const char* name, uint64_t v) { std::printf("%s %llu\n", name, static_cast<unsigned long long>(v)); };
    line("road_links", c.RoadLinks);
    line("road_links_current", c.RoadLinks - c.RoadLinksDeparted);
    line("road_link_elements", c.RoadLinkElements);
    line("road_link_copies", c.RoadLinkCopies);
    line("road_links_departed", c.RoadLinksDeparted);
    line("road_links_closed", c.RoadLinksClosed);
    line("grade_separations", c.GradeSeparations);
    line("road_nodes", c.RoadNodes);
    line("roads", c.Roads);
    line("one_way", c.OneWay);
    line("no_turn_2", c.NoTurn2);
    line("no_turn_3", c.NoTurn3);
    line("mandatory_turn_2", c.Mandatory2);
    line("mandatory_turn_3", c.Mandatory3);
    line("access_information", c.AccessInfo);
    line("height_information", c.HeightInfo);
    line("other_information", c.OtherInfo);
    line("ferry_links", c.FerryLinks);
    line("ferry_nodes", c.FerryNodes);
    line("departed_features", c.DepartedFeatures);
    if (o.Config.UrbanLinks > 0) {
        line("path_links", c.PathLinks);
        line("path_nodes", c.PathNodes);
        line("connecting_nodes", c.ConnectingNodes);
        line("connecting_links", c.ConnectingLinks);
        line("path_link_information", c.PathLinkInfo);
        line("urban_departed_features", c.UrbanDeparted);
    }
    line("text_bytes", text);
    line("file_bytes", bytes);
    std::printf("bytes_per_road_link %.0f\n",
                static_cast<double>(files.empty() ? 0 : text - (o.Config.UrbanLinks > 0 ? files.back().TextBytes : 0)) /
                    static_cast<double>(c.RoadLinks));
    std::printf("seconds %.2f\n", seconds);
    std::printf("text_mb_per_s %.1f\n", static_cast<double>(text) / 1e6 / seconds);
    std::printf("file_mb_per_s %.1f\n", static_cast<double>(bytes) / 1e6 / seconds);
}

int Run(const TOptions& o) {
    const auto start = std::chrono::steady_clock::now();
    std::error_code ec;
    std::filesystem::create_directories(o.OutDir, ec);
    if (!std::filesystem::is_directory(o.OutDir)) {
        throw std::runtime_error("Cannot create the output folder \"" + o.OutDir + "\"" +
                                 (ec ? ": " + ec.message() : std::string()) + ".");
    }

    // Refuse before writing anything when an output file exists.
    if (!o.Output.Replace) {
        std::vector<std::string> names;
        for (int tile = 0; tile < o.Config.Files; ++tile) names.push_back(FileName(o, RoadsStem(o, tile)));
        if (o.Config.UrbanLinks > 0) names.push_back(FileName(o, "urban_paths"));
        for (const auto& name : names) {
            struct stat st;
            if (::lstat(name.c_str(), &st) == 0) {
                throw std::runtime_error("The file \"" + name + "\" exists already; remove it or give --force to "
                                         "replace it.");
            }
        }
    }

    std::optional<TOutputFile> urban;
    if (o.Config.UrbanLinks > 0) {
        urban.emplace(FileName(o, "urban_paths"), o.Output);
        // The extent of the British National Grid.
        WriteCollectionStart(*urban, o.Config, "GDS-" + std::to_string(o.Config.Seed) + "-urban", 0, 0,
                             700000000, 1300000000);
    }

    std::vector<TFileResult> files;
    TCounts counts;
    const int tiles = o.Config.Files;
    for (int first = 0; first < tiles; first += o.Jobs) {
        const int batch = std::min(o.Jobs, tiles - first);
        std::vector<TTileResult> results(static_cast<size_t>(batch));
        std::vector<std::exception_ptr> errors(static_cast<size_t>(batch));
        std::vector<std::thread> threads;
        for (int b = 0; b < batch; ++b) {
            auto work = [&, b] {
                try {
                    results[static_cast<size_t>(b)] = WriteTile(o, first + b);
                } catch (...) {
                    errors[static_cast<size_t>(b)] = std::current_exception();
                }
            };
            if (batch == 1) {
                work();
            } else {
                threads.emplace_back(work);
            }
        }
        for (auto& t : threads) t.join();
        for (auto& e : errors) {
            if (e) std::rethrow_exception(e);
        }
        for (auto& r : results) {
            files.push_back(r.File);
            counts += r.Counts;
            if (urban) urban->Lit(r.Urban);
        }
    }
    if (urban) {
        WriteCollectionEnd(*urban);
        urban->Close();
        files.push_back({urban->Path(), urban->TextBytes(), urban->FileBytes()});
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    PrintSummary(o, files, counts, seconds);
    return 0;
}

}  // namespace
}  // namespace gen_itn

int main(int argc, char** argv) {
    try {
        return gen_itn::Run(gen_itn::ParseOptions(argc, argv));
    } catch (const gen_itn::EUsage& e) {
        std::fprintf(stderr, "gen_itn: %s\nTry gen_itn --help.\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_itn: %s\n", e.what());
        return 1;
    }
}
