#include "io/log_publisher.h"

#include <cxxabi.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <typeinfo>

#include "io/ini_file.h"

namespace itn {

namespace {

constexpr std::string_view kSeverityNames[] = {"Trace", "Debug", "Info ", "Warn ", "Error", "Fatal"};

// The value of an environment variable when it is an absolute path, else empty.
std::string AbsoluteEnvPath(const char* Name) {
    const char* value = std::getenv(Name);
    if (!value || value[0] != '/') return std::string();
    return value;
}

std::string HomeFolder() {
    std::string home = AbsoluteEnvPath("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    }
    return home;
}

std::string ProgramPath() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

// Writes all of Text to a file opened for appending; false when the file cannot be opened or
// written.
bool AppendToFile(const std::string& FileName, const std::string& Text) {
    if (FileName.empty()) return false;
    const int fd = ::open(FileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < Text.size()) {
        const ssize_t n = ::write(fd, Text.data() + done, Text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0 && ok;
}

// "DD/MM/YYYY HH:NN:SS:ZZZ " in local time.
std::string TimeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d:%03d ", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
    return text;
}

// The class name of an exception without its namespaces ("EXML", "runtime_error").
std::string ClassNameOf(const std::exception& E) {
    const char* mangled = typeid(E).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    if (name.find('<') == std::string::npos) {
        const size_t colons = name.rfind("::");
        if (colons != std::string::npos) name.erase(0, colons + 2);
    }
    return name;
}

// The items of a sink list: separated by "|" and by blanks; a double-quoted item may hold
// blanks ("" inside stands for one quote).
std::vector<std::string> SplitLogClasses(std::string_view Text) {
    std::vector<std::string> items;
    size_t i = 0;
    auto separator = [](char c) { return c == '|' || static_cast<unsigned char>(c) <= ' '; };
    while (i < Text.size()) {
        if (separator(Text[i])) {
            ++i;
            continue;
        }
        std::string item;
        if (Text[i] == '"') {
            for (++i; i < Text.size(); ++i) {
                if (Text[i] == '"') {
                    if (i + 1 < Text.size() && Text[i + 1] == '"') {
                        item += '"';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    item += Text[i];
                }
            }
        }
        while (i < Text.size() && !separator(Text[i])) item += Text[i++];
        items.push_back(std::move(item));
    }
    return items;
}

// The INI section holding the values: [Pellog], or the top of the file.
std::string_view ConfigSection(const TIniFile& Ini) { return Ini.SectionExists("Pellog") ? "Pellog" : ""; }

}  // namespace

std::string_view LogSeverityName(TLogSeverity Severity) {
    return Severity <= lsFatal ? kSeverityNames[Severity] : std::string_view("?????");
}

TLogSeverity ClampSeverity(int64_t Value) {
    if (Value < lsTrace) return lsTrace;
    if (Value > lsFatal) return lsFatal;
    return static_cast<TLogSeverity>(Value);
}

TLogPlatform TLogPlatform::FromEnvironment() {
    TLogPlatform platform;
    platform.MachineConfigFile = "/etc/xdg/Corvane/Pellog.conf";
    const std::string home = HomeFolder();
    std::string config = AbsoluteEnvPath("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) config = home + "/.config";
    if (!config.empty()) platform.UserConfigFile = config + "/Corvane/Pellog.conf";
    platform.ProgramFile = ProgramPath();
    std::string state = AbsoluteEnvPath("XDG_STATE_HOME");
    if (state.empty() && !home.empty()) state = home + "/.local/state";
    if (!state.empty()) platform.FallbackLogFolder = state + "/itn2brinlow/";
    return platform;
}

// ---- Sinks -------------------------------------------------------------------------------

std::string TFileLogger::GetLogFileName() const {
    const std::string& program = Owner.Platform().ProgramFile;
    if (program.empty()) return std::string();
    return std::filesystem::path(program).replace_extension(".log").string();
}

std::string TFileLogger::UsedLogFileName() const {
    std::lock_guard<std::mutex> lock(lockThread);
    return FUsedFileName;
}

void TFileLogger::DoAddToLog(const std::string& Msg) {
    const std::string text = TimeStamp() + Owner.LogDelimiter() + Msg + "\r\n";
    std::lock_guard<std::mutex> lock(lockThread);
    if (!FUsedFileName.empty()) {
        AppendToFile(FUsedFileName, text);
        return;
    }
    // The first line decides where the log goes: next to the program when that file can be
    // written (not so for an installed program), else into the user's state folder.
    const std::string primary = GetLogFileName();
    if (AppendToFile(primary, text)) {
        FUsedFileName = primary;
        return;
    }
    const std::string& folder = Owner.Platform().FallbackLogFolder;
    if (folder.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string name =
        primary.empty() ? std::string("itn2brinlow.log") : std::filesystem::path(primary).filename().string();
    const std::string fallback = (std::filesystem::path(folder) / name).string();
    if (AppendToFile(fallback, text)) FUsedFileName = fallback;
}

void TWindowsSysDbgLogger::DoAddToLog(const std::string& Msg) {
    const std::string text = "Tolvane - " + Msg;
    if (Owner.Platform().DebugOutput) {
        Owner.Platform().DebugOutput(text);
        return;
    }
    const std::string line = text + "\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// ---- Publisher ---------------------------------------------------------------------------

TLogPublisher::TLogPublisher(TLogPlatform Platform) : FPlatform(std::move(Platform)) {
    try {
        ReadLogSettings();
        ReadLogClasses();
    } catch (...) {
        // The publisher keeps the sinks registered so far.
    }
}

TLogPublisher::~TLogPublisher() = default;

void TLogPublisher::ReadLogSettings() {
    FSeverityThreshold = lsInformation;
    FLogDelimiter = " ";
    for (const std::string* file : {&FPlatform.MachineConfigFile, &FPlatform.UserConfigFile}) {
        if (file->empty()) continue;
        const TIniFile ini(*file);
        const std::string_view section = ConfigSection(ini);
        int32_t threshold = 0;
        if (TryStrToInt(ini.ReadString(section, "LogThreshold", std::string()), threshold)) {
            FSeverityThreshold = ClampSeverity(threshold);
        }
        if (ini.ValueExists(section, "LogDelimiter"))
            FLogDelimiter = ini.ReadString(section, "LogDelimiter", " ");
    }
}

void TLogPublisher::ReadLogClasses() {
    std::string classes = "txt=";
    for (const std::string* file : {&FPlatform.MachineConfigFile, &FPlatform.UserConfigFile}) {
        if (file->empty()) continue;
        const TIniFile ini(*file);
        const std::string_view section = ConfigSection(ini);
        if (ini.ValueExists(section, "LogClasses")) classes = ini.ReadString(section, "LogClasses", classes);
    }
    for (char& c : classes) {
        if (c == '\0') c = '|';
    }
    for (const std::string& item : SplitLogClasses(classes)) {
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq);
        int32_t value = SeverityThreshold();
        if (eq == std::string::npos || !TryStrToInt(std::string_view(item).substr(eq + 1), value)) {
            value = SeverityThreshold();
        }
        const TLogSeverity threshold = ClampSeverity(value);
        auto is = [&name](std::string_view wanted) {
            return name.size() == wanted.size() &&
                   std::equal(name.begin(), name.end(), wanted.begin(), [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) == b;
                   });
        };
        if (is("txt")) {
            RegisterLogClass<TFileLogger>(threshold);
        } else if (is("dbg")) {
            RegisterLogClass<TWindowsSysDbgLogger>(threshold);
        }
    }
}

void TLogPublisher::SetSeverityThreshold(TLogSeverity Value) {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    FSeverityThreshold = Value;
}

std::string TLogPublisher::LogDelimiter() const {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    return FLogDelimiter;
}

void TLogPublisher::SetLogDelimiter(const std::string& Value) {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    FLogDelimiter = Value;
}

void TLogPublisher::AddToLog(TLogSeverity Severity, std::string_view Msg) {
    if (Severity < FSeverityThreshold.load()) return;
    try {
        std::lock_guard<std::recursive_mutex> lock(FLock);
        char thread[16];
        std::snprintf(thread, sizeof thread, "$%08X", static_cast<unsigned>(::gettid()));
        std::string line;
        line.reserve(Msg.size() + 32);
        line.append(LogSeverityName(Severity)).append(FLogDelimiter).append(thread).append(FLogDelimiter);
        // One line per message: every line break (CR LF, LF or CR) becomes one space.
        for (size_t i = 0; i < Msg.size(); ++i) {
            if (Msg[i] == '\r' && i + 1 < Msg.size() && Msg[i + 1] == '\n') ++i;
            line += (Msg[i] == '\r' || Msg[i] == '\n') ? ' ' : Msg[i];
        }
        for (const auto& sink : LogList) {
            if (sink->SeverityThreshold > Severity) continue;
            try {
                sink->DoAddToLog(line);
            } catch (...) {
                // A failing sink does not keep the line from the others.
            }
        }
    } catch (...) {
        // Logging never fails its caller.
    }
}

void TLogPublisher::AddToLogFmt(TLogSeverity Severity, const char* Fmt, ...) {
    if (Severity < FSeverityThreshold.load()) return;
    va_list args;
    va_start(args, Fmt);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, Fmt, copy);
    va_end(copy);
    std::string text;
    if (size > 0) {
        text.resize(static_cast<size_t>(size) + 1);
        std::vsnprintf(text.data(), text.size(), Fmt, args);
        text.resize(static_cast<size_t>(size));
    }
    va_end(args);
    AddToLog(Severity, text);
}

void TLogPublisher::AddToLogExcept(TLogSeverity Severity, std::string_view Msg, const std::exception& E) {
    if (Severity < FSeverityThreshold.load()) return;
    AddToLog(Severity, std::string(Msg) + ". Exception: " + ClassNameOf(E) + " - " + E.what());
}

TLogPublisher& LogPublisher() {
    static TLogPublisher publisher;
    return publisher;
}

}  // namespace itn
