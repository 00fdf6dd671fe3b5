// gzip input read in place: the name rule, the inflater on its own and on its thread, and the
// streaming XML reader over a table of good and bad .gz files.
#include "input/gz_input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "gzip_fixtures.h"
#include "input/native_xml.h"
#include "io/errors.h"
#include "xml_test_util.h"

namespace itn {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::set<std::string> Names(const TempDir& Dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(Dir.path())) names.insert(e.path().filename().string());
    return names;
}

// Checks an error message of a bad case: the file, the reason and the compressed offset.
void ExpectGzMessage(const std::string& Message, const std::string& File, const TGzCase& Case) {
    EXPECT_NE(Message.find("\"" + File + "\""), std::string::npos) << Case.What << ": " << Message;
    EXPECT_NE(Message.find(Case.Expected), std::string::npos) << Case.What << ": " << Message;
    EXPECT_NE(Message.find("byte "), std::string::npos) << Case.What << ": " << Message;
    if (Case.Offset >= 0) {
        EXPECT_NE(Message.find("byte " + std::to_string(Case.Offset)), std::string::npos)
            << Case.What << ": " << Message;
    }
}

class TFdCloser {
public:
    explicit TFdCloser(const std::string& Name) : Fd(::open(Name.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~TFdCloser() { ::close(Fd); }
    const int Fd;
};

TEST(GzName, OnlyTheExactExtensionMeansGzip) {
    const std::pair<const char*, bool> cases[] = {
        {"/data/tile.gz", true},  {"/data/tile.gml.gz", true}, {"tile.gz", true},
        {"/data/tile.GZ", false}, {"/data/tile.Gz", false},    {"/data/tile.gz.gml", false},
        {"/data/tile.tgz", false}, {"/data.gz/tile", false},   {"/data/tile.xml", false},
        {"gz", false},
    };
    for (const auto& [name, gz] : cases) EXPECT_EQ(IsGzFileName(name), gz) << name;
}

// The decoder alone, with read sizes that cut members, buffers and the output in odd places.
TEST(GzDecoder, TableOfInputs) {
    TempDir dir;
    const std::string file = dir / "tile.gz";
    for (const TGzCase& c : GzCases(300000)) {
        WriteFile(file, c.Bytes);
        for (const size_t chunk : {size_t{1} << 20, size_t{4093}}) {
            SCOPED_TRACE(c.What + ", reads of " + std::to_string(chunk));
            TFdCloser fd(file);
            TGzDecoder decoder(fd.Fd, file);
            std::string out;
            std::string buffer(chunk, '\0');
            try {
                while (const size_t n = decoder.Read(buffer.data(), buffer.size())) out.append(buffer.data(), n);
                EXPECT_TRUE(c.Good()) << "no error";
                EXPECT_TRUE(out == c.Plain) << "decompressed " << out.size() << " bytes of " << c.Plain.size();
                EXPECT_EQ(decoder.CompressedPosition(), c.Bytes.size());
                EXPECT_EQ(decoder.Read(buffer.data(), buffer.size()), 0u);  // and stays at the end
            } catch (const EGzError& e) {
                EXPECT_FALSE(c.Good()) << e.what();
                ExpectGzMessage(e.what(), file, c);
            }
        }
    }
}

// The reader on its thread: many queue buffers, handed out in pieces; destroyed part way.
TEST(GzReader, HandsOutEveryByteInOrderAndStopsWhenDestroyedEarly) {
    TempDir dir;
    const std::string file = dir / "big.gz";
    const std::string a = SampleDocument(5000000, 1), b = SampleDocument(1300000, 2);
    WriteFile(file, GzipMember(a) + GzipMember(b));
    {
        TFdCloser fd(file);
        TGzReader reader(fd.Fd, file);
        std::string out;
        std::string buffer(70001, '\0');
        int64_t last = 0;
        while (const size_t n = reader.Read(buffer.data(), buffer.size())) {
            out.append(buffer.data(), n);
            EXPECT_GE(reader.CompressedPosition(), last);
            last = reader.CompressedPosition();
        }
        EXPECT_TRUE(out == a + b) << out.size() << " bytes of " << a.size() + b.size();
        EXPECT_EQ(last, static_cast<int64_t>(fs::file_size(file)));
    }
    for (const size_t taken : {size_t{0}, size_t{1}, size_t{3000000}}) {
        TFdCloser fd(file);
        TGzReader reader(fd.Fd, file);
        std::string buffer(taken, '\0');
        size_t got = 0;
        while (got < taken) got += reader.Read(buffer.data() + got, taken - got);
        EXPECT_EQ(buffer, a.substr(0, taken));
    }  // the destructor stops the inflating thread, which may be waiting for room
}

// The streaming reader gives for a .gz file exactly the events of the plain file.
TEST(GzXmlReader, TableOfInputsThroughTheStreamingReader) {
    TempDir dir;
    const std::string gz = dir / "tile.gz";
    for (const TGzCase& c : GzCases(1500000)) {
        SCOPED_TRACE(c.What);
        WriteFile(gz, c.Bytes);
        TEventLog fromGz;
        fromGz.WithProgress = false;
        TNativeXml xml;
        fromGz.Attach(xml);
        if (c.Good()) {
            EXPECT_EQ(ErrorOf([&] { xml.LoadFromFile(gz); }), "");
            TEventLog fromPlain;
            fromPlain.WithProgress = false;
            TNativeXml plainXml;
            fromPlain.Attach(plainXml);
            EXPECT_EQ(ErrorOf([&] { LoadText(plainXml, dir, c.Plain, "tile.gml"); }), "");
            EXPECT_TRUE(fromGz.Lines == fromPlain.Lines)
                << fromGz.Lines.size() << " events against " << fromPlain.Lines.size();
        } else {
            const std::string message = ErrorOf<EGzError>([&] { xml.LoadFromFile(gz); });
            ASSERT_FALSE(message.empty());
            ExpectGzMessage(message, gz, c);
        }
        fs::remove(dir / "tile.gml");
        EXPECT_EQ(Names(dir), std::set<std::string>{"tile.gz"});
        EXPECT_EQ(ReadFile(gz), c.Bytes);
    }
}

TEST(GzXmlReader, Utf16DocumentInsideGzip) {
    TempDir dir;
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a><b x=\"\xC3\xA9\">v</b></a>";
    std::string utf16 = "\xFF\xFE";
    // The sample is ASCII apart from one two-byte character, U+00E9.
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) == 0xC3) {
            utf16 += std::string("\xE9\x00", 2);
            ++i;
        } else {
            utf16 += std::string{text[i], '\0'};
        }
    }
    WriteFile(dir / "u.gz", GzipMember(utf16));
    TNativeXml xml;
    std::string attribute;
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& Node) {
        if (Node.Name() == "b") attribute = Node.AttributeByName("x");
    };
    xml.LoadFromFile(dir / "u.gz");
    EXPECT_EQ(attribute, "\xC3\xA9");
}

// Progress of a .gz file counts compressed bytes: it rises to the file's size.
TEST(GzXmlReader, ProgressCountsCompressedBytes) {
    TempDir dir;
    const std::string gz = dir / "tile.gz";
    WriteFile(gz, GzipMember(SampleDocument(6000000, 3)));
    const auto size = static_cast<int32_t>(fs::file_size(gz));
    std::vector<int32_t> progress;
    TNativeXml xml;
    xml.OnProgress = [&](TNativeXml&, int32_t Size) { progress.push_back(Size); };
    xml.LoadFromFile(gz);
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), size);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_LE(*std::max_element(progress.begin(), progress.end()), size);
    // Values in between, not only 0 and the end.
    EXPECT_TRUE(std::any_of(progress.begin(), progress.end(), [&](int32_t p) { return p > 0 && p < size; }));
    EXPECT_EQ(xml.FileSize(), size);
}

TEST(GzXmlReader, MissingOrUnreadableGzFails) {
    TempDir dir;
    TNativeXml xml;
    const std::string message = ErrorOf<EFOpenError>([&] { xml.LoadFromFile(dir / "absent.gz"); });
    EXPECT_NE(message.find(dir / "absent.gz"), std::string::npos) << message;
    fs::create_directory(dir / "folder.gz");
    EXPECT_THROW(xml.LoadFromFile(dir / "folder.gz"), EFOpenError);
}

}  // namespace
}  // namespace itn
