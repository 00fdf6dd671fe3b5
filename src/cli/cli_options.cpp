#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include "io/codepage.h"

namespace itn {

namespace {

bool OnOff(const std::string& Value) {
    return Value == "on";
}

}  // namespace

TParseOutcome ParseCliOptions(int argc, const char* const* argv, TCliOptions& Options, std::string& Out,
                              std::string& Err) {
    CLI::App app("Converts Ordnance Survey ITN road data into a routable Brinlow network.", "itn2brinlow-cli");
    app.get_formatter()->column_width(36);
    const auto onOff = CLI::IsMember({"on", "off"});
    std::string format = "tab", split = "on", turn = "off", unit = "inch", a2 = "off", ac = "off", a4 = "on",
                avoid = "on", saveUnzipped = "off";
    int codepage = DefaultCodepage();

    app.add_option("--out", Options.OutputFolder, "folder that receives the output files")->required();
    app.add_option("--format", format, "output format (default tab); kml, geojson and csv are extras")
        ->check(CLI::IsMember({"mif", "shp", "tab", "gml2", "kml", "geojson", "csv"}));
    app.add_option("--roads", Options.RoadFiles, "road file (.gml, .xml or .gz); repeat for more")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--urban", Options.UrbanFiles, "urban paths file; repeat for more")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--split-loop-links", split, "split closed road links in two (default on)")->check(onOff);
    app.add_option("--turn-restrictions", turn, "write turn.txt (default off)")->check(onOff);
    app.add_option("--max-height-unit", unit, "unit of maxHeight (default inch)")
        ->check(CLI::IsMember({"cm", "inch"}));
    app.add_option("--attribute2", a2, "Attribute2 column (default off)")->check(onOff);
    app.add_option("--attributec", ac, "AttributeC column (default off)")->check(onOff);
    app.add_option("--attribute4", a4, "Attribute4 column (default on)")->check(onOff);
    app.add_option("--avoid-pattern", avoid, "AvoidPattern column (default on)")->check(onOff);
    app.add_option("--save-unzipped", saveUnzipped, "keep expanded .gz files between phases (default off)")
        ->check(onOff);
    app.add_option("--codepage", codepage, "code page of the text output (default 1252)")
        ->check(CLI::Range(1, 65535));
    app.add_flag("--quiet", Options.Quiet, "no phase texts or progress bar");
    app.add_flag("--phase-times", Options.PhaseTimes, "print the seconds (wall and processor) each phase took on stderr");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        Out = app.help();
        return TParseOutcome::ExitSuccess;
    } catch (const CLI::ParseError& e) {
        Err = std::string(e.what()) + "\nRun with --help for more information.";
        return TParseOutcome::UsageError;
    }
    if (CodepageIconvName(static_cast<uint16_t>(codepage)).empty()) {
        Err = "--codepage: unknown code page " + std::to_string(codepage) + "\nRun with --help for more information.";
        return TParseOutcome::UsageError;
    }

    static const char* const kFormats[] = {"mif", "shp", "tab", "gml2", "kml", "geojson", "csv"};
    for (int32_t i = 0; i < 7; ++i)
        if (format == kFormats[i]) Options.OutputFormat = i;
    Options.SplitLoopLinks = OnOff(split);
    Options.TurnRestrictions = OnOff(turn);
    Options.MaxHeightUnit = unit == "cm" ? 0 : 1;
    Options.Attribute2 = OnOff(a2);
    Options.AttributeC = OnOff(ac);
    Options.Attribute4 = OnOff(a4);
    Options.AvoidPattern = OnOff(avoid);
    Options.SaveUnzipped = OnOff(saveUnzipped);
    Options.Codepage = static_cast<uint16_t>(codepage);
    return TParseOutcome::Run;
}

}  // namespace itn
