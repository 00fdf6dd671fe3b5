#include "io/streams.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "io/codepage.h"
#include "io/errors.h"

namespace itn {

// ---- TBLStream -------------------------------------------------------------------------

int64_t TBLStream::GetSize() {
    int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TBLStream::SetSize(int64_t) { throw EAbstractError(); }
int64_t TBLStream::Seek(int64_t, TSeekOrigin) { throw EAbstractError(); }
int32_t TBLStream::Read(void*, int32_t) { throw EAbstractError(); }
int32_t TBLStream::Write(const void*, int32_t) { throw EAbstractError(); }

void TBLStream::ReadBuffer(void* Buffer, int32_t Count) {
    auto* p = static_cast<char*>(Buffer);
    int32_t n = Read(p, Count);
    while (n < Count) {
        int32_t k = Read(p + n, Count - n);
        if (k <= 0) throw EReadError();
        n += k;
    }
}

void TBLStream::WriteBuffer(const void* Buffer, int32_t Count) {
    const auto* p = static_cast<const char*>(Buffer);
    int32_t n = Write(p, Count);
    while (n < Count) {
        int32_t k = Write(p + n, Count - n);
        if (k <= 0) throw EWriteError(WriteFailure());
        n += k;
    }
}

std::string TBLStream::ReadString(int32_t ASize) {
    if (ASize <= 0) return {};
    std::string bytes(static_cast<size_t>(ASize), '\0');
    ReadBuffer(bytes.data(), ASize);
    return CodepageToUtf8(bytes, static_cast<uint16_t>(DefaultCodepage()));
}

// ---- TBLHandleStream -------------------------------------------------------------------

int32_t TBLHandleStream::Read(void* Buffer, int32_t Count) {
    if (Count <= 0) return 0;
    ssize_t n;
    do n = ::read(FHandle, Buffer, static_cast<size_t>(Count));
    while (n < 0 && errno == EINTR);
    return n < 0 ? 0 : static_cast<int32_t>(n);
}

int32_t TBLHandleStream::Write(const void* Buffer, int32_t Count) {
    if (Count <= 0) return 0;
    ssize_t n;
    do n = ::write(FHandle, Buffer, static_cast<size_t>(Count));
    while (n < 0 && errno == EINTR);
    if (n < 0) FWriteErrno = errno;
    return n < 0 ? 0 : static_cast<int32_t>(n);
}

std::string TBLHandleStream::WriteFailure() const {
    return FWriteErrno != 0 ? std::string(". ") + std::strerror(FWriteErrno) : std::string();
}

std::string TBLFileStream::WriteFailure() const {
    return " in file \"" + ExpandFileName(FFileName) + "\"" + TBLHandleStream::WriteFailure();
}

int64_t TBLHandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET : Origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

void TBLHandleStream::SetSize(int64_t NewSize) {
    Seek(NewSize, TSeekOrigin::soBeginning);
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) {
        int code = errno;
        throw EOSError("System Error.  Code: " + std::to_string(code) + ".\n" + std::strerror(code));
    }
}

// ---- TBLFileStream ---------------------------------------------------------------------

std::string ExpandFileName(const std::string& FileName) {
    std::error_code ec;
    auto full = std::filesystem::absolute(FileName, ec);
    if (ec) return FileName;
    return full.lexically_normal().string();
}

namespace {

constexpr const char* kSharingViolation =
    "The process cannot access the file because it is being used by another process.";

// Open flags and lock kind for an open (not create) mode.
void OpenFlagsFor(uint16_t Mode, int& flags, int& lock) {
    switch (Mode & 0x0F) {
        case 1: flags = O_WRONLY; break;
        case 2: flags = O_RDWR; break;
        default: flags = O_RDONLY; break;
    }
    switch (Mode & 0xF0) {
        case fmShareDenyWrite: lock = LOCK_SH; break;
        case fmShareDenyNone: lock = 0; break;
        default: lock = LOCK_EX; break;  // 0x00 and 0x10: no sharing
    }
}

}  // namespace

TBLFileStream::TBLFileStream(const std::string& AFileName, uint16_t Mode, uint32_t Rights)
    : TBLHandleStream(-1), FFileName(AFileName) {
    const bool create = (Mode & 0xFF00) == 0xFF00;
    int flags = 0;
    int lock = LOCK_EX;
    if (create) {
        flags = O_RDWR | O_CREAT;
        uint8_t share = Mode & 0xFF;
        if (share == 0xFF) share = fmShareExclusive;
        int ignored = 0;
        OpenFlagsFor(share, ignored, lock);
    } else {
        OpenFlagsFor(Mode, flags, lock);
    }
    mode_t perms = Rights != 0 ? static_cast<mode_t>(Rights) : 0666;
    int fd = ::open(AFileName.c_str(), flags | O_CLOEXEC, perms);
    std::string reason;
    if (fd < 0) {
        reason = std::strerror(errno);
    } else {
        if (lock != 0 && ::flock(fd, lock | LOCK_NB) != 0) {
            reason = errno == EWOULDBLOCK ? kSharingViolation : std::strerror(errno);
        } else if (create && ::ftruncate(fd, 0) != 0) {
            // Truncate only once the lock is ours, so a file another writer holds is untouched.
            reason = std::strerror(errno);
        }
        if (!reason.empty()) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        const std::string text = (create ? "Cannot create file \"" : "Cannot open file \"") +
                                 ExpandFileName(AFileName) + "\". " + reason;
        if (create) throw EFCreateError(text);
        throw EFOpenError(text);
    }
    FHandle = fd;
}

TBLFileStream::~TBLFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

// ---- TBLStreamDecorator ----------------------------------------------------------------

TBLStreamDecorator::TBLStreamDecorator(TBLStream* AStream, bool AOwnsStream)
    : FOwnsStream(AOwnsStream), FStream(AStream) {}

TBLStreamDecorator::~TBLStreamDecorator() {
    if (FOwnsStream) delete FStream;
}

void TBLStreamDecorator::SetSize(int64_t NewSize) {
    if (FStream) FStream->SetSize(NewSize);
}

int64_t TBLStreamDecorator::Seek(int64_t Offset, TSeekOrigin Origin) {
    return FStream ? FStream->Seek(Offset, Origin) : -1;
}

int32_t TBLStreamDecorator::Read(void* Buffer, int32_t Count) {
    return FStream ? FStream->Read(Buffer, Count) : 0;
}

int32_t TBLStreamDecorator::Write(const void* Buffer, int32_t Count) {
    return FStream ? FStream->Write(Buffer, Count) : 0;
}

}  // namespace itn
