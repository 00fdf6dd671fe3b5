#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace gen_itn {

namespace {
constexpr size_t kZipBufferSize = size_t{1} << 20;
}

TOutputFile::TOutputFile(std::string Path, const TOutputOptions& Options)
    : FPath(std::move(Path)), FOptions(Options), FBuf(new char[kCapacity]) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (FOptions.Replace ? O_TRUNC : O_EXCL);
    do FFd = ::open(FPath.c_str(), flags, 0666);
    while (FFd < 0 && errno == EINTR);
    if (FFd < 0) {
        const int code = errno;
        if (code == EEXIST) {
            throw EOutputError("The file \"" + FPath + "\" exists already; remove it or give --force to replace it.");
        }
        throw EOutputError("Cannot create file \"" + FPath + "\": " + std::strerror(code));
    }
    if (FOptions.Gzip) {
        FZip = std::make_unique<z_stream>();
        *FZip = z_stream{};
        if (deflateInit2(FZip.get(), FOptions.GzipLevel, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            ::close(FFd);
            ::unlink(FPath.c_str());
            FZip.reset();
            throw EOutputError("Cannot start gzip compression for \"" + FPath + "\".");
        }
        FZipBuf.reset(new unsigned char[kZipBufferSize]);
    }
}

TOutputFile::TOutputFile() : FInMemory(true), FBuf(new char[kCapacity]) {}

std::string TOutputFile::TakeText() {
    Drain(0);
    return std::move(FMemory);
}

TOutputFile::~TOutputFile() {
    if (FZip) deflateEnd(FZip.get());
    if (FFd >= 0) ::close(FFd);
    if (!FClosed && !FInMemory) ::unlink(FPath.c_str());
}

void TOutputFile::Fail(const std::string& What, int Code) {
    throw EOutputError("Cannot " + What + " file \"" + FPath + "\": " + std::strerror(Code));
}

void TOutputFile::Drain(size_t Need) {
    if (FLen > 0) {
        Emit(FBuf.get(), FLen);
        FTextBytes += FLen;
        FLen = 0;
    }
    if (Need > kCapacity) throw EOutputError("Internal error: text piece larger than the output buffer.");
}

void TOutputFile::LitLarge(std::string_view s) {
    Drain(0);
    Emit(s.data(), s.size());
    FTextBytes += s.size();
}

void TOutputFile::Emit(const char* Data, size_t Count) {
    if (FInMemory) {
        FMemory.append(Data, Count);
        return;
    }
    if (FOptions.Indent) {
        EmitIndented(Data, Count);
        return;
    }
    if (FZip) {
        Deflate(Data, Count, Z_NO_FLUSH);
    } else {
        WriteRaw(reinterpret_cast<const unsigned char*>(Data), Count);
    }
}

// Puts every element that follows another element's tag on its own line, indented by depth.
// Text content stays on the line of its element.
void TOutputFile::EmitIndented(const char* Data, size_t Count) {
    FScratch.clear();
    for (size_t i = 0; i < Count; ++i) {
        const char c = Data[i];
        if (c == '\n') continue;  // line breaks come from the indentation only
        if (c == '<') {
            const char next = i + 1 < Count ? Data[i + 1] : '\0';
            if (next == '/') --FDepth;
            if (FPrev == '>') {
                FScratch += '\n';
                FScratch.append(static_cast<size_t>(FDepth) * 2, ' ');
            }
            if (next != '/' && next != '?' && next != '!') ++FDepth;
        } else if (c == '>' && FPrev == '/') {
            --FDepth;
        }
        FScratch += c;
        FPrev = c;
    }
    FOptions.Indent = false;
    Emit(FScratch.data(), FScratch.size());
    FOptions.Indent = true;
}

void TOutputFile::WriteRaw(const unsigned char* Data, size_t Count) {
    FFileBytes += Count;
    while (Count > 0) {
        ssize_t n = ::write(FFd, Data, Count);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("write", errno);
        }
        Data += n;
        Count -= static_cast<size_t>(n);
    }
}

void TOutputFile::Deflate(const char* Data, size_t Count, int Flush) {
    z_stream& zs = *FZip;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data));
    zs.avail_in = static_cast<uInt>(Count);
    for (;;) {
        zs.next_out = FZipBuf.get();
        zs.avail_out = static_cast<uInt>(kZipBufferSize);
        const int rc = deflate(&zs, Flush);
        if (rc == Z_STREAM_ERROR) throw EOutputError("gzip compression failed for \"" + FPath + "\".");
        WriteRaw(FZipBuf.get(), kZipBufferSize - zs.avail_out);
        if (Flush == Z_FINISH ? rc == Z_STREAM_END : (zs.avail_in == 0 && zs.avail_out != 0)) break;
    }
}

void TOutputFile::Close() {
    if (FClosed) return;
    Drain(0);
    if (FInMemory) {
        FClosed = true;
        return;
    }
    if (FOptions.Indent && FPrev != '\n') {
        FOptions.Indent = false;
        Emit("\n", 1);
        FOptions.Indent = true;
    }
    if (FZip) {
        Deflate(nullptr, 0, Z_FINISH);
        deflateEnd(FZip.get());
        FZip.reset();
    }
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0) Fail("write", errno);
    FClosed = true;
}

}  // namespace gen_itn
