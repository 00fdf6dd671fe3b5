// The options a user chooses for a run, declared once: the command line, the settings file
// and the window all read them from the table here. The output format has one numbering,
// which is also the one the settings file stores.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gis/gis_writer.h"

namespace itn {

enum class TOutputFormat : int32_t { Mif = 0, Shp = 1, Tab = 2, Gml2 = 3, Kml = 4, GeoJson = 5, Csv = 6 };

struct TOutputFormatInfo {
    TOutputFormat Format;
    const char* CliName;  // "gml2"
    const char* Label;    // "GML 2" in the window; empty for the extras it does not offer
    TGISFormat Writer;
    std::vector<std::string> Extensions;  // of the network file; TAB lists MIF's too (its fallback)
};

// Every format in numbering order.
const std::vector<TOutputFormatInfo>& OutputFormats();
const TOutputFormatInfo& FormatInfo(TOutputFormat Format);

// The choices themselves, with their defaults.
struct TJobChoices {
    TOutputFormat OutputFormat = TOutputFormat::Tab;
    int32_t MaxHeightUnit = 1;  // 0 centimetres, 1 inches
    bool TurnRestrictions = false;
    bool SaveUnzipped = false;  // kept for stored settings; .gz input is read in place
    bool SplitLoopLinks = true;
    bool Attribute2 = false;
    bool AttributeC = false;
    bool Attribute4 = true;
    bool AvoidPattern = true;
};

enum class TJobOptionKind { OnOff, Choice };

// Options in the order the settings file writes them.
enum class TJobOptionId : int32_t {
    OutputFormat,
    MaxHeightUnit,
    TurnRestrictions,
    SaveUnzipped,
    SplitLoopLinks,
    Attribute2,
    AttributeC,
    Attribute4,
    AvoidPattern,
};
inline constexpr size_t kJobOptionCount = 9;

struct TJobOption {
    TJobOptionId Id;
    TJobOptionKind Kind;
    const char* CliFlag;      // "--split-loop-links"
    const char* SettingsKey;  // "splitlooplinks"
    const char* WidgetName;   // Qt object name of the window's check box or radio group
    // Choice: the command line's words by index; OnOff: "off", "on".
    std::vector<std::string> CliValues;
    const char* Help;  // for --help, without the default
    // The value as an integer: 0 or 1, or the choice's index.
    int32_t (*Get)(const TJobChoices& Choices);
    void (*Set)(TJobChoices& Choices, int32_t Value);

    int32_t Default() const { return Get(TJobChoices()); }
};

// Every option, indexed by TJobOptionId.
const std::array<TJobOption, kJobOptionCount>& JobOptions();
const TJobOption& JobOption(TJobOptionId Id);

}  // namespace itn
