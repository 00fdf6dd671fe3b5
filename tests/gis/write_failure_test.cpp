// A writer that meets a full disk (a file size limit, in a child process) reports it as an
// error with the file and the reason, and a writer abandoned after such an error (destroyed
// without Close while the error unwinds) does not end the process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "gis/gis_writer.h"
#include "test_support.h"

namespace itn {
namespace {

using test::TempDir;

// In a child with a file size limit of 4 KiB: writes features until the writer raises, lets
// the writer go without Close. The child's exit status: 0 when the error came as an exception
// whose text holds "File too large", 1 when it held something else, 2 when nothing failed.
int AbandonAfterWriteError(TGISFormat Format, const std::string& FileName) {
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        int status = 2;
        try {
            auto writer = TGISWrite::GetGISObject(Format);
            writer->FileName = FileName;
            writer->StartHeader(2, otPline);
            writer->AddField("ID", gfInteger, 0, 0);
            writer->AddField("Name", gfChar, 40, 0);
            for (int i = 0; i < 200000; ++i) {
                writer->AddLine(i, 0, i + 1, 1, std::to_string(i) + ",\"a name of some length\"");
            }
            writer->Close();
        } catch (const std::exception& e) {
            status = std::string(e.what()).find("File too large") != std::string::npos ? 0 : 1;
        }
        _exit(status);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    if (!WIFEXITED(raw)) return 128 + WTERMSIG(raw);
    return WEXITSTATUS(raw);
}

TEST(WriteFailure, EveryFormatReportsAFullDiskWithoutAborting) {
    const std::pair<TGISFormat, const char*> formats[] = {{gfMIF, "MIF"},         {gfSHP, "SHP"},
                                                          {gfDBF, "DBF"},         {gfCSV, "CSV"},
                                                          {gfGML2, "GML 2"},      {gfKML2, "KML"},
                                                          {gfGeoJSON, "GeoJSON"}, {gfMIF8, "MIF UTF-8"}};
    for (const auto& [format, name] : formats) {
        TempDir dir;
        EXPECT_EQ(AbandonAfterWriteError(format, dir / "net"), 0) << name;
    }
}

}  // namespace
}  // namespace itn
