#include "io/streams.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstring>

#include "io/buffered_stream.h"
#include "io/errors.h"
#include "test_support.h"

namespace itn {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(FileStream, TypedWritersAreLittleEndianAndReadBack) {
    TempDir dir;
    const std::string name = dir / "typed.bin";
    {
        TBLFileStream f(name, fmCreate);
        f.WriteByte(0xAB);
        f.WriteUInt16(0x1234);
        f.WriteInt16(-2);
        f.WriteUInt32(0xDEADBEEF);
        f.WriteInt32(-1);
        f.WriteInt64(0x0102030405060708LL);
        f.WriteDouble(1.5);
        f.WriteSingle(-0.25f);
        EXPECT_EQ(f.Size(), 1 + 2 + 2 + 4 + 4 + 8 + 8 + 4);
    }
    const std::string bytes = ReadFile(name);
    EXPECT_EQ(bytes.substr(0, 5), std::string("\xAB\x34\x12\xFE\xFF", 5));
    EXPECT_EQ(bytes.substr(5, 4), std::string("\xEF\xBE\xAD\xDE", 4));
    EXPECT_EQ(bytes.substr(13, 8), std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
    EXPECT_EQ(bytes.substr(21, 8), std::string("\x00\x00\x00\x00\x00\x00\xF8\x3F", 8));

    TBLFileStream in(name, fmOpenRead);
    EXPECT_EQ(in.ReadByte(), 0xAB);
    EXPECT_EQ(in.ReadUInt16(), 0x1234);
    EXPECT_EQ(in.ReadInt16(), -2);
    EXPECT_EQ(in.ReadUInt32(), 0xDEADBEEFu);
    EXPECT_EQ(in.ReadInt32(), -1);
    EXPECT_EQ(in.ReadInt64(), 0x0102030405060708LL);
    EXPECT_EQ(in.ReadDouble(), 1.5);
    EXPECT_EQ(in.ReadSingle(), -0.25f);
    char extra;
    EXPECT_THROW(in.ReadBuffer(&extra, 1), EReadError);
}

TEST(FileStream, ReadStringDecodesTheDefaultCodepage) {
    TempDir dir;
    test::WriteFile(dir / "s.bin", "Caf\xE9!");
    TBLFileStream in(dir / "s.bin", fmOpenRead);
    EXPECT_EQ(in.ReadString(5), "Caf\xC3\xA9!");
}

TEST(FileStream, CreateAndOpenFailuresNameTheFullPathAndReason) {
    TempDir dir;
    const std::string missing_folder = dir / "no-such-folder/out.mif";
    try {
        TBLFileStream f(missing_folder, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing_folder + "\". No such file or directory");
    }
    try {
        TBLFileStream f(dir / "absent.gml", fmOpenReadWrite);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + (dir / "absent.gml") + "\". No such file or directory");
    }
}

TEST(FileStream, RelativeNamesAreExpandedInMessages) {
    const std::string expected = (std::filesystem::current_path() / "no-such-dir/x.txt").string();
    try {
        TBLFileStream f("./no-such-dir/../no-such-dir/x.txt", fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + expected + "\""), std::string::npos) << e.what();
    }
}

TEST(FileStream, NoPermissionIsReported) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores file permissions";
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(TBLFileStream(dir / "x.bin", fmCreate), EFCreateError);
}

TEST(FileStream, CreatedFileIsExclusiveAndLeftUntouched) {
    TempDir dir;
    const std::string name = dir / "held.txt";
    TBLFileStream first(name, fmCreate);
    first.WriteBuffer("keep", 4);
    try {
        TBLFileStream second(name, fmCreate);
        FAIL() << "a second writer opened a held file";
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find("being used by another process"), std::string::npos);
    }
    EXPECT_EQ(ReadFile(name), "keep");  // the failed create did not truncate it
}

TEST(FileStream, SetSizeTruncatesAndExtends) {
    TempDir dir;
    TBLFileStream f(dir / "size.bin", fmCreate);
    f.WriteBuffer("0123456789", 10);
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
    EXPECT_EQ(f.Position(), 4);
    f.SetSize(6);
    EXPECT_EQ(f.Size(), 6);
}

TEST(Decorator, ForwardsAndOwns) {
    TempDir dir;
    auto* inner = new TBLFileStream(dir / "d.bin", fmCreate);
    {
        TBLStreamDecorator d(inner, true);
        d.WriteBuffer("abc", 3);
        EXPECT_EQ(d.Size(), 3);
        d.SetPosition(1);
        char c;
        d.ReadBuffer(&c, 1);
        EXPECT_EQ(c, 'b');
    }  // owns and closes the inner stream; a new exclusive create must succeed now
    EXPECT_NO_THROW(TBLFileStream(dir / "d.bin", fmCreate));

    TBLStreamDecorator empty(nullptr, false);
    char c = 0;
    EXPECT_EQ(empty.Read(&c, 1), 0);
    EXPECT_EQ(empty.Write(&c, 1), 0);
    EXPECT_EQ(empty.Seek(0, TSeekOrigin::soBeginning), -1);
    EXPECT_THROW(empty.WriteBuffer(&c, 1), EWriteError);
}

TEST(BaseStream, AbstractOperationsRaise) {
    TBLStream s;
    char c;
    EXPECT_THROW(s.Read(&c, 1), EAbstractError);
    EXPECT_THROW(s.SetSize(0), EAbstractError);
    try {
        s.Write(&c, 1);
    } catch (const EAbstractError& e) {
        EXPECT_STREQ(e.what(), "Abstract Error");
    }
}

// A full disk, simulated by a file size limit in a child process, must surface as a write
// error naming the file and the reason when the buffered data is written back.
TEST(FileStream, FileSizeLimitSurfacesAsWriteError) {
    TempDir dir;
    const std::string name = dir / "limited.bin";
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(pipefd[0]);
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &lim);
        std::string result = "no error";
        try {
            TBLBufferedStream s(new TBLFileStream(name, fmCreate), true);
            std::string block(4000, 'x');
            s.Write(block.data(), static_cast<int32_t>(block.size()));
            s.Close();
        } catch (const std::exception& e) {
            result = e.what();
        }
        ssize_t ignored = write(pipefd[1], result.data(), result.size());
        (void)ignored;
        _exit(0);
    }
    close(pipefd[1]);
    char buf[256] = {};
    ssize_t n = read(pipefd[0], buf, sizeof buf - 1);
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(buf), "Stream write error in file \"" + ExpandFileName(name) + "\". File too large");
}

}  // namespace
}  // namespace itn
