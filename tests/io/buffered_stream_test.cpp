#include "io/buffered_stream.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::TempDir;

constexpr int32_t kMiB = TBLBufferedStream::kDefaultBufferSize;

// Counts the writes that reach the file, to see the 1 MiB blocks.
class RecordingStream : public TBLFileStream {
public:
    using TBLFileStream::TBLFileStream;
    int32_t Write(const void* Buffer, int32_t Count) override {
        writes.push_back({Position(), Count});
        return TBLFileStream::Write(Buffer, Count);
    }
    std::vector<std::pair<int64_t, int32_t>> writes;
};

TEST(BufferedStream, BlocksAtTheBufferBoundary) {
    TempDir dir;
    struct Case {
        int32_t bytes;
        std::vector<std::pair<int64_t, int32_t>> writes_before_close;
        std::vector<std::pair<int64_t, int32_t>> writes_after_close;
    };
    const Case cases[] = {
        {kMiB, {}, {{0, kMiB}}},
        {kMiB + 1, {{0, kMiB}}, {{0, kMiB}, {kMiB, 1}}},
    };
    for (const Case& c : cases) {
        const std::string name = dir / ("b" + std::to_string(c.bytes));
        auto* file = new RecordingStream(name, fmCreate);
        TBLBufferedStream s(file, true);
        std::string data(static_cast<size_t>(c.bytes), 'a');
        for (size_t i = 0; i < data.size(); i += 997) data[i] = static_cast<char>('a' + i % 26);
        EXPECT_EQ(s.Write(data.data(), c.bytes), c.bytes);
        EXPECT_EQ(file->writes, c.writes_before_close) << c.bytes;
        EXPECT_EQ(s.Size(), c.bytes);
        s.Flush();
        EXPECT_EQ(file->writes, c.writes_after_close) << c.bytes;
        s.Close();
        EXPECT_EQ(ReadFile(name), data);
    }
}

TEST(BufferedStream, SeekRules) {
    TempDir dir;
    TBLBufferedStream s(new TBLFileStream(dir / "seek.bin", fmCreate), true);
    s.WriteBuffer("hello", 5);
    EXPECT_EQ(s.Seek(0, TSeekOrigin::soEnd), 5);  // counts data not yet written back
    EXPECT_EQ(s.Seek(-10, TSeekOrigin::soCurrent), -1);
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 3);
    EXPECT_EQ(s.Seek(static_cast<int64_t>(kMiB) * 3, TSeekOrigin::soBeginning), static_cast<int64_t>(kMiB) * 3);
}

TEST(BufferedStream, OverwritesInsideWrittenDataAndAcrossBlocks) {
    TempDir dir;
    const std::string name = dir / "patch.bin";
    std::string expected(static_cast<size_t>(kMiB) * 2 + 100, 'x');
    {
        TBLBufferedStream s(new TBLFileStream(name, fmCreate), true);
        s.Write(expected.data(), static_cast<int32_t>(expected.size()));
        // Back-patch a header word in the first block (already written back) and a
        // word in the current block.
        s.SetPosition(4);
        s.WriteInt32(0x41424344);
        s.SetPosition(kMiB * 2 + 10);
        s.WriteBuffer("YZ", 2);
        s.SetPosition(0);
        EXPECT_EQ(s.ReadByte(), 'x');
        s.SetPosition(4);
        EXPECT_EQ(s.ReadInt32(), 0x41424344);
        s.Close();
    }
    expected.replace(4, 4, "DCBA");
    expected.replace(static_cast<size_t>(kMiB) * 2 + 10, 2, "YZ");
    EXPECT_EQ(ReadFile(name), expected);
}

TEST(BufferedStream, ReadsAnExistingFileInBlocks) {
    TempDir dir;
    std::string data(static_cast<size_t>(kMiB) + 5000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    test::WriteFile(dir / "in.bin", data);
    TBLBufferedStream s(new TBLFileStream(dir / "in.bin", fmOpenRead), true);
    std::string got(data.size() + 10, '\0');
    EXPECT_EQ(s.Read(got.data(), static_cast<int32_t>(got.size())), static_cast<int32_t>(data.size()));
    got.resize(data.size());
    EXPECT_EQ(got, data);
    EXPECT_EQ(s.Read(got.data(), 1), 0);
}

TEST(BufferedStream, SetSizeDiscardsDirtyBytesBeyondTheNewSize) {
    TempDir dir;
    const std::string name = dir / "trunc.bin";
    {
        TBLBufferedStream s(new TBLFileStream(name, fmCreate), true);
        s.WriteBuffer("0123456789", 10);
        s.SetSize(4);
        EXPECT_EQ(s.Position(), 4);
        EXPECT_EQ(s.Size(), 4);
        s.WriteBuffer("ab", 2);
        s.Close();
    }
    EXPECT_EQ(ReadFile(name), "0123ab");
}

TEST(BufferedStream, WritingPastTheEndLeavesZerosInTheGap) {
    TempDir dir;
    const std::string name = dir / "gap.bin";
    {
        TBLBufferedStream s(new TBLFileStream(name, fmCreate), true);
        std::string junk(100, 'J');
        s.WriteBuffer(junk.data(), 100);
        s.SetSize(0);
        s.SetPosition(10);
        s.WriteBuffer("end", 3);
        s.Close();
    }
    EXPECT_EQ(ReadFile(name), std::string(10, '\0') + "end");
}

}  // namespace
}  // namespace itn
