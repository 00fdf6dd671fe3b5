#include "input/gz_expansion.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "io/errors.h"
#include "io/streams.h"

namespace itn {

namespace {

// Writes of 128 KiB: large enough for few system calls and inflate's fast path, small enough
// that the kernel copies the output from the processor cache. Buffers of several MiB measured
// slower here, with several times the system time.
constexpr size_t kInBufferSize = size_t{256} << 10;
constexpr size_t kOutBufferSize = size_t{128} << 10;
// Numbered alternatives tried when the natural name is taken.
constexpr int kMaxAlternatives = 1000;

std::string Quoted(const std::string& FileName) { return "\"" + ExpandFileName(FileName) + "\""; }

size_t FileNamePartStart(const std::string& FileName) {
    const size_t slash = FileName.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Position of the last "." of the file name part, or npos.
size_t ExtensionStart(const std::string& FileName) {
    const size_t dot = FileName.find_last_of('.');
    if (dot == std::string::npos || dot < FileNamePartStart(FileName)) return std::string::npos;
    return dot;
}

EGzError GzError(const std::string& GzFile, const std::string& What) {
    return EGzError("Cannot expand " + Quoted(GzFile) + ": " + What);
}

[[noreturn]] void ThrowOsError(const std::string& Action, const std::string& FileName, int Code) {
    throw EOSError("Cannot " + Action + " file " + Quoted(FileName) + ". " + std::strerror(Code));
}

class TFd {
public:
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    // Returns 0, or the errno of a failed close.
    int Close() {
        if (FFd < 0) return 0;
        int rc = ::close(FFd);
        FFd = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int FFd;
};

void WriteAll(int Fd, const unsigned char* Data, size_t Count, const std::string& FileName) {
    while (Count > 0) {
        ssize_t n = ::write(Fd, Data, Count);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowOsError("write", FileName, errno);
        }
        if (n == 0) ThrowOsError("write", FileName, EIO);
        Data += n;
        Count -= static_cast<size_t>(n);
    }
}

// Reads up to Count bytes; 0 only at the end of the file.
size_t ReadSome(int Fd, unsigned char* Buffer, size_t Count, const std::string& FileName) {
    for (;;) {
        ssize_t n = ::read(Fd, Buffer, Count);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) ThrowOsError("read", FileName, errno);
    }
}

class TInflater {
public:
    TInflater() {
        if (inflateInit2(&FStream, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
    }
    ~TInflater() { inflateEnd(&FStream); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream& Stream() { return FStream; }

private:
    z_stream FStream{};
};

// Decompresses every gzip member of the open input In into Out. A member may be followed by
// another member or by zero padding; anything else is an error.
void InflateAll(int In, int Out, const std::string& GzFile, const std::string& OutFile) {
    std::unique_ptr<unsigned char[]> in(new unsigned char[kInBufferSize]);
    std::unique_ptr<unsigned char[]> out(new unsigned char[kOutBufferSize]);
    TInflater inflater;
    z_stream& zs = inflater.Stream();

    uint64_t bytesRead = 0;
    auto offset = [&] { return bytesRead - zs.avail_in; };

    size_t got = ReadSome(In, in.get(), kInBufferSize, GzFile);
    bytesRead += got;
    if (got == 0) throw GzError(GzFile, "the file is empty, not gzip data.");
    if (got < 2 || in[0] != 0x1F || in[1] != 0x8B) throw GzError(GzFile, "the file is not in gzip format.");
    zs.next_in = in.get();
    zs.avail_in = static_cast<uInt>(got);

    bool inMember = false;  // inside a member whose end has not been reached
    bool eof = false;
    uint64_t memberStart = 0;
    size_t outUsed = 0;
    for (;;) {
        if (zs.avail_in == 0 && !eof) {
            got = ReadSome(In, in.get(), kInBufferSize, GzFile);
            bytesRead += got;
            eof = got == 0;
            zs.next_in = in.get();
            zs.avail_in = static_cast<uInt>(got);
        }
        if (!inMember) {
            // Between members: zero padding may follow the last one.
            while (zs.avail_in > 0 && *zs.next_in == 0) {
                ++zs.next_in;
                --zs.avail_in;
            }
            if (zs.avail_in == 0) {
                if (eof) break;
                continue;
            }
            inMember = true;
            memberStart = offset();
        }
        zs.next_out = out.get() + outUsed;
        zs.avail_out = static_cast<uInt>(kOutBufferSize - outUsed);
        const int rc = inflate(&zs, Z_NO_FLUSH);
        outUsed = kOutBufferSize - zs.avail_out;
        if (outUsed == kOutBufferSize) {
            WriteAll(Out, out.get(), outUsed, OutFile);
            outUsed = 0;
        }
        switch (rc) {
            case Z_OK:
                break;
            case Z_BUF_ERROR:  // no progress: more input is needed
                if (eof && zs.avail_in == 0) {
                    throw GzError(GzFile, "the file is truncated: its compressed data ends at byte " +
                                              std::to_string(bytesRead) + " before the end of the stream.");
                }
                break;
            case Z_STREAM_END:
                inMember = false;
                inflateReset(&zs);
                break;
            case Z_DATA_ERROR: {
                const std::string msg = zs.msg ? zs.msg : "invalid data";
                if (msg == "incorrect header check" && memberStart > 0) {
                    throw GzError(GzFile, "unexpected data after the end of the compressed data, at byte " +
                                              std::to_string(memberStart) + ".");
                }
                throw GzError(GzFile, "the compressed data is damaged (" + msg + "), near byte " +
                                          std::to_string(offset()) + ".");
            }
            case Z_MEM_ERROR:
                throw std::bad_alloc();
            default:
                throw GzError(GzFile, "decompression failed (zlib error " + std::to_string(rc) + ").");
        }
    }
    if (outUsed > 0) WriteAll(Out, out.get(), outUsed, OutFile);
}

// Creates Name exclusively; returns -1 when a file (or link) of that name exists.
int CreateExclusive(const std::string& Name) {
    for (;;) {
        int fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno == EEXIST) return -1;
        if (errno != EINTR) {
            throw EFCreateError("Cannot create file " + Quoted(Name) + ". " + std::strerror(errno));
        }
    }
}

// Expands GzFile under Preferred, or under the natural name or a numbered alternative when
// Preferred exists. Returns the name written. On failure nothing of the output remains.
std::string ExpandToFreeName(const std::string& GzFile, const std::string& Preferred) {
    TBLFileStream input(GzFile, fmOpenRead | fmShareDenyWrite);
    ::posix_fadvise(input.Handle(), 0, 0, POSIX_FADV_SEQUENTIAL);

    const std::string base = GmlNameFor(GzFile);
    std::string name = Preferred;
    int fd = CreateExclusive(name);
    for (int n = 0; fd < 0; ++n) {
        if (n > kMaxAlternatives) {
            throw EFCreateError("Cannot create file " + Quoted(base) + ". The name and its alternatives " +
                                Quoted(base + ".1.gml") + " to " +
                                Quoted(base + "." + std::to_string(kMaxAlternatives) + ".gml") +
                                " are all taken.");
        }
        const std::string next = n == 0 ? base : base + "." + std::to_string(n) + ".gml";
        if (next == Preferred) continue;
        name = next;
        fd = CreateExclusive(name);
    }

    TFd output(fd);
    try {
        InflateAll(input.Handle(), output.Get(), GzFile, name);
        if (int code = output.Close()) ThrowOsError("write", name, code);
    } catch (...) {
        output.Close();
        ::unlink(name.c_str());
        throw;
    }
    return name;
}

// Removes a file this run created; a file already gone is fine.
void RemoveOwnFile(const std::string& Name) {
    if (::unlink(Name.c_str()) != 0 && errno != ENOENT) ThrowOsError("delete", Name, errno);
}

}  // namespace

bool IsGzFileName(const std::string& FileName) {
    const size_t dot = ExtensionStart(FileName);
    return dot != std::string::npos && FileName.compare(dot, std::string::npos, ".gz") == 0;
}

std::string GmlNameFor(const std::string& FileName) {
    const size_t dot = ExtensionStart(FileName);
    return (dot == std::string::npos ? FileName : FileName.substr(0, dot)) + ".gml";
}

std::string UnzipGzFile(const std::string& FileName) {
    return ExpandToFreeName(FileName, GmlNameFor(FileName));
}

std::string TGzExpansions::Expand(const std::string& GzFile) {
    const std::string key = ExpandFileName(GzFile);
    std::string preferred = GmlNameFor(GzFile);
    auto it = FEntries.find(key);
    if (it != FEntries.end()) {
        preferred = it->second.Name;
        if (it->second.OnDisk) {
            RemoveOwnFile(it->second.Name);
            it->second.OnDisk = false;
        }
    }
    std::string name = ExpandToFreeName(GzFile, preferred);
    FEntries[key] = TEntry{name, true};
    return name;
}

std::string TGzExpansions::KeptName(const std::string& GzFile) const {
    auto it = FEntries.find(ExpandFileName(GzFile));
    if (it == FEntries.end()) {
        throw EGzError("No expanded file of " + Quoted(GzFile) + " was kept from an earlier pass.");
    }
    return it->second.Name;
}

void TGzExpansions::Delete(const std::string& GzFile) {
    auto it = FEntries.find(ExpandFileName(GzFile));
    if (it == FEntries.end() || !it->second.OnDisk) return;
    RemoveOwnFile(it->second.Name);
    it->second.OnDisk = false;
}

}  // namespace itn
