#include "io/input_identity.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "io/streams.h"

namespace itn {

void TInputIdentities::Check(const std::string& FileName, int Handle) {
    struct stat st {};
    // The descriptor, not the name: what was opened is what gets read.
    if (::fstat(Handle, &st) != 0) {
        throw std::runtime_error("Cannot open file \"" + ExpandFileName(FileName) + "\". " + std::strerror(errno));
    }
    // A pipe or device has no size or time to compare: its identity is the node alone.
    const bool regular = S_ISREG(st.st_mode);
    const TIdentity now{st.st_dev, st.st_ino, regular ? st.st_size : 0,
                        regular ? static_cast<long long>(st.st_mtim.tv_sec) : 0, regular ? st.st_mtim.tv_nsec : 0};
    std::lock_guard<std::mutex> hold(FLock);
    const auto [at, first] = FFiles.emplace(FileName, now);
    if (first || at->second == now) return;
    const char* what = at->second.Device != now.Device || at->second.Inode != now.Inode
                           ? "was replaced by another file"
                           : "was changed";
    throw std::runtime_error("Input file \"" + ExpandFileName(FileName) + "\" " + what +
                             " while the conversion was reading it. Nothing was written");
}

void TInputIdentities::Clear() {
    std::lock_guard<std::mutex> hold(FLock);
    FFiles.clear();
}

}  // namespace itn
