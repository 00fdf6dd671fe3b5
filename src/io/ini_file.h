// An INI text file held as its lines: section lines "[name]", entries "key=value", and every
// other line (comments, blank lines, text of unknown form), all kept and written back as they
// stand. Section and key names compare without regard to ASCII letter case. Lines are read with
// LF or CR LF ends and written with CR LF. The section "" is the part before the first section
// line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace itn {

// The file cannot be written: "Unable to write to <full path>".
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TIniFile {
public:
    // Reads the file; a file that does not exist or cannot be read gives an empty one.
    explicit TIniFile(std::string FileName);

    const std::string& FileName() const { return FFileName; }
    const std::vector<std::string>& Lines() const { return FLines; }

    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Ident) const;

    // The value of the first entry Ident in Section, blanks around it removed and one pair of
    // enclosing double or single quotes dropped; Default when there is no such entry.
    std::string ReadString(std::string_view Section, std::string_view Ident,
                           const std::string& Default) const;
    // The value as a 32-bit integer in decimal or hexadecimal ("0x1F", "$1F") notation; Default
    // when there is no such entry or its value is not such an integer.
    int32_t ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) const;
    // ReadInteger with 1 or 0 as default; any nonzero integer is true.
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default) const;

    // Replaces the entry in place, or adds it after the last entry of its section; a missing
    // section is added at the end of the file.
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
    void WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value);
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);  // "1" or "0"

    // Writes the lines to the file with CR LF ends. Raises EIniFileError when it cannot.
    void UpdateFile() const;

private:
    // [first, last) line numbers of the body of each section named Section.
    std::vector<std::pair<size_t, size_t>> SectionBodies(std::string_view Section) const;
    // Line number of the first entry Ident in Section, or -1.
    int64_t FindEntry(std::string_view Section, std::string_view Ident) const;

    std::string FFileName;
    std::vector<std::string> FLines;
};

// "0x1F", "$1F" or decimal text (blanks around allowed) as a 32-bit integer; false when the text
// is none of them. Hexadecimal takes up to 8 digits and wraps into the negative range.
bool TryStrToInt(std::string_view Text, int32_t& Value);

}  // namespace itn
