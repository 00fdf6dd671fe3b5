// The option values of the window kept between runs: "itn2brinlow.ini" in the settings
// folder, section "main", one key per option. Unknown lines of the file are kept.
#pragma once

#include <cstdint>
#include <string>

namespace itn {

inline constexpr const char* kSettingsFileName = "itn2brinlow.ini";
inline constexpr const char* kSettingsSection = "main";

// Defaults are those of a missing file or key.
struct TSettings {
    int32_t OutputFormat = 2;  // item index: 0 MIF, 1 SHP, 2 TAB, 3 GML 2; -1 none
    int32_t MaxHeight = 1;     // item index: 0 cm, 1 inch; -1 none
    bool SplitLoopLinks = true;
    bool TurnRestriction = false;
    bool Phase1Save = false;
    bool Attribute2 = false;
    bool AttributeC = false;
    bool Attribute4 = true;
    bool Attribute4p = true;
    // Folder in which the file and folder dialogs for input open; empty until one was used.
    std::string LastFolder;
};

// Reads the nine option keys and "lastfolder"; a missing or unreadable file or key gives the default. Integers are
// decimal or hexadecimal ("0x1F", "$1F"); a Boolean is any integer, nonzero for true.
TSettings LoadSettings(const std::string& FileName);

// Writes the nine option keys in place, or appends them in write order, then "lastfolder" when
// a folder was used; every other line of the file stays. Throws EIniFileException "Unable to write to <FileName>" when that fails.
void SaveSettings(const std::string& FileName, const TSettings& Settings);

}  // namespace itn
