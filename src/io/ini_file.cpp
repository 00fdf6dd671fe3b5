#include "io/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>

#include "io/streams.h"

namespace itn {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The line without a leading UTF-8 byte order mark.
std::string_view Content(std::string_view Line) {
    if (Line.substr(0, 3) == "\xEF\xBB\xBF") Line.remove_prefix(3);
    return Line;
}

// The name of a section line "[name]", or false for any other line.
bool SectionName(std::string_view Line, std::string_view& Name) {
    const std::string_view s = Trim(Content(Line));
    if (s.size() < 2 || s.front() != '[') return false;
    const size_t close = s.find(']');
    if (close == std::string_view::npos) return false;
    Name = Trim(s.substr(1, close - 1));
    return true;
}

// Key and value of an entry line "key=value"; false for comments and other lines.
bool EntryOf(std::string_view Line, std::string_view& Key, std::string_view& Value) {
    const std::string_view s = Trim(Content(Line));
    if (s.empty() || s.front() == ';' || s.front() == '#' || s.front() == '[') return false;
    const size_t eq = s.find('=');
    if (eq == std::string_view::npos) return false;
    Key = Trim(s.substr(0, eq));
    Value = Trim(s.substr(eq + 1));
    return !Key.empty();
}

}  // namespace

bool TryStrToInt(std::string_view Text, int32_t& Value) {
    std::string_view s = Trim(Text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (s.size() > 1 && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty() || (base == 16 && s.size() > 8)) return false;
    uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    if (base == 16) {
        const auto bits = static_cast<uint32_t>(magnitude);
        Value = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return false;
    Value =
        negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {
    // A file that cannot be read (missing, a folder, an I/O error) reads as an empty one.
    std::string text;
    try {
        std::ifstream in(FFileName, std::ios::binary);
        if (!in) return;
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        FLines.push_back(std::move(line));
        start = end + 1;
    }
}

std::vector<std::pair<size_t, size_t>> TIniFile::SectionBodies(std::string_view Section) const {
    std::vector<std::pair<size_t, size_t>> bodies;
    bool inside = Section.empty();  // the lines before the first section line
    size_t first = 0;
    for (size_t i = 0; i < FLines.size(); ++i) {
        std::string_view name;
        if (!SectionName(FLines[i], name)) continue;
        if (inside) bodies.emplace_back(first, i);
        inside = !Section.empty() && SameName(name, Section);
        first = i + 1;
        if (Section.empty()) return bodies;
    }
    if (inside) bodies.emplace_back(first, FLines.size());
    return bodies;
}

int64_t TIniFile::FindEntry(std::string_view Section, std::string_view Ident) const {
    for (const auto& [first, last] : SectionBodies(Section)) {
        for (size_t i = first; i < last; ++i) {
            std::string_view key, value;
            if (EntryOf(FLines[i], key, value) && SameName(key, Ident)) return static_cast<int64_t>(i);
        }
    }
    return -1;
}

bool TIniFile::SectionExists(std::string_view Section) const {
    if (Section.empty()) return false;
    return !SectionBodies(Section).empty();
}

bool TIniFile::ValueExists(std::string_view Section, std::string_view Ident) const {
    return FindEntry(Section, Ident) >= 0;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Ident,
                                 const std::string& Default) const {
    const int64_t line = FindEntry(Section, Ident);
    if (line < 0) return Default;
    std::string_view key, value;
    EntryOf(FLines[line], key, value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

int32_t TIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) const {
    int32_t value = 0;
    return TryStrToInt(ReadString(Section, Ident, std::string()), value) ? value : Default;
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    std::string line = std::string(Ident) + "=" + std::string(Value);
    const int64_t existing = FindEntry(Section, Ident);
    if (existing >= 0) {
        FLines[existing] = std::move(line);
        return;
    }
    const auto bodies = SectionBodies(Section);
    if (bodies.empty()) {
        // Entries of section "" go before the first section line; other sections are appended.
        if (Section.empty()) {
            FLines.insert(FLines.begin(), std::move(line));
        } else {
            FLines.push_back("[" + std::string(Section) + "]");
            FLines.push_back(std::move(line));
        }
        return;
    }
    // After the last line of the first such section that is not blank.
    auto [first, last] = bodies.front();
    while (last > first && Trim(FLines[last - 1]).empty()) --last;
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(last), std::move(line));
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::UpdateFile() const {
    std::string text;
    for (const std::string& line : FLines) {
        text += line;
        text += "\r\n";
    }
    // Written beside the file and renamed over it, so a failed write never leaves the file cut short.
    const std::string temp = FFileName + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool ok = fd >= 0;
    size_t done = 0;
    while (ok && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), FFileName.c_str()) != 0) ok = false;
    if (!ok) {
        if (fd >= 0) ::unlink(temp.c_str());
        throw EIniFileError("Unable to write to " + ExpandFileName(FFileName));
    }
}

}  // namespace itn
