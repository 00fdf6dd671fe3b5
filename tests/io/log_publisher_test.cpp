// The log publisher: configuration from the two INI files, line format, thresholds of the
// publisher and of each sink, the file sink and its fallback folder, swallowed sink errors and
// lines from several threads.
#include "io/log_publisher.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "io/errors.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string>& DebugLines() {
    static std::vector<std::string> lines;
    return lines;
}
void CollectDebugLine(const std::string& Text) { DebugLines().push_back(Text); }

std::vector<std::string> SplitCrLf(const std::string& Text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = Text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(Text.substr(start, end - start));
    }
    EXPECT_EQ(start, Text.size()) << "text after the last CR LF";
    return lines;
}

// A publisher over two INI files in a temporary folder; its program lives there too, so the
// log file is Dir / "prog.log".
class LogPublisherTest : public ::testing::Test {
protected:
    void SetUp() override { DebugLines().clear(); }

    std::unique_ptr<TLogPublisher> Make(const std::string& Machine, const std::string& User) {
        if (!Machine.empty()) WriteFile(Dir / "machine.conf", Machine);
        if (!User.empty()) WriteFile(Dir / "user.conf", User);
        return std::make_unique<TLogPublisher>(Platform());
    }

    TLogPlatform Platform() const {
        TLogPlatform platform;
        platform.MachineConfigFile = Dir / "machine.conf";
        platform.UserConfigFile = Dir / "user.conf";
        platform.ProgramFile = Dir / "prog";
        platform.FallbackLogFolder = Dir / "state/itn2brinlow/";
        platform.DebugOutput = &CollectDebugLine;
        return platform;
    }

    // The sinks as "txt" / "dbg" with their thresholds, in registration order.
    static std::vector<std::pair<std::string, int>> SinksOf(const TLogPublisher& Publisher) {
        std::vector<std::pair<std::string, int>> sinks;
        for (const auto& sink : Publisher.Sinks()) {
            const char* kind = dynamic_cast<TFileLogger*>(sink.get()) ? "txt" : "dbg";
            sinks.emplace_back(kind, static_cast<int>(sink->SeverityThreshold));
        }
        return sinks;
    }

    // The messages of the log file's lines, time stamp, severity and thread cut off.
    std::vector<std::string> FileMessages() const {
        std::vector<std::string> messages;
        for (const std::string& line : SplitCrLf(ReadFile(Dir / "prog.log"))) {
            messages.push_back(line.substr(line.rfind(" $") + 11));
        }
        return messages;
    }

    TempDir Dir;
};

TEST_F(LogPublisherTest, DefaultConfigurationWritesInformationAndAboveToTheFile) {
    auto publisher = Make("", "");
    EXPECT_EQ(SinksOf(*publisher), (std::vector<std::pair<std::string, int>>{{"txt", lsInformation}}));
    EXPECT_EQ(publisher->SeverityThreshold(), lsInformation);

    publisher->Trace("hidden");
    publisher->AddToLog(lsDebug, "hidden too");
    EXPECT_FALSE(std::filesystem::exists(Dir / "prog.log"));

    publisher->AddToLog(lsInformation, "x");
    const std::string text = ReadFile(Dir / "prog.log");
    char thread[16];
    std::snprintf(thread, sizeof thread, "%08X", static_cast<unsigned>(::gettid()));
    // Time stamp and its blank, the delimiter, "Info " and the delimiter, "$", the thread, the delimiter.
    const std::regex line(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d:\d{3}  Info  \$)" + std::string(thread) +
                          " x\r\n");
    EXPECT_TRUE(std::regex_match(text, line)) << text;
}

TEST_F(LogPublisherTest, ConfigurationSetsThresholdsSinksAndDelimiter) {
    using TSinks = std::vector<std::pair<std::string, int>>;
    const struct {
        const char* Machine;
        const char* User;
        int Threshold;
        TSinks Sinks;
        const char* Delimiter;
    } cases[] = {
        {"", "LogThreshold=0\r\n", lsTrace, {{"txt", lsTrace}}, " "},
        {"", "LogThreshold=9", lsFatal, {{"txt", lsFatal}}, " "},
        {"", "LogThreshold=-3", lsTrace, {{"txt", lsTrace}}, " "},
        {"LogThreshold=1", "LogThreshold=abc", lsDebug, {{"txt", lsDebug}}, " "},
        {"LogThreshold=4", "LogThreshold=1", lsDebug, {{"txt", lsDebug}}, " "},
        {"", "LogClasses=txt=4|dbg=0", lsInformation, {{"txt", lsError}, {"dbg", lsTrace}}, " "},
        {"LogClasses=dbg=3", "", lsInformation, {{"dbg", lsWarning}}, " "},
        {"LogClasses=dbg=3", "LogClasses=txt", lsInformation, {{"txt", lsInformation}}, " "},
        {"",
         "LogThreshold=1\nLogClasses=TXT=x dbg=7 foo=1 txt=0",
         lsDebug,
         {{"txt", lsDebug}, {"dbg", lsFatal}},
         " "},
        {"", "LogClasses=\"dbg=1\"||Txt=-2||", lsInformation, {{"dbg", lsDebug}, {"txt", lsTrace}}, " "},
        {"", "LogClasses=", lsInformation, {}, " "},
        {"", "LogDelimiter=\" | \"", lsInformation, {{"txt", lsInformation}}, " | "},
        {"LogDelimiter=;", "", lsInformation, {{"txt", lsInformation}}, ";"},
        {"",
         "; comment\n[Other]\nLogThreshold=0\n[Pellog]\nLogThreshold=3\n",
         lsWarning,
         {{"txt", lsWarning}},
         " "},
        {"", "[Other]\nLogThreshold=0\n", lsInformation, {{"txt", lsInformation}}, " "},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Dir / "machine.conf");
        std::filesystem::remove(Dir / "user.conf");
        auto publisher = Make(c.Machine, c.User);
        const std::string label = std::string(c.Machine) + " / " + c.User;
        EXPECT_EQ(publisher->SeverityThreshold(), c.Threshold) << label;
        EXPECT_EQ(SinksOf(*publisher), c.Sinks) << label;
        EXPECT_EQ(publisher->LogDelimiter(), c.Delimiter) << label;
    }
}

TEST_F(LogPublisherTest, EachSinkTakesTheLinesOfItsOwnThreshold) {
    auto publisher = Make("", "LogClasses=txt=4|dbg=0");
    for (int s = lsTrace; s <= lsFatal; ++s) {
        publisher->AddToLog(static_cast<TLogSeverity>(s), "m" + std::to_string(s));
    }
    // The file from error on; the debugger channel everything the publisher lets through.
    EXPECT_EQ(FileMessages(), (std::vector<std::string>{"m4", "m5"}));
    ASSERT_EQ(DebugLines().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const std::string name(LogSeverityName(static_cast<TLogSeverity>(i + 2)));
        EXPECT_EQ(DebugLines()[i].substr(0, 15), "Tolvane - " + name) << i;
        EXPECT_EQ(DebugLines()[i].substr(DebugLines()[i].size() - 3), " m" + std::to_string(i + 2));
    }

    publisher->SetSeverityThreshold(lsTrace);
    publisher->Trace("now passes");
    EXPECT_EQ(DebugLines().back().substr(0, 16), "Tolvane - Trace ");
}

TEST_F(LogPublisherTest, TraceReachesTheFileWithThresholdZero) {
    auto publisher = Make("", "LogThreshold=0");
    publisher->Trace("Processing file Pass 1 /data/a.gml");
    EXPECT_EQ(FileMessages(), std::vector<std::string>{"Processing file Pass 1 /data/a.gml"});
    EXPECT_NE(ReadFile(Dir / "prog.log").find("  Trace $"), std::string::npos);
}

TEST_F(LogPublisherTest, MessageWithLineBreaksIsOneLine) {
    auto publisher = Make("", "LogDelimiter=|");
    publisher->AddToLog(lsWarning, "one\r\ntwo\nthree\rfour");
    const auto lines = SplitCrLf(ReadFile(Dir / "prog.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(23), " |Warn |$" + lines[0].substr(32, 8) + "|one two three four");
}

TEST_F(LogPublisherTest, FormattedAndExceptionMessages) {
    auto publisher = Make("", "LogClasses=dbg");
    publisher->AddToLogFmt(lsError, "%d files, %s", 3, "done");
    publisher->AddToLogExcept(lsError, "Reading failed", EFOpenError("Cannot open file \"a\". No such file"));
    publisher->AddToLogExcept(lsError, "Plain", std::runtime_error("why"));
    publisher->AddToLogExcept(lsDebug, "below the threshold", std::runtime_error("no"));
    ASSERT_EQ(DebugLines().size(), 3u);
    auto message = [](const std::string& Line) { return Line.substr(Line.find(" $") + 11); };
    EXPECT_EQ(message(DebugLines()[0]), "3 files, done");
    EXPECT_EQ(message(DebugLines()[1]),
              "Reading failed. Exception: EFOpenError - Cannot open file \"a\". No such file");
    EXPECT_EQ(message(DebugLines()[2]), "Plain. Exception: runtime_error - why");
}

class TRecordingLogger : public TCustomLogger {
public:
    using TCustomLogger::TCustomLogger;
    void DoAddToLog(const std::string& Msg) override { Lines.push_back(Msg); }
    std::vector<std::string> Lines;
};

class TDerivedRecordingLogger : public TRecordingLogger {
public:
    using TRecordingLogger::TRecordingLogger;
};

class TFailingLogger : public TCustomLogger {
public:
    using TCustomLogger::TCustomLogger;
    void DoAddToLog(const std::string&) override { throw std::runtime_error("sink failed"); }
};

TEST_F(LogPublisherTest, RegisterLogClassKeepsOneSinkPerClass) {
    auto publisher = Make("", "LogClasses=");
    publisher->RegisterLogClass<TDerivedRecordingLogger>(lsTrace);
    publisher->RegisterLogClass<TRecordingLogger>(lsError);         // a descendant is there already
    publisher->RegisterLogClass<TDerivedRecordingLogger>(lsError);  // the class itself
    ASSERT_EQ(publisher->Sinks().size(), 1u);
    EXPECT_EQ(publisher->Sinks()[0]->SeverityThreshold, lsTrace);
}

TEST_F(LogPublisherTest, FailingSinkDoesNotStopTheOthers) {
    auto publisher = Make("", "LogClasses=");
    publisher->RegisterLogClass<TFailingLogger>(lsTrace);
    publisher->RegisterLogClass<TRecordingLogger>(lsTrace);
    EXPECT_NO_THROW(publisher->AddToLog(lsError, "a"));
    EXPECT_NO_THROW(publisher->AddToLog(lsFatal, "b"));
    const auto& lines = static_cast<TRecordingLogger&>(*publisher->Sinks()[1]).Lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 6), "Fatal ");
}

TEST_F(LogPublisherTest, LogGoesToTheStateFolderWhenNoFileCanBeWrittenNextToTheProgram) {
    TLogPlatform platform = Platform();
    platform.ProgramFile = Dir / "not-a-folder/bin/itn2brinlow-cli";
    WriteFile(Dir / "not-a-folder", "a file where the program's folder would be");
    TLogPublisher publisher(platform);
    publisher.AddToLog(lsWarning, "first");
    publisher.AddToLog(lsWarning, "second");
    const auto& sink = dynamic_cast<TFileLogger&>(*publisher.Sinks()[0]);
    EXPECT_EQ(sink.GetLogFileName(), Dir / "not-a-folder/bin/itn2brinlow-cli.log");
    EXPECT_EQ(sink.UsedLogFileName(), Dir / "state/itn2brinlow/itn2brinlow-cli.log");
    EXPECT_EQ(SplitCrLf(ReadFile(sink.UsedLogFileName())).size(), 2u);

    // Nowhere to write at all: the lines are lost, the caller is not troubled.
    platform.FallbackLogFolder = Dir / "not-a-folder/state/";
    TLogPublisher nowhere(platform);
    EXPECT_NO_THROW(nowhere.AddToLog(lsError, "lost"));
    EXPECT_EQ(dynamic_cast<TFileLogger&>(*nowhere.Sinks()[0]).UsedLogFileName(), "");
}

TEST_F(LogPublisherTest, LinesFromSeveralThreadsStayWhole) {
    auto publisher = Make("", "LogThreshold=0");
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&publisher, t] {
            for (int i = 0; i < kLines; ++i)
                publisher->Trace("thread " + std::to_string(t) + " line " + std::to_string(i));
        });
    }
    for (auto& thread : threads) thread.join();

    const auto lines = SplitCrLf(ReadFile(Dir / "prog.log"));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
    const std::regex shape(R"(.{24} Trace \$([0-9A-F]{8}) thread (\d) line (\d+))");
    std::map<int, int> next;  // per thread, the next line number expected
    std::set<std::string> ids;
    for (const std::string& line : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, shape)) << line;
        ids.insert(m[1]);
        EXPECT_EQ(std::stoi(m[3]), next[std::stoi(m[2])]++) << line;
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(kThreads));
}

TEST(LogSeverityTest, NamesAndClamping) {
    const char* const names[] = {"Trace", "Debug", "Info ", "Warn ", "Error", "Fatal"};
    for (int s = lsTrace; s <= lsFatal; ++s)
        EXPECT_EQ(LogSeverityName(static_cast<TLogSeverity>(s)), names[s]);
    EXPECT_EQ(ClampSeverity(-1), lsTrace);
    EXPECT_EQ(ClampSeverity(3), lsWarning);
    EXPECT_EQ(ClampSeverity(6), lsFatal);
}

TEST(LogPublisherGlobalTest, DebugSinkWritesToStandardError) {
    TLogPlatform platform;
    TempDir dir;
    WriteFile(dir / "user.conf", "[Pellog]\nLogClasses=dbg=0\n");
    platform.UserConfigFile = dir / "user.conf";
    TLogPublisher publisher(platform);
    testing::internal::CaptureStderr();
    publisher.AddToLog(lsInformation, "to stderr");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.substr(0, 16), "Tolvane - Info  ");
    EXPECT_EQ(err.substr(err.size() - 11), " to stderr\n");
    EXPECT_EQ(&LogPublisher(), &LogPublisher());
}

}  // namespace
}  // namespace itn
