#include "app/settings_file.h"

#include <unistd.h>

#include <exception>
#include <optional>

#include "io/ini_file.h"

namespace itn {

namespace {

// The file's lines; std::nullopt when it exists but cannot be read.
std::optional<TIniFile> ReadIniFile(const std::string& FileName) {
    if (::access(FileName.c_str(), F_OK) == 0 && ::access(FileName.c_str(), R_OK) != 0) return std::nullopt;
    try {
        return TIniFile(FileName);
    } catch (const std::exception&) {  // a read error, a folder of that name
        return std::nullopt;
    }
}

}  // namespace

TSettings::TSettings() {
    for (const TJobOption& option : JobOptions()) Values[static_cast<size_t>(option.Id)] = option.Default();
}

TSettings LoadSettings(const std::string& FileName) {
    const TSettings d;
    const std::optional<TIniFile> file = ReadIniFile(FileName);
    if (!file) return d;
    const TIniFile& ini = *file;
    TSettings s;
    for (const TJobOption& option : JobOptions()) {
        if (option.Kind == TJobOptionKind::OnOff) {
            s[option.Id] = ini.ReadBool(kSettingsSection, option.SettingsKey, d[option.Id] != 0) ? 1 : 0;
        } else {
            s[option.Id] = ini.ReadInteger(kSettingsSection, option.SettingsKey, d[option.Id]);
        }
    }
    s.LastFolder = ini.ReadString(kSettingsSection, "lastfolder", d.LastFolder);
    return s;
}

void SaveSettings(const std::string& FileName, const TSettings& s) {
    // A file that exists but cannot be read would come back with our keys only: its other
    // lines would be lost.
    std::optional<TIniFile> file = ReadIniFile(FileName);
    if (!file) throw EIniFileError("Unable to write to " + FileName);
    TIniFile& ini = *file;
    for (const TJobOption& option : JobOptions()) {
        if (option.Kind == TJobOptionKind::OnOff) {
            ini.WriteBool(kSettingsSection, option.SettingsKey, s[option.Id] != 0);
        } else {
            ini.WriteInteger(kSettingsSection, option.SettingsKey, s[option.Id]);
        }
    }
    // A folder name with a line break cannot be kept in one line of the file.
    if (!s.LastFolder.empty() && s.LastFolder.find_first_of("\r\n") == std::string::npos)
        ini.WriteString(kSettingsSection, "lastfolder", s.LastFolder);
    ini.UpdateFile();
}

}  // namespace itn
