// What a run leaves in its output folder: the whole output set after a completed run, the
// earlier files byte for byte after a failed or interrupted one, nothing else in either case.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

extern char** environ;

namespace fs = std::filesystem;
using itn::test::ReadFile;
using itn::test::TempDir;
using itn::test::WriteFile;

namespace {

const std::string kCli = std::string(ITN_BINARY_DIR) + "/src/cli/itn2brinlow-cli";
const std::string kData = std::string(ITN_TEST_DATA_DIR) + "/roadjob";
const std::string kSample = std::string(ITN_TEST_DATA_DIR) + "/../../data/sample";

const std::vector<std::string> kFormats = {"mif", "shp", "tab", "gml2", "kml", "geojson", "csv"};

struct TRun {
    int status = -1;  // exit status, or 128 + signal when killed by one
    std::string out, err;
};

// Everything in a folder: each entry's name with its bytes, or "-> target" for a link.
using TSnapshot = std::map<std::string, std::string>;

TSnapshot Snapshot(const fs::path& Folder) {
    TSnapshot entries;
    for (const auto& entry : fs::directory_iterator(Folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink()) entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory()) entries[name] = "<folder>";
        else entries[name] = ReadFile(entry.path().string());
    }
    return entries;
}

std::vector<std::string> Names(const TSnapshot& Entries) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : Entries) names.push_back(name);
    return names;
}

std::string Quote(const std::string& Arg) {
    std::string q = "'";
    for (char c : Arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A tile of Count road links, numbered from First, each with three points.
std::string GeneratedTile(int Count, int First) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osgb:FeatureCollection fid=\"g\">\n";
    for (int i = 0; i < Count; ++i) {
        const std::string x = std::to_string(First + i);
        text += " <osgb:networkMember><osgb:RoadLink fid=\"osgb5" + std::string(15 - x.size(), '0') + x +
                "\"><osgb:version>1</osgb:version><osgb:descriptiveTerm>B Road</osgb:descriptiveTerm><osgb:polyline>"
                "<gml:LineString><gml:coordinates>" + x + ",1 " + x + ".5,2 " + x + ",3</gml:coordinates>"
                "</gml:LineString></osgb:polyline></osgb:RoadLink></osgb:networkMember>\n";
    }
    return text + "</osgb:FeatureCollection>\n";
}

// A tile with one road link whose descriptive term and coordinates are given.
std::string OneLinkTile(const std::string& Term, const std::string& Coordinates) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osgb:FeatureCollection fid=\"x\">\n"
           " <osgb:networkMember><osgb:RoadLink fid=\"osgb4000000000000001\"><osgb:version>1</osgb:version>"
           "<osgb:descriptiveTerm>" + Term + "</osgb:descriptiveTerm>\n"
           "  <osgb:polyline><gml:LineString><gml:coordinates>" + Coordinates +
           "</gml:coordinates></gml:LineString></osgb:polyline></osgb:RoadLink></osgb:networkMember>\n"
           "</osgb:FeatureCollection>\n";
}

class OutputSetTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() {
        delete big;
        big = nullptr;
    }

    // Two tiles large enough that a run disturbed at a chosen moment is still busy then; made
    // once, by the first test that needs them.
    static std::vector<std::string> BigTiles() {
        if (!big) {
            big = new TempDir;
            WriteFile(*big / "big_a.gml", GeneratedTile(150000, 1));
            WriteFile(*big / "big_b.gml", GeneratedTile(150000, 150001));
        }
        return {*big / "big_a.gml", *big / "big_b.gml"};
    }

    fs::path Out() const { return dir.path() / "out"; }

    std::vector<std::string> Args(const std::string& Format, const std::vector<std::string>& Roads,
                                  bool TurnRestrictions = true) const {
        std::vector<std::string> args = {"--out=" + Out().string(), "--format=" + Format,
                                         std::string("--turn-restrictions=") + (TurnRestrictions ? "on" : "off")};
        for (const std::string& road : Roads) args.push_back("--roads=" + road);
        return args;
    }

    // Runs the command line tool, with a file size limit in KiB when Limit is above 0.
    // Its output goes to files whose names start with Prefix.
    TRun Run(const std::vector<std::string>& Args, int Limit = 0, const std::string& Prefix = "") const {
        const std::string out = dir / (Prefix + "stdout"), err = dir / (Prefix + "stderr");
        std::string command = Quote(kCli);
        for (const std::string& arg : Args) command += " " + Quote(arg);
        command += " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null";
        if (Limit > 0) command = "bash -c " + Quote("ulimit -f " + std::to_string(Limit) + "; " + command);
        const int raw = std::system(command.c_str());
        TRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadFile(out);
        run.err = ReadFile(err);
        return run;
    }

    // A completed earlier run of the format into the output folder, and what it left.
    TSnapshot EarlierResult(const std::string& Format) {
        const TRun run = Run(Args(Format, {kData + "/roads_a.gml", kData + "/roads_b.gml"}));
        EXPECT_EQ(run.status, 0) << run.err;
        return Snapshot(Out());
    }

    // Starts the tool in the background; Ready is polled until it holds, then Signal is sent.
    TRun RunAndSignal(const std::vector<std::string>& Args, int Signal, const std::function<bool(pid_t)>& Ready) {
        return RunAndAct(Args, Ready, [Signal](pid_t Pid) { kill(Pid, Signal); });
    }

    // Starts the tool in the background, stdout and stderr into files of the test folder;
    // the process id, or -1.
    pid_t Start(const std::vector<std::string>& Args) const {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, (dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> all = {kCli};
        all.insert(all.end(), Args.begin(), Args.end());
        std::vector<char*> argv;
        for (std::string& arg : all) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, kCli.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // True while the process has File open.
    static bool HasOpen(pid_t Pid, const fs::path& File) {
        std::error_code ec;
        for (fs::directory_iterator it("/proc/" + std::to_string(Pid) + "/fd", ec), end; !ec && it != end;
             it.increment(ec)) {
            std::error_code linkError;
            if (fs::read_symlink(it->path(), linkError) == File) return true;
        }
        return false;
    }

    // Starts the tool in the background; Ready is polled until it holds, then Act is done.
    TRun RunAndAct(const std::vector<std::string>& Args, const std::function<bool(pid_t)>& Ready,
                   const std::function<void(pid_t)>& Act) {
        TRun run;
        const pid_t pid = Start(Args);
        if (pid < 0) return run;
        int raw = 0;
        bool sent = false;
        while (waitpid(pid, &raw, WNOHANG) == 0) {
            if (!sent && Ready(pid)) {
                Act(pid);
                sent = true;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        EXPECT_TRUE(sent) << "the run ended before it could be disturbed";
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : -1;
        run.out = ReadFile(dir / "stdout");
        run.err = ReadFile(dir / "stderr");
        return run;
    }

    // The run's work folder inside the output folder, once it exists.
    fs::path WorkFolder(pid_t Pid) const { return Out() / (".itn2brinlow-work-" + std::to_string(Pid)); }

    // True once the run has begun to write its network file.
    bool Writing(pid_t Pid) const {
        std::error_code ec;
        for (fs::directory_iterator it(WorkFolder(Pid), ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().filename().string().rfind("ITN_network.", 0) == 0 && it->file_size(ec) > 0) return true;
        }
        return false;
    }

    TempDir dir;
    static TempDir* big;
};

TempDir* OutputSetTest::big = nullptr;

// A failure in each pass: the earlier result stays as it was and no file of the run is left.
TEST_F(OutputSetTest, FailureInEachPassKeepsTheEarlierResult) {
    WriteFile(dir / "bad_xml.gml", "<?xml version=\"1.0\"?>\n<a><b></c></a>\n");
    // A vehicle qualifier with a bad exceptFor value: found while phase 2 reads the third file.
    WriteFile(dir / "bad_qualifier.gml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osgb:FeatureCollection fid=\"x\">\n"
              " <osgb:roadInformationMember><osgb:RoadLinkInformation fid=\"osgb4000000000000002\">"
              "<osgb:version>1</osgb:version><osgb:instruction>Access Limited To</osgb:instruction>"
              "<osgb:vehicleQualifier><osgb:use exceptFor=\"maybe\">Access</osgb:use></osgb:vehicleQualifier>"
              "<osgb:referenceToRoadLink xlink:href=\"#osgb4000000000000001\"/></osgb:RoadLinkInformation>"
              "</osgb:roadInformationMember>\n</osgb:FeatureCollection>\n");
    struct Case {
        const char* name;
        std::string last;     // the third road file
        std::string out;      // the message list up to the failure: which pass it was
        std::string message;  // the start of the error
    };
    const Case cases[] = {
        {"xml error in the last file, phase 1", dir / "bad_xml.gml", "1 / 3\n2 / 3\n3 / 3\n",
         "Incorrect close tag in element b (bad_xml.gml, line 2, column 8)"},
        {"qualifier error, phase 2", dir / "bad_qualifier.gml", "1 / 3\n2 / 3\n3 / 3\n1 / 3\n2 / 3\n3 / 3\n",
         "Invalid exceptFor value (bad_qualifier.gml, line 3, column "},
    };
    for (const std::string& format : kFormats) {
        const TSnapshot before = EarlierResult(format);
        for (const Case& c : cases) {
            SCOPED_TRACE(format + ": " + c.name);
            const TRun run = Run(Args(format, {kData + "/roads_a.gml", kData + "/roads_b.gml", c.last}));
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, c.out);
            EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
            EXPECT_EQ(Snapshot(Out()), before);
        }
    }
}

// A full disk, as a file size limit: the message names the final file and the reason, and the
// earlier result stays.
TEST_F(OutputSetTest, WriteFailureInEveryFormatKeepsTheEarlierResult) {
    for (const std::string& format : kFormats) {
        SCOPED_TRACE(format);
        const TSnapshot before = EarlierResult(format);
        const TRun run = Run(Args(format, {kSample + "/roads_0001.gml"}), 8);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(Out().string() + "/"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(".itn2brinlow-work"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("terminate"), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(Out()), before);
    }
}

// SIGINT, SIGTERM and SIGHUP while the run reads and while it writes: the run stops, says
// that nothing was written, exits with 128 + the signal, and leaves the earlier result.
TEST_F(OutputSetTest, SignalsKeepTheEarlierResult) {
    auto reading = [this](pid_t Pid) { return fs::exists(WorkFolder(Pid)); };
    auto writing = [this](pid_t Pid) { return Writing(Pid); };
    struct Case {
        const char* when;
        int signal;
        const char* name;
        std::function<bool(pid_t)> ready;
    };
    const Case cases[] = {{"reading", SIGINT, "SIGINT", reading},   {"writing", SIGTERM, "SIGTERM", writing},
                          {"reading", SIGTERM, "SIGTERM", reading}, {"writing", SIGINT, "SIGINT", writing},
                          {"writing", SIGHUP, "SIGHUP", writing}};
    for (const std::string& format : kFormats) {
        const TSnapshot before = EarlierResult(format);
        for (const Case& c : cases) {
            // Every signal and moment in MIF; the other formats with the first two cases.
            if (format != "mif" && &c - cases >= 2) continue;
            SCOPED_TRACE(format + ": " + c.name + " while " + c.when);
            const TRun run = RunAndSignal(Args(format, BigTiles()), c.signal, c.ready);
            EXPECT_EQ(run.status, 128 + c.signal) << run.err;
            EXPECT_EQ(run.err, std::string("Interrupted by ") + c.name + ". Stopped: nothing was written\n");
            EXPECT_EQ(run.out.find("Done"), std::string::npos);
            EXPECT_EQ(Snapshot(Out()), before);
        }
    }
}

// The output folder removed while the run writes: the run fails instead of saying "Done".
TEST_F(OutputSetTest, OutputFolderRemovedDuringTheRunIsAFailure) {
    fs::create_directories(Out());
    const TRun run = RunAndAct(Args("mif", BigTiles()),
                               [this](pid_t Pid) { return Writing(Pid); },
                               [this](pid_t) { fs::remove_all(Out()); });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.find("Done"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(Out().string()), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Out()));
}

// A road file renamed over by another between passes stops the run, naming the file; an
// earlier result stays.
TEST_F(OutputSetTest, InputReplacedBetweenPassesStopsTheRun) {
    const TSnapshot before = EarlierResult("mif");
    const fs::path first = dir.path() / "roads_1.gml", replacement = dir.path() / "roads_new.gml";
    const std::vector<std::string> tiles = BigTiles();
    fs::copy_file(tiles[0], first);
    fs::copy_file(tiles[0], replacement);  // the same bytes, another file
    // Once the first pass has the file open, the file of that name is replaced.
    auto opened = [&first](pid_t Pid) { return HasOpen(Pid, first); };
    const TRun run = RunAndAct(Args("mif", {first.string(), tiles[1]}), opened,
                               [&](pid_t) { fs::rename(replacement, first); });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Input file \"" + first.string() +
                           "\" was replaced by another file while the conversion was reading it. Nothing was written\n");
    EXPECT_EQ(Snapshot(Out()), before);
}

// An urban file's XML error names the file, line and column, and the earlier result stays.
TEST_F(OutputSetTest, UrbanFileErrorSaysWhere) {
    const TSnapshot before = EarlierResult("mif");
    WriteFile(dir / "urban.gml", "<?xml version=\"1.0\"?>\n<osgb:FeatureCollection>\n  <a></b>\n</osgb:FeatureCollection>\n");
    std::vector<std::string> args = Args("mif", {kData + "/roads_a.gml"});
    args.push_back("--urban=" + dir / "urban.gml");
    const TRun run = Run(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Start-end tags mismatch (urban.gml, line 3, column 8)\n");
    EXPECT_EQ(Snapshot(Out()), before);
}

// A run that waits for input that does not come (a pipe nobody writes to) ends at a second
// signal; the earlier result stays, and the next run removes what the killed one left.
TEST_F(OutputSetTest, SecondSignalEndsARunThatWaits) {
    const TSnapshot before = EarlierResult("mif");
    const fs::path fifo = dir.path() / "never.gml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Held open so that opening it for reading does not block; not passed on to the run.
    const int keepOpen = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(keepOpen, 0);
    const pid_t pid = Start(Args("mif", {fifo.string()}));
    ASSERT_GT(pid, 0);
    // Reading: the work folder is there and the pipe is open.
    while (!fs::exists(WorkFolder(pid)) || !HasOpen(pid, fifo)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Signals sent at once merge into one: send them until the process has gone.
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
        kill(pid, SIGINT);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(keepOpen);
    ASSERT_TRUE(WIFSIGNALED(raw));
    EXPECT_EQ(WTERMSIG(raw), SIGINT);
    TSnapshot after = Snapshot(Out());
    after.erase(WorkFolder(pid).filename().string());
    EXPECT_EQ(after, before);
    const TRun next = Run(Args("mif", {kData + "/roads_a.gml", kData + "/roads_b.gml"}));
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(Snapshot(Out()), before);
}

// A second run into a folder that a run holds fails at once and touches nothing.
TEST_F(OutputSetTest, SecondRunIntoTheSameFolderFails) {
    const TSnapshot before = EarlierResult("mif");
    const int folder = ::open(Out().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    ASSERT_EQ(::flock(folder, LOCK_EX | LOCK_NB), 0);
    const TRun run = Run(Args("mif", {kData + "/roads_a.gml"}, false));
    ::close(folder);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Another conversion is writing into the output folder \"" + Out().string() +
                           "/\". Wait until it has finished or choose another folder\n");
    EXPECT_EQ(Snapshot(Out()), before);
    // Released: the next run goes ahead.
    EXPECT_EQ(Run(Args("mif", {kData + "/roads_a.gml"})).status, 0);
}

// Two runs into one folder at the same time: the second fails at once and changes nothing,
// the first completes with its own output set.
TEST_F(OutputSetTest, ConcurrentRunsIntoOneFolder) {
    const TSnapshot before = EarlierResult("mif");
    TRun second;
    const TRun first = RunAndAct(Args("mif", BigTiles(), false), [this](pid_t Pid) { return Writing(Pid); },
                                 [&](pid_t) {
                                     second = Run(Args("mif", {kData + "/roads_a.gml"}), 0, "second_");
                                 });
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err.rfind("Another conversion is writing into the output folder", 0), 0u) << second.err;
    EXPECT_EQ(first.status, 0) << first.err;
    const TSnapshot after = Snapshot(Out());
    EXPECT_EQ(Names(after), Names(before));  // turn.txt of the earlier run stays beside it
    EXPECT_EQ(after.at("turn.txt"), before.at("turn.txt"));
    EXPECT_NE(after.at("ITN_network.mid"), before.at("ITN_network.mid"));
    EXPECT_NE(after.at("ITN_network.mid").find("\"5000000000300000\""), std::string::npos);
}

// Output names that are symbolic links are replaced; the files they point at stay as they were
// and a dangling link does not create a file elsewhere.
TEST_F(OutputSetTest, SymbolicLinksAmongTheOutputsAreReplaced) {
    const TSnapshot before = EarlierResult("mif");
    WriteFile(dir / "victim.txt", "someone else's file\n");
    fs::remove(Out() / "ITN_network.mid");
    fs::create_symlink(dir / "victim.txt", Out() / "ITN_network.mid");
    fs::remove(Out() / "turn.txt");
    fs::create_symlink(dir / "nowhere.txt", Out() / "turn.txt");
    const TRun run = Run(Args("mif", {kData + "/roads_a.gml", kData + "/roads_b.gml"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir / "victim.txt"), "someone else's file\n");
    EXPECT_FALSE(fs::exists(dir / "nowhere.txt"));
    for (const char* name : {"ITN_network.mid", "turn.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Out() / name))) << name;
        EXPECT_EQ(ReadFile(Out() / name), before.at(name)) << name;
    }
}

// A completed run leaves exactly its output set; a work folder of a killed run goes.
TEST_F(OutputSetTest, CompletedRunLeavesOnlyItsOutputSet) {
    fs::create_directories(Out() / ".itn2brinlow-work-999999");
    WriteFile(Out() / ".itn2brinlow-work-999999" / "ITN_network.mid", "half");
    const TRun run = Run(Args("shp", {kData + "/roads_a.gml"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Names(Snapshot(Out())),
              (std::vector<std::string>{"ITN_network.cpg", "ITN_network.dbf", "ITN_network.prj", "ITN_network.shp",
                                        "ITN_network.shx", "VehicleType.txt", "VehicleUse.txt", "turn.txt"}));
}

// A run without turn restrictions says that an earlier turn.txt is still there, and keeps it.
TEST_F(OutputSetTest, EarlierTurnFileIsReported) {
    const TSnapshot before = EarlierResult("mif");
    TRun run = Run(Args("mif", {kData + "/roads_a.gml"}, false));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Warning: turn.txt in the output folder is from an earlier run and was left as it is\n");
    EXPECT_EQ(ReadFile(Out() / "turn.txt"), before.at("turn.txt"));
    // Without one, no warning.
    fs::remove(Out() / "turn.txt");
    run = Run(Args("mif", {kData + "/roads_a.gml"}, false));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

// Control characters in names are left out of GML 2 and KML, which then still parse; one
// warning names the first feature.
TEST_F(OutputSetTest, ControlCharactersInNamesKeepXmlOutputWellFormed) {
    WriteFile(dir / "controls.gml", OneLinkTile("B&#1; Road\x02\x1b", "1,1 2,2"));
    const std::pair<std::string, std::string> formats[] = {{"gml2", "ITN_network.xml"}, {"kml", "ITN_network.kml"}};
    for (const auto& [format, file] : formats) {
        SCOPED_TRACE(format);
        const TRun run = Run(Args(format, {dir / "controls.gml"}, false));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("Found unknown descriptiveTerm: B\\x01 Road\\x02\\x1B\n"), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "Warning: characters that XML does not allow were left out of the output, first in "
                           "feature 4000000000000001\n");
        const std::string xml = ReadFile(Out() / file);
        EXPECT_NE(xml.find("B Road"), std::string::npos);
        const std::string parse = "python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' " +
                                  Quote((Out() / file).string());
        EXPECT_EQ(std::system(parse.c_str()), 0);
        if (format == "gml2" && std::system("command -v ogrinfo >/dev/null 2>&1") == 0) {
            const std::string info =
                itn::test::RunCommand("ogrinfo -ro -al -so " + Quote((Out() / file).string()) + " 2>&1");
            EXPECT_NE(info.find("Feature Count: 1"), std::string::npos) << info;
        }
    }
}

// A coordinate that is not a finite number stops the run, naming the file and the feature.
TEST_F(OutputSetTest, NonFiniteCoordinatesStopTheRun) {
    const std::pair<std::string, std::string> cases[] = {
        {"nan", "'nan'"}, {"inf", "'inf'"}, {"-Infinity", "'-Infinity'"}, {"1e308", "'1e308'"}, {"1e999", "'1e999'"}};
    for (const std::string format : {"mif", "shp", "geojson"}) {
        const TSnapshot before = EarlierResult(format);
        for (const auto& [value, quoted] : cases) {
            SCOPED_TRACE(format + " " + value);
            WriteFile(dir / "coords.gml", OneLinkTile("B Road", "1,1 2," + value + " 3,3"));
            const TRun run = Run(Args(format, {dir / "coords.gml"}));
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err.rfind(quoted + " is not a finite coordinate in feature 4000000000000001 (coords.gml, line 4, column ", 0), 0u)
                << run.err;
            EXPECT_EQ(Snapshot(Out()), before);
        }
    }
    // Exponents that give ordinary values are fine.
    WriteFile(dir / "coords.gml", OneLinkTile("B Road", "1e2,1E2 2.5e+2,2"));
    EXPECT_EQ(Run(Args("mif", {dir / "coords.gml"})).status, 0);
}

}  // namespace
