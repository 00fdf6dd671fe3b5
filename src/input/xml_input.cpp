#include "input/xml_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "input/gz_input.h"
#include "input/xml_errors.h"
#include "input/xml_text.h"
#include "io/errors.h"
#include "io/streams.h"

namespace itn::xml {

namespace {
constexpr size_t kMinPage = 64;  // room for the longest look-ahead of the parser and more
}

TXmlInput::TXmlInput() = default;
TXmlInput::~TXmlInput() { Close(); }

void TXmlInput::SetPageSize(size_t Bytes) { FPageSize = std::max(Bytes, kMinPage); }

void TXmlInput::OpenFile(const std::string& FileName) {
    Close();
    // Others may read the file while we do, not write it.
    FFile = std::make_unique<TBLFileStream>(FileName, fmOpenRead | fmShareDenyWrite);
    FHandle = FFile->Handle();
    struct stat st {};
    if (::fstat(FHandle, &st) != 0 || S_ISDIR(st.st_mode)) {
        int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
        FFile.reset();
        FHandle = -1;
        throw EFOpenError("Cannot open file \"" + ExpandFileName(FileName) + "\". " + std::strerror(code));
    }
    FSize = static_cast<int64_t>(st.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(FHandle, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    FFromMemory = false;
    if (IsGzFileName(FileName)) FGz = std::make_unique<TGzReader>(FHandle, FileName);
}

int64_t TXmlInput::ProgressPosition(const char* P) const {
    return FGz ? FGz->CompressedPosition() : Position(P);
}

void TXmlInput::CheckRestOfGz() {
    if (!FGz) return;
    std::unique_ptr<char[]> sink = std::make_unique_for_overwrite<char[]>(size_t{1} << 20);
    while (FGz->Read(sink.get(), size_t{1} << 20) > 0) {
    }
}

void TXmlInput::OpenMemory(std::string_view Data) {
    Close();
    FMemory = Data;
    FMemoryPos = 0;
    FFromMemory = true;
    FSize = static_cast<int64_t>(Data.size());
}

void TXmlInput::Close() {
    FGz.reset();  // stops its thread before the file is closed
    FFile.reset();
    FHandle = -1;
    FMemory = {};
    FMemoryPos = 0;
    FFromMemory = false;
    FBuf.reset();
    FRaw.reset();
    FCap = FRawCap = 0;
    Cur = End = nullptr;
    FEof = false;
}

size_t TXmlInput::ReadRaw(char* Dest, size_t Count) {
    if (Count == 0) return 0;
    if (FFromMemory) {
        size_t n = std::min(Count, FMemory.size() - FMemoryPos);
        std::memcpy(Dest, FMemory.data() + FMemoryPos, n);
        FMemoryPos += n;
        return n;
    }
    if (FHandle < 0) return 0;
    // The parser takes a short read for the end of the input, so read until Count bytes have
    // come or the input ends: the inflater hands out one queue buffer at a time, and a pipe
    // gives what its writer has written so far.
    size_t done = 0;
    while (done < Count) {
        if (FGz) {
            const size_t n = FGz->Read(Dest + done, Count - done);
            if (n == 0) break;
            done += n;
            continue;
        }
        const ssize_t n = ::read(FHandle, Dest + done, Count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError();
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

TSourceEncoding TXmlInput::Start() {
    FCap = std::max(FPageSize, kMinPage);
    FBuf = std::make_unique_for_overwrite<char[]>(FCap);
    FBase = 0;
    FEof = false;
    size_t n = 0;
    while (n < 4) {
        size_t k = ReadRaw(FBuf.get() + n, FCap - n);
        if (k == 0) break;
        n += k;
    }
    int b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<size_t>(i) < n ? static_cast<unsigned char>(FBuf[i]) : -1;
    auto is = [&](int b0, int b1, int b2, int b3) { return b[0] == b0 && b[1] == b1 && b[2] == b2 && b[3] == b3; };
    auto starts2 = [&](int b0, int b1) { return b[0] == b0 && b[1] == b1; };

    size_t skip = 0;
    TSourceEncoding enc = TSourceEncoding::seSingleByte;
    // Four-byte marks first, so that a UCS-4 mark is not taken for a UTF-16 one.
    if (is(0x00, 0x00, 0xFE, 0xFF) || is(0xFF, 0xFE, 0x00, 0x00) || is(0x00, 0x00, 0xFF, 0xFE) ||
        is(0xFE, 0xFF, 0x00, 0x00) || is(0x00, 0x00, 0x00, 0x3C) || is(0x3C, 0x00, 0x00, 0x00) ||
        is(0x00, 0x00, 0x3C, 0x00) || is(0x00, 0x3C, 0x00, 0x00) || is(0x4C, 0x6F, 0xA7, 0x94))
        throw EXmlParseError("Unsupported string encoding");
    if (starts2(0xFE, 0xFF)) {
        enc = TSourceEncoding::seUtf16BE;
        skip = 2;
    } else if (starts2(0xFF, 0xFE)) {
        enc = TSourceEncoding::seUtf16LE;
        skip = 2;
    } else if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        enc = TSourceEncoding::seUtf8;
        skip = 3;
    } else if (is(0x00, 0x3C, 0x00, 0x3F)) {
        enc = TSourceEncoding::seUtf16BE;
    } else if (is(0x3C, 0x00, 0x3F, 0x00)) {
        enc = TSourceEncoding::seUtf16LE;
    }
    FEncoding = enc;
    FPassThrough = !(enc == TSourceEncoding::seUtf16LE || enc == TSourceEncoding::seUtf16BE);

    if (enc == TSourceEncoding::seUtf16LE || enc == TSourceEncoding::seUtf16BE) {
        FRawCap = FCap;
        FRaw = std::make_unique_for_overwrite<char[]>(FRawCap);
        FRawBegin = 0;
        FRawEnd = n - skip;
        std::memcpy(FRaw.get(), FBuf.get() + skip, FRawEnd);
        FRawEof = false;
        FRawConsumed = static_cast<int64_t>(skip);
        Cur = End = FBuf.get();
    } else {
        Cur = FBuf.get() + skip;
        End = FBuf.get() + n;
        if (n == 0) FEof = true;
    }
    return enc;
}

void TXmlInput::Grow(size_t MinFree, char*& Keep) {
    // Called with the kept bytes at the front of the buffer.
    const size_t used = static_cast<size_t>(End - FBuf.get());
    size_t cap = FCap;
    while (cap - used < MinFree) cap *= 2;
    auto buf = std::make_unique_for_overwrite<char[]>(cap);
    std::memcpy(buf.get(), FBuf.get(), used);
    const size_t cur = static_cast<size_t>(Cur - FBuf.get());
    FBuf = std::move(buf);
    FCap = cap;
    Keep = FBuf.get();
    Cur = FBuf.get() + cur;
    End = FBuf.get() + used;
}

bool TXmlInput::Refill(char*& Keep) {
    char* buf = FBuf.get();
    const size_t keep_off = static_cast<size_t>(Keep - buf);
    const size_t cur_off = static_cast<size_t>(Cur - buf);
    const size_t used = static_cast<size_t>(End - Keep);
    if (keep_off > 0) {
        std::memmove(buf, Keep, used);
        FBase += static_cast<int64_t>(keep_off);
    }
    Keep = buf;
    Cur = buf + (cur_off - keep_off);
    End = buf + used;
    if (FEof) return false;
    // Keep at least half of the window free, so that every refill reads a good share of a
    // page and a token is re-scanned only a few times however long it is.
    if (FCap - used < FCap / 2) Grow(FCap / 2 + 1, Keep);

    if (!FPassThrough) {
        size_t k = DecodeUtf16(End, FCap - used);
        if (k == 0) {
            FEof = true;
            return false;
        }
        End += k;
        return true;
    }
    size_t k = ReadRaw(End, FCap - used);
    if (k == 0) {
        FEof = true;
        return false;
    }
    End += k;
    return true;
}

size_t TXmlInput::DecodeUtf16(char* Dest, size_t Room) {
    const bool be = FEncoding == TSourceEncoding::seUtf16BE;
    std::string out;  // small staging buffer for one code point
    size_t produced = 0;
    for (;;) {
        if (FRawEnd - FRawBegin < 4 && !FRawEof) {
            std::memmove(FRaw.get(), FRaw.get() + FRawBegin, FRawEnd - FRawBegin);
            FRawEnd -= FRawBegin;
            FRawBegin = 0;
            size_t k = ReadRaw(FRaw.get() + FRawEnd, FRawCap - FRawEnd);
            if (k == 0) FRawEof = true;
            FRawEnd += k;
            continue;
        }
        const size_t avail = FRawEnd - FRawBegin;
        if (avail < 2) {
            if (avail == 1 && FRawEof) {  // a lone last byte: not a character
                ++FRawBegin;
                ++FRawConsumed;
            }
            break;
        }
        if (Room - produced < 4) break;
        const auto* r = reinterpret_cast<const unsigned char*>(FRaw.get() + FRawBegin);
        auto unit = [&](size_t i) -> uint32_t {
            return be ? (static_cast<uint32_t>(r[i]) << 8 | r[i + 1]) : (static_cast<uint32_t>(r[i + 1]) << 8 | r[i]);
        };
        uint32_t cp = unit(0);
        size_t used = 2;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (avail >= 4) {
                uint32_t lo = unit(2);
                if (lo >= 0xDC00 && lo <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    used = 4;
                } else {
                    cp = 0xFFFD;
                }
            } else {
                cp = 0xFFFD;  // end of input after a high surrogate
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        FRawBegin += used;
        FRawConsumed += static_cast<int64_t>(used);
        if (cp < 0x80) {
            Dest[produced++] = static_cast<char>(cp);
        } else {
            out.clear();
            AppendUtf8(out, cp);
            std::memcpy(Dest + produced, out.data(), out.size());
            produced += out.size();
        }
    }
    return produced;
}


void LineAndColumn(const std::string& FileName, int64_t Position, int64_t& Line, int64_t& Column) {
    TXmlInput in;
    in.OpenFile(FileName);
    in.Start();
    Line = 1;
    int64_t lineStart = 0;
    for (;;) {
        while (in.Cur < in.End) {
            const int64_t at = in.Position(in.Cur);
            if (at >= Position) break;
            const size_t n = static_cast<size_t>(std::min<int64_t>(in.End - in.Cur, Position - at));
            const char* newline = static_cast<const char*>(std::memchr(in.Cur, '\n', n));
            if (newline == nullptr) {
                in.Cur += n;
                continue;
            }
            ++Line;
            in.Cur = const_cast<char*>(newline) + 1;
            lineStart = in.Position(in.Cur);
        }
        if (in.Cur < in.End) break;
        char* keep = in.End;
        if (!in.Refill(keep)) break;
    }
    Column = std::max<int64_t>(Position, lineStart) - lineStart + 1;
}

}  // namespace itn::xml
