#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>

#include "cli/build_info.h"
#include "cli/wgs84_transform.h"
#include "gis/gis_functions.h"
#include "gis/gis_writer.h"
#include "gis/tab_libraries.h"
#include "io/codepage.h"

namespace itn {

namespace {

std::string Lower(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return Text;
}

// The code pages every writer can write, as a list for messages.
std::string WritableCodepages() {
    std::string list;
    for (int codepage = 1; codepage <= 65535; ++codepage) {
        if (!CanWriteCodepage(codepage)) continue;
        if (!list.empty()) list += ", ";
        list += std::to_string(codepage);
    }
    return list;
}

// Text broken at blanks into lines of at most 90 characters.
std::string Wrapped(const std::string& Text) {
    std::string out, line;
    size_t start = 0;
    while (start < Text.size()) {
        size_t end = Text.find(' ', start);
        if (end == std::string::npos) end = Text.size();
        const std::string word = Text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > 90) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + line + "\n";
}

const char* const kHelpFooter =
    "\n"
    "Formats: mif, shp, tab and gml2 are the network formats (British National Grid); tab, the\n"
    "default, gives MIF/MID and a warning when the TAB module cannot be loaded. The extras:\n"
    "  kml      KML 2.2 in WGS 84 longitude/latitude, transformed from British National Grid by\n"
    "           PROJ: OSGB36 to WGS 84 by the Helmert transformation (accuracy about 2 m, up to\n"
    "           5 m), or by the OSTN15 grid when it is installed (about 0.1 m); --formats shows\n"
    "           which one this system uses.\n"
    "  geojson  GeoJSON in British National Grid with a crs member naming EPSG:27700; with\n"
    "           --geojson-wgs84 RFC 7946 GeoJSON in WGS 84 longitude/latitude, no crs member.\n"
    "  csv      the attribute table of ITN_network without geometry.\n"
    "\n"
    "Output: stdout receives the lines of the window's message list (\"i / n\" per file and\n"
    "pass, notices, \"Done in ...\"); stderr the phase texts and a progress bar when it is a\n"
    "terminal, warnings, and the error of a failed run. --quiet leaves only warnings and errors.\n"
    "The output files appear when the whole run has completed; a failed or stopped run leaves\n"
    "the output folder as it was.\n"
    "Exit status: 0 success, 1 the conversion failed, 2 usage error, 128 + the signal's number\n"
    "when SIGINT, SIGTERM or SIGHUP stopped the run.\n"
    "\n";

}  // namespace

std::string VersionText() {
    return std::string("itn2brinlow-cli ") + kProgramVersion + " (" + kBuildDescription + ")\n";
}

std::string FormatsText() {
    std::string text =
        "Network formats (ITN_network in British National Grid, EPSG:27700):\n"
        "  mif      MapInfo MIF/MID\n"
        "  shp      ESRI shapefile (.shp, .shx, .dbf, .prj, .cpg)\n";
    if (TGISWrite::MITAB_supported()) {
        text += "  tab      MapInfo TAB (default): available\n";
    } else {
        text += "  tab      MapInfo TAB (default): not available, MIF/MID is written instead";
        if (!MitabLoadError().empty()) text += " (" + MitabLoadError() + ")";
        text += "\n";
    }
    text +=
        "  gml2     GML 2 document with its schema (.xml, .xsd)\n"
        "Extras:\n";
    std::string transformation;
    try {
        TWgs84Transform transform;
        transformation = "by PROJ: " + transform.Description();
    } catch (const std::exception& e) {
        transformation = std::string("not available: ") + e.what();
    }
    text += "  kml      KML 2.2 in WGS 84 longitude/latitude (EPSG:4326), transformed " + transformation + "\n";
    text +=
        "  geojson  GeoJSON in British National Grid with a crs member; with --geojson-wgs84\n"
        "           RFC 7946 GeoJSON in WGS 84 longitude/latitude, transformed as for kml\n"
        "  csv      the attribute table without geometry\n";
    return text;
}

TParseOutcome ParseCliOptions(int argc, const char* const* argv, TCliOptions& Options, std::string& Out,
                              std::string& Err) {
    CLI::App app("Converts Ordnance Survey ITN road data into a routable Brinlow network.", "itn2brinlow-cli");
    app.get_formatter()->column_width(36);
    app.footer(kHelpFooter + Wrapped("Code pages every writer can name: " + WritableCodepages() + "."));
    // The job's options as words, by TJobOptionId; every one starts at its default.
    std::array<std::string, kJobOptionCount> words;
    for (const TJobOption& option : JobOptions()) words[static_cast<size_t>(option.Id)] = option.CliValues[option.Default()];
    int codepage = DefaultCodepage();
    bool version = false, formats = false;

    app.add_option("-o,--out", Options.OutputFolder, "folder for the output files (made when missing)")
        ->type_name("DIR");
    const TJobOption& format = JobOption(TJobOptionId::OutputFormat);
    // Any letter case and blanks, so that the window's labels ("SHP", "GML 2") serve as well.
    app.add_option(format.CliFlag, words[static_cast<size_t>(format.Id)],
                   std::string(format.Help) + " (default " + format.CliValues[format.Default()] + "; see below)")
        ->type_name("FORMAT")
        ->transform(CLI::IsMember(format.CliValues, CLI::ignore_case, CLI::ignore_space));
    app.add_option("--roads", Options.RoadFiles, "road file (.gml, .xml or .gz); repeat, read in order")
        ->type_name("FILE")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--urban", Options.UrbanFiles, "urban paths file; repeat, read in order")
        ->type_name("FILE")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    for (const TJobOption& option : JobOptions()) {
        if (option.Id == TJobOptionId::OutputFormat) continue;
        std::string help = option.Help;
        // The help of an option without effect says so instead of a default.
        if (option.Id != TJobOptionId::SaveUnzipped) help += " (default " + option.CliValues[option.Default()] + ")";
        const std::vector<std::string> shown =
            option.Kind == TJobOptionKind::OnOff ? std::vector<std::string>{"on", "off"} : option.CliValues;
        app.add_option(option.CliFlag, words[static_cast<size_t>(option.Id)], help)->check(CLI::IsMember(shown));
    }
    app.add_option("--codepage", codepage, "code page of the text output (default 1252; see below)")->type_name("N");
    app.add_flag("--geojson-wgs84", Options.GeoJsonWgs84,
                 "GeoJSON by RFC 7946: WGS 84 lon/lat, no crs member");
    app.add_flag("-q,--quiet", Options.Quiet, "print only warnings and the error of a failed run");
    app.add_flag("--phase-times", Options.PhaseTimes, "seconds (wall, processor) of each phase on stderr");
    app.add_flag("--version", version, "print the program's version and exit");
    app.add_flag("--formats", formats, "list the formats, whether TAB is available, and exit");

    const std::string hint = "\nRun with --help for more information.";
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        Out = app.help();
        return TParseOutcome::ExitSuccess;
    } catch (const CLI::ParseError& e) {
        Err = std::string(e.what()) + hint;
        return TParseOutcome::UsageError;
    }
    if (version || formats) {
        if (version) Out += VersionText();
        if (formats) Out += FormatsText();
        return TParseOutcome::ExitSuccess;
    }
    if (Options.OutputFolder.empty()) {
        Err = "--out is required" + hint;
        return TParseOutcome::UsageError;
    }
    if (!CanWriteCodepage(codepage)) {
        Err = "--codepage: " + std::to_string(codepage) +
              " is not a code page the output can be written in; use one of " + WritableCodepages() + hint;
        return TParseOutcome::UsageError;
    }

    std::string& formatName = words[static_cast<size_t>(format.Id)];
    formatName = Lower(formatName);
    std::erase(formatName, ' ');
    for (const TJobOption& option : JobOptions()) {
        const std::string& word = words[static_cast<size_t>(option.Id)];
        const auto known = std::find(option.CliValues.begin(), option.CliValues.end(), word);
        if (known == option.CliValues.end()) {
            std::string list;
            for (const std::string& value : option.CliValues) list += (list.empty() ? "" : ",") + value;
            Err = std::string(option.CliFlag).substr(std::string(option.CliFlag).rfind(',') + 1) + ": " + word +
                  " not in {" + list + "}" + hint;
            return TParseOutcome::UsageError;
        }
        option.Set(Options, static_cast<int32_t>(known - option.CliValues.begin()));
    }
    if (Options.GeoJsonWgs84 && Options.OutputFormat != TOutputFormat::GeoJson) {
        Err = "--geojson-wgs84 needs --format=geojson" + hint;
        return TParseOutcome::UsageError;
    }
    Options.Codepage = static_cast<uint16_t>(codepage);
    return TParseOutcome::Run;
}

}  // namespace itn
