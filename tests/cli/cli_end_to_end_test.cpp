// Runs itn2brinlow-cli on small hand-made tiles and compares whole output files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_info.h"

namespace fs = std::filesystem;

namespace {

const std::string kCli = std::string(ITN_BINARY_DIR) + "/src/cli/itn2brinlow-cli";
const std::string kData = std::string(ITN_TEST_DATA_DIR) + "/roadjob";

struct TRun {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& File, const std::string& Text) {
    std::ofstream(File, std::ios::binary) << Text;
}

std::string Quote(const std::string& Arg) {
    std::string q = "'";
    for (char c : Arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(ITN_BINARY_DIR) / "tests" / "cli_runs" / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    // Env: "NAME=value " assignments put before the program, or empty.
    TRun Run(const std::vector<std::string>& Args, const std::string& Env = "") {
        std::string command = Env + Quote(kCli);
        for (const std::string& arg : Args) command += " " + Quote(arg);
        command += " >" + Quote((dir / "stdout").string()) + " 2>" + Quote((dir / "stderr").string()) + " </dev/null";
        const int raw = std::system(command.c_str());
        TRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadAll(dir / "stdout");
        run.err = ReadAll(dir / "stderr");
        return run;
    }

    // The stdout lines with the elapsed time of the last line blanked.
    static std::string Messages(const std::string& Out) {
        const size_t done = Out.rfind("Done in ");
        if (done == std::string::npos) return Out;
        return Out.substr(0, done) + "Done in hh:mm:ss" + Out.substr(Out.find(" (hh:mm:ss)", done));
    }

    void ExpectSameFile(const fs::path& Expected, const fs::path& Actual) {
        ASSERT_TRUE(fs::exists(Actual)) << Actual;
        EXPECT_EQ(ReadAll(Actual), ReadAll(Expected)) << Actual << " differs from " << Expected;
    }

    void ExpectOutputs(const std::string& ExpectedName, const fs::path& Out,
                       const std::vector<std::string>& Files) {
        for (const std::string& file : Files) ExpectSameFile(fs::path(kData) / "expected" / ExpectedName / file, Out / file);
    }

    fs::path dir;
};

const std::vector<std::string> kMifFiles = {"ITN_network.mif", "ITN_network.mid", "VehicleUse.txt",
                                            "VehicleType.txt", "turn.txt"};

const char* const kTwoTileMessages =
    "1 / 2\n2 / 2\n1 / 2\n2 / 2\n1 / 2\n"
    "Found unknown descriptiveTerm: Track\n"
    "2 / 2\n"
    "Found unknown descriptiveTerm: \n"
    "Done in hh:mm:ss (hh:mm:ss)\n";

TEST_F(CliTest, TwoTilesWithEveryColumnInInches) {
    const TRun run = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + kData + "/roads_a.gml",
                          "--roads", kData + "/roads_b.gml", "--turn-restrictions=on", "--attribute2=on",
                          "--attributec=on"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Messages(run.out), kTwoTileMessages);
    EXPECT_EQ(run.err, "");
    ExpectOutputs("two_tiles", dir / "out", kMifFiles);
}

TEST_F(CliTest, CentimetresWithoutLoopSplittingOrRoutingColumns) {
    const TRun run = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + kData + "/roads_a.gml",
                          "--roads=" + kData + "/roads_b.gml", "--max-height-unit=cm", "--split-loop-links=off",
                          "--attribute4=off", "--avoid-pattern=off", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectOutputs("two_tiles_cm", dir / "out", {"ITN_network.mif", "ITN_network.mid"});
    EXPECT_FALSE(fs::exists(dir / "out" / "turn.txt"));
}

// A .gz tile next to a user's own .gml of the same name: the conversion reads the .gz, leaves
// both files as they were and leaves no expansion behind, with and without keeping them.
TEST_F(CliTest, GzipInputLeavesInputsAlone) {
    fs::copy_file(kData + "/roads_b.gml", dir / "tile.gml");
    ASSERT_EQ(std::system(("gzip -c " + Quote(kData + "/roads_b.gml") + " > " + Quote((dir / "tile.gz").string())).c_str()), 0);
    WriteAll(dir / "tile.gml", "a user's own file\n");
    const std::string gz = ReadAll(dir / "tile.gz");
    for (const char* save : {"off", "on"}) {
        SCOPED_TRACE(save);
        const fs::path out = dir / (std::string("out_") + save);
        const TRun run = Run({"--out=" + out.string(), "--format=mif", "--roads=" + kData + "/roads_a.gml",
                              "--roads=" + (dir / "tile.gz").string(), "--turn-restrictions=on", "--attribute2=on",
                              "--attributec=on", std::string("--save-unzipped=") + save});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Messages(run.out), kTwoTileMessages);
        ExpectOutputs("two_tiles", out, kMifFiles);
        EXPECT_EQ(ReadAll(dir / "tile.gml"), "a user's own file\n");
        EXPECT_EQ(ReadAll(dir / "tile.gz"), gz);
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file()) left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"stderr", "stdout", "tile.gml", "tile.gz"}));
    }
}

// Names of the entries of a folder, sorted.
std::vector<std::string> Listing(const fs::path& Folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Gzip(const std::string& From, const fs::path& To, const char* Level = "") {
    ASSERT_EQ(std::system(("gzip -c " + std::string(Level) + " " + Quote(From) + " > " + Quote(To.string())).c_str()), 0);
}

// Every output format gives the same files, byte for byte, for the tiles plain and compressed,
// also with the same .gz given twice (as the plain file given twice).
TEST_F(CliTest, GzAndPlainInputGiveTheSameOutputInEveryFormat) {
    const fs::path in = dir / "in";
    fs::create_directories(in);
    Gzip(kData + "/roads_a.gml", in / "a.gz");
    // Two members: the second tile split in two.
    const std::string b = ReadAll(kData + "/roads_b.gml");
    WriteAll(in / "b1.gml", b.substr(0, b.size() / 2));
    WriteAll(in / "b2.gml", b.substr(b.size() / 2));
    Gzip((in / "b1.gml").string(), in / "b.gz");
    Gzip((in / "b2.gml").string(), in / "b2.gz", "-1");
    WriteAll(in / "b.gz", ReadAll(in / "b.gz") + ReadAll(in / "b2.gz"));
    fs::remove(in / "b1.gml");
    fs::remove(in / "b2.gml");
    fs::remove(in / "b2.gz");
    struct Inputs {
        const char* Name;
        std::vector<std::string> Files;
    };
    const Inputs plain{"plain", {kData + "/roads_a.gml", kData + "/roads_b.gml", kData + "/roads_b.gml"}};
    const Inputs gz{"gz", {(in / "a.gz").string(), (in / "b.gz").string(), (in / "b.gz").string()}};
    for (const char* format : {"mif", "shp", "gml2", "kml", "geojson", "csv"}) {
        SCOPED_TRACE(format);
        for (const Inputs* inputs : {&plain, &gz}) {
            std::vector<std::string> args = {"--out=" + (dir / format / inputs->Name).string(),
                                             std::string("--format=") + format, "--turn-restrictions=on",
                                             "--attribute2=on", "--quiet"};
            for (const std::string& file : inputs->Files) args.push_back("--roads=" + file);
            const TRun run = Run(args);
            ASSERT_EQ(run.status, 0) << run.err;
        }
        const std::vector<std::string> files = Listing(dir / format / "plain");
        ASSERT_EQ(Listing(dir / format / "gz"), files);
        for (const std::string& file : files) ExpectSameFile(dir / format / "plain" / file, dir / format / "gz" / file);
    }
    EXPECT_EQ(Listing(in), (std::vector<std::string>{"a.gz", "b.gz"}));
}

// .gz input in a folder the run cannot write to; a run that fails on a damaged .gz and a run
// stopped while reading leave the folder as it was.
TEST_F(CliTest, GzInputFolderIsNeverWritten) {
    const fs::path in = dir / "in";
    fs::create_directories(in);
    Gzip(kData + "/roads_a.gml", in / "a.gz");
    Gzip(kData + "/roads_b.gml", in / "b.gz");
    const std::string whole = ReadAll(in / "b.gz");
    WriteAll(in / "cut.gz", whole.substr(0, whole.size() / 2));
    ASSERT_EQ(::mkfifo((in / "slow.gz").c_str(), 0644), 0);
    const std::vector<std::string> before = Listing(in);
    fs::permissions(in, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    struct TRestore {
        fs::path Folder;
        ~TRestore() { fs::permissions(Folder, fs::perms::owner_all); }
    } restore{in};

    const TRun ok = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + (in / "a.gz").string(),
                         "--roads=" + (in / "b.gz").string(), "--turn-restrictions=on", "--attribute2=on",
                         "--attributec=on", "--save-unzipped=on"});
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(Messages(ok.out), kTwoTileMessages);
    ExpectOutputs("two_tiles", dir / "out", kMifFiles);
    EXPECT_EQ(Listing(in), before);

    const TRun failed = Run({"--out=" + (dir / "failed").string(), "--format=mif",
                             "--roads=" + (in / "a.gz").string(), "--roads=" + (in / "cut.gz").string()});
    EXPECT_NE(failed.status, 0);
    EXPECT_NE(failed.err.find("\"" + (in / "cut.gz").string() + "\""), std::string::npos) << failed.err;
    EXPECT_NE(failed.err.find("truncated"), std::string::npos) << failed.err;
    EXPECT_EQ(Listing(in), before);

    // The second input is a pipe that gives half of a .gz and then nothing: the run is stopped
    // while it waits in the middle of that file.
    const std::string out = "--out=" + (dir / "stopped").string();
    const std::string a = "--roads=" + (in / "a.gz").string(), slow = "--roads=" + (in / "slow.gz").string();
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(kCli.c_str(), kCli.c_str(), out.c_str(), a.c_str(), slow.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int fifo = -1;
    for (int i = 0; i < 600 && fifo < 0; ++i) {  // until the run opens the pipe
        fifo = ::open((in / "slow.gz").c_str(), O_WRONLY | O_NONBLOCK);
        if (fifo < 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_GE(fifo, 0) << "the run did not open the second input";
    if (fifo >= 0) {
        EXPECT_EQ(::write(fifo, whole.data(), whole.size() / 2), static_cast<ssize_t>(whole.size() / 2));
    }
    ::kill(pid, SIGINT);
    if (fifo >= 0) ::close(fifo);  // a run that outlives the signal then meets a cut-off file
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Listing(in), before);
}

TEST_F(CliTest, WorkedExampleRecord) {
    const TRun run = Run({"--out=" + (dir / "out").string(), "--format=mif",
                          "--roads=" + kData + "/worked_example.gml", "--avoid-pattern=off", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectOutputs("worked_example", dir / "out", {"ITN_network.mid"});
    const std::string mid = ReadAll(dir / "out" / "ITN_network.mid");
    EXPECT_NE(mid.find("\r\n7,\"6000000000000077\",0,1,\"A Road\",\"Dual Carriageway\",3,\"N\",\"A1\",False,True,1,0,516\r\n"),
              std::string::npos);
}

TEST_F(CliTest, ShapefileNamesColumnsInTenCharacters) {
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo is not installed";
    const fs::path out = dir / "out";
    ASSERT_EQ(Run({"--out=" + out.string(), "--format=shp", "--roads=" + kData + "/roads_a.gml", "--quiet"}).status, 0);
    const std::string info = "ogrinfo -ro -al -so " + Quote((out / "ITN_network.shp").string()) + " > " +
                             Quote((dir / "ogrinfo.txt").string()) + " 2>&1";
    ASSERT_EQ(std::system(info.c_str()), 0);
    const std::string text = ReadAll(dir / "ogrinfo.txt");
    EXPECT_NE(text.find("Feature Count: 8"), std::string::npos) << text;
    EXPECT_NE(text.find("descriTerm: String (40.0)"), std::string::npos) << text;
    EXPECT_NE(text.find("natureRoad: String (40.0)"), std::string::npos) << text;
}

TEST_F(CliTest, RunWithoutRoadFiles) {
    const TRun run = Run({"--out=" + (dir / "out").string(), "--format=mif", "--turn-restrictions=on"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Messages(run.out), "Done in hh:mm:ss (hh:mm:ss)\n");
    ExpectOutputs("no_roads", dir / "out", kMifFiles);
}

TEST_F(CliTest, MifIsReadBackByOgr) {
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo is not installed";
    const fs::path out = dir / "out";
    ASSERT_EQ(Run({"--out=" + out.string(), "--format=mif", "--roads=" + kData + "/roads_a.gml",
                   "--roads=" + kData + "/roads_b.gml", "--quiet"})
                  .status,
              0);
    const std::string info = "ogrinfo -ro -al -so " + Quote((out / "ITN_network.mif").string()) + " > " +
                             Quote((dir / "ogrinfo.txt").string()) + " 2>&1";
    ASSERT_EQ(std::system(info.c_str()), 0);
    const std::string text = ReadAll(dir / "ogrinfo.txt");
    EXPECT_NE(text.find("Feature Count: 13"), std::string::npos) << text;
    for (const char* column : {"ID: Integer", "TOID: String (19.0)", "descriptiveTerm: String (40.0)",
                               "RoadName: String (11.0)", "DftNumber: String (5.0)", "Attribute4: Integer",
                               "AvoidPattern: Integer", "VU2: Real (1.0)", "VT2: Real (1.0)"}) {
        EXPECT_NE(text.find(column), std::string::npos) << column << "\n" << text;
    }
}

TEST_F(CliTest, SampleDataIsReadBackByOgr) {
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo is not installed";
    const std::string sample = std::string(ITN_TEST_DATA_DIR) + "/../../data/sample";
    const fs::path out = dir / "out";
    const TRun run = Run({"--out=" + out.string(), "--format=mif", "--roads=" + sample + "/roads_0001.gml",
                          "--roads=" + sample + "/roads_0002.gz", "--turn-restrictions=on", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string info = "ogrinfo -ro -al -so " + Quote((out / "ITN_network.mif").string()) + " > " +
                             Quote((dir / "ogrinfo.txt").string()) + " 2>&1";
    ASSERT_EQ(std::system(info.c_str()), 0);
    const std::string text = ReadAll(dir / "ogrinfo.txt");
    EXPECT_NE(text.find("Feature Count: 402"), std::string::npos) << text;
    const std::string vocabulary = ReadAll(out / "VehicleUse.txt");
    const size_t uses = std::count(vocabulary.begin(), vocabulary.end(), '\n');
    ASSERT_GT(uses, 0u);
    for (size_t i = 1; i <= uses; ++i) {
        EXPECT_NE(text.find("VU" + std::to_string(i) + ": Real (1.0)"), std::string::npos) << i;
    }
    EXPECT_EQ(text.find("VU" + std::to_string(uses + 1) + ":"), std::string::npos);
    EXPECT_NE(text.find("maxHeight: Integer"), std::string::npos);
}

// A tile with one road link and one road link information feature; %s is replaced by a
// fragment of the information feature.
std::string TileWith(const std::string& Information, const std::string& Version = "1") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<osgb:FeatureCollection fid=\"x\">\n"
           " <osgb:networkMember><osgb:RoadLink fid=\"osgb4000000000000001\"><osgb:version>" + Version +
           "</osgb:version><osgb:descriptiveTerm>B Road</osgb:descriptiveTerm>\n"
           "  <osgb:polyline><gml:LineString><gml:coordinates>1,1 2,2</gml:coordinates></gml:LineString></osgb:polyline>"
           "</osgb:RoadLink></osgb:networkMember>\n"
           " <osgb:roadInformationMember><osgb:RoadLinkInformation fid=\"osgb4000000000000002\">"
           "<osgb:version>1</osgb:version>" + Information +
           "<osgb:referenceToRoadLink xlink:href=\"#osgb4000000000000001\"/></osgb:RoadLinkInformation>"
           "</osgb:roadInformationMember>\n"
           "</osgb:FeatureCollection>\n";
}

TEST_F(CliTest, BadInputFailsWithTheDocumentedMessage) {
    struct Case {
        const char* name;
        std::string tile;
        std::string message;
    };
    const std::string bus = "<osgb:vehicleQualifier><osgb:type exceptFor=\"false\">Buses</osgb:type></osgb:vehicleQualifier>";
    // Each message is the reader's or the road job's text, then the file, line and column.
    const Case cases[] = {
        {"version", TileWith("", "2a"), "'2a' is not a valid integer value (version.gml, line 3, column 95)"},
        {"feet", TileWith("<osgb:feet>14.5</osgb:feet>"), "'14.5' is not a valid integer value (feet.gml, line 5, column 140)"},
        {"inches", TileWith("<osgb:inches>six</osgb:inches>"), "'six' is not a valid integer value (inches.gml, line 5, column 143)"},
        {"maxheight", TileWith("<osgb:maxheight>high</osgb:maxheight>"), "Cannot convert value to float (maxheight.gml, line 5, column 150)"},
        {"exceptFor",
         TileWith("<osgb:instruction>Access Limited To</osgb:instruction><osgb:vehicleQualifier>"
                  "<osgb:use exceptFor=\"maybe\">Access</osgb:use></osgb:vehicleQualifier>"),
         "Invalid exceptFor value (exceptFor.gml, line 5, column 235)"},
        {"noExceptFor",
         TileWith("<osgb:instruction>Access Limited To</osgb:instruction><osgb:vehicleQualifier>"
                  "<osgb:use>Access</osgb:use></osgb:vehicleQualifier>"),
         "Invalid exceptFor value (noExceptFor.gml, line 5, column 217)"},
        {"noInstruction", TileWith(bus), // found when the road link is written: its line
         "TForm1.Create_Vehicle_AttributeString : unexpected situation (noInstruction.gml, line 4, column 125)"},
        {"closeTag", "<?xml version=\"1.0\"?>\n<a><b></c></a>\n", "Incorrect close tag in element b (closeTag.gml, line 2, column 8)"},
        {"noRoot", "<?xml version=\"1.0\"?>\n", "No root element found in xml (noRoot.gml, line 2, column 1)"},
        // Control characters of a name are shown escaped, not sent to the terminal.
        {"controlName", "<?xml version=\"1.0\"?>\n<a>\n  <b\x1b[2J></c></a>\n", "Incorrect close tag in element b\\x1B[2J (controlName.gml, line 3, column 11)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path input = dir / (std::string(c.name) + ".gml");
        WriteAll(input, c.tile);
        const TRun run = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + input.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.message + "\n");
        EXPECT_EQ(ReadAll(input), c.tile);
        // The same tile compressed: the same place, in the inflated text of the .gz file.
        const fs::path gz = dir / (std::string(c.name) + ".gz");
        Gzip(input.string(), gz);
        const TRun gzRun = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + gz.string()});
        EXPECT_EQ(gzRun.status, 1);
        std::string gzMessage = c.message;
        gzMessage.replace(gzMessage.rfind(".gml, line"), 4, ".gz");
        EXPECT_EQ(gzRun.err, gzMessage + "\n");
    }
}

// The first error in file order ends the run, whichever file is read first.
TEST_F(CliTest, ErrorOfALaterFileComesAfterItsLine) {
    WriteAll(dir / "bad.gml", "<?xml version=\"1.0\"?>\n<a><b></c></a>\n");
    const std::string good = kData + "/roads_a.gml", bad = (dir / "bad.gml").string();
    TRun run = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + good, "--roads=" + bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "1 / 2\n2 / 2\n");
    EXPECT_EQ(run.err, "Incorrect close tag in element b (bad.gml, line 2, column 8)\n");
    run = Run({"--out=" + (dir / "out").string(), "--format=mif", "--roads=" + bad, "--roads=" + good});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "1 / 2\n");
    EXPECT_EQ(run.err, "Incorrect close tag in element b (bad.gml, line 2, column 8)\n");
}

// A file size limit ends the run with a write error, not with a signal; the message names
// the file by its final name and gives the reason.
TEST_F(CliTest, FileSizeLimitIsAWriteError) {
    const std::string command = "ulimit -f 1; " + Quote(kCli) + " --out=" + Quote((dir / "out").string()) +
                                " --format=mif --quiet --roads=" + Quote(kData + "/roads_a.gml") + " --roads=" +
                                Quote(kData + "/roads_b.gml") + " >/dev/null 2>" + Quote((dir / "stderr").string());
    const int raw = std::system(("bash -c " + Quote(command)).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    const std::string err = ReadAll(dir / "stderr");
    EXPECT_EQ(err.rfind("Stream write error in file \"" + (dir / "out").string() + "/ITN_network.mi", 0), 0u) << err;
    EXPECT_NE(err.find("\". File too large\n"), std::string::npos) << err;
}

TEST_F(CliTest, UnusableFilesAndUsageErrors) {
    WriteAll(dir / "plain.txt", "x");
    const std::string missing = (dir / "missing.gml").string();
    TRun run = Run({"--out=" + (dir / "out").string(), "--roads=" + missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open file \"" + missing + "\". No such file or directory\n");
    EXPECT_FALSE(fs::exists(dir / "out" / "VehicleUse.txt"));

    run = Run({"--out=" + (dir / "plain.txt").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Output folder \"" + (dir / "plain.txt").string() + "\" is not a folder\n");

    run = Run({"--out=" + (dir / "plain.txt" / "sub").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Cannot create output folder"), std::string::npos) << run.err;

    // An input that the run would replace.
    fs::create_directories(dir / "out");
    WriteAll(dir / "out" / "VehicleUse.txt", "<a/>");
    run = Run({"--out=" + (dir / "out").string(), "--roads=" + (dir / "out" / "VehicleUse.txt").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("would be overwritten"), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(dir / "out" / "VehicleUse.txt"), "<a/>");

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--format=mif"}, {"--out=x", "--format=dxf"}, {"--out=x", "--turn-restrictions=yes"},
             {"--out=x", "--codepage=99999"}, {"--out=x", "--unknown"}, {"--out=x", "--codepage=1234"},
             {"--out=x", "--codepage=0"}, {"--out=x", "--codepage=-1252"}, {"--out=x", "--codepage=cp1252"},
             {"--out=x", "--geojson-wgs84"}, {"--out=x", "-f", "kml", "--geojson-wgs84"}, {"-f", "dxf"},
             {"--out=x", "--format"}, {"-q"}}) {
        run = Run(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_FALSE(run.err.empty());
    }
    run = Run({"--out=x", "--codepage=1234"});
    EXPECT_EQ(run.err.rfind("--codepage: 1234 is not a code page the output can be written in; use one of ", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(" 1252, "), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists("x"));
    run = Run({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* option : {"-o,--out", "-f,--format", "--roads", "--urban", "--split-loop-links",
                               "--turn-restrictions", "--max-height-unit", "--attribute2", "--attributec",
                               "--attribute4", "--avoid-pattern", "--save-unzipped", "--codepage", "--geojson-wgs84",
                               "-q,--quiet", "--phase-times", "--version", "--formats", "kml", "geojson", "csv"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

TEST_F(CliTest, VersionNamesTheProgramTheWindowsVersionAndTheBuild) {
    const TRun run = Run({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::string start = std::string("itn2brinlow-cli ") + itn::kVersionText + " (";
    EXPECT_EQ(run.out.rfind(start, 0), 0u) << run.out;
    ASSERT_GT(run.out.size(), start.size() + 2);
    EXPECT_EQ(run.out.substr(run.out.size() - 2), ")\n");
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
}

TEST_F(CliTest, FormatsListsEveryFormatAndWhyTabIsMissing) {
    TRun run = Run({"--formats"});
    EXPECT_EQ(run.status, 0);
    std::cout << run.out;  // the transformation PROJ uses on this system, for the test log
    for (const char* format : {"\n  mif ", "\n  shp ", "\n  tab ", "\n  gml2 ", "\n  kml ", "\n  geojson ", "\n  csv "})
        EXPECT_NE(run.out.find(format), std::string::npos) << format << "\n" << run.out;
    EXPECT_NE(run.out.find("transformed by PROJ: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" accuracy "), std::string::npos) << run.out;

    const std::string missing = (dir / "libnothing.so").string();
    run = Run({"--formats"}, "ITN2BRINLOW_TAB_MODULE=" + Quote(missing) + " ");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("  tab      MapInfo TAB (default): not available, MIF/MID is written instead ("),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(missing), std::string::npos) << run.out;
}

TEST_F(CliTest, FormatNamesInAnyLetterCaseAndShortOptions) {
    struct Case {
        std::vector<std::string> args;  // before the output folder and the road file
        const char* file;               // the network file expected
    };
    const Case cases[] = {
        {{"-f", "SHP"}, "ITN_network.shp"},
        {{"--format=Mif"}, "ITN_network.mif"},
        {{"--format", "GML2"}, "ITN_network.xml"},
        {{"--format=GML 2"}, "ITN_network.xml"},  // as the window names it
        {{"-fGeoJSON"}, "ITN_network.geojson"},
        {{"-f", "Kml"}, "ITN_network.kml"},
        {{"--format=CSV"}, "ITN_network.csv"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path out = dir / ("out" + std::to_string(++n));
        std::vector<std::string> args = c.args;
        for (const std::string& arg : {std::string("-o"), out.string(), "--roads=" + kData + "/roads_a.gml"})
            args.push_back(arg);
        const TRun run = Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(fs::exists(out / c.file));
        EXPECT_EQ(run.out.rfind("1 / 1\n", 0), 0u) << run.out;
    }
}

// --quiet leaves stderr to warnings and the error of a failed run, and stdout empty.
TEST_F(CliTest, QuietPrintsOnlyWarningsAndErrors) {
    WriteAll(dir / "other.xml", "<a/>");
    WriteAll(dir / "bad.gml", "<?xml version=\"1.0\"?>\n<a><b></c></a>\n");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string env;
        int status;
        std::string err;
    };
    const std::string good = "--roads=" + kData + "/roads_a.gml", other = (dir / "other.xml").string();
    const Case cases[] = {
        {"success", {"--quiet", "-f", "mif", good, "--roads=" + kData + "/roads_b.gml"}, "", 0, ""},
        {"short form", {"-q", "-f", "mif", good}, "", 0, ""},
        {"input without features", {"-q", "-f", "mif", good, "--roads=" + other}, "", 0,
         "Warning: No ITN road features found in " + other + "\n"},
        {"TAB module missing", {"-q", good}, "ITN2BRINLOW_TAB_MODULE=" + Quote((dir / "none.so").string()) + " ", 0,
         "Warning: the TAB module cannot be loaded - creating MIF instead ("},
        {"failure", {"-q", "-f", "mif", good, "--roads=" + (dir / "bad.gml").string()}, "", 1,
         "Incorrect close tag in element b (bad.gml, line 2, column 8)\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        args.push_back("--out=" + (dir / ("out" + std::to_string(++n))).string());
        const TRun run = Run(args, c.env);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(run.err.size() > c.err.size(), c.env != "") << run.err;
    }
}

// An input that holds nothing of its layer is named in a warning; the run still succeeds.
TEST_F(CliTest, InputsWithoutFeaturesAreNamedInWarnings) {
    const std::string sample = std::string(ITN_TEST_DATA_DIR) + "/../../data/sample";
    WriteAll(dir / "other.xml", "<?xml version=\"1.0\"?>\n<catalogue><item fid=\"osgb1000000000000001\"/></catalogue>\n");
    const std::string urbanFile = sample + "/urban_paths.gml", roadFile = kData + "/roads_a.gml",
                      other = (dir / "other.xml").string();
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string warnings;
    };
    const Case cases[] = {
        {"urban paths given as roads", {"--roads=" + urbanFile}, "Warning: No ITN road features found in " + urbanFile + "\n"},
        {"other XML as roads", {"--roads=" + roadFile, "--roads=" + other},
         "Warning: No ITN road features found in " + other + "\n"},
        {"roads given as urban paths", {"--urban=" + roadFile, "--roads=" + roadFile},
         "Warning: No ITN urban path features found in " + roadFile + "\n"},
        {"other XML as urban paths", {"--urban=" + urbanFile, "--urban=" + other},
         "Warning: No ITN urban path features found in " + other + "\n"},
        {"both layers in place", {"--urban=" + urbanFile, "--roads=" + roadFile}, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        args.push_back("--format=mif");
        args.push_back("--out=" + (dir / ("out" + std::to_string(++n))).string());
        const TRun run = Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, c.warnings);
        EXPECT_NE(Messages(run.out).find("Done in hh:mm:ss (hh:mm:ss)\n"), std::string::npos) << run.out;
    }
}

// The code pages every writer can name are accepted and named in the MIF header.
TEST_F(CliTest, CodePagesTheOutputCanName) {
    const std::pair<const char*, const char*> cases[] = {
        {"1252", "WindowsLatin1"}, {"1250", "WindowsLatin2"}, {"65001", "UTF-8"}, {"28595", "ISO8859_5"}, {"850", "CodePage850"}};
    for (const auto& [codepage, charset] : cases) {
        SCOPED_TRACE(codepage);
        const fs::path out = dir / codepage;
        const TRun run = Run({"-o", out.string(), "-f", "mif", "-q", std::string("--codepage=") + codepage,
                              "--roads=" + kData + "/roads_a.gml"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(ReadAll(out / "ITN_network.mif").find(std::string("CharSet \"") + charset + "\""), std::string::npos);
    }
}

}  // namespace

// The bundled sample in every job format, read back by GDAL: the same records and columns
// as the MIF output; the extra formats parse as JSON, XML and CSV lines.
TEST_F(CliTest, SampleInEveryFormatIsReadBack) {
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo is not installed";
    const std::string sample = std::string(ITN_TEST_DATA_DIR) + "/../../data/sample";
    auto convert = [&](const std::string& format) {
        const fs::path out = dir / format;
        const TRun run = Run({"--out=" + out.string(), "--format=" + format, "--roads=" + sample + "/roads_0001.gml",
                              "--roads=" + sample + "/roads_0002.gz", "--urban=" + sample + "/urban_paths.gml",
                              "--quiet"});
        EXPECT_EQ(run.status, 0) << format << ": " << run.err;
        EXPECT_EQ(run.err.find("Warning"), std::string::npos) << run.err;
        return out;
    };
    auto ogrinfo = [&](const fs::path& file) {
        const fs::path text = dir / (file.filename().string() + ".ogrinfo");
        const std::string command = "ogrinfo -ro -al -so " + Quote(file.string()) + " > " + Quote(text.string()) + " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << file;
        return ReadAll(text);
    };
    const std::string mif = ogrinfo(convert("mif") / "ITN_network.mif");
    const size_t count_at = mif.find("Feature Count: ");
    ASSERT_NE(count_at, std::string::npos) << mif;
    const std::string count = mif.substr(count_at, mif.find('\n', count_at) - count_at);
    // Column names as the MIF reader lists them ("Name: Type (w.p)").
    std::vector<std::string> columns;
    std::istringstream lines(mif.substr(mif.find("Data axis")));
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos && line.find("Data axis") == std::string::npos) columns.push_back(line.substr(0, colon));
    }
    ASSERT_GT(columns.size(), 15u) << mif;

    const std::pair<std::string, std::string> formats[] = {
        {"shp", "ITN_network.shp"}, {"tab", "ITN_network.tab"}, {"gml2", "ITN_network.xml"}};
    for (const auto& [format, file] : formats) {
        const std::string info = ogrinfo(convert(format) / file);
        EXPECT_NE(info.find(count), std::string::npos) << format << "\n" << info;
        for (const std::string& column : columns) {
            // The shapefile has its own names for two columns and cuts the others to 10 characters.
            std::string name = column;
            if (format == "shp")
                name = column == "descriptiveTerm" ? "descriTerm" : column == "natureOfRoad" ? "natureRoad" : column.substr(0, 10);
            EXPECT_NE(info.find("\n" + name + ": "), std::string::npos) << format << " lacks " << name;
        }
    }
    const fs::path json = convert("geojson") / "ITN_network.geojson";
    EXPECT_EQ(std::system(("python3 -m json.tool " + Quote(json.string()) + " >/dev/null").c_str()), 0);
    const fs::path kml = convert("kml") / "ITN_network.kml";
    EXPECT_EQ(std::system(("python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' " +
                           Quote(kml.string())).c_str()),
              0);
    const std::string csv = ReadAll(convert("csv") / "ITN_network.csv");
    EXPECT_FALSE(csv.empty());
}

// KML, and GeoJSON when asked, hold WGS 84 longitude/latitude: GDAL reads the sample's extent
// inside Great Britain's box. Plain GeoJSON keeps British National Grid and its crs member.
TEST_F(CliTest, KmlAndWgs84GeoJsonLieInGreatBritain) {
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo is not installed";
    const std::string sample = std::string(ITN_TEST_DATA_DIR) + "/../../data/sample";
    struct Extent {
        double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    };
    auto extentOf = [&](const std::vector<std::string>& formatArgs, const std::string& file) {
        const fs::path out = dir / file;
        std::vector<std::string> args = formatArgs;
        for (const std::string& arg : {"--out=" + out.string(), "--roads=" + sample + "/roads_0001.gml",
                                       "--roads=" + sample + "/roads_0002.gz", "--urban=" + sample + "/urban_paths.gml",
                                       std::string("--quiet")})
            args.push_back(arg);
        const TRun run = Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        const fs::path text = dir / (file + ".ogrinfo");
        EXPECT_EQ(std::system(("ogrinfo -ro -al -so " + Quote((out / file).string()) + " > " + Quote(text.string()) +
                               " 2>&1").c_str()),
                  0);
        const std::string info = ReadAll(text);
        Extent e;
        const size_t at = info.find("Extent: (");
        EXPECT_NE(at, std::string::npos) << info;
        if (at != std::string::npos)
            EXPECT_EQ(std::sscanf(info.c_str() + at, "Extent: (%lf, %lf) - (%lf, %lf)", &e.xmin, &e.ymin, &e.xmax, &e.ymax), 4)
                << info;
        return std::make_pair(e, ReadAll(out / file));
    };
    auto expectInGreatBritain = [](const Extent& e) {
        EXPECT_GE(e.xmin, -9.0);
        EXPECT_LE(e.xmax, 2.5);
        EXPECT_GE(e.ymin, 49.0);
        EXPECT_LE(e.ymax, 61.0);
        EXPECT_LT(e.xmin, e.xmax);
        EXPECT_LT(e.ymin, e.ymax);
    };
    {
        SCOPED_TRACE("kml");
        const auto [extent, text] = extentOf({"--format=kml"}, "ITN_network.kml");
        expectInGreatBritain(extent);
    }
    {
        SCOPED_TRACE("geojson in WGS 84");
        const auto [extent, text] = extentOf({"--format=geojson", "--geojson-wgs84"}, "ITN_network.geojson");
        expectInGreatBritain(extent);
        EXPECT_EQ(text.find("\"crs\""), std::string::npos);
    }
    {
        SCOPED_TRACE("geojson in British National Grid");
        const auto [extent, text] = extentOf({"--format=geojson"}, "ITN_network.geojson");
        EXPECT_GE(extent.xmin, 0.0);
        EXPECT_GT(extent.xmax, 1000.0);
        EXPECT_NE(text.find("\"crs\":{\"type\":\"name\",\"properties\":{\"name\":\"EPSG:27700\"}}"), std::string::npos);
    }
}

// A coordinate that has no place in WGS 84 ends the run with an error instead of being
// written as "INF". (Far larger values, such as 1e300, are refused when they are read.)
TEST_F(CliTest, CoordinatesOutsideWgs84FailTheRun) {
    const std::string tile = TileWith("").replace(TileWith("").find("1,1 2,2"), 7, "1e10,5 2,2");
    WriteAll(dir / "far.gml", tile);
    for (const std::vector<std::string>& format : {std::vector<std::string>{"-f", "kml"},
                                                   std::vector<std::string>{"-f", "geojson", "--geojson-wgs84"}}) {
        SCOPED_TRACE(format[1]);
        std::vector<std::string> args = format;
        args.push_back("--out=" + (dir / "out").string());
        args.push_back("--roads=" + (dir / "far.gml").string());
        const TRun run = Run(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "Cannot transform the coordinates (10000000000, 5) to WGS 84\n");
    }
}
