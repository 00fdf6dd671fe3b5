// Files above 2 GiB and 4 GiB: positions and sizes are 64-bit inside the reader, the size
// passed to OnProgress is clamped to INT32_MAX, nothing wraps.
//
// The file is sparse (no disk space): a declaration, a hole of NUL bytes up to just past
// 3 GiB, a comment, another hole up to just past 4 GiB, then the document element. NUL bytes
// between top-level nodes are skipped like any other text outside the document element. The
// reader still reads all 4 GiB: seconds on a quiet machine, up to a minute on a busy one,
// so these tests run only with "ctest -C Large -L large" (tests/input/large/CMakeLists.txt).
#include <fcntl.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "input/native_xml.h"
#include "test_support.h"

namespace itn {
namespace {

constexpr int64_t kGiB = int64_t(1) << 30;

void WriteAt(int Fd, int64_t Offset, const std::string& Bytes) {
    ASSERT_EQ(::pwrite(Fd, Bytes.data(), Bytes.size(), static_cast<off_t>(Offset)), static_cast<ssize_t>(Bytes.size()));
}

TEST(NativeXmlLargeFile, SparseFileAbove4GiBLoadsWithExactPositions) {
    test::TempDir dir;
    const std::string file = dir / "big.gml";
    const std::string head = "<?xml version='1.0' encoding='UTF-8'?>\n";
    const int64_t comment_at = 3 * kGiB + 7;  // beyond INT32_MAX, below UINT32_MAX
    const std::string comment = "<!-- between 2 and 4 GiB -->";
    const int64_t root_at = 4 * kGiB + 4096 + 13;  // beyond UINT32_MAX
    const std::string root =
        "<osgb:FeatureCollection fid='c'>\n<osgb:networkMember><osgb:RoadLink fid='osgb4000000023456789'>"
        "<osgb:version>7</osgb:version></osgb:RoadLink></osgb:networkMember>\n</osgb:FeatureCollection>\n";
    {
        int fd = ::open(file.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        WriteAt(fd, 0, head);
        WriteAt(fd, comment_at, comment);
        WriteAt(fd, root_at, root);
        ::close(fd);
    }
    const int64_t size = root_at + static_cast<int64_t>(root.size());

    TNativeXml xml;
    std::vector<int32_t> progress;
    std::vector<std::string> loaded;
    int64_t comment_position = 0, version_position = 0;
    int32_t version = 0;
    std::string fid;
    xml.OnProgress = [&](TNativeXml&, int32_t Size) { progress.push_back(Size); };
    xml.OnNodeNew = [&](TNativeXml&, TXmlNode& n) {
        if (n.Name() == "osgb:RoadLink") fid = n.AttributeByName("fid");
    };
    xml.OnNodeLoaded = [&](TNativeXml& x, TXmlNode& n) {
        loaded.push_back(n.Name() + "@" + std::to_string(n.TreeDepth()));
        if (n.Name() == "Comment") comment_position = x.Position();
        if (n.Name() == "osgb:version") {
            version_position = x.Position();
            version = n.ValueAsInteger();
        }
        if (n.TreeDepth() >= 1) n.Delete();
    };
    xml.LoadFromFile(file);

    EXPECT_THAT(loaded, ::testing::ElementsAre("xml@0", "Comment@0", "osgb:version@3", "osgb:RoadLink@2",
                                               "osgb:networkMember@1", "osgb:FeatureCollection@0"));
    EXPECT_EQ(version, 7);
    EXPECT_EQ(fid, "osgb4000000023456789");
    EXPECT_EQ(xml.FileSize(), size);
    EXPECT_EQ(xml.Position(), size);
    EXPECT_EQ(comment_position, comment_at + static_cast<int64_t>(comment.size()));
    EXPECT_EQ(version_position, root_at + static_cast<int64_t>(root.find("</osgb:version>") + 15));

    // Sizes reach the handler clamped: never negative, never going back.
    ASSERT_EQ(progress.size(), 8u);  // 0, six nodes, the file size
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress[1], static_cast<int32_t>(head.size() - 1));  // after the declaration
    for (size_t i = 2; i < progress.size(); ++i) EXPECT_EQ(progress[i], std::numeric_limits<int32_t>::max());
    ASSERT_NE(xml.Root(), nullptr);
    EXPECT_EQ(xml.Root()->Name(), "osgb:FeatureCollection");
    EXPECT_EQ(xml.Root()->NodeCount(), 0);
}

TEST(NativeXmlLargeFile, ErrorsBeyond4GiBKeepTheirTexts) {
    test::TempDir dir;
    const std::string file = dir / "truncated.gml";
    const int64_t root_at = 4 * kGiB + 1;
    {
        int fd = ::open(file.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        WriteAt(fd, 0, "<?xml version='1.0'?>");
        WriteAt(fd, root_at, "<root><a>1</a>");  // truncated: the root never closes
        ::close(fd);
    }
    TNativeXml xml;
    int64_t a_position = 0;
    xml.OnNodeLoaded = [&](TNativeXml& x, TXmlNode& n) {
        if (n.Name() == "a") a_position = x.Position();
    };
    std::string error;
    try {
        xml.LoadFromFile(file);
    } catch (const EXmlParseError& e) {
        error = e.what();
    }
    EXPECT_EQ(error, "Missing close tag in element root");
    EXPECT_EQ(a_position, root_at + 14);
}

}  // namespace
}  // namespace itn
