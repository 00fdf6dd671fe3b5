// The option values of the window kept between runs: "itn2brinlow.ini" in the settings
// folder, section "main", one key per option. Unknown lines of the file are kept.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "roadjob/job_options.h"

namespace itn {

inline constexpr const char* kSettingsFileName = "itn2brinlow.ini";
inline constexpr const char* kSettingsSection = "main";

// The job's options as the window keeps them, by TJobOptionId: 0 or 1 for an on/off option,
// the item index of a choice (-1 none). Defaults are those of a missing file or key.
struct TSettings {
    TSettings();
    int32_t& operator[](TJobOptionId Id) { return Values[static_cast<size_t>(Id)]; }
    int32_t operator[](TJobOptionId Id) const { return Values[static_cast<size_t>(Id)]; }

    std::array<int32_t, kJobOptionCount> Values;
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
