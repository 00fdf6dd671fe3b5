#include "roadjob/output_transaction.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "io/streams.h"

namespace itn {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWorkPrefix = ".itn2brinlow-work-";

std::string Shown(const std::string& Folder) { return Folder.empty() ? std::string(".") : Folder; }

void ReplaceAll(std::string& Text, const std::string& From, const std::string& To) {
    if (From.empty()) return;
    for (size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size())) {
        Text.replace(at, From.size(), To);
    }
}

}  // namespace

TOutputTransaction::TOutputTransaction(const std::string& OutputFolder) : FOutputFolder(OutputFolder) {
    const std::string folder = Shown(FOutputFolder);
    FLockHandle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FLockHandle < 0) {
        throw std::runtime_error("Cannot use output folder \"" + folder + "\". " + std::strerror(errno));
    }
    // A lock on the folder itself: it leaves no file behind, and ends with the process.
    if (::flock(FLockHandle, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(FLockHandle);
        FLockHandle = -1;
        if (code == EWOULDBLOCK) {
            throw std::runtime_error("Another conversion is writing into the output folder \"" + folder +
                                     "\". Wait until it has finished or choose another folder");
        }
        throw std::runtime_error("Cannot lock output folder \"" + folder + "\". " + std::strerror(code));
    }
    // With the lock held, any work folder lying here is left by a run that was killed.
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kindError;
        if (name.rfind(kWorkPrefix, 0) == 0 && it->is_directory(kindError) && !it->is_symlink(kindError)) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
    FWorkFolder = FOutputFolder + kWorkPrefix + std::to_string(::getpid()) + "/";
    fs::create_directory(FWorkFolder, ec);
    if (ec) {
        ::close(FLockHandle);
        FLockHandle = -1;
        throw std::runtime_error("Cannot create files in output folder \"" + folder + "\". " + ec.message());
    }
}

TOutputTransaction::~TOutputTransaction() {
    if (!FDone) Rollback();
    if (FLockHandle >= 0) ::close(FLockHandle);
}

void TOutputTransaction::Rollback() noexcept {
    FDone = true;
    std::error_code ec;
    fs::remove_all(FWorkFolder, ec);
}

void TOutputTransaction::Commit() {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(FWorkFolder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    if (ec) {
        throw std::runtime_error("Cannot read the files of this run in output folder \"" + Shown(FOutputFolder) +
                                 "\". " + ec.message());
    }
    std::sort(names.begin(), names.end());
    // A folder in the way of a name would stop the renames half-way: refuse before the first.
    for (const std::string& name : names) {
        std::error_code kindError;
        if (fs::symlink_status(FOutputFolder + name, kindError).type() == fs::file_type::directory) {
            Rollback();
            throw std::runtime_error("Cannot create file \"" + ExpandFileName(FOutputFolder + name) + "\". " +
                                     std::strerror(EISDIR));
        }
    }
    for (const std::string& name : names) {
        const std::string from = FWorkFolder + name, to = FOutputFolder + name;
        // rename replaces the entry itself: a symbolic link of that name goes, its target stays.
        if (::rename(from.c_str(), to.c_str()) != 0) {
            const int code = errno;
            Rollback();
            throw std::runtime_error("Cannot create file \"" + ExpandFileName(to) + "\". " + std::strerror(code));
        }
    }
    Rollback();
}

std::string TOutputTransaction::FinalNames(const std::string& Text) const {
    std::string text = Text;
    ReplaceAll(text, ExpandFileName(FWorkFolder), ExpandFileName(FOutputFolder.empty() ? "./" : FOutputFolder));
    ReplaceAll(text, FWorkFolder, FOutputFolder);
    return text;
}

}  // namespace itn
