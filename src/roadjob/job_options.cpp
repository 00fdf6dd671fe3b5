#include "roadjob/job_options.h"

namespace itn {

const std::vector<TOutputFormatInfo>& OutputFormats() {
    static const std::vector<TOutputFormatInfo> formats = {
        {TOutputFormat::Mif, "mif", "MIF", gfMIF, {".mif", ".mid"}},
        {TOutputFormat::Shp, "shp", "SHP", gfSHP, {".shp", ".shx", ".dbf", ".prj", ".cpg"}},
        {TOutputFormat::Tab, "tab", "TAB", gfMITAB, {".tab", ".dat", ".map", ".id", ".mif", ".mid"}},
        {TOutputFormat::Gml2, "gml2", "GML 2", gfGML2, {".xml", ".xsd"}},
        {TOutputFormat::Kml, "kml", "", gfKML2, {".kml"}},
        {TOutputFormat::GeoJson, "geojson", "", gfGeoJSON, {".geojson"}},
        {TOutputFormat::Csv, "csv", "", gfCSV, {".csv"}},
    };
    return formats;
}

const TOutputFormatInfo& FormatInfo(TOutputFormat Format) {
    const auto& formats = OutputFormats();
    const auto index = static_cast<size_t>(Format);
    // A number from outside (a stored setting) that names no format is MIF, as before.
    return index < formats.size() ? formats[index] : formats[0];
}

namespace {

template <bool TJobChoices::*Member>
TJobOption OnOff(TJobOptionId Id, const char* CliFlag, const char* SettingsKey, const char* WidgetName,
                 const char* Help) {
    return TJobOption{Id,
                      TJobOptionKind::OnOff,
                      CliFlag,
                      SettingsKey,
                      WidgetName,
                      {"off", "on"},
                      Help,
                      [](const TJobChoices& c) { return static_cast<int32_t>(c.*Member); },
                      [](TJobChoices& c, int32_t Value) { c.*Member = Value != 0; }};
}

std::vector<std::string> FormatNames() {
    std::vector<std::string> names;
    for (const TOutputFormatInfo& format : OutputFormats()) names.push_back(format.CliName);
    return names;
}

}  // namespace

const std::array<TJobOption, kJobOptionCount>& JobOptions() {
    static const std::array<TJobOption, kJobOptionCount> options = {
        TJobOption{TJobOptionId::OutputFormat, TJobOptionKind::Choice, "-f,--format", "outputformat",
                   "rgOutputFormat", FormatNames(), "output format in any letter case",
                   [](const TJobChoices& c) { return static_cast<int32_t>(c.OutputFormat); },
                   [](TJobChoices& c, int32_t Value) { c.OutputFormat = static_cast<TOutputFormat>(Value); }},
        TJobOption{TJobOptionId::MaxHeightUnit, TJobOptionKind::Choice, "--max-height-unit", "maxheight",
                   "rgMaxHeightUnit", {"cm", "inch"}, "unit of maxHeight",
                   [](const TJobChoices& c) { return c.MaxHeightUnit; },
                   [](TJobChoices& c, int32_t Value) { c.MaxHeightUnit = Value; }},
        OnOff<&TJobChoices::TurnRestrictions>(TJobOptionId::TurnRestrictions, "--turn-restrictions", "turnrestriction",
                                              "cbTurn", "write turn.txt"),
        OnOff<&TJobChoices::SaveUnzipped>(TJobOptionId::SaveUnzipped, "--save-unzipped", "phase1save",
                                          "cbSaveUnzipped",
                                          "no effect: .gz input is read in place (kept for older scripts)"),
        OnOff<&TJobChoices::SplitLoopLinks>(TJobOptionId::SplitLoopLinks, "--split-loop-links", "splitlooplinks",
                                            "cbSplitLoopLinks", "split closed road links in two"),
        OnOff<&TJobChoices::Attribute2>(TJobOptionId::Attribute2, "--attribute2", "attribute2", "cb2",
                                        "Attribute2 column"),
        OnOff<&TJobChoices::AttributeC>(TJobOptionId::AttributeC, "--attributec", "attributec", "cbC",
                                        "AttributeC column"),
        OnOff<&TJobChoices::Attribute4>(TJobOptionId::Attribute4, "--attribute4", "attribute4", "cb4",
                                        "Attribute4 column"),
        OnOff<&TJobChoices::AvoidPattern>(TJobOptionId::AvoidPattern, "--avoid-pattern", "attribute4p", "cb4p",
                                          "AvoidPattern column"),
    };
    return options;
}

const TJobOption& JobOption(TJobOptionId Id) {
    return JobOptions()[static_cast<size_t>(Id)];
}

}  // namespace itn
