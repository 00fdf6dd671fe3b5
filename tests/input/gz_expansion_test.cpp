#include "input/gz_expansion.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "io/errors.h"

namespace itn {
namespace {

namespace fs = std::filesystem;

class GzTempDir {
public:
    GzTempDir() {
        std::string tmpl = (fs::temp_directory_path() / "itn-gz-test-XXXXXX").string();
        FPath = mkdtemp(tmpl.data());
    }
    ~GzTempDir() {
        std::error_code ec;
        fs::remove_all(FPath, ec);
    }
    std::string operator/(const std::string& name) const { return (FPath / name).string(); }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(FPath)) names.insert(e.path().filename().string());
        return names;
    }

private:
    fs::path FPath;
};

std::string ReadAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

// One gzip member holding Data; StoredName goes into the header when not empty.
std::string GzipMember(const std::string& Data, const std::string& StoredName = "") {
    z_stream zs{};
    EXPECT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    gz_header header{};
    std::string name = StoredName;
    if (!name.empty()) {
        header.name = reinterpret_cast<Bytef*>(name.data());
        EXPECT_EQ(deflateSetHeader(&zs, &header), Z_OK);
    }
    std::string out(deflateBound(&zs, Data.size()) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data.data()));
    zs.avail_in = static_cast<uInt>(Data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// Text that compresses poorly enough to span several read and write buffers.
std::string SampleText(size_t Size, unsigned Seed) {
    std::mt19937 rng(Seed);
    std::string s;
    s.reserve(Size);
    while (s.size() < Size) {
        s += "<osgb:version>" + std::to_string(rng() % 100000) + "</osgb:version>\n";
    }
    s.resize(Size);
    return s;
}

TEST(GzNaming, ExtensionTestAndGmlName) {
    struct Case {
        std::string in;
        bool isGz;
        std::string gml;
    };
    const Case cases[] = {
        {"/data/tile.gz", true, "/data/tile.gml"},
        {"/data/tile.gml.gz", true, "/data/tile.gml.gml"},
        {"tile.gz", true, "tile.gml"},
        {"/data/tile.GZ", false, "/data/tile.gml"},
        {"/data/tile.gz.gml", false, "/data/tile.gz.gml"},
        {"/data/tile.tgz", false, "/data/tile.gml"},
        {"/data.gz/tile", false, "/data.gz/tile.gml"},
        {"/data/tile.xml", false, "/data/tile.gml"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsGzFileName(c.in), c.isGz) << c.in;
        EXPECT_EQ(GmlNameFor(c.in), c.gml) << c.in;
    }
}

TEST(GzExpansion, ExpandsNextToInputWhateverNameTheHeaderStores) {
    const std::string data = SampleText(300000, 1);
    for (const std::string stored : {"", "something-else.xml"}) {
        GzTempDir dir;
        WriteAll(dir / "tile.gml.gz", GzipMember(data, stored));
        const std::string out = UnzipGzFile(dir / "tile.gml.gz");
        EXPECT_EQ(out, dir / "tile.gml.gml") << "stored name: " << stored;
        EXPECT_EQ(ReadAll(out), data);
        EXPECT_EQ(dir.Names(), (std::set<std::string>{"tile.gml.gz", "tile.gml.gml"}));
    }
}

TEST(GzExpansion, MultiMemberFileExpandsCompletely) {
    // Members larger than the inflate buffers, an empty member, and zero padding at the end.
    const std::string a = SampleText(6000000, 2), b = SampleText(1234567, 3);
    GzTempDir dir;
    WriteAll(dir / "multi.gz", GzipMember(a) + GzipMember("") + GzipMember(b, "b.gml") + std::string(512, '\0'));
    EXPECT_EQ(ReadAll(UnzipGzFile(dir / "multi.gz")), a + b);
}

TEST(GzExpansion, BadInputRaisesNamedErrorAndLeavesNoOutput) {
    const std::string good = GzipMember(SampleText(2000000, 4));
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x55;
    std::string badCrc = good;
    badCrc[badCrc.size() - 6] ^= 0x01;
    struct Case {
        const char* what;
        std::string bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"plain text", "<?xml version='1.0'?><a/>", "not in gzip format"},
        {"empty file", "", "empty"},
        {"truncated in the data", good.substr(0, good.size() / 3), "truncated"},
        {"truncated in the trailer", good.substr(0, good.size() - 3), "truncated"},
        {"damaged data", flipped, "damaged"},
        {"wrong checksum", badCrc, "damaged"},
        {"garbage after the member", good + "garbage", "unexpected data after the end"},
    };
    for (const auto& c : cases) {
        GzTempDir dir;
        const std::string in = dir / "tile.gz";
        WriteAll(in, c.bytes);
        try {
            UnzipGzFile(in);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EGzError& e) {
            const std::string msg = e.what();
            EXPECT_NE(msg.find("\"" + in + "\""), std::string::npos) << c.what << ": " << msg;
            EXPECT_NE(msg.find(c.expected), std::string::npos) << c.what << ": " << msg;
        }
        EXPECT_EQ(dir.Names(), std::set<std::string>{"tile.gz"}) << c.what;
        EXPECT_EQ(ReadAll(in), c.bytes) << c.what;
    }
}

TEST(GzExpansion, MissingInputFailsWithoutCreatingAnything) {
    GzTempDir dir;
    try {
        UnzipGzFile(dir / "absent.gz");
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "absent.gz"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(dir.Names().empty());
}

TEST(GzExpansion, FreeFunctionNeverReplacesAnExistingFile) {
    GzTempDir dir;
    WriteAll(dir / "tile.gz", GzipMember("expanded"));
    WriteAll(dir / "tile.gml", "users own");
    WriteAll(dir / "tile.gml.1.gml", "also the user's");
    EXPECT_EQ(UnzipGzFile(dir / "tile.gz"), dir / "tile.gml.2.gml");
    EXPECT_EQ(ReadAll(dir / "tile.gml"), "users own");
    EXPECT_EQ(ReadAll(dir / "tile.gml.1.gml"), "also the user's");
    EXPECT_EQ(ReadAll(dir / "tile.gml.2.gml"), "expanded");
}

// The passes of one run, as the road job drives them: keep between passes or expand each time.
TEST(GzExpansions, UserFileBesideInputIsKeptAndRunUsesItsOwnNameThroughAllPasses) {
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "kept between passes" : "expanded per pass");
        GzTempDir dir;
        const std::string gz = dir / "tile.gz";
        const std::string own = dir / "tile.gml.1.gml";
        WriteAll(gz, GzipMember("<expanded/>"));
        WriteAll(dir / "tile.gml", "<users-own/>");
        TGzExpansions run;
        for (int pass = 1; pass <= 3; ++pass) {
            const std::string read = (keep && pass > 1) ? run.KeptName(gz) : run.Expand(gz);
            EXPECT_EQ(read, own) << "pass " << pass;
            EXPECT_EQ(ReadAll(read), "<expanded/>") << "pass " << pass;
            if (!keep || pass == 3) run.Delete(gz);
        }
        EXPECT_EQ(dir.Names(), (std::set<std::string>{"tile.gz", "tile.gml"}));
        EXPECT_EQ(ReadAll(dir / "tile.gml"), "<users-own/>");
    }
}

TEST(GzExpansions, ReExpansionReplacesOnlyTheRunsOwnFile) {
    GzTempDir dir;
    const std::string gz = dir / "tile.gz";
    WriteAll(gz, GzipMember("<expanded/>"));
    TGzExpansions run;
    EXPECT_EQ(run.Expand(gz), dir / "tile.gml");
    EXPECT_EQ(run.Expand(gz), dir / "tile.gml");  // its own file: replaced in place
    run.Delete(gz);
    // A file that appeared under that name after the run deleted its own is the user's.
    WriteAll(dir / "tile.gml", "<users-own/>");
    EXPECT_EQ(run.Expand(gz), dir / "tile.gml.1.gml");
    EXPECT_EQ(run.KeptName(gz), dir / "tile.gml.1.gml");
    run.Delete(gz);
    run.Delete(gz);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"tile.gz", "tile.gml"}));
    EXPECT_EQ(ReadAll(dir / "tile.gml"), "<users-own/>");
}

TEST(GzExpansions, FailedExpansionLeavesNothingAndTheRunDeletesNothingElse) {
    GzTempDir dir;
    const std::string gz = dir / "tile.gz";
    const std::string good = GzipMember(SampleText(100000, 5));
    WriteAll(gz, good);
    TGzExpansions run;
    run.Expand(gz);
    WriteAll(gz, good.substr(0, good.size() / 2));  // replaced by a truncated copy between passes
    EXPECT_THROW(run.Expand(gz), EGzError);
    EXPECT_EQ(dir.Names(), std::set<std::string>{"tile.gz"});
}

TEST(GzExpansions, PlainInputIsNeverTouched) {
    GzTempDir dir;
    const std::string plain = dir / "b.gml";
    WriteAll(plain, "<plain/>");
    TGzExpansions run;
    EXPECT_FALSE(IsGzFileName(plain));
    run.Delete(plain);
    EXPECT_THROW(run.Expand(plain), EGzError);  // not gzip: refused, and the file stays
    run.Delete(plain);
    EXPECT_THROW(run.KeptName(plain), EGzError);
    EXPECT_EQ(dir.Names(), std::set<std::string>{"b.gml"});
    EXPECT_EQ(ReadAll(plain), "<plain/>");
}

}  // namespace
}  // namespace itn
