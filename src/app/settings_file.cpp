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

TSettings LoadSettings(const std::string& FileName) {
    const TSettings d;
    const std::optional<TIniFile> file = ReadIniFile(FileName);
    if (!file) return d;
    const TIniFile& ini = *file;
    TSettings s;
    s.OutputFormat = ini.ReadInteger(kSettingsSection, "outputformat", d.OutputFormat);
    s.MaxHeight = ini.ReadInteger(kSettingsSection, "maxheight", d.MaxHeight);
    s.SplitLoopLinks = ini.ReadBool(kSettingsSection, "splitlooplinks", d.SplitLoopLinks);
    s.TurnRestriction = ini.ReadBool(kSettingsSection, "turnrestriction", d.TurnRestriction);
    s.Phase1Save = ini.ReadBool(kSettingsSection, "phase1save", d.Phase1Save);
    s.Attribute2 = ini.ReadBool(kSettingsSection, "attribute2", d.Attribute2);
    s.AttributeC = ini.ReadBool(kSettingsSection, "attributec", d.AttributeC);
    s.Attribute4 = ini.ReadBool(kSettingsSection, "attribute4", d.Attribute4);
    s.Attribute4p = ini.ReadBool(kSettingsSection, "attribute4p", d.Attribute4p);
    s.LastFolder = ini.ReadString(kSettingsSection, "lastfolder", d.LastFolder);
    return s;
}

void SaveSettings(const std::string& FileName, const TSettings& s) {
    // A file that exists but cannot be read would come back with our keys only: its other
    // lines would be lost.
    std::optional<TIniFile> file = ReadIniFile(FileName);
    if (!file) throw EIniFileError("Unable to write to " + FileName);
    TIniFile& ini = *file;
    ini.WriteInteger(kSettingsSection, "outputformat", s.OutputFormat);
    ini.WriteInteger(kSettingsSection, "maxheight", s.MaxHeight);
    ini.WriteBool(kSettingsSection, "turnrestriction", s.TurnRestriction);
    ini.WriteBool(kSettingsSection, "phase1save", s.Phase1Save);
    ini.WriteBool(kSettingsSection, "splitlooplinks", s.SplitLoopLinks);
    ini.WriteBool(kSettingsSection, "attribute2", s.Attribute2);
    ini.WriteBool(kSettingsSection, "attributec", s.AttributeC);
    ini.WriteBool(kSettingsSection, "attribute4", s.Attribute4);
    ini.WriteBool(kSettingsSection, "attribute4p", s.Attribute4p);
    // A folder name with a line break cannot be kept in one line of the file.
    if (!s.LastFolder.empty() && s.LastFolder.find_first_of("\r\n") == std::string::npos)
        ini.WriteString(kSettingsSection, "lastfolder", s.LastFolder);
    ini.UpdateFile();
}

}  // namespace itn
