#include "roadjob/output_transaction.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/input_identity.h"
#include "test_support.h"

namespace itn {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Entries(const fs::path& Folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ErrorOf(const std::function<void()>& Fn) {
    try {
        Fn();
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::string();
}

TEST(OutputTransaction, CommitReplacesAndRollbackKeeps) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    WriteFile(folder + "a.txt", "old a");
    WriteFile(folder + "b.txt", "old b");
    WriteFile(dir / "target.txt", "not ours");
    fs::create_symlink(dir / "target.txt", dir / "link.txt");
    {
        TOutputTransaction output(folder);
        EXPECT_EQ(output.WorkFolder().rfind(folder + ".itn2brinlow-work-", 0), 0u);
        WriteFile(output.WorkFolder() + "a.txt", "new a");
        // Destroyed without Commit: as if the run had failed.
    }
    EXPECT_EQ(ReadFile(folder + "a.txt"), "old a");
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.txt", "b.txt", "link.txt", "target.txt"}));
    {
        TOutputTransaction output(folder);
        WriteFile(output.WorkFolder() + "a.txt", "new a");
        WriteFile(output.WorkFolder() + "link.txt", "new link");
        output.Commit();
    }
    EXPECT_EQ(ReadFile(folder + "a.txt"), "new a");
    EXPECT_EQ(ReadFile(folder + "b.txt"), "old b");  // not part of this output set
    EXPECT_FALSE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadFile(folder + "link.txt"), "new link");
    EXPECT_EQ(ReadFile(dir / "target.txt"), "not ours");
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.txt", "b.txt", "link.txt", "target.txt"}));
}

// A folder where an output file goes fails the commit before any file is replaced.
TEST(OutputTransaction, FolderInTheWayReplacesNothing) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    WriteFile(folder + "a.txt", "old a");
    fs::create_directory(folder + "b.txt");
    TOutputTransaction output(folder);
    WriteFile(output.WorkFolder() + "a.txt", "new a");
    WriteFile(output.WorkFolder() + "b.txt", "new b");
    EXPECT_EQ(ErrorOf([&] { output.Commit(); }), "Cannot create file \"" + folder + "b.txt\". Is a directory");
    EXPECT_EQ(ReadFile(folder + "a.txt"), "old a");
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(OutputTransaction, OneRunPerFolder) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    TOutputTransaction first(folder);
    EXPECT_EQ(ErrorOf([&] { TOutputTransaction second(folder); }),
              "Another conversion is writing into the output folder \"" + folder +
                  "\". Wait until it has finished or choose another folder");
    EXPECT_EQ(Entries(dir.path()).size(), 1u);  // only the first run's work folder
}

TEST(OutputTransaction, MessagesNameTheFinalFiles) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    TOutputTransaction output(folder);
    const std::string work = output.WorkFolder();
    EXPECT_EQ(output.FinalNames("Stream write error in file \"" + work + "ITN_network.mid\". File too large"),
              "Stream write error in file \"" + folder + "ITN_network.mid\". File too large");
    EXPECT_EQ(output.FinalNames("no path here"), "no path here");
    EXPECT_NE(ErrorOf([] { TOutputTransaction missing("/nonexistent-folder-of-a-test/"); }).find("No such file"),
              std::string::npos);
}

// The identity of an input is taken from the opened descriptor: a file renamed over it or
// changed in size or time is noticed, the same file opened again is not.
TEST(InputIdentities, NoticesReplacedAndChangedFiles) {
    TempDir dir;
    const std::string name = dir / "roads.gml", other = dir / "other.gml";
    auto check = [](TInputIdentities& Identities, const std::string& Name) {
        const int handle = ::open(Name.c_str(), O_RDONLY);
        const std::string error = ErrorOf([&] { Identities.Check(Name, handle); });
        ::close(handle);
        return error;
    };
    TInputIdentities identities;
    WriteFile(name, "<a/>");
    WriteFile(other, "<b/>");
    EXPECT_EQ(check(identities, name), "");
    EXPECT_EQ(check(identities, name), "");
    EXPECT_EQ(check(identities, other), "");  // another name, noted on its own

    fs::rename(other, name);
    EXPECT_EQ(check(identities, name),
              "Input file \"" + name + "\" was replaced by another file while the conversion was reading it. "
              "Nothing was written");

    identities.Clear();
    EXPECT_EQ(check(identities, name), "");
    WriteFile(name, "<b>longer</b>");  // same file, new size
    EXPECT_NE(check(identities, name).find("was changed while the conversion was reading it"), std::string::npos);
}

}  // namespace
}  // namespace itn
