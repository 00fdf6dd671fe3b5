// A generated file: text appended through a large buffer, written plain or gzip-compressed.
// The file is created new (an existing file is replaced only when asked); a file that is not
// closed successfully is removed, so no partial output is left behind. Without a path the
// text is collected in memory (pieces that worker threads make for a file written later).
#pragma once

#include <zlib.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace gen_itn {

class EOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TOutputOptions {
    bool Gzip = false;
    int GzipLevel = 6;
    bool Replace = false;  // replace an existing file instead of refusing
    bool Indent = false;   // one element per line, indented (small fixtures)
};

class TOutputFile {
public:
    TOutputFile(std::string Path, const TOutputOptions& Options);
    TOutputFile();  // in memory
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    void Lit(std::string_view s) {
        if (FLen + s.size() > kCapacity) {
            if (s.size() > kCapacity) return LitLarge(s);
            Drain(s.size());
        }
        std::memcpy(FBuf.get() + FLen, s.data(), s.size());
        FLen += s.size();
    }
    void Char(char c) {
        if (FLen + 1 > kCapacity) Drain(1);
        FBuf[FLen++] = c;
    }
    void UInt(uint64_t v) {
        if (FLen + 20 > kCapacity) Drain(20);
        FLen = static_cast<size_t>(std::to_chars(FBuf.get() + FLen, FBuf.get() + kCapacity, v).ptr - FBuf.get());
    }
    // A coordinate in millimetres as metres with two decimals ("437512.34"); the millimetre
    // digit is dropped.
    void Coordinate(int64_t mm) {
        if (FLen + 24 > kCapacity) Drain(24);
        char* p = FBuf.get() + FLen;
        int64_t cm = mm / 10;
        if (cm < 0) {
            *p++ = '-';
            cm = -cm;
        }
        p = std::to_chars(p, p + 20, cm / 100).ptr;
        const int frac = static_cast<int>(cm % 100);
        p[0] = '.';
        p[1] = static_cast<char>('0' + frac / 10);
        p[2] = static_cast<char>('0' + frac % 10);
        FLen = static_cast<size_t>(p + 3 - FBuf.get());
    }
    // Digits of v, zero-padded to Width.
    void Padded(uint64_t v, int Width) {
        if (FLen + Width > kCapacity) Drain(static_cast<size_t>(Width));
        char* p = FBuf.get() + FLen;
        for (int i = Width - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
        FLen += static_cast<size_t>(Width);
    }

    // Writes out everything, finishes the gzip stream and closes the file.
    void Close();

    // The text collected in memory so far.
    std::string TakeText();

    const std::string& Path() const { return FPath; }
    // Bytes of text written (before compression), and bytes of the file on disk.
    uint64_t TextBytes() const { return FTextBytes + FLen; }
    uint64_t FileBytes() const { return FFileBytes; }

private:
    static constexpr size_t kCapacity = size_t{256} << 10;

    void Drain(size_t Need);
    void LitLarge(std::string_view s);
    void Emit(const char* Data, size_t Count);
    void EmitIndented(const char* Data, size_t Count);
    void WriteRaw(const unsigned char* Data, size_t Count);
    void Deflate(const char* Data, size_t Count, int Flush);
    [[noreturn]] void Fail(const std::string& What, int Code);

    std::string FPath;
    TOutputOptions FOptions;
    int FFd = -1;
    bool FClosed = false;
    bool FInMemory = false;
    std::string FMemory;
    std::unique_ptr<char[]> FBuf;
    size_t FLen = 0;
    uint64_t FTextBytes = 0;
    uint64_t FFileBytes = 0;
    std::unique_ptr<z_stream> FZip;
    std::unique_ptr<unsigned char[]> FZipBuf;
    // Indentation state.
    int FDepth = 0;
    char FPrev = '\n';
    std::string FScratch;
};

}  // namespace gen_itn
