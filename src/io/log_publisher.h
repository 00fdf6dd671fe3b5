// The process-wide log publisher: fans every message that passes its severity threshold out
// to a set of sinks, a log file and the developer's diagnostic channel (standard error).
//
// Configuration, read once when the publisher is created, from the INI files
// /etc/xdg/Corvane/Pellog.conf (machine) and then $XDG_CONFIG_HOME/Corvane/Pellog.conf (user;
// default ~/.config), so user values override machine values. The values are read from the
// section [Pellog], or from the top of the file when it has no such section:
//
//     [Pellog]
//     LogThreshold=0             publisher threshold 0 (trace) .. 5 (fatal), clamped; a
//                                value that is not an integer is ignored
//     LogDelimiter=" | "         text between the parts of a line (quotes keep blanks)
//     LogClasses=txt=0|dbg=4     sinks: "txt" the log file, "dbg" standard error, each with
//                                its own threshold (the publisher's when none is given);
//                                items are separated by "|" or blanks
//
// Without configuration there is one file sink and both thresholds are "Information", so
// trace messages are not written anywhere. Logging never fails its caller: configuration
// and sink errors are swallowed.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace itn {

enum TLogSeverity : uint8_t {
    lsTrace = 0,
    lsDebug = 1,
    lsInformation = 2,
    lsWarning = 3,
    lsError = 4,
    lsFatal = 5
};

// Five characters each: "Trace", "Debug", "Info ", "Warn ", "Error", "Fatal".
std::string_view LogSeverityName(TLogSeverity Severity);

// A severity from an integer, below 0 giving lsTrace and above 5 lsFatal.
TLogSeverity ClampSeverity(int64_t Value);

// Where the publisher finds its configuration and puts its log file.
struct TLogPlatform {
    std::string MachineConfigFile;  // INI file of machine-wide values; empty for none
    std::string UserConfigFile;     // INI file of the user's values; empty for none
    std::string ProgramFile;        // the log file is this path with the extension ".log"
    std::string FallbackLogFolder;  // used when no file can be written next to the program
    // Receives the lines of the diagnostic sink; standard error when empty.
    void (*DebugOutput)(const std::string& Text) = nullptr;

    // The paths of this system: the files named above, the running program, and
    // $XDG_STATE_HOME/itn2brinlow/ (default ~/.local/state/itn2brinlow/).
    static TLogPlatform FromEnvironment();
};

class TLogPublisher;

// A sink. DoAddToLog receives each composed line whose severity reaches SeverityThreshold.
class TCustomLogger {
public:
    TCustomLogger(TLogPublisher& AOwner, TLogSeverity ASeverityThreshold)
        : Owner(AOwner), SeverityThreshold(ASeverityThreshold) {}
    virtual ~TCustomLogger() = default;
    TCustomLogger(const TCustomLogger&) = delete;
    TCustomLogger& operator=(const TCustomLogger&) = delete;

    virtual void DoAddToLog(const std::string& Msg) = 0;

    TLogPublisher& Owner;
    TLogSeverity SeverityThreshold;
};

// Appends each line, time-stamped, to the log file (UTF-8, CR LF), opening and closing the
// file for every line.
class TFileLogger : public TCustomLogger {
public:
    using TCustomLogger::TCustomLogger;
    void DoAddToLog(const std::string& Msg) override;

    // The file next to the program: its path with the extension replaced by ".log".
    std::string GetLogFileName() const;
    // The file lines go to: the one next to the program, or the one in the fallback folder
    // when the first cannot be written. Empty until the first line.
    std::string UsedLogFileName() const;

private:
    mutable std::mutex lockThread;
    std::string FUsedFileName;
};

// Sends "Tolvane - " + line to the diagnostic channel.
class TWindowsSysDbgLogger : public TCustomLogger {
public:
    using TCustomLogger::TCustomLogger;
    void DoAddToLog(const std::string& Msg) override;
};

class TLogPublisher {
public:
    // Reads the configuration of Platform and registers its sinks.
    explicit TLogPublisher(TLogPlatform Platform = TLogPlatform::FromEnvironment());
    ~TLogPublisher();
    TLogPublisher(const TLogPublisher&) = delete;
    TLogPublisher& operator=(const TLogPublisher&) = delete;

    const TLogPlatform& Platform() const { return FPlatform; }

    TLogSeverity SeverityThreshold() const { return FSeverityThreshold.load(); }
    void SetSeverityThreshold(TLogSeverity Value);
    std::string LogDelimiter() const;
    void SetLogDelimiter(const std::string& Value);

    void AddToLog(TLogSeverity Severity, std::string_view Msg);
    void AddToLogFmt(TLogSeverity Severity, const char* Fmt, ...) __attribute__((format(printf, 3, 4)));
    // Msg + ". Exception: " + the exception's class name + " - " + its message.
    void AddToLogExcept(TLogSeverity Severity, std::string_view Msg, const std::exception& E);
    void Trace(std::string_view Msg) { AddToLog(lsTrace, Msg); }

    // Adds a sink of class TLogger unless one of that class or a class derived from it is
    // registered already.
    template <typename TLogger>
    void RegisterLogClass(TLogSeverity SevThreshold) {
        std::lock_guard<std::recursive_mutex> lock(FLock);
        for (const auto& sink : LogList) {
            if (dynamic_cast<TLogger*>(sink.get())) return;
        }
        LogList.push_back(std::make_unique<TLogger>(*this, SevThreshold));
    }

    // The registered sinks, in registration order (for inspection; not locked).
    const std::vector<std::unique_ptr<TCustomLogger>>& Sinks() const { return LogList; }

private:
    void ReadLogSettings();
    void ReadLogClasses();

    TLogPlatform FPlatform;
    // Guards LogList, the delimiter and the dispatch of lines; sinks read the delimiter while
    // a line is dispatched, hence recursive.
    mutable std::recursive_mutex FLock;
    std::vector<std::unique_ptr<TCustomLogger>> LogList;
    std::string FLogDelimiter = " ";
    std::atomic<TLogSeverity> FSeverityThreshold{lsInformation};
};

// The process-wide publisher, created and configured on the first call.
TLogPublisher& LogPublisher();

}  // namespace itn
