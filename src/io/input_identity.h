// What each input file was when a run first read it (device, inode, size, modification
// time), so that a later pass notices a file replaced or changed in between. Safe to use
// from the reading threads at once.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include <sys/types.h>

namespace itn {

class TInputIdentities {
public:
    // Handle is the descriptor the file was opened as FileName with. The first call for a
    // name notes the file; later calls raise std::runtime_error naming the file when it is
    // another one or has changed.
    void Check(const std::string& FileName, int Handle);
    void Clear();

private:
    struct TIdentity {
        dev_t Device;
        ino_t Inode;
        off_t Size;
        long long ModifiedSeconds;
        long ModifiedNanoseconds;
        bool operator==(const TIdentity&) const = default;
    };
    std::mutex FLock;
    std::map<std::string, TIdentity> FFiles;
};

}  // namespace itn
